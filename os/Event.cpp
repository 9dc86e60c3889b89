#include "os/Event.h"

namespace os {

Event::Event(bool manualReset, bool initiallySet)
    : manualReset_(manualReset), set_(initiallySet) {}

void Event::Set() {
    std::lock_guard<std::mutex> guard(lock_);
    set_ = true;
    if (manualReset_) {
        changed_.notify_all();
    } else {
        changed_.notify_one();
    }
}

void Event::Reset() {
    std::lock_guard<std::mutex> guard(lock_);
    set_ = false;
}

WaitResult Event::Wait(uint32_t ms) {
    std::unique_lock<std::mutex> guard(lock_);
    const auto isSet = [this] { return set_; };
    if (ms == kInfinite) {
        changed_.wait(guard, isSet);
    } else if (!changed_.wait_until(guard, detail::DeadlineIn(ms), isSet)) {
        return WaitResult::Timeout;
    }
    if (!manualReset_) {
        set_ = false;
    }
    return WaitResult::Signaled;
}

bool Event::IsSet() const {
    std::lock_guard<std::mutex> guard(lock_);
    return set_;
}

}  // namespace os
