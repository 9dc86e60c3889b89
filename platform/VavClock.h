// The millisecond clock behind every time-out, pacing interval and time stamp of the
// suite. It wraps after about 49.7 days, so deadlines are compared by signed difference.
#pragma once

#include <cstdint>

// Milliseconds of the process-wide clock (os::TickCount; tests move it with
// os::FakeClock).
uint32_t GetMilliseconds();
// The clock plus `ms`.
uint32_t DeadlineFromNow(uint32_t ms);
// True once the clock has reached `deadline`, also across the wrap of the counter.
bool DeadlinePassed(uint32_t deadline);
