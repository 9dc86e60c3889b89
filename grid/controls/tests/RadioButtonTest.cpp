// Radio-button cells: clicks on buttons and texts, Space, empty lines, values past the last
// item, read-only cells, and the variant that keeps its choice until stored with its layouts.
#include "grid/controls/CGXRadioButton.h"
#include "grid/controls/tests/ControlFixture.h"

#include "framework/window/VirtualKeys.h"

#include <QTest>

namespace {

using gxtest::ControlFixture;

class Radio : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        Core().SetRowCount(3);
        Core().SetColCount(2);
        Core().SetColWidth(1, 2, 150);
        Core().SetRowHeight(1, 3, 70);
    }
    void Put(ROWCOL row, ROWCOL col, unsigned control, const char* value,
             CGXStyle extra = CGXStyle()) {
        extra.SetControl(static_cast<std::uint16_t>(control))
            .SetValue(std::string(value))
            .SetChoiceList(extra.GetIncludeChoiceList() ? extra.GetChoiceList()
                                                        : std::string("One\n\nTwo\r\nThree"));
        Core().SetStyleRange(CGXRange(row, col), &extra);
        Paint();
    }
    // Where item `n` of a cell lies, as the control lays it out.
    GXRadioItemRect Item(ROWCOL row, ROWCOL col, int n) {
        CGXControl* c =
            Core().GetRegisteredControl(Core().LookupStyleRowCol(row, col).GetControl());
        fw::DeviceContext dc;
        dc.CreateCompatibleDC(nullptr);
        const std::unique_ptr<CGXStyle> s = Style(row, col);
        Core().LoadFont(&dc, *s);
        const bool horz = s->GetIncludeUserAttribute(GX_IDS_UA_RADIOBUTTON_ALIGN) &&
                          s->GetUserAttribute(GX_IDS_UA_RADIOBUTTON_ALIGN).GetValue() == "1";
        const bool right = c->GetControlClass().name == std::string("CGXRadioButton") ||
                           (s->GetIncludeUserAttribute(GX_IDS_UA_RADIOBUTTONTEXTALIGN) &&
                            s->GetUserAttribute(GX_IDS_UA_RADIOBUTTONTEXTALIGN).GetValue() == "1");
        return GXLayoutRadioButtons(dc, c->GetCellRect(row, col), GXRadioItems(s->GetChoiceList()),
                                    horz, right)[n];
    }
    fw::Point Centre(const fw::Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
};

TEST_F(Radio, ClicksOnButtonsAndTextsChooseAtOnce) {
    Put(1, 1, GX_IDS_CTRL_RADIOBTN3D, "");
    EXPECT_EQ(GXRadioItems("One\n\nTwo\r\nThree").size(), 3u);  // the empty line is no item
    Click(Centre(Item(1, 1, 1).button));
    EXPECT_EQ(Value(1, 1), "1");
    Click(Centre(Item(1, 1, 2).text));
    EXPECT_EQ(Value(1, 1), "2");
    const fw::Rect text = Item(1, 1, 0).text;
    Click({text.right + 20, (text.top + text.bottom) / 2});  // right of the text
    EXPECT_EQ(Value(1, 1), "2");
}

TEST_F(Radio, SpaceChoosesTheNextItemAndWraps) {
    for (auto [start, after] : {std::pair{"", "0"}, {"0", "1"}, {"2", "0"}, {"7", "0"}}) {
        Put(1, 1, GX_IDS_CTRL_RADIOBTN, start);
        Core().SetCurrentCell(1, 1);
        QTest::keyClick(wnd_.get(), ' ');
        EXPECT_EQ(Value(1, 1), after) << start;
    }
}

TEST_F(Radio, ReadOnlyCellsKeepTheirChoice) {
    CGXStyle ro;
    ro.SetReadOnly(true);
    Put(1, 1, GX_IDS_CTRL_RADIOBTN, "0", ro);
    Click(Centre(Item(1, 1, 1).button));
    QTest::keyClick(wnd_.get(), ' ');
    EXPECT_EQ(Value(1, 1), "0");
}

TEST_F(Radio, TheVariantKeepsItsChoiceUntilStored) {
    CGXStyle horz;
    horz.SetUserAttribute(GX_IDS_UA_RADIOBUTTON_ALIGN, "1")
        .SetUserAttribute(GX_IDS_UA_RADIOBUTTONTEXTALIGN, "1");
    Put(1, 1, GX_IDS_CTRL_RADIOBTN3DEX, "0", horz);
    const GXRadioItemRect second = Item(1, 1, 1);
    EXPECT_EQ(second.button.top, Item(1, 1, 0).button.top);  // one row
    Click(Centre(second.button));
    EXPECT_EQ(Value(1, 1), "0");  // held by the control
    CGXControl* c = Core().GetRegisteredControl(GX_IDS_CTRL_RADIOBTN3DEX);
    EXPECT_TRUE(c->IsActive());
    EXPECT_TRUE(c->GetModify());
    QTest::keyClick(wnd_.get(), ' ');
    Core().SetCurrentCell(2, 2);  // leaving the cell stores
    EXPECT_EQ(Value(1, 1), "2");

    CGXStyle textLeft;
    textLeft.SetUserAttribute(GX_IDS_UA_RADIOBUTTONTEXTALIGN, "0");
    Put(2, 1, GX_IDS_CTRL_RADIOBTNEX, "1", textLeft);
    EXPECT_LT(Item(2, 1, 0).text.left, Item(2, 1, 0).button.left);
    Click(Centre(Item(2, 1, 0).text));
    QTest::keyClick(wnd_.get(), Qt::Key_Delete);
    Core().SetCurrentCell(3, 2);
    EXPECT_EQ(Value(2, 1), "");
}

}  // namespace
