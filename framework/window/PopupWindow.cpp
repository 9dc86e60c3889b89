#include "framework/window/PopupWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace fw {

PopupWindow::PopupWindow() {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

PopupWindow::~PopupWindow() {
    if (qApp)
        qApp->removeEventFilter(this);
}

bool PopupWindow::CreatePopup(Window* owner, const Rect& screenRect, DWORD style, UINT id) {
    owner_ = owner;
    if (!Create(owner, screenRect, id, (style & ~(WS_CHILD | WS_VISIBLE)) | WS_POPUP))
        return false;
    // The tip-window type is shown above everything without being activated (a tool window
    // would take the activation, and the focus with it) and, unlike a Qt pop-up, grabs neither
    // the mouse nor the keyboard: the owner keeps the focus and we watch the input ourselves.
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                   Qt::NoDropShadowWindowHint);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setGeometry(screenRect.left, screenRect.top, std::max(0, screenRect.Width()),
                std::max(0, screenRect.Height()));
    qApp->installEventFilter(this);
    if (!focusWatch_)
        focusWatch_ = connect(qApp, &QApplication::focusChanged, this,
                              [this](QWidget* old, QWidget* now) { OnFocusChanged(old, now); });
    if (style & WS_VISIBLE)
        ShowWindow(SW_SHOWNOACTIVATE);
    return true;
}

void PopupWindow::ShowAt(const Rect& screenRect) {
    setGeometry(screenRect.left, screenRect.top, std::max(0, screenRect.Width()),
                std::max(0, screenRect.Height()));
    ShowWindow(SW_SHOWNOACTIVATE);
}

void PopupWindow::OnDismiss(DismissReason) {
    ShowWindow(SW_HIDE);
}

void PopupWindow::Dismiss(DismissReason reason) {
    if (dismissing_ || !isVisible())
        return;
    dismissing_ = true;
    OnDismiss(reason);
    dismissing_ = false;
}

bool PopupWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!isVisible() || !watched->isWidgetType())
        return false;
    switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                Dismiss(DismissReason::Escape);
                return true;
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            QWidget* w = static_cast<QWidget*>(watched);
            // Each press passes the filter once per widget up the chain: judge it at the
            // widget that receives it first, and only by whether it lies inside us.
            if (w != this && !isAncestorOf(w))
                Dismiss(DismissReason::ClickOutside);
            break;
        }
        default:
            break;
    }
    return false;
}

void PopupWindow::OnFocusChanged(QWidget*, QWidget* now) {
    if (!isVisible())
        return;
    if (now && (now == this || isAncestorOf(now)))
        return;
    if (now && owner_ && (now == owner_.data() || owner_->isAncestorOf(now)))
        return;
    Dismiss(DismissReason::FocusLost);
}

}  // namespace fw
