#include "grid/extras/CGXBPopupCalendar.h"

#include "grid/extras/GXExtrasSupport.h"

CGXBPopupCalendar::CGXBPopupCalendar() {
    panelOptions_ = 0x39C000;
    inMonthOptions_ = 0x181;
    SetBehaviour(kFitFonts | kNaturalSize | kKeyboard);
}

bool CGXBPopupCalendar::CreatePopup(unsigned style, const fw::Rect& anchor, fw::Window* owner) {
    const fw::Size size = NaturalSize();
    const fw::Rect work = GXWorkAreaAt({anchor.left, anchor.bottom});
    int x = 0;
    int y = 0;
    if (style & 1) {
        x = anchor.left + size.cx > work.right ? anchor.right - size.cx : anchor.left;
        y = anchor.bottom + size.cy > work.bottom ? anchor.top - size.cy : anchor.bottom;
    } else {
        x = anchor.right + size.cx > work.right ? anchor.left - size.cx : anchor.right;
        y = anchor.bottom + size.cy > work.bottom ? anchor.top - size.cy : anchor.bottom;
    }
    const unsigned windowStyle = (style & ~1u) | fw::WS_POPUP | fw::WS_VISIBLE;
    return Create(windowStyle, {x, y, x + size.cx, y + size.cy}, owner, 0);
}

void CGXBPopupCalendar::OnKillFocus(fw::Window* newFocus) {
    CGXBCalendar::OnKillFocus(newFocus);
    if (!newFocus || newFocus == this || !IsWindowVisible())
        return;
    if (acceptOnDeactivation && GetSelectedBox() >= 0)
        Choose();
    else
        Cancel();
}
