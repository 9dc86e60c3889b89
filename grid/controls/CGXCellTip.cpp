#include "grid/controls/CGXCellTip.h"

#include "framework/drawing/PaintContext.h"
#include "framework/window/SystemMetrics.h"
#include "grid/controls/CGXControl.h"
#include "grid/controls/CGXHeader.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/GXColor.h"
#include "grid/core/GXDrawHelpers.h"

#include <algorithm>

namespace {

struct MeasureDC {
    fw::DeviceContext dc;
    MeasureDC() { dc.CreateCompatibleDC(nullptr); }
};

bool IsBitmapText(const std::string& text) {
    return text.compare(0, 4, "#BMP") == 0;
}

unsigned AlignFlags(const CGXStyle& style) {
    unsigned a = 0;
    if (style.GetIncludeHorizontalAlignment()) {
        if (style.GetHorizontalAlignment() == fw::DT_CENTER)
            a |= 1;
        else if (style.GetHorizontalAlignment() == fw::DT_RIGHT)
            a |= 2;
    }
    if (style.GetIncludeVerticalAlignment()) {
        if (style.GetVerticalAlignment() == fw::DT_VCENTER)
            a |= 4;
        else if (style.GetVerticalAlignment() == fw::DT_BOTTOM)
            a |= 8;
    }
    return a;
}

fw::Rect ToScreen(CGXGridCore& grid, const fw::Rect& r) {
    return grid.GridWnd() ? grid.GridWnd()->ClientToScreen(r) : r;
}

}  // namespace

// --- helpers -----------------------------------------------------------------------------------

std::string GXGetCellDisplayText(CGXControl& control, ROWCOL row, ROWCOL col,
                                 const CGXStyle& style) {
    std::string text;
    control.GetControlText(text, row, col, nullptr, style);
    return text;
}

fw::Size GXGetCellTextExtent(CGXControl& control, ROWCOL row, ROWCOL col, const CGXStyle& style) {
    if (!style.GetIncludeFont())
        return {0, 0};
    MeasureDC m;
    m.dc.SelectFont(style.GetFont().GetLogFontZoomed(control.Grid()->GetZoom()));
    return m.dc.GetTextExtent(GXGetCellDisplayText(control, row, col, style));
}

fw::Rect GXGetCellInnerScreenRect(CGXControl& control, ROWCOL row, ROWCOL col,
                                  const CGXStyle& style) {
    CGXGridCore& grid = *control.Grid();
    fw::Rect r = grid.CalcRectFromRowColEx(row, col);
    auto width = [&](int side) {
        return style.HasBorder(side) ? std::max(1, style.GetBorders(side).GetWidth()) : 0;
    };
    r.left += width(gxBorderLeft);
    r.top += width(gxBorderTop);
    r.right -= std::max(0, width(gxBorderRight) - 1);
    r.bottom -= std::max(0, width(gxBorderBottom) - 1);
    return ToScreen(grid, r);
}

fw::Rect GXGetCellTextScreenRect(CGXControl& control, ROWCOL row, ROWCOL col,
                                 const CGXStyle& style) {
    const fw::Rect cell = control.Grid()->CalcRectFromRowColEx(row, col);
    return ToScreen(*control.Grid(), control.GetCellRect(row, col, &cell, &style));
}

fw::Point GXGetCellTextOrigin(CGXControl& control, ROWCOL row, ROWCOL col, const CGXStyle& style) {
    const fw::Rect r = GXGetCellTextScreenRect(control, row, col, style);
    const unsigned align = AlignFlags(style);
    if (align == 0)
        return r.TopLeft();
    MeasureDC m;
    if (style.GetIncludeFont())
        m.dc.SelectFont(style.GetFont().GetLogFontZoomed(100));
    std::string text = GXGetCellDisplayText(control, row, col, style);
    fw::Size size = m.dc.GetTextExtent(text);
    if (align & 3) {
        const bool dots = style.GetUserAttribute(GX_IDS_UA_ELLIPSISTYPE).GetLongValue() == 1;
        int dotCount = 3;
        std::string shortened = text;
        while (size.cx > r.Width() + 1 && shortened.size() >= 2 && dotCount > 0) {
            shortened.pop_back();
            if (shortened.size() == 1)
                --dotCount;
            const std::string shown =
                dots ? shortened + std::string(static_cast<std::size_t>(dotCount), '.') : shortened;
            size = m.dc.GetTextExtent(shown);
        }
    }
    fw::Point p = r.TopLeft();
    if (align & 2)
        p.x = std::max(r.left, r.right - size.cx + 1);
    else if (align & 1)
        p.x = r.left + std::max(0, (r.right - size.cx - r.left + 1) / 2);
    if (align & 8)
        p.y = std::max(r.top, r.bottom - size.cy);
    else if (align & 4)
        p.y = r.top + std::max(0, (r.bottom - size.cy - r.top) / 2);
    return p;
}

fw::Point GXGetCellBitmapOrigin(CGXControl& control, ROWCOL row, ROWCOL col,
                                const CGXStyle& style) {
    const fw::Dib* dib = GXGetDIBPool().LookupDIB(GXGetCellDisplayText(control, row, col, style));
    if (!dib)
        return {0, 0};
    const fw::Rect r = GXGetCellInnerScreenRect(control, row, col, style);
    const unsigned align = AlignFlags(style);
    fw::Point p = r.TopLeft();
    if (dib->Width() < r.Width()) {
        if (align & 1)
            p.x = r.left + (r.Width() - dib->Width()) / 2;
        else if (align & 2)
            p.x = r.right - dib->Width() - 1;
    }
    if (dib->Height() < r.Height()) {
        if (align & 4)
            p.y = r.top + (r.Height() - dib->Height()) / 2;
        else if (align & 8)
            p.y = r.bottom - dib->Height() - 1;  // measured from the bottom edge
    }
    return p;
}

unsigned GXGetOffScreenFlags(CGXGridCore& grid, const fw::Rect& screenRect) {
    unsigned flags = 0;
    if (fw::Window* wnd = grid.GridWnd()) {
        const fw::Rect client = wnd->ClientToScreen(wnd->GetClientRect());
        if (screenRect.left < client.left || screenRect.right > client.right)
            flags |= 0x04;
        if (screenRect.top < client.top || screenRect.bottom > client.bottom)
            flags |= 0x08;
    }
    if (screenRect.left < 0 || screenRect.right > fw::GetSystemMetrics(fw::SM_CXSCREEN))
        flags |= 0x10;
    if (screenRect.top < 0 || screenRect.bottom > fw::GetSystemMetrics(fw::SM_CYSCREEN))
        flags |= 0x20;
    return flags;
}

unsigned GXCellBitmapNeedsTip(CGXControl& control, ROWCOL row, ROWCOL col, const CGXStyle& style) {
    const fw::Dib* dib = GXGetDIBPool().LookupDIB(GXGetCellDisplayText(control, row, col, style));
    if (!dib)
        return 0;
    const fw::Rect inner = GXGetCellInnerScreenRect(control, row, col, style);
    unsigned flags = inner.Height() < dib->Height() ? 0x02 : 0;
    const fw::Point o = GXGetCellBitmapOrigin(control, row, col, style);
    flags |=
        GXGetOffScreenFlags(*control.Grid(), {o.x, o.y, o.x + dib->Width(), o.y + dib->Height()});
    if (inner.Width() < dib->Width())
        flags |= 0x01;
    return flags;
}

unsigned GXCellTextNeedsTip(CGXControl& control, ROWCOL row, ROWCOL col, const CGXStyle& style) {
    if (style.GetIncludeFont() && style.GetFont().GetOrientation() > 0)
        return 0;  // rotated text gets no tip
    const fw::Rect r = GXGetCellTextScreenRect(control, row, col, style);
    const fw::Size extent = GXGetCellTextExtent(control, row, col, style);
    const fw::Point o = GXGetCellTextOrigin(control, row, col, style);
    const fw::Rect shown{o.x, o.y, std::min(r.right, o.x + extent.cx),
                         std::min(r.bottom, o.y + extent.cy)};
    unsigned flags = shown.Height() < extent.cy ? 0x02 : 0;
    flags |= GXGetOffScreenFlags(*control.Grid(), shown);
    if (shown.Width() + 1 < extent.cx)
        flags |= 0x01;
    return flags;
}

// --- the window --------------------------------------------------------------------------------

bool CGXCellTipWnd::Create(fw::Window* owner) {
    return CreatePopup(owner, {0, 0, 1, 1}, 0);
}

void CGXCellTipWnd::SetTipText(std::string text) {
    text_ = std::move(text);
    Invalidate();
}

void CGXCellTipWnd::SetTipBitmap(const fw::Dib* bitmap) {
    bitmap_ = bitmap ? *bitmap : fw::Dib();
    Invalidate();
}

void CGXCellTipWnd::MoveTipWindow(const fw::Rect& rect) {
    ShowAt(rect);
    Invalidate();
}

void CGXCellTipWnd::MoveTipWindowTo(int left, int top, int right, int bottom) {
    MoveTipWindow({left, top, right, bottom});
}

void CGXCellTipWnd::OnPaint() {
    fw::PaintContext dc(*this);
    const fw::Rect client = GetClientRect();
    if (kind_ == GX_CELLTIP_BITMAP && bitmap_.IsNull())
        return;
    dc.FillSolidRect(client, GXGetSysColor(fw::COLOR_INFOBK) & 0xFFFFFFu);
    if (kind_ == GX_CELLTIP_TEXT) {
        dc.SelectFont(font_);
        dc.SetTextColor(GXGetSysColor(fw::COLOR_INFOTEXT) & 0xFFFFFFu);
        dc.SetBkMode(fw::TRANSPARENT);
        fw::Rect r = textRect_;
        dc.DrawText(text_, r, fw::DT_NOPREFIX | fw::DT_NOCLIP);
    } else {
        GXDrawDIB(dc, bitmap_, bitmapRect_, gxDibUnscaled, 0);
    }
    dc.FrameRect(client, fw::Brush::Solid(0x000000));
}

void CGXCellTipWnd::OnMouseMove(fw::UINT, fw::Point) {
    ShowWindow(fw::SW_HIDE);
}
void CGXCellTipWnd::OnLButtonDown(fw::UINT, fw::Point) {
    ShowWindow(fw::SW_HIDE);
}
void CGXCellTipWnd::OnRButtonDown(fw::UINT, fw::Point) {
    ShowWindow(fw::SW_HIDE);
}
void CGXCellTipWnd::OnMButtonDown(fw::UINT, fw::Point) {
    ShowWindow(fw::SW_HIDE);
}

// --- the tip of text and bitmap cells
// ---------------------------------------------------------------

unsigned CGXCellTipStatic::NeedTip(ROWCOL row, ROWCOL col, const CGXStyle& style) {
    if (!control_)
        return 0;
    const std::string text = GXGetCellDisplayText(*control_, row, col, style);
    if (IsBitmapText(text))
        return GXCellBitmapNeedsTip(*control_, row, col, style);
    if (style.GetIncludeWrapText() && style.GetWrapText())
        return 0;
    return GXCellTextNeedsTip(*control_, row, col, style);
}

unsigned CGXCellTipStatic::GetTipKind(ROWCOL row, ROWCOL col, const CGXStyle& style) {
    if (!control_)
        return GX_CELLTIP_TEXT;
    return IsBitmapText(GXGetCellDisplayText(*control_, row, col, style)) ? GX_CELLTIP_BITMAP
                                                                          : GX_CELLTIP_TEXT;
}

void CGXCellTipStatic::InitTipWnd(ROWCOL row, ROWCOL col, const CGXStyle& style,
                                  CGXCellTipWnd* wnd) {
    if (!control_ || !wnd)
        return;
    if (wnd->GetKind() == GX_CELLTIP_BITMAP)
        InitBitmapTip(row, col, style, *wnd);
    else
        InitTextTip(row, col, style, *wnd);
}

void CGXCellTipStatic::InitTextTip(ROWCOL row, ROWCOL col, const CGXStyle& style,
                                   CGXCellTipWnd& wnd) {
    CGXGridCore& grid = *control_->Grid();
    wnd.SetTipText(GXGetCellDisplayText(*control_, row, col, style));
    fw::LogFont font = style.GetFont().GetLogFontZoomed(100);
    const int zoom = grid.GetZoom();
    font.height = font.height * zoom / 100;
    font.width = font.width * zoom / 100;
    wnd.SetTipFont(font);

    const fw::Rect cell = GXGetCellInnerScreenRect(*control_, row, col, style);
    const fw::Rect clip = GXGetCellTextScreenRect(*control_, row, col, style);
    fw::Size extent = GXGetCellTextExtent(*control_, row, col, style);
    extent.cx += 6;
    extent.cy += 2;
    const unsigned need = GXCellTextNeedsTip(*control_, row, col, style);
    const fw::Point origin = GXGetCellTextOrigin(*control_, row, col, style);
    const bool hCentre =
        style.GetIncludeHorizontalAlignment() && style.GetHorizontalAlignment() == fw::DT_CENTER;
    const bool vCentre =
        style.GetIncludeVerticalAlignment() && style.GetVerticalAlignment() == fw::DT_VCENTER;
    const int screenW = fw::GetSystemMetrics(fw::SM_CXSCREEN);
    const int screenH = fw::GetSystemMetrics(fw::SM_CYSCREEN);

    int width = extent.cx, height = extent.cy;
    if (!(need & 0x10)) {
        width += origin.x - cell.left;
        if (hCentre || !(need & 0x04))
            width = std::max(width, std::min(cell.Width() + 1, screenW - cell.left + 1));
    }
    if (!(need & 0x20)) {
        height += origin.y - cell.top;
        if (vCentre || !(need & 0x08))
            height = std::max(height, std::min(cell.Height(), screenH - cell.top));
    }
    width = std::min(width, screenW);
    height = std::min(height, screenH);
    const int left = std::clamp(cell.left, 0, std::max(0, screenW - width));
    const int top = std::clamp(cell.top, 0, std::max(0, screenH - height));
    wnd.MoveTipWindow({left, top, left + width, top + height});

    fw::Rect text{origin.x - left, origin.y - top, 0, 0};
    if (need & 0x10)
        text.left = 2;
    text.left = std::max(0, text.left);
    text.top = std::max(0, text.top);
    if (style.GetIncludeVerticalAlignment() && style.GetVerticalAlignment() == fw::DT_BOTTOM)
        text.top = std::max(0, text.top - 1);
    text.right = text.left + extent.cx;
    text.bottom = text.top + extent.cy;
    (void)clip;
    wnd.SetTextRect(text);
}

void CGXCellTipStatic::InitBitmapTip(ROWCOL row, ROWCOL col, const CGXStyle& style,
                                     CGXCellTipWnd& wnd) {
    const fw::Dib* dib = GXGetDIBPool().LookupDIB(GXGetCellDisplayText(*control_, row, col, style));
    if (!dib)
        return;
    wnd.SetTipBitmap(dib);
    const unsigned align = AlignFlags(style);
    const fw::Rect cell = GXGetCellInnerScreenRect(*control_, row, col, style);
    fw::Rect r = cell;
    r.right = std::max(r.right, r.left + dib->Width() + 1);
    r.bottom = std::max(r.bottom, r.top + dib->Height() + 1);
    if ((align & 8) && dib->Height() > cell.Height())
        r.Offset(0, cell.bottom - r.bottom);
    const int screenW = fw::GetSystemMetrics(fw::SM_CXSCREEN);
    const int screenH = fw::GetSystemMetrics(fw::SM_CYSCREEN);
    if (r.right > screenW)
        r.Offset(std::max(-r.left, screenW - r.right), 0);
    if (r.bottom > screenH)
        r.Offset(0, std::max(-r.top, screenH - r.bottom));
    wnd.MoveTipWindowTo(r.left, r.top, r.right, r.bottom);
    fw::Rect b{0, 0, dib->Width(), dib->Height()};
    if (dib->Width() < cell.Width()) {
        if (align & 1)
            b.Offset((r.Width() - dib->Width()) / 2, 0);
        else if (align & 2)
            b.Offset(r.Width() - dib->Width() - 1, 0);
    }
    if (dib->Height() < cell.Height()) {
        if (align & 4)
            b.Offset(0, (r.Height() - dib->Height()) / 2);
        else if (align & 8)
            b.Offset(0, r.Height() - dib->Height() - 1);
    }
    wnd.SetBitmapRect(b);
}

// --- showing tips ------------------------------------------------------------------------------

// The delay runs on a hidden framework window's timer.
class CGXCellTips::Timer : public fw::Window {
public:
    explicit Timer(CGXCellTips& tips) : tips_(tips) { Create(nullptr, {0, 0, 0, 0}, 0, 0); }

protected:
    void OnTimer(fw::UINT_PTR id) override {
        KillTimer(id);
        tips_.OnDelay();
    }

private:
    CGXCellTips& tips_;
};

CGXCellTips::CGXCellTips(CGXGridCore& grid, unsigned delayMs)
    : grid_(grid), delayMs_(delayMs), timer_(std::make_unique<Timer>(*this)) {}

CGXCellTips::~CGXCellTips() = default;

CGXCellTipWnd* CGXCellTips::GetShownTip() const {
    return shown_ && shown_->IsWindowVisible() ? shown_ : nullptr;
}

void CGXCellTips::Hide() {
    if (shown_)
        shown_->ShowWindow(fw::SW_HIDE);
    shown_ = nullptr;
}

void CGXCellTips::OnGridMouseMove(fw::Point client) {
    ROWCOL row = GX_INVALID, col = GX_INVALID;
    if (!grid_.CalcCellFromPoint(client, row, col))
        row = col = GX_INVALID;
    if (row == row_ && col == col_)
        return;
    Hide();
    row_ = row;
    col_ = col;
    timer_->KillTimer(1);
    if (row != GX_INVALID)
        timer_->SetTimer(1, delayMs_);
}

void CGXCellTips::OnDelay() {
    if (row_ == GX_INVALID || !grid_.GridWnd())
        return;
    // A style composed now: the grid's lookup may hold one from before the last change.
    std::unique_ptr<CGXStyle> owned = grid_.CreateStyle();
    grid_.ComposeStyleRowCol(row_, col_, owned.get());
    const CGXStyle& style = *owned;
    CGXControl* control = grid_.GetRegisteredControl(style.GetControl());
    if (!control)
        return;
    if (control->NeedCellTip(row_, col_, style) == 0)
        return;
    const unsigned kind = control->GetCellTipKind(row_, col_, style);
    std::unique_ptr<CGXCellTipWnd>& wnd = kind == GX_CELLTIP_BITMAP ? bitmapTip_ : textTip_;
    if (kind != GX_CELLTIP_BITMAP && kind != GX_CELLTIP_TEXT)
        return;
    if (!wnd) {
        wnd = std::make_unique<CGXCellTipWnd>(kind);
        wnd->Create(grid_.GridWnd());
    }
    Hide();
    control->InitCellTip(row_, col_, style, wnd.get());
    if (wnd->IsWindowVisible())
        shown_ = wnd.get();
    grid_.RecycleStyle(std::move(owned));
}
