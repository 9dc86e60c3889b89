#include "grid/core/GXDateText.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double kMinDate = -657434.0;  // 1 January 100
constexpr double kMaxDate = 2958466.0;  // 1 January 10000
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Civil date of a day count from 1970-01-01 (proleptic Gregorian).
void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

}  // namespace

std::optional<GXDateTime> GXDateTimeFromNumber(double value) {
    if (!(value >= kMinDate && value < kMaxDate))
        return std::nullopt;
    double days = std::trunc(value);
    long long seconds = std::llround(std::fabs(value - days) * 86400.0);
    if (seconds >= 86400) {  // rounds up to the next midnight
        seconds -= 86400;
        days += value < 0 ? -1 : 1;
    }
    GXDateTime t;
    // 25569 days lie between 30 December 1899 and 1 January 1970.
    CivilFromDays(static_cast<long long>(days) - 25569, t.year, t.month, t.day);
    t.hour = static_cast<int>(seconds / 3600);
    t.minute = static_cast<int>(seconds / 60 % 60);
    t.second = static_cast<int>(seconds % 60);
    if (t.year < 100 || t.year > 9999)
        return std::nullopt;
    return t;
}

std::string GXFormatDateTime(const GXDateTime& t, std::string_view pattern) {
    std::string out;
    char buf[16];
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 == pattern.size()) {
            out += pattern[i];
            continue;
        }
        const char f = pattern[++i];
        const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
        switch (f) {
            case 'd':
                std::snprintf(buf, sizeof buf, "%02d", t.day);
                break;
            case 'm':
                std::snprintf(buf, sizeof buf, "%02d", t.month);
                break;
            case 'y':
                std::snprintf(buf, sizeof buf, "%02d", t.year % 100);
                break;
            case 'Y':
                std::snprintf(buf, sizeof buf, "%d", t.year);
                break;
            case 'b':
                std::snprintf(buf, sizeof buf, "%s", kMonths[(t.month - 1) % 12]);
                break;
            case 'H':
                std::snprintf(buf, sizeof buf, "%02d", t.hour);
                break;
            case 'I':
                std::snprintf(buf, sizeof buf, "%02d", hour12);
                break;
            case 'M':
                std::snprintf(buf, sizeof buf, "%02d", t.minute);
                break;
            case 'S':
                std::snprintf(buf, sizeof buf, "%02d", t.second);
                break;
            case 'p':
                std::snprintf(buf, sizeof buf, "%s", t.hour < 12 ? "AM" : "PM");
                break;
            case '%':
                std::snprintf(buf, sizeof buf, "%%");
                break;
            default:
                std::snprintf(buf, sizeof buf, "%%%c", f);
                break;
        }
        out += buf;
    }
    return out;
}
