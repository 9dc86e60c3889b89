#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "os/FakeClock.h"
#include "platform/CCriticalSectionGuard.h"
#include "platform/SafeStrCopy.h"
#include "platform/VavClock.h"
#include "platform/VavGateLock.h"
#include "platform/VavRWLock.h"

using namespace std::chrono_literals;

namespace {

// True when the future is still waiting after a short look.
template <typename T>
bool StillWaiting(std::future<T>& f) {
    return f.wait_for(30ms) == std::future_status::timeout;
}

// True once a writer holds the entry (new readers are kept out), false when none has
// within a few seconds. The writer is already on its way; this only waits for it to
// take the entry, so the test's next step finds it waiting.
bool WriterHoldsTheEntry(VavRWLock& lock) {
    const auto until = std::chrono::steady_clock::now() + 5s;
    while (lock.ReadLock(0)) {
        lock.ReadUnlock();
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::yield();
    }
    return true;
}

TEST(VavRWLock, ManyReadersAreInsideAtOnce) {
    VavRWLock lock;
    constexpr int kReaders = 16;
    std::atomic<int> inside{0};
    std::atomic<int> sawAll{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kReaders; ++i)
        threads.emplace_back([&] {
            if (!lock.ReadLock(1000))
                return;
            ++inside;
            auto until = std::chrono::steady_clock::now() + 2s;
            while (inside.load() < kReaders && std::chrono::steady_clock::now() < until)
                std::this_thread::yield();
            if (inside.load() == kReaders)
                ++sawAll;
            lock.ReadUnlock();
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(sawAll.load(), kReaders) << "every reader saw all the others inside";
    EXPECT_EQ(lock.ReaderCount(), 0);
}

TEST(VavRWLock, ReaderLimitAndUnderflow) {
    VavRWLock lock;
    for (long i = 0; i < VavRWLock::kMaxReaders; ++i) ASSERT_TRUE(lock.ReadLock(0));
    EXPECT_FALSE(lock.ReadLock(0)) << "reader 20001";
    lock.Init();

    ::testing::internal::CaptureStdout();
    lock.ReadUnlock();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "ReadUnlock: Got underflow in readcount!\r\n");
    EXPECT_EQ(lock.ReaderCount(), -1);
    EXPECT_TRUE(lock.WriteLock(0));
}

TEST(VavRWLock, WriterTimesOutAndLeavesTheLockFree) {
    VavRWLock lock;
    ASSERT_TRUE(lock.ReadLock());
    EXPECT_FALSE(lock.WriteLock(0)) << "fails at once with a reader inside";
    EXPECT_TRUE(lock.ReadLock(0));
    lock.ReadUnlock();

    // A reader that arrives while the writer waits gets in once the writer gives up.
    auto start = std::chrono::steady_clock::now();
    auto writer = std::async(std::launch::async, [&] { return lock.WriteLock(150); });
    ASSERT_TRUE(WriterHoldsTheEntry(lock));
    auto reader = std::async(std::launch::async, [&] { return lock.ReadLock(VAV_INFINITE); });
    EXPECT_TRUE(StillWaiting(reader));
    EXPECT_FALSE(writer.get());
    EXPECT_GE(std::chrono::steady_clock::now() - start, 140ms);
    EXPECT_TRUE(reader.get());
    EXPECT_EQ(lock.ReaderCount(), 2);
}

TEST(VavRWLock, WaitingWriterKeepsNewReadersOut) {
    VavRWLock lock;
    ASSERT_TRUE(lock.ReadLock());
    auto writer = std::async(std::launch::async, [&] { return lock.WriteLock(VAV_INFINITE); });
    ASSERT_TRUE(StillWaiting(writer));
    EXPECT_FALSE(lock.ReadLock(20)) << "writer preference";
    auto reader = std::async(std::launch::async, [&] { return lock.ReadLock(VAV_INFINITE); });
    lock.ReadUnlock();
    EXPECT_TRUE(writer.get());
    EXPECT_TRUE(StillWaiting(reader)) << "the writer is inside";
    EXPECT_FALSE(lock.WriteLock(10)) << "one writer at a time";
    lock.WriteUnlock();
    EXPECT_TRUE(reader.get());
}

TEST(VavGateLock, CloseWaitsForEveryWorkerAndKeepsNewOnesOut) {
    VavGateLock gate;
    gate.Enter();
    gate.Enter();
    auto closer = std::async(std::launch::async, [&] { gate.Close(); });
    EXPECT_TRUE(StillWaiting(closer));
    gate.Leave();
    EXPECT_TRUE(StillWaiting(closer));
    gate.Leave();
    closer.get();
    EXPECT_EQ(gate.Inside(), 0);

    auto worker = std::async(std::launch::async, [&] { gate.Enter(); });
    EXPECT_TRUE(StillWaiting(worker)) << "the gate is closed";
    gate.Open();
    worker.get();
    EXPECT_EQ(gate.Inside(), 1);
    gate.Leave();
}

TEST(CCriticalSectionGuard, HoldsTheSectionForItsScope) {
    os::CriticalSection section;
    auto tryFromOtherThread = [&] {
        return std::async(std::launch::async,
                          [&] {
                              bool got = section.TryLock();
                              if (got)
                                  section.Unlock();
                              return got;
                          })
            .get();
    };
    {
        CCriticalSectionGuard guard(&section);
        EXPECT_FALSE(tryFromOtherThread());
    }
    EXPECT_TRUE(tryFromOtherThread());
    CCriticalSectionGuard none(nullptr);
}

TEST(VavClock, DeadlinesSurviveTheWrapOfTheCounter) {
    os::FakeClock now(0xFFFFFFF0);
    EXPECT_EQ(GetMilliseconds(), 0xFFFFFFF0u);
    uint32_t deadline = DeadlineFromNow(0x20);
    EXPECT_EQ(deadline, 0x10u);
    EXPECT_FALSE(DeadlinePassed(deadline));
    now = 0x0F;
    EXPECT_FALSE(DeadlinePassed(deadline));
    now = 0x10;
    EXPECT_TRUE(DeadlinePassed(deadline));
    now = 0x7000;
    EXPECT_TRUE(DeadlinePassed(deadline));
}

TEST(SafeStrCopy, AlwaysTerminatesWithinTheSize) {
    char buffer[6] = "xxxxx";
    SafeStrCopy(buffer, "abc", 0);
    EXPECT_STREQ(buffer, "xxxxx");
    SafeStrCopy(buffer, "abc", 1);
    EXPECT_STREQ(buffer, "");
    SafeStrCopy(buffer, "abcdefgh", sizeof buffer);
    EXPECT_STREQ(buffer, "abcde");
    SafeStrCopy(buffer, nullptr, sizeof buffer);
    EXPECT_STREQ(buffer, "");
}

}  // namespace
