// Numbers to and from text the same way whatever the process locale says.
#pragma once

#include <string>
#include <string_view>

namespace formula {

// printf's "%.14g" in the C locale.
std::string GXFormatNumber(double value);
// The C decimal conversion in the C locale: leading white space, an optional sign and the
// longest decimal number that follows; 0 when none. `used` receives the characters consumed.
double GXStrToD(std::string_view text, size_t* used = nullptr);

}  // namespace formula
