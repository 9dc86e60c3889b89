#include "grid/features/GXSortKeyText.h"

#include "grid/core/GXNumberText.h"

#include <array>
#include <cctype>
#include <limits>
#include <optional>

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

// Reads an unsigned number of 1..maxDigits digits.
std::optional<int> ReadNumber(std::string_view& s, std::size_t maxDigits) {
    std::size_t n = 0;
    int v = 0;
    while (n < s.size() && n < maxDigits && std::isdigit(static_cast<unsigned char>(s[n])))
        v = v * 10 + (s[n++] - '0');
    if (n == 0 || (n < s.size() && std::isdigit(static_cast<unsigned char>(s[n]))))
        return std::nullopt;
    s.remove_prefix(n);
    return v;
}

bool Eat(std::string_view& s, char c) {
    if (s.empty() || s.front() != c)
        return false;
    s.remove_prefix(1);
    return true;
}

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[static_cast<std::size_t>(m - 1)];
}

// Days from 30 December 1899 (civil calendar throughout).
long DaySerial(int y, int m, int d) {
    const int yy = m <= 2 ? y - 1 : y;
    const int era = (yy >= 0 ? yy : yy - 399) / 400;
    const int yoe = yy - era * 400;
    const int mp = (m + 9) % 12;
    const int doy = (153 * mp + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long days1970 = static_cast<long>(era) * 146097 + doe - 719468;
    return days1970 + 25569;
}

// "m/d/y" or "y-m-d"; leaves the rest in `s`.
bool ParseDate(std::string_view& s, long& serial) {
    std::string_view t = s;
    auto a = ReadNumber(t, 4);
    if (!a)
        return false;
    int y = 0, m = 0, d = 0;
    if (Eat(t, '/')) {
        auto b = ReadNumber(t, 2);
        if (!b || !Eat(t, '/'))
            return false;
        std::string_view before = t;
        auto c = ReadNumber(t, 4);
        if (!c)
            return false;
        const std::size_t digits = before.size() - t.size();
        m = *a, d = *b, y = *c;
        if (digits <= 2)
            y += y < 30 ? 2000 : 1900;
    } else if (Eat(t, '-')) {
        auto b = ReadNumber(t, 2);
        if (!b || !Eat(t, '-'))
            return false;
        auto c = ReadNumber(t, 2);
        if (!c)
            return false;
        y = *a, m = *b, d = *c;
    } else {
        return false;
    }
    if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m))
        return false;
    serial = DaySerial(y, m, d);
    s = t;
    return true;
}

// "h:mm[:ss][ AM|PM]" as a fraction of a day; must use up `s`.
bool ParseTime(std::string_view s, double& fraction) {
    auto h = ReadNumber(s, 2);
    if (!h || !Eat(s, ':'))
        return false;
    auto mi = ReadNumber(s, 2);
    if (!mi)
        return false;
    int sec = 0;
    if (Eat(s, ':')) {
        auto se = ReadNumber(s, 2);
        if (!se)
            return false;
        sec = *se;
    }
    int hour = *h;
    s = Trim(s);
    if (!s.empty()) {
        if (s.size() != 2 || std::toupper(static_cast<unsigned char>(s[1])) != 'M')
            return false;
        const char ap = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
        if ((ap != 'A' && ap != 'P') || hour < 1 || hour > 12)
            return false;
        hour = hour % 12 + (ap == 'P' ? 12 : 0);
    }
    if (hour > 23 || *mi > 59 || sec > 59)
        return false;
    fraction = (hour * 3600 + *mi * 60 + sec) / 86400.0;
    return true;
}

}  // namespace

bool GXIsSortNumberText(std::string_view text) {
    for (char c : text)
        if (std::string_view("0123456789,.-e ").find(c) == std::string_view::npos)
            return false;
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    const std::size_t minus = text.rfind('-');
    return minus == std::string_view::npos || minus == 0;
}

bool GXParseSortDateTime(std::string_view text, double& value) {
    std::string_view s = Trim(text);
    if (s.empty())
        return false;
    long serial = 0;
    double fraction = 0;
    if (ParseDate(s, serial)) {
        s = Trim(s);
        if (!s.empty() && !ParseTime(s, fraction))
            return false;
    } else if (!ParseTime(s, fraction)) {
        return false;
    }
    value = static_cast<double>(serial) + fraction;
    return true;
}

double GXSortNumberValue(std::string_view text) {
    return GXAtof(text.empty() ? std::string_view("0") : text);
}

double GXSortDateValue(std::string_view text) {
    double v = 0;
    return GXParseSortDateTime(text, v) ? v : std::numeric_limits<double>::lowest();
}

int GXCompareSortText(std::string_view a, std::string_view b, bool caseSensitive) {
    const std::size_t n = std::min(a.size(), b.size());
    int caseOrder = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        const int la = std::tolower(ca), lb = std::tolower(cb);
        if (la != lb)
            return la < lb ? -1 : 1;
        if (caseOrder == 0 && ca != cb)
            caseOrder = std::islower(ca) ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return caseSensitive ? caseOrder : 0;
}
