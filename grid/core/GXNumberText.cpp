#include "grid/core/GXNumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

std::string GXFormatDouble(char conversion, int precision, double value) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    std::chars_format fmt = std::chars_format::general;
    if (conversion == 'e')
        fmt = std::chars_format::scientific;
    else if (conversion == 'f')
        fmt = std::chars_format::fixed;
    // A fixed form of a huge number is long: 309 digits, the point and the places.
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, value, fmt, precision < 0 ? 6 : precision);
    if (res.ec != std::errc())
        return {};
    return std::string(buf, res.ptr);
}

namespace {

std::string_view SkipBlanks(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' ||
                            s[i] == '\f' || s[i] == '\v'))
        ++i;
    return s.substr(i);
}

// The length of the longest prefix of s that is a decimal number: sign, digits, point, digits,
// then an exponent when it has digits.
std::size_t NumberPrefix(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        const std::size_t expStart = j;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
        if (j > expStart)
            i = j;
    }
    return i;
}

// The decimal exponent of the first significant digit of a number text (sign removed): used
// to tell an overflow from an underflow when the conversion is out of range.
long Magnitude(std::string_view s) {
    long mag = 0;
    std::size_t i = 0;
    long intDigits = 0;
    bool significant = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        significant = significant || s[i] != '0';
        if (significant)
            ++intDigits;
    }
    if (significant) {
        mag = intDigits - 1;
    } else if (i < s.size() && s[i] == '.') {
        long zeros = 0;
        for (++i; i < s.size() && s[i] == '0'; ++i) ++zeros;
        mag = -zeros - 1;
    }
    const std::size_t e = s.find_first_of("eE");
    if (e != std::string_view::npos)
        mag += std::clamp(GXAtol(s.substr(e + 1)), -100000L, 100000L);
    return mag;
}

double Convert(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    double v = 0;
    auto res = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range)
        v = Magnitude(s) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -v : v;
}

}  // namespace

double GXAtof(std::string_view text) {
    const std::string_view s = SkipBlanks(text);
    const std::size_t n = NumberPrefix(s);
    return n ? Convert(s.substr(0, n)) : 0.0;
}

long GXAtol(std::string_view text) {
    std::string_view s = SkipBlanks(text);
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            break;
        const int d = c - '0';
        if (v > (std::numeric_limits<long>::max() - d) / 10)
            return negative ? std::numeric_limits<long>::min() : std::numeric_limits<long>::max();
        v = v * 10 + d;
    }
    return negative ? -v : v;
}

bool GXParseDouble(std::string_view text, double& out) {
    if (text.empty() || NumberPrefix(text) != text.size())
        return false;
    out = Convert(text);
    return true;
}
