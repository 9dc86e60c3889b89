#include "framework/base/TextCase.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(TextCase, UpperCasingKeepsEveryPosition) {
    const struct {
        const char* text;
        const char* upper;
    } cases[] = {
        {"xAby", "XABY"},
        {"\xC3\xA4rger", "\xC3\x84RGER"},  // ärger
        {"stra\xC3\x9F"
         "e",
         "STRA\xC3\x9F"
         "E"},                                     // ß has no one-letter capital: it stays
        {"\xCE\xB1\xCE\xB2", "\xCE\x91\xCE\x92"},  // αβ
        {"", ""},
    };
    for (const auto& c : cases) {
        const std::u32string points = DecodeUtf8(c.text);
        const std::u32string upper = UpperCodePoints(points);
        EXPECT_EQ(upper.size(), points.size()) << c.text;
        EXPECT_EQ(EncodeUtf8(upper), c.upper) << c.text;
    }
}

TEST(TextCase, AnInvalidSequenceBecomesTheReplacementCharacter) {
    EXPECT_EQ(DecodeUtf8("a\xFF"
                         "b"),
              (std::u32string{U'a', U'\uFFFD', U'b'}));
}

}  // namespace
}  // namespace fw
