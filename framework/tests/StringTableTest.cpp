#include "framework/persist/StringTable.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(StringTable, TextsByIdAndPlaceholders) {
    SetStrings({{20139, "Redoing %1 ..."}, {20140, "Undoing %1 ..."}});
    SetString(20140, "Undoing %1 now");
    EXPECT_EQ(LoadString(20139), "Redoing %1 ...");
    EXPECT_EQ(LoadString(20140), "Undoing %1 now");
    EXPECT_FALSE(FindString(999999));
    EXPECT_EQ(LoadString(999999), "");
    EXPECT_EQ(FormatString(LoadString(20139), {"Paste."}), "Redoing Paste. ...");
    EXPECT_EQ(FormatString("%2/%1 %3 100%%", {"a", "b"}), "b/a %3 100%%");
}

}  // namespace
}  // namespace fw
