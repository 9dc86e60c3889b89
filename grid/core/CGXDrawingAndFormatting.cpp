#include "grid/core/CGXDrawingAndFormatting.h"

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXNumberFormattingImp.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/GXColor.h"
#include "grid/core/GXLibraryState.h"

#include <algorithm>

namespace {

// The library's 41 patterns, eight rows of one byte each, top row first.
constexpr std::array<std::uint64_t, CGXDrawingAndFormatting::kPatternCount> kPatterns = {
    0x4411441144114411, 0x55aa55aa55aa55aa, 0xbbeebbeebbeebbee, 0xeeffbbffeeffbbff,
    0xffffeeffffffbbff, 0xfbffbffffaffafff, 0xffff0000ffff0000, 0xcccccccccccccccc,
    0x55cc994455cc9944, 0x4499cc554499cc55, 0x5555999955559999, 0x5500990055009900,
    0xff00ffffff00ffff, 0xdddddddddddddddd, 0xeeddbb77eeddbb77, 0x77bbddee77bbddee,
    0xee00eeeeee00eeee, 0xee55bb55eebb55ee, 0x88ffffffffffffff, 0xfefffefffefffeff,
    0xfefffbffefffbfff, 0xf7fffdff7fffdfff, 0x88fffefffefffeff, 0x00ffffffffffffff,
    0xfefefefefefefefe, 0xfefdfbf7efdfbf7f, 0xf7fbfdfe7fbfdfef, 0x00fefefefefefefe,
    0x0000ffffffffffff, 0xf3f3f3f3f3f3f3f3, 0xf3f9fc7e3f9fcfe7, 0xe7cf9f3f7efcf9f3,
    0x0000f3f3f3f3f3f3, 0x1111111111111111, 0x5555555555555555, 0xb1b1b1b1b1b1b1b1,
    0x5151515151515151, 0x000000ff000000ff, 0x00ff00ff00ff00ff, 0x000000ffff00ffff,
    0x000000ff00ff00ff,
};

}  // namespace

CGXDrawingAndFormatting& CGXDrawingAndFormatting::GetInstance() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (!state.m_pDrawingAndFormatting)
        state.m_pDrawingAndFormatting = std::make_unique<CGXDrawingAndFormatting>();
    return *state.m_pDrawingAndFormatting;
}

CGXDrawingAndFormatting::~CGXDrawingAndFormatting() = default;

std::array<std::uint8_t, 8> CGXDrawingAndFormatting::GetPatternRows(int index) const {
    std::array<std::uint8_t, 8> rows{};
    if (index < 0 || index >= kPatternCount)
        return rows;
    const std::uint64_t p = kPatterns[static_cast<std::size_t>(index)];
    for (std::size_t i = 0; i < 8; ++i) rows[i] = static_cast<std::uint8_t>(p >> (8 * (7 - i)));
    return rows;
}

fw::Bitmap CGXDrawingAndFormatting::GetPatternBitmap(int index) {
    if (index < 0 || index >= kPatternCount)
        return {};
    fw::Bitmap& b = patterns_[static_cast<std::size_t>(index)];
    if (b.IsNull()) {
        // Monochrome rows are padded to 16-bit words.
        const auto rows = GetPatternRows(index);
        std::array<std::uint8_t, 16> bits{};
        for (std::size_t i = 0; i < 8; ++i) bits[2 * i] = rows[i];
        b = fw::Bitmap::CreateMono(8, 8, bits);
    }
    return b;
}

bool CGXDrawingAndFormatting::DrawRotatedText(fw::DeviceContext& dc, std::string_view text,
                                              const fw::Rect& rect, const CGXStyle& style,
                                              unsigned format) {
    CGXAbstractDrawRotatedTextImp* imp = GXGetLibraryState().m_pDrawRotatedTextImp;
    return imp && imp->DrawRotatedText(dc, text, rect, style, format);
}

std::string CGXDrawingAndFormatting::FormatValue(const CGXStyle& style,
                                                 const std::string* valueText, unsigned valueType) {
    if (CGXNumberFormattingImp* imp = GXGetLibraryState().m_pNumberFormattingImp)
        return imp->FormatValue(style, valueText, valueType);
    if (valueText)
        return *valueText;
    return style.GetIncludeValue() ? style.GetValue() : std::string();
}

bool CGXDrawingAndFormatting::ParseNumber(std::string_view text, double* value, unsigned* format,
                                          unsigned* places) {
    CGXNumberFormattingImp* imp = GXGetLibraryState().m_pNumberFormattingImp;
    return imp && imp->ParseNumber(text, value, format, places);
}

void CGXDrawingAndFormatting::DrawFrame(fw::DeviceContext& dc, int left, int top, int right,
                                        int bottom, int width, COLORREF topLeft,
                                        COLORREF bottomRight) {
    const COLORREF oldBk = dc.GetBkColor();
    const COLORREF tl = GXResolveColor(topLeft) & 0xFFFFFF;
    const COLORREF br = GXResolveColor(bottomRight) & 0xFFFFFF;
    for (int i = 0; i < width; ++i) {
        const int l = left + i, t = top + i, r = right - i, b = bottom - i;
        if (r - l < 1 || b - t < 1)
            break;
        dc.FillSolidRect({l, t, r - 1, t + 1}, tl);  // top
        dc.FillSolidRect({l, t, l + 1, b - 1}, tl);  // left
        dc.FillSolidRect({r - 1, t, r, b}, br);      // right
        dc.FillSolidRect({l, b - 1, r, b}, br);      // bottom
    }
    dc.SetBkColor(oldBk);
}

void CGXDrawingAndFormatting::DrawEdgeFrame(fw::DeviceContext& dc, const fw::Rect& rect, bool outer,
                                            bool inner) {
    fw::Rect r = rect;
    if (outer) {
        if (inner)
            dc.DrawEdge(r, 12, 0x600F);
        else
            dc.DrawEdge(r, 3, 0xA00F);
    }
    if (inner)
        dc.DrawEdge(r, 10, 0x200F);
}

void CGXDrawingAndFormatting::DrawFocusText(fw::DeviceContext& dc, const fw::Rect& rect, bool frame,
                                            std::string_view text, unsigned format) {
    const int oldMode = dc.SetBkMode(fw::TRANSPARENT);
    fw::Rect box{0, 0, rect.Width(), rect.Height()};
    dc.DrawText(text.empty() ? std::string_view("--") : text, box, format | fw::DT_CALCRECT);
    box.Inflate(3, 0);
    const int w = box.Width(), h = box.Height();
    fw::Rect r{rect.left + (rect.Width() - w) / 2, rect.top + (rect.Height() - h) / 2, 0, 0};
    r.right = r.left + w;
    r.bottom = r.top + h;
    r = fw::Intersect(r, rect);
    if (!text.empty())
        DrawTextRect(dc, text, r, format);
    if (frame && !r.IsEmpty()) {
        const fw::Pen old =
            dc.SelectPen(fw::Pen{fw::PS_SOLID, 1, GXGetSysColor(fw::COLOR_BTNSHADOW)});
        dc.MoveTo(r.left + 2, r.top);
        dc.LineTo(r.right - 1, r.top);
        dc.MoveTo(r.right - 1, r.top + 2);
        dc.LineTo(r.right - 1, r.bottom - 1);
        dc.MoveTo(r.right - 3, r.bottom - 1);
        dc.LineTo(r.left, r.bottom - 1);
        dc.MoveTo(r.left, r.bottom - 3);
        dc.LineTo(r.left, r.top);
        dc.SelectPen(old);
    }
    dc.SetBkMode(oldMode);
}

void CGXDrawingAndFormatting::DrawControlText(CGXControl& control, fw::DeviceContext& dc,
                                              const fw::Rect& rect, ROWCOL row, ROWCOL col,
                                              const CGXStyle& style) {
    std::string text;
    control.GetControlText(text, row, col, nullptr, style);
    unsigned format = style.GetHorizontalAlignment() | style.GetVerticalAlignment();
    if (style.GetWrapText())
        format |= fw::DT_WORDBREAK;
    else
        format |= fw::DT_SINGLELINE;
    DrawCellText(dc, text, rect, format, nullptr, &rect, gxNoEllipse);
}

std::string GXFormatText(const CGXStyle& style, const std::string* valueText, unsigned valueType) {
    return CGXDrawingAndFormatting::GetInstance().FormatValue(style, valueText, valueType);
}
