#include "grid/core/CGXBrush.h"

#include "grid/core/CGXDrawingAndFormatting.h"

namespace {

constexpr std::uint32_t kFgMask = 0xFFFFFF00u;
constexpr std::uint32_t kBgMask = 0x00FFFFFFu;

}  // namespace

CGXBrush& CGXBrush::SetStyle(int style) {
    word1_ = (word1_ & 0x3FFFFFFFu) | ((static_cast<std::uint32_t>(style) & 3u) << 30);
    return *this;
}

CGXBrush& CGXBrush::SetHatch(int hatch) {
    word0_ = (word0_ & ~7u) | (static_cast<std::uint32_t>(hatch) & 7u);
    return *this;
}

CGXBrush& CGXBrush::SetPattern(int index) {
    word1_ = (word1_ & ~(0x3Fu << 24)) | ((static_cast<std::uint32_t>(index) & 0x3Fu) << 24);
    return *this;
}

CGXBrush& CGXBrush::SetColor(COLORREF color) {
    const GXStoredColor c = GXStoredColor::FromWord(color);
    word0_ = (word0_ & ~(kFgMask | 0x30u)) | ((c.value & 0xFFFFFFu) << 8) | (c.kind << 4);
    return *this;
}

CGXBrush& CGXBrush::SetBkColor(COLORREF color) {
    const GXStoredColor c = GXStoredColor::FromWord(color);
    word0_ = (word0_ & ~0xC0u) | (c.kind << 6);
    word1_ = (word1_ & ~kBgMask) | (c.value & kBgMask);
    return *this;
}

CGXBrush& CGXBrush::SetBrush(int style, COLORREF color, int hatch) {
    word1_ = 0x3FFFFFFFu | ((static_cast<std::uint32_t>(style) & 3u) << 30);
    SetColor(color);
    SetHatch(hatch);
    return *this;
}

GXStoredColor CGXBrush::Foreground() const {
    return {word0_ >> 8, (word0_ >> 4) & 3u};
}

GXStoredColor CGXBrush::Background() const {
    return {word1_ & kBgMask, (word0_ >> 6) & 3u};
}

fw::Brush CGXBrush::GetLogBrush() const {
    fw::Brush b;
    b.style = GetStyle();
    b.hatch = GetHatch();
    b.color = GetColorResolved() & 0xFFFFFFu;
    if (b.style == fw::BS_PATTERN) {
        const CGXDrawingAndFormatting& df = CGXDrawingAndFormatting::GetInstance();
        if (GetPattern() < df.GetPatternCount())
            b.pattern = df.GetPatternRows(GetPattern());
        else
            b.style = fw::BS_HOLLOW;
    }
    return b;
}

CGXPen& CGXPen::SetStyle(int style) {
    word0_ = (word0_ & ~7u) | (static_cast<std::uint32_t>(style) & 7u);
    return *this;
}

CGXPen& CGXPen::SetWidth(int width) {
    word0_ = (word0_ & ~(0xFFFFu << 3)) | ((static_cast<std::uint32_t>(width) & 0xFFFFu) << 3);
    return *this;
}

CGXPen& CGXPen::SetColor(COLORREF color) {
    const GXStoredColor c = GXStoredColor::FromWord(color);
    word0_ = (word0_ & ~(3u << 19)) | (c.kind << 19);
    word1_ = c.value & 0xFFFFFFu;
    return *this;
}

CGXPen& CGXPen::SetInclude(bool include) {
    if (!include)
        return SetStyle(kNotSet);
    if (GetStyle() == kNotSet)
        SetStyle(fw::PS_SOLID);
    return *this;
}

GXStoredColor CGXPen::Color() const {
    return {word1_ & 0xFFFFFFu, (word0_ >> 19) & 3u};
}

fw::Pen CGXPen::GetLogPen() const {
    fw::Pen p;
    p.style = GetStyle() == kNotSet ? fw::PS_NULL : GetStyle();
    p.width = GetWidth();
    p.color = GetColorResolved() & 0xFFFFFFu;
    return p;
}

bool CGXPen::ConvertPenToBrush(CGXBrush& out, const CGXBrush& interior, bool inverted,
                               bool monochrome) const {
    const int style = GetStyle();
    if (style == fw::PS_NULL) {
        out = interior;
        return true;
    }
    if (style < fw::PS_DASH || style > fw::PS_DASHDOTDOT)
        return false;
    out = CGXBrush();
    out.SetStyle(fw::BS_PATTERN);
    out.SetPattern((inverted ? 32 : 36) + style);
    if (monochrome) {
        out.SetColor(fw::Rgb(0, 0, 0));
        out.SetBkColor(fw::Rgb(255, 255, 255));
    } else {
        out.SetColor(GetColor());
        out.SetBkColor(interior.GetStyle() == fw::BS_SOLID ? interior.GetColor()
                                                           : interior.GetBkColor());
    }
    return true;
}
