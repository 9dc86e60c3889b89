#include "grid/controls/CGXButton.h"

#include "framework/window/Messages.h"
#include "framework/window/VirtualKeys.h"
#include "framework/window/Window.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/GXDrawHelpers.h"
#include "os/Clock.h"

#include <algorithm>
#include <cstdlib>

// --- CGXChild ------------------------------------------------------------------------------------

bool CGXChild::IsActive() const {
    return m_pOwner && m_pOwner->GetActiveChild() == this;
}

void CGXChild::Draw(fw::DeviceContext& dc, bool focus, const CGXStyle&) {
    DrawButton(dc, focus);
}

void CGXChild::Refresh() {
    if (fw::Window* wnd = m_pOwner ? m_pOwner->Grid()->GridWnd() : nullptr;
        wnd && !m_rect.IsEmpty())
        wnd->InvalidateRect(m_rect);
}

bool CGXChild::OnKeyMessage(unsigned message, unsigned key, unsigned repeat, unsigned flags) {
    switch (message) {
        case fw::WM_KEYDOWN:
            return OnKeyDown(key, repeat, flags);
        case fw::WM_KEYUP:
            return OnKeyUp(key, repeat, flags);
        case fw::WM_CHAR: {
            std::string text;
            if (GXCollectDbcsChar(key, text, m_bDbcsPending, m_nDbcsLead))
                return m_bDbcsPending || text.empty() ? true : OnCharText(text, repeat, flags);
            return OnChar(key, repeat, flags);
        }
        case fw::WM_DEADCHAR:
            return OnDeadChar(key, repeat, flags);
        case fw::WM_SYSKEYDOWN:
            return OnSysKeyDown(key, repeat, flags);
        case fw::WM_SYSKEYUP:
            return OnSysKeyUp(key, repeat, flags);
        case fw::WM_SYSCHAR:
            return OnSysChar(key, repeat, flags);
        case fw::WM_SYSDEADCHAR:
            return OnSysDeadChar(key, repeat, flags);
        default:
            return false;
    }
}

// --- CGXButton -----------------------------------------------------------------------------------

bool CGXButton::MouseMove(unsigned, fw::Point point) {
    if (m_bTracking && HitTest(point) != m_bPressed) {
        m_bPressed = !m_bPressed;
        if (m_bAutoRefresh)
            Refresh();
    }
    return true;
}

bool CGXButton::LButtonDown(unsigned, fw::Point) {
    m_bPressed = m_bTracking = true;
    if (m_bAutoRefresh)
        Refresh();
    if (m_pOwner->IsActive())
        if (fw::Window* wnd = m_pOwner->Grid()->GridWnd())
            wnd->UpdateWindow();
    return true;
}

bool CGXButton::LButtonUp(unsigned, fw::Point point) {
    const bool click = m_bPressed && m_rect.Contains(point);
    m_bPressed = m_bTracking = false;
    if (m_bAutoRefresh)
        Refresh();
    // The owner may re-bind and redraw itself when told; the button's own state is done.
    if (click)
        m_pOwner->OnClickedButton(this);
    return true;
}

bool CGXButton::OnKeyDown(unsigned key, unsigned, unsigned) {
    if (key != fw::VK_SPACE)
        return false;
    m_bPressed = true;
    Refresh();
    return true;
}

bool CGXButton::OnKeyUp(unsigned key, unsigned, unsigned) {
    if (key != fw::VK_SPACE || !m_bPressed)
        return false;
    m_bPressed = false;
    Refresh();
    m_pOwner->OnClickedButton(this);
    return true;
}

void CGXButton::OnCancelMode() {
    if (m_bPressed || m_bTracking) {
        m_bPressed = m_bTracking = false;
        Refresh();
    }
}

bool CGXButton::DrawsPressed(bool focus) const {
    return focus && IsActive() && m_bPressed;
}

void CGXButton::DrawFrame(fw::DeviceContext& dc, bool pressed, COLORREF face) const {
    GXFillSolidRect(dc, m_rect, face);
    fw::Rect edge = m_rect;
    GXDrawEdge(dc, edge, pressed ? fw::EDGE_SUNKEN : fw::EDGE_RAISED, fw::BF_RECT);
}

void CGXButton::DrawFace(fw::DeviceContext& dc, bool focus, COLORREF face, bool grayText) {
    const bool active = focus && IsActive();
    const bool pressed = active && m_bPressed;
    DrawFrame(dc, pressed, face);
    fw::Rect text{m_rect.left + 1, m_rect.top + 1, m_rect.right - 2, m_rect.bottom - 2};
    if (pressed)
        text = {text.left + 1, text.top + 1, text.right + 1, text.bottom + 1};
    COLORREF old = 0;
    if (grayText)
        old = dc.SetTextColor(GXGetSysColor(fw::COLOR_GRAYTEXT) & 0xFFFFFFu);
    CGXDrawingAndFormatting::GetInstance().DrawFocusText(dc, text, active, m_sText, 16);
    if (grayText)
        dc.SetTextColor(old);
}

void CGXButton::DrawButton(fw::DeviceContext& dc, bool focus) {
    DrawFace(dc, focus, GXGetSysColor(fw::COLOR_BTNFACE) & 0xFFFFFFu, false);
}

void CGXButton::Draw(fw::DeviceContext& dc, bool focus, const CGXStyle& style) {
    const std::string face = style.GetUserAttribute(GX_IDS_UA_PUSHBUTTON_FACECOLOR).GetValue();
    if (face.empty()) {
        DrawButton(dc, focus);
        return;
    }
    const bool gray = style.GetIncludeEnabled() && !style.GetEnabled();
    DrawFace(
        dc, focus,
        GXResolveColor(static_cast<COLORREF>(std::strtol(face.c_str(), nullptr, 10))) & 0xFFFFFFu,
        gray);
}

// --- CGXArrowButton ------------------------------------------------------------------------------

CGXArrowButton::~CGXArrowButton() {
    StopTimer();
}

void CGXArrowButton::StopTimer() {
    if (!m_bTimer)
        return;
    m_bTimer = false;
    if (m_pOwner)
        if (fw::Window* wnd = m_pOwner->Grid()->GridWnd())
            wnd->KillTimer(GX_ARROWBUTTON_TIMER);
}

bool CGXArrowButton::LButtonDown(unsigned flags, fw::Point point) {
    CGXButton::LButtonDown(flags, point);
    m_nLastStep = os::TickCount();
    m_nInterval = 500;
    // The timer keeps the button stepping while the mouse stands still over it.
    if (fw::Window* wnd = m_pOwner->Grid()->GridWnd()) {
        wnd->SetTimer(GX_ARROWBUTTON_TIMER, 50);
        m_bTimer = true;
    }
    m_pOwner->OnClickedButton(this);
    return true;
}

void CGXArrowButton::RepeatStep() {
    const std::uint32_t now = os::TickCount();
    if (!os::TickReached(now, m_nLastStep + m_nInterval))
        return;
    if (m_nInterval > 150)
        m_nInterval = 150;
    else if (m_nInterval > 50)
        m_nInterval -= 5;
    m_nLastStep = now;
    m_pOwner->OnClickedButton(this);
}

bool CGXArrowButton::MouseMove(unsigned flags, fw::Point point) {
    CGXButton::MouseMove(flags, point);
    if (m_bPressed && m_rect.Contains(point))
        RepeatStep();
    return true;
}

bool CGXArrowButton::OnTimer(unsigned id) {
    if (id != GX_ARROWBUTTON_TIMER)
        return false;
    if (!m_bTracking) {
        StopTimer();
        return true;
    }
    // Off the button the pressed flag is clear: stepping pauses until the mouse comes back.
    if (m_bPressed)
        RepeatStep();
    return true;
}

bool CGXArrowButton::LButtonUp(unsigned, fw::Point) {
    StopTimer();
    m_bPressed = m_bTracking = false;
    Refresh();
    return true;
}

void CGXArrowButton::OnCancelMode() {
    StopTimer();
    CGXButton::OnCancelMode();
}

// --- arrows --------------------------------------------------------------------------------------

namespace {

// Rows of black pixels: row i has width widths[i] and starts at x0 + dx * i, one pixel lower
// each; rows that would reach the bottom are left out.
void DrawArrowRows(fw::DeviceContext& dc, int x0, int y0, int dx, const int* widths, int rows,
                   int bottom) {
    for (int i = 0; i < rows; ++i) {
        const int y = y0 + i;
        if (y >= bottom)
            break;
        const int x = x0 + dx * i;
        dc.FillSolidRect({x, y, x + widths[i], y + 1}, 0x000000);
    }
}

}  // namespace

void CGXUpArrowButton::DrawButton(fw::DeviceContext& dc, bool focus) {
    if (!focus)
        return;  // spin arrows show on the current cell only
    const bool pressed = DrawsPressed(focus);
    DrawFrame(dc, pressed, GXGetSysColor(fw::COLOR_BTNFACE) & 0xFFFFFFu);
    const int h = m_rect.Height();
    if (h < 5)
        return;
    const bool small = h < 8;
    const int width = small ? 5 : 7;
    const int top = m_rect.top + (small ? (h - 3) / 2 : (h - 5) / 2) + (pressed ? 1 : 0);
    const int left = m_rect.left + std::max(0, (m_rect.Width() - width) / 2) + (pressed ? 1 : 0);
    // The tip is in the middle of the widest row.
    static const int kWidths[] = {1, 3, 5, 7};
    DrawArrowRows(dc, left + width / 2, top, -1, kWidths, h > 7 ? 4 : 3, m_rect.bottom);
}

void CGXDownArrowButton::DrawButton(fw::DeviceContext& dc, bool focus) {
    if (!focus)
        return;
    const bool pressed = DrawsPressed(focus);
    DrawFrame(dc, pressed, GXGetSysColor(fw::COLOR_BTNFACE) & 0xFFFFFFu);
    const int h = m_rect.Height();
    if (h < 5)
        return;
    const bool small = h < 8;
    const int width = small ? 5 : 7;
    const int top = m_rect.top + (small ? (h - 2) / 2 : (h - 4) / 2) + (pressed ? 1 : 0);
    const int left = m_rect.left + std::max(0, (m_rect.Width() - width) / 2) + (pressed ? 1 : 0);
    static const int kWide[] = {7, 5, 3, 1};
    static const int kSmall[] = {5, 3, 1};
    DrawArrowRows(dc, left, top, 1, h > 7 ? kWide : kSmall, h > 7 ? 4 : 3, m_rect.bottom);
}

void CGXComboBoxButton::DrawArrowButton(fw::DeviceContext& dc, bool focus, bool disabled) {
    const bool pressed = DrawsPressed(focus);
    DrawFrame(dc, pressed, GXGetSysColor(fw::COLOR_BTNFACE) & 0xFFFFFFu);
    const fw::Rect inner{m_rect.left, m_rect.top + 2, m_rect.right, m_rect.bottom - 2};
    if (inner.Height() < 3 || inner.Width() < 7)
        return;
    const int cx = (inner.left + inner.right) / 2 + (pressed ? 1 : 0);
    const int cy = (inner.top + inner.bottom) / 2 - 1 + (pressed ? 1 : 0);
    const COLORREF color = disabled ? GXGetSysColor(fw::COLOR_GRAYTEXT) & 0xFFFFFFu : 0x000000;
    for (int i = 0; i < 4 && cy + i < inner.bottom; ++i)
        dc.FillSolidRect({cx - 3 + i, cy + i, cx + 4 - i, cy + i + 1}, color);
}

void CGXComboBoxButton::DrawButton(fw::DeviceContext& dc, bool focus) {
    if (!focus && !m_bShowAlways)
        return;
    DrawArrowButton(dc, focus, false);
}

void CGXComboBoxWndButton::Draw(fw::DeviceContext& dc, bool focus, const CGXStyle& style) {
    if (focus && m_pOwner->IsActive())
        return;  // the owner's own window shows its button
    if (!focus && !m_bShowAlways)
        return;
    DrawArrowButton(dc, focus, style.GetIncludeEnabled() && !style.GetEnabled());
}

void CGXComboBoxWndButton::DrawButton(fw::DeviceContext& dc, bool focus) {
    Draw(dc, focus, CGXStyle());
}

void CGXHotSpotButton::DrawButton(fw::DeviceContext& dc, bool focus) {
    if (!focus)
        return;
    const bool pressed = DrawsPressed(focus);
    DrawFrame(dc, pressed, GXGetSysColor(fw::COLOR_BTNFACE) & 0xFFFFFFu);
    if (m_rect.Height() < 12)
        return;
    const int x = m_rect.left + (pressed ? 1 : 0), y = m_rect.top + (pressed ? 1 : 0);
    dc.FillSolidRect({x + 3, y + 3, x + 9, y + 5}, 0x000000);
    dc.FillSolidRect({x + 6, y + 4, x + 9, y + 7}, 0x000000);
    static const int kWidths[] = {7, 5, 3, 1};
    DrawArrowRows(dc, x + 4, y + 7, 1, kWidths, 4, m_rect.bottom);
}
