#include "os/Clock.h"

#include <time.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace os {
namespace {

class RealClock : public Clock {
public:
    uint32_t Now() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        const uint64_t ms =
            static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
        return static_cast<uint32_t>(ms);
    }
    void Sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    WaitResult Wait(Event& event, uint32_t ms) override { return event.Wait(ms); }
};

std::atomic<Clock*> g_clock{nullptr};  // nullptr: the system clock

Clock& Current() {
    Clock* c = g_clock.load(std::memory_order_acquire);
    return c != nullptr ? *c : SystemClock();
}

}  // namespace

Clock& SystemClock() {
    static RealClock clock;
    return clock;
}

uint32_t TickCount() {
    return Current().Now();
}

void Sleep(uint32_t ms) {
    Current().Sleep(ms);
}

WaitResult WaitEvent(Event& event, uint32_t ms) {
    return Current().Wait(event, ms);
}

void SetClockForTest(Clock* clock) {
    g_clock.store(clock, std::memory_order_release);
}

}  // namespace os
