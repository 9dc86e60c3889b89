// Number formats of cells and the recognition of typed numbers: the application-wide component
// that the drawing-and-formatting object forwards to. Without it values are shown as typed and
// no text counts as a number.
//
// Format codes (the style's Format attribute, precision from its Places):
//   0, 15, 19-22 the value text    1 scientific    2 fixed    3 general
//   4 currency "$1,234.50 " / "($1,234.50)"    5 "1,234.50 " / "(1,234.50)"
//   6 hexadecimal integer    7 "0", "1" or "?"    8 "%d-%b-%y"    9 "%d-%b"    10 "%b-%y"
//   11 date (user's locale)    12 empty    13 time (user's locale)    14 percent
//   16 "%d.%m.%Y"    17 "%Y-%m-%d"    18 date and time (user's locale)    23 " 1,234.50 "
//   24 fraction    25 "%I:%M %p"    26 "%I:%M:%S %p"    27 "%H:%M"
//   28 number in the user's locale    above 28 " Format? "
// Dates are days since 30 December 1899 with the time of day as the fraction.
#pragma once

#include "grid/core/GXTypes.h"

#include <string>
#include <string_view>

class CGXStyle;

class CGXNumberFormattingImp : public CGXOwnedObject {
public:
    // The display text of a value: `valueText` null takes the style's value and value type.
    virtual std::string FormatValue(const CGXStyle& style, const std::string* valueText,
                                    unsigned valueType);
    // TRUE when the whole text is a number; the format code and places are filled only when both
    // are asked for.
    virtual bool ParseNumber(std::string_view text, double* value, unsigned* format = nullptr,
                             unsigned* places = nullptr);
};

// Creates the component once and gives it to the library state.
void InstallNumberFormattingImp();

// A number value text formatted by a code and places (the table above), as the component does
// for a value of type number. A value that a code cannot show (an integer or a date out of range)
// gives the value text unchanged.
std::string GXFormatNumber(std::string_view valueText, unsigned format, unsigned places);
// Reduces a fraction by the greatest common divisor.
void GXReduceFraction(long long& numerator, long long& denominator);
// A plain number text with the decimal and thousands characters: 1234567.89 with '.' and ','
// gives 1,234,567.89.
std::string GXApplyNumberSeparators(std::string_view text, char decimal, char thousands);
// The short name of a format code 0..21 ("G", "S2", "F2", ...); empty for other codes.
std::string_view GXGetFormatName(unsigned format);
