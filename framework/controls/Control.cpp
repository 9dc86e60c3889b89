#include "framework/controls/Control.h"

#include "framework/window/KeyTranslator.h"

#include <QKeyEvent>
#include <QPointer>

namespace fw {

Control::Control() {
    setFocusPolicy(Qt::NoFocus);
}

void Control::SetInner(QWidget* widget) {
    inner_ = widget;
    inner_->setParent(this);
    const Rect c = GetClientRect();
    inner_->setGeometry(c.left, c.top, c.Width(), c.Height());
    inner_->installEventFilter(this);
    setFocusProxy(inner_);
    inner_->show();
}

void Control::OnSize(UINT, int cx, int cy) {
    if (inner_)
        inner_->setGeometry(0, 0, cx, cy);
}

bool Control::eventFilter(QObject* watched, QEvent* event) {
    if (watched == inner_ &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        return RouteKey(static_cast<QKeyEvent*>(event));
    }
    return Window::eventFilter(watched, event);
}

// True when a handler took the key (the widget does not see it).
bool Control::RouteKey(QKeyEvent* e) {
    const KeyStroke k = TranslateKey({e->key(), e->modifiers(), e->text(), e->isAutoRepeat(),
                                      e->type() == QEvent::KeyRelease, e->nativeScanCode()});
    QPointer<Control> alive(this);
    if (e->type() == QEvent::KeyRelease) {
        return k.vk && SendMessage(k.system ? WM_SYSKEYUP : WM_KEYUP, k.vk, k.lParam) != 0;
    }
    if (k.vk && SendMessage(k.system ? WM_SYSKEYDOWN : WM_KEYDOWN, k.vk, k.lParam) != 0)
        return true;
    for (char32_t c : k.chars) {
        if (!alive)
            return true;
        if (SendMessage(k.system ? WM_SYSCHAR : WM_CHAR, c, k.lParam) != 0)
            return true;
    }
    return !alive;
}

}  // namespace fw
