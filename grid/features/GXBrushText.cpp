#include "grid/features/GXBrushText.h"

#include "grid/features/GXTextNumbers.h"

#include <cstdio>

namespace {
int Byte(long v) {
    return static_cast<int>(v & 0xFF);
}
}  // namespace

std::string GXBrushDescription(const CGXBrush& brush) {
    const GXStoredColor fg = brush.Foreground();
    int r, g, b;
    unsigned top;
    if (fg.IsSystem()) {
        r = static_cast<int>(fg.value & 0xFF);
        g = b = 0;
        top = 254 - (fg.value & 0xFF);
    } else {
        r = fw::RedOf(fg.value);
        g = fw::GreenOf(fg.value);
        b = fw::BlueOf(fg.value);
        top = fg.kind;
    }
    const COLORREF bk = brush.Background().Resolve() & 0xFFFFFF;
    const int style = brush.GetStyle();
    const int hatch = style == fw::BS_PATTERN ? brush.GetPattern() : brush.GetHatch();
    char buf[128];
    std::snprintf(buf, sizeof buf, "%lu %ld %d %d %d %d %d %d %d",
                  static_cast<unsigned long>(style), static_cast<long>(hatch), r, g, b,
                  fw::RedOf(bk), fw::GreenOf(bk), fw::BlueOf(bk), static_cast<int>(top));
    return buf;
}

CGXBrush GXBrushFromDescription(std::string_view text, CGXBrush brush) {
    const std::vector<long> n = GXSplitNumbers(text, 9);
    if (n.size() < 5) {
        brush.SetColor(0);
        brush.SetBkColor(0);
        return brush;
    }
    brush.SetStyle(static_cast<int>(n[0] & 3));
    if ((n[0] & 3) == fw::BS_PATTERN)
        brush.SetPattern(static_cast<int>(n[1] & 0x3F));
    else
        brush.SetHatch(static_cast<int>(n[1] & 7));
    const COLORREF top = n.size() > 8 ? static_cast<COLORREF>(n[8] & 0xFF) : 0;
    COLORREF fg;
    if (top == 1)
        fg = (1u << 24) | (static_cast<COLORREF>(Byte(n[3])) << 8) | Byte(n[2]);
    else
        fg = fw::Rgb(Byte(n[2]), Byte(n[3]), Byte(n[4])) | (top << 24);
    brush.SetColor(fg);
    brush.SetBkColor(n.size() >= 8 ? fw::Rgb(Byte(n[5]), Byte(n[6]), Byte(n[7])) : 0);
    return brush;
}
