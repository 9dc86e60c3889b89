#include "grid/controls/CGXProgressCtrl.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

const CGXControlClassInfo CGXProgressCtrl::kClassInfo{"CGXProgressCtrl", &CGXControl::kClassInfo};

namespace {

std::string Attr(const CGXStyle& style, std::uint16_t id) {
    return style.GetIncludeUserAttribute(id) ? style.GetUserAttribute(id).GetValue()
                                             : std::string();
}

long Number(const std::string& text) {
    return std::atol(text.c_str());
}

long ValueOf(const CGXStyle& style) {
    return style.GetIncludeValue() ? Number(style.GetValue()) : 0;
}

// The length of an integer conversion starting at format[pos] ('%'), 0 when it is none.
std::size_t IntegerConversion(const std::string& f, std::size_t pos) {
    std::size_t i = pos + 1;
    while (i < f.size() && std::string_view("-+ 0#").find(f[i]) != std::string_view::npos) ++i;
    std::size_t digits = 0;
    while (i < f.size() && f[i] >= '0' && f[i] <= '9' && digits < 3) ++i, ++digits;
    if (i < f.size() && f[i] == '.') {
        ++i;
        digits = 0;
        while (i < f.size() && f[i] >= '0' && f[i] <= '9' && digits < 3) ++i, ++digits;
    }
    if (i < f.size() && f[i] == 'l')
        ++i;
    if (i < f.size() && (f[i] == 'd' || f[i] == 'i'))
        return i + 1 - pos;
    return 0;
}

}  // namespace

void CGXProgressCtrl::AddUserAttributes(CGXStylesMap& map) {
    map.AddUserAttribute(GX_IDS_UA_PROGRESS_UPPER);
    map.AddUserAttribute(GX_IDS_UA_PROGRESS_LOWER);
    map.AddUserAttribute(GX_IDS_UA_PROGRESS_CAPTION);
}

std::string CGXProgressCtrl::FormatCaptionText(const std::string& format, long value) {
    std::string out;
    int conversions = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        const std::size_t n = IntegerConversion(format, i);
        if (n == 0 || ++conversions > 1)
            return format;  // not a caption form this control formats
        std::string spec = format.substr(i, n - 1);
        if (spec.back() != 'l')
            spec += 'l';
        spec += 'd';
        char buf[64];
        std::snprintf(buf, sizeof buf, spec.c_str(), value);
        out += buf;
        i += n - 1;
    }
    return conversions == 1 ? out : format;
}

void CGXProgressCtrl::FormatCaption(std::string& text, ROWCOL, ROWCOL, const CGXStyle& style) {
    text = FormatCaptionText(Attr(style, GX_IDS_UA_PROGRESS_CAPTION), ValueOf(style));
}

COLORREF CGXProgressCtrl::GetBarColor(bool filled, const CGXStyle& style) {
    return (filled ? style.GetTextColor() : style.GetInterior().GetColorResolved()) & 0xFFFFFFu;
}

COLORREF CGXProgressCtrl::GetCaptionColor(bool overBar, const CGXStyle& style) {
    return (overBar ? style.GetInterior().GetColorResolved() : style.GetTextColor()) & 0xFFFFFFu;
}

int CGXProgressCtrl::BarWidth(long value, long lower, long upper, int width) {
    if (upper == lower || width <= 0)
        return 0;  // no range to show a part of
    const double scale = static_cast<double>(upper - lower) / width;
    const double w = static_cast<double>(std::max(value, lower) - lower) / scale;
    return static_cast<int>(std::clamp(w, 0.0, static_cast<double>(width)));
}

void CGXProgressCtrl::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                           const CGXStyle& style, const CGXStyle* standardStyle) {
    const long upper = Number(Attr(style, GX_IDS_UA_PROGRESS_UPPER));
    const long lower = Number(Attr(style, GX_IDS_UA_PROGRESS_LOWER));
    const fw::Rect inner = GetCellRect(row, col, &rect, &style);
    const int width = inner.right - inner.left;
    m_dScale = width > 0 ? static_cast<double>(upper - lower) / width : 1.0;

    const CGXProperties* props = m_pGrid->GetProperties();
    const bool bw = props && props->GetBlackWhite() && dc.IsPrinting();
    const COLORREF bar = bw ? 0x000000 : GetBarColor(true, style);
    const COLORREF rest = bw ? 0xFFFFFF : GetBarColor(false, style);
    const COLORREF captionOnBar = bw ? 0xFFFFFF : GetCaptionColor(true, style);
    const COLORREF captionOnRest = bw ? 0x000000 : GetCaptionColor(false, style);

    fw::Rect barRect = inner;
    barRect.right = inner.left + BarWidth(ValueOf(style), lower, upper, width);
    dc.FillSolidRect({barRect.right, inner.top, inner.right, inner.bottom}, rest);
    if (barRect.right > barRect.left)
        dc.FillSolidRect(barRect, bar);
    const unsigned frame = style.GetIncludeDraw3dFrame() ? style.GetDraw3dFrame() : 0;
    if (barRect.right - barRect.left > 1 && (frame == 1 || frame == 2)) {
        fw::Rect edge = barRect;
        dc.DrawEdge(edge, frame == 1 ? fw::EDGE_RAISED : fw::EDGE_SUNKEN, fw::BF_RECT);
    }

    std::string caption;
    FormatCaption(caption, row, col, style);
    if (!caption.empty()) {
        const std::optional<fw::LogFont> oldFont = m_pGrid->LoadFont(&dc, style, standardStyle);
        const fw::Size extent = dc.GetTextExtent(caption);
        if (extent.cx < width) {
            const int oldMode = dc.SetBkMode(fw::TRANSPARENT);
            const COLORREF oldText = dc.GetTextColor();
            const int x = inner.left + (width - extent.cx) / 2;
            const int y = inner.top + (inner.bottom - inner.top - extent.cy) / 2;
            if (x + extent.cx > barRect.right) {
                dc.SetTextColor(captionOnRest);
                dc.TextOut(x, y, caption);
            }
            if (x < barRect.right) {
                dc.SetTextColor(captionOnBar);
                const int saved = dc.SaveDC();
                if (x + extent.cx > barRect.right)
                    dc.IntersectClipRect(barRect);
                dc.TextOut(x, y, caption);
                dc.RestoreDC(saved);
            }
            dc.SetTextColor(oldText);
            dc.SetBkMode(oldMode);
        }
        if (oldFont)
            dc.SelectFont(*oldFont);
    }
    CGXControl::Draw(dc, rect, row, col, style, standardStyle);
}

std::optional<long> CGXProgressCtrl::ClampedValue(const CGXStyle& style, const CGXStyle& cell) {
    if (!style.GetIncludeValue())
        return std::nullopt;
    const auto bound = [&](std::uint16_t id) {
        return Number(style.GetIncludeUserAttribute(id) ? Attr(style, id) : Attr(cell, id));
    };
    const long lower = bound(GX_IDS_UA_PROGRESS_LOWER);
    const long upper = bound(GX_IDS_UA_PROGRESS_UPPER);
    const long value = Number(style.GetValue());
    if (value >= lower && value <= upper)
        return std::nullopt;
    return std::max(lower, std::min(value, upper));
}

bool CGXProgressCtrl::StoreStyleRowCol(ROWCOL row, ROWCOL col, const CGXStyle& style,
                                       GXModifyType type) {
    if (type != gxExclude) {
        const std::unique_ptr<CGXStyle> cell = m_pGrid->CreateStyle();
        m_pGrid->ComposeStyleRowCol(row, col, cell.get());
        if (const std::optional<long> clamped = ClampedValue(style, *cell)) {
            std::unique_ptr<CGXStyle> copy = style.Clone();
            copy->SetValue(std::to_string(*clamped));
            return m_pGrid->SetStyleRange(CGXRange(row, col), copy.get(), type);
        }
    }
    return m_pGrid->SetStyleRange(CGXRange(row, col), &style, type);
}
