#include "grid/features/CGXNoOleDateTimeImp.h"

#include "grid/core/GXLibraryState.h"

#include <cctype>
#include <cstdio>
#include <utility>

namespace {

std::function<GXDateLocaleTexts()>& LocaleSource() {
    static std::function<GXDateLocaleTexts()> source;
    return source;
}

GXDateLocaleTexts ReadLocale() {
    if (LocaleSource())
        return LocaleSource()();
    return {"M/d/yyyy", ":"};
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    return s;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The leading digits as a number, 0 without any (as atoi reads a field).
int LeadingNumber(std::string_view s) {
    int n = 0;
    for (std::size_t i = 0; i < s.size() && i < 6 && IsDigit(s[i]); ++i) n = n * 10 + (s[i] - '0');
    return n;
}

bool EndsWithNoCase(std::string_view s, std::string_view tail) {
    if (s.size() < tail.size())
        return false;
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(s[s.size() - tail.size() + i])) != tail[i])
            return false;
    return true;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// One number of a date: skips blanks and one separator, then takes the digits.
bool NextNumber(std::string_view& s, int maxDigits, int& value, int& digits) {
    s = TrimLeft(s);
    if (!s.empty() && !IsDigit(s.front()))
        s.remove_prefix(1);
    digits = 0;
    value = 0;
    while (digits < static_cast<int>(s.size()) && IsDigit(s[static_cast<std::size_t>(digits)])) {
        value = value * 10 + (s[static_cast<std::size_t>(digits)] - '0');
        if (++digits > maxDigits)
            return false;
    }
    s.remove_prefix(static_cast<std::size_t>(digits));
    return digits > 0;
}

}  // namespace

void CGXNoOleDateTimeImp::SetLocaleSource(std::function<GXDateLocaleTexts()> source) {
    LocaleSource() = std::move(source);
}

void CGXNoOleDateTimeImp::RefreshSettings() {
    DateOrder(true);
    GetTimeSeparator(true);
}

int CGXNoOleDateTimeImp::DateOrder(bool reload) {
    if (!reload && order_ != 3)
        return order_;
    std::string format = ReadLocale().shortDate.substr(0, 128);
    order_ = 1;
    fourDigitYear_ = false;
    dateSeparator_ = '/';
    if (format.empty())
        return order_;
    for (char& c : format) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    order_ = format[0] == 'D' ? 0 : format[0] == 'Y' ? 2 : 1;
    fourDigitYear_ = format.find("YYYY") != std::string::npos;
    for (char c : format) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            dateSeparator_ = c;
            break;
        }
    }
    return order_;
}

int CGXNoOleDateTimeImp::GetDateFormatInfo(bool& fourDigitYear, std::string& separator) {
    const int order = DateOrder(false);
    fourDigitYear = fourDigitYear_;
    separator.assign(1, dateSeparator_);
    return order;
}

std::string CGXNoOleDateTimeImp::GetTimeSeparator(bool refresh) {
    if (refresh || !timeRead_) {
        const std::string t = ReadLocale().timeSeparator;
        timeSeparator_ = t.empty() ? ':' : t[0];
        timeRead_ = true;
    }
    return std::string(1, timeSeparator_);
}

// Hours may be 24 and "12 PM" is noon: stored sheets hold times written that way, so both are
// read as they always were.
bool CGXNoOleDateTimeImp::ParseTime(GXDateTimeRecord& r, std::string_view text) {
    const std::size_t sep = text.find(timeSeparator_);
    if (sep == std::string_view::npos)
        return false;
    int hours = LeadingNumber(text);
    std::string_view tail = text;
    while (!tail.empty() && tail.back() == ' ') tail.remove_suffix(1);
    if (EndsWithNoCase(tail, "PM") || EndsWithNoCase(tail, "P")) {
        hours += 12;
        if (hours == 24)
            hours = 12;
    } else if (EndsWithNoCase(tail, "AM") || EndsWithNoCase(tail, "A")) {
        if (hours >= 13)
            return false;
        if (hours == 12)
            hours = 0;
    }
    if (hours < 0 || hours > 24)
        return false;
    const std::string_view rest = text.substr(sep + 1);
    const int minutes = LeadingNumber(rest.substr(0, 2));
    const int seconds =
        rest.size() > 2 ? LeadingNumber(rest.substr(std::min<std::size_t>(3, rest.size()), 2)) : 0;
    if (minutes > 59 || seconds > 59)
        return false;
    r.hour = static_cast<std::uint16_t>(hours);
    r.minute = static_cast<std::uint16_t>(minutes);
    r.second = static_cast<std::uint16_t>(seconds);
    return true;
}

// Years of one or two digits are 1901 to 1999 ("1/2/05" is 1905): dates stored as text were
// written under that rule, so it stays.
bool CGXNoOleDateTimeImp::ParseDate(GXDateTimeRecord& r, std::string_view text) {
    if (text.find_first_not_of("0123456789/-. ") != std::string_view::npos)
        return false;
    std::string six;
    if (text.size() == 6 && text.find_first_not_of("0123456789") == std::string_view::npos) {
        six = std::string(text.substr(0, 2)) + "/" + std::string(text.substr(2, 2)) + "/" +
              std::string(text.substr(4, 2));
        text = six;
    }
    static constexpr char kOrders[3][3] = {{'d', 'm', 'y'}, {'m', 'd', 'y'}, {'y', 'm', 'd'}};
    int day = 0, month = 0, year = 0;
    for (char field : kOrders[DateOrder(false)]) {
        int value = 0, digits = 0;
        if (!NextNumber(text, field == 'y' ? 4 : 2, value, digits))
            return false;
        if (field == 'd') {
            if (value < 1 || value > 31)
                return false;
            day = value;
        } else if (field == 'm') {
            if (value < 1 || value > 12)
                return false;
            month = value;
        } else {
            year = digits <= 2 && value >= 1 ? 1900 + value : value;
        }
    }
    if (day > DaysInMonth(year, month))
        return false;
    r.year = static_cast<std::uint16_t>(year);
    r.month = static_cast<std::uint16_t>(month);
    r.day = static_cast<std::uint16_t>(day);
    return true;
}

bool CGXNoOleDateTimeImp::ParseDateTime(GXDateTimeRecord& record, std::string_view text) {
    record = {};
    GetTimeSeparator(false);
    const std::size_t blank = text.find(' ');
    const std::size_t sep = text.find(timeSeparator_);
    std::string_view date, time;
    if (blank == std::string_view::npos || (sep != std::string_view::npos && blank > sep)) {
        (sep != std::string_view::npos ? time : date) = text;
    } else {
        date = text.substr(0, blank);
        time = text.substr(blank + 1);
    }
    date = TrimLeft(date);
    time = TrimLeft(time);
    if (date.empty() && time.empty())
        return false;
    if (!time.empty()) {
        record.year = 70;
        record.month = 0;
        record.day = 1;
        if (!ParseTime(record, time))
            return false;
    }
    return date.empty() || ParseDate(record, date);
}

bool CGXNoOleDateTimeImp::ParseDateTime(std::tm& time, std::string_view text) {
    GXDateTimeRecord r;
    if (!ParseDateTime(r, text))
        return false;
    time = {};
    time.tm_sec = r.second;
    time.tm_min = r.minute;
    time.tm_hour = r.hour;
    if (r.month == 0) {  // a time alone falls on 1 January 1970
        time.tm_mday = 1;
        time.tm_mon = 0;
        time.tm_year = 70;
        return true;
    }
    time.tm_mday = r.day;
    time.tm_mon = r.month - 1;
    // Years up to 37 are 2000 to 2037.
    time.tm_year = r.year >= 1900 ? r.year - 1900 : r.year <= 37 ? r.year + 100 : r.year;
    return true;
}

std::string CGXNoOleDateTimeImp::FormatDateTime(const GXDateTimeRecord& r) {
    const int order = DateOrder(false);
    const char ts = GetTimeSeparator(false)[0];
    const char ds = dateSeparator_;
    char buf[64];
    std::string out;
    if (r.month != 0) {
        const int y = fourDigitYear_ ? r.year : r.year % 100;
        const char* f = fourDigitYear_ ? (order == 2 ? "%04d%c%02d%c%02d" : "%02d%c%02d%c%04d")
                                       : "%02d%c%02d%c%02d";
        if (order == 0)
            std::snprintf(buf, sizeof buf, f, r.day, ds, r.month, ds, y);
        else if (order == 2)
            std::snprintf(buf, sizeof buf, f, y, ds, r.month, ds, r.day);
        else
            std::snprintf(buf, sizeof buf, f, r.month, ds, r.day, ds, y);
        out = buf;
    }
    if (r.hour != 0 || r.minute != 0 || r.second != 0) {
        std::snprintf(buf, sizeof buf, "%02d%c%02d%c%02d", r.hour, ts, r.minute, ts, r.second);
        if (!out.empty())
            out += ' ';
        out += buf;
    }
    return out;
}

std::string CGXNoOleDateTimeImp::FormatTime(std::time_t time) {
    std::tm local{};
    if (!localtime_r(&time, &local))
        return {};
    const bool midnight = local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0;
    char buf[128];
    const std::size_t n = std::strftime(buf, sizeof buf, midnight ? "%x" : "%c", &local);
    return std::string(buf, n);
}

void InstallNoOleDateTimeImp() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (state.m_pDateTimeImp)
        return;
    state.m_pDateTimeImp = state.AddOwnedObject(std::make_unique<CGXNoOleDateTimeImp>());
}
