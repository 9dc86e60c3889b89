// The edit control in a real grid window: a click and typed keys put the cell's text into an
// edit window over the cell; Enter, Tab and the arrows store it and move on, Escape restores
// it, a refused value stays with one warning box; limits count characters.
#include "framework/controls/ControlStyles.h"
#include "framework/dialogs/MessageBox.h"
#include "grid/controls/CGXControlFactory.h"
#include "grid/controls/CGXEditControl.h"
#include "grid/controls/tests/ControlFixture.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRange.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

namespace {

using RC = std::pair<ROWCOL, ROWCOL>;

class EditControl : public gxtest::ControlFixture {
protected:
    void SetUp() override {
        gxtest::ControlFixture::SetUp();
        Core().SetRowCount(20, 0);
        Core().SetColCount(6, 0);
        CGXStyle style;
        style.SetControl(static_cast<std::uint16_t>(GX_IDS_CTRL_EDIT_CONTROL));
        Core().SetStyleRange(CGXRange().SetTable(), &style, gxOverride, 0, nullptr, 0);
        Core().GetParam()->m_nEnterKeyAction = GX_DOWN;
        edit_ = dynamic_cast<CGXEditControl*>(Core().GetRegisteredControl(GX_IDS_CTRL_EDIT));
        ASSERT_NE(edit_, nullptr);
        Paint();
    }
    void Type(const QString& text) {
        for (QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClicks(Focus(), QString(c));
            } else {
                // A character without a key of its own, as an input method delivers it.
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
                QApplication::sendEvent(Focus(), &press);
                QApplication::sendEvent(Focus(), &release);
            }
            Paint();
        }
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(Focus(), key, mods);
        Paint();
    }
    void ClickCell(ROWCOL row, ROWCOL col) {
        const fw::Rect r = Cell(row, col);
        Click({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        Paint();
    }
    std::pair<ROWCOL, ROWCOL> Current() {
        ROWCOL row = 0, col = 0;
        Core().GetCurrentCell(row, col);
        return {row, col};
    }
    bool WindowShown() { return edit_->GetWnd() && edit_->GetWnd()->IsWindowVisible(); }
    std::string WindowText() { return edit_->GetWindowText(); }

    CGXEditControl* edit_ = nullptr;
};

TEST_F(EditControl, TypingShowsTheWindowOverTheCellAndEnterStores) {
    Core().SetValueRange(CGXRange(2, 2), "old", gxOverride, 0);
    ClickCell(2, 2);
    EXPECT_FALSE(WindowShown());  // a click alone does not activate
    Type("new");
    ASSERT_TRUE(WindowShown());
    // The typed character replaced the whole text; the window lies inside the cell and has the
    // keyboard.
    EXPECT_EQ(WindowText(), "new");
    const fw::Rect cell = Cell(2, 2);
    const fw::Rect placed = Core().ScreenToClient(edit_->GetWnd()->GetWindowRect());
    EXPECT_GE(placed.left, cell.left);
    EXPECT_LE(placed.right, cell.right);
    EXPECT_GE(placed.top, cell.top);
    EXPECT_LE(placed.bottom, cell.bottom);
    EXPECT_EQ(fw::Window::GetFocus(), edit_->GetWnd());
    EXPECT_EQ(Core().GetValueRowCol(2, 2), "old");  // nothing stored while typing
    // The screen: the grid's image with the edit window drawn where it lies.
    QImage shot = RepaintAll();
    {
        QPainter painter(&shot);
        edit_->GetWnd()->render(&painter, QPoint(placed.left, placed.top));
    }
    shot.save(QString(GRID_BUILD_DIR) + "/grid_controls_edit_active.png");
    Key(Qt::Key_Return);
    EXPECT_EQ(Core().GetValueRowCol(2, 2), "new");
    EXPECT_EQ(Current(), (RC{3, 2}));
    EXPECT_FALSE(WindowShown());
    EXPECT_EQ(fw::Window::GetFocus(), &Core());
}

TEST_F(EditControl, TabAndArrowsStoreAndMoveAtTheEndsOfTheText) {
    ClickCell(2, 2);
    Type("ab");
    // Left inside the text moves the caret; at the start it leaves the cell.
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    EXPECT_EQ(Current(), (RC{2, 2}));
    Key(Qt::Key_Left);
    EXPECT_EQ(Current(), (RC{2, 1}));
    EXPECT_EQ(Core().GetValueRowCol(2, 2), "ab");
    struct Step {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        RC expected;
    };
    const Step steps[] = {
        {"tab", Qt::Key_Tab, Qt::NoModifier, {2, 2}},
        {"right at the end", Qt::Key_Right, Qt::NoModifier, {2, 3}},
        {"down", Qt::Key_Down, Qt::NoModifier, {3, 3}},
        {"up", Qt::Key_Up, Qt::NoModifier, {2, 3}},
        {"shift tab", Qt::Key_Backtab, Qt::ShiftModifier, {2, 2}},
    };
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        const auto [row, col] = Current();
        const std::string typed = "v" + std::to_string(n++);
        Type(QString::fromStdString(typed));
        ASSERT_TRUE(WindowShown());
        Key(s.key, s.mods);
        EXPECT_EQ(Current(), s.expected);
        EXPECT_EQ(Core().GetValueRowCol(row, col), typed);
    }
}

TEST_F(EditControl, EscapeRestoresTheStoredText) {
    Core().SetValueRange(CGXRange(4, 3), "kept", gxOverride, 0);
    ClickCell(4, 3);
    Type("gone");
    Key(Qt::Key_Escape);
    EXPECT_EQ(Current(), (RC{4, 3}));
    EXPECT_FALSE(edit_->IsActive());
    EXPECT_FALSE(edit_->GetModify());
    EXPECT_FALSE(WindowShown());
    Key(Qt::Key_Down);
    EXPECT_EQ(Core().GetValueRowCol(4, 3), "kept");
}

TEST_F(EditControl, ARefusedValueKeepsTheTextAndShowsOneBox) {
    CGXStyle limits;
    limits.SetUserAttribute(51012, "50").SetUserAttribute(51013, "At most 50");
    Core().SetStyleRange(CGXRange(3, 3), &limits, gxApplyNew, 0, nullptr, 0);
    fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
    ClickCell(3, 3);
    Type("99");
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Return, Qt::Key_Down}) {
        SCOPED_TRACE(key);
        const std::size_t before = boxes.asked.size();
        Key(key);
        ASSERT_EQ(boxes.asked.size(), before + 1);
        EXPECT_EQ(boxes.asked.back().text, "At most 50");
        EXPECT_EQ(Current(), (RC{3, 3}));
        EXPECT_TRUE(edit_->IsActive());
        EXPECT_TRUE(WindowShown());
        EXPECT_EQ(WindowText(), "99");
        EXPECT_EQ(Core().GetValueRowCol(3, 3), "");
        EXPECT_FALSE(Core().IsCurrentCellBusy());
    }
    // Mending the text in the window lets the cell go.
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);
    Type("12");
    const std::size_t before = boxes.asked.size();
    Key(Qt::Key_Tab);
    EXPECT_EQ(boxes.asked.size(), before);
    EXPECT_EQ(Core().GetValueRowCol(3, 3), "12");
    EXPECT_EQ(Current(), (RC{3, 4}));
}

TEST_F(EditControl, LengthLimitsCountCharacters) {
    CGXStyle limit;
    limit.SetMaxLength(3);
    Core().SetStyleRange(CGXRange(2, 2, 2, 3), &limit, gxApplyNew, 0, nullptr, 0);
    ClickCell(2, 2);
    Type(QString::fromUtf8("äöüß"));
    EXPECT_EQ(WindowText(), "äöü");
    Key(Qt::Key_Return);
    EXPECT_EQ(Core().GetValueRowCol(2, 2), "äöü");
    // Text set through the control is cut at three characters, never inside one.
    EXPECT_TRUE(Core().SetControlTextRowCol(2, 3, "ééééé", GX_INVALIDATE, nullptr));
    EXPECT_EQ(Core().GetValueRowCol(2, 3), "ééé");
}

TEST_F(EditControl, KeysOnAnInactiveCell) {
    Core().SetValueRange(CGXRange(5, 2), "hello", gxOverride, 0);
    struct Case {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        bool active;
        std::string text;
        int caret;
    };
    const Case cases[] = {
        {"home puts the caret first", Qt::Key_Home, Qt::NoModifier, true, "hello", 0},
        {"end puts it last", Qt::Key_End, Qt::NoModifier, true, "hello", 5},
        {"delete empties the cell", Qt::Key_Delete, Qt::NoModifier, true, "", 0},
        {"shift delete does nothing", Qt::Key_Delete, Qt::ShiftModifier, false, "hello", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Core().SetCurrentCell(5, 2);
        Paint();
        ASSERT_FALSE(edit_->IsActive());
        Key(c.key, c.mods);
        EXPECT_EQ(edit_->IsActive(), c.active);
        EXPECT_EQ(WindowText(), c.text);
        if (c.caret >= 0) {
            int start = -1, end = -1;
            edit_->GetSel(start, end);
            EXPECT_EQ(end, c.caret);
            EXPECT_EQ(fw::Window::GetFocus(), edit_->GetWnd());
        }
        EXPECT_EQ(edit_->GetModify(), c.key == Qt::Key_Delete && c.active);
        Key(Qt::Key_Escape);
    }
}

TEST_F(EditControl, ReplaceAllBuildsAResultOfAnyLength) {
    // 1200 bytes that grow to 2400: beyond any fixed work area.
    std::string value;
    for (int i = 0; i < 600; ++i) value += "aB";
    Core().SetValueRange(CGXRange(6, 2), value, gxOverride, 0);
    EXPECT_TRUE(edit_->ReplaceAll("b", "xyz", false, 6, 2));
    std::string expected;
    for (int i = 0; i < 600; ++i) expected += "axyz";
    EXPECT_EQ(Core().GetValueRowCol(6, 2), expected);
    EXPECT_FALSE(edit_->ReplaceAll("B", "q", true, 6, 2));  // matching case: none left
    EXPECT_FALSE(edit_->ReplaceAll("", "q", false, 6, 2));
}

TEST_F(EditControl, TheFactoryMakesTheEditControlForItsIdAndUnknownIds) {
    for (unsigned id : {GX_IDS_CTRL_EDIT_CONTROL, 52530u, 52533u, 20210u}) {
        std::unique_ptr<CGXControl> control = CGXControlFactory().CreateCellControl(id, Core());
        auto* edit = dynamic_cast<CGXEditControl*>(control.get());
        ASSERT_NE(edit, nullptr) << id;
        EXPECT_EQ(edit->GetControlId(), GX_IDS_CTRL_EDIT_CONTROL) << id;
        EXPECT_NE(edit->GetCellTip(), nullptr) << id;
        EXPECT_TRUE(edit->IsKindOfControlClass(CGXStatic::kClassInfo));
    }
}

}  // namespace

namespace {

TEST_F(EditControl, TheWindowTakesTheCellsAlignment) {
    CGXStyle right;
    right.SetHorizontalAlignment(fw::DT_RIGHT);
    Core().SetStyleRange(CGXRange(4, 4), &right, gxOverride, 0, nullptr, 0);
    for (const auto& [cell, align] : {std::pair{RC{4, 4}, fw::ES_RIGHT}, std::pair{RC{4, 3}, 0u}}) {
        ClickCell(cell.first, cell.second);
        Type("5");
        ASSERT_TRUE(WindowShown());
        EXPECT_EQ(edit_->GetWnd()->GetStyle() & (fw::ES_RIGHT | fw::ES_CENTER), align);
        Key(Qt::Key_Escape);
    }
}

// The box around the pixels of one colour in an image (empty when there are none).
QRect BoxOf(const QImage& image, const QRect& area, fw::ColorRef color) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (fw::FromPixel(image.pixel(x, y)) == color)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// Typing into a cell shows the text as the cell shows it: the style's font at the grid's zoom,
// its text colour on its interior colour.
TEST_F(EditControl, TheWindowTakesTheCellsFontAndColours) {
    const fw::ColorRef ink = fw::Rgb(192, 0, 0);
    const fw::ColorRef paper = fw::Rgb(255, 240, 120);
    CGXStyle look;
    look.SetFont(CGXFont().SetWeight(fw::FW_BOLD).SetSize(14)).SetTextColor(ink).SetInterior(paper);
    Core().SetStyleRange(CGXRange(3, 2), &look, gxOverride, 0, nullptr, 0);
    Core().SetColWidth(2, 2, 120, nullptr, 0);
    Core().SetRowHeight(3, 3, 34, nullptr, 0);
    Core().SetValueRange(CGXRange(3, 2), "WMW", gxOverride, 0);
    for (const int zoom : {100, 150}) {
        SCOPED_TRACE(zoom);
        Core().SetZoom(zoom);
        // The cell as the grid draws it, not being edited.
        QImage still = RepaintAll();
        const fw::Rect cell = Cell(3, 2);
        const QRect cellArea(cell.left, cell.top, cell.Width() - 1, cell.Height() - 1);
        const QRect drawnText = BoxOf(still, cellArea, ink);
        ASSERT_FALSE(drawnText.isEmpty());

        ClickCell(3, 2);
        Key(Qt::Key_End);  // activates with the caret after the text
        ASSERT_TRUE(WindowShown());
        auto* wnd = edit_->GetEditWnd();
        const fw::LogFont font = wnd->GetFont();
        EXPECT_EQ(font, Style(3, 2)->GetFont().GetLogFontZoomed(zoom));
        EXPECT_EQ(font.weight, fw::FW_BOLD);
        EXPECT_EQ(wnd->GetTextColor(), ink);
        EXPECT_EQ(wnd->GetBkColor(), paper);

        // The edit window rendered: the text in the cell's colour on the cell's interior, its
        // letters as high and as wide as the grid draws them (within a pixel or two).
        const QImage typed = wnd->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect typedText = BoxOf(typed, typed.rect(), ink);
        ASSERT_FALSE(typedText.isEmpty());
        EXPECT_NEAR(typedText.height(), drawnText.height(), 2);
        EXPECT_NEAR(typedText.width(), drawnText.width(), 3);
        EXPECT_EQ(fw::FromPixel(typed.pixel(typed.width() - 2, 1)), paper);

        // The screen: the grid's image with the edit window drawn where it lies.
        const fw::Rect placed = Core().ScreenToClient(wnd->GetWindowRect());
        QImage shot = RepaintAll();
        {
            QPainter painter(&shot);
            painter.drawImage(QPoint(placed.left, placed.top), typed);
        }
        shot.save(QString(GRID_BUILD_DIR) + "/grid_controls_edit_font_" + QString::number(zoom) +
                  ".png");
        Key(Qt::Key_Escape);
    }
}

}  // namespace
