#include "platform/VavMacAddress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace {

TEST(VavMacAddress, TextFormsReadAndPrint) {
    struct Case {
        const char* text;
        uint8_t bytes[6];
        const char* printed;
    } cases[] = {
        {"0:0:0:0:0:0", {0, 0, 0, 0, 0, 0}, "00:00:00:00:00:00"},
        {"2:18:0:0:0:A", {2, 0x18, 0, 0, 0, 0x0a}, "02:18:00:00:00:0a"},
        {"02:18:00:00:00:0a", {2, 0x18, 0, 0, 0, 0x0a}, "02:18:00:00:00:0a"},
        {"FF:fe:7:8:9:10:77:88",
         {0xff, 0xfe, 7, 8, 9, 0x10},
         "ff:fe:07:08:09:10"},  // 7th on ignored
        {"1:2:3", {1, 2, 3, 0, 0, 0}, "01:02:03:00:00:00"},
        {"", {0, 0, 0, 0, 0, 0}, "00:00:00:00:00:00"},
    };
    for (const auto& c : cases) {
        VavMacAddress mac(c.text);
        EXPECT_TRUE(mac.EqualsBytes(c.bytes, 6)) << c.text;
        EXPECT_STREQ(mac.ToText(), c.printed) << c.text;
    }
    EXPECT_EQ(VavMacAddress("a:b:c:d:e:f"), VavMacAddress("0a:0b:0c:0d:0e:0f"));
}

TEST(VavMacAddress, BytesInAndOutTakeAtMostSix) {
    const uint8_t eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    VavMacAddress mac(eight, 8);
    EXPECT_STREQ(mac.ToText(), "01:02:03:04:05:06");
    uint8_t out[8] = {};
    EXPECT_EQ(mac.GetBytes(out, 8), 6u);
    EXPECT_EQ(out[5], 6);
    EXPECT_EQ(out[6], 0);
    EXPECT_EQ(mac.GetBytes(out, 2), 2u);

    VavMacAddress partial;
    EXPECT_EQ(partial.SetBytes(eight, 3), 3u);
    EXPECT_STREQ(partial.ToText(), "01:02:03:00:00:00");
    EXPECT_TRUE(partial.EqualsBytes(eight, 3));  // only the first three compared
    EXPECT_NE(partial, mac);

    VavMacAddress copy = mac;
    EXPECT_EQ(copy, mac);
}

TEST(VavMacAddress, OrdersByUnsignedBytesFirstMostSignificant) {
    std::vector<VavMacAddress> macs = {
        VavMacAddress("80:0:0:0:0:0"), VavMacAddress("0:0:0:0:0:ff"), VavMacAddress("0:0:0:0:1:0"),
        VavMacAddress("7f:ff:ff:ff:ff:ff"), VavMacAddress("0:0:0:0:0:1")};
    std::sort(macs.begin(), macs.end());
    std::vector<std::string> printed;
    for (const auto& m : macs) printed.push_back(m.ToText());
    EXPECT_EQ(printed, (std::vector<std::string>{"00:00:00:00:00:01", "00:00:00:00:00:ff",
                                                 "00:00:00:00:01:00", "7f:ff:ff:ff:ff:ff",
                                                 "80:00:00:00:00:00"}));
    EXPECT_FALSE(macs[0] < macs[0]);

    std::map<VavMacAddress, int> byMac;
    byMac[VavMacAddress("1:2:3:4:5:6")] = 1;
    byMac[VavMacAddress("01:02:03:04:05:06")] = 2;
    EXPECT_EQ(byMac.size(), 1u);
}

}  // namespace
