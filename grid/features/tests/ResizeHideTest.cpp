// Hidden rows and columns and resizing with the mouse: real mouse events on the headers of an
// offscreen grid, and the undo of each change.
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/tests/GridFixture.h"
#include "grid/features/GXBitArray.h"
#include "grid/features/GXFeatureInstall.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

// ----- bit arrays ------------------------------------------------------------------------------

std::string Bits(const gxbits::Bytes& b, ROWCOL n) {
    std::string s;
    for (ROWCOL i = 0; i < n; ++i) s += gxbits::Test(b, i) ? '1' : '0';
    return s;
}

gxbits::Bytes Make(const std::string& s) {
    gxbits::Bytes b;
    for (std::size_t i = 0; i < s.size(); ++i) gxbits::Set(b, static_cast<ROWCOL>(i), s[i] == '1');
    return b;
}

TEST(BitArray, InsertRemoveMove) {
    gxbits::Bytes empty;
    EXPECT_FALSE(gxbits::Test(empty, 10000));
    gxbits::Set(empty, 10000, false);
    EXPECT_TRUE(empty.empty());
    gxbits::Set(empty, 17, true);
    EXPECT_EQ(empty.size(), 3u);

    const struct {
        const char* name;
        const char* before;
        void (*op)(gxbits::Bytes&);
        const char* after;
    } cases[] = {
        {"insert two before bit 5", "0000010001", [](gxbits::Bytes& b) { gxbits::Insert(b, 5, 2); },
         "000000010001"},
        {"insert past the end", "01", [](gxbits::Bytes& b) { gxbits::Insert(b, 40, 3); }, "01"},
        {"remove 2..4", "0110110001", [](gxbits::Bytes& b) { gxbits::Remove(b, 2, 4); },
         "0110001000"},
        {"remove across bytes", "00000001100000001",
         [](gxbits::Bytes& b) { gxbits::Remove(b, 6, 9); }, "0000000000001000000"},
        {"move 1..2 before 6", "0110000100", [](gxbits::Bytes& b) { gxbits::Move(b, 1, 2, 6); },
         "0000110100"},
        {"move 6..7 before 1", "0000001100", [](gxbits::Bytes& b) { gxbits::Move(b, 6, 7, 1); },
         "0110000000"},
    };
    for (const auto& c : cases) {
        gxbits::Bytes b = Make(c.before);
        c.op(b);
        EXPECT_EQ(Bits(b, static_cast<ROWCOL>(std::string(c.after).size())), c.after) << c.name;
        EXPECT_TRUE(b.empty() || b.back() != 0) << c.name << ": trailing zero bytes kept";
    }
}

// ----- hiding ----------------------------------------------------------------------------------

class ResizeHideTest : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXInitWithFeatures();
        wnd_ = std::make_unique<CGXGridWnd>();
        wnd_->Create(nullptr, {0, 0, 600, 300}, 0, fw::WS_VISIBLE);
        wnd_->Initialize();
        SetTestStandardFont(Core());
        Param().EnableUndo(false);  // setting the size up is no step to undo
        Core().SetRowCount(20, 0);
        Core().SetColCount(8, 0);
        Param().EnableUndo(true);
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        wnd_.reset();
        GXTerminateLibrary();
    }
    CGXGridWnd& Core() { return *wnd_; }
    CGXGridParam& Param() { return *Core().GetParam(); }
    std::size_t UndoCount() { return Param().GetUndoList().size(); }
    fw::Rect R(ROWCOL r, ROWCOL c) { return Core().CalcRectFromRowCol(r, c); }
    // Drags from one point to another with the left button.
    void DragPx(QPoint from, QPoint to) {
        QTest::mousePress(wnd_.get(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(wnd_.get(), QPoint((from.x() + to.x()) / 2, (from.y() + to.y()) / 2));
        QTest::mouseMove(wnd_.get(), to);
        QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, to);
    }
    // The right edge of column c in its header, and the bottom edge of row r in its header.
    QPoint ColEdge(ROWCOL c) { return QPoint(R(0, c).right - 2, R(0, c).top + 5); }
    QPoint RowEdge(ROWCOL r) { return QPoint(R(r, 0).left + 5, R(r, 0).bottom - 2); }
    int W(ROWCOL c) { return Core().GetColWidth(c); }
    int H(ROWCOL r) { return Core().GetRowHeight(r); }

    std::unique_ptr<CGXGridWnd> wnd_;
};

TEST_F(ResizeHideTest, HidingChangesOnlyWhatWasShownAndUndoes) {
    EXPECT_TRUE(Core().HideRows(5, 6));
    EXPECT_FALSE(Core().HideRows(5, 6));  // already hidden: nothing changed
    EXPECT_TRUE(Core().IsRowHidden(5));
    EXPECT_EQ(H(5), 0);
    EXPECT_EQ(UndoCount(), 1u);
    EXPECT_EQ(Param().GetUndoList().front()->GetDescription(), "Hide Rows");
    // A row hidden keeps its own height for when it is shown again.
    Core().SetRowHeight(8, 8, 40);
    Core().HideRows(8, 8);
    Core().HideRows(8, 8, false);
    EXPECT_EQ(H(8), 40);
    Core().Undo();
    Core().Undo();
    Core().Undo();
    EXPECT_FALSE(Core().IsRowHidden(8));
    EXPECT_NE(H(8), 40);
    Core().Undo();
    EXPECT_FALSE(Core().IsRowHidden(5));
    EXPECT_FALSE(Core().IsRowHidden(6));
    Core().Redo();
    EXPECT_TRUE(Core().IsRowHidden(5) && Core().IsRowHidden(6));
}

TEST_F(ResizeHideTest, HiddenStateMovesWithInsertedAndRemovedRows) {
    Core().HideRows(5, 5);
    Core().InsertRows(3, 2);
    EXPECT_TRUE(Core().IsRowHidden(7));
    EXPECT_FALSE(Core().IsRowHidden(5));
    EXPECT_FALSE(Core().IsRowHidden(6));
    Core().HideCols(4, 4);
    Core().RemoveCols(2, 3);
    EXPECT_TRUE(Core().IsColHidden(2));
    EXPECT_FALSE(Core().IsColHidden(4));
}

TEST_F(ResizeHideTest, RowZeroIsHiddenOnPaperWithoutColumnHeaders) {
    Core().GetProperties()->SetPrintColHeaders(false);
    EXPECT_FALSE(Core().IsRowHidden(0));
    Core().SetPrinting(true, {0, 0, 400, 300});
    EXPECT_TRUE(Core().IsRowHidden(0));
    EXPECT_FALSE(Core().IsColHidden(0));
    Core().SetPrinting(false);
}

// ----- resizing with the mouse -------------------------------------------------------------------

TEST_F(ResizeHideTest, DraggingAColumnEdgeResizesAndUndoes) {
    const int w = W(2);
    DragPx(ColEdge(2), ColEdge(2) + QPoint(30, 0));
    EXPECT_EQ(W(2), w + 30);
    EXPECT_FALSE(Core().IsTracking());
    ASSERT_EQ(UndoCount(), 1u);
    EXPECT_EQ(Param().GetUndoList().front()->GetDescription(), "Change Column Widths");
    Core().Undo();
    EXPECT_EQ(W(2), w);
    EXPECT_EQ(Core().GetOwnColWidth(2), -1);  // back to the default, not a stored copy of it
    Core().Redo();
    EXPECT_EQ(W(2), w + 30);
}

TEST_F(ResizeHideTest, DraggingARowEdgeResizesTheRowAndTheHeaderRow) {
    const int h = H(3);
    DragPx(RowEdge(3), RowEdge(3) + QPoint(0, 12));
    EXPECT_EQ(H(3), h + 12);
    const int h0 = H(0);
    DragPx(RowEdge(0), RowEdge(0) + QPoint(0, 10));
    EXPECT_EQ(H(0), h0 + 10);
    // With bit 0x08 the header row stays as it is.
    Param().EnableTrackRowHeight(0xB2 | 0x08);
    DragPx(RowEdge(0), RowEdge(0) + QPoint(0, 10));
    EXPECT_EQ(H(0), h0 + 10);
}

TEST_F(ResizeHideTest, DraggingPastTheStartHidesAndDraggingTheHiddenEdgeShows) {
    const QPoint edge = ColEdge(3);
    DragPx(edge, QPoint(R(0, 3).left - 10, edge.y()));
    EXPECT_TRUE(Core().IsColHidden(3));
    EXPECT_EQ(W(3), 0);
    EXPECT_EQ(Param().GetUndoList().front()->GetDescription(), "Hide Columns");
    // Right beside the boundary of the hidden column the press reaches it.
    const QPoint hidden(R(0, 4).left, edge.y());
    DragPx(hidden, hidden + QPoint(40, 0));
    EXPECT_FALSE(Core().IsColHidden(3));
    EXPECT_EQ(W(3), 40);
    // Shown and sized in one step.
    Core().Undo();
    EXPECT_TRUE(Core().IsColHidden(3));
    Core().Undo();
    EXPECT_FALSE(Core().IsColHidden(3));
}

TEST_F(ResizeHideTest, SelectedColumnsResizeTogetherInOneStep) {
    Core().SelectRange(CGXRange().SetCols(2, 4));
    const int w = W(2);
    DragPx(ColEdge(3), ColEdge(3) + QPoint(20, 0));
    EXPECT_EQ(W(2), w + 20);
    EXPECT_EQ(W(3), w + 20);
    EXPECT_EQ(W(4), w + 20);
    EXPECT_EQ(W(5), w);
    ASSERT_EQ(UndoCount(), 1u);
    Core().Undo();
    EXPECT_EQ(W(2), w);
    EXPECT_EQ(W(3), w);
    EXPECT_EQ(W(4), w);
}

TEST_F(ResizeHideTest, SmallMovesChangeNothing) {
    const int w = W(2);
    DragPx(ColEdge(2), ColEdge(2) + QPoint(1, 0));
    EXPECT_EQ(W(2), w);
    EXPECT_EQ(UndoCount(), 0u);
}

TEST_F(ResizeHideTest, DefaultSizeBitResizesEveryColumn) {
    Param().EnableTrackColWidth(0xB2 | 0x01);
    const int w = W(5);
    DragPx(ColEdge(2), ColEdge(2) + QPoint(16, 0));
    EXPECT_EQ(W(5), w + 16);
    EXPECT_EQ(Core().GetDefaultColWidth(), w + 16);
    Core().Undo();
    EXPECT_EQ(Core().GetDefaultColWidth(), w);
}

TEST_F(ResizeHideTest, DoubleClickShowsHiddenNeighboursOrResetsTheWidth) {
    Core().HideCols(5, 6);
    QTest::mouseDClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, ColEdge(4));
    EXPECT_FALSE(Core().IsColHidden(5));
    EXPECT_FALSE(Core().IsColHidden(6));
    Core().Undo();
    EXPECT_TRUE(Core().IsColHidden(5) && Core().IsColHidden(6));

    Core().SetColWidth(2, 2, 90);
    QTest::mouseDClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, ColEdge(2));
    EXPECT_EQ(Core().GetOwnColWidth(2), -1);
    EXPECT_EQ(W(2), Core().GetDefaultColWidth());

    // Rows: a hidden row after the boundary is shown again.
    Core().HideRows(4, 4);
    QTest::mouseDClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, RowEdge(3));
    EXPECT_FALSE(Core().IsRowHidden(4));
}

TEST_F(ResizeHideTest, ShowingAColumnWithAnExplicitWidthStoresTheDefaultFirst) {
    Param().m_bShowHiddenColWithWidth = true;
    Core().HideCols(5, 5);
    QTest::mouseDClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, ColEdge(4));
    EXPECT_FALSE(Core().IsColHidden(5));
    EXPECT_EQ(Core().GetOwnColWidth(5), Core().GetDefaultColWidth());
}

TEST_F(ResizeHideTest, EscapeDuringADragGivesBackTheSize) {
    const int w = W(2);
    QTest::mousePress(wnd_.get(), Qt::LeftButton, Qt::NoModifier, ColEdge(2));
    QTest::mouseMove(wnd_.get(), ColEdge(2) + QPoint(25, 0));
    EXPECT_TRUE(Core().IsTracking());
    EXPECT_EQ(W(2), w + 25);  // the width follows the mouse
    Core().OnGridCancelMode();
    EXPECT_FALSE(Core().IsTracking());
    EXPECT_EQ(W(2), w);
    QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, ColEdge(2) + QPoint(25, 0));
    EXPECT_EQ(W(2), w);
    EXPECT_EQ(UndoCount(), 0u);
}

}  // namespace

namespace {

// ----- marked headers ----------------------------------------------------------------------------

class MarkHeaderTest : public ResizeHideTest {
protected:
    QImage Paint() {
        QCoreApplication::processEvents();
        for (int i = 0; i < 3 && wnd_->GetUpdateRect(nullptr); ++i) wnd_->UpdateWindow();
        return wnd_->BackingImage().copy();
    }
    // The header cell's bottom-right inner pixel: dark when drawn flat (marked), the face colour
    // when raised (its dark shadow line lies one pixel further out).
    QRgb Inner(const QImage& image, ROWCOL r, ROWCOL c) {
        const fw::Rect rect = R(r, c);
        return image.pixel(rect.left + 3, rect.bottom - 2) & 0xFFFFFF;
    }
    static void ExpectGolden(const QImage& image, const char* name) {
        const QString path = QString(GRID_FEATURES_SOURCE_DIR) + "/tests/golden/" + name + ".png";
        const QString seen = QString(GRID_FEATURES_BUILD_DIR) + "/grid_golden_" + name + ".png";
        image.save(seen);
        if (qEnvironmentVariableIsSet("IXO_UPDATE_GOLDEN") || !QFile::exists(path)) {
            QDir().mkpath(QFileInfo(path).path());
            ASSERT_TRUE(image.save(path)) << path.toStdString();
            if (!qEnvironmentVariableIsSet("IXO_UPDATE_GOLDEN"))
                ADD_FAILURE() << "no golden image yet; written to " << path.toStdString();
            return;
        }
        const QImage golden = QImage(path).convertToFormat(image.format());
        const int differing = CountDiffering(image, golden);
        EXPECT_LE(differing, image.width() * image.height() / 300)
            << name << ": " << differing << " pixels differ; see " << seen.toStdString();
    }
};

TEST_F(MarkHeaderTest, TheCurrentCellsHeadersAreMarkedAndFollowIt) {
    Core().GetProperties()->Set3dButtons(true);
    for (ROWCOL r = 1; r <= 8; ++r)
        Core().SetValueRange(CGXRange(r, 1), "row " + std::to_string(r), gxOverride, 0);
    QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(R(3, 2).left + 10, R(3, 2).top + 5));
    ASSERT_TRUE(Core().IsCurrentCell(3, 2));
    EXPECT_TRUE(Core().IsMarkedHeaderCell(3, 0));
    EXPECT_TRUE(Core().IsMarkedHeaderCell(0, 2));
    EXPECT_FALSE(Core().IsMarkedHeaderCell(4, 0));
    EXPECT_FALSE(Core().IsMarkedHeaderCell(0, 3));
    wnd_->Invalidate();
    QImage image = Paint();
    EXPECT_NE(Inner(image, 3, 0), Inner(image, 4, 0));
    EXPECT_NE(Inner(image, 0, 2), Inner(image, 0, 3));
    ExpectGolden(image, "marked_headers");

    // The marks follow the current cell without a full repaint.
    QTest::keyClick(wnd_.get(), Qt::Key_Down);
    image = Paint();
    EXPECT_EQ(Inner(image, 3, 0), Inner(image, 5, 0));
    EXPECT_NE(Inner(image, 4, 0), Inner(image, 5, 0));

    // Switched off in the properties, nothing is marked.
    Core().GetProperties()->SetMarkRowHeader(false);
    EXPECT_FALSE(Core().IsMarkedHeaderCell(4, 0));
    EXPECT_TRUE(Core().IsMarkedHeaderCell(0, 2));
}

TEST_F(MarkHeaderTest, TheHeaderOfAColumnBeingResizedCountsAsMarked) {
    // The default mask 0xB2 has bit 0x10: no marking while resizing.
    QTest::mousePress(wnd_.get(), Qt::LeftButton, Qt::NoModifier, ColEdge(5));
    ASSERT_TRUE(Core().IsTracking());
    EXPECT_FALSE(Core().IsMarkedHeaderCell(0, 5));
    QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, ColEdge(5));
    Param().EnableTrackColWidth(0xB2 & ~0x10);
    QTest::mousePress(wnd_.get(), Qt::LeftButton, Qt::NoModifier, ColEdge(5));
    EXPECT_TRUE(Core().IsMarkedHeaderCell(0, 5));
    EXPECT_FALSE(Core().IsMarkedHeaderCell(0, 4));
    QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, ColEdge(5));
    EXPECT_FALSE(Core().IsMarkedHeaderCell(0, 5));
}

}  // namespace

namespace {

// ----- resize to fit -----------------------------------------------------------------------------

using ResizeToFitTest = ResizeHideTest;

TEST_F(ResizeToFitTest, RowsFitTheirLinesInOneUndoStep) {
    Core().SetValueRange(CGXRange(4, 2), "one\ntwo\nthree", gxOverride, 0);
    Core().SetValueRange(CGXRange(5, 3), "single", gxOverride, 0);
    Core().SetRowHeight(5, 5, 70);
    const int h4 = H(4);
    ASSERT_TRUE(Core().ResizeRowHeightsToFit(CGXRange().SetRows(4, 5)));
    EXPECT_GT(H(4), 2 * h4);
    EXPECT_LT(H(5), 70);  // shrunk to one line
    EXPECT_LT(H(5), H(4));
    EXPECT_EQ(Param().GetUndoList().front()->GetDescription(), "Resizing Rows");
    Core().Undo();
    EXPECT_EQ(H(4), h4);
    EXPECT_EQ(H(5), 70);
}

TEST_F(ResizeToFitTest, GrowOnlyKeepsRowsThatAreHighEnough) {
    Core().SetValueRange(CGXRange(6, 1), "short", gxOverride, 0);
    Core().SetRowHeight(6, 6, 80);
    Core().ResizeRowHeightsToFit(CGXRange().SetRows(6, 6), GX_UPDATENOW | 0x08);
    EXPECT_EQ(H(6), 80);
    Core().ResizeRowHeightsToFit(CGXRange().SetRows(6, 6));
    EXPECT_LT(H(6), 80);
}

TEST_F(ResizeToFitTest, ARowNeverOutgrowsTheVisibleArea) {
    std::string tall;
    for (int i = 0; i < 60; ++i) tall += "line\n";
    Core().SetValueRange(CGXRange(3, 1), tall, gxOverride, 0);
    Core().ResizeRowHeightsToFit(CGXRange().SetRows(3, 3));
    const int area = Core().GetGridRect().Height();
    EXPECT_EQ(H(3), area - Core().CalcSumOfRowHeights(0, 0) - 1);
}

// A block that starts at the first row (column) has no earlier part to subtract; the fit over
// the whole table must end and size the header to the block's text.
TEST_F(ResizeToFitTest, BlocksStartingAtTheHeaderFitAndTheWholeTableEnds) {
    struct Case {
        bool rows;
        CGXRange block;
    };
    for (const Case& c : {Case{true, CGXRange(0, 1, 0, 3)}, Case{false, CGXRange(1, 0, 3, 0)}}) {
        SCOPED_TRACE(c.rows ? "rows" : "columns");
        Core().SetCoveredCellsRowCol(c.block.top, c.block.left, c.block.bottom, c.block.right);
        Core().SetValueRange(CGXRange(c.block.top, c.block.left), "a long title\nover two lines",
                             gxOverride, 0);
        const int before = c.rows ? H(0) : W(0);
        ASSERT_TRUE(c.rows ? Core().ResizeRowHeightsToFit(CGXRange().SetTable())
                           : Core().ResizeColWidthsToFit(CGXRange().SetTable()));
        EXPECT_GT(c.rows ? H(0) : W(0), before);
        Core().SetCoveredCellsRowCol(c.block.top, c.block.left, c.block.top, c.block.left);
    }
}

TEST_F(ResizeToFitTest, ColumnsFitTheirWidestText) {
    Core().SetValueRange(CGXRange(2, 3), "a rather long text for one column", gxOverride, 0);
    const int w = W(3);
    ASSERT_TRUE(Core().ResizeColWidthsToFit(CGXRange().SetCols(3, 3)));
    EXPECT_GT(W(3), w);
    EXPECT_EQ(Param().GetUndoList().front()->GetDescription(), "Resizing Columns");
}

}  // namespace

namespace {

// ----- freezing the selection
// ----------------------------------------------------------------------

class FreezeTest : public ResizeHideTest {
protected:
    void SetUp() override {
        ResizeHideTest::SetUp();
        for (ROWCOL r = 1; r <= 8; ++r)
            for (ROWCOL c = 1; c <= 8; ++c)
                Core().SetValueRange(CGXRange(r, c), std::to_string(r) + "." + std::to_string(c),
                                     gxOverride, 0);
        Param().GetUndoList().clear();
    }
    CGXAbstractGridFreezeMenuHelperImp& F() {
        return *dynamic_cast<CGXAbstractGridFreezeMenuHelperImp*>(Core().GetFeatureSlot(23));
    }
    std::string V(ROWCOL r, ROWCOL c) { return Core().GetValueRowCol(r, c); }
};

TEST_F(FreezeTest, FreezingColumnsMovesThemToTheFrontAndUnfreezingBack) {
    Core().SetColWidth(6, 6, 77);
    Core().HideCols(3, 3);
    Param().GetUndoList().clear();
    Core().SelectRange(CGXRange().SetCols(5, 6));
    ASSERT_TRUE(F().CanFreezeCols(&Core()));
    ASSERT_TRUE(F().FreezeCols(&Core()));
    EXPECT_EQ(Core().GetFrozenCols(), 2u);
    EXPECT_EQ(V(2, 1), "2.5");
    EXPECT_EQ(V(2, 2), "2.6");
    EXPECT_EQ(V(2, 3), "2.1");
    EXPECT_EQ(W(2), 77);                 // the width went with its column
    EXPECT_TRUE(Core().IsColHidden(5));  // and so did the hidden state of column 3
    EXPECT_TRUE(Param().m_SelRects.IsEmpty());
    EXPECT_EQ(UndoCount(), 1u);
    EXPECT_EQ(Param().GetUndoList().front()->GetDescription(), "Freeze Columns");
    EXPECT_FALSE(F().CanFreezeCols(&Core()));  // already frozen

    ASSERT_TRUE(F().UnfreezeCols(&Core()));
    EXPECT_EQ(Core().GetFrozenCols(), 0u);
    EXPECT_EQ(V(2, 5), "2.5");
    EXPECT_EQ(V(2, 1), "2.1");
    EXPECT_EQ(W(6), 77);
    EXPECT_TRUE(Core().IsColHidden(3));
    // Undoing the unfreeze freezes again; undoing the freeze puts everything back.
    Core().Undo();
    EXPECT_EQ(Core().GetFrozenCols(), 2u);
    EXPECT_EQ(V(2, 1), "2.5");
    Core().Undo();
    EXPECT_EQ(Core().GetFrozenCols(), 0u);
    EXPECT_EQ(V(2, 5), "2.5");
    EXPECT_EQ(V(2, 6), "2.6");
}

TEST_F(FreezeTest, TwoSeparateBlocksCannotBeFrozen) {
    Core().SelectRange(CGXRange().SetCols(2, 2));
    Core().SelectRange(CGXRange().SetCols(5, 6));
    EXPECT_FALSE(F().CanFreezeCols(&Core()));
    EXPECT_FALSE(F().FreezeCols(&Core()));
    EXPECT_EQ(Core().GetFrozenCols(), 0u);
    Param().m_SelRects.DeleteAll();
    EXPECT_FALSE(F().CanFreezeRows(&Core()));  // nothing selected
}

TEST_F(FreezeTest, RowsFreezeAndUnfreezeEachAsOneStep) {
    Core().SelectRange(CGXRange().SetRows(4, 5));
    ASSERT_TRUE(F().FreezeRows(&Core()));
    EXPECT_EQ(Core().GetFrozenRows(), 2u);
    EXPECT_EQ(V(1, 3), "4.3");
    EXPECT_EQ(V(3, 3), "1.3");
    ASSERT_TRUE(F().UnfreezeRows(&Core()));
    EXPECT_EQ(Core().GetFrozenRows(), 0u);
    EXPECT_EQ(V(4, 3), "4.3");
    EXPECT_EQ(UndoCount(), 2u);
    EXPECT_EQ(Param().GetUndoList().front()->GetDescription(), "Freeze Rows");
    Core().Undo();
    EXPECT_EQ(Core().GetFrozenRows(), 2u);
    EXPECT_EQ(V(1, 3), "4.3");
}

}  // namespace
