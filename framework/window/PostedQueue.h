// The queue of messages posted to one window. Any thread pushes; the user-interface thread takes
// them out in order. Once closed (the window is gone) a push fails and the message, with its
// payload, is freed by the caller's copy going out of scope.
#pragma once

#include "framework/window/Message.h"

#include <deque>
#include <mutex>
#include <optional>

namespace fw::detail {

class PostedQueue {
public:
    // Appends the message. Fails (and leaves the message with the caller) once closed. `wake`
    // tells whether the owner must be woken: true for the first message since the last wake.
    bool Push(Message& msg, bool& wake);
    // Takes the oldest message; `more` tells whether others remain.
    std::optional<Message> PopFront(bool& more);
    // Takes the oldest message whose number lies in [first, last] (0, 0: any).
    std::optional<Message> Take(UINT first, UINT last);
    // A copy of the oldest matching message without its payload (the queue keeps it).
    std::optional<Message> PeekCopy(UINT first, UINT last) const;
    // True when a message in [first, last] is queued (0, 0: any); nothing is removed.
    bool Contains(UINT first, UINT last) const;
    // Called once the owner has handled a wake and found the queue empty.
    void ClearWake();
    // Drops every queued message (their payloads are freed) and refuses further pushes.
    void Close();
    std::size_t Size() const;

private:
    static bool Matches(const Message& m, UINT first, UINT last);

    mutable std::mutex mutex_;
    std::deque<Message> messages_;
    bool closed_ = false;
    bool wakePending_ = false;
};

}  // namespace fw::detail
