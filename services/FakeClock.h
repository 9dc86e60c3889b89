// A clock for tests: the real time moved by an offset of its own, so that two engines
// in one run keep different times; setting it moves the offset and is counted, and the
// real clock is never touched.
//
//   FakeClock clock(10, 100.0);   // stratum 10, 100 s ahead of the real time
//   CNtpEngine engine(clock);     // ... clock.Steps() == 1 after a step
#pragma once

#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>

#include "services/CClock.h"

class FakeClock : public CClock {
public:
    explicit FakeClock(uint8_t stratum = 10, double offsetSeconds = 0)
        : CClock(stratum), offset_(offsetSeconds) {}

    void GetTime(uint32_t& seconds, uint32_t& fraction) override {
        Split(Now(), seconds, fraction);
    }
    void SetTime(uint32_t seconds, uint32_t fraction) override {
        std::lock_guard g(lock_);
        const double target = seconds + fraction / 4294967296.0;
        const double real = Real();
        lastStep_ = target - (real + offset_);
        offset_ = target - real;
        ++steps_;
    }
    void GetResolution(uint32_t& seconds, uint32_t& fraction) override {
        seconds = 0xFFFFFFFF;
        fraction = 0;
    }

    // Seconds since 1970 as this clock reads them.
    double Now() const {
        std::lock_guard g(lock_);
        return frozen_ ? offset_ : Real() + offset_;
    }
    // Stops the clock at `seconds` since 1970 (tests of exact arithmetic).
    void Freeze(double seconds) {
        std::lock_guard g(lock_);
        frozen_ = true;
        offset_ = seconds;
    }
    double Offset() const {
        std::lock_guard g(lock_);
        return offset_;
    }
    int Steps() const { return steps_; }
    // By how much the last SetTime moved the clock.
    double LastStep() const {
        std::lock_guard g(lock_);
        return lastStep_;
    }

    static void Split(double t, uint32_t& seconds, uint32_t& fraction) {
        const double whole = std::floor(t);
        seconds = static_cast<uint32_t>(whole);
        fraction = static_cast<uint32_t>((t - whole) * 4294967296.0);
    }

private:
    double Real() const {
        return frozen_ ? 0.0
                       : std::chrono::duration<double>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count();
    }

    mutable std::mutex lock_;
    double offset_;
    double lastStep_ = 0;
    bool frozen_ = false;
    std::atomic<int> steps_{0};
};
