#include "os/NamedEvent.h"

#include <atomic>
#include <chrono>
#include <climits>
#include <new>

#include "os/Futex.h"

namespace os {

namespace {
constexpr uint32_t kEventMagic = 0x49584F45;  // "IXOE"
}

struct NamedEvent::Shared {
    uint32_t magic;
    uint32_t manualReset;
    std::atomic<uint32_t> set;      // 1 set, 0 not
    std::atomic<uint32_t> waiters;  // threads, in any process, inside Wait
};

OpenResult NamedEvent::Create(std::string_view name, bool manualReset, bool initiallySet) {
    const auto init = [&](void* data) {
        new (data) Shared{kEventMagic, manualReset ? 1u : 0u, initiallySet ? 1u : 0u, 0u};
    };
    return object_.Open("event", name, sizeof(Shared), sizeof(Shared), kEventMagic, init);
}

OpenResult NamedEvent::Open(std::string_view name) {
    return object_.Open("event", name, 0, sizeof(Shared), kEventMagic, nullptr);
}

NamedEvent::Shared* NamedEvent::State() const {
    return static_cast<Shared*>(object_.Data());
}

bool NamedEvent::Set() {
    if (!IsOpen()) {
        return false;
    }
    Shared* state = State();
    // Already set: nobody sleeps on it. Otherwise the system is asked to wake only when
    // someone waits (a waiter counts itself before it sleeps, and sleeps only while the
    // word is still 0, so it sees either this store or this call).
    if (state->set.exchange(1) == 1 || state->waiters.load() == 0) {
        return true;
    }
    detail::FutexWake(state->set, state->manualReset != 0 ? INT_MAX : 1);
    return true;
}

bool NamedEvent::Reset() {
    if (!IsOpen()) {
        return false;
    }
    Shared* state = State();
    if (state->set.load(std::memory_order_relaxed) != 0) {
        state->set.store(0);
    }
    return true;
}

WaitResult NamedEvent::Wait(uint32_t ms) {
    if (!IsOpen()) {
        return WaitResult::Failed;
    }
    Shared* state = State();
    const auto deadline = detail::DeadlineIn(ms == kInfinite ? 0 : ms);
    for (;;) {
        uint32_t one = 1;
        const bool taken = state->manualReset != 0 ? state->set.load() == 1
                                                   : state->set.compare_exchange_strong(one, 0);
        if (taken) {
            return WaitResult::Signaled;
        }
        uint32_t left = kInfinite;
        if (ms != kInfinite) {
            const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (remaining.count() <= 0) {
                return WaitResult::Timeout;
            }
            left = static_cast<uint32_t>(remaining.count());
        }
        state->waiters.fetch_add(1);
        detail::FutexWait(state->set, 0, left);
        state->waiters.fetch_sub(1);
    }
}

}  // namespace os
