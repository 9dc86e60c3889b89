#include "editor/document/DataConvert.h"

#include <gtest/gtest.h>

#include "editor/document/PropertyType.h"

namespace {

std::vector<uint16_t> U16s(std::initializer_list<uint16_t> list) {
    return list;
}

CRccValue Vector16(std::vector<uint16_t> numbers) {
    CRccValue value;
    *value.makeArray<RCC_U16>() = std::move(numbers);
    return value;
}

CRccValue IPv4(uint32_t address) {
    return CRccValue::of<RCC_IPV4>(CRccIPv4(address));
}

CRccValue Mac(const char* text) {
    return CRccValue::of<RCC_MAC>(VavMacAddress(text));
}

// One property of each type, from its text in the document through its typed value to
// the value for the node and back to the text the document stores.
TEST(DataConvertTest, EveryPropertyTypeFromTextToValueAndBack) {
    struct Case {
        PropertyType type;
        const char* dataType;
        const char* ixoType;
        const char* text;
        bool converts;
        CRccValue value;
        const char* shown;
    };
    const Case cases[] = {
        {PROPERTY_UI1, "ui1", "", "200", true, CRccValue::ofU8(200), "200"},
        {PROPERTY_UI2, "ui2", "", "8452", true, CRccValue::ofU16(8452), "8452"},
        {PROPERTY_UI4, "ui4", "", "4294967295", true, CRccValue::ofU32(0xFFFFFFFF), "-1"},
        {PROPERTY_UI4, "ui4", "", "7", true, CRccValue::ofU32(7), "7"},
        {PROPERTY_I1, "i1", "", "-5", false, {}, ""},
        {PROPERTY_I2, "i2", "", "-300", false, {}, ""},
        {PROPERTY_I4, "i4", "", "-70000", true, CRccValue::ofS32(-70000), "-70000"},
        {PROPERTY_R4, "r4", "", "0.5", true, CRccValue::ofFloat(0.5f), "0.500000"},
        {PROPERTY_R8, "r8", "", "2.5", false, {}, ""},
        {PROPERTY_BOOLEAN, "boolean", "", "1", true, CRccValue::ofBool(true), "1"},
        {PROPERTY_BOOLEAN, "boolean", "", "0", true, CRccValue::ofBool(false), "0"},
        {PROPERTY_STRING, "string", "", "Truss 2: FOH", true, CRccValue::ofString("Truss 2: FOH"),
         "Truss 2: FOH"},
        {PROPERTY_TIME_MS, "ui4", "time_ms", "2500", true, CRccValue::ofU32(2500), "2500"},
        {PROPERTY_IPV4, "string", "IPv4", "10.0.0.1", true, IPv4(0x0A000001), "010.000.000.001"},
        {PROPERTY_MAC, "string", "MAC", "0:1A:2b:3c:4d:5e", true, Mac("00:1a:2b:3c:4d:5e"),
         "00:1a:2b:3c:4d:5e"},
        {PROPERTY_VERSTR, "string", "VERSTR", "4.0.14", true, CRccValue::ofString("4.0.14"),
         "4.0.14"},
        {PROPERTY_VERNUMSTR, "string", "VERNUMSTR", "4.0.14.3.7.123", true,
         CRccValue::ofString("4.0.14.3.7.123"), "4.0.14.3.7.123"},
        {PROPERTY_VECTOR16, "string", "VECTOR16", "1,2,,3", true, Vector16(U16s({1, 2, 0, 3})),
         "vector< U16 >"},
        {PROPERTY_VECTOR16, "string", "VECTOR16", "", true, Vector16({}), "vector< U16 >"},
        {PROPERTY_VECTOR16, "string", "VECTOR16", "-1,x,70000", true,
         Vector16(U16s({65535, 0, 4464})), "vector< U16 >"},
        // Texts that do not read as their type.
        {PROPERTY_UI4, "ui4", "", "abc", false, {}, ""},
        {PROPERTY_UI1, "ui1", "", "300", false, {}, ""},
        {PROPERTY_BOOLEAN, "boolean", "", "yes", false, {}, ""},
        {PROPERTY_TIME_MS, "ui4", "time_ms", "", false, {}, ""},
        {PROPERTY_IPV4, "string", "IPv4", "10.0.1", false, {}, ""},
        {PROPERTY_IPV4, "string", "IPv4", "10.0.0.256", false, {}, ""},
        {PROPERTY_MAC, "string", "MAC", "00:1a:2b", false, {}, ""},
        {PROPERTY_MAC, "string", "MAC", "00:1a:2b:3c:4d:5e:6f", false, {}, ""},
        {PROPERTY_MAC, "string", "MAC", "001:1a:2b:3c:4d:5e", false, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dataType) + "/" + c.ixoType + " \"" + c.text + "\"");
        EXPECT_EQ(PropertyTypeOf(c.dataType, c.ixoType), c.type);
        xmldom::TypedValue typed = xmldom::ParseTypedValue(c.dataType, c.text).value;
        CDataConvert toValue;
        EXPECT_EQ(toValue.FromVariant(typed, c.ixoType), c.converts);
        CRccValue value;
        EXPECT_EQ(toValue.GetValue(value), c.converts);
        if (!c.converts)
            continue;
        EXPECT_EQ(value, c.value);
        CDataConvert toText;
        ASSERT_TRUE(toText.FromValue(value));
        std::string shown;
        ASSERT_TRUE(toText.GetText(shown));
        EXPECT_EQ(shown, c.shown);
    }
}

TEST(DataConvertTest, ValuesFromTheNodeShowAsTheDocumentStoresThem) {
    struct Case {
        CRccValue value;
        const char* shown;
    };
    const Case cases[] = {
        {CRccValue::ofS8(-5), "-5"},
        {CRccValue::ofS16(-300), "-300"},
        {CRccValue::ofU32(4294967294u), "4294967294"},
        {CRccValue::ofString(""), ""},
        {CRccValue(), "UNKNOWN"},
    };
    for (const Case& c : cases) {
        CDataConvert convert;
        ASSERT_TRUE(convert.FromValue(c.value));
        std::string shown;
        convert.GetText(shown);
        EXPECT_EQ(shown, c.shown);
    }
    // A signed 32-bit typed value becomes U32 only for the editor type "ui4".
    CDataConvert convert;
    ASSERT_TRUE(
        convert.FromVariant(xmldom::TypedValue::OfInteger(xmldom::TypedValue::Kind::I4, 9), "ui4"));
    CRccValue value;
    convert.GetValue(value);
    EXPECT_EQ(value, CRccValue::ofU32(9));
    std::string text;
    EXPECT_FALSE(CDataConvert().GetText(text));
}

}  // namespace
