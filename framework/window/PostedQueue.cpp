#include "framework/window/PostedQueue.h"

#include <algorithm>

namespace fw::detail {

bool PostedQueue::Push(Message& msg, bool& wake) {
    std::lock_guard lock(mutex_);
    wake = false;
    if (closed_)
        return false;
    messages_.push_back(std::move(msg));
    if (!wakePending_) {
        wakePending_ = true;
        wake = true;
    }
    return true;
}

std::optional<Message> PostedQueue::PopFront(bool& more) {
    std::lock_guard lock(mutex_);
    more = false;
    if (messages_.empty()) {
        wakePending_ = false;
        return std::nullopt;
    }
    Message m = std::move(messages_.front());
    messages_.pop_front();
    more = !messages_.empty();
    if (!more)
        wakePending_ = false;
    return m;
}

bool PostedQueue::Matches(const Message& m, UINT first, UINT last) {
    if (first == 0 && last == 0)
        return true;
    return m.id >= first && m.id <= last;
}

std::optional<Message> PostedQueue::Take(UINT first, UINT last) {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(messages_.begin(), messages_.end(),
                           [&](const Message& m) { return Matches(m, first, last); });
    if (it == messages_.end())
        return std::nullopt;
    Message m = std::move(*it);
    messages_.erase(it);
    return m;
}

std::optional<Message> PostedQueue::PeekCopy(UINT first, UINT last) const {
    std::lock_guard lock(mutex_);
    for (const Message& m : messages_) {
        if (Matches(m, first, last))
            return Message{m.id, m.wParam, m.lParam, {}};
    }
    return std::nullopt;
}

bool PostedQueue::Contains(UINT first, UINT last) const {
    std::lock_guard lock(mutex_);
    return std::any_of(messages_.begin(), messages_.end(),
                       [&](const Message& m) { return Matches(m, first, last); });
}

void PostedQueue::ClearWake() {
    std::lock_guard lock(mutex_);
    if (messages_.empty())
        wakePending_ = false;
}

void PostedQueue::Close() {
    std::deque<Message> dropped;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        dropped.swap(messages_);
    }
    // Payloads are freed here, outside the lock.
}

std::size_t PostedQueue::Size() const {
    std::lock_guard lock(mutex_);
    return messages_.size();
}

}  // namespace fw::detail
