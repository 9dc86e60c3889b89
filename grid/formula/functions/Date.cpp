// Date and time worksheet functions over the day-serial calendar: 1 is 1 January 1900, 73050
// is 31 December 2099, years are offsets from 1900 and 1900 counts as a leap year.
#include <algorithm>
#include <cmath>
#include <set>

#include "grid/formula/FunctionArgs.h"
#include "grid/formula/NumericHelpers.h"

namespace formula {

namespace {

enum : int {
    kErrNotNumeric = 56,
    kErrNoArguments = 71,
    kErrInvalidDate = 111,
    kErrInvalidTime = 113,
    kErrTooFew = 159,
    kErrTooMany = 160,
};

// A date argument: a number, truncated, inside the calendar.
int SerialArg(GXCallFrame& frame, int i, int code = GX_ERR_BAD_ARG_TYPE) {
    double x = std::trunc(GXNumberArg(frame, i, code));
    if (!(x >= 1 && x <= GX_LAST_SERIAL)) {
        GXFunctionError(kErrInvalidDate);
    }
    return static_cast<int>(x);
}

// (serial - 1) mod 7 + 1: 1 Sunday .. 7 Saturday.
int WeekdayOf(int serial) {
    return (serial - 1) % 7 + 1;
}

bool Weekend(int serial) {
    int w = WeekdayOf(serial);
    return w == 1 || w == 7;
}

void Date(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 3);
    int parts[3];
    for (int i = 0; i < 3; ++i) {
        parts[i] = GXTruncClamp(GXNumberArg(frame, i + 1, kErrNotNumeric));
    }
    // The routine takes 1900 on as a full year and below as an offset; offsets end at 199.
    int year = parts[0];
    int serial = year >= 200 && year < 1900 ? 0 : GXDateSerial(year, parts[1], parts[2]);
    if (serial == 0) {
        GXFunctionError(kErrInvalidDate);
    }
    result = GXValue::Number(serial);
}

void Time(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 3);
    int parts[3];
    for (int i = 0; i < 3; ++i) {
        parts[i] = GXTruncClamp(GXNumberArg(frame, i + 1, kErrNotNumeric));
    }
    auto t = GXTimeFraction(parts[0], parts[1], parts[2]);
    if (!t) {
        GXFunctionError(kErrInvalidTime);
    }
    result = GXValue::Number(*t);
}

enum class Part { kDay, kMonth, kYear, kHour, kMinute, kSecond };

// Serial 0 (and a time alone) is the day before 1 January 1900: day 0 of month 1, year 0.
GXDate DateOf(double x) {
    if (!(x >= 0 && x < GX_LAST_SERIAL + 1)) {
        GXFunctionError(kErrInvalidDate);
    }
    auto d = GXSerialToDate(static_cast<long>(x));
    return d ? *d : GXDate{0, 1, 0};
}

template <Part P>
void DatePart(GXValue& result, GXCallFrame& frame) {
    double x = GXNumericArgument(frame);
    double value = 0;
    if (P == Part::kDay || P == Part::kMonth || P == Part::kYear) {
        GXDate d = DateOf(x);
        value = P == Part::kDay ? d.day : P == Part::kMonth ? d.month : d.year;
    } else {
        if (!(x >= 0 && x < GX_LAST_SERIAL + 1)) {
            GXFunctionError(kErrInvalidTime);
        }
        int h = 0, m = 0, s = 0;
        GXDayFractionToHMS(x - std::floor(x), h, m, s);
        value = P == Part::kHour ? h % 24 : P == Part::kMinute ? m : s;
    }
    result = GXValue::Number(value);
}

int Today() {
    GXNowParts now = GXNow();
    return GXDateSerial(now.year, now.month, now.day);
}

void TodayFn(GXValue& result, GXCallFrame& frame) {
    if (frame.count != 0) {
        GXFunctionError(kErrNoArguments);
    }
    result = GXValue::Number(Today());
}

void Now(GXValue& result, GXCallFrame& frame) {
    if (frame.count != 0) {
        GXFunctionError(kErrNoArguments);
    }
    GXNowParts now = GXNow();
    double time = GXTimeFraction(now.hour, now.minute, std::min(now.second, 59)).value_or(0);
    result = GXValue::Number(Today() + time);
}

void DateValue(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    auto d = GXParseDateText(GXStringArg(frame, 1));
    int serial = d && d->year >= 0 && d->year <= 199 ? GXDateSerial(d->year, d->month, d->day) : 0;
    if (serial == 0) {
        GXFunctionError(kErrInvalidDate);
    }
    result = GXValue::Number(serial);
}

void TimeValue(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    auto t = GXParseTimeText(GXStringArg(frame, 1));
    if (!t) {
        GXFunctionError(kErrInvalidTime);
    }
    result = GXValue::Number(*t);
}

void Days360(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 2);
    int a = SerialArg(frame, 1);
    int b = SerialArg(frame, 2);
    result = GXValue::Number(GXDays360(a, b));
}

// Moves a date by whole months: the day is kept, or cut to the target month's length; the
// last day of the target month with lastDay.
int ShiftMonths(int serial, double monthsArg, bool lastDay) {
    auto d = GXSerialToDate(serial);
    long months = static_cast<long>(std::clamp(std::trunc(monthsArg), -1e6, 1e6));
    long total = static_cast<long>(d->year) * 12 + (d->month - 1) + months;
    if (total < 0 || total >= 200 * 12) {
        return 0;
    }
    int year = static_cast<int>(total / 12), month = static_cast<int>(total % 12) + 1;
    int length = GXMonthLength(year, month);
    return GXDateSerial(year, month, lastDay ? length : std::min(d->day, length));
}

template <bool LastDay>
void EDate(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 2);
    int serial = SerialArg(frame, 1);
    int shifted = ShiftMonths(serial, GXNumberArg(frame, 2), LastDay);
    if (shifted == 0) {
        GXFunctionError(kErrInvalidDate);
    }
    result = GXValue::Number(shifted);
}

void Weekday(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    result = GXValue::Number(WeekdayOf(SerialArg(frame, 1)));
}

void YearFrac(GXValue& result, GXCallFrame& frame) {
    if (frame.count < 2 || frame.count > 3) {
        GXFunctionError(GX_ERR_WRONG_ARG_COUNT);
    }
    int start = SerialArg(frame, 1);
    int end = SerialArg(frame, 2);
    int basis = frame.count == 3 ? GXTruncClamp(GXNumberArg(frame, 3)) : 0;
    result = GXValue::Number(GXYearFraction(basis, start, end, true));
}

void CountArgs(const GXCallFrame& frame, int min, int max) {
    if (frame.count < min) {
        GXFunctionError(kErrTooFew);
    }
    if (frame.count > max) {
        GXFunctionError(kErrTooMany);
    }
}

// The holiday list: the numeric cells of a range, truncated, each date once. A single cell
// reaches the handler already read as its number (the argument is a number argument), so a
// number is one holiday.
std::set<long> Holidays(GXCallFrame& frame, int i) {
    std::set<long> days;
    auto add = [&](double x) {
        if (std::fabs(x) < 1e9) {
            days.insert(static_cast<long>(std::trunc(x)));
        }
    };
    if (frame.count < i) {
        return days;
    }
    if (frame.arg(i).type == GX_VT_NUMBER) {
        add(frame.arg(i).number);
        return days;
    }
    GXRangeRef range = GXRangeArg(frame, i);
    for (GXEngineCell* cell : GXRangeCells(range)) {
        double x = 0;
        if (GXCellNumber(cell->row, cell->col, x)) {
            add(x);
        }
    }
    return days;
}

// Working days (Monday to Friday) from a to b inclusive, a <= b.
long WeekdaysBetween(int a, int b) {
    long days = b - a + 1;
    long count = days / 7 * 5;
    for (int s = a + static_cast<int>(days / 7 * 7); s <= b; ++s) {
        count += Weekend(s) ? 0 : 1;
    }
    return count;
}

void NetworkDays(GXValue& result, GXCallFrame& frame) {
    CountArgs(frame, 2, 3);
    int start = SerialArg(frame, 1);
    int end = SerialArg(frame, 2);
    std::set<long> holidays = Holidays(frame, 3);
    int a = std::min(start, end), b = std::max(start, end);
    long count = WeekdaysBetween(a, b);
    for (long h : holidays) {
        if (h >= a && h <= b && !Weekend(static_cast<int>(h))) {
            --count;
        }
    }
    // Counting backwards gives the negative count, as other spreadsheets do.
    result = GXValue::Number(static_cast<double>(end < start ? -count : count));
}

void WorkDay(GXValue& result, GXCallFrame& frame) {
    CountArgs(frame, 2, 3);
    double startArg = std::trunc(GXNumberArg(frame, 1));
    if (!(startArg >= 0 && startArg < GX_LAST_SERIAL + 1)) {
        GXFunctionError(kErrInvalidDate);
    }
    double days = std::trunc(GXNumberArg(frame, 2));
    std::set<long> holidays = Holidays(frame, 3);
    int step = days >= 0 ? 1 : -1;
    double wanted = std::max(std::fabs(days), 1.0);
    double counted = 0;
    // The walk ends inside the calendar or not at all.
    for (int s = static_cast<int>(startArg); s >= 0 && s <= GX_LAST_SERIAL; s += step) {
        if (s == 0 || Weekend(s) || holidays.count(s) != 0) {
            continue;
        }
        if (++counted >= wanted) {
            result = GXValue::Number(s);
            return;
        }
    }
    GXFunctionError(kErrInvalidDate);
}

}  // namespace

void GXRegisterDateFunctions(GXHandlerRegistry& r) {
    r.Add("DATE", Date);
    r.Add("DATEVALUE", DateValue);
    r.Add("DAY", DatePart<Part::kDay>);
    r.Add("DAYS360", Days360);
    r.Add("EDATE", EDate<false>);
    r.Add("EOMONTH", EDate<true>);
    r.Add("HOUR", DatePart<Part::kHour>);
    r.Add("MINUTE", DatePart<Part::kMinute>);
    r.Add("MONTH", DatePart<Part::kMonth>);
    r.Add("NETWORKDAYS", NetworkDays);
    r.Add("NOW", Now);
    r.Add("SECOND", DatePart<Part::kSecond>);
    r.Add("TIME", Time);
    r.Add("TIMEVALUE", TimeValue);
    r.Add("TODAY", TodayFn);
    r.Add("WEEKDAY", Weekday);
    r.Add("WORKDAY", WorkDay);
    r.Add("YEAR", DatePart<Part::kYear>);
    r.Add("YEARFRAC", YearFrac);
}

}  // namespace formula
