#include <gtest/gtest.h>

#include <set>

#include "EngineFixture.h"

namespace formula::test {
namespace {

using CellStoreTest = EngineTest;

TEST_F(CellStoreTest, CellsWhoseKeysCollideAreBothFound) {
    ASSERT_EQ(GXBucket(1, 0), GXBucket(1 + 32749, 0));
    GXSetNumber(sheet, 1, 0, 1);
    GXSetNumber(sheet, 1 + 32749, 0, 2);
    EXPECT_EQ(GXFindCell(Sheet(), 1, 0)->number, 1);
    EXPECT_EQ(GXFindCell(Sheet(), 1 + 32749, 0)->number, 2);
    GXRemoveCell(Sheet(), GXFindCell(Sheet(), 1 + 32749, 0));
    EXPECT_EQ(GXFindCell(Sheet(), 1, 0)->number, 1);
    EXPECT_EQ(GXFindCell(Sheet(), 1 + 32749, 0), nullptr);
}

TEST_F(CellStoreTest, FreeingWhileDeferredNeitherSkipsNorRevisits) {
    for (int row = 1; row <= 200; ++row) {
        GXSetNumber(sheet, row, 0, row);
    }
    std::set<int> seen;
    {
        GXDeferGuard defer(Sheet(), GX_LIST_ALL);
        GXListIterator it(Sheet().values);
        while (GXEngineCell* c = it.Next()) {
            EXPECT_TRUE(seen.insert(c->row).second) << "visited twice: " << c->row;
            if (c->row % 3 != 0) {
                GXRemoveCell(Sheet(), c);
            }
        }
    }
    EXPECT_EQ(seen.size(), 200u);
    EXPECT_EQ(GXCountCells(Sheet(), GX_LIST_VALUES), 66);
    EXPECT_EQ(Sheet().linkedCount, 66);
    {
        GXDeferGuard defer(Sheet(), GX_LIST_VALUES);
        GXListIterator it(Sheet().values);
        while (GXEngineCell* c = it.Next()) {
            GXRemoveCell(Sheet(), c);
        }
        EXPECT_EQ(Sheet().values.blocks.size(), 7u) << "kept while deferred";
    }
    EXPECT_TRUE(Sheet().values.blocks.empty()) << "empty blocks go when undeferred";
}

TEST_F(CellStoreTest, BoundsFollowTheOccupiedRowsAndColumns) {
    GXRangeRef b;
    EXPECT_FALSE(GXGetBounds(Sheet(), b));
    GXSetNumber(sheet, 5, 2, 1);
    GXSetNumber(sheet, 9, 7, 1);
    GXSetNumber(sheet, 12, 3, 1);
    ASSERT_TRUE(GXGetBounds(Sheet(), b));
    EXPECT_EQ(GXRefToText(b), "C5..H12");
    GXRemoveCell(Sheet(), GXFindCell(Sheet(), 5, 2));
    ASSERT_TRUE(GXGetBounds(Sheet(), b));
    EXPECT_EQ(GXRefToText(b), "D9..H12");
    GXRangeRef clip = GXMakeRange(1, 0, 10, 4);
    ASSERT_TRUE(GXClipToBounds(Sheet(), clip));
    EXPECT_EQ(GXRefToText(clip), "D9..E10");
    clip = GXMakeRange(1, 0, 2, 1);
    EXPECT_FALSE(GXClipToBounds(Sheet(), clip));
    GXRemoveCell(Sheet(), GXFindCell(Sheet(), 9, 7));
    GXRemoveCell(Sheet(), GXFindCell(Sheet(), 12, 3));
    EXPECT_FALSE(GXGetBounds(Sheet(), b));
}

// Rows far apart, on the edges of the counting pages and counted twice: the bounds follow the
// rows still occupied after each removal.
TEST_F(CellStoreTest, BoundsFollowRowsFarApart) {
    const int rows[] = {255, 256, 257, 511, 512, 70000, 0x7FFFFF};
    for (int row : rows) {
        GXSetNumber(sheet, row, 1, 1);
    }
    GXSetNumber(sheet, 256, 2, 1);
    struct Step {
        int row, col;
        const char* bounds;  // after removing the cell; null: none left
    } steps[] = {
        {255, 1, "B256..C8388607"},    {256, 1, "B256..C8388607"}, {256, 2, "B257..B8388607"},
        {0x7FFFFF, 1, "B257..B70000"}, {70000, 1, "B257..B512"},   {257, 1, "B511..B512"},
        {512, 1, "B511..B511"},        {511, 1, nullptr},
    };
    for (const Step& step : steps) {
        GXRemoveCell(Sheet(), GXFindCell(Sheet(), step.row, step.col));
        GXRangeRef b;
        bool any = GXGetBounds(Sheet(), b);
        ASSERT_EQ(any, step.bounds != nullptr) << step.row;
        if (any) {
            EXPECT_EQ(GXRefToText(b), step.bounds) << step.row;
        }
    }
}

TEST_F(CellStoreTest, RangeIteratorProbesSmallRangesAndWalksLargeOnes) {
    for (int row = 1; row <= 10; ++row) {
        GXSetNumber(sheet, row, row % 3, row);
    }
    auto collect = [&](const char* text) {
        GXRangeRef r;
        EXPECT_TRUE(GXParseRef(text, r));
        std::multiset<int> rows;
        GXRangeIterator it(Sheet(), r, GX_LIST_VALUES);
        while (GXEngineCell* c = it.Next()) {
            rows.insert(c->row);
        }
        return rows;
    };
    EXPECT_EQ(collect("A1:B4"), (std::multiset<int>{1, 3, 4}));  // probed
    EXPECT_EQ(collect("A1:FAN100"), (std::multiset<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    std::vector<GXEngineCell*> ordered =
        GXCellsRowMajor(Sheet(), GXMakeRange(1, 0, 10, 2), GX_LIST_VALUES);
    ASSERT_EQ(ordered.size(), 10u);
    EXPECT_EQ(ordered.front()->row, 1);
    EXPECT_EQ(ordered.back()->row, 10);
}

TEST_F(CellStoreTest, SheetNumbersAreReused) {
    int second = GXCreateSheet();
    EXPECT_EQ(second, sheet + 1);
    GXDestroySheet(sheet);
    EXPECT_EQ(GXGetSheet(sheet), nullptr);
    EXPECT_EQ(GXCreateSheet(), sheet);
    GXSetNumber(second, 1, 0, 1);
    GXSetIterationCount(second, 5);
    GXResetSheet(second);
    EXPECT_EQ(GXFindCell(*GXGetSheet(second), 1, 0), nullptr);
    EXPECT_EQ(GXGetIterationCount(second), 5);
}

TEST_F(CellStoreTest, CopiesOwnTheirFormula) {
    Set("A1", "=B1+1");
    GXEngineCell* src = GXFindCell(Sheet(), 1, 0);
    GXEngineCell* copy = GXCopyCell(Sheet().formulas, *src);
    EXPECT_FALSE(copy->has(GX_CF_LINKED));
    EXPECT_TRUE(copy->has(GX_CF_STALE));
    ASSERT_TRUE(copy->formula);
    EXPECT_NE(copy->formula.get(), src->formula.get());
    GXFreeCell(copy);
    EXPECT_EQ(GXCountCells(Sheet(), GX_LIST_FORMULAS), 1);
}

}  // namespace
}  // namespace formula::test
