#include "grid/extras/CGXBDropEdit.h"

#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/PaintContext.h"
#include "framework/window/VirtualKeys.h"
#include "grid/core/CGXSysColorCache.h"
#include "grid/core/GXBitmapResources.h"
#include "grid/extras/GXExtrasSupport.h"

#include <algorithm>
#include <mutex>

CGXBDropEdit::CGXBDropEdit() {
    // The button draws with the library's cached system colours; a dialog may use the control
    // before (or without) the grid library's start-up, which fills the cache.
    static std::once_flag filled;
    std::call_once(filled, [] { CGXSysColorCache::Instance().Update(); });
}
CGXBDropEdit::~CGXBDropEdit() = default;

void CGXBDropEdit::LoadBitmap() {
    bitmap_ = fw::Bitmap();
    if (bitmapId_ == 0 && bitmapName_.empty())
        return;
    GXRegisterExtrasBitmaps();
    bitmap_ = GXLoadSysColorBitmap(bitmapName_.empty() ? GXResourceName::Id(bitmapId_)
                                                       : GXResourceName::Named(bitmapName_));
    if (bitmap_.IsNull()) {
        bitmapId_ = 0;
        bitmapName_.clear();
    }
}

bool CGXBDropEdit::SetBitmap(unsigned id) {
    bitmapId_ = id;
    bitmapName_.clear();
    buttonRect_ = {};
    LoadBitmap();
    if (IsCreated())
        RecalcButton();
    return true;
}

bool CGXBDropEdit::SetBitmap(std::string_view name) {
    bitmapId_ = 0;
    bitmapName_ = std::string(name);
    buttonRect_ = {};
    LoadBitmap();
    if (IsCreated())
        RecalcButton();
    return true;
}

void CGXBDropEdit::SetButtonAtRight(bool right) {
    buttonFlags_ = right ? (buttonFlags_ | kRightEdge) : (buttonFlags_ & ~kRightEdge);
    if (IsCreated())
        RecalcButton();
}

void CGXBDropEdit::SetGaps(int left, int right) {
    leftGap_ = left;
    rightGap_ = right;
    if (IsCreated())
        RecalcButton();
}

void CGXBDropEdit::RecalcButton() {
    const fw::Rect c = GetClientRect();
    buttonRect_ = {};
    if (!bitmap_.IsNull()) {
        const int w = std::min(c.Width(), leftGap_ + rightGap_ + bitmap_.Width() + 4);
        buttonRect_ = (buttonFlags_ & kRightEdge) ? fw::Rect{c.right - w, c.top, c.right, c.bottom}
                                                  : fw::Rect{c.left, c.top, c.left + w, c.bottom};
    }
    if (QWidget* inner = Inner()) {
        const fw::Rect t = TextArea();
        inner->setGeometry(t.left, t.top, t.Width(), t.Height());
    }
    Invalidate(false);
}

fw::Rect CGXBDropEdit::TextArea() const {
    fw::Rect c = GetClientRect();
    if (buttonRect_.IsEmpty())
        return c;
    if (buttonFlags_ & kRightEdge)
        c.right = buttonRect_.left;
    else
        c.left = buttonRect_.right;
    return c;
}

bool CGXBDropEdit::IsPointOnButton(fw::Point p, bool client) const {
    if (!client)
        p = ScreenToClient(p);
    return buttonRect_.Contains(p);
}

void CGXBDropEdit::OnButtonClicked() {
    if (fw::Window* parent = GetParentWindow())
        parent->SendMessage(fw::WM_COMMAND, fw::MAKEWPARAM(static_cast<int>(GetDlgCtrlID()), 0),
                            static_cast<fw::LPARAM>(Handle().value));
}

void CGXBDropEdit::DrawButton(fw::DeviceContext& dc, const fw::Rect& rect) {
    const CGXSysColorCache& colors = CGXSysColorCache::Instance();
    fw::Rect r = rect;
    const bool down = (buttonFlags_ & kPressed) != 0;
    if (down) {
        dc.FrameRect(r, fw::Brush::Solid(colors.clrBtnShadow));
        r.Inflate(-1, -1);
        dc.FillSolidRect(r, colors.clrBtnFace);
    } else {
        dc.Draw3dRect(r, colors.clrBtnFace, colors.clr3DDkShadow);
        r.Inflate(-1, -1);
        dc.Draw3dRect(r, colors.clrBtnHilite, colors.clrBtnShadow);
        r.Inflate(-1, -1);
        dc.FillSolidRect(r, colors.clrBtnFace);
    }
    if (bitmap_.IsNull())
        return;
    const int shift = down ? 1 : 0;
    const int x = rect.left + 2 + leftGap_ + shift;
    const int y = rect.top + (rect.Height() - bitmap_.Height()) / 2 + shift;
    fw::DeviceContext mem;
    mem.CreateCompatibleDC(&dc);
    mem.SelectBitmap(bitmap_);
    if (IsWindowEnabled()) {
        dc.BitBlt(x, y, bitmap_.Width(), bitmap_.Height(), &mem, 0, 0, fw::SRCCOPY);
        return;
    }
    // Disabled: the picture's dark pixels embossed, highlight one pixel down-right, shadow in
    // place.
    const QImage* img = bitmap_.Image();
    for (int pass = 0; pass < 2; ++pass) {
        const int off = pass == 0 ? 1 : 0;
        const fw::ColorRef ink = pass == 0 ? colors.clrBtnHilite : colors.clrBtnShadow;
        for (int py = 0; py < img->height(); ++py)
            for (int px = 0; px < img->width(); ++px)
                if (qGray(img->pixel(px, py)) < 128)
                    dc.SetPixel(x + px + off, y + py + off, ink);
    }
}

void CGXBDropEdit::PaintButtonInto(fw::DeviceContext& dc) {
    if (buttonRect_.IsEmpty())
        return;
    // Drawn into a bitmap of the button's size first, then copied.
    fw::Bitmap bmp = fw::Bitmap::Create(buttonRect_.Width(), buttonRect_.Height());
    fw::DeviceContext mem;
    mem.CreateCompatibleDC(&dc);
    mem.SelectBitmap(bmp);
    DrawButton(mem, {0, 0, buttonRect_.Width(), buttonRect_.Height()});
    mem.Flush();
    dc.BitBlt(buttonRect_.left, buttonRect_.top, buttonRect_.Width(), buttonRect_.Height(), &mem, 0,
              0, fw::SRCCOPY);
}

void CGXBDropEdit::OnPaint() {
    fw::PaintContext dc(*this);
    // The inner edit covers the text area on screen; the backing image gets its colour too, so
    // nothing stale stays where the button stood before it moved.
    dc.FillSolidRect(TextArea(),
                     fw::GetSysColor(IsWindowEnabled() ? fw::COLOR_WINDOW : fw::COLOR_BTNFACE));
    PaintButtonInto(dc);
}

void CGXBDropEdit::RepaintButton() {
    if (buttonRect_.IsEmpty())
        return;
    InvalidateRect(buttonRect_, false);
    UpdateWindow();
}

void CGXBDropEdit::OnSize(UINT type, int cx, int cy) {
    fw::Edit::OnSize(type, cx, cy);
    RecalcButton();
}

void CGXBDropEdit::OnLButtonDown(UINT flags, fw::Point p) {
    if (IsPointOnButton(p, true) && !(buttonFlags_ & kPressed)) {
        buttonFlags_ |= kPressed | kTracking;
        RepaintButton();
        SetCapture();
        return;
    }
    fw::Edit::OnLButtonDown(flags, p);
}

void CGXBDropEdit::OnMouseMove(UINT flags, fw::Point p) {
    if (buttonFlags_ & kTracking) {
        const bool on = IsPointOnButton(p, true);
        if (on != ((buttonFlags_ & kPressed) != 0)) {
            buttonFlags_ ^= kPressed;
            RepaintButton();
        }
        return;
    }
    fw::Edit::OnMouseMove(flags, p);
}

void CGXBDropEdit::OnLButtonUp(UINT flags, fw::Point p) {
    if (buttonFlags_ & kTracking) {
        ReleaseCapture();
        buttonFlags_ &= ~(kTracking | kPressed);
        RepaintButton();
        if (IsPointOnButton(p, true))
            OnButtonClicked();
        return;
    }
    fw::Edit::OnLButtonUp(flags, p);
}

void CGXBDropEdit::OnCancelMode() {
    if (buttonFlags_ & kTracking) {
        ReleaseCapture();
        buttonFlags_ &= ~(kTracking | kPressed);
        RepaintButton();
    }
    fw::Edit::OnCancelMode();
}

bool CGXBDropEdit::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
    if (vk == fw::VkFunction(4)) {
        OnButtonClicked();
        return true;
    }
    return fw::Edit::OnKeyDown(vk, repeat, flags);
}

bool CGXBDropEdit::OnSysKeyDown(UINT vk, UINT repeat, UINT flags) {
    if (vk == fw::VK_DOWN) {
        OnButtonClicked();
        return true;
    }
    return fw::Edit::OnSysKeyDown(vk, repeat, flags);
}

fw::LRESULT CGXBDropEdit::WindowProc(fw::Message& msg) {
    if (msg.id == fw::WM_SYSCOLORCHANGE) {
        CGXSysColorCache::Instance().Update();
        LoadBitmap();
        RepaintButton();
    } else if (msg.id == fw::WM_ENABLE) {
        const fw::LRESULT r = fw::Edit::WindowProc(msg);
        RepaintButton();
        return r;
    }
    return fw::Edit::WindowProc(msg);
}
