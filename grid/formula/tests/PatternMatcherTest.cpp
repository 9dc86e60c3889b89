#include "grid/formula/PatternMatcher.h"

#include <gtest/gtest.h>

#include <string>

namespace formula {
namespace {

class PatternMatcherTest : public ::testing::Test {
protected:
    void SetUp() override { GXRegexReset(); }
    void TearDown() override { GXRegexReset(); }

    // "-" for no match, else the text of slot 0 in brackets.
    static std::string Find(const char* pattern, const char* subject) {
        const char* error = RegexCompile(pattern);
        if (error != nullptr) {
            return std::string("error: ") + error;
        }
        if (!RegexExecute(subject)) {
            return "-";
        }
        size_t a = 0, b = 0;
        EXPECT_TRUE(RegexSlot(0, a, b));
        return "[" + std::string(subject + a, subject + b) + "]";
    }
};

TEST_F(PatternMatcherTest, Matches) {
    struct Case {
        const char* pattern;
        const char* subject;
        const char* result;
    };
    const Case cases[] = {
        {"a+b", "xaab", "[aab]"},
        {"^ab", "cab", "-"},
        {"^ab", "abc", "[ab]"},
        {"ab$", "cab", "[ab]"},
        {"ab$", "abc", "-"},
        {"a$b", "a$b", "[a$b]"},
        {"x^", "x^", "[x^]"},
        {"\\(a\\)\\1", "baa", "[aa]"},
        {"\\(a*\\)b\\1", "aaba", "[aba]"},
        {"\\<is\\>", "this is", "[is]"},
        {"\\<is", "this", "-"},
        {"s\\>", "this is", "[s]"},
        {"a*", "", "-"},
        {"a*", "bbb", "[]"},
        {"b*c", "abbbc", "[bbbc]"},
        {"a.c", "abc", "[abc]"},
        {"a.*c", "xaXcYcZ", "[aXcYc]"},
        {"[a-c]+", "xxbcad", "[bca]"},
        {"[^a-c]", "abcd", "[d]"},
        {"[]x]", "a]", "[]]"},
        {"[-x]", "a-", "[-]"},
        {"[a-]", "-", "[-]"},
        {"[\xE1]", "a\xE1", "[\xE1]"},
        {"[a]", "\xE1", "-"},
        {"a**", "aa", "[aa]"},
        {"a+*", "aa", "[aa]"},
        {"\\.\\*", "a.*", "[.*]"},
        {"x", "", "-"},
        {"^$", "", "[]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Find(c.pattern, c.subject), c.result) << c.pattern << " on " << c.subject;
    }
}

TEST_F(PatternMatcherTest, GroupsFillTheirSlots) {
    ASSERT_EQ(RegexCompile("\\(b+\\)\\(c\\)"), nullptr);
    ASSERT_EQ(RegexExecute("abbcd"), 1);
    size_t a, b;
    ASSERT_TRUE(RegexSlot(1, a, b));
    EXPECT_EQ(a, 1u);
    EXPECT_EQ(b, 3u);
    ASSERT_TRUE(RegexSlot(2, a, b));
    EXPECT_EQ(a, 3u);
    EXPECT_FALSE(RegexSlot(3, a, b));
}

TEST_F(PatternMatcherTest, ErrorTexts) {
    const std::pair<const char*, const char*> cases[] = {
        {"*a", "Empty closure"},
        {"^*", "Illegal closure"},
        {"\\(a\\)*", "Illegal closure"},
        {"\\<*", "Illegal closure"},
        {"[a-", "Missing ]"},
        {"[", "Missing ]"},
        {"\\(a\\1\\)", "Cyclical reference"},
        {"\\(\\(a\\)\\1\\2\\)", "Cyclical reference"},
        {"\\2\\(a\\)", "Undetermined reference"},
        {"\\(a", "Unmatched \\("},
        {"a\\)", "Unmatched \\)"},
        {"\\(\\)", "Null pattern inside \\(\\)"},
        {"\\<\\>", "Null pattern inside \\<\\>"},
        {"\\(1\\)\\(2\\)\\(3\\)\\(4\\)\\(5\\)\\(6\\)\\(7\\)\\(8\\)\\(9\\)\\(0\\)",
         "Too many \\(\\) pairs"},
    };
    for (const auto& [pattern, text] : cases) {
        const char* error = RegexCompile(pattern);
        ASSERT_NE(error, nullptr) << pattern;
        EXPECT_STREQ(error, text) << pattern;
        EXPECT_EQ(RegexExecute("a"), 0);
    }
    std::string huge;
    for (int i = 0; i < 40; ++i) {
        huge += "[a]";
    }
    EXPECT_STREQ(RegexCompile(huge.c_str()), "Regular expression too long");
}

TEST_F(PatternMatcherTest, AnEmptyPatternReusesThePreviousOne) {
    EXPECT_STREQ(RegexCompile(""), "No previous regular expression");
    EXPECT_STREQ(RegexCompile(nullptr), "No previous regular expression");
    ASSERT_EQ(RegexCompile("b"), nullptr);
    EXPECT_EQ(RegexCompile(""), nullptr);
    EXPECT_EQ(RegexExecute("abc"), 1);
    EXPECT_NE(RegexCompile("*"), nullptr);
    EXPECT_STREQ(RegexCompile(""), "No previous regular expression");
    EXPECT_EQ(RegexExecute("abc"), 0);
}

TEST_F(PatternMatcherTest, ManyClosuresGiveUpInsteadOfHanging) {
    std::string pattern;
    for (int i = 0; i < 30; ++i) {
        pattern += "a*";
    }
    pattern += "b";
    ASSERT_EQ(RegexCompile(pattern.c_str()), nullptr);
    EXPECT_EQ(RegexExecute(std::string(60, 'a').c_str()), 0);
}

}  // namespace
}  // namespace formula
