// The shared look-up maps of tabbed choice lists: built once per id, title lines skipped, later
// lines replacing earlier ones with the same key, aliases, and what dropping does to the maps
// and to the generation count.
#include "grid/core/CGXGridParam.h"
#include "grid/core/GXChoiceMaps.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kList = "Key\tName\r\n1\tRed\r\n2\tGreen\r\n3\tRed";

TEST(ChoiceMaps, MapEachLineByItsFieldSkippingTheTitles) {
    CGXChoiceMap keys(kList, 0, true);
    ASSERT_NE(keys.Find("2"), nullptr);
    EXPECT_EQ(*keys.Find("2"), "2\tGreen");
    EXPECT_EQ(keys.Find("Key"), nullptr);  // the title line is no choice
    EXPECT_EQ(keys.Find("2 "), nullptr);   // exact keys only

    CGXChoiceMap texts(kList, 1, true);
    ASSERT_NE(texts.Find("Red"), nullptr);
    EXPECT_EQ(*texts.Find("Red"), "3\tRed");  // the later line replaces the earlier
    EXPECT_EQ(texts.ListKeys(), (std::vector<std::string>{"Red", "Green"}));

    texts.AddAlias("red", "1\tRed");
    texts.AddAlias("Green", "1\tRed");  // an existing key keeps its line
    EXPECT_EQ(*texts.Find("red"), "1\tRed");
    EXPECT_EQ(*texts.Find("Green"), "2\tGreen");
    EXPECT_EQ(texts.ListKeys().size(), 2u);  // aliases are not list keys
}

TEST(ChoiceMaps, TheGridParametersBuildOncePerIdAndDropByIdOrAll) {
    CGXGridParam param;
    CGXChoiceMaps& maps = param.m_choiceMaps;
    EXPECT_EQ(maps.Get(0, CGXChoiceMaps::KeyMap, kList, 0, true), nullptr);
    CGXChoiceMap* first = maps.Get(4, CGXChoiceMaps::KeyMap, kList, 0, true);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(maps.Get(4, CGXChoiceMaps::KeyMap, "other", 0, false), first);  // kept
    EXPECT_EQ(maps.Find(4, CGXChoiceMaps::TextMap), nullptr);
    maps.Get(4, CGXChoiceMaps::TextMap, kList, 1, true);
    maps.Get(5, CGXChoiceMaps::KeyMap, kList, 0, true);

    struct Case {
        int id;
        int generation;
        bool four, five;
    };
    for (const Case& c : {Case{0, 0, true, true}, Case{-2, 0, true, true}, Case{4, 1, false, true},
                          Case{-1, 2, false, false}}) {
        maps.Drop(c.id);
        EXPECT_EQ(maps.Generation(), c.generation) << c.id;
        EXPECT_EQ(maps.Find(4, CGXChoiceMaps::KeyMap) != nullptr, c.four) << c.id;
        EXPECT_EQ(maps.Find(4, CGXChoiceMaps::TextMap) != nullptr, c.four) << c.id;
        EXPECT_EQ(maps.Find(5, CGXChoiceMaps::KeyMap) != nullptr, c.five) << c.id;
    }
}

}  // namespace
