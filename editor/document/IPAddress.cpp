#include "editor/document/IPAddress.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

void SkipBlanks(std::string_view& text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
}

// One number, as "%u" reads it: blanks, an optional "+", then digits. Large numbers
// saturate, which is enough to know they are above 255.
bool ReadNumber(std::string_view& text, uint32_t& number) {
    SkipBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return false;
    number = 0;
    while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
        number = number > 100000 ? number : number * 10 + static_cast<uint32_t>(text.front() - '0');
        text.remove_prefix(1);
    }
    return true;
}

}  // namespace

CIPAddress::CIPAddress(uint32_t value) {
    SetValue(value);
}

CIPAddress::CIPAddress(std::string_view text) {
    SetValue(Parse(text).value);
}

void CIPAddress::SetValue(uint32_t value) {
    value_ = value;
    text_ = Format(value);
}

bool CIPAddress::SetText(std::string_view text) {
    IpParseResult parsed = Parse(text);
    if (parsed.error != IpParseError::None) {
        value_ = 0;
        text_ = text;
        return false;
    }
    SetValue(parsed.value);
    return true;
}

std::string CIPAddress::Format(uint32_t value) {
    // Each octet as three digits, zero-padded ("010.000.000.002"): written by hand, as every
    // node's address is formatted on each status refresh.
    std::string text(15, '.');
    for (int i = 0; i < 4; ++i) {
        const uint32_t octet = (value >> (24 - 8 * i)) & 0xFF;
        char* digits = text.data() + 4 * i;
        digits[0] = static_cast<char>('0' + octet / 100);
        digits[1] = static_cast<char>('0' + octet / 10 % 10);
        digits[2] = static_cast<char>('0' + octet % 10);
    }
    return text;
}

IpParseResult CIPAddress::Parse(std::string_view text) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (text.empty() || text.front() != '.')
                return {0, IpParseError::NotFourNumbers};
            text.remove_prefix(1);
        }
        uint32_t octet = 0;
        if (!ReadNumber(text, octet))
            return {0, IpParseError::NotFourNumbers};
        if (octet > 255)
            return {0, IpParseError::OctetTooLarge};
        value = value << 8 | octet;
    }
    SkipBlanks(text);
    if (!text.empty())
        return {0, IpParseError::TrailingText};
    return {value, IpParseError::None};
}
