// The demo grid of a million rows and a hundred columns: it shows its first screen with the
// composed styles, scrolls to its last row, and its screenshot is written to the build folder.
#include "grid/core/tests/GridFixture.h"
#include "grid/examples/GridDemo.h"

namespace {

class GridDemo : public GridFixture {
protected:
    void SetUp() override {
        width_ = 800;
        height_ = 500;
        GridFixture::SetUp();
        FillDemoGrid(Core());
        Core().SetCurrentCell(3, 2);
    }
};

TEST_F(GridDemo, AMillionRowsShowTheirComposedStylesAndScrollToTheEnd) {
    ASSERT_EQ(Core().GetRowCount(), 1000000u);
    ASSERT_EQ(Core().GetColCount(), 100u);
    const QImage first = RepaintAll();
    ASSERT_TRUE(first.save(QString(GRID_BUILD_DIR) + "/gridview.png"));
    EXPECT_TRUE(wnd_->IsScrollBarVisible(fw::SB_VERT));
    EXPECT_TRUE(wnd_->IsScrollBarVisible(fw::SB_HORZ));
    // Column 3 holds numbers: a negative one is drawn in red.
    CGXStyle s;
    Core().ComposeStyleRowCol(1, 3, &s);
    EXPECT_EQ(s.GetValue(), "-23");
    EXPECT_EQ(s.GetTextColor() & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(Core().GetScrollUnit(1), 1000000 / 32767 + 1);

    wnd_->SendMessage(fw::WM_VSCROLL, fw::MAKEWPARAM(fw::SB_BOTTOM, 0));
    const QImage last = Paint();
    ASSERT_TRUE(last.save(QString(GRID_BUILD_DIR) + "/gridview_end.png"));
    EXPECT_EQ(Core().GetLastVisibleRow(), 1000000u);
    EXPECT_EQ(Core().GetValueRowCol(1000000, 1), "last row");
    const QImage full = RepaintAll();
    full.save(QString(GRID_BUILD_DIR) + "/gridview_end_full.png");
    EXPECT_EQ(CountDiffering(last, full, 0), 0);
}

}  // namespace
