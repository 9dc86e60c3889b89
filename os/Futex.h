// Waiting on a 32-bit word in memory shared between processes (Linux futex).
#pragma once

#include <atomic>
#include <cstdint>

namespace os::detail {

static_assert(sizeof(std::atomic<uint32_t>) == 4 && std::atomic<uint32_t>::is_always_lock_free);

// Sleeps while `word` holds `expected`, at most `ms` (kInfinite: no limit). May
// return early (a wake, a signal, or the word already changed): callers re-check.
void FutexWait(std::atomic<uint32_t>& word, uint32_t expected, uint32_t ms);
// Wakes up to `count` sleepers on `word`.
void FutexWake(std::atomic<uint32_t>& word, int count);

}  // namespace os::detail
