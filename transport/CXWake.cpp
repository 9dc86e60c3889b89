#include "transport/CXWake.h"

#include <chrono>
#include <climits>

#include "os/Futex.h"
#include "os/Wait.h"

void CXWake::Set() {
    // A waiter counts itself before it sleeps and sleeps only while the word is 0, so
    // it sees either this store or this wake.
    if (set_.exchange(1) == 0 && waiters_.load() != 0)
        os::detail::FutexWake(set_, INT_MAX);
}

void CXWake::Reset() {
    if (set_.load(std::memory_order_relaxed) != 0)
        set_.store(0);
}

bool CXWake::Wait(std::uint32_t ms) {
    if (set_.load() != 0)
        return true;
    const auto deadline = os::detail::DeadlineIn(ms == os::kInfinite ? 0 : ms);
    for (;;) {
        std::uint32_t left = os::kInfinite;
        if (ms != os::kInfinite) {
            const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (remaining.count() <= 0)
                return false;
            left = static_cast<std::uint32_t>(remaining.count());
        }
        waiters_.fetch_add(1);
        os::detail::FutexWait(set_, 0, left);
        waiters_.fetch_sub(1);
        if (set_.load() != 0)
            return true;
    }
}
