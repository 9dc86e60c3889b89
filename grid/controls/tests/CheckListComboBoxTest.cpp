// The drop-down check-list cells: the caption whatever the value, the ticks the value makes,
// ticking by Space and by click with real input, what closing stores (the mask, an empty value
// for no tick, bits beyond the items dropped), Tab moving on, a read-only cell, the 32-item
// limit, and how the open list looks.
#include "grid/controls/CGXCheckListComboBox.h"
#include "grid/controls/CGXGridCombo.h"
#include "grid/controls/tests/ControlFixture.h"

#include <QTest>

namespace {

using gxtest::ControlFixture;

constexpr const char* kFields = "Fixed fields\nYear\r\nMonth\rDay";

class CheckListCombo : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        Core().SetRowCount(6);
        Core().SetColCount(3);
        Core().SetColWidth(1, 3, 110);
        Core().SetRowHeight(1, 6, 20);
        Put(1, 1, "5");
        Put(2, 1, "");
        Put(3, 1, "9");  // bit 3: no such item
        Paint();
    }
    void Put(ROWCOL row, ROWCOL col, const char* value) {
        CGXStyle s;
        s.SetControl(GX_IDS_CTRL_CHECKLIST_COMBOBOX)
            .SetChoiceList(kFields)
            .SetValue(std::string(value));
        Core().SetStyleRange(CGXRange(row, col), &s);
    }
    CGXCheckListComboBox& Control() {
        return static_cast<CGXCheckListComboBox&>(
            *Core().GetRegisteredControl(GX_IDS_CTRL_CHECKLIST_COMBOBOX));
    }
    CGXCheckListComboLBox& List() { return *Control().GetCheckList(); }
    void Open(ROWCOL row, ROWCOL col) {
        Core().SetCurrentCell(row, col);
        Paint();
        Key(Qt::Key_Down, Qt::AltModifier);
    }
    void ClickLine(int index) {
        const fw::Rect r = List().ItemRect(index);
        QTest::mouseClick(&List(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(r.left + 6, (r.top + r.bottom) / 2));
        QCoreApplication::processEvents();
    }
    std::vector<bool> Ticks() {
        std::vector<bool> t;
        for (int i = 0; i < List().GetCount(); ++i) t.push_back(List().GetCheck(i));
        return t;
    }
};

TEST_F(CheckListCombo, TheCellShowsTheCaptionAndTheListTheValuesTicks) {
    std::string text;
    for (const char* value : {"5", "", "0", "junk"}) {
        const std::string v = value;
        EXPECT_TRUE(Control().GetControlText(text, 1, 1, &v, *Style(1, 1)));
        EXPECT_EQ(text, "Fixed fields") << value;
    }
    CGXStyle none;
    EXPECT_TRUE(Control().GetControlText(text, 1, 1, nullptr, none));
    EXPECT_EQ(text, "");

    Open(1, 1);
    ASSERT_TRUE(Control().IsDropDownVisible());
    ASSERT_EQ(List().GetCount(), 3);  // CR, LF and CR LF all end lines
    EXPECT_EQ(List().GetText(2), "Day");
    EXPECT_EQ(Ticks(), (std::vector<bool>{true, false, true}));
    const QImage shot = wnd_->grab().toImage();
    shot.save(QString(GRID_BUILD_DIR) + "/grid_controls_checklist_open.png");
    // A cell without ticks shows the caption too.
    const fw::Rect empty = Cell(2, 1);
    int ink = 0;
    for (int y = empty.top + 2; y < empty.bottom - 2; ++y)
        for (int x = empty.left + 2; x < empty.right - 2; ++x) ink += qGray(shot.pixel(x, y)) < 100;
    EXPECT_GT(ink, 20);
    QImage popup = Control().GetDropDown()->grab().toImage();
    popup.save(QString(GRID_BUILD_DIR) + "/grid_controls_checklist_popup.png");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Control().IsDropDownVisible());
    EXPECT_EQ(Value(1, 1), "5");  // unchanged ticks store nothing
}

TEST_F(CheckListCombo, SpaceAndClicksTickAndClosingStoresTheMask) {
    Open(2, 1);
    ASSERT_TRUE(Control().IsDropDownVisible());
    Key(Qt::Key_Down);
    Key(Qt::Key_Space);                          // Month
    ClickLine(2);                                // Day
    EXPECT_TRUE(Control().IsDropDownVisible());  // a click ticks; the list stays open
    QTest::keyClicks(wnd_.get(), "x");           // typing does nothing
    Key(Qt::Key_Return);
    EXPECT_FALSE(Control().IsDropDownVisible());
    EXPECT_EQ(Value(2, 1), "6");
    std::string shown;
    Control().GetCurrentText(shown);
    EXPECT_EQ(shown, "Fixed fields");

    // Unticking everything stores an empty value, not "0".
    Open(2, 1);
    Key(Qt::Key_Down);
    Key(Qt::Key_Space);
    Key(Qt::Key_Down);
    Key(Qt::Key_Space);
    Key(Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(Control().IsDropDownVisible());
    EXPECT_EQ(Value(2, 1), "");
}

TEST_F(CheckListCombo, BitsBeyondTheItemsGoOnlyWhenTheTicksChange) {
    Open(3, 1);
    EXPECT_EQ(Ticks(), (std::vector<bool>{true, false, false}));
    Key(Qt::Key_Return);
    EXPECT_EQ(Value(3, 1), "9");
    Open(3, 1);
    Key(Qt::Key_Down);
    Key(Qt::Key_Space);
    // Tab closes the list, stores, and moves on as Tab in the cell would.
    Key(Qt::Key_Tab);
    EXPECT_FALSE(Control().IsDropDownVisible());
    EXPECT_EQ(Value(3, 1), "3");
    ROWCOL r = 0, c = 0;
    Core().GetCurrentCell(r, c);
    EXPECT_EQ(std::make_pair(r, c), std::make_pair(ROWCOL{3}, ROWCOL{2}));
}

TEST_F(CheckListCombo, AReadOnlyCellShowsTheListButStoresNothing) {
    CGXStyle ro;
    ro.SetReadOnly(true);
    Core().SetStyleRange(CGXRange(1, 1), &ro, gxApplyNew);
    Open(1, 1);
    ASSERT_TRUE(Control().IsDropDownVisible());
    Key(Qt::Key_Space);
    Key(Qt::Key_Return);
    EXPECT_EQ(Value(1, 1), "5");
}

TEST_F(CheckListCombo, AChoiceListLongerThanTheMaskIsRefused) {
    std::string list = "Caption";
    for (int i = 0; i < GXCheckListMaxItems; ++i) list += "\nItem " + std::to_string(i);
    CGXStyle s;
    s.SetChoiceList(list);
    EXPECT_TRUE(Control().StoreStyleRowCol(2, 1, s, gxOverride));
    EXPECT_EQ(CGXCheckListComboBox::ItemCount(list), 32);
    s.SetChoiceList(list + "\nOne too many");
    Core().SetWarningText("");
    EXPECT_FALSE(Control().StoreStyleRowCol(2, 2, s, gxOverride));
    EXPECT_NE(Core().GetWarningText().find("at most 32"), std::string::npos);
    EXPECT_EQ(Style(2, 2)->GetChoiceList().find("Item"), std::string::npos);

    // A list that reached a cell another way lists only what the mask can hold; the highest
    // bit round-trips.
    Core().SetStyleRange(CGXRange(4, 1), &s);
    CGXStyle v;
    v.SetControl(GX_IDS_CTRL_CHECKLIST_COMBOBOX).SetValue(std::string("2147483648"));
    Core().SetStyleRange(CGXRange(4, 1), &v);
    Open(4, 1);
    ASSERT_TRUE(Control().IsDropDownVisible());
    EXPECT_EQ(List().GetCount(), 32);
    EXPECT_TRUE(List().GetCheck(31));
    Key(Qt::Key_Space);  // item 0 too
    Key(Qt::Key_Return);
    EXPECT_EQ(Value(4, 1), "2147483649");
}

}  // namespace
