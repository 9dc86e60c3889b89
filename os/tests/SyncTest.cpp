#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "os/Sync.h"

namespace {

using os::WaitResult;

TEST(Event, ManualResetStaysSetAndReleasesEveryWaiter) {
    os::Event event(true, false);
    EXPECT_EQ(event.Wait(0), WaitResult::Timeout);
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] {
            if (event.Wait(5000) == WaitResult::Signaled) {
                ++released;
            }
        });
    }
    event.Set();
    for (auto& t : waiters) {
        t.join();
    }
    EXPECT_EQ(released, 3);
    EXPECT_EQ(event.Wait(0), WaitResult::Signaled);
    event.Reset();
    EXPECT_EQ(event.Wait(10), WaitResult::Timeout);
}

TEST(Event, ManualResetWakesASleeperEveryTime) {
    // Round trips between two threads, each sleeping without a limit until the other
    // sets: a lost wake-up hangs the test.
    os::Event ping(true, false), pong(true, false);
    constexpr int kRounds = 2000;
    std::thread other([&] {
        for (int i = 0; i < kRounds; ++i) {
            ping.Wait(os::kInfinite);
            ping.Reset();
            pong.Set();
        }
    });
    for (int i = 0; i < kRounds; ++i) {
        ping.Set();
        pong.Wait(os::kInfinite);
        pong.Reset();
    }
    other.join();
    EXPECT_FALSE(ping.IsSet());
    EXPECT_FALSE(pong.IsSet());
}

TEST(Event, AutoResetReleasesOneWaiterPerSet) {
    os::Event event(false, true);
    EXPECT_EQ(event.Wait(0), WaitResult::Signaled);
    EXPECT_EQ(event.Wait(0), WaitResult::Timeout);  // taken by the first wait
    event.Set();
    event.Set();  // a set event stays set once: no count
    EXPECT_EQ(event.Wait(0), WaitResult::Signaled);
    EXPECT_EQ(event.Wait(0), WaitResult::Timeout);

    // Each waiter that gets through says so; the test wakes on that, not by looking.
    std::mutex lock;
    std::condition_variable changed;
    int released = 0;
    std::vector<std::thread> waiters;
    for (int i = 0; i < 2; ++i) {
        waiters.emplace_back([&] {
            if (event.Wait(5000) == WaitResult::Signaled) {
                std::lock_guard g(lock);
                ++released;
                changed.notify_all();
            }
        });
    }
    event.Set();
    {
        std::unique_lock g(lock);
        EXPECT_TRUE(changed.wait_for(g, std::chrono::seconds(5), [&] { return released > 0; }));
        // The one Set was taken by the waiter it released: nothing is left for the other.
        EXPECT_FALSE(event.IsSet());
        EXPECT_EQ(released, 1);
    }
    event.Set();
    for (auto& t : waiters) {
        t.join();
    }
    std::lock_guard g(lock);
    EXPECT_EQ(released, 2);
}

TEST(Semaphore, CountsUpToItsMaximumAndAnyThreadMayRelease) {
    os::Semaphore semaphore(1, 3);
    EXPECT_EQ(semaphore.Wait(0), WaitResult::Signaled);
    EXPECT_EQ(semaphore.Wait(0), WaitResult::Timeout);

    long previous = -1;
    EXPECT_TRUE(semaphore.Release(2, &previous));
    EXPECT_EQ(previous, 0);
    EXPECT_FALSE(semaphore.Release(2, &previous));  // 2 + 2 passes the maximum of 3
    EXPECT_EQ(previous, 2);
    EXPECT_EQ(semaphore.Count(), 2);
    EXPECT_FALSE(semaphore.Release(0));
    EXPECT_FALSE(semaphore.Release(-1));

    os::Semaphore empty(0, 1);
    std::thread releaser([&] { empty.Release(); });  // a thread that never waited
    EXPECT_EQ(empty.Wait(5000), WaitResult::Signaled);
    releaser.join();
}

TEST(Semaphore, OutOfRangeConstructionIsClamped) {
    EXPECT_EQ(os::Semaphore(5, 2).Count(), 2);
    EXPECT_EQ(os::Semaphore(-1, 2).Count(), 0);
    os::Semaphore noMaximum(0, 0);
    EXPECT_TRUE(noMaximum.Release(1));
    EXPECT_FALSE(noMaximum.Release(1));
}

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads) {
    os::CriticalSection section;
    {
        os::CriticalSectionLock outer(section);
        os::CriticalSectionLock inner(section);
        bool otherGotIt = true;
        std::thread other([&] { otherGotIt = section.TryLock(); });
        other.join();
        EXPECT_FALSE(otherGotIt);
    }
    bool otherGotIt = false;
    std::thread other([&] {
        otherGotIt = section.TryLock();
        if (otherGotIt) {
            section.Unlock();
        }
    });
    other.join();
    EXPECT_TRUE(otherGotIt);
}

}  // namespace
