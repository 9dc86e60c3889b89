#include "os/ByteOrder.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// One value, written in each order, gives the bytes worked out by hand; reading them back
// in the same order gives the value again.
TEST(ByteOrder, EachNameWritesAndReadsItsOwnOrder) {
    std::array<std::uint8_t, 4> b{};
    os::PutLe32(b.data(), 0x11223344u);
    EXPECT_EQ(b, (std::array<std::uint8_t, 4>{0x44, 0x33, 0x22, 0x11}));
    EXPECT_EQ(os::GetLe32(b.data()), 0x11223344u);
    EXPECT_EQ(os::GetBe32(b.data()), 0x44332211u);

    os::PutBe32(b.data(), 0x11223344u);
    EXPECT_EQ(b, (std::array<std::uint8_t, 4>{0x11, 0x22, 0x33, 0x44}));
    EXPECT_EQ(os::GetBe32(b.data()), 0x11223344u);

    b = {};
    os::PutLe16(b.data(), 0xA1B2);
    EXPECT_EQ(b, (std::array<std::uint8_t, 4>{0xB2, 0xA1, 0, 0}));
    EXPECT_EQ(os::GetLe16(b.data()), 0xA1B2);
    os::PutBe16(b.data() + 2, 0xA1B2);
    EXPECT_EQ(b, (std::array<std::uint8_t, 4>{0xB2, 0xA1, 0xA1, 0xB2}));
    EXPECT_EQ(os::GetBe16(b.data() + 2), 0xA1B2);
}

// High bytes must not be sign-extended or lost on the way through int promotion.
TEST(ByteOrder, AllOnesAndHighBitsSurvive) {
    const std::uint8_t ff[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(os::GetLe32(ff), 0xFFFFFFFFu);
    EXPECT_EQ(os::GetBe32(ff), 0xFFFFFFFFu);
    EXPECT_EQ(os::GetLe16(ff), 0xFFFF);
    const std::uint8_t high[4] = {0x80, 0, 0, 0x80};
    EXPECT_EQ(os::GetBe32(high), 0x80000080u);
    EXPECT_EQ(os::GetLe32(high), 0x80000080u);
    EXPECT_EQ(os::GetBe16(high), 0x8000);
    EXPECT_EQ(os::GetLe16(high), 0x0080);
}

TEST(ByteOrder, AppendGrowsTheVectorByTheField) {
    Bytes out{0x01};
    os::AppendBe16(out, 0x0203);
    os::AppendLe16(out, 0x0504);
    os::AppendBe32(out, 0x06070809u);
    os::AppendLe32(out, 0x0D0C0B0Au);
    EXPECT_EQ(out, (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
}

static_assert(os::GetBe16(std::array<std::uint8_t, 2>{0x12, 0x34}.data()) == 0x1234);

}  // namespace
