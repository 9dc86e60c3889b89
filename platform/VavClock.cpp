#include "platform/VavClock.h"

#include "os/Clock.h"

uint32_t GetMilliseconds() {
    return os::TickCount();
}

uint32_t DeadlineFromNow(uint32_t ms) {
    return GetMilliseconds() + ms;
}

bool DeadlinePassed(uint32_t deadline) {
    return os::TickReached(GetMilliseconds(), deadline);
}
