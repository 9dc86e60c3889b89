#include "grid/formula/NumberText.h"

#include <locale.h>
#include <charconv>
#include <clocale>
#include <cstdlib>

namespace formula {

std::string GXFormatNumber(double value) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 14);
    return std::string(buf, res.ptr);
}

double GXStrToD(std::string_view text, size_t* used) {
    // The process may run under a locale with a decimal comma; formulas never do.
    static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    std::string copy(text);
    char* end = nullptr;
    double value = strtod_l(copy.c_str(), &end, cLocale);
    if (used) {
        *used = static_cast<size_t>(end - copy.c_str());
    }
    return value;
}

}  // namespace formula
