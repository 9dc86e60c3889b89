// The process-wide table from window handles to live windows and their posted-message queues.
// It is the one place where other threads meet windows: they post through it, and a window that
// is gone is simply not found.
#pragma once

#include "framework/window/Message.h"
#include "framework/window/PostedQueue.h"
#include "framework/window/WindowHandle.h"

#include <QEvent>

#include <memory>

class QObject;

namespace fw {
class Window;
}

namespace fw::detail {

// The event that tells a window on its own thread that a posted message waits.
inline const QEvent::Type kPostedWakeEvent = static_cast<QEvent::Type>(QEvent::User + 0x401);

class WindowRegistry {
public:
    static WindowRegistry& Instance();

    WindowHandle Register(Window* window, std::shared_ptr<PostedQueue> queue);
    void Unregister(WindowHandle handle);

    // UI thread only: the live window of a handle, or null.
    Window* Find(WindowHandle handle) const;

    // Any thread: queues the message for the window and wakes it. False when the window is gone;
    // the message then stays with the caller, who frees its payload.
    bool Post(WindowHandle handle, Message& msg) const;

private:
    WindowRegistry() = default;
    struct Impl;
    Impl& impl() const;
};

}  // namespace fw::detail
