#include "os/Event.h"

#include <climits>

#include "os/Futex.h"

namespace os {

Event::Event(bool manualReset, bool initiallySet)
    : manual_(manualReset && initiallySet ? kSetBit : 0),
      manualReset_(manualReset),
      set_(initiallySet) {}

void Event::Set() {
    if (manualReset_) {
        // After the store only the system is called, never this object's memory: a
        // released waiter may already have destroyed it.
        const uint32_t before = manual_.fetch_or(kSetBit);
        if ((before & kSetBit) == 0 && before >= kOneWaiter) {
            detail::FutexWake(manual_, INT_MAX);
        }
        return;
    }
    std::lock_guard<std::mutex> guard(lock_);
    if (waiters_ > handedOver_) {
        // Straight to a waiting thread, so a second Set right after it releases a
        // second waiter instead of falling on an event that is still set.
        ++handedOver_;
        changed_.notify_one();
    } else {
        set_ = true;
    }
}

void Event::Reset() {
    if (manualReset_) {
        manual_.fetch_and(~kSetBit);
        return;
    }
    std::lock_guard<std::mutex> guard(lock_);
    set_ = false;
}

WaitResult Event::WaitManual(uint32_t ms) {
    if ((manual_.load() & kSetBit) != 0) {
        return WaitResult::Signaled;
    }
    const auto deadline = detail::DeadlineIn(ms == kInfinite ? 0 : ms);
    for (;;) {
        uint32_t left = kInfinite;
        if (ms != kInfinite) {
            const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (remaining.count() <= 0) {
                return WaitResult::Timeout;
            }
            left = static_cast<uint32_t>(remaining.count());
        }
        // Counted in the word itself, so a Set sees this thread or this thread sees the
        // Set: the futex sleeps only while the word is what it was counted as.
        const uint32_t counted = manual_.fetch_add(kOneWaiter) + kOneWaiter;
        if ((counted & kSetBit) == 0) {
            detail::FutexWait(manual_, counted, left);
        }
        if ((manual_.fetch_sub(kOneWaiter) & kSetBit) != 0) {
            return WaitResult::Signaled;
        }
    }
}

WaitResult Event::Wait(uint32_t ms) {
    if (manualReset_) {
        return WaitManual(ms);
    }
    std::unique_lock<std::mutex> guard(lock_);
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

WaitResult Event::WaitManualUnless(const std::function<bool()>& expired) {
    for (;;) {
        // Counted in first, then `expired` is asked: a Wake after the question changes the
        // word, so the futex does not sleep through it.
        const uint32_t counted = manual_.fetch_add(kOneWaiter) + kOneWaiter;
        const bool set = (counted & kSetBit) != 0;
        const bool over = !set && expired();
        if (!set && !over) {
            detail::FutexWait(manual_, counted, kInfinite);
        }
        const bool setAfter = (manual_.fetch_sub(kOneWaiter) & kSetBit) != 0;
        if (set || setAfter) {
            return WaitResult::Signaled;
        }
        if (over) {
            return WaitResult::Timeout;
        }
    }
}

WaitResult Event::WaitUnless(const std::function<bool()>& expired) {
    if (manualReset_) {
        return WaitManualUnless(expired);
    }
    std::unique_lock<std::mutex> guard(lock_);
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
    if (manualReset_) {
        uint32_t word = manual_.load();
        while (!manual_.compare_exchange_weak(
            word, (word & ~kWakeBits) | ((word + kOneWake) & kWakeBits))) {
        }
        if (word >= kOneWaiter) {
            detail::FutexWake(manual_, INT_MAX);
        }
        return;
    }
    std::lock_guard<std::mutex> guard(lock_);
    changed_.notify_all();
}

bool Event::IsSet() const {
    if (manualReset_) {
        return (manual_.load() & kSetBit) != 0;
    }
    std::lock_guard<std::mutex> guard(lock_);
    return set_;
}

}  // namespace os
