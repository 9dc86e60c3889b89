// A counting reader/writer lock with time-outs in milliseconds. Readers never block
// one another; a writer, once it holds the entry, keeps new readers out while the
// ones inside drain (writer preference). Not re-entrant: a thread that holds the
// write side and asks for the read side waits until its own time-out.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

constexpr uint32_t VAV_INFINITE = 0xFFFFFFFF;

class VavRWLock {
public:
    static constexpr long kMaxReaders = 20000;

    VavRWLock() = default;
    VavRWLock(const VavRWLock&) = delete;
    VavRWLock& operator=(const VavRWLock&) = delete;

    // Back to no readers and no writer.
    void Init();
    void Close() {}

    // False when the entry was not free within ms (VAV_INFINITE: no limit) or
    // kMaxReaders are already inside.
    bool ReadLock(uint32_t ms = VAV_INFINITE);
    // One reader fewer. Unlocking more than was locked prints a warning and leaves the
    // count below zero, so that a later WriteLock succeeds at once.
    void ReadUnlock();
    // Takes the entry, then waits for the readers inside to leave, all within ms.
    bool WriteLock(uint32_t ms = VAV_INFINITE);
    void WriteUnlock();

    long ReaderCount() const;

private:
    template <typename Predicate>
    bool WaitUntil(std::unique_lock<std::mutex>& lock, uint32_t ms,
                   std::chrono::steady_clock::time_point deadline, Predicate ready);

    mutable std::mutex lock_;
    std::condition_variable changed_;
    long readers_ = 0;
    bool entryHeld_ = false;  // by a writer, from WriteLock until WriteUnlock
};
