// Moving blocks of rows and columns through the move feature: where rows and the current cell
// go, sizes and coverings that move along, undo as one step, and the moves refused.
#include "grid/features/CGXGridMoveRowsColsImp.h"
#include "grid/features/tests/FeatureFixture.h"

namespace {

class MoveRowsColsTest : public FeatureFixture {
protected:
    void SetUp() override {
        FeatureFixture::SetUp();
        for (ROWCOL r = 1; r <= 8; ++r) Set(r, 1, std::to_string(r));
    }
    std::string Column1() { return Block(1, 1, 8, 1); }
};

TEST(MovedIndexTest, RowsPassedOverShiftByTheBlockSize) {
    struct Case {
        ROWCOL first, last, dest, row, expected;
    };
    const Case cases[] = {
        {5, 6, 2, 6, 3}, {5, 6, 2, 5, 2}, {5, 6, 2, 3, 5}, {5, 6, 2, 2, 4},
        {5, 6, 2, 7, 7}, {2, 3, 5, 2, 5}, {2, 3, 5, 3, 6}, {2, 3, 5, 4, 2},
        {2, 3, 5, 6, 4}, {2, 3, 5, 7, 7}, {2, 3, 5, 1, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GXMovedIndex(c.row, c.first, c.last, c.dest), c.expected)
            << c.first << "-" << c.last << " to " << c.dest << ", row " << c.row;
}

TEST_F(MoveRowsColsTest, RowsLandAtTheDestinationAndTheOthersMakeRoom) {
    ASSERT_TRUE(Core().MoveRows(5, 6, 2));
    EXPECT_EQ(Column1(), "1|5|6|2|3|4|7|8");
    ASSERT_TRUE(Core().MoveRows(2, 3, 5));
    EXPECT_EQ(Column1(), "1|2|3|4|5|6|7|8");
}

TEST_F(MoveRowsColsTest, HeightsSelectionAndCurrentCellMoveWithTheirRows) {
    Core().SetRowHeight(6, 6, 40);
    Core().SelectRange(CGXRange().SetRows(6, 6));
    ASSERT_TRUE(Core().SetCurrentCell(6, 2));
    ASSERT_TRUE(Core().MoveRows(5, 6, 2));
    EXPECT_EQ(Core().GetRowHeight(3), 40);
    EXPECT_NE(Core().GetRowHeight(6), 40);
    EXPECT_TRUE(Core().IsCurrentCell(3, 2));
    ASSERT_EQ(Param().m_SelRects.GetCount(), 1u);
    EXPECT_EQ(Param().m_SelRects.GetHead().top, 3u);
}

TEST_F(MoveRowsColsTest, ColumnsMoveWithTheirWidths) {
    Fill(1, 1, 1, 5);
    Core().SetColWidth(2, 2, 90);
    ASSERT_TRUE(Core().MoveCols(2, 2, 4));
    EXPECT_EQ(Block(1, 1, 1, 5), "r1c1,r1c3,r1c4,r1c2,r1c5");
    EXPECT_EQ(Core().GetColWidth(4), 90);
}

TEST_F(MoveRowsColsTest, AMoveIsOneUndoStepAndRedoRepeatsIt) {
    const std::size_t before = UndoCount();
    ASSERT_TRUE(Core().MoveRows(3, 4, 6));
    EXPECT_EQ(UndoCount(), before + 1);
    EXPECT_EQ(Column1(), "1|2|5|6|7|3|4|8");
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(Column1(), "1|2|3|4|5|6|7|8");
    ASSERT_TRUE(Core().Redo());
    EXPECT_EQ(Column1(), "1|2|5|6|7|3|4|8");
}

TEST_F(MoveRowsColsTest, ACoveringTornByTheMoveIsUncoveredAndUndoRestoresIt) {
    ASSERT_TRUE(Core().SetCoveredCellsRowCol(4, 1, 6, 2));
    ASSERT_TRUE(Core().MoveRows(5, 5, 2));
    CGXRange covering;
    EXPECT_EQ(Core().GetCoveredCellsRowCol(4, 1, covering), nullptr);
    EXPECT_EQ(Core().GetCoveredCellsRowCol(5, 1, covering), nullptr);
    ASSERT_TRUE(Core().Undo());
    ASSERT_NE(Core().GetCoveredCellsRowCol(5, 2, covering), nullptr);
    EXPECT_EQ(covering, CGXRange(4, 1, 6, 2));
    EXPECT_EQ(Column1(), "1|2|3|4|5|6|7|8");
}

TEST_F(MoveRowsColsTest, ACoveringInsideTheBlockMovesWhole) {
    ASSERT_TRUE(Core().SetCoveredCellsRowCol(5, 1, 6, 2));
    ASSERT_TRUE(Core().MoveRows(5, 6, 2));
    CGXRange covering;
    ASSERT_NE(Core().GetCoveredCellsRowCol(3, 2, covering), nullptr);
    EXPECT_EQ(covering, CGXRange(2, 1, 3, 2));
}

TEST_F(MoveRowsColsTest, WithUndoOffTheMoveHappensAndNothingIsRecorded) {
    Param().EnableUndo(false);
    const std::size_t before = UndoCount();
    ASSERT_TRUE(Core().MoveRows(1, 1, 8));
    EXPECT_EQ(Column1(), "2|3|4|5|6|7|8|1");
    EXPECT_EQ(UndoCount(), before);
}

TEST_F(MoveRowsColsTest, RefusedMovesChangeNothingAndKeepEarlierUndoSteps) {
    Core().SetRowHeight(2, 2, 33);  // an undo step of its own
    const std::size_t before = UndoCount();
    struct Case {
        ROWCOL first, last, dest;
    };
    // onto itself; a block past the last row; a destination that would push it past the end;
    // a reversed block
    const Case cases[] = {{3, 4, 3}, {19, 21, 2}, {3, 4, 20}, {5, 4, 1}};
    for (const Case& c : cases) {
        EXPECT_FALSE(Core().MoveRows(c.first, c.last, c.dest)) << c.first << " " << c.dest;
        EXPECT_EQ(Column1(), "1|2|3|4|5|6|7|8");
        EXPECT_EQ(UndoCount(), before);
    }
    ASSERT_TRUE(Core().Undo());
    EXPECT_NE(Core().GetRowHeight(2), 33);
}

TEST_F(MoveRowsColsTest, AReadOnlyGridRefusesTheMove) {
    Core().SaveReadOnly(true);
    EXPECT_FALSE(Core().MoveRows(2, 3, 5));
    EXPECT_EQ(Column1(), "1|2|3|4|5|6|7|8");
}

}  // namespace
