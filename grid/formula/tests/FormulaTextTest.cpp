#include "grid/formula/FormulaText.h"

#include <gtest/gtest.h>

#include "grid/formula/ErrorMessages.h"
#include "grid/formula/RangeRef.h"

namespace formula {
namespace {

TEST(FormulaTextTest, EscapesControlAndHighBytes) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain"},
        {std::string("\a\b\t\n\v\f\r"), "\\a\\b\\t\\n\\v\\f\\r"},
        {"back\\slash", "back\\\\slash"},
        {"say \"hi\"", "say \\\"hi\\\""},
        {std::string("\x01") + "7", "\\0017"},
        {std::string("\x01") + "x", "\\1x"},
        {std::string("\x1b") + "x", "\\33x"},
        {std::string("\x1b") + "1", "\\0331"},
        {std::string(1, '\0'), "\\0"},
        {"\x7f", "\\177"},
        {"\xa0", "\\240"},
        {"\xa1\xff", "\xa1\xff"},
    };
    for (const auto& [raw, escaped] : cases) {
        EXPECT_EQ(GXEscapeText(raw, true), escaped);
        EXPECT_EQ(GXUnescapeText(escaped), raw) << escaped;
    }
    EXPECT_EQ(GXEscapeText("\"", false), "\"");
}

TEST(FormulaTextTest, UnescapesEveryForm) {
    const std::pair<const char*, std::string> cases[] = {
        {"\\x41", "A"},
        {"\\x0a", "\n"},
        {"\\x4a", "J"},
        {"\\x4A1", "J1"},
        {"\\101", "A"},
        {"\\1010", "A0"},
        {"\\q", "q"},
        {"\\x", "x"},
        {"\\xg", "xg"},
        {"a\\", "a"},
        {"\\\\", "\\"},
        {"\\\"", "\""},
        {"\\a\\b\\f\\n\\r\\t\\v", "\a\b\f\n\r\t\v"},
    };
    for (const auto& [escaped, raw] : cases) {
        EXPECT_EQ(GXUnescapeText(escaped), raw) << escaped;
    }
    EXPECT_EQ(GXUnescapeText(std::string(511, 'x'))->size(), 511u);
    EXPECT_FALSE(GXUnescapeText(std::string(512, 'x')));
}

TEST(FormulaTextTest, ColumnNamesAndReferenceTexts) {
    const std::pair<int, const char*> columns[] = {{0, "A"},    {25, "Z"},    {26, "AA"},
                                                   {701, "ZZ"}, {702, "AAA"}, {4095, "FAN"}};
    for (const auto& [col, name] : columns) {
        EXPECT_EQ(GXColumnName(col), name);
        EXPECT_EQ(GXColumnFromLetters(name), col);
    }
    EXPECT_EQ(GXColumnName(4096), "");
    EXPECT_EQ(GXColumnFromLetters("FAO"), -1);
    EXPECT_EQ(GXColumnFromLetters("fan"), 4095);
    GXRangeRef r;
    ASSERT_TRUE(GXParseRef("$fan$8388607:a$1", r));
    EXPECT_EQ(GXRefToText(r), "A$1..$FAN$8388607");
    ASSERT_TRUE(GXParseRef("B2.:C3", r) == false);
    for (const char* bad : {"A0", "A8388608", "FAO1", "A1B", "A1:", "1A", "", "$", "A1...B2"}) {
        EXPECT_FALSE(GXParseRef(bad, r)) << bad;
    }
    for (const char* good : {"A1:.B2", "A1.B2", "A1..B2", "A1:B2"}) {
        ASSERT_TRUE(GXParseRef(good, r)) << good;
        EXPECT_EQ(GXRefToText(r), "A1..B2");
    }
    EXPECT_FALSE(GXRefToText(GXMakeRange(0, 0, 1, 1)));
}

TEST(ErrorMessagesTest, NumbersIndexOneTable) {
    EXPECT_STREQ(GXErrorMessage(0), "unknown error");
    EXPECT_STREQ(GXErrorMessage(1), "");
    EXPECT_STREQ(GXErrorMessage(70), "divide by zero");
    EXPECT_STREQ(GXErrorMessage(41), "\"#\" in primary expression");
    EXPECT_STREQ(GXErrorMessage(236), "expected to find \"\\\" here");
    EXPECT_STREQ(GXErrorMessage(355), "ending line with a \\");
    EXPECT_STREQ(GXErrorMessage(381), "precompiled regular expression is invalid");
    for (int n : {382, -1, 100000, -100000}) {
        EXPECT_STREQ(GXErrorMessage(n), "unknown error") << n;
    }
}

}  // namespace
}  // namespace formula
