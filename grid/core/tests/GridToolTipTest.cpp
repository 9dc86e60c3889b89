// Cell tooltips of a grid window: once enabled, the tip of the cell under the mouse shows, a
// cell without one hides it, and disabling stops them.
#include "grid/core/CGXToolTipCtrlProxy.h"
#include "grid/core/tests/GridWndFixture.h"

#include <utility>

namespace {

using GridToolTips = GridWndFixture;

TEST_F(GridToolTips, ToolTipsShowTheTextOfTheCellUnderTheMouseOnceEnabled) {
    Grid().SetStyleRange(CGXRange(2, 2),
                         &CGXStyle().SetUserAttribute(GX_IDS_UA_TOOLTIPTEXT, "Node name"));
    Paint();
    const fw::Rect cell = Grid().CalcRectFromRowCol(2, 2);
    const QPoint over(cell.left + 4, cell.top + 4);
    const fw::Rect other = Grid().CalcRectFromRowCol(3, 3);
    // Not enabled: no proxy, nothing shown.
    QTest::mouseMove(wnd_.get(), over);
    EXPECT_EQ(Grid().GetToolTipProxy(), nullptr);

    ASSERT_TRUE(Grid().EnableGridToolTips(true));
    auto* tips = dynamic_cast<CGXToolTipCtrlProxy*>(Grid().GetToolTipProxy());
    ASSERT_NE(tips, nullptr);
    QTest::mouseMove(wnd_.get(), QPoint(other.left + 4, other.top + 4));
    QTest::mouseMove(wnd_.get(), over);
    EXPECT_TRUE(tips->IsActive());
    EXPECT_EQ(tips->GetTipText(), "Node name");
    EXPECT_EQ(std::make_pair(tips->GetLastRow(), tips->GetLastCol()),
              std::make_pair(ROWCOL{2}, ROWCOL{2}));
    QTest::mouseMove(wnd_.get(), QPoint(other.left + 4, other.top + 4));
    EXPECT_FALSE(tips->IsActive());

    // Disabled again: the mouse over the cell shows nothing.
    Grid().EnableGridToolTips(false);
    QTest::mouseMove(wnd_.get(), over);
    EXPECT_FALSE(tips->IsActive());
}

}  // namespace
