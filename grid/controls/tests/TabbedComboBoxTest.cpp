// The tabbed combo box cell: keys stored and texts shown, choosing by mouse and keys, typing
// completed from the choices ("Port" typed out stays "Port" although "Port A" comes first),
// titles, widths, sorting once, shared look-up maps and their aliases, Escape and clicks
// outside.
#include "framework/window/SystemMetrics.h"
#include "grid/controls/CGXGridCombo.h"
#include "grid/controls/CGXTabbedComboBox.h"
#include "grid/controls/CGXTabbedComboBoxWnd.h"
#include "grid/controls/tests/TabbedCellFixture.h"
#include "grid/core/CGXGridParam.h"

#include <QTest>

namespace {

using Fixture = gxtest::TabbedCellFixture<CGXTabbedComboBox, GX_IDS_CTRL_TABBED_COMBOBOX>;
using gxtest::kTabbedPorts;

class TabbedCombo : public Fixture {
protected:
    void SetUp() override { SetUpRows(8); }
    CGXTabbedComboBox* Control() { return Ctrl(); }
    void Open(ROWCOL row, ROWCOL col) {
        const fw::Rect c = Cell(row, col);
        Click({c.right - 8, (c.top + c.bottom) / 2});
        ASSERT_TRUE(Control()->IsDropDownVisible());
    }
    void ClickLine(int index) {
        CGXComboListBox* list = Control()->GetListBox();
        const fw::Rect r = list->ItemRect(index);
        QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier,
                          QPoint(r.left + 10, (r.top + r.bottom) / 2));
        QCoreApplication::processEvents();
    }
    std::string EditText() {
        std::string text;
        Control()->GetCurrentText(text);
        return text;
    }
};

TEST_F(TabbedCombo, KeysAreStoredAndTextsShown) {
    ExpectKeysAndTexts();
}

TEST_F(TabbedCombo, ChoosingPortByMouseStoresItsKey) {
    Open(1, 1);
    CGXTabbedComboBox* c = Control();
    ASSERT_EQ(c->GetListBox()->GetCount(), 3);
    EXPECT_EQ(c->GetListBox()->GetText(1), "Port\t2\tPort\tsecond");  // text, tab, whole line
    EXPECT_EQ(c->GetListBox()->GetCurSel(), 2);
    ClickLine(1);
    EXPECT_FALSE(c->IsDropDownVisible());
    EXPECT_EQ(EditText(), "Port");
    Core().SetCurrentCell(5, 1);
    EXPECT_EQ(Value(1, 1), "2");
}

TEST_F(TabbedCombo, KeysMoveInTheListAndEnterTakesTheLine) {
    Core().SetCurrentCell(1, 1);
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Control()->IsDropDownVisible());
    Key(Qt::Key_Home);
    EXPECT_EQ(EditText(), "Port A");
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);
    EXPECT_FALSE(Control()->IsDropDownVisible());
    Core().SetCurrentCell(5, 1);
    EXPECT_EQ(Value(1, 1), "2");
}

TEST_F(TabbedCombo, TypingCompletesAndTypingPortOutStaysPort) {
    Core().SetCurrentCell(1, 1);
    Type("P");
    EXPECT_EQ(EditText(), "Port A");  // completed from the first choice it begins
    Type("ort");
    EXPECT_EQ(EditText(), "Port");  // the whole text wins over "Port A"
    Type("x");                      // begins no choice: refused
    EXPECT_EQ(EditText(), "Port");
    Core().SetCurrentCell(5, 1);
    EXPECT_EQ(Value(1, 1), "2");
}

TEST_F(TabbedCombo, EscapeClosesAndASecondEscapeRestoresTheStoredValue) {
    Open(1, 1);
    Key(Qt::Key_Home);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Control()->IsDropDownVisible());
    EXPECT_EQ(EditText(), "Port A");
    Key(Qt::Key_Escape);
    Core().SetCurrentCell(5, 1);
    EXPECT_EQ(Value(1, 1), "3");
}

TEST_F(TabbedCombo, AClickOutsideClosesAndTheChoiceIsStored) {
    Open(1, 1);
    Key(Qt::Key_Up);
    const fw::Rect other = Cell(6, 3);
    Click({other.left + 5, other.top + 5});
    EXPECT_FALSE(Control()->IsDropDownVisible());
    EXPECT_EQ(Value(1, 1), "2");
}

TEST_F(TabbedCombo, TitlesWidthsAndSortingOnce) {
    CGXStyle extra;
    extra.SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "1")
        .SetUserAttribute(GX_IDS_UA_TABLIST_COLWIDTHS, "40, 0 ,80")
        .SetUserAttribute(GX_IDS_UA_TABLIST_SORTCOL, "1");
    Put(2, 1, "Key\tName\tNote\tMore\r\n2\tGreen\tg\tx\r\n1\tRed\tr\ty", "2", extra);
    Open(2, 1);
    CGXTabbedComboBox* c = Control();
    EXPECT_EQ(c->GetTitleText(), "Key\tName\tNote\tMore");
    ASSERT_EQ(c->GetListBox()->GetCount(), 2);
    EXPECT_EQ(c->GetListBox()->GetText(0), "Green\t2\tGreen\tg\tx");  // sorted by name
    ASSERT_EQ(c->GetColumnEdges().size(), 4u);
    EXPECT_EQ(c->GetColumnEdges()[0], 40);
    EXPECT_EQ(c->GetColumnEdges()[1], 40);
    EXPECT_EQ(c->GetColumnEdges()[2], 120);
    EXPECT_GT(c->GetColumnEdges()[3], 120);  // measured
    EXPECT_EQ(c->GetStyle().GetUserAttribute(GX_IDS_UA_TABLIST_SORTCOL).GetValue(), "-1");
    ClickLine(1);
    Core().SetCurrentCell(5, 1);
    EXPECT_EQ(Value(2, 1), "1");
}

TEST_F(TabbedCombo, ASharedListTakesAWholeTextInAnotherCaseAsAnAliasNeverAPrefix) {
    CGXStyle extra;
    extra.SetUserAttribute(GX_IDS_UA_TABLIST_UNIQUEID, "7");
    Put(3, 1, kTabbedPorts, "1", extra);
    Core().SetCurrentCell(3, 1);
    CGXTabbedComboBox* c = Control();
    EXPECT_TRUE(c->ValidateText("port"));  // begins "Port A" and is "Port" in another case
    EXPECT_TRUE(c->ValidateText("univ"));
    EXPECT_FALSE(c->ValidateText("x"));
    CGXChoiceMap* map = Core().GetParam()->m_choiceMaps.Find(7, CGXChoiceMaps::TextMap);
    ASSERT_NE(map, nullptr);
    ASSERT_NE(map->Find("port"), nullptr);
    EXPECT_EQ(*map->Find("port"), "2\tPort\tsecond");  // "Port", not the earlier "Port A"
    EXPECT_EQ(map->Find("univ"), nullptr);
    std::string key = "port";
    EXPECT_TRUE(c->ConvertControlTextToValue(key, 3, 1, nullptr));
    EXPECT_EQ(key, "2");
}

TEST_F(TabbedCombo, AWideListNearTheScreensRightEndsAtTheCellsRight) {
    CGXStyle extra;
    extra.SetUserAttribute(GX_IDS_UA_TABLIST_COLWIDTHS, "150 150 150");
    Put(2, 1, kTabbedPorts, "1", extra);
    const int screenW = fw::GetSystemMetrics(fw::SM_CXSCREEN);
    const fw::Rect cell = Cell(2, 1);
    wnd_->MoveWindow({screenW - cell.right - 10, 0, screenW - cell.right - 10 + width_, height_});
    QCoreApplication::processEvents();
    Open(2, 1);
    const fw::Rect screenCell = wnd_->ClientToScreen(Cell(2, 1));
    const fw::Rect list = Control()->GetDropDown()->GetWindowRect();
    EXPECT_GE(list.Width(), 450);
    EXPECT_EQ(list.right, screenCell.right);
    EXPECT_GE(list.top, screenCell.bottom);
}

TEST_F(TabbedCombo, Golden) {
    CGXStyle extra;
    extra.SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "1");
    Put(2, 1, "Key\tName\r\n1\tRed\r\n2\tGreen", "2", extra);
    gxtest::ExpectGolden(RepaintAll(), "tabbedcombo_inactive");
    Open(2, 1);
    gxtest::ExpectGolden(Paint(), "tabbedcombo_active_cell");
    CGXGridCombo* popup = Control()->GetDropDown();
    QImage image(popup->GetWindowRect().Width(), popup->GetWindowRect().Height(),
                 QImage::Format_RGB32);
    popup->render(&image);
    gxtest::ExpectGolden(image, "tabbedcombo_list");
}

}  // namespace
