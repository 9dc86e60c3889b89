// Undo of the grid core's own style and value changes: a value typed with real keys comes back
// with Ctrl+Z and goes again with the redo key, each range kind gets its old styles back, and the
// features that record their own step (fill, paste) still make exactly one step.
#include "framework/dialogs/MessageBox.h"
#include "framework/persist/Clipboard.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/tests/GridFixture.h"
#include "grid/features/CGXCommandFactory.h"
#include "grid/features/GXFeatureInstall.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>

namespace {

class StyleRangeUndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXInitWithFeatures();
        wnd_ = std::make_unique<CGXGridWnd>();
        wnd_->Create(nullptr, {0, 0, 420, 300}, 0, fw::WS_VISIBLE);
        wnd_->activateWindow();
        QApplication::setActiveWindow(wnd_.get());
        wnd_->Initialize();
        SetTestStandardFont(Grid());
        Grid().SetRowCount(20, 0);
        Grid().SetColCount(6, 0);
        Grid().SetFocus();
        Paint();
    }
    void TearDown() override {
        wnd_.reset();
        GXTerminateLibrary();
    }
    CGXGridWnd& Grid() { return *wnd_; }
    CGXGridParam& Param() { return *Grid().GetParam(); }
    std::size_t UndoCount() { return Param().GetUndoList().size(); }
    std::string Get(ROWCOL r, ROWCOL c) { return Grid().GetStoredValueRowCol(r, c); }
    void Paint() {
        QCoreApplication::processEvents();
        for (int i = 0; i < 3 && Grid().GetUpdateRect(nullptr); ++i) Grid().UpdateWindow();
    }
    QWidget* Focus() {
        QWidget* w = QApplication::focusWidget();
        return w ? w : wnd_.get();
    }
    QPoint At(ROWCOL row, ROWCOL col) {
        const fw::Rect r = Grid().CalcRectFromRowCol(row, col);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(Focus(), key, mods);
        Paint();
    }
    // Clicks the cell, types the text and presses Enter.
    void Type(ROWCOL row, ROWCOL col, const char* text) {
        QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(row, col));
        Paint();
        for (QChar c : QString::fromUtf8(text)) {
            QTest::keyClicks(Focus(), QString(c));
            Paint();
        }
        Key(Qt::Key_Return);
    }
    std::unique_ptr<CGXGridWnd> wnd_;
};

TEST_F(StyleRangeUndoTest, ATypedValueIsUndoneAndRedoneWithTheKeys) {
    Grid().SetValueRange(CGXRange(2, 2), "old", gxOverride, 0);
    const std::size_t before = UndoCount();
    Type(2, 2, "new");
    ASSERT_EQ(Get(2, 2), "new");
    EXPECT_EQ(UndoCount(), before + 1);  // one step for one typed value
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Get(2, 2), "old");
    Key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(Get(2, 2), "new");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Get(2, 2), "old");

    // A value typed into a cell that had none goes away again.
    Type(4, 3, "x");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Get(4, 3), "");
}

// Each range kind stores in its own places (cells; (row, 0); (0, col); (0, 0)); undo puts the old
// style of each place back, and a place that had none has none again.
TEST_F(StyleRangeUndoTest, EachRangeKindGetsItsOldStylesBack) {
    struct Case {
        CGXRange range;
        ROWCOL row, col;  // a place the range stores into
        ROWCOL untouchedRow, untouchedCol;
    };
    const Case cases[] = {
        {CGXRange(2, 2, 3, 3), 3, 3, 4, 4},
        {CGXRange().SetRows(2, 4), 3, 0, 5, 0},
        {CGXRange().SetCols(2, 3), 0, 3, 0, 4},
        {CGXRange().SetTable(), 0, 0, 1, 1},
    };
    for (const Case& c : cases) {
        const int type = c.row == 0 || c.col == 0 ? gxRowColStyle : 0;
        CGXStyle oldStyle;
        oldStyle.SetTextColor(fw::Rgb(1, 2, 3));
        ASSERT_TRUE(Grid().SetStyleRange(CGXRange(c.row, c.col), &oldStyle, gxOverride, type,
                                         nullptr, 0, 1));
        const std::size_t before = UndoCount();
        CGXStyle bold;
        bold.SetTextColor(fw::Rgb(200, 0, 0));
        ASSERT_TRUE(Grid().SetStyleRange(c.range, &bold, gxOverride, 0, nullptr, 0));
        EXPECT_EQ(UndoCount(), before + 1);
        CGXStyle now;
        ASSERT_TRUE(Grid().GetStyleRowCol(c.row, c.col, now, gxCopy, type));
        EXPECT_EQ(now.GetTextColor(), fw::Rgb(200, 0, 0));
        ASSERT_TRUE(Grid().Undo());
        CGXStyle back;
        ASSERT_TRUE(Grid().GetStyleRowCol(c.row, c.col, back, gxCopy, type));
        EXPECT_EQ(back.GetTextColor(), fw::Rgb(1, 2, 3));
        CGXStyle none;
        EXPECT_FALSE(Grid().GetStyleRowCol(c.untouchedRow, c.untouchedCol, none, gxCopy, type));
        ASSERT_TRUE(Grid().Redo());
        ASSERT_TRUE(Grid().GetStyleRowCol(c.row, c.col, now, gxCopy, type));
        EXPECT_EQ(now.GetTextColor(), fw::Rgb(200, 0, 0));
        Grid().SetStyleRange(c.range, nullptr, gxCopy, 0, nullptr, 0, 1);
    }
}

// What records nothing: the roll-back command type, the undo switch off, the read-only lock.
TEST_F(StyleRangeUndoTest, NoCommandWithoutUndo) {
    const std::size_t before = UndoCount();
    Grid().SetValueRange(CGXRange(1, 1), "a", gxOverride, 0, 1);
    Param().EnableUndo(false);
    Grid().SetValueRange(CGXRange(1, 2), "b", gxOverride, 0);
    Param().EnableUndo(true);
    Param().m_bLockReadOnly = true;
    Grid().SaveReadOnly(true);
    EXPECT_FALSE(Grid().SetValueRange(CGXRange(1, 3), "c", gxOverride, 0));
    Grid().SaveReadOnly(false);
    Param().m_bLockReadOnly = false;
    EXPECT_EQ(UndoCount(), before);
    EXPECT_EQ(Get(1, 1) + Get(1, 2) + Get(1, 3), "ab");
}

// Whole rows count as their cells: 40 000 rows are too many for the undo buffer.
TEST_F(StyleRangeUndoTest, TooLargeForUndoAsksFirstAndOkGoesOnWithout) {
    Grid().SetRowCount(40000, 0);
    const std::size_t before = UndoCount();
    CGXStyle style;
    style.SetValue("v");
    {
        fw::ScopedMessageBoxAnswers boxes({fw::IDCANCEL});
        EXPECT_FALSE(
            Grid().SetStyleRange(CGXRange().SetRows(1, 40000), &style, gxOverride, 0, nullptr, 0));
        EXPECT_EQ(boxes.asked.size(), 1u);
    }
    EXPECT_EQ(UndoCount(), before);
    {
        fw::ScopedMessageBoxAnswers boxes({fw::IDCANCEL});
        EXPECT_FALSE(
            Grid().SetStyleRange(CGXRange(1, 1, 40000, 1), &style, gxOverride, 0, nullptr, 0));
        EXPECT_EQ(boxes.asked.size(), 1u);
    }
    EXPECT_EQ(Get(1, 1), "");
    {
        fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
        EXPECT_TRUE(
            Grid().SetStyleRange(CGXRange(1, 1, 40000, 1), &style, gxOverride, 0, nullptr, 0));
    }
    EXPECT_EQ(Get(40000, 1), "v");
    EXPECT_EQ(UndoCount(), before);
}

TEST_F(StyleRangeUndoTest, PasteAndFillStayOneStepEach) {
    for (ROWCOL r = 1; r <= 2; ++r)
        for (ROWCOL c = 1; c <= 2; ++c)
            Grid().SetValueRange(CGXRange(r, c), std::to_string(r * 10 + c), gxOverride, 0);
    Grid().SetCurrentCell(5, 3);
    {
        fw::Clipboard clip;
        clip.Empty();
        clip.SetText("a\tb\r\nc\td\r\n");
    }
    std::size_t before = UndoCount();
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Get(6, 4), "d");
    EXPECT_EQ(UndoCount(), before + 1);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Get(5, 3) + Get(5, 4) + Get(6, 3) + Get(6, 4), "");

    before = UndoCount();
    ASSERT_TRUE(Grid().DoFill(CGXRange(1, 1, 6, 2), CGXRange(1, 1, 2, 2)));
    EXPECT_EQ(Get(6, 2), "22");
    EXPECT_EQ(UndoCount(), before + 1);
    ASSERT_TRUE(Grid().Undo());
    for (ROWCOL r = 3; r <= 6; ++r) EXPECT_EQ(Get(r, 1) + Get(r, 2), "") << r;
    EXPECT_EQ(Get(2, 2), "22");
}

}  // namespace
