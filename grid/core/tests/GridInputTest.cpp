// The hit test at every zone, the cursors it gives over header edges, and the mouse action
// protocol (capture, a second button, the per-cell action words), with real mouse events.
#include "framework/dialogs/Dialog.h"
#include "framework/window/Cursor.h"
#include "grid/core/tests/GridWndFixture.h"

#include <vector>

namespace {

using Cell = std::pair<ROWCOL, ROWCOL>;

// Stands in for the user-resize feature: the resize cursors show only where it is installed.
class FakeResizeFeature : public CGXAbstractGridUserResizeCellsImp {
public:
    void OnTrackMouseMove(CGXGridCore*, fw::Point) override {}
    bool OnTrackButtonDown(CGXGridCore*, int, fw::Point) override { return false; }
    void OnTrackButtonUp(CGXGridCore*, fw::Point) override {}
    bool OnTrackDblClick(CGXGridCore*, int, fw::Point) override { return false; }
    bool StartTracking(CGXGridCore*, ROWCOL, int, fw::Point) override { return false; }
    void MoveTracking(CGXGridCore*, int) override {}
    void CancelTracking(CGXGridCore*) override {}
    void EndTracking(CGXGridCore*, int) override {}
};

class GridInput : public GridWndFixture {
protected:
    fw::Rect R(ROWCOL row, ROWCOL col) { return Grid().CalcRectFromRowCol(row, col); }
    int Hit(int x, int y, ROWCOL* row = nullptr, ROWCOL* col = nullptr) {
        return Grid().HitTest({x, y}, row, col, nullptr);
    }
};

TEST_F(GridInput, HitCodesAtEachZone) {
    Grid().SetColWidth(3, 3, 0, nullptr, 0);   // a hidden column between 2 and 4
    Grid().SetRowHeight(4, 4, 0, nullptr, 0);  // a hidden row between 3 and 5
    Param().m_bExcelLikeFill = true;
    Grid().SelectRange(CGXRange(6, 1, 7, 2), true, false);
    const fw::Rect header2 = R(0, 2), rowHeader5 = R(5, 0), body = R(2, 1);
    const fw::Rect col4 = R(0, 4), row5 = R(5, 0), sel = R(7, 2), selTop = R(6, 1);
    struct Case {
        const char* name;
        fw::Point pt;
        int hit;
        Cell cell;
    };
    const Case cases[] = {
        {"3 px left of a header column's edge",
         {header2.right - 3, header2.top + 5},
         GX_HORZLINE_HIT,
         {0, 2}},
        {"5 px left of it is the header",
         {header2.right - 5, header2.top + 5},
         GX_HEADERHIT,
         {0, 2}},
        {"3 px above a row header's edge",
         {rowHeader5.left + 5, rowHeader5.bottom - 3},
         GX_VERTLINE_HIT,
         {5, 0}},
        {"a body cell", {body.left + 10, body.top + 5}, GX_CELLHIT, {2, 1}},
        {"body cells do not resize by default", {body.right - 2, body.top + 5}, GX_CELLHIT, {2, 1}},
        {"the selection's top edge", {selTop.left + 10, selTop.top + 1}, GX_SELEDGEHIT, {6, 1}},
        {"the fill handle", {sel.right - 2, sel.bottom - 2}, GX_FILLHANDLEHIT, {7, 2}},
        {"1 px right of a hidden column", {col4.left + 1, col4.top + 5}, GX_HIDDENCOL_HIT, {0, 3}},
        {"3 px right of it resizes the visible one",
         {col4.left + 3, col4.top + 5},
         GX_HORZLINE_HIT,
         {0, 2}},
        {"1 px below a hidden row", {row5.left + 5, row5.top + 1}, GX_HIDDENROW_HIT, {4, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ROWCOL row = 99, col = 99;
        EXPECT_EQ(Hit(c.pt.x, c.pt.y, &row, &col), c.hit);
        if (c.hit != GX_NOHIT) {
            EXPECT_EQ((Cell{row, col}), c.cell);
        }
    }
    // The selection edge counts only while the selection can be dragged or filled.
    Param().m_bExcelLikeFill = false;
    EXPECT_EQ(Hit(selTop.left + 10, selTop.top + 1), GX_CELLHIT);
    Grid().m_bSelDragging = true;
    EXPECT_EQ(Hit(selTop.left + 10, selTop.top + 1), GX_SELEDGEHIT);
    // Body boundaries resize when the grid allows it; header sizes can be locked.
    Param().m_bTrackBodyCells = true;
    EXPECT_EQ(Hit(body.right - 2, body.top + 5), GX_HORZLINE_HIT);
    const fw::Rect corner = R(0, 0);
    EXPECT_EQ(Hit(corner.right - 2, corner.top + 5), GX_HORZLINE_HIT);
    Param().m_bLockHeaderSize = true;
    EXPECT_EQ(Hit(corner.right - 2, corner.top + 5), GX_HEADERHIT);
    // A grid rectangle smaller than the window: outside it nothing is hit.
    Grid().SetGridRect(true, {0, 0, 100, 100});
    EXPECT_EQ(Hit(150, 150), GX_NOHIT);
}

TEST_F(GridInput, CursorsOverHeaderEdgesFollowTheMouse) {
    fw::RegisterCursor(GX_IDC_WIDTH, QCursor(Qt::SplitHCursor));
    const fw::Rect header2 = R(0, 2), rowHeader5 = R(5, 0), body = R(3, 3);
    struct Case {
        const char* name;
        fw::Point pt;
        int cursor;
    };
    const std::vector<Case> withResize = {
        {"column edge", {header2.right - 2, header2.top + 5}, GX_IDC_WIDTH},
        {"row edge", {rowHeader5.left + 5, rowHeader5.bottom - 2}, GX_IDC_HEIGHT},
        {"column header", {header2.left + 10, header2.top + 5}, GX_IDC_SELCOL},
        {"row header", {rowHeader5.left + 5, rowHeader5.top + 5}, GX_IDC_SELROW},
        {"body", {body.left + 10, body.top + 5}, 0},
    };
    auto check = [&](const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            QTest::mouseMove(wnd_.get(), QPoint(c.pt.x, c.pt.y));
            EXPECT_EQ(Grid().GetGridCursorId(), c.cursor);
        }
    };
    // Without the resize feature the edges show no resize cursor.
    check({{"column edge without resizing", {header2.right - 2, header2.top + 5}, 0},
           {"row edge without resizing", {rowHeader5.left + 5, rowHeader5.bottom - 2}, 0}});
    Grid().SetFeatureSlot(20, Grid().AddOwnedObject(std::make_unique<FakeResizeFeature>()));
    check(withResize);
    // The registered resource cursor is the one set; an unregistered id falls back to the
    // system cursor of its kind.
    QTest::mouseMove(wnd_.get(), QPoint(header2.right - 2, header2.top + 5));
    EXPECT_EQ(fw::GetCursor().shape.shape(), Qt::SplitHCursor);
    QTest::mouseMove(wnd_.get(), QPoint(rowHeader5.left + 5, rowHeader5.bottom - 2));
    EXPECT_EQ(fw::GetCursor().shape.shape(), Qt::SizeVerCursor);
    // A forced cursor wins over the hit test.
    Grid().SetForcedCursor(GX_IDC_SELEDGE);
    QTest::mouseMove(wnd_.get(), QPoint(body.left + 10, body.top + 5));
    EXPECT_EQ(Grid().GetGridCursorId(), GX_IDC_SELEDGE);
}

// Records the per-cell actions that reach the grid.
class InputRecordingGrid : public CGXGridWnd {
public:
    struct Action {
        ROWCOL pressedRow, pressedCol, row, col;
        unsigned action;
    };
    bool OnCellMouseAction(ROWCOL pr, ROWCOL pc, ROWCOL row, ROWCOL col, fw::Point pt,
                           unsigned flags, unsigned action) override {
        left.push_back({pr, pc, row, col, action & 0xFF});
        return CGXGridWnd::OnCellMouseAction(pr, pc, row, col, pt, flags, action);
    }
    bool OnCellRButtonAction(ROWCOL pr, ROWCOL pc, ROWCOL row, ROWCOL col, fw::Point pt,
                             unsigned flags, unsigned action) override {
        right.push_back({pr, pc, row, col, action & 0xFF});
        return CGXGridWnd::OnCellRButtonAction(pr, pc, row, col, pt, flags, action);
    }
    bool OnCellClicked(ROWCOL row, ROWCOL col, unsigned, fw::Point) override {
        clicked.push_back({row, col, row, col, 0});
        return false;
    }
    std::vector<Action> left, right, clicked;
};

class GridMouse : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXInitWithControlFactory();
        wnd_ = std::make_unique<InputRecordingGrid>();
        wnd_->Create(nullptr, {0, 0, 400, 300}, 0, fw::WS_VISIBLE);
        wnd_->Initialize();
        wnd_->SetRowCount(20, 0);
        wnd_->SetColCount(5, 0);
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        wnd_.reset();
        GXTerminateLibrary();
    }
    QPoint At(ROWCOL row, ROWCOL col) {
        const fw::Rect r = wnd_->CalcRectFromRowCol(row, col);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    std::unique_ptr<InputRecordingGrid> wnd_;
};

TEST_F(GridMouse, ADragReportsDownMovesAndUpWithTheirActionWords) {
    QTest::mousePress(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(2, 2));
    EXPECT_EQ(fw::Window::GetCapture(), wnd_.get());
    QTest::mouseMove(wnd_.get(), At(2, 2));
    QTest::mouseMove(wnd_.get(), At(3, 3));
    QTest::mouseMove(wnd_.get(), At(4, 3));
    QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(4, 3));
    EXPECT_EQ(fw::Window::GetCapture(), nullptr);
    const std::vector<std::pair<Cell, unsigned>> expected = {
        {{2, 2}, GX_MABUTTONDOWN | GX_MAOVERPRESSED},
        {{2, 2}, GX_MAMOVE | GX_MAOVERPRESSED},
        {{3, 3}, GX_MAMOVE | GX_MALEFTPRESSED},  // just left the pressed cell
        {{4, 3}, GX_MAMOVE},
        {{4, 3}, GX_MABUTTONUP | GX_MALEFTPRESSED},
    };
    ASSERT_EQ(wnd_->left.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ((Cell{wnd_->left[i].pressedRow, wnd_->left[i].pressedCol}), (Cell{2, 2}));
        EXPECT_EQ((Cell{wnd_->left[i].row, wnd_->left[i].col}), expected[i].first);
        EXPECT_EQ(wnd_->left[i].action, expected[i].second);
    }
    // The release away from the pressed cell is a click on the cell under the pointer.
    ASSERT_EQ(wnd_->clicked.size(), 1u);
    EXPECT_EQ((Cell{wnd_->clicked[0].row, wnd_->clicked[0].col}), (Cell{4, 3}));
}

TEST_F(GridMouse, TheRightButtonWhileTheLeftIsHeldCancelsTheLeftAction) {
    QTest::mousePress(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(2, 2));
    ASSERT_EQ(fw::Window::GetCapture(), wnd_.get());
    QTest::mousePress(wnd_.get(), Qt::RightButton, Qt::NoModifier, At(3, 3));
    EXPECT_EQ(fw::Window::GetCapture(), nullptr);
    EXPECT_TRUE(wnd_->right.empty());
    // The left release that follows reaches no cell.
    const std::size_t actions = wnd_->left.size();
    QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(2, 2));
    QTest::mouseRelease(wnd_.get(), Qt::RightButton, Qt::NoModifier, At(3, 3));
    EXPECT_EQ(wnd_->left.size(), actions);
    // Escape while the grid holds the capture ends the action too.
    QTest::mousePress(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(5, 2));
    ASSERT_EQ(fw::Window::GetCapture(), wnd_.get());
    QTest::keyClick(wnd_.get(), Qt::Key_Escape);
    EXPECT_EQ(fw::Window::GetCapture(), nullptr);
}

// A dialog description that names the grid window class twice.
class TwoGridDialog : public fw::Dialog {
public:
    TwoGridDialog() { SetTemplate("Two grids", 300, 200); }
    CGXGridWnd* first = nullptr;
    CGXGridWnd* second = nullptr;

protected:
    void CreateControls() override {
        first = dynamic_cast<CGXGridWnd*>(AddByClass("CGXGridWnd", 1001, {5, 5, 145, 195}));
        second = dynamic_cast<CGXGridWnd*>(
            AddByClass("cgxgridwnd", 1002, {150, 5, 295, 195}, fw::WS_TABSTOP | fw::WS_VSCROLL));
    }
    bool OnInitDialog() override {
        for (CGXGridWnd* grid : {first, second})
            if (grid)
                grid->Initialize();
        return fw::Dialog::OnInitDialog();
    }
};

TEST(GridWindowInDialog, TwoGridsByClassNameAreIndependentAndFreedAtClose) {
    GXTerminateLibrary();
    GXInitWithControlFactory();
    ASSERT_EQ(CGXGridWnd::LiveCount(), 0);
    {
        TwoGridDialog dlg;
        ASSERT_TRUE(dlg.CreateModeless());
        ASSERT_NE(dlg.first, nullptr);
        ASSERT_NE(dlg.second, nullptr);
        EXPECT_EQ(CGXGridWnd::LiveCount(), 2);
        // Each grid is its own: its own parameter object, values and current cell.
        EXPECT_NE(dlg.first->GetParam(), dlg.second->GetParam());
        dlg.first->SetRowCount(5, 0);
        dlg.first->SetColCount(3, 0);
        dlg.second->SetRowCount(7, 0);
        dlg.second->SetColCount(2, 0);
        dlg.first->SetValueRange(CGXRange(1, 1), "one", gxOverride, 0);
        EXPECT_EQ(dlg.second->GetValueRowCol(1, 1), "");
        EXPECT_EQ(dlg.first->GetParentWindow(), &dlg);
        EXPECT_EQ(dlg.second->GetParentWindow(), &dlg);
        // Scroll bars as the description asks: none for the first, a vertical one for the second.
        EXPECT_EQ(dlg.first->GetScrollBarMode(fw::SB_VERT), 0);
        EXPECT_NE(dlg.second->GetScrollBarMode(fw::SB_VERT), 0);
        dlg.DestroyWindow();
    }
    EXPECT_EQ(CGXGridWnd::LiveCount(), 0);
    // An unknown class name makes nothing.
    EXPECT_FALSE(fw::IsDialogClassRegistered("NoSuchGrid"));
    GXTerminateLibrary();
}

}  // namespace
