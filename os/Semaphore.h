// A counting semaphore inside one process. Any thread may release it, not only
// one that waited on it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "os/Wait.h"

namespace os {

class Semaphore {
public:
    // `initial` is clamped to 0..maximum; a maximum below 1 is taken as 1.
    Semaphore(long initial, long maximum);
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;

    // Takes one unit, waiting up to `ms` milliseconds for one (kInfinite: no limit).
    WaitResult Wait(uint32_t ms);
    // Adds `count` units. False, and nothing changes, when count is not positive
    // or the total would pass the maximum. `previous` receives the count before.
    bool Release(long count = 1, long* previous = nullptr);
    long Count() const;

private:
    const long maximum_;
    mutable std::mutex lock_;
    std::condition_variable released_;
    long count_;
};

}  // namespace os
