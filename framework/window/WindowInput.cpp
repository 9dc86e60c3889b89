// Turning toolkit input events into the key and mouse messages of a window.
#include "framework/window/CursorTarget.h"
#include "framework/window/KeyTranslator.h"
#include "framework/window/Window.h"
#include "framework/window/WindowPrivate.h"
#include "framework/window/WindowRegistry.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>

namespace fw {

class WindowInput {
public:
    // True when the key event is finished with; false lets QWidget::event handle it (focus
    // navigation with Tab, or passing an unused key on to the parent widget).
    static bool HandleKey(Window& w, QKeyEvent* e);
    static UINT MouseFlags(const QSinglePointEvent* e);
    static void MouseButton(Window& w, QMouseEvent* e, bool down, bool dbl);
};

namespace {

bool IsTabKey(const QKeyEvent* e) {
    return (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) &&
           !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

bool FocusIsInsideButNotOn(const Window& w) {
    QWidget* f = QApplication::focusWidget();
    return f && f != &w && w.isAncestorOf(f);
}

}  // namespace

bool WindowInput::HandleKey(Window& w, QKeyEvent* e) {
    // A key that a widget inside this window did not use passes through here on its way up:
    // it was this window's child's key, not this window's.
    if (FocusIsInsideButNotOn(w))
        return false;
    const LRESULT dlgCode = IsTabKey(e) ? w.SendMessage(WM_GETDLGCODE) : 0;
    if (IsTabKey(e) && !(dlgCode & (DLGC_WANTTAB | DLGC_WANTALLKEYS)))
        return false;

    KeyInput in{e->key(),
                e->modifiers(),
                e->text(),
                e->isAutoRepeat(),
                e->type() == QEvent::KeyRelease,
                e->nativeScanCode()};
    const KeyStroke k = TranslateKey(in);
    QPointer<Window> alive(&w);  // a handler may close and delete the window
    bool taken = false;
    if (in.release) {
        if (k.vk)
            taken = w.SendMessage(k.system ? WM_SYSKEYUP : WM_KEYUP, k.vk, k.lParam) != 0;
    } else {
        if (k.vk)
            taken = w.SendMessage(k.system ? WM_SYSKEYDOWN : WM_KEYDOWN, k.vk, k.lParam) != 0;
        for (std::size_t i = 0; alive && !taken && i < k.chars.size(); ++i) {
            taken = w.SendMessage(k.system ? WM_SYSCHAR : WM_CHAR, k.chars[i], k.lParam) != 0;
        }
    }
    if (taken || !alive) {
        e->accept();
        return true;
    }
    if (IsTabKey(e)) {
        e->ignore();  // wanted but unused: no focus move
        return true;
    }
    return false;
}

UINT WindowInput::MouseFlags(const QSinglePointEvent* e) {
    UINT f = 0;
    const Qt::MouseButtons b = e->buttons();
    if (b & Qt::LeftButton)
        f |= MK_LBUTTON;
    if (b & Qt::RightButton)
        f |= MK_RBUTTON;
    if (b & Qt::MiddleButton)
        f |= MK_MBUTTON;
    if (e->modifiers() & Qt::ShiftModifier)
        f |= MK_SHIFT;
    if (e->modifiers() & Qt::ControlModifier)
        f |= MK_CONTROL;
    return f;
}

void WindowInput::MouseButton(Window& w, QMouseEvent* e, bool down, bool dbl) {
    UINT base = 0;
    switch (e->button()) {
        case Qt::LeftButton:
            base = WM_LBUTTONDOWN;
            break;
        case Qt::RightButton:
            base = WM_RBUTTONDOWN;
            break;
        case Qt::MiddleButton:
            base = WM_MBUTTONDOWN;
            break;
        default:
            e->ignore();
            return;
    }
    e->accept();
    const QPoint p = e->position().toPoint();
    const LPARAM where = MAKELPARAM(p.x(), p.y());
    if (!down) {
        w.SendMessage(base + 1, MouseFlags(e), where);
        return;
    }
    const UINT msg = (dbl && (w.GetClassStyle() & CS_DBLCLKS)) ? base + 2 : base;
    if (!dbl && !w.isAncestorOf(QApplication::focusWidget()) && QApplication::focusWidget() != &w) {
        Window* top = w.GetTopLevelWindow();
        const LRESULT a = w.SendMessage(WM_MOUSEACTIVATE, top ? top->Handle().value : 0,
                                        MAKELPARAM(HTCLIENT, static_cast<int>(msg)));
        if (a == MA_ACTIVATEANDEAT || a == 4)
            return;
    }
    w.SendMessage(msg, MouseFlags(e), where);
}

bool Window::event(QEvent* e) {
    const QEvent::Type t = e->type();
    if (t == detail::kPostedWakeEvent) {
        d_->DeliverPosted();
        return true;
    }
    if (t == detail::kPaintRequestEvent) {
        d_->DeliverPaint();
        return true;
    }
    if (t == QEvent::KeyPress || t == QEvent::KeyRelease) {
        if (WindowInput::HandleKey(*this, static_cast<QKeyEvent*>(e)))
            return true;
    }
    return QWidget::event(e);
}

void Window::mousePressEvent(QMouseEvent* e) {
    WindowInput::MouseButton(*this, e, true, false);
}
void Window::mouseReleaseEvent(QMouseEvent* e) {
    WindowInput::MouseButton(*this, e, false, false);
}
void Window::mouseDoubleClickEvent(QMouseEvent* e) {
    WindowInput::MouseButton(*this, e, true, true);
}

void Window::mouseMoveEvent(QMouseEvent* e) {
    e->accept();
    const QPoint p = e->position().toPoint();
    if (!GetCapture()) {
        detail::CursorTargetScope scope(this);
        SendMessage(WM_SETCURSOR, d_->handle.value, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    }
    SendMessage(WM_MOUSEMOVE, WindowInput::MouseFlags(e), MAKELPARAM(p.x(), p.y()));
}

void Window::wheelEvent(QWheelEvent* e) {
    const int delta = e->angleDelta().y();
    if (delta == 0) {
        e->ignore();
        return;
    }
    const UINT keys = WindowInput::MouseFlags(e);
    const QPoint g = e->globalPosition().toPoint();
    SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(keys), delta), MAKELPARAM(g.x(), g.y()));
    e->accept();
}

void Window::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
}
void Window::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
}

}  // namespace fw
