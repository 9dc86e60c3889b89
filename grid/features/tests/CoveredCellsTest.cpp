#include "grid/features/CGXCoveredCellPool.h"
#include "grid/features/CGXGridCoveredCellsImp.h"
#include "grid/features/tests/FeatureFixture.h"
#include "grid/features/tests/LayoutWndFixture.h"

#include <climits>

namespace {

TEST(CoveredCellPool, RefusesAnOverlapBeforeWritingAnything) {
    CGXCoveredCellPool pool;
    CGXRange a(2, 2, 3, 3), b(3, 1, 5, 2);
    ASSERT_TRUE(pool.SetRange(2, 2, 3, 3, &a));
    // b's first row is free at its left cell but meets a at (3, 2): nothing of b is written.
    EXPECT_FALSE(pool.SetRange(3, 1, 5, 2, &b));
    EXPECT_EQ(pool.Lookup(3, 1), nullptr);
    EXPECT_EQ(pool.Lookup(4, 1), nullptr);
    EXPECT_EQ(pool.Lookup(3, 2), &a);
    EXPECT_FALSE(pool.SetRange(7, 7, 7, 7, &b));  // a single cell is no covering
    EXPECT_EQ(pool.Lookup(100, 100), nullptr);
    // Shrinking an entry clears the cells it no longer holds on its rows.
    ASSERT_TRUE(pool.SetRange(2, 2, 3, 2, &a));
    EXPECT_EQ(pool.Lookup(2, 3), nullptr);
    EXPECT_EQ(pool.Lookup(3, 2), &a);
    ASSERT_TRUE(pool.SetRange(2, 2, 3, 2, nullptr));
    EXPECT_EQ(pool.Lookup(2, 2), nullptr);
}

class CoveredCellsTest : public FeatureFixture {
protected:
    std::string CoverOf(ROWCOL row, ROWCOL col) {
        CGXRange r;
        if (!Core().GetCoveredCellsRowCol(row, col, r))
            return "-";
        return std::to_string(r.top) + "," + std::to_string(r.left) + "," +
               std::to_string(r.bottom) + "," + std::to_string(r.right);
    }
};

TEST_F(CoveredCellsTest, CoverUncoverUndoRedo) {
    ASSERT_TRUE(Core().SetCoveredCellsRowCol(2, 2, 4, 3));
    EXPECT_EQ(CoverOf(4, 3), "2,2,4,3");
    EXPECT_EQ(CoverOf(5, 3), "-");
    // Covering again from the same cell replaces the block.
    ASSERT_TRUE(Core().SetCoveredCellsRowCol(2, 2, 2, 5));
    EXPECT_EQ(CoverOf(4, 3), "-");
    EXPECT_EQ(CoverOf(2, 5), "2,2,2,5");
    // A single cell removes the covering that starts there.
    ASSERT_TRUE(Core().SetCoveredCellsRowCol(2, 2, 2, 2));
    EXPECT_EQ(CoverOf(2, 3), "-");
    EXPECT_TRUE(Param().m_CoveredCells.IsEmpty());
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(CoverOf(2, 5), "2,2,2,5");
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(CoverOf(4, 3), "2,2,4,3");
    EXPECT_EQ(CoverOf(2, 5), "-");
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(CoverOf(2, 2), "-");
    ASSERT_TRUE(Core().Redo());
    EXPECT_EQ(CoverOf(3, 3), "2,2,4,3");
    EXPECT_EQ(Param().GetUndoList().front()->GetDescription(), "Cover Cells");
}

TEST_F(CoveredCellsTest, OverlapsAndHugeCoordinatesAreRefused) {
    ASSERT_TRUE(Core().SetCoveredCellsRowCol(2, 2, 4, 4));
    const std::size_t undo = UndoCount();
    struct Case {
        ROWCOL t, l, b, r;
    } refused[] = {
        {3, 1, 5, 2}, {1, 1, 2, 2}, {3, 3, 6, 6}, {1, 1, INT_MAX, 2}, {1, 1, 2, INT_MAX}};
    for (const Case& c : refused) {
        EXPECT_FALSE(Core().SetCoveredCellsRowCol(c.t, c.l, c.b, c.r)) << c.t << "," << c.l;
        EXPECT_EQ(Param().m_CoveredCells.GetCount(), 1u);
    }
    EXPECT_EQ(UndoCount(), undo);
    EXPECT_EQ(CoverOf(5, 1), "-");
    EXPECT_EQ(CoverOf(4, 4), "2,2,4,4");
    CGXRange none;
    EXPECT_EQ(Core().GetCoveredCellsRowCol(INT_MAX, 2, none), nullptr);
}

// The pool is found by its kind: one of a kind derived from the usual pool serves coverings as
// the usual one does; an object of an unrelated kind is no pool, and nothing can be covered.
TEST_F(CoveredCellsTest, APoolOfAnotherKindIsUsedOnlyWhenItIsAPool) {
    struct DerivedPool : CGXCoveredCellPool {};
    struct NotAPool : CGXOwnedObject {};
    ASSERT_TRUE(Param().m_CoveredCells.IsEmpty());
    Param().m_pCoveredCellPool = std::make_unique<DerivedPool>();
    ASSERT_TRUE(Core().SetCoveredCellsRowCol(2, 2, 4, 3));
    EXPECT_EQ(CoverOf(4, 3), "2,2,4,3");
    EXPECT_EQ(CoverOf(5, 3), "-");
    EXPECT_NE(GXCoveredCellPoolOf(&Core()), nullptr);
    ASSERT_TRUE(Core().SetCoveredCellsRowCol(2, 2, 2, 2));
    ASSERT_TRUE(Param().m_CoveredCells.IsEmpty());

    Param().m_pCoveredCellPool = std::make_unique<NotAPool>();
    EXPECT_EQ(GXCoveredCellPoolOf(&Core()), nullptr);
    EXPECT_FALSE(Core().SetCoveredCellsRowCol(2, 2, 4, 3));
    EXPECT_TRUE(Param().m_CoveredCells.IsEmpty());
    EXPECT_EQ(CoverOf(4, 3), "-");
}

TEST_F(CoveredCellsTest, CurrentCellInsideMovesToTheTopLeftAndRangesGrow) {
    ASSERT_TRUE(Core().SetCurrentCell(3, 3));
    ASSERT_TRUE(Core().SetCoveredCellsRowCol(2, 2, 4, 4));
    ROWCOL row = 0, col = 0;
    ASSERT_TRUE(Core().GetCurrentCell(row, col));
    EXPECT_EQ(row, 2u);
    EXPECT_EQ(col, 2u);
    ASSERT_TRUE(Core().SetCoveredCellsRowCol(5, 4, 6, 6));
    CGXRange r(4, 1, 4, 1);
    Core().ExpandRangeByCoverings(r);  // meets nothing
    EXPECT_EQ(r.right, 1u);
    r = CGXRange(4, 3, 4, 3);  // (2,2)-(4,4) brings in (5,4)-(6,6) through row 4
    Core().ExpandRangeByCoverings(r);
    EXPECT_EQ(r.top, 2u);
    EXPECT_EQ(r.left, 2u);
    EXPECT_EQ(r.bottom, 4u);
    EXPECT_EQ(r.right, 4u);
    r = CGXRange(4, 4, 5, 4);
    Core().ExpandRangeByCoverings(r);
    EXPECT_EQ(r.bottom, 6u);
    EXPECT_EQ(r.right, 6u);
}

using CoveredCellsWndTest = LayoutWndFixture;

TEST_F(CoveredCellsWndTest, TypingIntoACoveredCellEditsItsTopLeftCell) {
    ASSERT_TRUE(wnd_->SetCoveredCellsRowCol(2, 2, 4, 3));
    Paint();
    // A click on the covering's last cell makes its top-left cell current.
    QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, CenterOf(4, 3));
    ROWCOL row = 0, col = 0;
    ASSERT_TRUE(wnd_->GetCurrentCell(row, col));
    EXPECT_EQ(row, 2u);
    EXPECT_EQ(col, 2u);
    QTest::keyClicks(wnd_.get(), "joined");
    QTest::keyClick(wnd_.get(), Qt::Key_Return);
    EXPECT_EQ(wnd_->GetStoredValueRowCol(2, 2), "joined");
    EXPECT_EQ(wnd_->GetStoredValueRowCol(4, 3), "");
    // Moving down from the covering leaves it below its bottom row.
    QTest::keyClick(wnd_.get(), Qt::Key_Down);
    ASSERT_TRUE(wnd_->GetCurrentCell(row, col));
    EXPECT_EQ(row, 5u);
}

TEST_F(CoveredCellsWndTest, CoveredCellsGolden) {
    wnd_->SetValueRange(CGXRange(2, 2), "Covered block of six", gxOverride, 0);
    wnd_->SetValueRange(CGXRange(3, 4), "under", gxOverride, 0);  // hidden behind the covering
    CGXStyle look;
    look.SetInterior(CGXBrush().SetColor(fw::Rgb(255, 255, 192)))
        .SetHorizontalAlignment(fw::DT_CENTER)
        .SetVerticalAlignment(fw::DT_VCENTER)
        .SetBorders(gxBorderAll, CGXPen(fw::PS_SOLID, 1, fw::Rgb(0, 0, 160)));
    wnd_->SetStyleRange(CGXRange(2, 2), &look, gxOverride, 0, nullptr, 0);
    wnd_->SetValueRange(CGXRange(7, 1), "Wide", gxOverride, 0);
    ASSERT_TRUE(wnd_->SetCoveredCellsRowCol(2, 2, 3, 4));
    ASSERT_TRUE(wnd_->SetCoveredCellsRowCol(7, 1, 7, 5));
    wnd_->Invalidate();
    const QImage image = Paint();
    // Inside the covering no grid line is drawn: the pixel between its columns is the fill.
    const fw::Rect inner = wnd_->CalcRectFromRowCol(3, 3);
    EXPECT_EQ(image.pixel(inner.left, inner.top + 3) & 0xFFFFFFu, 0xFFFFC0u);
    ExpectGolden(image, "covered");
}

}  // namespace

namespace {

// A covering across the frozen rows and columns shows in four pieces, each a window onto the
// whole covering: the text at its bottom right lands in the scrolled piece's corner.
TEST_F(CoveredCellsWndTest, ACoveringAcrossFrozenRowsAndColumnsDrawsInFourPieces) {
    CGXStyle look;
    look.SetInterior(CGXBrush().SetColor(fw::Rgb(255, 255, 192)))
        .SetHorizontalAlignment(fw::DT_RIGHT)
        .SetVerticalAlignment(fw::DT_BOTTOM)
        .SetBorders(gxBorderAll, CGXPen(fw::PS_SOLID, 1, fw::Rgb(0, 0, 160)));
    wnd_->SetStyleRange(CGXRange(1, 1), &look, gxOverride, 0, nullptr, 0);
    wnd_->SetValueRange(CGXRange(1, 1), "Corner", gxOverride, 0);
    ASSERT_TRUE(wnd_->SetCoveredCellsRowCol(1, 1, 8, 5));
    wnd_->SetFrozenRows(2, 0, 0);
    wnd_->SetFrozenCols(1, 0, 0);
    wnd_->SetTopRow(6, 0, false);
    wnd_->SetLeftCol(4, 0, false);
    wnd_->Invalidate();
    const QImage image = Paint();
    ExpectGolden(image, "covered_frozen");

    auto darkIn = [&image](const fw::Rect& r) {
        int dark = 0;
        for (int y = r.top + 2; y < r.bottom - 2; ++y)
            for (int x = r.left + 2; x < r.right - 2; ++x)
                if (qGray(image.pixel(x, y)) < 96)
                    ++dark;
        return dark;
    };
    // The text shows once, in the scrolled rows and columns, above row 8's bottom.
    EXPECT_GT(darkIn(wnd_->CalcRectFromRowCol(8, 5)), 10);
    for (auto [row, col] : {std::pair<ROWCOL, ROWCOL>{1, 1}, {2, 5}, {8, 1}, {6, 4}})
        EXPECT_EQ(darkIn(wnd_->CalcRectFromRowCol(row, col)), 0) << row << "," << col;
    // Every piece is filled.
    for (auto [row, col] : {std::pair<ROWCOL, ROWCOL>{1, 1}, {1, 4}, {7, 1}, {7, 4}}) {
        const fw::Rect r = wnd_->CalcRectFromRowCol(row, col);
        EXPECT_EQ(image.pixel(r.left + 4, r.top + 4) & 0xFFFFFFu, 0xFFFFC0u) << row << "," << col;
    }
}

}  // namespace
