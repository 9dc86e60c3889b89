#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "rcc/RccValue.h"

namespace {

TEST(RccTimeTest, OutOfRangeFieldsWrapAndPrint) {
    CRccTime wrapped(25, 61, 75, 0);
    EXPECT_EQ(wrapped.hour, 1);
    EXPECT_EQ(wrapped.minute, 1);
    EXPECT_EQ(wrapped.second, 15);
    EXPECT_EQ(wrapped.toString(), "01:01:15");
    // Each field is cut to 8 bits before it is brought into range: 256 + 3 reads as 3.
    EXPECT_EQ(CRccTime(259, 0, 0, 0).hour, 3);
}

TEST(RccTimeTest, FractionPrintsAsDecimalPlacesOfTheSecond) {
    EXPECT_EQ(CRccTime(12, 34, 56, 500000000).toString(), "12:34:56.5");
    EXPECT_EQ(CRccTime(0, 0, 1, 123456789).toString(), "00:00:01.123456789");
    // A small fraction stays in plain decimal places.
    EXPECT_EQ(CRccTime(0, 0, 1, 123).toString(), "00:00:01.000000123");
}

TEST(RccDateTest, OutOfRangeFieldsWrapAndPrint) {
    CRccDate date(2008, 13, 40);
    EXPECT_EQ(date.month, 0);
    EXPECT_EQ(date.day, 8);
    EXPECT_EQ(date.toString(), "2008/00/08");
    EXPECT_EQ(CRccDateTime(2006, 8, 11, 9, 5, 0, 0).toString(), "2006/08/11 09:05:00");
}

TEST(RccIPv4Test, ReadsDottedTextMostSignificantFirst) {
    struct Case {
        const char* text;
        uint32_t address;
    } cases[] = {
        {"192.168.1.20", 0xC0A80114},
        {"300.1.2.3", 0x2C010203},  // each part cut to 8 bits
        {"10.1", 0x0A010000},       // missing parts are 0
        {"1.2.3.4.5.6", 0x01020304},
        {"", 0},
        {"a.b.c.d", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CRccIPv4(c.text).address, c.address) << c.text;
    }
    EXPECT_EQ(CRccIPv4("192.168.1.20").toString(), "192.168.1.20");
}

class RccFileInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        savedTz_ = tz ? tz : "";
        hadTz_ = tz != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_)
            setenv("TZ", savedTz_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::string savedTz_;
    bool hadTz_ = false;
};

TEST_F(RccFileInfoTest, DirectoryLine) {
    CRccFileInfo file(CRccFileInfo::kReadOnly | CRccFileInfo::kArchive, 0, 1234, "a.txt");
    EXPECT_EQ(file.toString(), "R  A         1234   Thu Jan  1 00:00:00 1970   a.txt ");
    CRccFileInfo dir(CRccFileInfo::kDirectory | CRccFileInfo::kHidden | CRccFileInfo::kSystem,
                     86400, 0, "bin");
    EXPECT_EQ(dir.toString(), " HS         <DIR>   Fri Jan  2 00:00:00 1970   bin ");
}

TEST_F(RccFileInfoTest, NameIsCutTo254Characters) {
    CRccFileInfo file(0, 0, 0, std::string(300, 'x'));
    EXPECT_EQ(file.getName(), std::string(254, 'x'));
    EXPECT_EQ(CRccFileInfo().marshalledSize(), 17u);
    EXPECT_EQ(file.marshalledSize(), 254u + 17);
}

TEST(RccValueTest, CopiesAreIndependent) {
    CRccValue text = CRccValue::ofString("Node");
    CRccValue copy = text;
    copy.makeString()->assign("changed");
    EXPECT_EQ(*text.getString(), "Node");

    CRccValue array;
    *array.makeArray<RCC_U16>() = {1, 2, 3};
    CRccValue arrayCopy = array;
    arrayCopy.get<RCC_U16 | RCC_ARRAY>()->push_back(4);
    arrayCopy.clear();
    EXPECT_EQ(*array.get<RCC_U16 | RCC_ARRAY>(), (std::vector<uint16_t>{1, 2, 3}));

    CRccValue block;
    block.makeBlock()->bytes = {9, 8};
    CRccValue blockCopy = block;
    blockCopy.get<RCC_RB>()->bytes[0] = 0;
    EXPECT_EQ(block.get<RCC_RB>()->bytes[0], 9);
}

TEST(RccValueTest, SelfAssignmentAndEmptyValues) {
    CRccValue text = CRccValue::ofString("kept");
    CRccValue& alias = text;
    text = alias;
    EXPECT_EQ(*text.getString(), "kept");

    CRccValue empty;
    CRccValue emptyCopy = empty;
    emptyCopy = empty;
    emptyCopy.clear();
    EXPECT_TRUE(emptyCopy.isEmpty());
    EXPECT_EQ(emptyCopy, empty);
}

TEST(RccValueTest, FactoriesSetTypeAndEmptyPayload) {
    CRccValue value = CRccValue::ofU32(7);
    CRccTime* time = value.makeTime();
    EXPECT_EQ(value.getType(), RCC_LT);
    EXPECT_EQ(*time, CRccTime());
    EXPECT_EQ(value.get<RCC_D>(), nullptr);  // another type's payload is not there
    EXPECT_TRUE(value.makeOfType(RCC_ARRAY | RCC_FI));
    EXPECT_TRUE(value.get<RCC_ARRAY | RCC_FI>()->empty());
    EXPECT_FALSE(value.makeOfType(RCC_VARIANT));
    EXPECT_FALSE(value.makeOfType(RCC_ARRAY | RCC_VERINFO));
    EXPECT_FALSE(value.makeOfType(0x13));
    EXPECT_TRUE(value.isEmpty());
}

TEST(RccValueTest, ScalarsAreHeldInline) {
    EXPECT_EQ(CRccValue::ofS16(-2).getScalar<RCC_S16>(), -2);
    EXPECT_EQ(CRccValue::ofS16(-2).slot(), 0xFFFFFFFEu);
    EXPECT_EQ(CRccValue::ofFloat(2.5f).getScalar<RCC_FLOAT>(), 2.5f);
    EXPECT_EQ(CRccValue::ofBool(true).getScalar<RCC_BOOL>(), 1);
}

TEST(DescribeRccValueTest, TextOfEveryKind) {
    CRccValue mac;
    uint8_t bytes[6] = {0x00, 0x0a, 0x1b, 0x2c, 0x3d, 0xfe};
    mac.makeMac()->SetBytes(bytes, 6);
    CRccValue array;
    array.makeArray<RCC_IPPORT>();
    CRccValue bools;
    bools.makeArray<RCC_BOOL>();
    struct Case {
        CRccValue value;
        const char* text;
    } cases[] = {
        {CRccValue(), "UNKNOWN"},
        {CRccValue::ofU8(200), "U8: 200"},
        {CRccValue::ofU32(4294967295u), "U32: 4294967295"},
        {CRccValue::ofS8(-5), "S8: -5"},
        {CRccValue::ofS32(-70000), "S32: -70000"},
        {CRccValue::ofFloat(1.5f), "float: 1.500000"},
        {CRccValue::ofBool(false), "bool: false"},
        {CRccValue::ofString("Node"), "STR: Node"},
        {CRccValue::of<RCC_LT>(CRccTime(1, 2, 3, 0)), "LT: 01:02:03"},
        {CRccValue::of<RCC_D>(CRccDate(2006, 8, 11)), "D: 2006/08/11"},
        {CRccValue::of<RCC_IPV4>(CRccIPv4("10.0.0.1")), "IPv4: 10.0.0.1"},
        {CRccValue::of<RCC_IPPORT>(CRccIPPort(36507)), "IPPort: 36507"},
        {CRccValue::of<RCC_RB>(RccBlock{{1, 2}}), "RB"},
        {mac, "MAC: 00:0a:1b:2c:3d:fe"},
        {array, "vector< IPPort >"},
        {bools, "vector< bool >"},
        {CRccValue::of<RCC_VERINFO>(CRccVerInfo(VavVersionData{4, 0, 14, 0, 0, 0, "", "", ""})),
         "4.0 Patch 14.0 IUO 0"},
        {CRccValue::of<RCC_VERINFO>(CRccVerInfo()), "VerInfo: error."},
    };
    for (const Case& c : cases) EXPECT_EQ(DescribeRccValue(c.value), c.text);
}

}  // namespace
