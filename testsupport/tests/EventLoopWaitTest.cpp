// The event-loop wait wakes on what another thread does (a posted event, a wake with no
// event), runs the events that come meanwhile, and gives up only at its limit.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "testsupport/EventLoopWait.h"

namespace ixo::testsupport {
namespace {

using std::chrono::steady_clock;

TEST(EventLoopWait, AnEventPostedFromAnotherThreadEndsTheWait) {
    QObject receiver;
    bool handled = false;
    std::thread poster([&] {
        QMetaObject::invokeMethod(
            &receiver, [&] { handled = true; }, Qt::QueuedConnection);
    });
    EXPECT_TRUE(PumpUntil([&] { return handled; }));
    poster.join();
}

TEST(EventLoopWait, AWakeWithoutAnEventLooksAtTheConditionAgain) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        done = true;
        WakePump();
    });
    const auto start = steady_clock::now();
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }, 20000));
    // Woken, not ended by the limit.
    EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(10));
    worker.join();
}

TEST(EventLoopWait, TimersRunAndAConditionThatNeverHoldsEndsAtTheLimit) {
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(0);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
    timer.stop();
    const auto start = steady_clock::now();
    EXPECT_FALSE(PumpUntil([] { return false; }, 30));
    EXPECT_GE(steady_clock::now() - start, std::chrono::milliseconds(20));  // not at once
}

}  // namespace
}  // namespace ixo::testsupport
