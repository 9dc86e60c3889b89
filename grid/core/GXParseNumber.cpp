// Recognising a typed text as a number (CGXNumberFormattingImp::ParseNumber).
#include "grid/core/CGXNumberFormattingImp.h"
#include "grid/core/GXNumberText.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::size_t kMaxScan = 257;
constexpr int kMaxSeparators = 20;

struct Scan {
    bool parens = false;
    bool dollar = false;
    bool exponent = false;
    int digits = 0;
    int decimals = 0;
    std::vector<std::size_t> commas;  // positions in the text
    std::size_t point = std::string_view::npos;
    std::size_t close = std::string_view::npos;
    std::size_t exponentAt = std::string_view::npos;
    std::string plain;  // the text without dollar sign, commas and parentheses
};

// Step 2: every character of the rest of the text must be one the number may hold.
bool ScanBody(std::string_view t, std::size_t i, Scan& s) {
    bool afterPoint = false;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9') {
            ++s.digits;
            if (afterPoint && !s.exponent)
                ++s.decimals;
            s.plain += c;
        } else if (c == '+' || c == '-') {
            if (s.parens)
                return false;
            s.plain += c;
        } else if (c == ',') {
            s.commas.push_back(i);
            if (static_cast<int>(s.commas.size()) >= kMaxSeparators)
                return false;
        } else if (c == '.') {
            if (s.point != std::string_view::npos || s.exponent)
                return false;
            s.point = i;
            afterPoint = true;
            s.plain += c;
        } else if (c == 'e' || c == 'E') {
            if (s.exponent || s.parens)
                return false;
            s.exponent = true;
            s.exponentAt = i;
            s.plain += c;
        } else if (c == ')') {
            if (!s.parens || i + 1 != t.size())
                return false;
            s.close = i;
        } else {
            return false;
        }
    }
    return true;
}

// Step 3: each thousands separator stands a multiple of 4 characters before the decimal point,
// or else before the closing parenthesis, the exponent or the end.
bool SeparatorsPlaced(std::string_view t, const Scan& s) {
    std::size_t anchor = t.size();
    if (s.point != std::string_view::npos)
        anchor = s.point;
    else if (s.close != std::string_view::npos)
        anchor = s.close;
    else if (s.exponentAt != std::string_view::npos)
        anchor = s.exponentAt;
    for (std::size_t c : s.commas)
        if (c >= anchor || (anchor - c) % 4 != 0)
            return false;
    return true;
}

}  // namespace

bool CGXNumberFormattingImp::ParseNumber(std::string_view text, double* value, unsigned* format,
                                         unsigned* places) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t end = text.size();
    while (end > i && text[end - 1] == ' ') --end;  // blanks only at the end
    const std::string_view t = text.substr(0, end);
    if (t.size() - i > kMaxScan || i == t.size())
        return false;
    Scan s;
    if (t[i] == '(') {
        s.parens = true;
        ++i;
    }
    if (i < t.size() && t[i] == '$') {
        s.dollar = true;
        ++i;
    }
    if (!ScanBody(t, i, s))
        return false;
    if (s.parens && s.close == std::string_view::npos)
        return false;
    if (!s.commas.empty() && !SeparatorsPlaced(t, s))
        return false;
    double v = 0;
    if (s.digits == 0 || !GXParseDouble(s.plain, v))
        return false;
    if (s.parens)
        v = -v;
    if (value)
        *value = v;
    if (format && places) {
        const unsigned decimals = static_cast<unsigned>(std::min(s.decimals, 15));
        const unsigned digits = static_cast<unsigned>(std::min(s.digits, 16));
        if (s.exponent) {
            *format = 1;
            *places = digits > 0 ? digits - 1 : 0;
        } else {
            *format = s.dollar ? 4 : (!s.commas.empty() || s.parens) ? 5 : 2;
            *places = decimals;
        }
    }
    return true;
}
