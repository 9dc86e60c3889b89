// Check-box cells: the value each click and Space store (two and three states, own texts), what
// a click beside the box does, read-only cells, the variant that holds its value until stored,
// and how the boxes look in both looks, inactive and current.
#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/tests/ControlFixture.h"

#include <QTest>

namespace {

using gxtest::ControlFixture;

class CheckBox : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        Core().SetRowCount(4);
        Core().SetColCount(4);
        Core().SetColWidth(1, 4, 80);
        Core().SetRowHeight(1, 4, 22);
        Paint();
    }
    void Put(ROWCOL row, ROWCOL col, unsigned control, const char* value,
             CGXStyle extra = CGXStyle()) {
        extra.SetControl(static_cast<std::uint16_t>(control)).SetValue(std::string(value));
        Core().SetStyleRange(CGXRange(row, col), &extra);
    }
    // The box of a cell as the control places it (left-aligned: 3 pixels in).
    fw::Point BoxCentre(ROWCOL row, ROWCOL col) {
        CGXControl* c =
            Core().GetRegisteredControl(Core().LookupStyleRowCol(row, col).GetControl());
        const fw::Rect inner = c->GetCellRect(row, col);
        return {inner.left + 3 + 6, inner.top + 3 + 6};
    }
};

TEST_F(CheckBox, ClicksAndSpaceCycleTheStoredValue) {
    CGXStyle tri;
    tri.SetTriState(true)
        .SetUserAttribute(GX_IDS_UA_CHECKBOX_CHECKED, "Yes")
        .SetUserAttribute(GX_IDS_UA_CHECKBOX_UNCHECKED, "No");
    struct Case {
        const char* name;
        CGXStyle style;
        const char* start;
        std::vector<std::string> after;  // value after each toggle
    };
    const std::vector<Case> cases = {
        {"two states", CGXStyle(), "0", {"1", "0", "1"}},
        {"other text becomes checked", CGXStyle(), "maybe", {"1", "0"}},
        {"three states, own texts", tri, "Yes", {"No", "", "Yes", "No"}},
    };
    for (const Case& c : cases) {
        Put(1, 1, GX_IDS_CTRL_CHECKBOX3D, c.start, c.style);
        for (std::size_t i = 0; i < c.after.size(); ++i) {
            if (i % 2 == 0) {
                Click(BoxCentre(1, 1));
            } else {
                QTest::keyClick(wnd_.get(), ' ');
            }
            EXPECT_EQ(Value(1, 1), c.after[i]) << c.name << " step " << i;
        }
    }
}

TEST_F(CheckBox, AClickBesideTheBoxOrOnAReadOnlyCellLeavesTheValue) {
    CGXStyle labelled;
    labelled.SetChoiceList("Enabled");
    Put(1, 1, GX_IDS_CTRL_CHECKBOX, "1", labelled);
    const fw::Rect cell = Cell(1, 1);
    Click({cell.left + 40, cell.top + 10});  // on the label
    EXPECT_EQ(Value(1, 1), "1");

    CGXStyle readOnly;
    readOnly.SetReadOnly(true);
    Put(2, 1, GX_IDS_CTRL_CHECKBOX, "1", readOnly);
    Click(BoxCentre(2, 1));
    QTest::keyClick(wnd_.get(), ' ');
    EXPECT_EQ(Value(2, 1), "1");
}

TEST_F(CheckBox, PressedWhileTheButtonIsDownOverTheBoxOnly) {
    Put(1, 1, GX_IDS_CTRL_CHECKBOX, "0");
    Core().SetCurrentCell(1, 1);
    auto* box = static_cast<CGXCheckBox*>(Core().GetControl(1, 1));
    const fw::Point centre = BoxCentre(1, 1);
    QTest::mousePress(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(centre));
    EXPECT_TRUE(box->IsPressed());
    QTest::mouseMove(wnd_.get(), At({centre.x + 50, centre.y}));
    QCoreApplication::processEvents();
    EXPECT_FALSE(box->IsPressed());
    QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At({centre.x + 50, centre.y}));
    EXPECT_EQ(Value(1, 1), "0");  // released beside the box: no toggle
}

TEST_F(CheckBox, TriStateTextsThatAreNeitherBecomeUndetermined) {
    CGXStyle tri;
    tri.SetTriState(true);
    Put(1, 1, GX_IDS_CTRL_CHECKBOX, "", tri);
    CGXControl* box = Core().GetRegisteredControl(GX_IDS_CTRL_CHECKBOX);
    for (auto [in, out] : std::vector<std::pair<std::string, std::string>>{
             {"1", "1"}, {"0", "0"}, {"x", ""}, {"", ""}}) {
        std::string text = in;
        EXPECT_TRUE(box->ConvertControlTextToValue(text, 1, 1, nullptr));
        EXPECT_EQ(text, out) << in;
    }
}

TEST_F(CheckBox, StateBitsAndImages) {
    auto* box = static_cast<CGXCheckBox*>(Core().GetRegisteredControl(GX_IDS_CTRL_CHECKBOX));
    CGXStyle s;
    struct Case {
        const char* value;
        bool triState;
        bool enabled;
        unsigned state;
    };
    for (const Case& c :
         {Case{"1", false, true, GX_CHECK_CHECKED}, Case{"0", false, true, GX_CHECK_UNCHECKED},
          Case{"", false, true, GX_CHECK_UNCHECKED}, Case{"", true, true, 0u},
          Case{"x", true, true, 0u},
          Case{"0", true, false, GX_CHECK_UNCHECKED | GX_CHECK_PRESSED}}) {
        CGXStyle style;
        style.SetValue(std::string(c.value)).SetTriState(c.triState).SetEnabled(c.enabled);
        EXPECT_EQ(box->GetState(3, 3, style), c.state) << c.value << c.triState;
    }
}

TEST_F(CheckBox, TheVariantWithModifyStateStoresOnlyWhenStored) {
    Put(1, 1, GX_IDS_CTRL_CHECKBOX_EX, "0");
    Click(BoxCentre(1, 1));
    CGXControl* box = Core().GetControl(1, 1);
    EXPECT_TRUE(box->IsActive());
    EXPECT_TRUE(box->GetModify());
    EXPECT_EQ(Value(1, 1), "0");  // not yet in the grid
    std::string shown;
    box->GetCurrentText(shown);
    EXPECT_EQ(shown, "1");
    QTest::keyClick(wnd_.get(), Qt::Key_Delete);
    box->GetCurrentText(shown);
    EXPECT_EQ(shown, "");
    QTest::keyClick(wnd_.get(), ' ');
    EXPECT_TRUE(box->Store());
    EXPECT_EQ(Value(1, 1), "1");
    EXPECT_FALSE(box->IsActive());
}

TEST_F(CheckBox, PrintStripUsesBlackAndWhite) {
    CGXCheckBox box(&Core(), true);
    EXPECT_EQ(box.MapBitmapColor(0x0000FF, true), 0xFFFFFFu);
    EXPECT_EQ(box.MapBitmapColor(0x000000, true), 0x000000u);
    EXPECT_EQ(box.MapBitmapColor(0x0000FF, false), GXGetSysColor(fw::COLOR_WINDOW));
    EXPECT_EQ(box.MapBitmapColor(0x123456, false), 0x123456u);
    EXPECT_TRUE(box.LoadBitmaps());
}

TEST_F(CheckBox, GoldenBothLooksInactiveAndCurrent) {
    CGXStyle tri;
    tri.SetTriState(true);
    CGXStyle labelled;
    labelled.SetChoiceList("Label");
    CGXStyle disabled;
    disabled.SetEnabled(false);
    CGXStyle centred;
    centred.SetHorizontalAlignment(fw::DT_CENTER).SetVerticalAlignment(fw::DT_VCENTER);
    const unsigned looks[] = {GX_IDS_CTRL_CHECKBOX, GX_IDS_CTRL_CHECKBOX3D};
    for (ROWCOL r = 0; r < 2; ++r) {
        Put(r + 1, 1, looks[r], "1");
        Put(r + 1, 2, looks[r], "0", labelled);
        Put(r + 1, 3, looks[r], "", tri);
        Put(r + 1, 4, looks[r], "1", disabled);
    }
    Put(3, 1, GX_IDS_CTRL_CHECKBOX3D, "1", centred);
    gxtest::ExpectGolden(RepaintAll(), "checkbox_inactive");
    Core().SetCurrentCell(2, 1);
    const fw::Point centre = BoxCentre(2, 1);
    QTest::mousePress(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(centre));
    gxtest::ExpectGolden(Paint(), "checkbox_pressed");
    QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(centre));
    EXPECT_EQ(Value(2, 1), "0");
}

}  // namespace
