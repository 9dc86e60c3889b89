// The time service's engine loop on a fake clock, for tests with real peers: it never
// sets the real clock.
//
//   stellan_ntp_peer STRATUM OFFSET SECONDS
//
// The clock runs OFFSET seconds ahead of the real time; the peer ends after SECONDS or
// at SIGTERM. One line per event on standard output: "serving", "source A.B.C.D S",
// "step X" (seconds the clock was moved by), "end OFFSET".
#include <sys/timerfd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "os/UniqueFd.h"
#include "services/CNtpEngine.h"
#include "services/ConsoleControl.h"
#include "services/FakeClock.h"
#include "services/TimeService.h"

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    InstallStopSignals();
    FakeClock clock(static_cast<uint8_t>(std::atoi(argv[1])), std::atof(argv[2]));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[3]));
    // Wakes the engine's rest at the end.
    os::UniqueFd timer(timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC));
    const itimerspec at{{0, 0}, {std::atoi(argv[3]), 0}};
    if (timer.get() < 0 || timerfd_settime(timer.get(), 0, &at, nullptr) != 0)
        return 1;
    bool serving = false;
    uint32_t source = 0;
    int steps = 0;
    RunTimeEngine(
        clock, [&] { return StopSignalled() || std::chrono::steady_clock::now() > end; },
        [&] {
            return StopWakeFds{StopSignalFd(), timer.get()};
        },
        [&](CNtpEngine& engine) {
            if (engine.IsServing() != serving && (serving = engine.IsServing()))
                std::printf("serving\n");
            const uint32_t now = engine.IsSynced() ? engine.GetSourceAddress() : 0;
            if (now != source && (source = now) != 0)
                std::printf("source %u.%u.%u.%u %d\n", now >> 24, (now >> 16) & 0xFF,
                            (now >> 8) & 0xFF, now & 0xFF, engine.GetSourceStratum());
            if (clock.Steps() != steps) {
                steps = clock.Steps();
                std::printf("step %.6f\n", clock.LastStep());
            }
            std::fflush(stdout);
        });
    std::printf("end %.6f\n", clock.Offset());
    return 0;
}
