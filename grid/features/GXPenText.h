// The one-line text forms of pens, used where styles keep their borders as text (archives and
// profiles): "%lu %ld %d %d %d %d" with style, width, red, green, blue and the colour's top byte
// (the kind, or 254 minus the index for a system colour).
#pragma once

#include "grid/core/CGXBrush.h"

#include <string>
#include <string_view>

std::string GXPenDescription(const CGXPen& pen);
// At least five numbers give an included pen (style 7 becomes solid) of that style, width and
// colour; fewer leave style and width, make the colour black and exclude the pen.
CGXPen GXPenFromDescription(std::string_view text, CGXPen pen = CGXPen());
