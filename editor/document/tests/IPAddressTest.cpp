#include "editor/document/IPAddress.h"

#include <gtest/gtest.h>

namespace {

TEST(IPAddressTest, TextsReadToFourOctetsAndAreWrittenWithThreeDigitsEach) {
    struct Case {
        const char* text;
        IpParseError error;
        uint32_t value;
    };
    const Case cases[] = {
        {"10.1.2.3", IpParseError::None, 0x0A010203},
        {"010.001.002.003", IpParseError::None, 0x0A010203},
        {"255.255.255.255", IpParseError::None, 0xFFFFFFFF},
        {" 10. 1.2.3 ", IpParseError::None, 0x0A010203},  // blanks as "%u" skips them
        {"+10.1.2.3", IpParseError::None, 0x0A010203},
        {"10.1.2.3x", IpParseError::TrailingText, 0},
        {"10.1.2.3.4", IpParseError::TrailingText, 0},
        {"10.1.2.256", IpParseError::OctetTooLarge, 0},
        {"99999999999.1.2.3", IpParseError::OctetTooLarge, 0},
        {"10.1.2", IpParseError::NotFourNumbers, 0},
        {"10..2.3", IpParseError::NotFourNumbers, 0},
        {"-1.1.2.3", IpParseError::NotFourNumbers, 0},
        {"", IpParseError::NotFourNumbers, 0},
    };
    for (const Case& c : cases) {
        IpParseResult result = CIPAddress::Parse(c.text);
        EXPECT_EQ(result.error, c.error) << c.text;
        EXPECT_EQ(result.value, c.value) << c.text;
    }
    EXPECT_EQ(CIPAddress::Format(10u << 24 | 101u << 16 | 99), "010.101.000.099");
    EXPECT_EQ(CIPAddress::Format(0), "000.000.000.000");
    EXPECT_EQ(CIPAddress::Format(0xFFFFFFFF), "255.255.255.255");
    EXPECT_EQ(CIPAddress(0xEC010025).GetText(), "236.001.000.037");
}

TEST(IPAddressTest, AnInvalidTextLeavesValueZero) {
    CIPAddress address(0x0A000001);
    EXPECT_TRUE(address.SetText("10.1.2.3"));
    EXPECT_EQ(address.GetValue(), 0x0A010203u);
    EXPECT_EQ(address.GetString(), "010.001.002.003");

    EXPECT_FALSE(address.SetText("10.1.2.3x"));
    EXPECT_EQ(address.GetValue(), 0u);
    EXPECT_EQ(address.GetText(), "10.1.2.3x");

    EXPECT_EQ(CIPAddress("not an address").GetText(), "000.000.000.000");
    EXPECT_EQ(CIPAddress().GetText(), "");
    address.SetValue(0xC0A80001);
    EXPECT_EQ(address.GetText(), "192.168.000.001");
}

}  // namespace
