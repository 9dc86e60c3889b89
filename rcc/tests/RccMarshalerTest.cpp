#include <gtest/gtest.h>

#include "RccTestBytes.h"
#include "rcc/RccArg.h"

namespace {

VavMacAddress Mac(std::initializer_list<uint8_t> bytes) {
    VavMacAddress mac;
    std::vector<uint8_t> b(bytes);
    mac.SetBytes(b.data(), static_cast<int>(b.size()));
    return mac;
}

CRccVerInfo Version() {
    VavVersionData data;
    data.major = 4;
    data.minor = 0;
    data.patch = 14;
    data.stage = 9;
    data.patchDigit = 1;
    data.build = 300;
    data.buildDate = "d";
    data.copyright = "c";
    data.productName = "p";
    CRccVerInfo version;
    version.SetData(data);
    return version;
}

// Every base type's wire form, worked out by hand.
TEST(RccMarshalerTest, WireFormOfEachType) {
    EXPECT_EQ(WireOf<RCC_U8>(0xAB), (Bytes{0xAB}));
    EXPECT_EQ(WireOf<RCC_U16>(0x1234), (Bytes{0x34, 0x12}));
    EXPECT_EQ(WireOf<RCC_U32>(0x12345678), (Bytes{0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(WireOf<RCC_S8>(-2), (Bytes{0xFE}));
    EXPECT_EQ(WireOf<RCC_S16>(-2), (Bytes{0xFE, 0xFF}));
    EXPECT_EQ(WireOf<RCC_S32>(-2), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(WireOf<RCC_BOOL>(1), (Bytes{0x01}));
    EXPECT_EQ(WireOf<RCC_STR>(""), (Bytes{0x01, 0, 0, 0, 0x00}));
    EXPECT_EQ(WireOf<RCC_STR>("Node"), (Bytes{0x05, 0, 0, 0, 'N', 'o', 'd', 'e', 0x00}));
    EXPECT_EQ(WireOf<RCC_LT>(CRccTime(12, 34, 56, 500000000)),
              (Bytes{0x0C, 0x22, 0x38, 0x00, 0x65, 0xCD, 0x1D}));
    EXPECT_EQ(WireOf<RCC_D>(CRccDate(2008, 8, 11)), (Bytes{0xD8, 0x07, 0x08, 0x0B}));
    EXPECT_EQ(WireOf<RCC_DLT>(CRccDateTime(2008, 8, 11, 12, 34, 56, 0)),
              (Bytes{0xD8, 0x07, 0x08, 0x0B, 0x0C, 0x22, 0x38, 0, 0, 0, 0}));
    EXPECT_EQ(WireOf<RCC_MAC>(Mac({0x00, 0x11, 0x22, 0x33, 0x44, 0x55})),
              (Bytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_EQ(WireOf<RCC_RB>(RccBlock{{1, 2, 3}}), (Bytes{0x03, 0, 0, 0, 1, 2, 3}));
    EXPECT_EQ(WireOf<RCC_FI>(CRccFileInfo(0x21, 0x01020304, 1234, "a.txt")),
              (Bytes{0x21, 0,    0, 0, 0x04, 0x03, 0x02, 0x01, 0xD2, 0x04, 0,
                     0,    0x06, 0, 0, 0,    'a',  '.',  't',  'x',  't',  0}));
    EXPECT_EQ(WireOf<RCC_IPV4>(CRccIPv4("192.168.1.20")), (Bytes{0x14, 0x01, 0xA8, 0xC0}));
    EXPECT_EQ(WireOf<RCC_IPPORT>(CRccIPPort(36507)), (Bytes{0x9B, 0x8E}));
    EXPECT_EQ(WireOf<RCC_VERINFO>(Version()),
              (Bytes{4, 14, 0x90, 1, 0x2C, 0x01, 'd', 0, 'c', 0, 'p', 0}));
}

TEST(RccMarshalerTest, WireFormOfVariantsAndArrays) {
    EXPECT_EQ(WireOf<RCC_VARIANT>(CRccValue::ofU32(7)), (Bytes{0x03, 0, 0, 0, 0x07, 0, 0, 0}));
    EXPECT_EQ(WireOf<RCC_VARIANT>(CRccValue()), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(WireOf<RCC_VARIANT>(CRccValue::ofString("a")),
              (Bytes{0x09, 0, 0, 0, 0x02, 0, 0, 0, 'a', 0}));
    EXPECT_EQ(WireOf<RCC_ARRAY | RCC_U16>({1, 2}), (Bytes{0x02, 0, 0, 0, 0x01, 0, 0x02, 0}));
    EXPECT_EQ(WireOf<RCC_ARRAY | RCC_STR>({"a"}), (Bytes{0x01, 0, 0, 0, 0x02, 0, 0, 0, 'a', 0}));
    EXPECT_EQ(WireOf<RCC_ARRAY | RCC_S32>({}), (Bytes{0, 0, 0, 0}));
    CRccValue bytes;
    *bytes.makeArray<RCC_U8>() = {5};
    EXPECT_EQ(WireOf<RCC_VARIANT>(bytes), (Bytes{0x01, 0, 0, 0x08, 0x01, 0, 0, 0, 0x05}));
    EXPECT_EQ(WireOf<RCC_ARRAY | RCC_VARIANT>({CRccValue::ofU8(1), CRccValue::ofBool(true)}),
              (Bytes{0x02, 0, 0, 0, 0x01, 0, 0, 0, 0x01, 0x08, 0, 0, 0, 0x01}));
}

TEST(RccMarshalerTest, FloatTravelsAsTruncatedInteger) {
    EXPECT_EQ(WireOf<RCC_FLOAT>(2.9f), (Bytes{0x02, 0, 0, 0}));
    EXPECT_EQ(WireOf<RCC_FLOAT>(-1.0f), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(WireOf<RCC_FLOAT>(-2.9f), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(WireOf<RCC_FLOAT>(std::numeric_limits<float>::quiet_NaN()), (Bytes{0, 0, 0, 0}));
    Bytes minusOne{0xFF, 0xFF, 0xFF, 0xFF};
    const uint8_t* c = minusOne.data();
    float read = 0;
    ASSERT_EQ(RccRead<RCC_FLOAT>(read, c, minusOne.data() + 4), RccDecodeError::None);
    EXPECT_EQ(read, 4294967296.0f);
}

TEST(RccMarshalerTest, BoolTravelsAsExactlyOneOrZero) {
    EXPECT_EQ(WireOf<RCC_BOOL>(2), (Bytes{0x00}));
    Bytes two{0x02};
    const uint8_t* c = two.data();
    uint8_t read = 0;
    ASSERT_EQ(RccRead<RCC_BOOL>(read, c, two.data() + 1), RccDecodeError::None);
    EXPECT_EQ(read, 1);
}

// Every value a CRccValue can hold, with a payload that differs from the empty one.
std::vector<CRccValue> OneOfEachType() {
    std::vector<CRccValue> values = {
        CRccValue::ofU8(0xFE),
        CRccValue::ofU16(0xFEDC),
        CRccValue::ofU32(0xFEDCBA98),
        CRccValue::ofS8(-100),
        CRccValue::ofS16(-30000),
        CRccValue::ofS32(-2000000000),
        CRccValue::ofFloat(123456.0f),
        CRccValue::ofBool(true),
        CRccValue::ofString("text"),
        CRccValue::of<RCC_LT>(CRccTime(23, 59, 58, 999999999)),
        CRccValue::of<RCC_D>(CRccDate(2006, 8, 11)),
        CRccValue::of<RCC_DLT>(CRccDateTime(2006, 8, 11, 1, 2, 3, 4)),
        CRccValue::of<RCC_MAC>(Mac({1, 2, 3, 4, 5, 6})),
        CRccValue::of<RCC_RB>(RccBlock{{0, 1, 0xFF}}),
        CRccValue::of<RCC_FI>(CRccFileInfo(0x10, 1, 2, "dir")),
        CRccValue::of<RCC_IPV4>(CRccIPv4("236.1.0.2")),
        CRccValue::of<RCC_IPPORT>(CRccIPPort(6107)),
        CRccValue::of<RCC_ARRAY | RCC_U8>({1, 2}),
        CRccValue::of<RCC_ARRAY | RCC_U16>({1, 0xFFFF}),
        CRccValue::of<RCC_ARRAY | RCC_U32>({7}),
        CRccValue::of<RCC_ARRAY | RCC_S8>({-1, 1}),
        CRccValue::of<RCC_ARRAY | RCC_S16>({-1}),
        CRccValue::of<RCC_ARRAY | RCC_S32>({-1, 0, 1}),
        CRccValue::of<RCC_ARRAY | RCC_FLOAT>({1.0f, 2.0f}),
        CRccValue::of<RCC_ARRAY | RCC_BOOL>({1, 0, 1}),
        CRccValue::of<RCC_ARRAY | RCC_STR>({"", "channelPatch"}),
        CRccValue::of<RCC_ARRAY | RCC_LT>({CRccTime(1, 2, 3, 4)}),
        CRccValue::of<RCC_ARRAY | RCC_D>({CRccDate(1, 2, 3), CRccDate(4, 5, 6)}),
        CRccValue::of<RCC_ARRAY | RCC_DLT>({CRccDateTime(1, 2, 3, 4, 5, 6, 7)}),
        CRccValue::of<RCC_ARRAY | RCC_MAC>({Mac({6, 5, 4, 3, 2, 1})}),
        CRccValue::of<RCC_ARRAY | RCC_RB>({RccBlock{{1}}, RccBlock{}}),
        CRccValue::of<RCC_ARRAY | RCC_FI>({CRccFileInfo(1, 2, 3, "x")}),
        CRccValue::of<RCC_ARRAY | RCC_IPV4>({CRccIPv4(0x01020304u)}),
        CRccValue::of<RCC_ARRAY | RCC_IPPORT>({CRccIPPort(1), CRccIPPort(2)}),
    };
    values.push_back(CRccValue::of<RCC_VERINFO>(Version()));
    return values;
}

TEST(RccMarshalerTest, EveryTypeRoundTripsAsVariant) {
    for (const CRccValue& value : OneOfEachType()) {
        Bytes bytes = WireOf<RCC_VARIANT>(value);
        const uint8_t* c = bytes.data();
        CRccValue read;
        ASSERT_EQ(RccRead<RCC_VARIANT>(read, c, bytes.data() + bytes.size()), RccDecodeError::None)
            << std::hex << value.getType();
        EXPECT_EQ(c, bytes.data() + bytes.size()) << std::hex << value.getType();
        EXPECT_EQ(read, value) << std::hex << value.getType();
    }
}

TEST(RccMarshalerTest, VariantArrayRoundTripsThroughRunTimeCodes) {
    std::vector<CRccValue> values = OneOfEachType();
    CRccBuffer buffer;
    const CRccMarshaler& marshaler = *CRccMarshaler::getInstance();
    ASSERT_TRUE(marshaler.append(buffer, RCC_INPUT | RCC_ARRAY | RCC_VARIANT, &values));
    std::vector<CRccValue> read;
    ASSERT_EQ(marshaler.take(buffer, RCC_ARRAY | RCC_VARIANT, &read), RccDecodeError::None);
    EXPECT_EQ(buffer.count(), 0u);
    EXPECT_EQ(read, values);
}

TEST(RccMarshalerTest, ReadingAVariantOfCodeZeroOrUnknownCodeLeavesTarget) {
    for (uint32_t code : {0u, 0x13u, 0x0Au, 0x08000016u, 0x00800003u}) {
        Bytes bytes{static_cast<uint8_t>(code), static_cast<uint8_t>(code >> 8),
                    static_cast<uint8_t>(code >> 16), static_cast<uint8_t>(code >> 24)};
        CRccValue target = CRccValue::ofString("kept");
        const uint8_t* c = bytes.data();
        ASSERT_EQ(RccRead<RCC_VARIANT>(target, c, bytes.data() + 4), RccDecodeError::None);
        EXPECT_EQ(c, bytes.data() + 4);
        EXPECT_EQ(*target.getString(), "kept") << code;
    }
}

TEST(RccMarshalerTest, EmptyVectorReadsEmpty) {
    Bytes zero{0, 0, 0, 0};
    std::vector<std::string> target = {"old"};
    const uint8_t* c = zero.data();
    ASSERT_EQ((RccRead<RCC_ARRAY | RCC_STR>(target, c, zero.data() + 4)), RccDecodeError::None);
    EXPECT_TRUE(target.empty());
}

// A reader given any prefix of a good value refuses it and never reads past the end.
TEST(RccMarshalerTest, EveryPrefixOfAValueIsRefused) {
    for (const CRccValue& value : OneOfEachType()) {
        Bytes bytes = WireOf<RCC_VARIANT>(value);
        for (size_t n = 0; n < bytes.size(); ++n) {
            // Exactly n bytes on the heap, so a read past them is caught by the sanitizer.
            std::unique_ptr<uint8_t[]> prefix(new uint8_t[n]);
            std::copy(bytes.begin(), bytes.begin() + static_cast<long>(n), prefix.get());
            const uint8_t* c = prefix.get();
            CRccValue read;
            EXPECT_EQ(RccRead<RCC_VARIANT>(read, c, prefix.get() + n), RccDecodeError::Truncated)
                << std::hex << value.getType() << " cut to " << std::dec << n;
        }
    }
}

TEST(RccMarshalerTest, LyingLengthsAndCountsAreRefused) {
    struct Case {
        const char* what;
        RccTypeCode code;
        Bytes bytes;
        RccDecodeError error;
    } cases[] = {
        {"text length 0", RCC_STR, {0, 0, 0, 0}, RccDecodeError::ZeroLength},
        {"text longer than the data", RCC_STR, {5, 0, 0, 0, 'a', 0}, RccDecodeError::Truncated},
        {"huge text length", RCC_STR, {0xFF, 0xFF, 0xFF, 0xFF, 'a', 0}, RccDecodeError::Truncated},
        {"block longer than the data", RCC_RB, {3, 0, 0, 0, 1, 2}, RccDecodeError::Truncated},
        {"file name length 0", RCC_FI, Bytes(16, 0), RccDecodeError::ZeroLength},
        {"huge array count",
         RCC_ARRAY | RCC_U32,
         {0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3, 4},
         RccDecodeError::Truncated},
        {"array count one too many",
         RCC_ARRAY | RCC_U16,
         {2, 0, 0, 0, 1, 0},
         RccDecodeError::Truncated},
    };
    const CRccMarshaler& marshaler = *CRccMarshaler::getInstance();
    for (const Case& c : cases) {
        void* value = CRccArg::newValue(c.code);
        const uint8_t* cursor = c.bytes.data();
        EXPECT_EQ(marshaler.unmarshal(c.code, value, cursor, c.bytes.data() + c.bytes.size()),
                  c.error)
            << c.what;
        CRccArg(c.code, value).freeValue();
    }
}

TEST(RccMarshalerTest, VersionTextWithoutItsNulIsRefused) {
    Bytes bytes{1, 2, 3, 4, 5, 6, 'd', 0, 'c'};
    const uint8_t* c = bytes.data();
    CRccVerInfo version;
    EXPECT_EQ(RccRead<RCC_VERINFO>(version, c, bytes.data() + bytes.size()),
              RccDecodeError::Truncated);
}

TEST(RccMarshalerTest, FileNameLongerThanItsFieldIsCut) {
    Bytes bytes(16, 0);
    bytes[12] = 0x2D;  // 301: 300 characters and the NUL
    bytes[13] = 0x01;
    bytes.insert(bytes.end(), 300, 'n');
    bytes.push_back(0);
    const uint8_t* c = bytes.data();
    CRccFileInfo file;
    ASSERT_EQ(RccRead<RCC_FI>(file, c, bytes.data() + bytes.size()), RccDecodeError::None);
    EXPECT_EQ(c, bytes.data() + bytes.size());
    EXPECT_EQ(file.getName(), std::string(254, 'n'));
}

TEST(RccBufferTest, GrowsByTheNeedAndSlack) {
    CRccBuffer buffer;
    ASSERT_NE(buffer.reserve(10), nullptr);
    EXPECT_EQ(buffer.capacity(), 1034u);
    buffer.commit(10);
    ASSERT_NE(buffer.reserve(1024), nullptr);  // 10 + 1024 fits
    EXPECT_EQ(buffer.capacity(), 1034u);
    ASSERT_NE(buffer.reserve(1025), nullptr);
    EXPECT_EQ(buffer.capacity(), 10u + 1025 + 1024);
    EXPECT_TRUE(buffer.ensureCapacity(5000));
    EXPECT_EQ(buffer.capacity(), 5000u);
}

TEST(RccBufferTest, ConsumedRoomIsReusedWithoutLosingHeldBytes) {
    CRccBuffer buffer;
    ASSERT_TRUE(buffer.ensureCapacity(5000));
    ASSERT_TRUE(buffer.append(Bytes(3000, 0x11)));
    buffer.consume(2990);  // 10 bytes held, 2000 bytes of room behind them
    ASSERT_TRUE(buffer.append(Bytes(2500, 0x22)));
    EXPECT_EQ(buffer.capacity(), 5000u);  // moved to the front, not grown
    Bytes held = BufferBytes(buffer);
    ASSERT_EQ(held.size(), 2510u);
    EXPECT_EQ(held[9], 0x11);
    EXPECT_EQ(held[10], 0x22);
    buffer.consume(2510);
    EXPECT_EQ(buffer.count(), 0u);
}

}  // namespace
