// The combo-box cells: the option bits (text, fitted text, zero- or one-based index, index with
// the line shown), opening by the button and by Alt+Down, choosing by mouse and keys, Escape and
// clicks outside, the value the grid stores ("Port" listed after "Port A" stays "Port"), index
// values read as whole integers, the Down key of the drawn-text option, and how it looks.
#include "framework/window/SystemMetrics.h"
#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXComboBox.h"
#include "grid/controls/CGXGridCombo.h"
#include "grid/controls/tests/ControlFixture.h"
#include "grid/core/GXLibraryState.h"

#include <QTest>

namespace {

using gxtest::ControlFixture;

constexpr const char* kPorts = "Port A\r\nPort\r\nUniverse";

class Combo : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        Core().SetRowCount(8);
        Core().SetColCount(3);
        Core().SetColWidth(1, 3, 100);
        Core().SetRowHeight(1, 8, 20);
        Put(1, 1, GX_IDS_CTRL_COMBOBOX, "Port");
        Put(2, 1, GX_IDS_CTRL_TEXTFIT, "Universe");
        Put(3, 1, GX_IDS_CTRL_ZEROBASED, "1");
        Put(4, 1, GX_IDS_CTRL_ZEROBASED_EX, "1");
        Put(5, 1, GX_IDS_CTRL_ONEBASED_EX, "3");
        Paint();
    }
    void Put(ROWCOL row, ROWCOL col, unsigned control, const char* value) {
        CGXStyle s;
        s.SetControl(static_cast<std::uint16_t>(control))
            .SetChoiceList(kPorts)
            .SetValue(std::string(value));
        Core().SetStyleRange(CGXRange(row, col), &s);
    }
    CGXComboBox* Control(unsigned id) {
        return static_cast<CGXComboBox*>(Core().GetRegisteredControl(id));
    }
    // Clicks the drop-down button of a cell (making the cell current first).
    void ClickButton(ROWCOL row, ROWCOL col) {
        const fw::Rect c = Cell(row, col);
        Click({c.right - 8, (c.top + c.bottom) / 2});
    }
    void ClickLine(CGXComboBox* c, int index) {
        CGXComboListBox* list = c->GetListBox();
        const fw::Rect r = list->ItemRect(index);
        QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier,
                          QPoint(r.left + 10, (r.top + r.bottom) / 2));
        QCoreApplication::processEvents();
    }
    std::string EditText(CGXComboBox* c) {
        std::string text;
        c->GetCurrentText(text);
        return text;
    }
};

TEST_F(Combo, TheOptionsTurnTextsIntoValuesAndValuesIntoTexts) {
    struct Case {
        unsigned id;
        std::string typed, value;
    };
    // A whole line (any case) wins over an earlier line it begins.
    for (const Case& c :
         {Case{GX_IDS_CTRL_COMBOBOX, "port", "port"}, Case{GX_IDS_CTRL_TEXTFIT, "port", "Port"},
          Case{GX_IDS_CTRL_TEXTFIT, "Univ", "Universe"}, Case{GX_IDS_CTRL_TEXTFIT, "xyz", ""},
          Case{GX_IDS_CTRL_ZEROBASED_EX, "Port", "1"}, Case{GX_IDS_CTRL_ZEROBASED_EX, "xyz", ""},
          Case{GX_IDS_CTRL_ONEBASED_EX, "Port", "2"}}) {
        std::string text = c.typed;
        EXPECT_TRUE(Control(c.id)->ConvertControlTextToValue(text, 1, 1, Style(2, 1).get()))
            << c.id << " " << c.typed;
        EXPECT_EQ(text, c.value) << c.id << " " << c.typed;
    }
    struct Shown {
        unsigned id;
        std::string value, text;
        bool found;
    };
    const std::unique_ptr<CGXStyle> style = Style(4, 1);
    for (const Shown& s :
         {Shown{GX_IDS_CTRL_ZEROBASED_EX, "0", "Port A", true},
          Shown{GX_IDS_CTRL_ZEROBASED_EX, "2", "Universe", true},
          Shown{GX_IDS_CTRL_ZEROBASED_EX, "3", "", false},
          Shown{GX_IDS_CTRL_ZEROBASED_EX, "65536", "", false},  // never wraps onto line 0
          Shown{GX_IDS_CTRL_ZEROBASED_EX, "4294967297", "", false},
          Shown{GX_IDS_CTRL_ZEROBASED_EX, "-1", "", false},
          Shown{GX_IDS_CTRL_ZEROBASED_EX, "", "", false},
          Shown{GX_IDS_CTRL_ZEROBASED_EX, "1x", "", false},
          Shown{GX_IDS_CTRL_ONEBASED_EX, "1", "Port A", true},
          Shown{GX_IDS_CTRL_ONEBASED_EX, "0", "", false},
          Shown{GX_IDS_CTRL_ONEBASED_EX, "-1", "", false}}) {
        std::string text = "stale";
        EXPECT_EQ(Control(s.id)->GetControlText(text, 4, 1, &s.value, *style), s.found)
            << s.id << " " << s.value;
        EXPECT_EQ(text, s.text) << s.id << " " << s.value;
    }
}

TEST_F(Combo, FittedTextsMustBeginALine) {
    Core().SetCurrentCell(2, 1);
    CGXComboBox* fit = Control(GX_IDS_CTRL_TEXTFIT);
    for (auto [text, ok] : std::vector<std::pair<std::string, bool>>{
             {"", true}, {"po", true}, {"UNIVERSE", true}, {"x", false}, {"Port B", false}})
        EXPECT_EQ(fit->ValidateText(text), ok) << text;
    Core().SetCurrentCell(1, 1);
    EXPECT_TRUE(Control(GX_IDS_CTRL_COMBOBOX)->ValidateText("anything"));
}

TEST_F(Combo, TheButtonOpensTheListAndAClickOnALineChoosesIt) {
    ClickButton(2, 1);
    CGXComboBox* c = Control(GX_IDS_CTRL_TEXTFIT);
    ASSERT_TRUE(c->IsDropDownVisible());
    EXPECT_TRUE(c->IsActive());
    EXPECT_TRUE(Core().m_bDropDownOpen);
    EXPECT_EQ(c->GetListBox()->GetCount(), 3);
    EXPECT_EQ(c->GetListBox()->GetCurSel(), 2);
    // The keyboard stays with the cell, not with the pop-up.
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_FALSE(c->GetDropDown()->isAncestorOf(QApplication::focusWidget()));
    ClickLine(c, 0);
    EXPECT_FALSE(c->IsDropDownVisible());
    EXPECT_FALSE(Core().m_bDropDownOpen);
    EXPECT_EQ(EditText(c), "Port A");
    Core().SetCurrentCell(6, 1);  // leaving the cell stores the choice
    EXPECT_EQ(Value(2, 1), "Port A");
    // A click on the open list's button closes it, and does not open it again.
    ClickButton(2, 1);
    ASSERT_TRUE(c->IsDropDownVisible());
    ClickButton(2, 1);
    EXPECT_FALSE(c->IsDropDownVisible());
}

TEST_F(Combo, PortListedAfterPortAIsSelectedAndStoredAsPort) {
    ClickButton(1, 1);
    CGXComboBox* c = Control(GX_IDS_CTRL_COMBOBOX);
    ASSERT_TRUE(c->IsDropDownVisible());
    EXPECT_EQ(c->GetListBox()->GetCurSel(), 1);  // not "Port A"
    Key(Qt::Key_Return);
    EXPECT_FALSE(c->IsDropDownVisible());
    Core().SetCurrentCell(6, 1);
    EXPECT_EQ(Value(1, 1), "Port");
    // Typed into the fitted cell, "port" is "Port", not the earlier "Port A".
    Core().SetCurrentCell(2, 1);
    Type("port");
    EXPECT_EQ(EditText(Control(GX_IDS_CTRL_TEXTFIT)), "port");
    Core().SetCurrentCell(6, 1);
    EXPECT_EQ(Value(2, 1), "Port");
}

TEST_F(Combo, AltDownOpensTheArrowsMoveAndEnterTakesTheLine) {
    Core().SetCurrentCell(3, 1);
    CGXComboBox* c = Control(GX_IDS_CTRL_ZEROBASED);
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(c->IsDropDownVisible());
    EXPECT_EQ(c->GetListBox()->GetCurSel(), 1);  // the stored index
    Key(Qt::Key_Down);
    EXPECT_EQ(c->GetListBox()->GetCurSel(), 2);
    EXPECT_EQ(EditText(c), "2");  // moving copies the line's index into the edit at once
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    Key(Qt::Key_Return);
    EXPECT_FALSE(c->IsDropDownVisible());
    Core().SetCurrentCell(6, 1);
    EXPECT_EQ(Value(3, 1), "0");
}

TEST_F(Combo, TheShownChoiceStoresItsIndex) {
    std::string shown;
    CGXComboBox* c = Control(GX_IDS_CTRL_ONEBASED_EX);
    c->GetControlText(shown, 5, 1, nullptr, *Style(5, 1));
    EXPECT_EQ(shown, "Universe");
    ClickButton(5, 1);
    ASSERT_TRUE(c->IsDropDownVisible());
    EXPECT_EQ(c->GetListBox()->GetCurSel(), 2);
    ClickLine(c, 1);
    EXPECT_EQ(EditText(c), "Port");
    Core().SetCurrentCell(6, 1);
    EXPECT_EQ(Value(5, 1), "2");
}

TEST_F(Combo, EscapeClosesTheListKeepingTheEdit) {
    Core().SetCurrentCell(2, 1);
    Key(Qt::Key_Down, Qt::AltModifier);
    CGXComboBox* c = Control(GX_IDS_CTRL_TEXTFIT);
    ASSERT_TRUE(c->IsDropDownVisible());
    Key(Qt::Key_Home);  // "Port A" is in the edit now
    Key(Qt::Key_Escape);
    EXPECT_FALSE(c->IsDropDownVisible());
    EXPECT_TRUE(c->IsActive());
    EXPECT_EQ(EditText(c), "Port A");
    // A second Escape, with the list closed, is the grid's: the stored value comes back.
    Key(Qt::Key_Escape);
    Core().SetCurrentCell(6, 1);
    EXPECT_EQ(Value(2, 1), "Universe");
}

TEST_F(Combo, AClickOutsideClosesTheListAndTheGridStoresTheChoice) {
    ClickButton(2, 1);
    CGXComboBox* c = Control(GX_IDS_CTRL_TEXTFIT);
    ASSERT_TRUE(c->IsDropDownVisible());
    Key(Qt::Key_Up);
    const fw::Rect other = Cell(7, 3);
    Click({other.left + 5, other.top + 5});
    EXPECT_FALSE(c->IsDropDownVisible());
    ROWCOL row, col;
    ASSERT_TRUE(Core().GetCurrentCell(row, col));
    EXPECT_EQ(row, 7u);
    EXPECT_EQ(col, 3u);
    EXPECT_EQ(Value(2, 1), "Port");
}

TEST_F(Combo, WithTheEditedTextDrawnOnlyTheDownKeyOpensTheList) {
    CGXComboBox* c = Control(GX_IDS_CTRL_COMBOBOX);
    c->m_bDrawEditedText = true;
    Core().SetCurrentCell(1, 1);
    QTest::keyClick(wnd_.get(), 'U');
    QCoreApplication::processEvents();
    ASSERT_TRUE(c->IsActive());
    // "(" has the Down key's code as a character; it is typed, it does not open the list.
    Key(static_cast<Qt::Key>('('));
    EXPECT_FALSE(c->IsDropDownVisible());
    EXPECT_EQ(EditText(c), "U(");
    EXPECT_TRUE(c->ProcessKeys(fw::WM_KEYDOWN, fw::VK_DOWN, 1, 0));
    EXPECT_TRUE(c->IsDropDownVisible());
}

TEST_F(Combo, NearTheScreensBottomTheListOpensAboveTheCell) {
    const int screenW = fw::GetSystemMetrics(fw::SM_CXSCREEN);
    const int screenH = fw::GetSystemMetrics(fw::SM_CYSCREEN);
    CGXComboBox* c = Control(GX_IDS_CTRL_TEXTFIT);
    const fw::Rect cell = Cell(2, 1);
    // The cell's bottom right corner lies 10 pixels inside the screen's.
    wnd_->MoveWindow({screenW - cell.right - 10, screenH - cell.bottom - 10,
                      screenW - cell.right - 10 + width_, screenH - cell.bottom - 10 + height_});
    QCoreApplication::processEvents();
    Core().SetCurrentCell(2, 1);
    c->ShowDropDown(true);
    ASSERT_TRUE(c->IsDropDownVisible());
    // Above the cell's inner rectangle (the cell less its grid lines).
    const fw::Rect screenCell = wnd_->ClientToScreen(c->CGXControl::GetCellRect(2, 1));
    const fw::Rect list = c->GetDropDown()->GetWindowRect();
    EXPECT_LE(list.bottom, screenCell.top);
    EXPECT_LE(list.right, screenW);
    EXPECT_GE(list.left, 0);
}

TEST_F(Combo, TheDropDownClassIsTheLibrarys) {
    EXPECT_EQ(GXGetGridComboClassName(), GXGetLibraryState().m_strPopupClass);
    unsigned style = 0;
    ASSERT_TRUE(GXGetClassInfo(GXGetGridComboClassName(), &style));
    EXPECT_EQ(style, GX_CS_SAVEBITS);
}

TEST_F(Combo, GoldenCellAndOpenList) {
    gxtest::ExpectGolden(RepaintAll(), "combo_inactive");
    ClickButton(1, 1);
    ASSERT_TRUE(Control(GX_IDS_CTRL_COMBOBOX)->IsDropDownVisible());
    gxtest::ExpectGolden(Paint(), "combo_active_cell");
    CGXGridCombo* popup = Control(GX_IDS_CTRL_COMBOBOX)->GetDropDown();
    QImage image(popup->GetWindowRect().Width(), popup->GetWindowRect().Height(),
                 QImage::Format_RGB32);
    popup->render(&image);
    gxtest::ExpectGolden(image, "combo_list");
}

}  // namespace
