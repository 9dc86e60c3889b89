// The current cell and its editing cycle, driven by real keys and clicks on a grid window:
// moving in every direction, typing and storing, cancelling, refused values and the focus.
#include "framework/dialogs/MessageBox.h"
#include "grid/core/tests/GridWndFixture.h"

#include <QKeyEvent>

namespace {

using Cell = std::pair<ROWCOL, ROWCOL>;

class GridEditing : public GridWndFixture {};

TEST_F(GridEditing, AClickMakesTheCellUnderThePointerCurrent) {
    Click(3, 2);
    EXPECT_EQ(Current(), (Cell{3, 2}));
    Click(5, 4);
    EXPECT_EQ(Current(), (Cell{5, 4}));
    EXPECT_EQ(fw::Window::GetCapture(), nullptr);  // the button-up ended the action
}

// Dark pixels (text) inside a rectangle.
int DarkPixels(const QImage& image, const fw::Rect& r) {
    int n = 0;
    for (int y = r.top + 2; y < r.bottom - 2; ++y)
        for (int x = r.left + 2; x < r.right - 2; ++x)
            if (qGray(image.pixel(x, y)) < 96)
                ++n;
    return n;
}

// The current cell's frame: a dark pixel on the cell's left edge, at or just inside the line.
bool HasFrame(const QImage& image, int left, int y) {
    for (int x = left; x <= left + 2; ++x)
        if (qGray(image.pixel(x, y)) < 96)
            return true;
    return false;
}

TEST_F(GridEditing, TheScreenShowsTheFrameAndTheTypedText) {
    Click(3, 2);
    Type("8888");
    QImage image = Paint();
    image.save(QString(GRID_BUILD_DIR) + "/grid_editing_typed.png");
    const fw::Rect typed = Grid().CalcRectFromRowCol(3, 2), below = Grid().CalcRectFromRowCol(4, 2);
    const int mid = (typed.top + typed.bottom) / 2, midBelow = (below.top + below.bottom) / 2;
    EXPECT_GT(DarkPixels(image, typed), 20);
    EXPECT_EQ(DarkPixels(image, below), 0);
    EXPECT_FALSE(HasFrame(image, below.left, midBelow));
    // Down stores the text and takes the frame along; the stored text stays on screen.
    Key(Qt::Key_Down);
    image = Paint();
    image.save(QString(GRID_BUILD_DIR) + "/grid_editing_stored.png");
    EXPECT_GT(DarkPixels(image, typed), 20);
    EXPECT_FALSE(HasFrame(image, typed.left, mid));
    EXPECT_TRUE(HasFrame(image, below.left, midBelow));
}

TEST_F(GridEditing, MoveCurrentCellInEveryDirection) {
    // Column 3 is hidden (width 0) and cell (6, 5) is disabled; rows 39 and 40 are disabled in
    // column 8, so the moves to the end stop above them.
    Grid().SetColWidth(3, 3, 0, nullptr, 0);
    CGXStyle disabled;
    disabled.SetEnabled(false);
    Grid().SetStyleRange(CGXRange(6, 5), &disabled, gxOverride, 0, nullptr, 0);
    Grid().SetStyleRange(CGXRange(39, 8, 40, 8), &disabled, gxOverride, 0, nullptr, 0);
    struct Case {
        const char* name;
        int direction;
        unsigned count;
        Cell start, expected;
    };
    const Case cases[] = {
        {"up", GX_UP, 1, {6, 2}, {5, 2}},
        {"up stops at the first row", GX_UP, 9, {3, 2}, {1, 2}},
        {"left skips the hidden column", GX_LEFT, 1, {6, 4}, {6, 2}},
        {"down", GX_DOWN, 2, {6, 2}, {8, 2}},
        {"down skips the disabled cell", GX_DOWN, 1, {5, 5}, {7, 5}},
        {"right by 3 over hidden and disabled", GX_RIGHT, 3, {6, 2}, {6, 7}},
        {"page down", GX_PGDOWN, 1, {2, 2}, {0, 0}},  // checked below by the visible rows
        {"page up at the top is top", GX_PGUP, 1, {4, 2}, {1, 2}},
        {"top", GX_TOP, 1, {9, 4}, {1, 4}},
        {"bottom", GX_BOTTOM, 1, {9, 4}, {40, 4}},
        {"bottom stops at enabled", GX_BOTTOM, 1, {9, 8}, {38, 8}},
        {"most left", GX_MOSTLEFT, 1, {9, 4}, {9, 1}},
        {"most right", GX_MOSTRIGHT, 1, {9, 4}, {9, 8}},
        {"top left", GX_TOPLEFT, 1, {9, 4}, {1, 1}},
        {"bottom right goes up past disabled cells", GX_BOTTOMRIGHT, 1, {9, 4}, {38, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Grid().SetTopRow(1);
        ASSERT_TRUE(Grid().SetCurrentCell(c.start.first, c.start.second));
        const ROWCOL lastVisible = Grid().GetLastVisibleRow();
        EXPECT_TRUE(Grid().MoveCurrentCell(c.direction, c.count));
        if (c.direction == GX_PGDOWN)
            EXPECT_EQ(Current(), (Cell{2 + lastVisible - 1, 2}));
        else
            EXPECT_EQ(Current(), c.expected);
    }
    // Nothing to move to: no move, the cell stays.
    ASSERT_TRUE(Grid().SetCurrentCell(1, 1));
    EXPECT_FALSE(Grid().MoveCurrentCell(GX_UP, 1));
    EXPECT_EQ(Current(), (Cell{1, 1}));
}

TEST_F(GridEditing, KeysMoveTheCellWithFrozenRows) {
    Grid().SetFrozenRows(2, 0, 0);
    Grid().SetCurrentCell(5, 2);
    struct Step {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        Cell expected;
    };
    const ROWCOL page = Grid().GetLastVisibleRow() - Grid().GetTopRow();
    const Step steps[] = {
        {"down", Qt::Key_Down, Qt::NoModifier, {6, 2}},
        {"right", Qt::Key_Right, Qt::NoModifier, {6, 3}},
        {"page down", Qt::Key_PageDown, Qt::NoModifier, {6 + page, 3}},
        {"page up", Qt::Key_PageUp, Qt::NoModifier, {6, 3}},
        {"page up at the first scrolled row goes to the top",
         Qt::Key_PageUp,
         Qt::NoModifier,
         {1, 3}},
        {"ctrl end", Qt::Key_End, Qt::ControlModifier, {40, 8}},
        {"up", Qt::Key_Up, Qt::NoModifier, {39, 8}},
        {"ctrl home", Qt::Key_Home, Qt::ControlModifier, {1, 1}},
        {"home alone is not a move", Qt::Key_Home, Qt::NoModifier, {1, 1}},
        {"ctrl down", Qt::Key_Down, Qt::ControlModifier, {40, 1}},
        {"ctrl right", Qt::Key_Right, Qt::ControlModifier, {40, 8}},
        {"ctrl up", Qt::Key_Up, Qt::ControlModifier, {1, 8}},
        {"ctrl left", Qt::Key_Left, Qt::ControlModifier, {1, 1}},
        {"tab", Qt::Key_Tab, Qt::NoModifier, {1, 2}},
        {"shift tab", Qt::Key_Backtab, Qt::ShiftModifier, {1, 1}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        Key(s.key, s.mods);
        EXPECT_EQ(Current(), s.expected);
        ROWCOL row, col;
        Grid().GetCurrentCell(row, col);
        // The current cell is always in view: a frozen row, or at or below the top row.
        EXPECT_TRUE(row <= 2 || (row >= Grid().GetTopRow() && row <= Grid().GetLastVisibleRow()));
    }
}

TEST_F(GridEditing, TypingStoresOnEnterAndMovesAsTheGridSays) {
    Param().m_nEnterKeyAction = GX_DOWN;
    Click(2, 2);
    Type("42");
    EXPECT_TRUE(edit_->IsActive());
    EXPECT_EQ(Grid().GetValueRowCol(2, 2), "");  // nothing stored while typing
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid().GetValueRowCol(2, 2), "42");
    EXPECT_EQ(Current(), (Cell{3, 2}));
    // Tab stores and moves right; an arrow key goes to the control first (it does not take it).
    Type("7");
    Key(Qt::Key_Tab);
    EXPECT_EQ(Grid().GetValueRowCol(3, 2), "7");
    EXPECT_EQ(Current(), (Cell{3, 3}));
    Type("8");
    Key(Qt::Key_Down);
    EXPECT_EQ(Grid().GetValueRowCol(3, 3), "8");
    EXPECT_EQ(Current(), (Cell{4, 3}));
    // Enter with Shift is not the grid's.
    Type("9");
    Key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Current(), (Cell{4, 3}));
    EXPECT_EQ(Grid().GetValueRowCol(4, 3), "");
}

TEST_F(GridEditing, EscapeRestoresTheOldValueAndKeepsTheCell) {
    Grid().SetValueRange(CGXRange(4, 4), "old", gxOverride, 0);
    Click(4, 4);
    Type("new");
    EXPECT_EQ(edit_->text_, "new");
    Key(Qt::Key_Escape);
    EXPECT_EQ(Current(), (Cell{4, 4}));
    EXPECT_FALSE(edit_->IsActive());
    EXPECT_FALSE(edit_->GetModify());
    EXPECT_EQ(edit_->text_, "old");
    Key(Qt::Key_Down);
    EXPECT_EQ(Grid().GetValueRowCol(4, 4), "old");
    EXPECT_EQ(edit_->stores, 0);
}

TEST_F(GridEditing, ARefusedValueKeepsTheTextAndShowsOneBox) {
    CGXStyle limits;
    limits.SetUserAttribute(51012, "50").SetUserAttribute(51013, "At most 50");
    Grid().SetStyleRange(CGXRange(3, 3), &limits, gxOverride, 0, nullptr, 0);
    fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
    Click(3, 3);
    Type("99");
    struct Try {
        const char* name;
        Qt::Key key;
    };
    for (const Try& t :
         {Try{"tab", Qt::Key_Tab}, Try{"enter", Qt::Key_Return}, Try{"arrow", Qt::Key_Right}}) {
        SCOPED_TRACE(t.name);
        const std::size_t before = boxes.asked.size();
        Key(t.key);
        ASSERT_EQ(boxes.asked.size(), before + 1);  // one box, not one per path
        EXPECT_EQ(boxes.asked.back().text, "At most 50");
        EXPECT_EQ(boxes.asked.back().type & fw::MB_TYPEMASK, fw::MB_OK);
        EXPECT_EQ(Current(), (Cell{3, 3}));
        EXPECT_TRUE(edit_->IsActive());
        EXPECT_EQ(edit_->text_, "99");
        EXPECT_EQ(Grid().GetValueRowCol(3, 3), "");
        // Every path out of the refusal gives the flags back.
        EXPECT_FALSE(Grid().IsCurrentCellBusy());
        EXPECT_FALSE(Grid().m_bLockCurrentCell);
    }
    // A click elsewhere is refused the same way and ends the mouse action.
    Click(6, 6);
    EXPECT_EQ(Current(), (Cell{3, 3}));
    EXPECT_EQ(fw::Window::GetCapture(), nullptr);
    // Mending the text lets the cell go.
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);
    Type("12");
    const std::size_t before = boxes.asked.size();
    Key(Qt::Key_Tab);
    EXPECT_EQ(boxes.asked.size(), before);
    EXPECT_EQ(Grid().GetValueRowCol(3, 3), "12");
    EXPECT_EQ(Current(), (Cell{3, 4}));
}

TEST_F(GridEditing, AFocusChangeWhileTheBoxIsOpenLeavesNoFlagBehind) {
    CGXStyle limits;
    limits.SetUserAttribute(51012, "5").SetUserAttribute(51013, "Too big");
    Grid().SetStyleRange(CGXRange(2, 2), &limits, gxOverride, 0, nullptr, 0);
    int boxes = 0;
    // The box takes the focus away from the grid and gives it back, as a real box does.
    auto previous = fw::SetMessageBoxHook([&](const fw::MessageBoxRequest&) -> std::optional<int> {
        ++boxes;
        Grid().SendMessage(fw::WM_KILLFOCUS, 0);
        Grid().SendMessage(fw::WM_SETFOCUS, 0);
        return fw::IDOK;
    });
    Click(2, 2);
    Type("9");
    Key(Qt::Key_Tab);
    fw::SetMessageBoxHook(previous);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(edit_->stores, 0);  // the kill-focus during the box did not store the refused text
    EXPECT_FALSE(Grid().IsCurrentCellBusy());
    EXPECT_FALSE(Grid().m_bLockCurrentCell);
    EXPECT_EQ(Current(), (Cell{2, 2}));
    EXPECT_EQ(edit_->text_, "9");
}

TEST_F(GridEditing, LosingTheFocusStoresTheEditBeforeItGoes) {
    Click(2, 3);
    Type("17");
    EXPECT_EQ(Current(), (Cell{2, 3}));
    EXPECT_EQ(edit_->text_, "17");
    fw::Window other;
    other.Create(nullptr, {0, 0, 10, 10}, 0, 0);
    Grid().SendMessage(fw::WM_KILLFOCUS, other.Handle().value);
    EXPECT_EQ(Grid().GetValueRowCol(2, 3), "17");
    EXPECT_FALSE(edit_->IsActive());
    EXPECT_EQ(Current(), (Cell{2, 3}));
}

TEST_F(GridEditing, TheCurrentControlIsToldOfScrolling) {
    Grid().SetCurrentCell(3, 2);
    Grid().SendMessage(fw::WM_VSCROLL, fw::SB_LINEDOWN);
    Grid().SendMessage(fw::WM_HSCROLL, fw::SB_LINERIGHT);
    EXPECT_EQ(edit_->scrolls, (std::vector<unsigned>{fw::WM_VSCROLL, fw::WM_HSCROLL}));
    EXPECT_EQ(Grid().GetTopRow(), 2u);
    EXPECT_EQ(Grid().GetLeftCol(), 2u);
}

TEST_F(GridEditing, MoveToRecord) {
    Grid().SetCurrentCell(10, 3);
    struct Case {
        const char* name;
        int kind;
        long number;
        bool result;
        Cell expected;
    };
    const Case cases[] = {
        {"first", 0, 0, true, {1, 3}},
        {"next", 2, 0, true, {2, 3}},
        {"previous", 1, 0, true, {1, 3}},
        {"last", 3, 0, true, {40, 3}},
        {"record 7", 4, 7, true, {7, 1}},
        {"past the end clamps", 4, 1000, true, {40, 1}},
        {"a huge number clamps instead of wrapping", 4, 0x7FFFFFFFL, true, {40, 1}},
        {"before the first", 4, -5, true, {1, 1}},
        {"unknown kind", 5, 0, false, {1, 1}},
        {"negative kind", -1, 0, false, {1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Grid().SendMessage(WM_GX_MOVETORECORD, static_cast<fw::WPARAM>(c.kind),
                                     static_cast<fw::LPARAM>(c.number)) != 0,
                  c.result);
        EXPECT_EQ(Current(), c.expected);
    }
}

TEST_F(GridEditing, PendingKeysAreThrownAwayBeforeAWarningBox) {
    Grid().SetCurrentCell(5, 2);
    auto postDown = [&] {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::postEvent(
                wnd_.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
            QCoreApplication::postEvent(
                wnd_.get(), new QKeyEvent(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier));
        }
    };
    // Without a box the three keys move the cell.
    postDown();
    QCoreApplication::processEvents();
    EXPECT_EQ(Current(), (Cell{8, 2}));
    // A box in between throws them away: a held key does not run past it.
    fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
    postDown();
    Grid().SetWarningText("Look");
    Grid().ShowWarningText();
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(Current(), (Cell{8, 2}));
    EXPECT_TRUE(Grid().GetWarningText().empty());
}

TEST_F(GridEditing, ACellBeyondTheCountsOrDisabledIsRefused) {
    CGXStyle disabled;
    disabled.SetEnabled(false);
    Grid().SetStyleRange(CGXRange(4, 4), &disabled, gxOverride, 0, nullptr, 0);
    ASSERT_TRUE(Grid().SetCurrentCell(2, 2));
    EXPECT_FALSE(Grid().SetCurrentCell(41, 2));
    EXPECT_FALSE(Grid().SetCurrentCell(4, 4));
    EXPECT_EQ(Current(), (Cell{2, 2}));
    // Removing the rows of the current cell forgets it.
    Grid().SetRowCount(1, 0);
    EXPECT_EQ(Current(), (Cell{0, 0}));
}

}  // namespace
