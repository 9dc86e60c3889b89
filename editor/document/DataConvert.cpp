#include "editor/document/DataConvert.h"

#include <charconv>
#include <cstdlib>

#include "editor/document/IPAddress.h"

namespace {

using Kind = xmldom::TypedValue::Kind;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Each piece between commas read as a decimal integer (as atoi reads it; anything
// else is 0) and kept to 16 bits.
std::vector<uint16_t> ReadVector16(std::string_view text) {
    std::vector<uint16_t> numbers;
    if (text.empty())
        return numbers;
    while (true) {
        size_t comma = text.find(',');
        std::string piece(text.substr(0, comma));
        numbers.push_back(static_cast<uint16_t>(std::strtol(piece.c_str(), nullptr, 10)));
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return numbers;
}

bool TextToValue(const std::string& text, std::string_view ixoType, CRccValue& value) {
    if (ixoType == "IPv4") {
        IpParseResult parsed = CIPAddress::Parse(text);
        if (parsed.error != IpParseError::None)
            return false;
        *value.makeIPv4() = CRccIPv4(parsed.value);
    } else if (ixoType == "MAC") {
        if (!IsMacText(text))
            return false;
        *value.makeMac() = VavMacAddress(text.c_str());
    } else if (ixoType == "VECTOR16") {
        *value.makeArray<RCC_U16>() = ReadVector16(text);
    } else {
        value = CRccValue::ofString(text);
    }
    return true;
}

}  // namespace

bool IsMacText(std::string_view text) {
    for (int field = 0; field < 6; ++field) {
        if (field > 0) {
            if (!text.starts_with(':'))
                return false;
            text.remove_prefix(1);
        }
        size_t digits = 0;
        while (digits < text.size() && IsHexDigit(text[digits])) ++digits;
        if (digits < 1 || digits > 2)
            return false;
        text.remove_prefix(digits);
    }
    return text.empty();
}

bool CDataConvert::FromVariant(const xmldom::TypedValue& variant, std::string_view ixoType) {
    variant_ = variant;
    ixoType_ = ixoType;
    value_.clear();
    bool ok = true;
    switch (variant.kind) {
        case Kind::I4:
            value_ = ixoType == "ui4" ? CRccValue::ofU32(static_cast<uint32_t>(variant.integer))
                                      : CRccValue::ofS32(static_cast<int32_t>(variant.integer));
            break;
        case Kind::R4:
            value_ = CRccValue::ofFloat(static_cast<float>(variant.real));
            break;
        case Kind::Boolean:
            value_ = CRccValue::ofBool(variant.integer != 0);
            break;
        case Kind::UI1:
            value_ = CRccValue::ofU8(static_cast<uint8_t>(variant.integer));
            break;
        case Kind::UI2:
            value_ = CRccValue::ofU16(static_cast<uint16_t>(variant.integer));
            break;
        case Kind::UI4:
            value_ = CRccValue::ofU32(static_cast<uint32_t>(variant.integer));
            break;
        case Kind::Text:
            ok = TextToValue(variant.text, ixoType, value_);
            break;
        default:
            ok = false;
            break;
    }
    valid_ = ok;
    if (ok)
        MakeText();
    else
        value_.clear();
    return ok;
}

bool CDataConvert::FromValue(const CRccValue& value) {
    value_ = value;
    MakeText();
    valid_ = true;
    return true;
}

void CDataConvert::MakeText() {
    std::string described = DescribeRccValue(value_);
    size_t separator = described.find(": ");
    text_ = separator == std::string::npos ? described : described.substr(separator + 2);
    switch (value_.getType()) {
        case RCC_U32:
            if (value_.getScalar<RCC_U32>() == 0xFFFFFFFF)
                text_ = "-1";
            break;
        case RCC_BOOL:
            text_ = text_ == "true" ? "1" : "0";
            break;
        case RCC_IPV4:
            text_ = CIPAddress(value_.get<RCC_IPV4>()->address).GetText();
            break;
        default:
            break;
    }
}

bool CDataConvert::GetValue(CRccValue& value) const {
    if (!valid_)
        return false;
    value = value_;
    return true;
}

bool CDataConvert::GetText(std::string& text) const {
    if (!valid_)
        return false;
    text = text_;
    return true;
}
