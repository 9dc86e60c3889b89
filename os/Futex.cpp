#include "os/Futex.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include "os/Wait.h"

namespace os::detail {

void FutexWait(std::atomic<uint32_t>& word, uint32_t expected, uint32_t ms) {
    timespec timeout{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    // Not FUTEX_PRIVATE: the word lives in memory other processes map too.
    syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAIT, expected,
            ms == kInfinite ? nullptr : &timeout, nullptr, 0);
}

void FutexWake(std::atomic<uint32_t>& word, int count) {
    syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAKE, count, nullptr, nullptr, 0);
}

}  // namespace os::detail
