// The PC clock as the time engine sees it: read and set through CLOCK_REALTIME, with
// the sub-second part. Its resolution is reported as one second, so the engine steps
// it only for offsets of a second or more.
#pragma once

#include "services/CClock.h"

class CSystemClock : public CClock {
public:
    explicit CSystemClock(uint8_t stratum) : CClock(stratum) {}

    void GetTime(uint32_t& seconds, uint32_t& fraction) override;
    // Prints the reason when the system refuses (no CAP_SYS_TIME).
    void SetTime(uint32_t seconds, uint32_t fraction) override;
    void GetResolution(uint32_t& seconds, uint32_t& fraction) override;
};
