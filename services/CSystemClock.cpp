#include "services/CSystemClock.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {
constexpr double kFractionsPerSecond = 4294967296.0;
}

void CSystemClock::GetTime(uint32_t& seconds, uint32_t& fraction) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    seconds = static_cast<uint32_t>(now.tv_sec);
    fraction = static_cast<uint32_t>(now.tv_nsec * kFractionsPerSecond / 1e9);
}

void CSystemClock::SetTime(uint32_t seconds, uint32_t fraction) {
    timespec to{};
    to.tv_sec = static_cast<time_t>(seconds);
    to.tv_nsec = static_cast<long>(fraction / kFractionsPerSecond * 1e9);
    if (clock_settime(CLOCK_REALTIME, &to) != 0) {
        std::printf("Setting the system clock failed: %s\n", std::strerror(errno));
        std::fflush(stdout);
    }
}

void CSystemClock::GetResolution(uint32_t& seconds, uint32_t& fraction) {
    seconds = 0xFFFFFFFF;
    fraction = 0;
}
