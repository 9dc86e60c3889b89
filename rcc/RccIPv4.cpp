#include "rcc/RccIPv4.h"

#include <cstdio>

CRccIPv4::CRccIPv4(std::string_view text) {
    text = text.substr(0, 99);
    int shift = 24;
    size_t pos = 0;
    while (shift >= 0) {
        size_t dot = text.find('.', pos);
        std::string_view part =
            text.substr(pos, dot == std::string_view::npos ? text.npos : dot - pos);
        // Leading blanks and a number, as a C library number reader takes them; the
        // number is only ever used cut to 8 bits, so it is accumulated modulo 256.
        size_t i = part.find_first_not_of(" \t");
        unsigned value = 0;
        for (; i < part.size() && part[i] >= '0' && part[i] <= '9'; ++i)
            value = (value * 10 + static_cast<unsigned>(part[i] - '0')) & 0xFF;
        address |= static_cast<uint32_t>(value) << shift;
        shift -= 8;
        if (dot == std::string_view::npos)
            break;
        pos = dot + 1;
    }
}

std::string CRccIPv4::toString() const {
    char text[20];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF,
                  (address >> 8) & 0xFF, address & 0xFF);
    return text;
}
