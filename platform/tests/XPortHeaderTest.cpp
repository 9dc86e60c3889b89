#include "platform/XPortHeader.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(XPortHeader, WritesAndReadsTheTwelveBytesLittleEndian) {
    XPortHeader h;
    h.protocol = 9;
    h.type = 2;
    h.srcApp = 0x80;
    h.dstApp = 0x09;
    h.length = 0x12345678;
    uint8_t bytes[12] = {};
    h.Write(bytes);
    const uint8_t expected[12] = {0x09, 0x02, 0x03, 0x00, 0x80, 0x09,
                                  0x00, 0x00, 0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(0, memcmp(bytes, expected, 12));

    const uint8_t wire[12] = {0x08, 0x01, 0x03, 0x07, 0x81, 0x82,
                              0x34, 0x12, 0x1C, 0x00, 0x00, 0x00};
    XPortHeader r = XPortHeader::Read(wire);
    EXPECT_EQ(r.protocol, 8);
    EXPECT_EQ(r.type, 1);
    EXPECT_EQ(r.versionMajor, 3);
    EXPECT_EQ(r.versionMinor, 7);
    EXPECT_EQ(r.srcApp, 0x81);
    EXPECT_EQ(r.dstApp, 0x82);
    EXPECT_EQ(r.reserved, 0x1234);
    EXPECT_EQ(r.length, 28u);
    EXPECT_EQ(XPortHdrLength(), 12u);
}

TEST(XPortHeader, SettersTouchOnlyTheirOwnBytes) {
    uint8_t b[12];
    memset(b, 0xEE, sizeof b);
    XPortHdrSetType(b, 5);
    XPortHdrSetDstApp(b, 0x42);
    XPortHdrSetLength(b, 0x0A0B0C0D);
    const uint8_t expected[12] = {0xEE, 0x05, 0xEE, 0xEE, 0xEE, 0x42,
                                  0xEE, 0xEE, 0x0D, 0x0C, 0x0B, 0x0A};
    EXPECT_EQ(0, memcmp(b, expected, 12));
}

// Starts from a good 16-byte packet and changes one thing at a time.
TEST(XPortHeader, ChecksRefuseWhatIsNotOneWholePacket) {
    const std::vector<uint8_t> good = {9, 1, 3, 0, 0x80, 9, 0, 0, 16, 0, 0, 0, 0xA, 0xB, 0xC, 0xD};
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        XPortHdrError packet;
        XPortHdrError stream;
    };
    auto with = [&](size_t at, uint8_t value) {
        auto b = good;
        b[at] = value;
        return b;
    };
    auto grown = good;
    grown.push_back(0xE);
    const Case cases[] = {
        {"good", good, XPortHdrError::None, XPortHdrError::None},
        {"major 2", with(2, 2), XPortHdrError::BadMajor, XPortHdrError::BadMajor},
        {"major 4", with(2, 4), XPortHdrError::BadMajor, XPortHdrError::BadMajor},
        {"minor 9 is fine", with(3, 9), XPortHdrError::None, XPortHdrError::None},
        {"length 11", with(8, 11), XPortHdrError::BadLength, XPortHdrError::BadLength},
        {"length 17", with(8, 17), XPortHdrError::LengthBeyondData,
         XPortHdrError::LengthBeyondData},
        {"length 2^24+16", with(11, 1), XPortHdrError::LengthBeyondData,
         XPortHdrError::LengthBeyondData},
        {"one byte more", grown, XPortHdrError::LengthShortOfData, XPortHdrError::None},
        {"eleven bytes", std::vector<uint8_t>(good.begin(), good.begin() + 11),
         XPortHdrError::Truncated, XPortHdrError::Truncated},
        {"empty", {}, XPortHdrError::Truncated, XPortHdrError::Truncated},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(XPortHdrCheckPacket(c.bytes), c.packet) << c.what;
        EXPECT_EQ(XPortHdrCheckStream(c.bytes), c.stream) << c.what;
    }
}

}  // namespace
