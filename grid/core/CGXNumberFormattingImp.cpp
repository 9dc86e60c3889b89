#include "grid/core/CGXNumberFormattingImp.h"

#include "grid/core/CGXStyle.h"
#include "grid/core/GXDateText.h"
#include "grid/core/GXLibraryState.h"
#include "grid/core/GXNumberText.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>

namespace {

constexpr std::string_view kFormatNames[] = {"G",  "S2", "F2", "G",  "C0", ",0", "G",  "G",
                                             "D1", "D2", "D3", "D1", "G",  "D8", "P0", "G",
                                             "C0", "C0", "C0", "C0", "D4", "D1"};

std::string Fixed(double v, unsigned places) {
    return GXFormatDouble('f', static_cast<int>(places), v);
}

// Codes 4, 5 and 23: the absolute value with separators, wrapped by sign.
std::string Money(double v, unsigned places, const char* positive, const char* negative) {
    const std::string body = GXApplyNumberSeparators(Fixed(std::fabs(v), places), '.', ',');
    char buf[512];
    std::snprintf(buf, sizeof buf, v >= 0 ? positive : negative, body.c_str());
    return buf;
}

std::string Fraction(double v, unsigned places) {
    if (places < 1 || places > 6)
        places = 3;
    const double a = std::fabs(v);
    if (!(a < 2147483647.0))
        return {};
    long long whole = static_cast<long long>(a);
    long long denominator = 1;
    for (unsigned i = 0; i < places + 2; ++i) denominator *= 10;
    // Rounded to nearest: 0.3 is 300/1000 (3/10), not 299/1000.
    long long numerator = std::llround((a - static_cast<double>(whole)) * denominator);
    if (numerator >= denominator) {
        ++whole;
        numerator -= denominator;
    }
    GXReduceFraction(numerator, denominator);
    char buf[64];
    std::string text;
    if (whole >= 1 || a >= 1) {
        std::snprintf(buf, sizeof buf, "%lld", whole);
        text = buf;
    }
    std::snprintf(buf, sizeof buf, " %lld/%lld", numerator, denominator);
    text += buf;
    return (v >= 0 ? " " : "-") + text;
}

std::optional<std::string> DateText(double v, std::string_view pattern) {
    std::optional<GXDateTime> t = GXDateTimeFromNumber(v);
    if (!t)
        return std::nullopt;
    return GXFormatDateTime(*t, pattern);
}

std::optional<std::string> LocaleDateTime(double v, bool date, bool time) {
    std::optional<GXDateTime> t = GXDateTimeFromNumber(v);
    if (!t)
        return std::nullopt;
    const QLocale locale = QLocale::system();
    QString s;
    if (date)
        s = locale.toString(QDate(t->year, t->month, t->day), QLocale::ShortFormat);
    if (time) {
        if (!s.isEmpty())
            s += ' ';
        s += locale.toString(QTime(t->hour, t->minute, t->second), QLocale::ShortFormat);
    }
    return s.toStdString();
}

std::optional<std::string> LocaleNumber(double v) {
    double parsed = 0;
    if (!GXParseDouble(GXFormatDouble('g', 14, v), parsed) || !std::isfinite(parsed))
        return std::nullopt;
    std::string s = QLocale::system().toString(parsed, 'f', 2).toStdString();
    if (s.empty())
        return std::nullopt;
    if (s.back() >= '0' && s.back() <= '9')
        s += ' ';
    return s;
}

// The text of a number by its code; none when the value cannot be shown that way.
std::optional<std::string> FormatByCode(double v, unsigned format, unsigned places) {
    switch (format) {
        case 1:
            return GXFormatDouble('e', static_cast<int>(places), v);
        case 2:
            return Fixed(v, places);
        case 3:
            return GXFormatDouble('g', static_cast<int>(places), v);
        case 4:
            return Money(v, places, "$%s ", "($%s)");
        case 5:
            return Money(v, places, "%s ", "(%s)");
        case 23:
            return Money(v, places, " %s ", "(%s)");
        case 6: {
            const double whole = std::trunc(v);
            if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
                  whole <= std::numeric_limits<std::uint32_t>::max()))
                return std::nullopt;
            char buf[24];
            std::snprintf(buf, sizeof buf, "0x%X",
                          static_cast<unsigned>(static_cast<std::int64_t>(whole)));
            return std::string(buf);
        }
        case 7: {
            const double whole = std::trunc(v);
            return std::string(whole == 0 ? "0" : whole == 1 ? "1" : "?");
        }
        case 8:
            return DateText(v, "%d-%b-%y");
        case 9:
            return DateText(v, "%d-%b");
        case 10:
            return DateText(v, "%b-%y");
        case 11:
            return LocaleDateTime(v, true, false);
        case 12:
            return std::string();
        case 13:
            return LocaleDateTime(v, false, true);
        case 14:
            if (v >= 1.7976931348623156e306)
                return std::string(" Percent! ");
            return Fixed(v * 100, places) + "%";
        case 16:
            return DateText(v, "%d.%m.%Y");
        case 17:
            return DateText(v, "%Y-%m-%d");
        case 18:
            return LocaleDateTime(v, true, true);
        case 24: {
            std::string f = Fraction(v, places);
            if (f.empty())
                return std::nullopt;
            return f;
        }
        case 25:
            return DateText(v, "%I:%M %p");
        case 26:
            return DateText(v, "%I:%M:%S %p");
        case 27:
            return DateText(v, "%H:%M");
        case 28: {
            if (std::optional<std::string> s = LocaleNumber(v))
                return s;
            return Money(v, places, "%s ", "(%s)");
        }
        default:
            return std::string(" Format? ");
    }
}

bool PassesThrough(unsigned format) {
    return format == 0 || format == 15 || (format >= 19 && format <= 22);
}

}  // namespace

std::string GXFormatNumber(std::string_view valueText, unsigned format, unsigned places) {
    if (PassesThrough(format))
        return std::string(valueText);
    if (format == 12)
        return {};
    std::optional<std::string> s = FormatByCode(GXAtof(valueText), format, places);
    return s ? *s : std::string(valueText);
}

void GXReduceFraction(long long& numerator, long long& denominator) {
    const long long g = std::gcd(numerator, denominator);
    if (g > 1) {
        numerator /= g;
        denominator /= g;
    }
    if (numerator == 0)
        denominator = 1;
}

std::string GXApplyNumberSeparators(std::string_view text, char decimal, char thousands) {
    std::size_t start = 0;
    std::string out;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        out += text[0];
        start = 1;
    }
    std::size_t intEnd = start;
    while (intEnd < text.size() && text[intEnd] >= '0' && text[intEnd] <= '9') ++intEnd;
    const std::size_t digits = intEnd - start;
    for (std::size_t i = start; i < intEnd; ++i) {
        out += text[i];
        const std::size_t left = intEnd - i - 1;
        if (left > 0 && left % 3 == 0 && thousands)
            out += thousands;
    }
    (void)digits;
    for (std::size_t i = intEnd; i < text.size(); ++i) out += text[i] == '.' ? decimal : text[i];
    return out;
}

std::string_view GXGetFormatName(unsigned format) {
    return format < std::size(kFormatNames) ? kFormatNames[format] : std::string_view();
}

std::string CGXNumberFormattingImp::FormatValue(const CGXStyle& style, const std::string* valueText,
                                                unsigned valueType) {
    const std::string& text = valueText ? *valueText : style.GetValue();
    const unsigned type = valueText ? valueType : style.GetValueType();
    if (!style.GetIncludeFormat())
        return text;
    if (style.GetFormat() == 12)
        return {};
    if (type != GX_VT_NUMBER)
        return text;
    const unsigned places = style.GetIncludePlaces() ? style.GetPlaces() : 13;
    return GXFormatNumber(text, style.GetFormat(), places);
}

void InstallNumberFormattingImp() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (state.m_pNumberFormattingImp)
        return;
    state.m_pNumberFormattingImp = state.AddOwnedObject(std::make_unique<CGXNumberFormattingImp>());
}
