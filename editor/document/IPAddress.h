// CIPAddress: an IPv4 address kept as a host-order number (first octet in the top
// byte) and as dotted text with three digits per octet ("010.101.000.099").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class IpParseError : uint8_t {
    None,
    NotFourNumbers,  // fewer than four numbers separated by "."
    OctetTooLarge,   // a number above 255
    TrailingText,    // something after the fourth number
};

struct IpParseResult {
    uint32_t value = 0;
    IpParseError error = IpParseError::None;
};

class CIPAddress {
public:
    CIPAddress() = default;
    explicit CIPAddress(uint32_t value);
    // A text that does not read gives 0 and the text 000.000.000.000.
    explicit CIPAddress(std::string_view text);
    virtual ~CIPAddress() = default;
    CIPAddress(const CIPAddress&) = default;
    CIPAddress& operator=(const CIPAddress&) = default;

    uint32_t GetValue() const { return value_; }
    const std::string& GetText() const { return text_; }
    std::string GetString() const { return text_; }

    void SetValue(uint32_t value);
    // False when the text does not read: the value is then 0 and the text is kept as
    // given. Otherwise the text is written afresh from the value.
    bool SetText(std::string_view text);

    // "%03u.%03u.%03u.%03u", top byte first.
    static std::string Format(uint32_t value);
    // Four decimal numbers of 0 to 255 joined by "."; blanks before a number and at the
    // end are allowed, as is a "+" sign.
    static IpParseResult Parse(std::string_view text);

    bool operator==(const CIPAddress& other) const { return value_ == other.value_; }

private:
    uint32_t value_ = 0;
    std::string text_;
};
