#include "rcc/RccTime.h"

#include <cstdio>

CRccTime::CRccTime(unsigned h, unsigned m, unsigned s, uint32_t f) : fraction(f) {
    h &= 0xFF;
    m &= 0xFF;
    s &= 0xFF;
    second = static_cast<uint8_t>(s >= 60 ? s % 60 : s);
    minute = static_cast<uint8_t>(m >= 60 ? m % 60 : m);
    hour = static_cast<uint8_t>(h > 23 ? h % 24 : h);
}

std::string CRccTime::toString() const {
    char text[64];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
    std::string result = text;
    if (fraction != 0) {
        // Nine decimal places of the second, trailing zeros dropped. Printing it as a
        // number would fall into exponent notation for small fractions.
        std::snprintf(text, sizeof text, "%09u", fraction);
        std::string digits = text;
        digits.erase(digits.find_last_not_of('0') + 1);
        result += "." + digits;
    }
    return result;
}

CRccDate::CRccDate(unsigned y, unsigned m, unsigned d) : year(static_cast<uint16_t>(y)) {
    m &= 0xFF;
    d &= 0xFF;
    day = static_cast<uint8_t>(d >= 32 ? d & 31 : d);
    month = static_cast<uint8_t>(m > 12 ? m % 13 : m);
}

std::string CRccDate::toString() const {
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", year, month, day);
    return text;
}

CRccDateTime::CRccDateTime(unsigned year, unsigned month, unsigned day, unsigned hour,
                           unsigned minute, unsigned second, uint32_t fraction)
    : date(year, month, day), time(hour, minute, second, fraction) {}

std::string CRccDateTime::toString() const {
    return date.toString() + " " + time.toString();
}
