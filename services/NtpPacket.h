// The 48-byte NTP version 3 packet, big-endian:
//   0 leap(7-6) version(5-3) mode(2-0)   1 stratum   2 poll   3 precision
//   4 root delay (sent 0, not read)      8 root dispersion, 16.16 seconds
//   12 reference identifier              16 reference  24 originate  32 receive
//   40 transmit: timestamps of 32.32 seconds since 1900-01-01 00:00 UTC
// Times are kept as doubles of seconds since 1900, in any era: a timestamp on the wire
// holds the seconds modulo 2^32 (the era rolls over on 2036-02-07), and decoding puts it
// into the era nearest to the receiver's own time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

constexpr size_t NTP_PACKET_LENGTH = 48;
// Longest datagram taken: the packet with a key identifier and digest behind it.
constexpr size_t NTP_MAX_DATAGRAM = 68;
// Seconds from 1900-01-01 to 1970-01-01.
constexpr double NTP_UNIX_OFFSET = 2208988800.0;

enum : uint8_t {
    NTP_MODE_SYMMETRIC_ACTIVE = 1,
    NTP_MODE_SYMMETRIC_PASSIVE = 2,
    NTP_MODE_CLIENT = 3,
    NTP_MODE_SERVER = 4,
    NTP_MODE_BROADCAST = 5,
};
constexpr uint8_t NTP_LEAP_UNSYNCHRONISED = 3;

using NtpTimestampBytes = std::array<uint8_t, 8>;

struct NtpPacketFields {
    uint8_t leap = 0;
    uint8_t version = 0;
    uint8_t mode = 0;
    uint8_t stratum = 0;
    uint8_t poll = 0;
    uint8_t precision = 0;
    uint32_t refId = 0;
    double rootDispersion = 0;  // seconds
    double referenceTime = 0;   // seconds since 1900
    double originateTime = 0;
    double receiveTime = 0;
    double transmitTime = 0;
    double arrivalTime = 0;            // local time the packet was taken in
    NtpTimestampBytes originateRaw{};  // sent as the originate timestamp of a reply
    NtpTimestampBytes transmitRaw{};   // the transmit timestamp as it came
};

enum class NtpPacketError { None, TooShort, TooLong };

// The 32.32 form of a time (seconds since 1900, any era); 0 stays all zero.
NtpTimestampBytes NtpEncodeTimestamp(double seconds);
// A wire timestamp in the era nearest to `pivot` (seconds since 1900); all zero reads 0.
double NtpDecodeTimestamp(std::span<const uint8_t, 8> bytes, double pivot);

// The packet's 48 bytes; the originate timestamp from originateRaw when `originateFromRaw`
// (a reply echoes the request's transmit timestamp bit for bit), else from originateTime.
// Root delay and root dispersion go out as 0.
std::array<uint8_t, NTP_PACKET_LENGTH> NtpEncode(const NtpPacketFields& fields,
                                                 bool originateFromRaw);
// Reads a datagram of 48 to 68 bytes; `now` (seconds since 1900) becomes arrivalTime and
// picks the timestamps' era. On an error `fields` is untouched.
NtpPacketError NtpDecode(std::span<const uint8_t> datagram, double now, NtpPacketFields& fields);
