// The time engine's view of a clock: the time as seconds since 1970-01-01 00:00 UTC
// and a binary fraction (units of 2^-32 s), and the stratum its owner configured.
// CSystemClock is the PC clock; tests use a clock of their own.
#pragma once

#include <cstdint>

class CClock {
public:
    explicit CClock(uint8_t stratum = 10) : stratum_(stratum) {}
    virtual ~CClock() = default;

    virtual void GetTime(uint32_t& seconds, uint32_t& fraction) = 0;
    virtual void SetTime(uint32_t seconds, uint32_t fraction) = 0;
    // The resolution, negated: the engine complements both words and reads the result
    // as seconds + fraction / 2^32 (0xFFFFFFFF, 0 reads as just under one second).
    virtual void GetResolution(uint32_t& seconds, uint32_t& fraction) = 0;

    uint8_t GetStratum() const { return stratum_; }
    uint8_t SetStratum(uint8_t stratum) { return stratum_ = stratum; }

private:
    uint8_t stratum_;
};
