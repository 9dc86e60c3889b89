#include "addrserver/Report.h"

#include <cstdarg>
#include <cstdio>

namespace addrserver {

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int size = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (size > 0) {
        text.resize(static_cast<size_t>(size) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<size_t>(size));
    }
    va_end(again);
    return text;
}

std::string DottedText(uint32_t a) {
    return Format("%u.%u.%u.%u", a >> 24, (a >> 16) & 0xFF, (a >> 8) & 0xFF, a & 0xFF);
}

std::string MacText(const uint8_t* m, char sep) {
    return Format("%02X%c%02X%c%02X%c%02X%c%02X%c%02X", m[0], sep, m[1], sep, m[2], sep, m[3], sep,
                  m[4], sep, m[5]);
}

}  // namespace addrserver
