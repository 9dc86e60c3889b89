// The day-serial calendar of the worksheet functions.
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

#include "grid/formula/NumericHelpers.h"

namespace formula {

int GXMonthLength(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && year % 4 == 0 ? 29 : kDays[month - 1];
}

int GXDateSerial(int year, int month, int day) {
    if (year >= 1900) {
        year -= 1900;
    }
    if (year < 0 || year > 199 || month < 1 || month > 12 || day < 1 ||
        day > GXMonthLength(year, month)) {
        return 0;
    }
    int serial = day + 365 * year + (year > 0 ? (year - 1) / 4 + 1 : 0);
    for (int m = 1; m < month; ++m) {
        serial += GXMonthLength(year, m);
    }
    return serial;
}

std::optional<GXDate> GXSerialToDate(long serial) {
    if (serial < 1 || serial > GX_LAST_SERIAL) {
        return std::nullopt;
    }
    long days = serial - 1;
    int year = static_cast<int>(days / 1461) * 4;
    days %= 1461;
    // The first year of each four-year cycle has 366 days.
    if (days >= 366) {
        days -= 366;
        year += 1 + static_cast<int>(days / 365);
        days %= 365;
    }
    int month = 1;
    while (days >= GXMonthLength(year, month)) {
        days -= GXMonthLength(year, month);
        ++month;
    }
    return GXDate{year, month, static_cast<int>(days) + 1};
}

int GXAddMonths(int serial, int months) {
    auto d = GXSerialToDate(serial);
    if (!d) {
        return 0;
    }
    long total = static_cast<long>(d->year) * 12 + (d->month - 1) + months;
    if (total < 0 || total >= 200 * 12) {
        return 0;
    }
    int year = static_cast<int>(total / 12);
    int month = static_cast<int>(total % 12) + 1;
    int length = GXMonthLength(year, month);
    bool lastOfFebruary = d->month == 2 && d->day == GXMonthLength(d->year, 2);
    int day = lastOfFebruary ? length : std::min(d->day, length);
    return GXDateSerial(year, month, day);
}

int GXDays360(int serial1, int serial2) {
    auto a = GXSerialToDate(serial1);
    auto b = GXSerialToDate(serial2);
    if (!a || !b) {
        return 0;
    }
    int d1 = a->day, d2 = b->day;
    if (d1 == GXMonthLength(a->year, a->month)) {
        d1 = 30;
        if (d2 == GXMonthLength(b->year, b->month)) {
            d2 = 30;
        }
    }
    if (d1 == 31) {
        d1 = 30;
    }
    if (d2 == 31 && d1 > 29) {
        d2 = 30;
    }
    return ((b->year - a->year) * 12 + b->month - a->month) * 30 + d2 - d1;
}

double GXYearFraction(int basis, int serial1, int serial2, bool inclusive) {
    int extra = inclusive ? 1 : 0;
    double days = serial2 - serial1 + extra;
    double r;
    switch (basis) {
        case 0:
            r = (GXDays360(serial1, serial2) + extra) / 360.0;
            break;
        case 1: {
            auto d = GXSerialToDate(serial1);
            r = days / (d && d->year % 4 == 0 ? 366.0 : 365.0);
            break;
        }
        case 3:
            r = days / 365.0;
            break;
        default:
            r = days / 360.0;
            break;
    }
    return std::fabs(r);
}

GXNowParts GXNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year, local.tm_mon + 1, local.tm_mday,
            local.tm_hour, local.tm_min,     local.tm_sec};
}

std::optional<double> GXTimeFraction(int hour, int minute, int second) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        return std::nullopt;
    }
    return ((second / 60.0 + minute) / 60.0 + hour) / 24.0;
}

void GXDayFractionToHMS(double fraction, int& hour, int& minute, int& second) {
    long seconds = static_cast<long>(std::floor(fraction * 86400 + 0.5));
    hour = static_cast<int>(seconds / 3600);
    minute = static_cast<int>(seconds / 60 % 60);
    second = static_cast<int>(seconds % 60);
}

namespace {

// strptime with the whole text consumed (trailing blanks allowed).
bool ParseWith(const std::string& text, const char* format, std::tm& tm) {
    tm = std::tm{};
    const char* end = strptime(text.c_str(), format, &tm);
    if (end == nullptr) {
        return false;
    }
    while (*end == ' ') {
        ++end;
    }
    return *end == '\0';
}

}  // namespace

std::optional<GXDate> GXParseDateText(std::string_view text) {
    std::string s(text);
    std::tm tm{};
    // The locale's own date form first, then the unambiguous ISO form.
    for (const char* format : {"%x", "%Y-%m-%d"}) {
        if (ParseWith(s, format, tm)) {
            return GXDate{tm.tm_year, tm.tm_mon + 1, tm.tm_mday};
        }
    }
    return std::nullopt;
}

std::optional<double> GXParseTimeText(std::string_view text) {
    std::string s(text);
    std::tm tm{};
    for (const char* format : {"%X", "%H:%M:%S", "%H:%M"}) {
        if (ParseWith(s, format, tm)) {
            return GXTimeFraction(tm.tm_hour, tm.tm_min, tm.tm_sec);
        }
    }
    return std::nullopt;
}

}  // namespace formula
