// CDataConvert: one conversion of a property value between the document's typed
// value (the element's text read by its datatype), the remote-call value CRccValue
// that travels to and from the node, and the display text the document stores.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rcc/RccValue.h"
#include "xmldom/TypedValue.h"

class CDataConvert {
public:
    CDataConvert() = default;
    virtual ~CDataConvert() = default;

    // Typed value to remote-call value, by the value's kind and the property's
    // "ixotype". Text becomes IPv4, MAC, a U16 vector (VECTOR16) or STR; signed 8 and
    // 16 bit and 64-bit real values have no remote-call form and fail.
    bool FromVariant(const xmldom::TypedValue& variant, std::string_view ixoType);
    // Remote-call value to display text: what follows the first ": " of its describing
    // text; U32 0xFFFFFFFF as "-1", bool as "1" or "0", IPv4 with three digits per octet.
    bool FromValue(const CRccValue& value);

    // False until a conversion succeeded.
    bool GetValue(CRccValue& value) const;
    bool GetText(std::string& text) const;
    bool IsValid() const { return valid_; }

private:
    void MakeText();

    bool valid_ = false;
    std::string text_;
    CRccValue value_;
    std::optional<xmldom::TypedValue> variant_;
    std::string ixoType_;
};

// A MAC text that reads: six fields of one or two hexadecimal digits separated by ":".
bool IsMacText(std::string_view text);
