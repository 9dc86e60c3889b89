#include "grid/features/GXPenText.h"

#include "grid/features/GXTextNumbers.h"

#include <cstdio>
#include <vector>

std::string GXPenDescription(const CGXPen& pen) {
    const GXStoredColor c = pen.Color();
    const COLORREF rgb = c.Resolve() & 0xFFFFFF;
    const unsigned top = c.IsSystem() ? 254 - (c.value & 0xFF) : c.kind;
    char buf[96];
    std::snprintf(buf, sizeof buf, "%lu %ld %d %d %d %d",
                  static_cast<unsigned long>(pen.GetStyle()), static_cast<long>(pen.GetWidth()),
                  fw::RedOf(rgb), fw::GreenOf(rgb), fw::BlueOf(rgb), static_cast<int>(top));
    return buf;
}

CGXPen GXPenFromDescription(std::string_view text, CGXPen pen) {
    const std::vector<long> numbers = GXSplitNumbers(text, 6);
    if (numbers.size() < 5) {
        pen.SetColor(0);
        pen.SetInclude(false);
        return pen;
    }
    pen.SetStyle(static_cast<int>(numbers[0] & 7));
    pen.SetWidth(static_cast<int>(numbers[1] & 0xFFFF));
    const COLORREF top = numbers.size() > 5 ? static_cast<COLORREF>(numbers[5] & 0xFF) : 0;
    pen.SetColor(fw::Rgb(static_cast<int>(numbers[2]), static_cast<int>(numbers[3]),
                         static_cast<int>(numbers[4])) |
                 (top << 24));
    pen.SetInclude(true);
    return pen;
}
