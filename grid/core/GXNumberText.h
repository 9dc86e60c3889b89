// Number conversions of the grid library. They never follow the user's locale: "1.5" in a cell
// value, a stored attribute or a profile is one and a half everywhere, and printf-style forms
// write a point.
#pragma once

#include <string>
#include <string_view>

// printf forms of a double with a precision: conversion 'e', 'f' or 'g' ("%.13g" is
// GXFormatDouble('g', 13, v)). Infinities and NaN give "inf", "-inf" and "nan".
std::string GXFormatDouble(char conversion, int precision, double value);

// As atof: leading blanks skipped, the longest prefix that is a decimal number converted, 0 when
// there is none. Never reads past the text.
double GXAtof(std::string_view text);
// As atol: leading blanks skipped, an optional sign and digits; saturates instead of overflowing.
long GXAtol(std::string_view text);

// The whole text (no blanks) as a decimal number; false when it is not one.
bool GXParseDouble(std::string_view text, double& out);
