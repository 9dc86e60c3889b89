// An event inside one process: manual reset (stays set until Reset, releases
// every waiter) or auto reset (a Set releases exactly one waiting thread; with
// nobody waiting the event stays set until one wait takes it; Sets do not add up).
//
// A manual-reset event is one word waited on with a futex and takes no lock: a Set
// makes a system call only when a thread sleeps on the event, and a woken thread
// does not queue behind the thread that woke it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

#include "os/Wait.h"

namespace os {

class Event {
public:
    Event(bool manualReset, bool initiallySet);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    // Waits up to `ms` milliseconds (kInfinite: no limit; 0: just test).
    WaitResult Wait(uint32_t ms);
    // True when set, without taking an auto-reset event.
    bool IsSet() const;

    // A wait whose time runs on another clock: with no limit of its own, it ends when the
    // event is set (Signaled) or, once woken by Wake, when `expired` (called while the
    // waiter is counted in, so it must not touch the event) is true (Timeout).
    WaitResult WaitUnless(const std::function<bool()>& expired);
    // Wakes the threads inside WaitUnless to look at their `expired` again.
    void Wake();

private:
    // Manual reset: bit 0 set, bits 1-7 a count of Wakes (so a sleeper cannot miss one),
    // the rest the number of threads inside a wait, in units of kOneWaiter.
    static constexpr uint32_t kSetBit = 1;
    static constexpr uint32_t kOneWake = 2;
    static constexpr uint32_t kWakeBits = 0xFE;
    static constexpr uint32_t kOneWaiter = 0x100;
    WaitResult WaitManual(uint32_t ms);
    WaitResult WaitManualUnless(const std::function<bool()>& expired);

    std::atomic<uint32_t> manual_{0};
    const bool manualReset_;
    mutable std::mutex lock_;
    std::condition_variable changed_;
    bool set_;
    // Auto reset: threads inside Wait, and Sets handed to them but not yet taken.
    unsigned waiters_ = 0;
    unsigned handedOver_ = 0;
};

}  // namespace os
