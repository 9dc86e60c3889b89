#include "addrserver/Report.h"

#include <cstdarg>
#include <cstdio>

#include "os/Text.h"

namespace addrserver {

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = os::FormatV(format, args);
    va_end(args);
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
