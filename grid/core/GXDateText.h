// Date-time numbers (days since 30 December 1899, the time of day as the fraction) as texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct GXDateTime {
    int year = 1899;
    int month = 12;  // 1..12
    int day = 30;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The calendar date and time of a date-time number; none outside the years 100 to 9999.
std::optional<GXDateTime> GXDateTimeFromNumber(double value);

// Formats with the strftime-style fields %d %m %y %Y %b %H %I %M %S %p and %% in the C locale.
std::string GXFormatDateTime(const GXDateTime& t, std::string_view pattern);

// A date and time as parsed from or shown as text: month 0 means no date.
struct GXDateTimeRecord {
    std::uint16_t year = 0;  // full year
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
};
