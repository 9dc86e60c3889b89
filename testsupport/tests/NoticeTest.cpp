#include "testsupport/Notice.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

using ixo::testsupport::Notice;

// The condition may take a lock that the notifying side holds while it notifies (an
// engine's callback under the engine's lock): the wait neither deadlocks nor misses it.
TEST(Notice, WakesOnTheNoticeOfAChangeMadeUnderTheNotifiersLock) {
    Notice notice;
    std::mutex engineLock;
    int value = 0;
    std::thread engine([&] {
        for (int i = 1; i <= 1000; ++i) {
            std::lock_guard lock(engineLock);
            value = i;
            notice.Notify();
        }
    });
    EXPECT_TRUE(notice.Await([&] {
        std::lock_guard lock(engineLock);
        return value == 1000;
    }));
    engine.join();
    EXPECT_EQ(notice.Count(), 1000u);
}

TEST(Notice, AConditionThatNeverHoldsEndsAtTheLimit) {
    Notice notice;
    std::atomic<int> looks{0};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(notice.Await([&] { return ++looks < 0; }, 50));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
    EXPECT_LE(looks.load(), 2);  // looked at once, and once more at the limit: no polling
}

}  // namespace
