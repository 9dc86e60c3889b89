// The one-line text form of a font: seven comma-separated fields, face name, size in whole
// points, weight, italic, underline, strike-out (0 or 1) and orientation in tenths of a degree;
// a field is empty when its attribute is not included.
#pragma once

#include "grid/core/CGXFont.h"

#include <string>
#include <string_view>

std::string GXFontDescription(const CGXFont& font);
// Clears the font, then sets each attribute whose field is present and not empty.
void GXFontSetDescription(CGXFont& font, std::string_view text);
CGXFont GXFontFromDescription(std::string_view text);
