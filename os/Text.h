// Small text helpers shared by the os/ files that read text and by the layers above.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace os {

// Compares ASCII letters without regard to case; other bytes must match exactly.
bool EqualsNoCase(std::string_view a, std::string_view b);
// The text without leading and trailing blanks (space, tab).
std::string_view TrimBlanks(std::string_view text);
// Lower-cases ASCII letters.
std::string LowerAscii(std::string_view text);
// printf-style formatting into a string. Uses `args` up; the caller still ends it.
std::string FormatV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

}  // namespace os
