// User attributes: values that a style carries under a 16-bit id besides its fixed attributes
// (validation bounds, spin bounds, check-box values, tooltip texts, masks and the like).
#pragma once

#include "framework/persist/RuntimeClass.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Base of every user attribute: the id it is stored under (set by the map) and its value as
// text. Its archive form is the value text.
class CGXAbstractUserAttribute : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    void Serialize(fw::Archive& ar) override;
    virtual CGXAbstractUserAttribute& SetValue(const char* text);
    virtual CGXAbstractUserAttribute& SetValue(const std::string& text);
    virtual std::string GetValue() const;  // empty in the base
    virtual long GetLongValue() const;     // the text converted as atol does
    virtual std::uint32_t GetDWordValue() const;
    virtual double GetDoubleValue() const;  // the text converted as atof does
    virtual std::unique_ptr<CGXAbstractUserAttribute> Clone() const;  // none in the base
    virtual bool IsEqual(const CGXAbstractUserAttribute& other) const;
    virtual bool IsEmpty() const;

    std::uint16_t m_nId = 0;
};

// The plain user attribute: a value kind and an 8-byte value.
//   0 empty, 1 unsigned 32-bit ("%lu"), 2 signed 32-bit ("%ld"), 3 text of at most 8 bytes,
//   4 longer text, 5 double ("%.13g"), 6 64-bit value ("%08x%08x", first word first)
class CGXUserAttribute : public CGXAbstractUserAttribute {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    enum Kind : std::uint8_t {
        kEmpty = 0,
        kDWord = 1,
        kLong = 2,
        kShortText = 3,
        kLongText = 4,
        kDouble = 5,
        kBytes8 = 6,
    };
    static constexpr std::size_t kInlineBytes = 8;

    CGXUserAttribute() = default;
    explicit CGXUserAttribute(std::uint32_t value);
    explicit CGXUserAttribute(std::int32_t value);
    explicit CGXUserAttribute(std::string_view text);  // as SetValue, but "" is an empty text
    explicit CGXUserAttribute(const char* text) : CGXUserAttribute(std::string_view(text)) {}
    CGXUserAttribute(const CGXUserAttribute&) = default;
    CGXUserAttribute& operator=(const CGXUserAttribute&) = default;
    static CGXUserAttribute FromDouble(double value);
    static CGXUserAttribute FromBytes(std::uint32_t first, std::uint32_t second);

    void Serialize(fw::Archive& ar) override;
    using CGXAbstractUserAttribute::SetValue;
    // Empty text: kind 0; a number that prints back the same with "%.13g" (when the number
    // formatting component is installed): kind 5; else text (kind 3 or 4 by its byte length).
    CGXAbstractUserAttribute& SetValue(const char* text) override;
    std::string GetValue() const override;
    long GetLongValue() const override;
    std::uint32_t GetDWordValue() const override;
    double GetDoubleValue() const override;
    std::unique_ptr<CGXAbstractUserAttribute> Clone() const override;
    bool IsEqual(const CGXAbstractUserAttribute& other) const override;
    bool IsEmpty() const override;

    Kind GetKind() const { return kind_; }

private:
    void SetText(std::string_view text);
    std::uint64_t Bits() const;

    Kind kind_ = kEmpty;
    std::array<std::uint8_t, 8> value_{};  // little-endian: DWORD, LONG, double or two words
    std::string text_;                     // kinds 3 and 4
};

// A user attribute that only carries a 32-bit value for the ellipsis setting of a cell; it has
// no text and counts as empty. Its archive form is the value as a 16-bit word.
class CGXEllipseUserAttribute : public CGXAbstractUserAttribute {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    CGXEllipseUserAttribute() = default;
    explicit CGXEllipseUserAttribute(std::uint32_t value) : value_(value) {}

    void Serialize(fw::Archive& ar) override;
    CGXAbstractUserAttribute& SetValue(const char*) override { return *this; }
    std::string GetValue() const override { return {}; }
    long GetLongValue() const override { return static_cast<long>(value_); }
    std::uint32_t GetDWordValue() const override { return value_; }
    double GetDoubleValue() const override { return value_; }
    std::unique_ptr<CGXAbstractUserAttribute> Clone() const override;
    bool IsEqual(const CGXAbstractUserAttribute& other) const override;
    bool IsEmpty() const override { return true; }

    void SetEllipseValue(std::uint32_t value) { value_ = value; }
    std::uint32_t GetEllipseValue() const { return value_; }

private:
    std::uint32_t value_ = 0;
};
