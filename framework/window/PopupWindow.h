// fw::PopupWindow: a frameless top-level window that lies over its owner (a drop-down list, a
// cell tip) without taking the activation or the keyboard focus from it, so the owner keeps
// getting the keys while the pop-up is shown. While shown, it dismisses itself on Escape, when
// the focus moves to a window that is neither the owner nor inside it, and on a mouse press
// outside the pop-up; OnDismiss says which. Escape is consumed; the outside click goes on to
// the window it was meant for.
#pragma once

#include "framework/window/Window.h"

#include <QPointer>

namespace fw {

class PopupWindow : public Window {
public:
    enum class DismissReason { Escape, FocusLost, ClickOutside };

    PopupWindow();
    ~PopupWindow() override;

    // Creates the pop-up, owned by `owner` (it stays above the owner's top-level window), at a
    // rectangle in screen coordinates; shown only with WS_VISIBLE in `style`.
    bool CreatePopup(Window* owner, const Rect& screenRect, DWORD style = 0, UINT id = 0);
    Window* Owner() const { return owner_; }
    // Shows the pop-up at a rectangle in screen coordinates without activating it.
    void ShowAt(const Rect& screenRect);

protected:
    // Called once per dismissal while shown; the default hides the pop-up.
    virtual void OnDismiss(DismissReason reason);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnFocusChanged(QWidget* old, QWidget* now);
    void Dismiss(DismissReason reason);

    QPointer<Window> owner_;
    bool dismissing_ = false;
    QMetaObject::Connection focusWatch_;
};

}  // namespace fw
