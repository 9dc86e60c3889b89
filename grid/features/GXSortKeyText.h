// How the sort reads its key texts: the tests that decide a detected key's type, the conversions
// of numeric and date keys, and the comparison of text keys.
#pragma once

#include <string_view>

// Only the characters "0123456789,.-e " and, after leading blanks, a minus sign (the last one)
// only at the first position.
bool GXIsSortNumberText(std::string_view text);

// A date, a time or both, as a date-time number (days since 30 December 1899, the time of day
// as the fraction). Dates are month/day/year (a two-digit year means 1930 to 2029) or
// year-month-day; times are hours:minutes[:seconds] with an optional AM or PM.
bool GXParseSortDateTime(std::string_view text, double& value);

// Key values of explicit numeric and date keys. A text that does not convert gives 0 (the
// numeric key reads the leading number of a text, as the cell store's conversions do) and the
// earliest date (below every date), so such rows always sort together.
double GXSortNumberValue(std::string_view text);
double GXSortDateValue(std::string_view text);

// Text order: letters compared without regard to case first; a case-sensitive key then puts
// the lower-case letter first at the first place where only the case differs. Negative, 0 or
// positive.
int GXCompareSortText(std::string_view a, std::string_view b, bool caseSensitive);
