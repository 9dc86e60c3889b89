#include "os/Clock.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "os/FakeClock.h"

#include <gtest/gtest.h>

namespace {

TEST(Clock, TickReachedComparesBySignedDifferenceAcrossTheWrap) {
    struct Case {
        uint32_t now, deadline;
        bool reached;
    };
    const Case cases[] = {
        {100, 100, true},
        {101, 100, true},
        {99, 100, false},
        {0xFFFFFFF0u, 0x00000010u, false},  // deadline lies just after the wrap
        {0x00000010u, 0xFFFFFFF0u, true},   // now has wrapped past the deadline
        {0x7FFFFFFFu, 0u, true},            // 2^31 - 1 ms later: still reached
        {0x80000000u, 0u, false},           // 2^31 ms apart reads as "before"
    };
    for (const Case& c : cases) {
        EXPECT_EQ(os::TickReached(c.now, c.deadline), c.reached) << c.now << " vs " << c.deadline;
    }
}

TEST(Clock, FakeClockReplacesTheSystemClockForItsLifetime) {
    {
        os::FakeClock clock(0xFFFFFFFEu);
        EXPECT_EQ(os::TickCount(), 0xFFFFFFFEu);
        clock.Advance(5);  // wraps
        EXPECT_EQ(os::TickCount(), 3u);
    }
    const uint32_t a = os::TickCount();
    const uint32_t b = os::TickCount();
    EXPECT_TRUE(os::TickReached(b, a));  // the system clock runs forward
}

// A sleeper returns when the test has moved the time past the end of its sleep, not
// before, and however long that takes in wall time.
TEST(Clock, SleepOnAFakeClockEndsWhenTheTestAdvancesPastIt) {
    os::FakeClock clock(1000);
    std::atomic<bool> woke{false};
    std::thread sleeper([&] {
        os::Sleep(4500);  // three intervals of 1500 ms
        woke = true;
    });
    EXPECT_TRUE(clock.AwaitSleepers(1));
    clock.Advance(1500);
    clock.Advance(1500);
    clock.Advance(1499);
    // The sleeper cannot have returned: its end, 5500, is not reached.
    EXPECT_FALSE(woke.load());
    const auto before = std::chrono::steady_clock::now();
    clock.Advance(1);
    sleeper.join();
    EXPECT_TRUE(woke.load());
    EXPECT_EQ(os::TickCount(), 5500u);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
}

// A wait for an event with a time-out runs on the clock: it times out when the test moves
// the time past its end (in no wall time), and a Set ends it without any move.
TEST(Clock, EventWaitOnAFakeClockEndsBySetOrByTheTestsTime) {
    for (const bool manualReset : {true, false}) {
        os::FakeClock clock(0xFFFFF000u);  // the time-out's end lies past the wrap
        os::Event event(manualReset, false);
        os::WaitResult first = os::WaitResult::Failed;
        std::thread waiter([&] { first = os::WaitEvent(event, 300000); });
        EXPECT_TRUE(clock.AwaitSleepers(1));
        clock.Advance(299999);
        const auto before = std::chrono::steady_clock::now();
        clock.Advance(1);
        waiter.join();
        EXPECT_EQ(first, os::WaitResult::Timeout) << manualReset;
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));

        os::WaitResult second = os::WaitResult::Failed;
        waiter = std::thread([&] { second = os::WaitEvent(event, 300000); });
        EXPECT_TRUE(clock.AwaitSleepers(1));
        event.Set();
        waiter.join();
        EXPECT_EQ(second, os::WaitResult::Signaled) << manualReset;
        EXPECT_EQ(event.IsSet(), manualReset);  // an auto-reset event was taken
    }
}

TEST(Clock, EventWaitOnTheTestsOwnThreadMovesAClockMadeSo) {
    os::FakeClock clock(1000, true);
    os::Event event(false, false);
    EXPECT_EQ(os::WaitEvent(event, 5000), os::WaitResult::Timeout);
    EXPECT_EQ(os::TickCount(), 6000u);
    event.Set();
    EXPECT_EQ(os::WaitEvent(event, 5000), os::WaitResult::Signaled);
    EXPECT_EQ(os::TickCount(), 6000u);
}

TEST(Clock, SleepAdvancesAClockMadeSo) {
    os::FakeClock clock(0xFFFFFF00u, true);
    for (int i = 0; i < 5; ++i) os::Sleep(100);
    EXPECT_EQ(os::TickCount(), 0xFFFFFF00u + 500u);
}

}  // namespace
