#include "os/Event.h"

namespace os {

Event::Event(bool manualReset, bool initiallySet) : manualReset_(manualReset), set_(initiallySet) {}

void Event::Set() {
    std::lock_guard<std::mutex> guard(lock_);
    if (manualReset_) {
        set_ = true;
        changed_.notify_all();
    } else if (waiters_ > handedOver_) {
        // Straight to a waiting thread, so a second Set right after it releases a
        // second waiter instead of falling on an event that is still set.
        ++handedOver_;
        changed_.notify_one();
    } else {
        set_ = true;
    }
}

void Event::Reset() {
    std::lock_guard<std::mutex> guard(lock_);
    set_ = false;
}

WaitResult Event::Wait(uint32_t ms) {
    std::unique_lock<std::mutex> guard(lock_);
    if (manualReset_) {
        const auto isSet = [this] { return set_; };
        if (ms == kInfinite) {
            changed_.wait(guard, isSet);
            return WaitResult::Signaled;
        }
        return changed_.wait_until(guard, detail::DeadlineIn(ms), isSet) ? WaitResult::Signaled
                                                                         : WaitResult::Timeout;
    }
    if (set_) {
        set_ = false;
        return WaitResult::Signaled;
    }
    ++waiters_;
    const auto handed = [this] { return handedOver_ > 0; };
    bool got = true;
    if (ms == kInfinite) {
        changed_.wait(guard, handed);
    } else {
        got = changed_.wait_until(guard, detail::DeadlineIn(ms), handed);
    }
    --waiters_;
    if (!got) {
        return WaitResult::Timeout;
    }
    --handedOver_;
    return WaitResult::Signaled;
}

WaitResult Event::WaitUnless(const std::function<bool()>& expired) {
    std::unique_lock<std::mutex> guard(lock_);
    if (manualReset_) {
        changed_.wait(guard, [&] { return set_ || expired(); });
        return set_ ? WaitResult::Signaled : WaitResult::Timeout;
    }
    if (set_) {
        set_ = false;
        return WaitResult::Signaled;
    }
    ++waiters_;
    changed_.wait(guard, [&] { return handedOver_ > 0 || expired(); });
    --waiters_;
    if (handedOver_ == 0)
        return WaitResult::Timeout;
    --handedOver_;
    return WaitResult::Signaled;
}

void Event::Wake() {
    std::lock_guard<std::mutex> guard(lock_);
    changed_.notify_all();
}

bool Event::IsSet() const {
    std::lock_guard<std::mutex> guard(lock_);
    return set_;
}

}  // namespace os
