#include "grid/extras/GXLocaleInfo.h"

#include <QLocale>
#include <QString>

#include <array>
#include <utility>

namespace {

// Non-breaking and narrow spaces that locales put beside symbols read as plain blanks.
QString PlainSpaces(QString s) {
    s.replace(QChar(0x00A0), QChar(' '));
    s.replace(QChar(0x202F), QChar(' '));
    return s;
}

char AsciiOr(const QString& s, char fallback) {
    if (s.isEmpty())
        return fallback;
    const QChar c = PlainSpaces(s).at(0);
    return c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : fallback;
}

constexpr std::array<std::pair<const char*, const char*>, 4> kPositive = {{
    {"%s", ""},
    {"", "%s"},
    {"%s ", ""},
    {"", " %s"},
}};
constexpr std::array<std::pair<const char*, const char*>, 16> kNegative = {{
    {"(%s", ")"},
    {"-%s", ""},
    {"%s-", ""},
    {"%s", "-"},
    {"(", "%s)"},
    {"-", "%s"},
    {"", "-%s"},
    {"", "%s-"},
    {"-", " %s"},
    {"-%s ", ""},
    {"", " %s-"},
    {"%s ", "-"},
    {"%s -", ""},
    {"", "- %s"},
    {"(%s ", ")"},
    {"(", " %s)"},
}};

// Splits a formatted amount into the text before and after the number, with the symbol as "%s"
// and the locale's minus sign as "-".
std::pair<std::string, std::string> Affixes(const QLocale& loc, const QString& money,
                                            const QString& number) {
    const qsizetype at = money.indexOf(number);
    if (at < 0)
        return {};
    auto clean = [&](QString part) {
        part = PlainSpaces(part);
        const QString symbol = loc.currencySymbol();
        if (!symbol.isEmpty())
            part.replace(PlainSpaces(symbol), QStringLiteral("%s"));
        part.replace(loc.negativeSign(), QStringLiteral("-"));
        return part.toStdString();
    };
    return {clean(money.left(at)), clean(money.mid(at + number.size()))};
}

std::string ToPicture(const QString& qtFormat) {
    const bool twelveHour = qtFormat.contains(QLatin1Char('a'), Qt::CaseInsensitive);
    std::string out;
    bool quoted = false;
    for (qsizetype i = 0; i < qtFormat.size(); ++i) {
        const QChar c = qtFormat.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            out += '\'';
            continue;
        }
        if (quoted) {
            out += QString(c).toStdString();
            continue;
        }
        switch (c.unicode()) {
            case 'h':
            case 'H':
                out += twelveHour ? 'h' : 'H';
                break;
            case 'a':
            case 'A':
                if (i + 1 < qtFormat.size() && (qtFormat.at(i + 1) == QLatin1Char('p') ||
                                                qtFormat.at(i + 1) == QLatin1Char('P')))
                    ++i;
                out += "tt";
                break;
            case 't':  // the time zone has no field of its own
                break;
            case 'z':  // neither have milliseconds
                break;
            default:
                out += QString(PlainSpaces(QString(c))).toStdString();
        }
    }
    // A picture that ended on a dropped field keeps no dangling blank.
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

}  // namespace

std::string GXLocaleDecimalSeparator() {
    const QString s = QLocale().decimalPoint();
    return s.isEmpty() ? std::string(".") : s.toStdString();
}

std::optional<std::string> GXLocaleDayName(int day, bool full) {
    if (day < 1 || day > 7)
        return std::nullopt;
    // The toolkit counts Monday 1 to Sunday 7; the controls count Sunday 1 to Saturday 7.
    const int qtDay = day == 1 ? 7 : day - 1;
    return QLocale()
        .dayName(qtDay, full ? QLocale::LongFormat : QLocale::ShortFormat)
        .toStdString();
}

std::optional<std::string> GXLocaleMonthName(int month, bool full) {
    if (month < 1 || month > 12)
        return std::nullopt;
    return QLocale()
        .monthName(month, full ? QLocale::LongFormat : QLocale::ShortFormat)
        .toStdString();
}

int GXCurrencyPatternIndex(bool negative, const std::string& prefix, const std::string& suffix) {
    if (negative) {
        for (std::size_t i = 0; i < kNegative.size(); ++i)
            if (prefix == kNegative[i].first && suffix == kNegative[i].second)
                return static_cast<int>(i);
    } else {
        for (std::size_t i = 0; i < kPositive.size(); ++i)
            if (prefix == kPositive[i].first && suffix == kPositive[i].second)
                return static_cast<int>(i);
    }
    return -1;
}

GXCurrencyLocale GXLocaleCurrency() {
    const QLocale loc;
    GXCurrencyLocale c;
    if (loc.language() == QLocale::C || loc.currencySymbol().isEmpty())
        return c;  // the C locale has no money format: the fixed defaults stand
    c.symbol = loc.currencySymbol().toStdString();
    c.decimalSeparator = AsciiOr(loc.decimalPoint(), '.');
    c.thousandsSeparator = AsciiOr(loc.groupSeparator(), ' ');
    // The group size: the digits after the last separator of a grouped number.
    const QString grouped = loc.toString(1234567890.0, 'f', 0);
    const qsizetype lastSep = grouped.lastIndexOf(loc.groupSeparator());
    const int group =
        lastSep < 0 ? 0 : static_cast<int>(grouped.size() - lastSep - loc.groupSeparator().size());
    c.grouping = std::to_string(group) + ";0";
    if (group == 0)
        c.thousandsSeparator = 0;

    const QString one = PlainSpaces(loc.toCurrencyString(1.0));
    const qsizetype dec = one.indexOf(PlainSpaces(loc.decimalPoint()));
    if (dec >= 0) {
        int digits = 0;
        for (qsizetype i = dec + loc.decimalPoint().size(); i < one.size() && one.at(i).isDigit();
             ++i)
            ++digits;
        c.fractionDigits = digits;
    } else {
        c.fractionDigits = 0;
    }
    const QString number = PlainSpaces(loc.toString(1.0, 'f', c.fractionDigits));
    const auto [pp, ps] = Affixes(loc, one, number);
    const int pos = GXCurrencyPatternIndex(false, pp, ps);
    c.positiveFormat = pos < 0 ? 0 : pos;
    const auto [np, ns] = Affixes(loc, PlainSpaces(loc.toCurrencyString(-1.0)), number);
    const int neg = GXCurrencyPatternIndex(true, np, ns);
    c.negativeFormat = neg < 0 ? 0 : neg;
    return c;
}

std::string GXLocaleDatePicture(bool longForm) {
    return ToPicture(QLocale().dateFormat(longForm ? QLocale::LongFormat : QLocale::ShortFormat));
}

std::string GXLocaleTimePicture() {
    return ToPicture(QLocale().timeFormat(QLocale::LongFormat));
}

std::string GXLocaleAmPm(bool pm) {
    const QString s = pm ? QLocale().pmText() : QLocale().amText();
    if (s.isEmpty())
        return pm ? "PM" : "AM";
    return s.toStdString();
}
