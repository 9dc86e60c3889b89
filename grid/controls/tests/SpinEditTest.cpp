// The spin edit in a real grid window: clicks on its arrows step the cell's number within its
// bounds, wrapping when asked, saturating at the ends of the 32-bit range, and a held arrow
// keeps stepping.
#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXControlFactory.h"
#include "grid/controls/CGXSpinEdit.h"
#include "grid/controls/tests/ControlFixture.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStylesMap.h"
#include "os/FakeClock.h"

#include <QPainter>

namespace {

class SpinEdit : public gxtest::ControlFixture {
protected:
    void SetUp() override {
        gxtest::ControlFixture::SetUp();
        Core().SetRowCount(10, 0);
        Core().SetColCount(4, 0);
        CGXStyle style;
        style.SetControl(static_cast<std::uint16_t>(GX_IDS_CTRL_SPINEDIT));
        Core().SetStyleRange(CGXRange().SetTable(), &style, gxOverride, 0, nullptr, 0);
        spin_ = dynamic_cast<CGXSpinEdit*>(Core().GetRegisteredControl(GX_IDS_CTRL_SPINEDIT));
        ASSERT_NE(spin_, nullptr);
        Paint();
    }
    // Sets the cell's value and bounds (empty: none) and makes it current.
    void Prepare(ROWCOL row, const std::string& value, const std::string& min,
                 const std::string& max, const std::string& wrap, const std::string& start,
                 bool readOnly = false) {
        CGXStyle style;
        style.SetControl(static_cast<std::uint16_t>(GX_IDS_CTRL_SPINEDIT)).SetValue(value);
        style.SetUserAttribute(GX_IDS_UA_SPINBOUND_MIN, min)
            .SetUserAttribute(GX_IDS_UA_SPINBOUND_MAX, max)
            .SetUserAttribute(GX_IDS_UA_SPINBOUND_WRAP, wrap)
            .SetUserAttribute(GX_IDS_UA_SPINSTART, start);
        if (readOnly)
            style.SetReadOnly(true);
        Core().SetStyleRange(CGXRange(row, 2), &style, gxCopy, 0, nullptr, 0);
        Core().SetCurrentCell(row, 2);
        Paint();
    }
    QPoint ArrowCenter(ROWCOL row, bool up) {
        spin_->OnInitChildren(row, 2, spin_->GetCellRect(row, 2));
        const fw::Rect r = (up ? static_cast<CGXChild*>(spin_->m_pUpArrow)
                               : static_cast<CGXChild*>(spin_->m_pDownArrow))
                               ->GetRect();
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void ClickArrow(ROWCOL row, bool up) {
        QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, ArrowCenter(row, up));
        Paint();
    }

    CGXSpinEdit* spin_ = nullptr;
};

TEST_F(SpinEdit, ArrowsStepWithinTheBoundsWrapAndSaturate) {
    struct Case {
        const char* name;
        std::string value, min, max, wrap, start;
        bool up;
        std::string expected;
    };
    const Case cases[] = {
        {"up", "7", "", "", "", "", true, "8"},
        {"down", "7", "", "", "", "", false, "6"},
        {"empty with a start value, up", "", "", "", "", "5", true, "5"},
        {"empty with a start value, down", "", "", "", "", "5", false, "5"},
        {"a start value below the minimum is raised", "", "10", "", "", "5", true, "10"},
        {"at the maximum, wrapping to the minimum", "9", "1", "9", "1", "", true, "1"},
        {"at the maximum, wrapping without a minimum", "9", "", "9", "1", "", true, "9"},
        {"at the maximum without wrapping", "9", "1", "9", "", "", true, "9"},
        {"at the minimum, wrapping to the maximum", "1", "1", "9", "1", "", false, "9"},
        {"at the minimum without wrapping", "1", "1", "9", "0", "", false, "1"},
        {"letters count as 0", "abc", "", "", "", "", true, "1"},
        {"above the maximum is lowered", "50", "", "9", "", "", false, "9"},
        {"past the top of the range saturates", "2147483647", "", "", "", "", true, "2147483647"},
        {"past the bottom saturates", "-2147483648", "", "", "", "", false, "-2147483648"},
        {"a number beyond the range counts as its end", "99999999999", "", "", "", "", true,
         "2147483647"},
    };
    ROWCOL row = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        row = row % 9 + 1;
        Prepare(row, c.value, c.min, c.max, c.wrap, c.start);
        ClickArrow(row, c.up);
        EXPECT_TRUE(spin_->IsActive());
        EXPECT_EQ(spin_->GetWindowText(), c.expected);
        EXPECT_TRUE(spin_->GetModify());
        // Moving on stores the stepped number.
        Core().SetCurrentCell(10, 4);
        EXPECT_EQ(Core().GetValueRowCol(row, 2), c.expected);
    }
}

TEST_F(SpinEdit, AReadOnlyCellIsActivatedButKeepsItsValue) {
    Prepare(3, "4", "", "", "", "", true);
    ClickArrow(3, true);
    EXPECT_TRUE(spin_->IsActive());
    EXPECT_EQ(spin_->GetWindowText(), "4");
    EXPECT_FALSE(spin_->GetModify());
}

TEST_F(SpinEdit, AHeldArrowKeepsStepping) {
    os::FakeClock clock(5000);
    Prepare(4, "0", "", "3", "", "");
    QTest::mousePress(wnd_.get(), Qt::LeftButton, Qt::NoModifier, ArrowCenter(4, true));
    EXPECT_EQ(spin_->GetWindowText(), "1");
    for (const char* expected : {"2", "3", "3"}) {
        clock.Advance(500);
        Core().SendMessage(fw::WM_TIMER, GX_ARROWBUTTON_TIMER);
        EXPECT_EQ(spin_->GetWindowText(), expected);
    }
    QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, ArrowCenter(4, true));
    QImage shot = RepaintAll();
    {
        QPainter painter(&shot);
        const fw::Rect placed = Core().ScreenToClient(spin_->GetWnd()->GetWindowRect());
        spin_->GetWnd()->render(&painter, QPoint(placed.left, placed.top));
    }
    shot.save(QString(GRID_BUILD_DIR) + "/grid_controls_spin_edit.png");
    // The arrows lie at the right edge of the cell, right of the edit window.
    const fw::Rect cell = Cell(4, 2);
    const fw::Rect up = spin_->m_pUpArrow->GetRect(), down = spin_->m_pDownArrow->GetRect();
    EXPECT_LE(up.right, cell.right);
    EXPECT_EQ(up.bottom, down.top);
    EXPECT_GE(up.left, Core().ScreenToClient(spin_->GetWnd()->GetWindowRect()).right);
}

TEST_F(SpinEdit, TheFactoryNamesTheSpinEditAndItsAttributes) {
    std::unique_ptr<CGXControl> control =
        CGXControlFactory().CreateCellControl(GX_IDS_CTRL_SPINEDIT, Core());
    ASSERT_NE(control, nullptr);
    EXPECT_STREQ(control->GetControlClass().name, "CGXSpinEdit");
    EXPECT_TRUE(control->IsKindOfControlClass(CGXEditControl::kClassInfo));
    CGXStylesMap map;
    CGXControlFactory().RegisterControlIds(map);
    EXPECT_TRUE(map.GetControlNames().count(GX_IDS_CTRL_SPINEDIT));
    EXPECT_TRUE(map.GetControlNames().count(GX_IDS_CTRL_EDIT));
}

}  // namespace
