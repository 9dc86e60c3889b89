// A manual-reset signal between the threads of one process that costs a system call only
// when a thread sleeps on it: Set on a signal nobody waits for, or one already set, is
// one atomic exchange. Wait takes no lock, so a woken thread never queues behind the
// thread that woke it.
#pragma once

#include <atomic>
#include <cstdint>

class CXWake {
public:
    void Set();
    void Reset();
    // True when set within `ms` (os::kInfinite: no limit); stays set until Reset.
    bool Wait(std::uint32_t ms);

private:
    std::atomic<std::uint32_t> set_{0};
    std::atomic<std::uint32_t> waiters_{0};
};
