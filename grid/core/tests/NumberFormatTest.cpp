#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXNumberFormattingImp.h"
#include "grid/core/CGXStyle.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Format(unsigned code, unsigned places, const std::string& value) {
    CGXStyle s;
    s.SetValue(value).SetValueType(GX_VT_NUMBER).SetFormat(code).SetPlaces(places);
    return CGXNumberFormattingImp().FormatValue(s, nullptr, 0);
}

// Seconds since midnight as a fraction of a day, added to 1 January 2000 (36526).
std::string At(int h, int m, int s) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.12f", 36526.0 + (h * 3600 + m * 60 + s) / 86400.0);
    return buf;
}

TEST(NumberFormat, EveryCodeWithItsText) {
    const struct {
        unsigned code;
        unsigned places;
        std::string value;
        std::string text;
    } cases[] = {
        {0, 2, "3.14159", "3.14159"},
        {1, 2, "1234.5", "1.23e+03"},
        {2, 2, "3.14159", "3.14"},
        {3, 4, "1234.5678", "1235"},
        {4, 2, "-1234.5", "($1,234.50)"},
        {4, 2, "1234.5", "$1,234.50 "},
        {5, 0, "1234567", "1,234,567 "},
        {5, 0, "-3", "(3)"},
        {6, 0, "255.9", "0xFF"},
        {6, 0, "-1", "0xFFFFFFFF"},
        {6, 0, "1e20", "1e20"},  // no such integer: shown unformatted
        {7, 0, "0.5", "0"},
        {7, 0, "1.2", "1"},
        {7, 0, "3", "?"},
        {8, 0, "36526", "01-Jan-00"},
        {9, 0, "36526", "01-Jan"},
        {10, 0, "36526", "Jan-00"},
        {8, 0, "1e9", "1e9"},  // beyond the year 9999
        {12, 0, "5", ""},
        {14, 1, "0.256", "25.6%"},
        {14, 1, "1.7976931348623156e306", " Percent! "},
        {15, 2, "3.14159", "3.14159"},
        {16, 0, "36526.5", "01.01.2000"},
        {17, 0, "36526.5", "2000-01-01"},
        {19, 2, "1.5", "1.5"},
        {22, 2, "1.5", "1.5"},
        {23, 2, "1234.5", " 1,234.50 "},
        {23, 2, "-1", "(1.00)"},
        {24, 1, "2.25", " 2 1/4"},
        {24, 1, "0.3", "  3/10"},  // rounded, not 299/1000
        {24, 2, "-2.5", "-2 1/2"},
        {24, 9, "0.125", "  1/8"},  // places outside 1..6 count as 3
        {24, 1, "1e12", "1e12"},
        {25, 0, At(18, 1, 5), "06:01 PM"},
        {26, 0, At(18, 1, 5), "06:01:05 PM"},
        {26, 0, At(0, 0, 0), "12:00:00 AM"},
        {27, 0, At(18, 1, 5), "18:01"},
        {29, 0, "1", " Format? "},
        {31, 0, "1", " Format? "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.code, c.places, c.value), c.text) << "code " << c.code << " " << c.value;

    // The locale forms: not the value text, and a trailing blank after a number.
    EXPECT_NE(Format(11, 0, "36526"), "36526");
    EXPECT_FALSE(Format(11, 0, "36526").empty());
    EXPECT_NE(Format(13, 0, At(18, 1, 5)).find("01"), std::string::npos);
    EXPECT_NE(Format(18, 0, At(18, 1, 5)).find("01"), std::string::npos);
    const std::string local = Format(28, 0, "1234.5");
    EXPECT_EQ(local.substr(local.size() - 3), "50 ");
}

TEST(NumberFormat, OnlyNumbersWithAFormatAreFormatted) {
    CGXNumberFormattingImp imp;
    CGXStyle s;
    s.SetValue("3.14159").SetFormat(2).SetPlaces(2);  // a text value (type 0)
    EXPECT_EQ(imp.FormatValue(s, nullptr, 0), "3.14159");
    const std::string v = "2.5";
    EXPECT_EQ(imp.FormatValue(s, &v, GX_VT_NUMBER), "2.50");
    CGXStyle plain;
    plain.SetValue("3.14159").SetValueType(GX_VT_NUMBER);  // no format
    EXPECT_EQ(imp.FormatValue(plain, nullptr, 0), "3.14159");
    CGXStyle empty;
    empty.SetValue("text").SetFormat(12);
    EXPECT_EQ(imp.FormatValue(empty, nullptr, 0), "");

    EXPECT_EQ(GXGetFormatName(0), "G");
    EXPECT_EQ(GXGetFormatName(14), "P0");
    EXPECT_EQ(GXGetFormatName(21), "D1");
    EXPECT_EQ(GXGetFormatName(22), "");
}

TEST(NumberFormat, SeparatorsAndFractions) {
    EXPECT_EQ(GXApplyNumberSeparators("1234567.89", '.', ','), "1,234,567.89");
    EXPECT_EQ(GXApplyNumberSeparators("-1234", '.', ','), "-1,234");
    EXPECT_EQ(GXApplyNumberSeparators("123", '.', ','), "123");
    EXPECT_EQ(GXApplyNumberSeparators("1234.5", ',', '.'), "1.234,5");
    long long n = 250, d = 1000;
    GXReduceFraction(n, d);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(d, 4);
    n = 997, d = 1000;  // no common divisor
    GXReduceFraction(n, d);
    EXPECT_EQ(d, 1000);
}

TEST(NumberParse, AcceptedTextsWithFormatAndPlaces) {
    const struct {
        const char* text;
        double value;
        unsigned format;
        unsigned places;
    } ok[] = {
        {"(1,234.5)", -1234.5, 5, 1},
        {"$1,234.50", 1234.5, 4, 2},
        {"  42  ", 42, 2, 0},
        {"+7", 7, 2, 0},
        {"1.5e3", 1500, 1, 2},
        {"1,234,567.25", 1234567.25, 5, 2},
        {"1,000", 1000, 5, 0},
        {".5", 0.5, 2, 1},
        {"0.12345678901234567890", 0.12345678901234568, 2, 15},
    };
    CGXNumberFormattingImp imp;
    for (const auto& c : ok) {
        double v = 0;
        unsigned f = 99, p = 99;
        ASSERT_TRUE(imp.ParseNumber(c.text, &v, &f, &p)) << c.text;
        EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        EXPECT_EQ(f, c.format) << c.text;
        EXPECT_EQ(p, c.places) << c.text;
    }
    std::string many = "1";
    for (int i = 0; i < 20; ++i) many += ",000";
    for (const std::string& bad :
         {std::string("1,23"), std::string("12-"), std::string("abc"), std::string(""),
          std::string("-"), std::string("1.2.3"), std::string("(5"), std::string("5)"),
          std::string("(-5)"), std::string("1e5e"), std::string("1 2"), std::string("1e"),
          std::string("(1e5)"), std::string(258, '1'), many, std::string("inf"),
          std::string("0x10"), std::string("1.5,000")}) {
        double v = 0;
        EXPECT_FALSE(imp.ParseNumber(bad, &v)) << bad;
    }
    // Only the text given is read, not what follows it in memory.
    const char buffer[] = "12345";
    double v = 0;
    ASSERT_TRUE(imp.ParseNumber(std::string_view(buffer, 2), &v));
    EXPECT_EQ(v, 12);
}

TEST(NumberParse, ThroughTheDrawingObjectOnlyWithTheComponent) {
    CGXDrawingAndFormatting df;  // forwards to the installed component, if any
    InstallNumberFormattingImp();
    double v = 0;
    EXPECT_TRUE(df.ParseNumber("12.5", &v));
    EXPECT_EQ(v, 12.5);
}

}  // namespace
