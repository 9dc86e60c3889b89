// The NTP packet's bytes, worked out by hand from the wire layout.
#include <gtest/gtest.h>

#include <vector>

#include "services/NtpPacket.h"

namespace {

// 2024-01-01 00:00:00 UTC is 3913056000 = 0xE93C7F00 seconds since 1900.
constexpr double k2024 = 3913056000.0;
// 2036-02-07 06:28:16 UTC: the first second of the next era.
constexpr double kEra1 = 4294967296.0;

TEST(NtpPacketTest, EncodesEveryField) {
    NtpPacketFields p;
    p.leap = 1;
    p.version = 3;
    p.mode = 4;
    p.stratum = 5;
    p.poll = 6;
    p.precision = 0x52;
    p.refId = 0xC6120002;
    p.rootDispersion = 3;  // never sent
    p.referenceTime = k2024;
    p.originateTime = k2024 + 0.25;
    p.receiveTime = k2024 + 1.5;
    p.transmitTime = k2024 + 2.75;
    const std::vector<uint8_t> expected = {
        0x5C, 5,    6,    0x52, 0,    0,    0,    0,    0,    0,    0,    0,
        0xC6, 0x12, 0x00, 0x02, 0xE9, 0x3C, 0x7F, 0x00, 0x00, 0x00, 0x00, 0x00,  // reference
        0xE9, 0x3C, 0x7F, 0x00, 0x40, 0x00, 0x00, 0x00,                          // originate .25
        0xE9, 0x3C, 0x7F, 0x01, 0x80, 0x00, 0x00, 0x00,                          // receive +1.5
        0xE9, 0x3C, 0x7F, 0x02, 0xC0, 0x00, 0x00, 0x00};                         // transmit +2.75
    auto bytes = NtpEncode(p, false);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), expected);

    // A reply echoes the request's transmit bytes as its originate timestamp.
    p.originateRaw = {1, 2, 3, 4, 5, 6, 7, 8};
    bytes = NtpEncode(p, true);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 24, bytes.begin() + 32),
              (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(NtpPacketTest, DecodesFieldsAndChecksLength) {
    std::vector<uint8_t> d(48, 0);
    d[0] = 0xE3;  // leap 3, version 4, mode 3
    d[1] = 16;
    d[2] = 10;
    d[3] = 0xEC;
    d[8] = 0x00, d[9] = 0x01, d[10] = 0x80, d[11] = 0x00;  // 1.5 s root dispersion
    d[12] = 0x4C, d[13] = 0x4F, d[14] = 0x43, d[15] = 0x4C;
    const uint8_t stamp[8] = {0xE9, 0x3C, 0x7F, 0x00, 0x40, 0x00, 0x00, 0x00};
    std::copy(stamp, stamp + 8, d.begin() + 40);
    NtpPacketFields p;
    ASSERT_EQ(NtpDecode(d, k2024, p), NtpPacketError::None);
    EXPECT_EQ(p.leap, 3);
    EXPECT_EQ(p.version, 4);
    EXPECT_EQ(p.mode, 3);
    EXPECT_EQ(p.stratum, 16);
    EXPECT_EQ(p.poll, 10);
    EXPECT_EQ(p.precision, 0xEC);
    EXPECT_DOUBLE_EQ(p.rootDispersion, 1.5);
    EXPECT_EQ(p.refId, 0x4C4F434Cu);
    EXPECT_DOUBLE_EQ(p.transmitTime, k2024 + 0.25);
    EXPECT_EQ(p.originateTime, 0);  // all-zero timestamps stay 0
    EXPECT_EQ(p.arrivalTime, k2024);
    EXPECT_TRUE(std::equal(stamp, stamp + 8, p.transmitRaw.begin()));

    d.resize(68);
    EXPECT_EQ(NtpDecode(d, k2024, p), NtpPacketError::None);
    d.resize(69);
    EXPECT_EQ(NtpDecode(d, k2024, p), NtpPacketError::TooLong);
    d.resize(47);
    p.stratum = 99;
    EXPECT_EQ(NtpDecode(d, k2024, p), NtpPacketError::TooShort);
    EXPECT_EQ(p.stratum, 99);  // untouched
}

TEST(NtpPacketTest, TimestampsCrossThe2036Era) {
    // One second after the roll-over: the wire holds 1 s; read near that time it is the
    // new era, read in 2024 a value just below 2^32 stays in the first.
    const auto after = NtpEncodeTimestamp(kEra1 + 1.5);
    EXPECT_EQ(after, (NtpTimestampBytes{0, 0, 0, 1, 0x80, 0, 0, 0}));
    EXPECT_DOUBLE_EQ(NtpDecodeTimestamp(after, kEra1 + 10), kEra1 + 1.5);
    const auto before = NtpEncodeTimestamp(kEra1 - 1);
    EXPECT_EQ(before, (NtpTimestampBytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}));
    EXPECT_DOUBLE_EQ(NtpDecodeTimestamp(before, kEra1 + 10), kEra1 - 1);
    EXPECT_DOUBLE_EQ(NtpDecodeTimestamp(before, k2024), kEra1 - 1);
    EXPECT_DOUBLE_EQ(NtpDecodeTimestamp(NtpEncodeTimestamp(k2024), k2024), k2024);
}

}  // namespace
