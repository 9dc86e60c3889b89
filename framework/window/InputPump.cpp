#include "framework/window/InputPump.h"

#include "framework/window/Window.h"
#include "framework/window/WindowPrivate.h"
#include "framework/window/WindowRegistry.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

namespace fw {
namespace {

enum class PumpMode { TakeKeyDown, Flush, DropInput };

struct PumpState {
    QPointer<Window> target;
    PumpMode mode;
    bool tookKeyDown = false;
    bool cancelKey = false;  // DropInput: Escape or Cancel was pressed
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> held;
};

PumpState* g_pump = nullptr;

bool IsKeyEvent(QEvent::Type t) {
    return t == QEvent::KeyPress || t == QEvent::KeyRelease || t == QEvent::ShortcutOverride;
}

bool IsPointerEvent(QEvent::Type t) {
    switch (t) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
            return true;
        default:
            return false;
    }
}

void Hold(QObject* receiver, QEvent* e) {
    g_pump->held.emplace_back(receiver, std::unique_ptr<QEvent>(e->clone()));
}

void RunPump(PumpState& state) {
    PumpState* outer = g_pump;
    g_pump = &state;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    g_pump = outer;
    for (auto& [receiver, event] : state.held) {
        if (receiver)
            QCoreApplication::postEvent(receiver, event.release());
    }
}

}  // namespace

namespace detail {

bool InputPumpFilter(QObject* receiver, QEvent* e) {
    if (!g_pump)
        return false;
    const QEvent::Type t = e->type();
    if (g_pump->mode == PumpMode::DropInput) {
        // Commands posted meanwhile are dropped with the input that would have given them:
        // nothing the user asked for runs in the middle of a long operation. The window's
        // other posted messages are still delivered.
        if (t == kPostedWakeEvent) {
            if (auto* window = qobject_cast<Window*>(receiver)) {
                Message dropped;
                while (window->PeekMessage(dropped, WM_COMMAND, WM_COMMAND, true)) {
                }
            }
            return false;
        }
        if (!IsKeyEvent(t) && !IsPointerEvent(t))
            return false;
        if (t == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(e)->key();
            if (key == Qt::Key_Escape || key == Qt::Key_Cancel)
                g_pump->cancelKey = true;
        }
        return true;
    }
    if (t == kPostedWakeEvent) {
        Hold(receiver, e);
        return true;
    }
    if (t == QEvent::Timer)
        return qobject_cast<Window*>(receiver) != nullptr;  // skip a tick
    if (!IsKeyEvent(t) && !IsPointerEvent(t))
        return false;
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget)
        return false;  // still on its way to a widget
    if (IsKeyEvent(t)) {
        Window* target = g_pump->target;
        const bool forTarget = target && (widget == target || target->isAncestorOf(widget));
        if (forTarget && g_pump->mode == PumpMode::Flush)
            return true;
        if (forTarget && t == QEvent::KeyPress && !g_pump->tookKeyDown) {
            g_pump->tookKeyDown = true;
            return true;
        }
        if (t == QEvent::ShortcutOverride)
            return false;
    }
    Hold(receiver, e);
    return true;
}

}  // namespace detail

bool TakePendingKeyDown(Window& window) {
    PumpState state{&window, PumpMode::TakeKeyDown, false, false, {}};
    RunPump(state);
    return state.tookKeyDown;
}

void FlushKeyInput(Window& window) {
    PumpState state{&window, PumpMode::Flush, false, false, {}};
    RunPump(state);
}

bool PumpDroppingInput() {
    if (!QCoreApplication::instance())
        return false;
    detail::EnsureAppHooks();
    PumpState state{nullptr, PumpMode::DropInput, false, false, {}};
    RunPump(state);
    return state.cancelKey;
}

}  // namespace fw
