// The input mask: every mask character, literals and escapes, typed and display texts, insert,
// delete, caret positions and free input.
#include "grid/controls/CGXMaskData.h"

#include <gtest/gtest.h>

namespace {

CGXMaskData Masked(const std::string& mask, const std::string& value = "") {
    CGXMaskData m;
    m.SetMask(mask);
    m.SetInputText(value, -1);
    return m;
}

std::string Display(const CGXMaskData& m) {
    std::string s;
    m.GetDisplayText(s);
    return s;
}

std::string Input(const CGXMaskData& m, bool trim = true) {
    std::string s;
    m.GetInputText(s, 0, -1, trim);
    return s;
}

struct CharCase {
    const char* mask;
    const char* typed;
    bool accepted;
    const char* stored;
};

TEST(MaskData, EachMaskCharacterAcceptsItsClass) {
    const CharCase cases[] = {
        {"#", "7", true, "7"},
        {"#", "a", false, ""},
        {"#", "-", false, ""},
        {"&", "%", true, "%"},
        {"&", "\xC3\xA9", true, "\xC3\xA9"},
        {"?", "q", true, "q"},
        {"?", "5", false, ""},
        {"?", "\xC3\xA9", true, "\xC3\xA9"},
        {"A", "5", true, "5"},
        {"A", "z", true, "z"},
        {"A", "!", false, ""},
        {"L", "Q", true, "q"},
        {"L", "3", false, ""},
        {"L", "\xC3\x89", true, "\xC3\xA9"},
        {"U", "q", true, "Q"},
        {"U", "\xC3\xA9", true, "\xC3\x89"},
        {"#", " ", true, "_"},
        {"#", "_", true, "_"},
        {"#", "12", false, ""},
    };
    for (const CharCase& c : cases) {
        CGXMaskData m = Masked(c.mask);
        std::string ch = c.typed;
        EXPECT_EQ(m.AcceptsChar(0, ch), c.accepted) << c.mask << " " << c.typed;
        if (c.accepted) {
            EXPECT_EQ(ch, c.stored) << c.mask << " " << c.typed;
        }
    }
}

TEST(MaskData, OnlyTheSixPlaceholdersAreInputPositions) {
    CGXMaskData m = Masked("#&?ALUalu-x(\xC3\xA9");
    const bool literal[] = {false, false, false, false, false, false, true,
                            true,  true,  true,  true,  true,  true};
    for (int i = 0; i < 13; ++i) EXPECT_EQ(m.IsLiteralPos(i), literal[i]) << i;
    EXPECT_EQ(Display(m), "______alu-x(\xC3\xA9");
    std::string ch = "1";
    EXPECT_FALSE(m.AcceptsChar(6, ch));   // literal position
    EXPECT_FALSE(m.AcceptsChar(13, ch));  // outside
}

TEST(MaskData, BackslashEscapesTheNextCharacter) {
    CGXMaskData esc = Masked("\\##");
    EXPECT_TRUE(esc.IsLiteralPos(0));
    EXPECT_FALSE(esc.IsLiteralPos(1));
    EXPECT_EQ(Display(esc), "#_");
    CGXMaskData trailing = Masked("##\\");
    EXPECT_EQ(trailing.GetDataCount(), 2);
    EXPECT_EQ(Display(trailing), "__");
    EXPECT_EQ(Display(Masked("\\\\#")), "\\_");
}

TEST(MaskData, ValueAndDisplayOfAPartlyFilledMask) {
    CGXMaskData m = Masked("###-##", "12");
    EXPECT_EQ(Display(m), "12_-__");
    EXPECT_EQ(Input(m), "12");
    std::string three = "3";
    ASSERT_TRUE(m.AcceptsChar(2, three));
    EXPECT_EQ(m.SetDisplayText("3", 2), 3);
    EXPECT_EQ(Input(m), "123");
    EXPECT_EQ(m.SetInputText("45", 3), 6);
    EXPECT_EQ(Display(m), "123-45");
    EXPECT_EQ(Input(m), "12345");
}

TEST(MaskData, SpacesAreStoredAsPromptsAndTrimmedAtTheEnd) {
    CGXMaskData m = Masked("####", "1 3 ");
    EXPECT_EQ(Display(m), "1_3_");
    EXPECT_EQ(Input(m), "1 3");
    EXPECT_EQ(Input(m, false), "1 3 ");
}

TEST(MaskData, SetInputTextStopsAtTheFirstRefusedCharacter) {
    CGXMaskData m;
    m.SetMask("##-##");
    EXPECT_EQ(m.SetInputText("12x45", -1), 2);
    EXPECT_EQ(Display(m), "12-__");
    EXPECT_EQ(m.SetInputText("9", 5), -1);  // past the mask
    CGXMaskData literalsOnly = Masked("ab");
    EXPECT_EQ(literalsOnly.SetInputText("1", -1), -1);
}

TEST(MaskData, SetDisplayTextChecksLiteralsAndPlaceholders) {
    CGXMaskData m;
    m.SetMask("(##)");
    EXPECT_EQ(m.SetDisplayText("(12)", -1), 4);
    EXPECT_EQ(Input(m), "12");
    EXPECT_EQ(m.SetDisplayText("[12]", -1), -1);
    EXPECT_EQ(m.SetDisplayText("(1a)", -1), -1);
    EXPECT_EQ(m.SetDisplayText("(1", -1), 2);
    EXPECT_EQ(Display(m), "(1_)");
}

TEST(MaskData, PromptIsOneCharacter) {
    CGXMaskData m = Masked("##", "1");
    EXPECT_FALSE(m.SetPrompt("**", true));
    EXPECT_EQ(m.GetPrompt(), "_");
    EXPECT_TRUE(m.SetPrompt("\xC2\xB7", true));  // one character of two bytes
    EXPECT_EQ(Display(m), "1\xC2\xB7");
    EXPECT_TRUE(m.SetPrompt("", false));
    EXPECT_EQ(m.GetPrompt(), "_");
    EXPECT_EQ(Display(m), "1\xC2\xB7");  // not replacing leaves the old prompts
}

TEST(MaskData, InsertShiftsOverLiteralsWithoutCheckingAgain) {
    CGXMaskData m = Masked("#?-#", "1");  // "1_-_"
    int next = 0;
    ASSERT_TRUE(m.InsertChar(0, "9", next));
    EXPECT_EQ(Display(m), "91-_");  // the digit now sits under "?", unchecked
    EXPECT_EQ(next, 1);
    ASSERT_TRUE(m.InsertChar(1, "8", next));
    EXPECT_EQ(Display(m), "98-1");
    EXPECT_EQ(next, 3);                        // over the literal
    EXPECT_FALSE(m.InsertChar(0, "7", next));  // the last input position is filled
    EXPECT_EQ(Display(m), "98-1");
    EXPECT_FALSE(m.InsertChar(2, "7", next));
    EXPECT_FALSE(m.CheckContents());  // "8" under "?"
}

struct RemoveCase {
    const char* value;
    int end, start;
    const char* display;
};

TEST(MaskData, RemoveRangeMovesTheRestUp) {
    const RemoveCase cases[] = {
        {"12345", 2, 1, "134-5_"},  // one digit
        {"12345", 4, 0, "45_-__"},  // across the literal
        {"12345", 6, 4, "123-__"},  // the tail
        {"12345", 5, 3, "123-5_"},  // starts on the literal: moves to position 4
        {"12345", 4, 2, "124-5_"},  // ends on the literal: end moves to 4
        {"12345", 7, 0, "123-45"},  // end past the mask: nothing
        {"12345", -1, 0, "123-45"}, {"12345", 2, 2, "123-45"},
    };
    for (const RemoveCase& c : cases) {
        CGXMaskData m = Masked("###-##", c.value);
        m.RemoveRange(c.end, c.start);
        EXPECT_EQ(Display(m), c.display) << c.end << "," << c.start;
    }
}

TEST(MaskData, PositionArithmetic) {
    CGXMaskData m = Masked("(##)-#", "12");  // "(12)-_"
    EXPECT_EQ(m.NextInputPos(-1), 1);
    EXPECT_EQ(m.NextInputPos(2), 5);
    EXPECT_EQ(m.NextInputPos(5), -1);
    EXPECT_EQ(m.NextInputPos(6), 6);
    EXPECT_EQ(m.PrevInputPos(5), 2);
    EXPECT_EQ(m.PrevInputPos(1), -1);
    EXPECT_EQ(m.PrevInputPos(0), -1);
    EXPECT_EQ(m.InputEndPos(m.GetDataCount()), 3);  // behind the "2"
    m.SetInputText("123", -1);
    EXPECT_EQ(m.InputEndPos(m.GetDataCount()), 6);
    m.SetInputText("", -1);
    EXPECT_EQ(m.InputEndPos(m.GetDataCount()), 1);  // the first input position
}

TEST(MaskData, CheckContentsAcceptsPromptsAndRefusesWrongCharacters) {
    CGXMaskData m = Masked("##-#", "1");
    EXPECT_TRUE(m.CheckContents());
    EXPECT_EQ(m.SetDisplayText("1x", 0), -1);
    EXPECT_TRUE(m.CheckContents());  // the refused character was not stored
}

TEST(MaskData, FreeInputIsLimitedByTheMaximumLength) {
    CGXMaskData m;
    m.SetMask("");
    m.SetMaxLength(4);
    EXPECT_EQ(m.SetDisplayText("abcdef", -1), 4);
    EXPECT_EQ(Display(m), "abcd");
    int next = 0;
    EXPECT_FALSE(m.InsertChar(1, "x", next));
    m.RemoveRange(2, 1);
    EXPECT_EQ(Display(m), "acd");
    ASSERT_TRUE(m.InsertChar(1, "\xC3\xA9", next));
    EXPECT_EQ(Display(m),
              "a\xC3\xA9"
              "cd");
    EXPECT_EQ(next, 2);
    EXPECT_EQ(m.SetDisplayText("Z", 0), 1);  // overwriting keeps the rest
    EXPECT_EQ(Display(m),
              "Z\xC3\xA9"
              "cd");
    EXPECT_EQ(m.CharToByteIndex(2), 3);
    EXPECT_EQ(m.ByteToCharIndex(3), 2);
    EXPECT_EQ(m.CharToByteIndex(-1), -1);
    EXPECT_EQ(m.NextInputPos(1), 2);
    EXPECT_EQ(m.InputEndPos(9), 4);
    EXPECT_TRUE(m.CheckContents());
    m.SetMask("");
    EXPECT_EQ(m.GetMaxLength(), CGXMaskData::kNoLimit);
}

}  // namespace
