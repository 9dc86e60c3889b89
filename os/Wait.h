// What every wait with a time-out in milliseconds returns.
#pragma once

#include <chrono>
#include <cstdint>

namespace os {

// Waits with this time-out never end by time.
inline constexpr uint32_t kInfinite = 0xFFFFFFFF;

enum class WaitResult {
    Signaled,  // the object was signaled (and, for auto-reset objects, taken)
    Timeout,   // the time-out passed first
    Failed,    // the object is not usable (not open, or the system refused)
};

namespace detail {
// The steady-clock instant `ms` from now; meaningless for kInfinite.
inline std::chrono::steady_clock::time_point DeadlineIn(uint32_t ms) {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
}
}  // namespace detail

}  // namespace os
