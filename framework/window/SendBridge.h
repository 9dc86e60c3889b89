// Sending a message to a window from another thread.
//
// A send runs the window's handler on the user-interface thread while the sending thread waits
// for its result. The request is queued here and the user-interface thread runs it (1) from its
// event loop, and (2) while it waits for a worker itself through WaitServicingSends.
//
// The deadlock this avoids: the user-interface thread waits for a worker (to stop it, or for a
// result) while that worker sends to a window. A plain join or condition wait on the
// user-interface thread would never run the send, and both threads would wait for ever. So the
// rule is: the user-interface thread never waits for a thread that may send without going
// through WaitServicingSends, which keeps running queued sends (and only sends: no input, no
// posted messages, no timers) until its condition holds. Worker threads that need not wait for
// an answer post instead of sending. When the application object is gone, every waiting and
// later send fails at once with 0 instead of blocking.
#pragma once

#include "framework/window/Message.h"
#include "framework/window/WindowHandle.h"

#include <chrono>
#include <functional>

namespace fw {

inline constexpr std::chrono::milliseconds kWaitForever{-1};

namespace detail {

class SendBridge {
public:
    static SendBridge& Instance();

    // Worker thread: runs the message on the user-interface thread and returns its result; 0
    // when the window is gone, the application ended or the time-out passed (`delivered` then
    // false). A negative time-out waits until the answer comes.
    LRESULT SendFromWorker(WindowHandle target, Message msg,
                           std::chrono::milliseconds timeout = kWaitForever,
                           bool* delivered = nullptr);

    // User-interface thread: runs every send that waits.
    void ServicePending();

    // User-interface thread: waits until `done` answers true or the time-out passes, running
    // the sends of other threads meanwhile. True when `done` answered true.
    bool WaitServicingSends(const std::function<bool()>& done, std::chrono::milliseconds timeout);

    // Wakes a user-interface thread that waits in WaitServicingSends so that it checks its
    // condition again at once (it also checks every few milliseconds on its own).
    void Notify();

    // Ties the bridge to the running application (called by the framework on the
    // user-interface thread); when that application object is destroyed, sends fail.
    void Attach();

private:
    SendBridge() = default;
    struct Impl;
    Impl& impl();
};

}  // namespace detail

// User-interface thread: see SendBridge::WaitServicingSends.
bool WaitServicingSends(const std::function<bool()>& done,
                        std::chrono::milliseconds timeout = kWaitForever);

}  // namespace fw
