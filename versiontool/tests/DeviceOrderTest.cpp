// The orders of the device list: natural text order, version order and the list's
// comparison by column and direction.
#include <gtest/gtest.h>

#include "versiontool/DeviceOrder.h"

namespace {

VavVersionInfo Version(std::array<uint16_t, 6> n) {
    VavVersionData d;
    d.major = n[0], d.minor = n[1], d.patch = n[2];
    d.stage = n[3], d.patchDigit = n[4], d.build = n[5];
    return VavVersionInfo(d);
}

TEST(DeviceOrderTest, NaturalCompare) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"", "", 0},
        {"a", "", 1},
        {"", "a", -1},
        {"Node", "node", 0},      // case is ignored
        {"Node 1", "Node-1", 0},  // blanks and hyphens are skipped
        {"Node1", "Node 1", 0},
        {"Node2", "Node9", -1},
        {"Node9", "Node10", -1},  // numbers by value
        {"Node10", "Node9", 1},
        {"Node 1a", "Node 1b", -1},
        {"1", "a", -1},  // a digit before a letter
        {"a", "1", 1},
        {"abc", "abd", -1},
        {"ab", "abc", -1},
        {"-a", "a", 0},  // skipped in either text
        {"a", "-a", 0},
        {"x-", "x", 1},  // an end is tested before anything is skipped
        {"x", "x-", -1},
        {"99999999999999999999999", "100000000000000000000000", -1},  // no overflow
    };
    for (const Case& c : cases)
        EXPECT_EQ(NaturalCompare(c.a, c.b), c.expected) << '"' << c.a << "\" vs \"" << c.b << '"';
}

TEST(DeviceOrderTest, CompareVersions) {
    const VavVersionInfo base = Version({4, 0, 14, 0, 0, 5});
    EXPECT_EQ(CompareVersions(base, base), 0);
    for (int field = 0; field < 6; ++field) {
        std::array<uint16_t, 6> n = {4, 0, 14, 0, 0, 5};
        ++n[field];
        EXPECT_EQ(CompareVersions(base, Version(n)), -1) << field;
        EXPECT_EQ(CompareVersions(Version(n), base), 1) << field;
    }
    // An earlier field decides over every later one.
    EXPECT_EQ(CompareVersions(Version({4, 1, 0, 0, 0, 0}), Version({4, 0, 99, 9, 9, 999})), 1);
    EXPECT_EQ(CompareVersions(VavVersionInfo(), Version({0, 0, 0, 0, 0, 0})), 0);
    EXPECT_EQ(CompareVersions(VavVersionInfo(), Version({0, 0, 0, 0, 0, 1})), -1);
}

TEST(DeviceOrderTest, ListItemsByColumnAndDirection) {
    DeviceEvent a, b;
    a.name = "Node9", b.name = "node10";
    a.ipAddress = 0xC0A80002, b.ipAddress = 0x0A000001;  // 192.168.0.2 > 10.0.0.1 unsigned
    a.appId = 9, b.appId = 52;
    a.netVersion = Version({4, 0, 14, 0, 0, 0}), b.netVersion = Version({4, 0, 13, 0, 0, 9});
    a.typeName = "0x18C2 Face panel", b.typeName = "0x1882 Face panel";
    a.appVersion = VavVersionInfo(), b.appVersion = Version({1, 0, 0, 0, 0, 0});
    // Device types compare by their digit runs: "18" (of 18C2) before "1882".
    const int ascending[] = {-1, 1, -1, 1, -1, -1};
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(CompareListItems(&a, &b, SortParam(column, true)), ascending[column]) << column;
        EXPECT_EQ(CompareListItems(&a, &b, SortParam(column, false)), -ascending[column]) << column;
        EXPECT_EQ(CompareListItems(&a, &a, SortParam(column, true)), 0) << column;
    }
    EXPECT_EQ(SortParam(3, true), 0x10003u);
    EXPECT_EQ(CompareListItems(&a, &b, SortParam(6, true)), 0);
    EXPECT_EQ(CompareListItems(nullptr, &b, SortParam(0, false)), -1);
    EXPECT_EQ(CompareListItems(&a, nullptr, SortParam(0, false)), 1);
}

}  // namespace
