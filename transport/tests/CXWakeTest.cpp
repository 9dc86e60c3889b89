// The notify signal between a channel's threads: a set signal is seen until reset, a
// sleeping waiter is woken by a Set from another thread, and an unset one times out.
#include <gtest/gtest.h>

#include <thread>

#include "os/Wait.h"
#include "transport/CXWake.h"

namespace {

TEST(CXWake, StaysSetUntilResetAndWakesASleeper) {
    CXWake wake;
    EXPECT_FALSE(wake.Wait(0));
    wake.Set();
    wake.Set();
    EXPECT_TRUE(wake.Wait(0));
    EXPECT_TRUE(wake.Wait(os::kInfinite));  // manual reset: still set
    wake.Reset();
    EXPECT_FALSE(wake.Wait(1));

    // Round trips between two threads, each sleeping without a limit until the other
    // sets: a lost wake-up hangs the test.
    CXWake ping, pong;
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
}

}  // namespace
