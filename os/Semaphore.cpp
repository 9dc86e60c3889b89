#include "os/Semaphore.h"

#include <algorithm>

namespace os {

Semaphore::Semaphore(long initial, long maximum)
    : maximum_(std::max(maximum, 1L)), count_(std::clamp(initial, 0L, std::max(maximum, 1L))) {}

WaitResult Semaphore::Wait(uint32_t ms) {
    std::unique_lock<std::mutex> guard(lock_);
    const auto available = [this] { return count_ > 0; };
    if (ms == kInfinite) {
        released_.wait(guard, available);
    } else if (!released_.wait_until(guard, detail::DeadlineIn(ms), available)) {
        return WaitResult::Timeout;
    }
    --count_;
    return WaitResult::Signaled;
}

bool Semaphore::Release(long count, long* previous) {
    std::lock_guard<std::mutex> guard(lock_);
    if (previous != nullptr) {
        *previous = count_;
    }
    if (count <= 0 || count > maximum_ - count_) {
        return false;
    }
    count_ += count;
    if (count == 1) {
        released_.notify_one();
    } else {
        released_.notify_all();
    }
    return true;
}

long Semaphore::Count() const {
    std::lock_guard<std::mutex> guard(lock_);
    return count_;
}

}  // namespace os
