#include "xmldom/TypedValue.h"

#include <gtest/gtest.h>

namespace xmldom {
namespace {

using Kind = TypedValue::Kind;

struct Case {
    const char* type;
    const char* text;
    TypedValueError error;
    Kind kind;
    int64_t integer;
};

TEST(TypedValueTest, IntegerTypesReadTheirWholeRangeAndRefuseTheRest) {
    const Case cases[] = {
        {"ui1", "255", TypedValueError::None, Kind::UI1, 255},
        {"ui1", "256", TypedValueError::OutOfRange, Kind::Empty, 0},
        {"ui1", "-1", TypedValueError::OutOfRange, Kind::Empty, 0},
        {"ui2", " 65535\n", TypedValueError::None, Kind::UI2, 65535},
        {"ui2", "65536", TypedValueError::OutOfRange, Kind::Empty, 0},
        {"ui4", "4294967295", TypedValueError::None, Kind::UI4, 4294967295LL},
        {"ui4", "4294967296", TypedValueError::OutOfRange, Kind::Empty, 0},
        {"ui4", "+7", TypedValueError::None, Kind::UI4, 7},
        {"i1", "-128", TypedValueError::None, Kind::I1, -128},
        {"i1", "128", TypedValueError::OutOfRange, Kind::Empty, 0},
        {"i2", "-32769", TypedValueError::OutOfRange, Kind::Empty, 0},
        {"i4", "-2147483648", TypedValueError::None, Kind::I4, -2147483648LL},
        {"i4", "99999999999999999999", TypedValueError::OutOfRange, Kind::Empty, 0},
        {"ui4", "", TypedValueError::NotANumber, Kind::Empty, 0},
        {"ui4", "12x", TypedValueError::NotANumber, Kind::Empty, 0},
        {"ui4", "0x10", TypedValueError::NotANumber, Kind::Empty, 0},
        {"boolean", "1", TypedValueError::None, Kind::Boolean, 1},
        {"boolean", " false ", TypedValueError::None, Kind::Boolean, 0},
        {"boolean", "2", TypedValueError::NotABoolean, Kind::Empty, 0},
        {"date", "2006-08-11", TypedValueError::UnknownType, Kind::Empty, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " \"" + c.text + "\"");
        TypedValueResult result = ParseTypedValue(c.type, c.text);
        EXPECT_EQ(result.error, c.error);
        EXPECT_EQ(result.value.kind, c.kind);
        EXPECT_EQ(result.value.integer, c.integer);
    }
}

TEST(TypedValueTest, RealsTextsAndUntypedValues) {
    EXPECT_EQ(ParseTypedValue("r4", "0.1").value, TypedValue::OfReal(Kind::R4, 0.1f));
    EXPECT_EQ(ParseTypedValue("r4", "1e39").error, TypedValueError::OutOfRange);
    EXPECT_EQ(ParseTypedValue("r8", "-2.5e3").value.real, -2500.0);
    EXPECT_EQ(ParseTypedValue("r8", "nan").error, TypedValueError::NotANumber);
    // Text keeps its blanks; untyped elements read as text.
    EXPECT_EQ(ParseTypedValue("string", " Stage left ").value, TypedValue::OfText(" Stage left "));
    EXPECT_EQ(ParseTypedValue("", "12").value, TypedValue::OfText("12"));
    EXPECT_EQ(DataTypeName(Kind::UI2), "ui2");
    EXPECT_EQ(DataTypeName(Kind::Boolean), "boolean");
}

}  // namespace
}  // namespace xmldom
