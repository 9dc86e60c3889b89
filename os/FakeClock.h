// A clock for tests: time stands still until the test moves it. A thread that sleeps on
// it returns once the test has advanced the time past the end of its sleep, and a wait for
// an event with a time-out ends when the event is set or the test has advanced past its
// time-out; with `sleepAdvances`, a sleep (or a wait that finds its event not set) moves
// the time itself, so code that waits on the test's own thread runs through its pauses at
// once.
//
//   os::FakeClock clock(100000);   // the process's clock until `clock` goes
//   engine.Start();  clock.Advance(3 * 1500);  // three report intervals, no wall time
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "os/Clock.h"

namespace os {

class FakeClock : public Clock {
public:
    explicit FakeClock(uint32_t start = 0, bool sleepAdvances = false)
        : now_(start), sleepAdvances_(sleepAdvances) {
        SetClockForTest(this);
    }
    ~FakeClock() override { SetClockForTest(nullptr); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    uint32_t Now() override {
        std::lock_guard lock(mutex_);
        return now_;
    }
    void Sleep(uint32_t ms) override {
        std::unique_lock lock(mutex_);
        const uint32_t deadline = now_ + ms;
        if (sleepAdvances_) {
            if (!TickReached(now_, deadline))
                now_ = deadline;
            moved_.notify_all();
            return;
        }
        ends_.push_back(deadline);
        moved_.notify_all();
        moved_.wait(lock, [&] { return TickReached(now_, deadline); });
        ends_.erase(std::find(ends_.begin(), ends_.end(), deadline));
    }
    WaitResult Wait(Event& event, uint32_t ms) override {
        if (ms == 0 || ms == kInfinite)
            return event.Wait(ms);
        if (sleepAdvances_) {
            if (event.Wait(0) == WaitResult::Signaled)
                return WaitResult::Signaled;
            Sleep(ms);
            return WaitResult::Timeout;
        }
        uint32_t deadline = 0;
        {
            std::lock_guard lock(mutex_);
            deadline = now_ + ms;
            ends_.push_back(deadline);
        }
        moved_.notify_all();
        {
            std::lock_guard lock(waitingMutex_);
            waiting_.push_back(&event);
        }
        const WaitResult result = event.WaitUnless([&] { return TickReached(Now(), deadline); });
        {
            std::lock_guard lock(waitingMutex_);
            waiting_.erase(std::find(waiting_.begin(), waiting_.end(), &event));
        }
        std::lock_guard lock(mutex_);
        ends_.erase(std::find(ends_.begin(), ends_.end(), deadline));
        return result;
    }
    // Returns true once at least `n` threads sleep or wait on the clock with their end
    // still to come, so that the test advances the time after they have started their
    // waits (a thread whose end has passed counts again once it has begun its next wait);
    // false when that has not happened within `limit` of real time.
    bool AwaitSleepers(std::size_t n, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        std::unique_lock lock(mutex_);
        return moved_.wait_for(lock, limit, [&] {
            const auto due = [&](uint32_t end) { return !TickReached(now_, end); };
            return static_cast<std::size_t>(std::count_if(ends_.begin(), ends_.end(), due)) >= n;
        });
    }

    // Moves the time on by `ms`, or to `now`; sleepers whose end has come return.
    void Advance(uint32_t ms) { Set(Now() + ms); }
    void Set(uint32_t now) {
        {
            std::lock_guard lock(mutex_);
            now_ = now;
        }
        moved_.notify_all();
        // The events' waiters look at the time under their event's lock, so each is woken
        // with that lock taken: none misses the move.
        std::lock_guard lock(waitingMutex_);
        for (Event* event : waiting_) event->Wake();
    }
    FakeClock& operator+=(uint32_t ms) {
        Advance(ms);
        return *this;
    }
    FakeClock& operator=(uint32_t now) {
        Set(now);
        return *this;
    }

private:
    std::mutex mutex_;
    std::condition_variable moved_;
    uint32_t now_;
    bool sleepAdvances_;
    std::vector<uint32_t> ends_;  // the ends of the sleeps and waits in progress
    // The events waited on with a time-out; a waiter leaves only under this lock, so an
    // event is alive while it is listed.
    std::mutex waitingMutex_;
    std::vector<Event*> waiting_;
};

}  // namespace os
