#include "grid/features/tests/LayoutWndFixture.h"

#include <functional>

namespace {

// After each change the window is painted only where the feature invalidated or scrolled; the
// result must equal a full repaint of the same grid.
class OptimizedUpdateTest : public LayoutWndFixture {
protected:
    void SetUp() override {
        LayoutWndFixture::SetUp();
        wnd_->SetRowCount(40, 0);
        for (ROWCOL r = 1; r <= 40; ++r)
            for (ROWCOL c = 1; c <= 6; ++c)
                wnd_->SetValueRange(CGXRange(r, c), std::to_string(r * 100 + c), gxOverride, 0);
        wnd_->Invalidate();
        Paint();
    }
    int Top(ROWCOL row) { return wnd_->CalcRectFromRowCol(row, 1).top; }
    int Left(ROWCOL col) { return wnd_->CalcRectFromRowCol(1, col).left; }
    // What the last change left to paint, painted; then the same grid painted whole.
    void ExpectSameAsFullRepaint(const char* what) {
        const QImage partial = Paint();
        wnd_->Invalidate();
        const QImage full = Paint();
        EXPECT_EQ(CountDiffering(partial, full, 0), 0) << what;
    }
};

TEST_F(OptimizedUpdateTest, ChangesRepaintFromTheChangeOnAndMatchAFullRepaint) {
    const struct {
        const char* what;
        std::function<void(CGXGridWnd&)> change;
        bool rows;     // the change is along the rows (else the columns)
        ROWCOL first;  // nothing before this row (column) is painted again
    } cases[] = {
        {"insert rows", [](CGXGridWnd& g) { g.InsertRows(3, 2, nullptr, GX_SMART); }, true, 3},
        {"insert cols", [](CGXGridWnd& g) { g.InsertCols(2, 1, nullptr, GX_SMART); }, false, 2},
        {"remove rows", [](CGXGridWnd& g) { g.RemoveRows(4, 5, GX_SMART); }, true, 4},
        {"remove cols", [](CGXGridWnd& g) { g.RemoveCols(3, 3, GX_SMART); }, false, 3},
        {"taller row", [](CGXGridWnd& g) { g.SetRowHeight(3, 3, 40, nullptr, GX_SMART); }, true, 3},
        {"lower row", [](CGXGridWnd& g) { g.SetRowHeight(3, 3, 22, nullptr, GX_SMART); }, true, 3},
        {"wider col", [](CGXGridWnd& g) { g.SetColWidth(2, 2, 130, nullptr, GX_SMART); }, false, 2},
        {"narrower col", [](CGXGridWnd& g) { g.SetColWidth(1, 1, 20, nullptr, GX_INVALIDATE); },
         false, 1},
    };
    for (const auto& c : cases) {
        const int edge = c.rows ? Top(c.first) : Left(c.first);
        c.change(*wnd_);
        fw::Rect dirty;
        ASSERT_TRUE(wnd_->GetUpdateRect(&dirty)) << c.what;
        EXPECT_GE(c.rows ? dirty.top : dirty.left, edge) << c.what;
        ExpectSameAsFullRepaint(c.what);
    }
}

TEST_F(OptimizedUpdateTest, ChangesAboveTheWindowMoveTheTopRowAndRepaintOnlyTheNumbers) {
    wnd_->SetTopRow(10, GX_UPDATENOW);
    Paint();
    const int headerRight = wnd_->CalcRectFromRowCol(10, 0).right;
    // Only the row headers are painted again: their numbers changed.
    auto onlyHeaders = [&](const char* what) {
        fw::Rect dirty;
        ASSERT_TRUE(wnd_->GetUpdateRect(&dirty)) << what;
        EXPECT_LE(dirty.right, headerRight) << what;
        ExpectSameAsFullRepaint(what);
    };
    wnd_->InsertRows(2, 3, nullptr, GX_SMART);
    EXPECT_EQ(wnd_->GetTopRow(), 13u);
    onlyHeaders("insert above");
    wnd_->RemoveRows(3, 4, GX_SMART);
    EXPECT_EQ(wnd_->GetTopRow(), 11u);
    onlyHeaders("remove above");
    // Without numbered row headers nothing is painted; a resized row above shows nothing either.
    wnd_->GetParam()->m_bNumberedRowHeaders = false;
    wnd_->Invalidate();
    Paint();
    wnd_->InsertRows(2, 1, nullptr, GX_SMART);
    EXPECT_FALSE(wnd_->GetUpdateRect(nullptr));
    wnd_->SetRowHeight(5, 5, 50, nullptr, GX_SMART);
    EXPECT_FALSE(wnd_->GetUpdateRect(nullptr));
    ExpectSameAsFullRepaint("hidden changes above");
    // Removing the first row shown brings the row after the block to the top.
    wnd_->RemoveRows(10, 13, GX_SMART);
    EXPECT_EQ(wnd_->GetTopRow(), 10u);
    ExpectSameAsFullRepaint("through the top row");
}

TEST_F(OptimizedUpdateTest, ChangesInTheFrozenRowsRepaintEverything) {
    wnd_->SetFrozenRows(2, 0, GX_UPDATENOW);
    Paint();
    wnd_->SetRowHeight(1, 1, 30, nullptr, GX_SMART);
    ExpectSameAsFullRepaint("frozen row resized");
    wnd_->InsertRows(2, 1, nullptr, GX_SMART);
    fw::Rect dirty;
    ASSERT_TRUE(wnd_->GetUpdateRect(&dirty));
    EXPECT_EQ(dirty.top, 0);
    ExpectSameAsFullRepaint("frozen row inserted");
}

}  // namespace
