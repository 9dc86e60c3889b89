// The push-button and hot-spot edit cells: the button fires the grid's button notification on
// a release over it (not outside) and on the space bar, a push button's caption is its choice
// list, and the hot-spot button sits at the cell's top right, clipped in a low cell.
#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXHotSpotEdit.h"
#include "grid/controls/CGXPushbutton.h"
#include "grid/controls/tests/ControlFixture.h"

#include <QTest>

#include <utility>
#include <vector>

namespace {

class ButtonGridWnd : public CGXGridWnd {
public:
    std::vector<std::pair<ROWCOL, ROWCOL>> clicked;
    void OnClickedButtonRowCol(ROWCOL row, ROWCOL col) override { clicked.emplace_back(row, col); }
};

class ButtonCells : public gxtest::ControlFixtureT<ButtonGridWnd> {
protected:
    void SetUp() override {
        ControlFixtureT::SetUp();
        Core().SetRowCount(6);
        Core().SetColCount(3);
        Core().SetColWidth(1, 3, 100);
        Core().SetRowHeight(1, 6, 22);
        Core().SetRowHeight(4, 4, 10);
        CGXStyle button;
        button.SetControl(static_cast<std::uint16_t>(GX_IDS_CTRL_PUSHBTN))
            .SetChoiceList("Apply")
            .SetValue(std::string("value"));
        Core().SetStyleRange(CGXRange(1, 1), &button);
        CGXStyle hot;
        hot.SetControl(static_cast<std::uint16_t>(GX_IDS_CTRL_HOTSPOT))
            .SetValue(std::string("hot"));
        Core().SetStyleRange(CGXRange(2, 1), &hot);
        Core().SetStyleRange(CGXRange(4, 1), &hot);
        Paint();
    }
    void Press(fw::Point p) {
        QTest::mousePress(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(p));
        QCoreApplication::processEvents();
    }
    void Release(fw::Point p) {
        QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, At(p));
        QCoreApplication::processEvents();
    }
    const std::vector<std::pair<ROWCOL, ROWCOL>>& Clicked() { return wnd_->clicked; }
};

TEST_F(ButtonCells, APushButtonFiresOnAReleaseOverItAndOnTheSpaceBar) {
    const fw::Rect cell = Cell(1, 1);
    const fw::Point middle{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    auto* control = static_cast<CGXPushbutton*>(Core().GetRegisteredControl(GX_IDS_CTRL_PUSHBTN));
    Press(middle);
    EXPECT_TRUE(control->GetButton()->IsPressed());
    Release(middle);
    ASSERT_EQ(Clicked().size(), 1u);
    EXPECT_EQ(Clicked()[0], std::make_pair(ROWCOL{1}, ROWCOL{1}));
    EXPECT_EQ(control->GetButton()->GetText(), "Apply");  // the choice list, not the value

    Press(middle);
    Release({cell.right + 40, cell.bottom + 40});  // released outside: no click
    EXPECT_EQ(Clicked().size(), 1u);

    QTest::keyPress(wnd_.get(), Qt::Key_Space);
    QCoreApplication::processEvents();
    EXPECT_EQ(Clicked().size(), 1u);  // a press alone does not click
    QTest::keyRelease(wnd_.get(), Qt::Key_Space);
    QCoreApplication::processEvents();
    EXPECT_EQ(Clicked().size(), 2u);
}

TEST_F(ButtonCells, TheHotSpotButtonFiresAndTheTextKeepsClearOfIt) {
    Core().SetCurrentCell(2, 1);
    auto* control = static_cast<CGXHotSpotEdit*>(Core().GetRegisteredControl(GX_IDS_CTRL_HOTSPOT));
    const fw::Rect inner = control->CGXControl::GetCellRect(2, 1);
    control->OnInitChildren(2, 1, inner);
    const fw::Rect b = control->GetButton()->GetRect();
    EXPECT_EQ(b, (fw::Rect{inner.right - 14, inner.top + 1, inner.right - 1, inner.top + 14}));
    EXPECT_LE(control->GetCellRect(2, 1).right, b.left);
    const fw::Point p{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    Press(p);
    Release(p);
    ASSERT_EQ(Clicked().size(), 1u);
    EXPECT_EQ(Clicked()[0], std::make_pair(ROWCOL{2}, ROWCOL{1}));
    // The cell edits as any edit cell.
    QTest::keyClicks(wnd_.get(), "x");
    QCoreApplication::processEvents();
    Core().SetCurrentCell(3, 1);
    EXPECT_EQ(Value(2, 1), "x");

    // In a cell 10 pixels high the button is clipped to the cell and does not move down.
    Core().SetCurrentCell(4, 1);
    const fw::Rect low = control->CGXControl::GetCellRect(4, 1);
    control->OnInitChildren(4, 1, low);
    EXPECT_EQ(control->GetButton()->GetRect().top, low.top);
    EXPECT_EQ(control->GetButton()->GetRect().bottom, low.bottom);
}

TEST_F(ButtonCells, Golden) {
    Core().SetCurrentCell(2, 1);
    gxtest::ExpectGolden(RepaintAll(), "buttons");
}

}  // namespace
