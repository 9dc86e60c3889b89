// The combo-window cells (drop-down list and editable): choosing by mouse and keys, Escape and
// clicks outside, typing, the stored value ("Port" is never taken for an earlier "Port A"),
// index values read as whole integers, and how the cell and its list look.
#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/CGXGridCombo.h"
#include "grid/controls/tests/ControlFixture.h"

#include <QTest>

namespace {

using gxtest::ControlFixture;

constexpr const char* kComboPorts = "Port A\r\nPort\r\nUniverse";
constexpr unsigned kIndexCombo = 60001;  // a combo window that stores zero-based indexes

class ComboWnd : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        Core().SetRowCount(6);
        Core().SetColCount(3);
        Core().SetColWidth(1, 3, 100);
        Core().SetRowHeight(1, 6, 20);
        Core().RegisterControl(kIndexCombo,
                               std::make_unique<CGXComboBoxWnd>(&Core(), true, 0, true));
        Put(1, 1, GX_IDS_CTRL_CBS_DROPDOWNLIST, kComboPorts, "Universe");
        Put(2, 1, GX_IDS_CTRL_CBS_DROPDOWN, kComboPorts, "Port");
        Paint();
    }
    void Put(ROWCOL row, ROWCOL col, unsigned control, const char* list, const char* value) {
        CGXStyle s;
        s.SetControl(static_cast<std::uint16_t>(control))
            .SetChoiceList(list)
            .SetValue(std::string(value));
        Core().SetStyleRange(CGXRange(row, col), &s);
    }
    CGXComboBoxWnd* Control(unsigned id) {
        return static_cast<CGXComboBoxWnd*>(Core().GetRegisteredControl(id));
    }
    void Open(ROWCOL row, ROWCOL col, unsigned id) {
        const fw::Rect c = Cell(row, col);
        Click({c.left + 10, c.top + 5});
        ASSERT_TRUE(Control(id)->IsDropDownVisible());
    }
    void ClickLine(unsigned id, int index) {
        CGXComboListBox* list = Control(id)->GetList();
        const fw::Rect r = list->ItemRect(index);
        QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier,
                          QPoint(r.left + 10, (r.top + r.bottom) / 2));
        QCoreApplication::processEvents();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(wnd_.get(), key, mods);
        QCoreApplication::processEvents();
    }
};

TEST_F(ComboWnd, ChoosingByMouseStoresTheLineAndPortIsNeverPortA) {
    Put(3, 1, GX_IDS_CTRL_CBS_DROPDOWNLIST, kComboPorts, "Port");
    Core().SetCurrentCell(3, 1);
    EXPECT_EQ(Control(GX_IDS_CTRL_CBS_DROPDOWNLIST)->GetCurSel(), 1);  // not "Port A"
    Open(1, 1, GX_IDS_CTRL_CBS_DROPDOWNLIST);
    CGXComboBoxWnd* c = Control(GX_IDS_CTRL_CBS_DROPDOWNLIST);
    EXPECT_EQ(c->GetList()->GetCurSel(), 2);
    EXPECT_EQ(QApplication::focusWidget(), wnd_.get());
    ClickLine(GX_IDS_CTRL_CBS_DROPDOWNLIST, 1);
    EXPECT_FALSE(c->IsDropDownVisible());
    Core().SetCurrentCell(4, 1);
    EXPECT_EQ(Value(1, 1), "Port");
}

TEST_F(ComboWnd, KeysEscapeAndClicksOutside) {
    Core().SetCurrentCell(1, 1);
    Key(Qt::Key_F4);
    ASSERT_TRUE(Control(GX_IDS_CTRL_CBS_DROPDOWNLIST)->IsDropDownVisible());
    Key(Qt::Key_Home);
    Key(Qt::Key_Escape);  // discards
    EXPECT_FALSE(Control(GX_IDS_CTRL_CBS_DROPDOWNLIST)->IsDropDownVisible());
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Control(GX_IDS_CTRL_CBS_DROPDOWNLIST)->IsDropDownVisible());
    Key(Qt::Key_Up);
    const fw::Rect other = Cell(5, 2);
    Click({other.left + 5, other.top + 5});  // closes, keeps the choice, moves the cell
    EXPECT_FALSE(Control(GX_IDS_CTRL_CBS_DROPDOWNLIST)->IsDropDownVisible());
    EXPECT_EQ(Value(1, 1), "Port");
    // Closed, Down is the grid's; nothing typed ever opens the list.
    Core().SetCurrentCell(1, 1);
    EXPECT_FALSE(
        Control(GX_IDS_CTRL_CBS_DROPDOWNLIST)->ProcessKeys(fw::WM_KEYDOWN, fw::VK_DOWN, 1, 0));
    QTest::keyClick(wnd_.get(), '(');
    EXPECT_FALSE(Control(GX_IDS_CTRL_CBS_DROPDOWNLIST)->IsDropDownVisible());
}

TEST_F(ComboWnd, TypingSelectsInTheListAndWritesInTheEditableStyle) {
    Core().SetCurrentCell(1, 1);
    QTest::keyClick(wnd_.get(), 'p');
    EXPECT_EQ(Control(GX_IDS_CTRL_CBS_DROPDOWNLIST)->GetCurSel(), 0);
    Core().SetCurrentCell(2, 1);
    EXPECT_EQ(Value(1, 1), "Port A");
    QTest::keyClicks(wnd_.get(), "Pox");
    QTest::keyClick(wnd_.get(), Qt::Key_Backspace);
    QTest::keyClicks(wnd_.get(), "rt 9");
    Core().SetCurrentCell(3, 1);
    EXPECT_EQ(Value(2, 1), "PortPort 9");  // typed after the shown "Port"
}

TEST_F(ComboWnd, IndexValuesAreWholeIntegers) {
    CGXComboBoxWnd* c = Control(kIndexCombo);
    CGXStyle s;
    s.SetChoiceList(kComboPorts);
    std::string text;
    struct Case {
        std::string value;
        bool shown;
        std::string text;
    };
    for (const Case& k :
         {Case{"1", true, "Port"}, Case{"2", true, "Universe"}, Case{"3", false, ""},
          Case{"65537", false, ""}, Case{"4294967297", false, ""}, Case{"-1", false, ""},
          Case{"", false, ""}, Case{"1x", false, ""}}) {
        EXPECT_EQ(c->GetControlText(text, 1, 1, &k.value, s), k.shown) << k.value;
        EXPECT_EQ(text, k.text) << k.value;
    }
    std::string typed = "univ";
    Put(3, 2, kIndexCombo, kComboPorts, "0");
    EXPECT_TRUE(c->ConvertControlTextToValue(typed, 3, 2, nullptr));
    EXPECT_EQ(typed, "2");
}

TEST_F(ComboWnd, GoldenCellAndOpenList) {
    gxtest::ExpectGolden(RepaintAll(), "combownd_inactive");
    Open(1, 1, GX_IDS_CTRL_CBS_DROPDOWNLIST);
    gxtest::ExpectGolden(Paint(), "combownd_active_cell");
    CGXGridCombo* popup = Control(GX_IDS_CTRL_CBS_DROPDOWNLIST)->GetDropDown();
    QImage image(popup->GetWindowRect().Width(), popup->GetWindowRect().Height(),
                 QImage::Format_RGB32);
    popup->render(&image);
    gxtest::ExpectGolden(image, "combownd_list");
}

}  // namespace
