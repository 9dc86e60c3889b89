// The process's one clock: milliseconds as a 32-bit count that wraps about every 49.7 days,
// so deadlines are compared by signed difference, never by plain "<", and the waits by time
// that protocol code uses (Sleep, and WaitEvent for a time-out). Tests install a FakeClock
// (os/FakeClock.h) in its place, so that a protocol's intervals and time-outs pass without wall
// time.
#pragma once

#include <cstdint>

#include "os/Event.h"

namespace os {

// A source of milliseconds and of waits measured on them.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start (monotonic; wraps at 2^32).
    virtual uint32_t Now() = 0;
    // Returns once `ms` milliseconds of this clock have passed.
    virtual void Sleep(uint32_t ms) = 0;
    // Waits until `event` is set (an auto-reset event is taken) or `ms` milliseconds of
    // this clock have passed (kInfinite: no limit).
    virtual WaitResult Wait(Event& event, uint32_t ms) = 0;
};

// The monotonic clock of the system, and the thread's real sleep.
Clock& SystemClock();

// The clock in use: the system clock unless a test installed another.
uint32_t TickCount();
void Sleep(uint32_t ms);
WaitResult WaitEvent(Event& event, uint32_t ms);

// True once `now` has reached or passed `deadline`, across a wrap as well,
// as long as the two are less than 2^31 ms (about 24.8 days) apart.
inline bool TickReached(uint32_t now, uint32_t deadline) {
    return static_cast<int32_t>(now - deadline) >= 0;
}

// Tests put their own clock in place (it must outlive its use); nullptr restores the
// system clock. Whichever thread reads the clock calls it.
void SetClockForTest(Clock* clock);

}  // namespace os
