#include "editor/document/IPAddress.h"

#include <cstdio>

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
    char text[16];
    std::snprintf(text, sizeof text, "%03u.%03u.%03u.%03u", value >> 24, (value >> 16) & 0xFF,
                  (value >> 8) & 0xFF, value & 0xFF);
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
