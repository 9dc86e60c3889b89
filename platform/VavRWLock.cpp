#include "platform/VavRWLock.h"

#include <cstdio>

namespace {
std::chrono::steady_clock::time_point DeadlineIn(uint32_t ms) {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
}
}  // namespace

template <typename Predicate>
bool VavRWLock::WaitUntil(std::unique_lock<std::mutex>& lock, uint32_t ms,
                          std::chrono::steady_clock::time_point deadline, Predicate ready) {
    if (ms == VAV_INFINITE) {
        changed_.wait(lock, ready);
        return true;
    }
    return changed_.wait_until(lock, deadline, ready);
}

void VavRWLock::Init() {
    std::lock_guard guard(lock_);
    readers_ = 0;
    entryHeld_ = false;
    changed_.notify_all();
}

bool VavRWLock::ReadLock(uint32_t ms) {
    std::unique_lock lock(lock_);
    if (!WaitUntil(lock, ms, DeadlineIn(ms), [this] { return !entryHeld_; }))
        return false;
    if (readers_ >= kMaxReaders)
        return false;
    ++readers_;
    return true;
}

void VavRWLock::ReadUnlock() {
    std::lock_guard guard(lock_);
    if (--readers_ < 0)
        std::printf("ReadUnlock: Got underflow in readcount!\r\n");
    changed_.notify_all();
}

bool VavRWLock::WriteLock(uint32_t ms) {
    auto deadline = DeadlineIn(ms);
    std::unique_lock lock(lock_);
    if (!WaitUntil(lock, ms, deadline, [this] { return !entryHeld_; }))
        return false;
    entryHeld_ = true;
    if (WaitUntil(lock, ms, deadline, [this] { return readers_ <= 0; }))
        return true;
    entryHeld_ = false;  // timed out: the waiting readers proceed
    changed_.notify_all();
    return false;
}

void VavRWLock::WriteUnlock() {
    std::lock_guard guard(lock_);
    entryHeld_ = false;
    changed_.notify_all();
}

long VavRWLock::ReaderCount() const {
    std::lock_guard guard(lock_);
    return readers_;
}
