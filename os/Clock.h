// The millisecond clock: a 32-bit count that wraps about every 49.7 days, so
// deadlines are compared by signed difference, never by plain "<".
#pragma once

#include <cstdint>
#include <functional>

namespace os {

// Milliseconds since an arbitrary start (monotonic; wraps at 2^32).
uint32_t TickCount();

// True once `now` has reached or passed `deadline`, across a wrap as well,
// as long as the two are less than 2^31 ms (about 24.8 days) apart.
inline bool TickReached(uint32_t now, uint32_t deadline) {
    return static_cast<int32_t>(now - deadline) >= 0;
}

// Tests replace the clock with their own source; nullptr restores the real one.
// The source is called from whichever thread reads the clock.
void SetTickSourceForTest(std::function<uint32_t()> source);

}  // namespace os
