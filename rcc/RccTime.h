// The time-of-day, date and date-and-time values of the remote-call types LT, D and DLT.
#pragma once

#include <cstdint>
#include <string>

// Time of day (LT). The fraction is in nanoseconds.
struct CRccTime {
    uint8_t hour = 0;
    uint8_t minute = 0;
    uint8_t second = 0;
    uint32_t fraction = 0;

    CRccTime() = default;
    // Each of hour, minute and second is cut to 8 bits and then brought into range:
    // second and minute modulo 60, an hour above 23 modulo 24.
    CRccTime(unsigned hour, unsigned minute, unsigned second, uint32_t fraction);

    // "hh:mm:ss", then the fraction as a decimal fraction of the second without trailing
    // zeros (".5" for 500000000); nothing for a fraction of 0.
    std::string toString() const;

    bool operator==(const CRccTime&) const = default;
};

// Date (D).
struct CRccDate {
    uint16_t year = 0;
    uint8_t month = 0;
    uint8_t day = 0;

    CRccDate() = default;
    // Month and day are cut to 8 bits; a day of 32 or more keeps its low five bits and a
    // month above 12 becomes month modulo 13.
    CRccDate(unsigned year, unsigned month, unsigned day);

    // "yyyy/mm/dd".
    std::string toString() const;

    bool operator==(const CRccDate&) const = default;
};

// Date and time of day (DLT).
struct CRccDateTime {
    CRccDate date;
    CRccTime time;

    CRccDateTime() = default;
    CRccDateTime(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                 unsigned second, uint32_t fraction);

    // The date text, a blank, the time text.
    std::string toString() const;

    bool operator==(const CRccDateTime&) const = default;
};
