// The user's locale as the stand-alone controls (and the currency and date-time cell controls
// built on them) see it: the one place that asks for day and month names, the decimal separator,
// money settings and date and time pictures. It reads the toolkit's default locale (the user's
// locale from the environment unless a program or test sets another with QLocale::setDefault);
// number texts elsewhere in the suite stay locale-independent. User-interface thread.
#pragma once

#include <optional>
#include <string>

// Money settings in the form the currency edit keeps them (its pattern-table indices and the
// grouping text "size;0").
struct GXCurrencyLocale {
    bool leadingZero = true;
    std::string symbol = "$";
    std::string grouping = "3;0";
    char thousandsSeparator = ',';  // 0: no grouping
    char decimalSeparator = '.';
    int positiveFormat = 0;  // 0-3
    int negativeFormat = 0;  // 0-15
    int fractionDigits = 2;
};

// The decimal separator of numbers ("." when the locale gives none).
std::string GXLocaleDecimalSeparator();
// Day 1 (Sunday) to 7 (Saturday) and month 1 to 12, abbreviated or full; none out of range.
std::optional<std::string> GXLocaleDayName(int day, bool full);
std::optional<std::string> GXLocaleMonthName(int month, bool full);
// The locale's money settings. A separator outside ASCII becomes ' ' (grouping) or '.'.
GXCurrencyLocale GXLocaleCurrency();
// Date and time pictures in the picture syntax the date-time control reads: d dd ddd dddd,
// M MM MMM MMMM, yy yyyy, h hh (12-hour), H HH (24-hour), m mm, s ss, t tt, 'quoted text'.
std::string GXLocaleDatePicture(bool longForm);
std::string GXLocaleTimePicture();
// The designators of the morning and the afternoon ("AM", "PM" when the locale has none).
std::string GXLocaleAmPm(bool pm);

// The positive (0-3) and negative (0-15) pattern index whose prefix and suffix, with "%s" as the
// symbol, give these texts; -1 when none matches. Exposed for the currency edit's tests.
int GXCurrencyPatternIndex(bool negative, const std::string& prefix, const std::string& suffix);
