// The one-line text form of a brush, as profiles and archives keep interiors:
// "%lu %ld %d %d %d %d %d %d %d" with the pattern style, the hatch style (the pattern number for
// a pattern brush), the foreground's red, green and blue, the background's red, green and blue,
// and the foreground's top byte (its kind, or 254 minus the index for a system colour, whose
// three numbers are then the index, 0 and 0).
#pragma once

#include "grid/core/CGXBrush.h"

#include <string>
#include <string_view>

std::string GXBrushDescription(const CGXBrush& brush);
// Five numbers or more set style, hatch (or pattern) and foreground; fewer make both colours
// black and keep the rest. Fewer than eight numbers make the background black. A top byte of 1
// makes the foreground a palette index (green * 256 + red).
CGXBrush GXBrushFromDescription(std::string_view text, CGXBrush brush = CGXBrush());
