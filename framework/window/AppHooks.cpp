// The application-wide event filter of the framework: focus messages that name the old and the
// new window, the key-state table, cancel mode when the application is deactivated, and the
// input-only pumping of InputPump.h.
#include "framework/base/NumericLocale.h"
#include "framework/window/InputPump.h"
#include "framework/window/KeyTranslator.h"
#include "framework/window/MessageFilter.h"
#include "framework/window/SendBridge.h"
#include "framework/window/Window.h"
#include "framework/window/WindowPrivate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include <bitset>

namespace fw {
namespace detail {
namespace {

std::bitset<256> g_keysDown;
MessageFilter g_filter;

class AppHooks final : public QObject {
public:
    explicit AppHooks(QObject* parent) : QObject(parent) {}

    bool eventFilter(QObject* obj, QEvent* e) override {
        if (InputPumpFilter(obj, e))
            return true;
        if (PreTranslate(obj, e))
            return true;
        switch (e->type()) {
            case QEvent::FocusOut:
                FocusOut(obj);
                break;
            case QEvent::FocusIn:
                FocusIn(obj);
                break;
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
                TrackKey(static_cast<QKeyEvent*>(e));
                break;
            default:
                break;
        }
        return false;
    }

private:
    // Qt sends FocusOut to the old widget and then FocusIn to the new one, with the application's
    // focus widget already the new one. A window learns of a change only when the focus enters
    // or leaves it as a whole (moving between the parts of one control says nothing).
    void FocusOut(QObject* obj) {
        auto* w = qobject_cast<QWidget*>(obj);
        if (!w)
            return;
        lastOut_ = w;
        Window* oldOwner = Window::FromWidget(w);
        Window* newOwner = Window::FromWidget(QApplication::focusWidget());
        if (oldOwner && oldOwner != newOwner) {
            oldOwner->SendMessage(WM_KILLFOCUS, newOwner ? newOwner->Handle().value : 0);
        }
    }

    void FocusIn(QObject* obj) {
        auto* w = qobject_cast<QWidget*>(obj);
        if (!w)
            return;
        Window* newOwner = Window::FromWidget(w);
        Window* oldOwner = lastOut_ ? Window::FromWidget(lastOut_) : nullptr;
        lastOut_ = nullptr;
        if (newOwner && newOwner != oldOwner) {
            newOwner->SendMessage(WM_SETFOCUS, oldOwner ? oldOwner->Handle().value : 0);
        }
    }

    static void TrackKey(QKeyEvent* k) {
        const unsigned vk = VirtualKeyOf(k->key(), k->modifiers() & Qt::KeypadModifier);
        if (vk > 0 && vk < 256)
            g_keysDown[vk] = k->type() == QEvent::KeyPress;
    }

    // Offers key-downs and button-downs to the application before their window sees them.
    // An event on its way up from a child to its parents is offered once.
    bool PreTranslate(QObject* obj, QEvent* e) {
        if (!g_filter)
            return false;
        const QEvent::Type t = e->type();
        if (t != QEvent::KeyPress && t != QEvent::MouseButtonPress &&
            t != QEvent::MouseButtonDblClick) {
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(obj);
        if (!widget)
            return false;
        const auto* input = static_cast<QInputEvent*>(e);
        if (e == lastOffered_ && t == lastType_ && input->timestamp() == lastStamp_)
            return false;
        lastOffered_ = e;
        lastType_ = t;
        lastStamp_ = input->timestamp();
        Message m;
        if (t == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            const KeyStroke s = TranslateKey({k->key(), k->modifiers(), k->text(),
                                              k->isAutoRepeat(), false, k->nativeScanCode()});
            m = Message{s.system ? WM_SYSKEYDOWN : WM_KEYDOWN, s.vk, s.lParam, {}};
        } else {
            auto* me = static_cast<QMouseEvent*>(e);
            UINT id = WM_LBUTTONDOWN;
            if (me->button() == Qt::RightButton)
                id = WM_RBUTTONDOWN;
            if (me->button() == Qt::MiddleButton)
                id = WM_MBUTTONDOWN;
            const QPoint p = me->position().toPoint();
            m = Message{id, 0, MAKELPARAM(p.x(), p.y()), {}};
        }
        return g_filter(m, Window::FromWidget(widget));
    }

    QPointer<QWidget> lastOut_;
    const QEvent* lastOffered_ = nullptr;
    QEvent::Type lastType_ = QEvent::None;
    quint64 lastStamp_ = 0;
};

QPointer<AppHooks> g_hooks;

}  // namespace

void EnsureAppHooks() {
    if (g_hooks)
        return;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return;
    g_hooks = new AppHooks(app);
    app->installEventFilter(g_hooks);
    SendBridge::Instance().Attach();
    RestoreNumericLocale();
    QObject::connect(app, &QGuiApplication::applicationStateChanged, g_hooks,
                     [](Qt::ApplicationState state) {
                         if (state == Qt::ApplicationActive)
                             return;
                         if (Window* cap = Window::GetCapture()) {
                             cap->SendMessage(WM_CANCELMODE);
                             Window::ReleaseCapture();
                         }
                     });
}

void SetKeyDown(unsigned vk, bool down) {
    if (vk < 256)
        g_keysDown[vk] = down;
}

}  // namespace detail

void SetMessageFilter(MessageFilter filter) {
    detail::g_filter = std::move(filter);
}

std::int16_t GetKeyState(unsigned vk) {
    constexpr std::int16_t kDown = static_cast<std::int16_t>(0x8000);
    const Qt::KeyboardModifiers mods = QGuiApplication::keyboardModifiers();
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    switch (vk) {
        case VK_SHIFT:
            return (mods & Qt::ShiftModifier) ? kDown : 0;
        case VK_CONTROL:
            return (mods & Qt::ControlModifier) ? kDown : 0;
        case VK_MENU:
            return (mods & Qt::AltModifier) ? kDown : 0;
        case VK_LBUTTON:
            return (buttons & Qt::LeftButton) ? kDown : 0;
        case VK_RBUTTON:
            return (buttons & Qt::RightButton) ? kDown : 0;
        case VK_MBUTTON:
            return (buttons & Qt::MiddleButton) ? kDown : 0;
        default:
            return (vk < 256 && detail::g_keysDown[vk]) ? kDown : 0;
    }
}

}  // namespace fw
