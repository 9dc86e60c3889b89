// Dragging selected rows and columns by their headers and filling by the frame's handle, with
// real mouse events on a grid window; the drag feedback is written to the build folder.
#include "grid/core/CGXGridWnd.h"
#include "grid/core/tests/GridFixture.h"
#include "grid/features/CGXDragLineWnd.h"
#include "grid/features/CGXGridExcelLikeFillImp.h"
#include "grid/features/CGXGridExcelLikeFrameImp.h"
#include "grid/features/CGXGridUserDragSelectRangeImp.h"
#include "grid/features/GXFeatureInstall.h"

#include <QCoreApplication>
#include <QTest>

namespace {

class DragMoveFillTest : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXInitWithFeatures();
        wnd_ = std::make_unique<CGXGridWnd>();
        wnd_->Create(nullptr, {0, 0, 420, 300}, 0, fw::WS_VISIBLE);
        wnd_->Initialize();
        SetTestStandardFont(Grid());
        Grid().SetRowCount(12, 0);
        Grid().SetColCount(6, 0);
        for (ROWCOL r = 1; r <= 10; ++r) Set(r, 1, std::to_string(r));
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        wnd_.reset();
        GXTerminateLibrary();
    }
    CGXGridWnd& Grid() { return *wnd_; }
    CGXGridParam& Param() { return *Grid().GetParam(); }
    void Set(ROWCOL r, ROWCOL c, const std::string& v) {
        Grid().SetValueRange(CGXRange(r, c), v, gxOverride, 0);
    }
    std::string Get(ROWCOL r, ROWCOL c) { return Grid().GetStoredValueRowCol(r, c); }
    std::string Column(ROWCOL col, ROWCOL last = 10) {
        std::string out;
        for (ROWCOL r = 1; r <= last; ++r) out += (r > 1 ? "|" : "") + Get(r, col);
        return out;
    }
    QPoint At(ROWCOL row, ROWCOL col) {
        const fw::Rect r = Grid().CalcRectFromRowCol(row, col);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // Presses at `from`, moves over the way to `to` and, unless told to hold, releases there.
    void Drag(QPoint from, QPoint to, bool release = true) {
        QTest::mousePress(wnd_.get(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(wnd_.get(), (from + to) / 2);
        QTest::mouseMove(wnd_.get(), to);
        if (release)
            QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, to);
    }
    CGXGridUserDragSelectRangeImp* DragImp() {
        return dynamic_cast<CGXGridUserDragSelectRangeImp*>(Grid().GetUserDragSelectRangeImp());
    }
    QImage Screenshot(const char* name) {
        QCoreApplication::processEvents();
        for (int i = 0; i < 3 && Grid().GetUpdateRect(nullptr); ++i) Grid().UpdateWindow();
        const QImage image = wnd_->grab().toImage();
        image.save(QString(GRID_FEATURES_BUILD_DIR) + "/grid_" + name + ".png");
        return image;
    }
    std::unique_ptr<CGXGridWnd> wnd_;
};

// --- moving rows and columns by their headers ---------------------------------------------------

TEST_F(DragMoveFillTest, RowsDraggedOntoRowEightEndUpJustBeforeIt) {
    Grid().SelectRange(CGXRange().SetRows(3, 4));
    Drag(At(3, 0), At(8, 0), false);
    EXPECT_TRUE(Grid().m_bDragging);
    CGXDragLineWnd* line = DragImp()->GetDragLineWnd();
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->IsWindowVisible());
    // The line lies on the boundary above row 8, one pixel high, across the columns.
    const fw::Rect row8 = Grid().CalcRectFromRowCol(8, 1);
    const fw::Rect lineRect = line->GetWindowRect();
    const fw::Point topLeft = Grid().ScreenToClient(fw::Point{lineRect.left, lineRect.top});
    EXPECT_EQ(topLeft.y, row8.top - 1);
    EXPECT_EQ(lineRect.Height(), 1);
    const QImage shot = Screenshot("drag_rows_feedback");
    EXPECT_EQ(shot.pixelColor(At(8, 2).x(), row8.top - 1), QColor(Qt::black));

    QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(8, 0));
    EXPECT_EQ(Column(1), "1|2|5|6|7|3|4|8|9|10");
    EXPECT_FALSE(Grid().m_bDragging);
    EXPECT_FALSE(line->IsWindowVisible());
    ASSERT_TRUE(Grid().Undo());
    EXPECT_EQ(Column(1), "1|2|3|4|5|6|7|8|9|10");
}

TEST_F(DragMoveFillTest, DroppingOntoTheBlockOrJustAfterItChangesNothing) {
    for (ROWCOL target : {3u, 4u, 5u}) {
        Grid().SelectRange(CGXRange().SetRows(3, 4));
        const std::size_t undo = Param().GetUndoList().size();
        Drag(At(3, 0), At(target, 0));
        EXPECT_EQ(Column(1), "1|2|3|4|5|6|7|8|9|10") << "target " << target;
        EXPECT_EQ(Param().GetUndoList().size(), undo);
    }
}

TEST_F(DragMoveFillTest, AHeaderOfAPartlySelectedRowStartsASelection) {
    Grid().SelectRange(CGXRange(3, 1, 3, 2));
    Drag(At(3, 0), At(8, 0), false);
    EXPECT_FALSE(Grid().m_bDragging);
    QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(8, 0));
    EXPECT_EQ(Column(1), "1|2|3|4|5|6|7|8|9|10");
}

TEST_F(DragMoveFillTest, MovingRowsCanBeSwitchedOff) {
    Param().EnableMoveRows(false);
    Grid().SelectRange(CGXRange().SetRows(3, 4));
    Drag(At(3, 0), At(8, 0));
    EXPECT_EQ(Column(1), "1|2|3|4|5|6|7|8|9|10");
}

TEST_F(DragMoveFillTest, AColumnDraggedRightLandsBeforeTheTargetColumn) {
    for (ROWCOL c = 1; c <= 5; ++c) Set(1, c, std::string(1, static_cast<char>('a' + c - 1)));
    Grid().SelectRange(CGXRange().SetCols(2, 2));
    Drag(At(0, 2), At(0, 5), false);
    const QImage shot = Screenshot("drag_cols_feedback");
    const fw::Rect col5 = Grid().CalcRectFromRowCol(3, 5);
    EXPECT_EQ(shot.pixelColor(col5.left - 1, At(3, 5).y()), QColor(Qt::black));
    QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(0, 5));
    EXPECT_EQ(Get(1, 2), "c");
    EXPECT_EQ(Get(1, 3), "d");
    EXPECT_EQ(Get(1, 4), "b");
    EXPECT_EQ(Get(1, 5), "e");
}

// A grid that lets rows land only above row 9 and tells which cursor it shows.
class GuardedGrid : public CGXGridWnd {
public:
    bool CanDropRows(ROWCOL, ROWCOL, ROWCOL target) override { return target < 9; }
    int Cursor() const { return m_nCursorId; }
};

TEST(DragGuardTest, ARefusedTargetShowsTheNoDropCursorAndDropsNothing) {
    GXTerminateLibrary();
    GXInitWithFeatures();
    {
        GuardedGrid grid;
        grid.Create(nullptr, {0, 0, 420, 300}, 0, fw::WS_VISIBLE);
        grid.Initialize();
        SetTestStandardFont(grid);
        grid.SetRowCount(12, 0);
        grid.SetColCount(3, 0);
        for (ROWCOL r = 1; r <= 12; ++r)
            grid.SetValueRange(CGXRange(r, 1), std::to_string(r), gxOverride, 0);
        QCoreApplication::processEvents();
        grid.SelectRange(CGXRange().SetRows(2, 2));
        const auto at = [&](ROWCOL row) {
            const fw::Rect r = grid.CalcRectFromRowCol(row, 0);
            return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        };
        QTest::mousePress(&grid, Qt::LeftButton, Qt::NoModifier, at(2));
        QTest::mouseMove(&grid, at(5));
        EXPECT_EQ(grid.Cursor(), GX_IDC_SELDRAG);
        QTest::mouseMove(&grid, at(10));
        EXPECT_EQ(grid.Cursor(), GX_IDC_NODROP);
        auto* drag = dynamic_cast<CGXGridUserDragSelectRangeImp*>(grid.GetUserDragSelectRangeImp());
        ASSERT_NE(drag, nullptr);
        EXPECT_FALSE(drag->GetDragLineWnd()->IsWindowVisible());
        QTest::mouseRelease(&grid, Qt::LeftButton, Qt::NoModifier, at(10));
        EXPECT_EQ(grid.GetStoredValueRowCol(2, 1), "2");
        EXPECT_EQ(grid.GetStoredValueRowCol(9, 1), "9");
    }
    GXTerminateLibrary();
}

TEST_F(DragMoveFillTest, RowsDraggedPastTheLastRowGoToTheEnd) {
    Grid().SelectRange(CGXRange().SetRows(1, 2));
    const fw::Rect last = Grid().CalcRectFromRowCol(12, 1);
    Drag(At(1, 0), QPoint(At(1, 0).x(), last.bottom + 10));
    EXPECT_EQ(Column(1, 12), "3|4|5|6|7|8|9|10|||1|2");
}

// --- filling by the frame's handle
// ------------------------------------------------------------------

class FillTest : public DragMoveFillTest {
protected:
    void SetUp() override {
        DragMoveFillTest::SetUp();
        Param().m_bExcelLikeFill = true;
        Param().m_bExcelLikeSelectionFrame = true;
    }
    // A point on the fill handle of a block whose bottom-right cell is (row, col).
    QPoint Handle(ROWCOL row, ROWCOL col) {
        const fw::Rect r = Grid().CalcRectFromRowCol(row, col);
        return {r.right - 2, r.bottom - 2};
    }
};

TEST_F(FillTest, DraggingTheHandleDownRepeatsTheBlock) {
    Set(2, 2, "a");
    Set(2, 3, "b");
    Grid().SelectRange(CGXRange(2, 2, 2, 3));
    const std::size_t undo = Param().GetUndoList().size();
    Drag(Handle(2, 3), At(5, 3), false);
    auto* fill = dynamic_cast<CGXGridExcelLikeFillImp*>(Grid().GetExcelLikeFillImp());
    ASSERT_NE(fill, nullptr);
    EXPECT_TRUE(fill->IsFilling());
    EXPECT_EQ(fill->GetTarget(), CGXRange(2, 2, 5, 3));
    Screenshot("fill_feedback");
    QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(5, 3));
    for (ROWCOL r = 3; r <= 5; ++r) {
        EXPECT_EQ(Get(r, 2), "a") << r;
        EXPECT_EQ(Get(r, 3), "b") << r;
    }
    ASSERT_EQ(Param().m_SelRects.GetCount(), 1u);
    EXPECT_EQ(Param().m_SelRects.GetHead(), CGXRange(2, 2, 5, 3));
    Screenshot("fill_done");
    // One fill, one undo step.
    EXPECT_EQ(Param().GetUndoList().size(), undo + 1);
    ASSERT_TRUE(Grid().Undo());
    for (ROWCOL r = 3; r <= 5; ++r) EXPECT_EQ(Get(r, 2) + Get(r, 3), "") << r;
}

TEST_F(FillTest, DraggingTheHandleBackUpClearsTheRowCutOff) {
    for (ROWCOL r = 2; r <= 4; ++r) Set(r, 2, "x" + std::to_string(r));
    Grid().SelectRange(CGXRange(2, 2, 4, 2));
    Drag(Handle(4, 2), At(3, 2));
    EXPECT_EQ(Get(2, 2) + "," + Get(3, 2) + "," + Get(4, 2), "x2,x3,");
}

TEST_F(FillTest, DroppingOnTheSourceChangesNothing) {
    Set(2, 2, "a");
    Grid().SelectRange(CGXRange(2, 2, 2, 2));
    const std::size_t undo = Param().GetUndoList().size();
    Drag(Handle(2, 2), Handle(2, 2) + QPoint(-1, 0));
    EXPECT_EQ(Column(2), "|a||||||||");
    EXPECT_EQ(Param().GetUndoList().size(), undo);
}

TEST_F(FillTest, WithoutTheFillOptionTheHandleSelectsAsAnyCell) {
    Param().m_bExcelLikeFill = false;
    Set(2, 2, "a");
    Grid().SelectRange(CGXRange(2, 2, 2, 2));
    Drag(Handle(2, 2), At(5, 2));
    EXPECT_EQ(Column(2), "|a||||||||");
}

// DoFill directly: which cells the source fills and from which source rows or columns.
TEST_F(FillTest, FillsCycleThroughTheSourceInEachDirection) {
    struct Case {
        CGXRange source, target;
        ROWCOL col;
        const char* column;  // rows 1..6 of `col` after the fill
    };
    const Case cases[] = {
        {CGXRange(1, 1, 2, 1), CGXRange(1, 1, 6, 1), 1, "1|2|1|2|1|2"},
        {CGXRange(4, 1, 5, 1), CGXRange(1, 1, 5, 1), 1, "4|5|4|4|5|6"},
        {CGXRange(1, 1, 3, 1), CGXRange(1, 1, 3, 2), 2, "1|2|3|||"},
        {CGXRange(1, 1, 4, 1), CGXRange(1, 1, 2, 1), 1, "1|2|||5|6"},
    };
    for (const Case& c : cases) {
        for (ROWCOL r = 1; r <= 6; ++r) Set(r, 1, std::to_string(r));
        for (ROWCOL r = 1; r <= 6; ++r) Set(r, 2, "");
        EXPECT_TRUE(Grid().DoFill(c.target, c.source));
        std::string col;
        for (ROWCOL r = 1; r <= 6; ++r) col += (r > 1 ? "|" : "") + Get(r, c.col);
        EXPECT_EQ(col, c.column) << c.target.top << "," << c.target.left << "-" << c.target.bottom
                                 << "," << c.target.right;
    }
}

TEST_F(FillTest, TheStylesOptionCopiesWholeStyles) {
    Param().m_wExcelLikeFillFlags = 0x02;
    CGXStyle bold;
    bold.SetValue("s");
    bold.SetInterior(CGXBrush().SetColor(0x00FF00));
    Grid().SetStyleRange(CGXRange(1, 3), &bold);
    ASSERT_TRUE(Grid().DoFill(CGXRange(1, 3, 2, 3), CGXRange(1, 3)));
    CGXStyle got;
    ASSERT_TRUE(Grid().GetStyleRowCol(2, 3, got));
    EXPECT_EQ(got.GetValue(), "s");
    EXPECT_TRUE(got.GetIncludeInterior());
    Param().m_wExcelLikeFillFlags = 0;
    EXPECT_FALSE(Grid().DoFill(CGXRange(1, 3, 4, 3), CGXRange(1, 3)));
    EXPECT_EQ(Get(4, 3), "");
}

// --- the selection frame
// ----------------------------------------------------------------------------

TEST(SelectionFramePiecesTest, TheHandleSitsAtTheCornerOfTheFrameType) {
    const fw::Rect rect{20, 30, 80, 70};
    const unsigned all = CGXGridExcelLikeFrameImp::kLeft | CGXGridExcelLikeFrameImp::kTop |
                         CGXGridExcelLikeFrameImp::kRight | CGXGridExcelLikeFrameImp::kBottom;
    struct Case {
        int type;
        fw::Point corner;
    };
    const Case cases[] = {
        {GX_FRAME_CELLS, {80, 70}}, {GX_FRAME_ROWS, {20, 70}}, {GX_FRAME_COLS, {80, 30}}};
    for (const Case& c : cases) {
        const auto pieces = CGXGridExcelLikeFrameImp::FramePieces(rect, all, c.type);
        // The plus: 3 by 5 and 5 by 3, centred on the corner.
        const fw::Rect tall{c.corner.x - 1, c.corner.y - 2, c.corner.x + 2, c.corner.y + 3};
        const fw::Rect wide{c.corner.x - 2, c.corner.y - 1, c.corner.x + 3, c.corner.y + 2};
        EXPECT_NE(std::find(pieces.begin(), pieces.end(), tall), pieces.end()) << c.type;
        EXPECT_NE(std::find(pieces.begin(), pieces.end(), wide), pieces.end()) << c.type;
    }
    // Without the side the handle sits on, there is no handle: the eight bands only.
    const auto noRight =
        CGXGridExcelLikeFrameImp::FramePieces(rect, all & ~CGXGridExcelLikeFrameImp::kRight, 0);
    EXPECT_EQ(noRight.size(), 6u);
}

TEST_F(FillTest, WholeRowsSelectedShowTheHandleAtTheBottomLeft) {
    Grid().SelectRange(CGXRange().SetRows(3, 4));
    const QImage shot = Screenshot("frame_rows");
    EXPECT_EQ(Grid().m_nFrameType, GX_FRAME_ROWS);
    const fw::Rect block = Grid().CalcClientRectFromRange(3, 1, 4, 6);
    // The handle's plus reaches two pixels left of the corner and below it.
    EXPECT_EQ(shot.pixelColor(block.left - 2, block.bottom), QColor(Qt::black));
    EXPECT_EQ(shot.pixelColor(block.left, block.bottom + 2), QColor(Qt::black));
}

}  // namespace
