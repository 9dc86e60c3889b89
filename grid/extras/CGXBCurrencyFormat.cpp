#include "grid/extras/CGXBCurrencyFormat.h"

#include "grid/extras/GXLocaleInfo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* kPositive[4][2] = {{"%s", ""}, {"", "%s"}, {"%s ", ""}, {"", " %s"}};
constexpr const char* kNegative[16][2] = {
    {"(%s", ")"}, {"-%s", ""},  {"%s-", ""},   {"%s", "-"},   {"(", "%s)"}, {"-", "%s"},
    {"", "-%s"},  {"", "%s-"},  {"-", " %s"},  {"-%s ", ""},  {"", " %s-"}, {"%s ", "-"},
    {"%s -", ""}, {"", "- %s"}, {"(%s ", ")"}, {"(", " %s)"},
};

std::string WithSymbol(std::string_view pattern, const std::string& symbol) {
    std::string out(pattern);
    const std::size_t at = out.find("%s");
    if (at != std::string::npos)
        out.replace(at, 2, symbol);
    return out;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// printf's fixed notation (the suite's numeric locale is "C") into a string of any length.
std::string PrintFixed(double x, int places) {
    const int n = std::snprintf(nullptr, 0, "%.*f", places, x);
    if (n <= 0)
        return "0";
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(s.data(), s.size(), "%.*f", places, x);
    s.resize(static_cast<std::size_t>(n));
    return s;
}

std::string Trim(std::string_view s) {
    std::size_t a = 0;
    std::size_t b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r' || s[a] == '\n')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r' || s[b - 1] == '\n'))
        --b;
    return std::string(s.substr(a, b - a));
}

}  // namespace

CGXBCurrencyFormat::CGXBCurrencyFormat(bool fromLocale)
    : lineColor(fw::GetSysColor(fw::COLOR_BTNSHADOW)) {
    if (!fromLocale)
        return;
    const GXCurrencyLocale loc = GXLocaleCurrency();
    leadingZero = loc.leadingZero;
    symbol = loc.symbol.empty() ? "$" : loc.symbol;
    grouping = loc.grouping.empty() ? "3;0" : loc.grouping;
    thousandsSeparator = loc.thousandsSeparator;
    decimalSeparator = loc.decimalSeparator ? loc.decimalSeparator : '.';
    positiveFormat = loc.positiveFormat;
    negativeFormat = loc.negativeFormat;
    fractionDigits = loc.fractionDigits;
    // The locale's digit count is the count of fraction digits of numbers, not a limit on the
    // integer part: an amount is never cut.
    integerDigits = -1;
}

bool CGXBCurrencyFormat::IsEqual(const CGXBCurrencyFormat& o) const {
    return leadingZero == o.leadingZero && decimalLine == o.decimalLine &&
           noIntegerLimit == o.noIntegerLimit && padBeforeGrouping == o.padBeforeGrouping &&
           symbol == o.symbol && grouping == o.grouping &&
           thousandsSeparator == o.thousandsSeparator && decimalSeparator == o.decimalSeparator &&
           paddingChar == o.paddingChar && background == o.background &&
           negativeColor == o.negativeColor && positiveColor == o.positiveColor &&
           lineColor == o.lineColor && colorFlags == o.colorFlags &&
           positiveFormat == o.positiveFormat && negativeFormat == o.negativeFormat &&
           integerDigits == o.integerDigits && fractionDigits == o.fractionDigits;
}

bool CGXBCurrencyFormat::SetPaddingChar(char c) {
    if (IsDigit(c) && c != '0')
        return false;
    paddingChar = c;
    return true;
}

int CGXBCurrencyFormat::FindDecimalSeparator(std::string_view text, char ch) const {
    const char sep = ch ? ch : decimalSeparator;
    if (sep == 0)
        return -1;
    const std::size_t at = text.rfind(sep);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

// From the last digit leftwards: digits and thousands separators are taken, and one decimal
// separator while no separator of either kind was taken yet; anything else stops the walk.
bool CGXBCurrencyFormat::FindDigitSpan(std::string_view text, int& start, int& end) const {
    start = end = -1;
    int i = static_cast<int>(text.size()) - 1;
    while (i >= 0 && !IsDigit(text[static_cast<std::size_t>(i)])) --i;
    if (i < 0)
        return false;
    end = i;
    start = i;
    bool separatorTaken = false;
    for (--i; i >= 0; --i) {
        const char c = text[static_cast<std::size_t>(i)];
        if (IsDigit(c)) {
            start = i;
        } else if (thousandsSeparator && c == thousandsSeparator) {
            separatorTaken = true;
            start = i;
        } else if (decimalSeparator && c == decimalSeparator && !separatorTaken) {
            separatorTaken = true;
            start = i;
        } else {
            break;
        }
    }
    return true;
}

bool CGXBCurrencyFormat::ParseText(std::string_view raw, double& value, bool& negative) const {
    negative = false;
    if (raw.empty()) {
        value = 0;
        return true;
    }
    const std::string text = Trim(raw);
    const bool open = text.find('(') != std::string::npos;
    const bool close = text.find(')') != std::string::npos;
    if (open != close)
        return false;
    bool neg = open && close;
    int start = 0;
    int end = 0;
    if (!FindDigitSpan(text, start, end))
        return false;
    const std::string prefix = text.substr(0, static_cast<std::size_t>(start));
    const std::string suffix = text.substr(static_cast<std::size_t>(end) + 1);
    if (prefix.find('-') != std::string::npos || suffix.find('-') != std::string::npos)
        neg = true;
    const std::string span =
        text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start + 1));
    const int dec = FindDecimalSeparator(span);
    std::string integer = dec < 0 ? span : span.substr(0, static_cast<std::size_t>(dec));
    const std::string fraction =
        dec < 0 ? std::string() : span.substr(static_cast<std::size_t>(dec) + 1);
    std::string digits;
    for (char c : integer)
        if (!(thousandsSeparator && c == thousandsSeparator))
            digits += c;
    for (char c : digits)
        if (!IsDigit(c))
            return false;
    for (char c : fraction)
        if (!IsDigit(c))
            return false;
    // The suite's numeric locale is "C": the run-time decimal point is '.'.
    const std::string number =
        (digits.empty() ? "0" : digits) + "." + (fraction.empty() ? "0" : fraction);
    value = std::strtod(number.c_str(), nullptr);
    negative = neg;
    return true;
}

std::string CGXBCurrencyFormat::FormatValue(double magnitude, bool negative) const {
    magnitude = std::fabs(magnitude);
    const int k = integerDigits;
    if (!noIntegerLimit && k != -1 && magnitude != 0) {
        const int n = static_cast<int>(std::floor(std::log10(magnitude)));
        const int e = n - (k - 1);
        if (n != 0 && e > 0)
            magnitude = std::floor(std::floor(magnitude) / std::pow(10.0, e)) +
                        (magnitude - std::floor(magnitude));
    }
    const int places = std::max(0, fractionDigits);
    std::string number = PrintFixed(magnitude, places);
    if (magnitude < 1 && !leadingZero && !number.empty() && number[0] == '0')
        number.erase(0, 1);
    const std::size_t point = number.find('.');
    std::string integer = number.substr(0, point);
    std::string rest = point == std::string::npos ? std::string() : number.substr(point);
    if (!rest.empty())
        rest[0] = decimalSeparator ? decimalSeparator : ' ';

    int group = 0;
    if (thousandsSeparator) {
        int second = 0;
        if (std::sscanf(grouping.c_str(), "%i;%i", &group, &second) < 1 || group < 0)
            group = 0;
    }
    auto grouped = [&](const std::string& digits) {
        if (group <= 0)
            return digits;
        std::string out;
        const int len = static_cast<int>(digits.size());
        for (int i = 0; i < len; ++i) {
            out += digits[static_cast<std::size_t>(i)];
            const int right = len - 1 - i;
            if (right > 0 && right % group == 0)
                out += thousandsSeparator;
        }
        return out;
    };
    if (k != -1) {
        if (static_cast<int>(integer.size()) > k)
            integer.erase(0, integer.size() - static_cast<std::size_t>(std::max(k, 0)));
        const int shortfall = k - static_cast<int>(integer.size());
        const std::string pad(static_cast<std::size_t>(std::max(shortfall, 0)), paddingChar);
        integer = padBeforeGrouping ? grouped(pad + integer) : pad + grouped(integer);
    } else {
        integer = grouped(integer);
    }
    const auto& pattern = negative ? kNegative[std::clamp(negativeFormat, 0, 15)]
                                   : kPositive[std::clamp(positiveFormat, 0, 3)];
    return WithSymbol(pattern[0], symbol) + integer + rest + WithSymbol(pattern[1], symbol);
}
