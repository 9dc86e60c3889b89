#include "framework/persist/Archive.h"
#include "grid/core/CGXCollMapDWordToLong.h"
#include "grid/core/CGXCollMapDWordToString.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/CMapNdxToOb.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

template <class Map>
Bytes Store(Map& map) {
    Bytes out;
    fw::Archive ar(fw::StoreTo{out});
    map.Serialize(ar);
    return out;
}

template <class Map>
void Load(Map& map, const Bytes& bytes) {
    fw::Archive ar(fw::LoadFrom{bytes});
    map.Serialize(ar);
}

// Entries in iteration order as "key=value" joined by spaces.
std::string Order(const CGXCollMapDWordToLong& map) {
    std::string out;
    GXPOSITION pos = map.GetStartPosition();
    while (pos) {
        std::uint32_t k = 0;
        std::int32_t v = 0;
        map.GetNextAssoc(pos, k, v);
        out += (out.empty() ? "" : " ") + std::to_string(k) + "=" + std::to_string(v);
    }
    return out;
}

TEST(Collections, EmptyMapArchivesAsAZeroCount) {
    CGXCollMapDWordToLong map;
    EXPECT_EQ(map.GetStartPosition(), nullptr);
    std::int32_t v = 0;
    EXPECT_FALSE(map.Lookup(5, v));
    EXPECT_EQ(Store(map), (Bytes{0x00, 0x00}));
    CGXCollMapDWordToString strings;
    EXPECT_EQ(Store(strings), (Bytes{0x00, 0x00}));
}

TEST(Collections, NumberMapArchivesBucketByBucketNewestFirst) {
    // Buckets of 17: key >> 4 mod 17. 1 and 272 go to bucket 0 (272 newer, so first), 16 and 17
    // to bucket 1 (16 newer), 40 to bucket 2.
    CGXCollMapDWordToLong map;
    map[1] = 10;
    map[17] = -1;
    map[40] = 0x01020304;
    map[16] = 7;
    map[272] = 300;
    EXPECT_EQ(Order(map), "272=300 1=10 16=7 17=-1 40=16909060");
    const Bytes expected{0x05, 0x00,                                       //
                         0x10, 0x01, 0x00, 0x00, 0x2C, 0x01, 0x00, 0x00,   // 272
                         0x01, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x00,   // 1
                         0x10, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00,   // 16
                         0x11, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF,   // 17
                         0x28, 0x00, 0x00, 0x00, 0x04, 0x03, 0x02, 0x01};  // 40
    const Bytes stored = Store(map);
    EXPECT_EQ(stored, expected);
    CGXCollMapDWordToLong back;
    back[1] = 99;  // overwritten by the loaded entry
    Load(back, stored);
    EXPECT_EQ(back.GetCount(), 5u);
    std::int32_t v = 0;
    ASSERT_TRUE(back.Lookup(1, v));
    EXPECT_EQ(v, 10);
    ASSERT_TRUE(back.Lookup(17, v));
    EXPECT_EQ(v, -1);
    // Each chain is rebuilt in its stored order, so storing again gives the same bytes.
    EXPECT_EQ(Store(back), stored);
    // Removed entries leave their chain; their nodes are used again.
    EXPECT_TRUE(map.RemoveKey(1));
    EXPECT_FALSE(map.RemoveKey(1));
    map[33] = 5;
    EXPECT_EQ(Order(map), "272=300 16=7 17=-1 33=5 40=16909060");  // 33 heads bucket 2
}

TEST(Collections, StringAndCellMapsRoundTrip) {
    CGXCollMapDWordToString strings;
    strings[3] = "abc";
    strings[100] = "";
    const Bytes stored = Store(strings);
    // Bucket 0 holds key 3 (100 >> 4 = 6 is bucket 6): key, then the one-byte length and text.
    const Bytes expected{0x02, 0x00, 0x03, 0x00, 0x00, 0x00, 0x03, 'a',
                         'b',  'c',  0x64, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(stored, expected);
    CGXCollMapDWordToString back;
    Load(back, stored);
    std::string s;
    ASSERT_TRUE(back.Lookup(3, s));
    EXPECT_EQ(s, "abc");
    ASSERT_TRUE(back.Lookup(100, s));
    EXPECT_EQ(s, "");

    CGXMapCellToOb cells;
    auto list = std::make_unique<CGXRangeList>();
    list->AddTail(CGXRange(1, 2, 3, 4));
    cells[{5, 6}] = list.release();
    cells[{7, 8}] = nullptr;
    const Bytes cellBytes = Store(cells);
    EXPECT_EQ(cellBytes[0], 0x02);
    EXPECT_EQ(cellBytes[1], 0x00);
    CGXMapCellToOb cellsBack;
    Load(cellsBack, cellBytes);
    fw::Serializable* object = nullptr;
    ASSERT_TRUE(cellsBack.Lookup({5, 6}, object));
    auto* loaded = dynamic_cast<CGXRangeList*>(object);
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->GetCount(), 1u);
    EXPECT_EQ(loaded->GetHead().right, 4u);
    ASSERT_TRUE(cellsBack.Lookup({7, 8}, object));
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(Store(cellsBack), cellBytes);
    GXDeleteMapObjects(cells);
    GXDeleteMapObjects(cellsBack);
    EXPECT_TRUE(cellsBack.IsEmpty());
}

TEST(Collections, MoreThan65535EntriesAreRefusedOnSave) {
    CGXCollMapDWordToLong map;
    for (std::uint32_t k = 0; k < 65535; ++k) map[k] = 1;
    Bytes stored = Store(map);
    ASSERT_EQ(stored.size(), 2u + 65535u * 8u);
    EXPECT_EQ(stored[0], 0xFF);
    EXPECT_EQ(stored[1], 0xFF);
    map[65535] = 1;
    Bytes out;
    fw::Archive ar(fw::StoreTo{out});
    try {
        map.Serialize(ar);
        ADD_FAILURE() << "65,536 entries were stored";
    } catch (const fw::ArchiveException& e) {
        EXPECT_EQ(e.cause, fw::ArchiveCause::TooLarge);
    }
    EXPECT_TRUE(out.empty());
    CGXCollMapDWordToString strings;
    for (std::uint32_t k = 0; k <= 65535; ++k) strings[k] = "x";
    EXPECT_THROW(Store(strings), fw::ArchiveException);
}

TEST(Collections, KeysFollowInsertedRemovedAndMovedRows) {
    CGXCollMapDWordToLong map;
    for (std::uint32_t k : {2u, 3u, 4u, 5u, 6u, 7u, 9u}) map[k] = static_cast<std::int32_t>(k);
    CGXCollMapDWordToLong removed;
    removed.CopyFrom(map);
    removed.ShiftKeysForRemove(5, 7);
    std::int32_t v = 0;
    ASSERT_TRUE(removed.Lookup(6, v));
    EXPECT_EQ(v, 9);
    EXPECT_FALSE(removed.Lookup(7, v));
    EXPECT_EQ(removed.GetCount(), 4u);

    map.MoveKeys(2, 3, 5);  // 2,3,4,5,6,7 become 5,6,2,3,4,7
    const std::pair<std::uint32_t, std::int32_t> expected[] = {{5, 2}, {6, 3}, {2, 4}, {3, 5},
                                                               {4, 6}, {7, 7}, {9, 9}};
    for (const auto& [k, val] : expected) {
        ASSERT_TRUE(map.Lookup(k, v)) << k;
        EXPECT_EQ(v, val) << k;
    }
    map.ShiftKeysForInsert(4, 10);
    ASSERT_TRUE(map.Lookup(3, v));
    EXPECT_EQ(v, 5);
    ASSERT_TRUE(map.Lookup(14, v));
    EXPECT_EQ(v, 6);
    // A bigger table keeps the entries.
    map.InitHashTable(257);
    ASSERT_TRUE(map.Lookup(19, v));
    EXPECT_EQ(v, 9);
}

}  // namespace
