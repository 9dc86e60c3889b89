#include "grid/formula/RangeOps.h"

#include "EngineFixture.h"
#include "grid/formula/FormulaText.h"
#include "grid/formula/Parser.h"

namespace formula::test {
namespace {

class RangeOpsTest : public EngineTest {
protected:
    // The formula of a cell, its value for a constant, "-" for no cell.
    std::string Content(const std::string& address) {
        auto [row, col] = At(address);
        GXEngineCell* c = GXFindCell(Sheet(), row, col);
        if (c == nullptr) {
            return "-";
        }
        if (c->formula) {
            return GXFormulaToText(*c->formula).value_or("?");
        }
        return GXGetCellText(Sheet(), *c);
    }
    GXRangeRef Ref(const char* text) {
        GXRangeRef r;
        EXPECT_TRUE(GXParseRef(text, r)) << text;
        return r;
    }
};

TEST_F(RangeOpsTest, InsertingRowsRewritesReferencesBelow) {
    Set("A2", "2");
    Set("A5", "5");
    Set("B1", "=A5+A2");
    Set("B2", "=SUM(A1:A10)");
    Set("B3", "=SUM(A6:A8)");
    Set("B9", "=$A$5*2");
    GXInsertRows(sheet, 3, 2);
    EXPECT_EQ(Content("B1"), "=A7+A2");
    EXPECT_EQ(Content("B2"), "=SUM(A1..A12)") << "a range across the insertion grows";
    EXPECT_EQ(Content("B5"), "=SUM(A8..A10)");
    EXPECT_EQ(Content("B11"), "=$A$7*2");
    EXPECT_EQ(Content("A7"), "5");
    EXPECT_EQ(Content("A5"), "-");
    EXPECT_EQ(Content("A2"), "2");
    GXRecalcAll(sheet);
    EXPECT_EQ(Text("B1"), "7");
}

TEST_F(RangeOpsTest, InsertingColumnsRewritesReferencesRight) {
    Set("C1", "3");
    Set("A1", "=C1+B1");
    GXInsertCols(sheet, 1, 3);
    EXPECT_EQ(Content("A1"), "=F1+E1");
    EXPECT_EQ(Content("F1"), "3");
}

TEST_F(RangeOpsTest, RemovingRowsPullsReferencesUp) {
    Set("A3", "3");
    Set("A6", "6");
    Set("B1", "=A6");
    Set("B2", "=A3");
    Set("B7", "=SUM(A1:A10)");
    GXRemoveRows(sheet, 3, 2);
    EXPECT_EQ(Content("B1"), "=A4");
    EXPECT_EQ(Content("B2"), "=A3") << "keeps pointing at the cleared row";
    EXPECT_EQ(Content("B5"), "=SUM(A1..A8)");
    EXPECT_EQ(Content("A4"), "6");
    EXPECT_EQ(Content("A3"), "-");
    EXPECT_EQ(Content("B7"), "-");
    GXRecalcAll(sheet);
    EXPECT_EQ(Text("B2"), "Error!") << "row 3 is empty now";
}

TEST_F(RangeOpsTest, RemovingColumnsPullsReferencesLeft) {
    Set("E1", "5");
    Set("A2", "=E1");
    GXRemoveCols(sheet, 1, 2);
    EXPECT_EQ(Content("A2"), "=C1");
    EXPECT_EQ(Content("C1"), "5");
}

TEST_F(RangeOpsTest, ReferencesPushedOffTheSheetBecomeTheErrorLiteral) {
    const std::string last = std::to_string(GX_MAX_ROW);
    Set("A1", "=A" + last + "+1");
    Set("B1", "=A" + std::to_string(GX_MAX_ROW - 1));
    GXInsertRows(sheet, 10, 1);
    EXPECT_EQ(Content("A1"), "=??+1");
    EXPECT_EQ(Content("B1"), "=A" + last);
    GXRecalcAll(sheet);
    EXPECT_EQ(Text("A1"), "Error!");
}

TEST_F(RangeOpsTest, CopyingMovesOnlyRelativeCorners) {
    Set("B1", "=A1+$A$1+A$1+$A1");
    Set("C1", "=SUM(A1:$A$3)");
    GXCopyCells(sheet, Ref("B1:C1"), 2, 1, true);
    EXPECT_EQ(Content("B2"), "=A2+$A$1+A$1+$A2");
    EXPECT_EQ(Content("C2"), "=SUM(A2..$A$3)");
    EXPECT_EQ(Content("B1"), "=A1+$A$1+A$1+$A1") << "the source stays";
    GXCopyCells(sheet, Ref("B1"), 1, 0, true);
    EXPECT_EQ(Content("A1"), "=??+$A$1+??+$A1") << "a column left of A does not exist";
}

TEST_F(RangeOpsTest, CopyingRecalculatesUnlessTold) {
    Set("A1", "1");
    Set("A2", "2");
    Set("B1", "=A1*10");
    GXCopyCells(sheet, Ref("B1"), 2, 1, false);
    EXPECT_EQ(Text("B2"), "20");
}

TEST_F(RangeOpsTest, MovingABlockOverwritesAndKeepsUndoCells) {
    Set("A1", "1");
    Set("A2", "2");
    Set("B1", "10");
    Set("B2", "=A1");
    Set("C1", "=A1+B1");
    Set("C2", "=SUM(A1:A2)");
    Sheet().undoRecording = true;
    GXMoveCells(sheet, Ref("A1:A2"), 1, 1, false);
    Sheet().undoRecording = false;
    EXPECT_EQ(Content("A1"), "-");
    EXPECT_EQ(Content("B1"), "1");
    EXPECT_EQ(Content("B2"), "2");
    EXPECT_EQ(Content("C1"), "=B1+B1");
    EXPECT_EQ(Content("C2"), "=SUM(B1..B2)");
    // Kept: the two overwritten cells and the formula C1 as it was (it read B1).
    ASSERT_EQ(Sheet().undoCells.size(), 3u);
    int overwrittenNumbers = 0;
    for (GXEngineCell* c : Sheet().undoCells) {
        EXPECT_FALSE(c->has(GX_CF_LINKED));
        overwrittenNumbers += c->kind() == GX_CELL_NUMBER && c->number == 10;
        if (c->row == 1 && c->col == 2) {
            EXPECT_EQ(GXFormulaToText(*c->formula), "=A1+B1");
        }
    }
    EXPECT_EQ(overwrittenNumbers, 1);
}

TEST_F(RangeOpsTest, MovingNamesWithTheirCells) {
    Set("A1", "4");
    ASSERT_TRUE(GXSetRangeName(sheet, "Base", Ref("A1")));
    ASSERT_TRUE(GXSetRangeName(sheet, "Area", Ref("A1:C3")));
    Set("D1", "=Base*2");
    GXMoveCells(sheet, Ref("A1:A1"), 5, 0, false);
    EXPECT_EQ(GXRefToText(GXFindRangeName(Sheet(), "base")->ref), "A5");
    EXPECT_EQ(GXRefToText(GXFindRangeName(Sheet(), "AREA")->ref), "A3..C5");
    GXRecalcAll(sheet);
    EXPECT_EQ(Text("D1"), "8");
}

TEST_F(RangeOpsTest, MovingRowsKeepsFormulasOnTheirData) {
    for (int r = 1; r <= 5; ++r) {
        Set("A" + std::to_string(r), std::to_string(r * 10));
    }
    Set("B1", "=A4");
    Set("B2", "=A2");
    Set("C1", "=A5");
    GXMoveRowsOrCols(sheet, true, 4, 5, 2);  // rows 4..5 now start at row 2
    EXPECT_EQ(Content("A2"), "40");
    EXPECT_EQ(Content("A3"), "50");
    EXPECT_EQ(Content("A4"), "20");
    EXPECT_EQ(Content("A5"), "30");
    EXPECT_EQ(Content("B1"), "=A2");
    EXPECT_EQ(Content("B4"), "=A4") << "row 2 moved to row 4 with its formula";
    EXPECT_EQ(Content("C1"), "=A3");
    GXMoveRowsOrCols(sheet, true, 2, 3, 4);  // and back
    EXPECT_EQ(Content("A4"), "40");
    EXPECT_EQ(Content("B1"), "=A4");
}

TEST_F(RangeOpsTest, SortMoveReordersRowsAndTheirReferences) {
    Set("A1", "30");
    Set("A2", "10");
    Set("A3", "20");
    Set("B1", "=A1*2");
    Set("C1", "=A2");
    const int order[] = {1, 2, 0};  // new row 1 takes old row 2, ...
    GXSortMove(sheet, true, Ref("A1:B3"), order, false);
    EXPECT_EQ(Content("A1"), "10");
    EXPECT_EQ(Content("A2"), "20");
    EXPECT_EQ(Content("A3"), "30");
    EXPECT_EQ(Content("B3"), "=A3*2");
    EXPECT_EQ(Content("C1"), "=A1") << "outside the sorted range, following its row";
}

TEST_F(RangeOpsTest, ClearingKeepsPlaceholdersWhenAsked) {
    Set("A1", "1");
    Set("A2", "=A1");
    GXRangeRef far = GXMakeRange(100, 0, 200, 3);
    EXPECT_FALSE(GXClearRange(sheet, far));
    Sheet().keepPlaceholders = true;
    EXPECT_TRUE(GXClearRange(sheet, Ref("A1:A2")));
    GXEngineCell* ph = GXFindCell(Sheet(), 1, 0);
    ASSERT_NE(ph, nullptr);
    EXPECT_EQ(ph->kind(), GX_CELL_PLACEHOLDER);
    EXPECT_TRUE(ph->has(GX_CF_CHANGED));
    EXPECT_EQ(Sheet().changedRanges.size(), 1u);
}

TEST_F(RangeOpsTest, DeletingANameLeavesPlainReferences) {
    Set("A1", "4");
    ASSERT_TRUE(GXSetRangeName(sheet, "Base", Ref("A1")));
    ASSERT_TRUE(GXSetRangeName(sheet, "Sum.All", Ref("A1:A3")));
    EXPECT_FALSE(GXSetRangeName(sheet, "1x", Ref("A1")));
    EXPECT_FALSE(GXSetRangeName(sheet, std::string(32, 'n'), Ref("A1")));
    EXPECT_FALSE(GXSetRangeName(sheet, "a b", Ref("A1")));
    Set("B1", "=Base+SUM(Sum.All)");
    EXPECT_TRUE(GXDeleteRangeName(sheet, "base"));
    EXPECT_FALSE(GXDeleteRangeName(sheet, "base"));
    EXPECT_EQ(Content("B1"), "=A1+SUM(Sum.All)");
    GXRecalcAll(sheet);
    EXPECT_EQ(Text("B1"), "8");
}

// Every other node of the formula (number, string, call, relative reference, constraint,
// attached list) keeps its contents when the name's nodes become plain references.
TEST_F(RangeOpsTest, DeletingANameLeavesTheFormulasOtherNodesAsTheyWere) {
    Set("A1", "4");
    ASSERT_TRUE(GXSetRangeName(sheet, "Base", Ref("A1")));
    Set("B2", "=Base+0.5+LENGTH(\"abc\")+#{-1,-1}*2;Base>0\\Base,A1:A2");
    EXPECT_EQ(Content("B2"), "=Base+0.5+LENGTH(\"abc\")+#{-1,-1}*2;Base>0\\Base,A1..A2");
    GXRecalcAll(sheet);
    EXPECT_EQ(Text("B2"), "15.5");
    ASSERT_TRUE(GXDeleteRangeName(sheet, "Base"));
    EXPECT_EQ(Content("B2"), "=A1+0.5+LENGTH(\"abc\")+#{-1,-1}*2;A1>0\\A1,A1..A2");
    Set("A1", "5");
    GXRecalcAll(sheet);
    EXPECT_EQ(Text("B2"), "18.5");
}

}  // namespace
}  // namespace formula::test
