#include "grid/core/CGXData.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXDataCopyMoveCellsImp.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A bare cell store (no grid): values "rNcM" in a block.
class CellStoreMoveTest : public ::testing::Test {
protected:
    void Put(ROWCOL r, ROWCOL c, const std::string& v) {
        CGXStyle s;
        s.SetValue(v);
        data_.StoreStyleAt(r, c, &s, gxOverride, 0);
    }
    std::string At(ROWCOL r, ROWCOL c) {
        CGXStyle s;
        return data_.GetStyleAt(r, c, s, gxCopy, 0) ? s.GetValue() : std::string("-");
    }
    void Fill(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) {
        for (ROWCOL row = t; row <= b; ++row)
            for (ROWCOL col = l; col <= r; ++col)
                Put(row, col, std::to_string(row) + std::to_string(col));
    }
    CGXData data_;
    CGXDataCopyMoveCellsImp copy_;
    CGXGridSortMoveDataImp sort_;
};

// Copying a 3 x 3 block (rows 4-6, columns 4-6) onto a place that overlaps it must leave the
// destination an exact copy of the source as it was before the copy, in every direction.
struct Shift {
    const char* name;
    int rows, cols;
};
class OverlapCopyTest : public CellStoreMoveTest, public ::testing::WithParamInterface<Shift> {};

TEST_P(OverlapCopyTest, DestinationHoldsTheSourceAsItWas) {
    const Shift s = GetParam();
    Fill(1, 1, 9, 9);
    const CGXRange src(4, 4, 6, 6);
    const ROWCOL dr = 4 + s.rows, dc = 4 + s.cols;
    ASSERT_TRUE(copy_.CopyCells(data_, src, dr, dc));
    for (ROWCOL i = 0; i < 3; ++i)
        for (ROWCOL j = 0; j < 3; ++j)
            EXPECT_EQ(At(dr + i, dc + j), std::to_string(4 + i) + std::to_string(4 + j))
                << s.name << " cell " << dr + i << "," << dc + j;
    // Cells of the source outside the destination keep their values.
    for (ROWCOL r = 4; r <= 6; ++r)
        for (ROWCOL c = 4; c <= 6; ++c)
            if (!(r >= dr && r < dr + 3 && c >= dc && c < dc + 3)) {
                EXPECT_EQ(At(r, c), std::to_string(r) + std::to_string(c)) << s.name;
            }
}

INSTANTIATE_TEST_SUITE_P(Shifts, OverlapCopyTest,
                         ::testing::Values(Shift{"left1", 0, -1}, Shift{"right1", 0, 1},
                                           Shift{"up1", -1, 0}, Shift{"down1", 1, 0},
                                           Shift{"left2", 0, -2}, Shift{"right2", 0, 2},
                                           Shift{"up3", -3, 0}, Shift{"down2", 2, 0},
                                           Shift{"diag", 1, 1}, Shift{"same", 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CellStoreMoveTest, EmptySourceCellsEmptyTheDestination) {
    Put(1, 1, "a");
    Put(5, 5, "x");
    ASSERT_TRUE(copy_.CopyCells(data_, CGXRange(1, 1, 2, 2), 5, 5));
    EXPECT_EQ(At(5, 5), "a");
    EXPECT_EQ(At(6, 6), "-");
    // A copy far past the stored rows from empty rows grows nothing.
    ASSERT_TRUE(copy_.CopyCells(data_, CGXRange(10, 1, 11, 2), 500, 1));
    EXPECT_LT(data_.m_apapCellStyle.GetSize(), 500u);
}

TEST_F(CellStoreMoveTest, MoveKeepsOverwrittenCellsForTheReverseMove) {
    Fill(1, 1, 6, 6);
    std::unique_ptr<CGXOwnedObject> info;
    // Rows 1-2, columns 1-2 onto 2,2 (overlapping): the overwritten cells are kept.
    ASSERT_TRUE(copy_.MoveCellsEx(data_, CGXRange(1, 1, 2, 2), 2, 2, info, true));
    EXPECT_EQ(At(2, 2), "11");
    EXPECT_EQ(At(3, 3), "22");
    EXPECT_EQ(At(1, 1), "-");
    EXPECT_EQ(At(1, 2), "-");
    ASSERT_NE(dynamic_cast<CGXDataUndoMoveCellsInfo*>(info.get()), nullptr);
    // The reverse move with that info restores everything.
    std::unique_ptr<CGXOwnedObject> redo;
    ASSERT_TRUE(copy_.MoveCellsEx(data_, CGXRange(2, 2, 3, 3), 1, 1, info, false));
    for (ROWCOL r = 1; r <= 6; ++r)
        for (ROWCOL c = 1; c <= 6; ++c) EXPECT_EQ(At(r, c), std::to_string(r) + std::to_string(c));
}

TEST_F(CellStoreMoveTest, SortMoveRowsAndColumns) {
    Fill(1, 1, 4, 3);
    CGXStyle rs;
    rs.SetValue("row3");
    data_.StoreStyleAt(3, 0, &rs, gxOverride, gxRowColStyle);
    ASSERT_TRUE(sort_.SortMoveRows(data_, CGXRange().SetRows(2, 4), {0, 1, 2}));
    EXPECT_EQ(At(2, 1), "21");
    ASSERT_TRUE(sort_.SortMoveRows(data_, CGXRange().SetRows(2, 4), {2, 0, 1}));
    EXPECT_EQ(At(2, 1), "41");
    EXPECT_EQ(At(3, 2), "22");
    EXPECT_EQ(At(4, 3), "33");
    CGXStyle got;
    EXPECT_TRUE(data_.GetStyleAt(4, 0, got, gxCopy, gxRowColStyle));
    EXPECT_EQ(got.GetValue(), "row3");
    ASSERT_TRUE(sort_.SortMoveCols(data_, CGXRange().SetCols(1, 3), {2, 1, 0}));
    EXPECT_EQ(At(1, 1), "13");
    EXPECT_EQ(At(1, 3), "11");
    // An order that is no permutation changes nothing.
    EXPECT_FALSE(sort_.SortMoveRows(data_, CGXRange().SetRows(1, 2), {0, 0}));
    EXPECT_FALSE(sort_.SortMoveCols(data_, CGXRange().SetCols(1, 2), {0, 5}));
    EXPECT_EQ(At(1, 1), "13");
}

}  // namespace
