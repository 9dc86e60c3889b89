// Selecting with real keys and mouse events on a grid child window, the exclusion of a range,
// the row modes and permissions, and the clipboard keys on a selection made by dragging.
#include "framework/persist/Clipboard.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/tests/GridFixture.h"
#include "grid/features/CGXGridClipboard.h"
#include "grid/features/CGXGridUserSelectRangeImp.h"
#include "grid/features/GXFeatureInstall.h"

#include <QCoreApplication>
#include <QTest>

#include <algorithm>

namespace {

class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXInitWithFeatures();
        wnd_ = std::make_unique<CGXGridWnd>();
        wnd_->Create(nullptr, {0, 0, 420, 300}, 0, fw::WS_VISIBLE);
        wnd_->Initialize();
        SetTestStandardFont(Grid());
        Grid().SetRowCount(30, 0);
        Grid().SetColCount(6, 0);
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        wnd_.reset();
        GXTerminateLibrary();
    }
    CGXGridWnd& Grid() { return *wnd_; }
    CGXGridParam& Param() { return *Grid().GetParam(); }
    CGXRangeList& Sel() { return Param().m_SelRects; }
    QPoint At(ROWCOL row, ROWCOL col) {
        const fw::Rect r = Grid().CalcRectFromRowCol(row, col);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(wnd_.get(), key, mods);
    }
    void Drag(ROWCOL r1, ROWCOL c1, ROWCOL r2, ROWCOL c2,
              Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mousePress(wnd_.get(), Qt::LeftButton, mods, At(r1, c1));
        QTest::mouseMove(wnd_.get(), At(r1, c1));
        if (r1 != r2 || c1 != c2) {
            QTest::mouseMove(wnd_.get(), At((r1 + r2) / 2, (c1 + c2) / 2));
            QTest::mouseMove(wnd_.get(), At(r2, c2));
        }
        QTest::mouseRelease(wnd_.get(), Qt::LeftButton, mods, At(r2, c2));
    }
    bool Only(const CGXRange& r) { return Sel().GetCount() == 1 && Sel().GetHead() == r; }
    std::unique_ptr<CGXGridWnd> wnd_;
};

TEST_F(SelectionTest, ShiftArrowsExtendFromTheAnchor) {
    Grid().SetCurrentCell(2, 2);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_TRUE(Only(CGXRange(2, 2, 3, 2)));
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_TRUE(Only(CGXRange(2, 2, 4, 2)));
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_TRUE(Only(CGXRange(2, 2, 4, 3)));
    Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_TRUE(Only(CGXRange(2, 2, 3, 3)));
    // A plain move ends the extension; the selection stays.
    Key(Qt::Key_Down);
    EXPECT_TRUE(Only(CGXRange(2, 2, 3, 3)));
    // Without permission 0x40 Shift only moves.
    Param().EnableSelection(0xFF & ~0x40);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_TRUE(Only(CGXRange(2, 2, 3, 3)));
}

// Rows removed above a selection in progress: the range, its anchor and the current cell move
// up together, so that Shift+arrow goes on extending the same block.
TEST_F(SelectionTest, ShiftArrowsGoOnFromTheAnchorAfterRowsAboveWereRemoved) {
    Grid().SetCurrentCell(9, 2);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_TRUE(Only(CGXRange(9, 2, 10, 2)));
    ASSERT_TRUE(Grid().RemoveRows(2, 3));
    EXPECT_TRUE(Only(CGXRange(7, 2, 8, 2)));
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_TRUE(Only(CGXRange(7, 2, 9, 2)));
    // Removing the rows of the whole range ends it; the next Shift+arrow starts a new one.
    ASSERT_TRUE(Grid().RemoveRows(7, 9));
    EXPECT_EQ(Sel().GetCount(), 0u);
    Grid().SetCurrentCell(4, 3);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_TRUE(Only(CGXRange(4, 3, 5, 3)));
}

TEST_F(SelectionTest, DraggingSelectsCellsAndCtrlAddsAFurtherRange) {
    Drag(2, 2, 4, 3);
    EXPECT_TRUE(Only(CGXRange(2, 2, 4, 3)));
    EXPECT_FALSE(Grid().m_bMouseSelecting);
    Drag(6, 1, 7, 1, Qt::ControlModifier);
    ASSERT_EQ(Sel().GetCount(), 2u);
    EXPECT_EQ(Sel().GetTail(), CGXRange(6, 1, 7, 1));
    // Shift+click extends the last range from its anchor.
    QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::ShiftModifier, At(9, 2));
    EXPECT_EQ(Sel().GetTail(), CGXRange(6, 1, 9, 2));
    // A plain click clears the selection.
    QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(12, 4));
    EXPECT_TRUE(Sel().IsEmpty());
}

TEST_F(SelectionTest, HeaderClicksSelectRowsColumnsAndTheTable) {
    // Pressing on the header of a selected row or column would start moving it.
    Param().EnableMoveRows(false);
    Param().EnableMoveCols(false);
    QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(5, 0));
    EXPECT_TRUE(Only(CGXRange().SetRows(5, 5)));
    Drag(5, 0, 7, 0);
    EXPECT_TRUE(Only(CGXRange().SetRows(5, 7)));
    QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(0, 3));
    EXPECT_TRUE(Only(CGXRange().SetCols(3, 3)));
    Drag(0, 3, 0, 2);
    EXPECT_TRUE(Only(CGXRange().SetCols(2, 3)));
    QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(0, 0));
    ASSERT_EQ(Sel().GetCount(), 2u);
    EXPECT_TRUE(Sel().GetTail().IsTable());
    QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(0, 0));
    EXPECT_TRUE(Sel().IsEmpty());
    // Without permission 0x01 dragging over row headers selects nothing.
    Param().EnableSelection(0xFF & ~0x01);
    Drag(5, 0, 8, 0);
    EXPECT_TRUE(Sel().IsEmpty());
}

TEST_F(SelectionTest, SingleRowModeIgnoresCtrlAndShift) {
    Param().SetSelectionMode(0x01);
    QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(3, 2));
    QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::ControlModifier, At(6, 2));
    EXPECT_TRUE(Only(CGXRange().SetRows(6, 6)));
    QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::ShiftModifier, At(8, 2));
    EXPECT_TRUE(Only(CGXRange().SetRows(8, 8)));
    Key(Qt::Key_Down);
    EXPECT_TRUE(Only(CGXRange().SetRows(9, 9)));
}

TEST_F(SelectionTest, KeepSingleCellReleaseEndsTheMouseSelection) {
    Grid().m_bKeepSingleCell = true;
    QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(4, 4));
    EXPECT_TRUE(Only(CGXRange(4, 4)));
    EXPECT_FALSE(Grid().m_bMouseSelecting);
    // A move without a press changes nothing.
    QTest::mouseMove(wnd_.get(), At(8, 5));
    EXPECT_TRUE(Only(CGXRange(4, 4)));
}

TEST_F(SelectionTest, ExcludingTheMiddleCellLeavesTheOtherEight) {
    Sel().AddTail(CGXRange(2, 2, 4, 4));
    ASSERT_TRUE(Grid().GetUserSelectRangeImp()->SelectRange(&Grid(), CGXRange(3, 3), false, true));
    EXPECT_EQ(Sel().GetCount(), 4u);
    int cells = 0;
    for (ROWCOL r = 1; r <= 5; ++r)
        for (ROWCOL c = 1; c <= 5; ++c) {
            const bool in = Sel().ContainsCell(r, c);
            const bool want = r >= 2 && r <= 4 && c >= 2 && c <= 4 && !(r == 3 && c == 3);
            EXPECT_EQ(in, want) << r << "," << c;
            cells += in;
        }
    EXPECT_EQ(cells, 8);
    // Rows cut by rows stay rows.
    CGXRangeList rows;
    rows.AddTail(CGXRange().SetRows(1, 5));
    GXExcludeRange(rows, CGXRange().SetRows(3, 3), 30, 6);
    ASSERT_EQ(rows.GetCount(), 2u);
    for (const CGXRange& want : {CGXRange().SetRows(1, 2), CGXRange().SetRows(4, 5)})
        EXPECT_NE(std::find(rows.begin(), rows.end(), want), rows.end());
}

TEST_F(SelectionTest, CtrlCAndCtrlVOfADraggedBlockAndDeleteClears) {
    Grid().m_nClipboardFlags = GX_DNDTEXT;
    for (ROWCOL r = 1; r <= 2; ++r)
        for (ROWCOL c = 1; c <= 2; ++c)
            Grid().SetValueRange(CGXRange(r, c), std::to_string(r * 10 + c), gxOverride, 0);
    Drag(1, 1, 2, 2);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(fw::Clipboard().GetText().value_or(""), "11\t12\r\n21\t22\r\n");
    QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(5, 3));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Grid().GetValueRowCol(6, 4), "22");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Grid().GetValueRowCol(6, 4), "");
    Drag(1, 1, 1, 2);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Grid().GetValueRowCol(1, 1), "");
    EXPECT_EQ(Grid().GetValueRowCol(2, 1), "21");
}

TEST_F(SelectionTest, TheSelectionIsDrawnInverted) {
    Drag(2, 2, 4, 3);
    QCoreApplication::processEvents();
    for (int i = 0; i < 3 && wnd_->GetUpdateRect(nullptr); ++i) wnd_->UpdateWindow();
    const QImage image = wnd_->BackingImage().copy();
    image.save(QString::fromStdString(std::string(GRID_FEATURES_BUILD_DIR) + "/selection.png"));
    const fw::Rect in = Grid().CalcRectFromRowCol(3, 3), out = Grid().CalcRectFromRowCol(6, 5);
    const QColor inside = image.pixelColor(in.left + 3, in.top + 3);
    const QColor outside = image.pixelColor(out.left + 3, out.top + 3);
    EXPECT_NE(inside, outside);
    EXPECT_LT(inside.lightness(), outside.lightness());
}

}  // namespace
