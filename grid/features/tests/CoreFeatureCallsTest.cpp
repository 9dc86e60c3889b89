// Core operations that hand their work to the installed features: fitting the rows of a range
// to all their cells, recomputing merged spans for a range, and selecting and deselecting
// through the selection feature (which cuts a deselected part out of a larger block).
#include "grid/features/tests/FeatureFixture.h"

namespace {

using CoreFeatureCallsTest = FeatureFixture;

// Merging on for the whole table (worked out on display), and two equal neighbours in row 2,
// columns 1 and 2, that merge into one span.
void MergeTwoNeighbours(CGXGridCore& core) {
    core.SetMergeCellsMode(2, false);
    CGXStyle merge;
    merge.SetMergeCell(1 | 2 | 4);
    core.SetStyleRange(CGXRange().SetTable(), &merge, gxOverride, 0, nullptr, 0, 1);
    for (ROWCOL col : {1u, 2u}) core.SetValueRange(CGXRange(2, col), "North", gxOverride, 0, 1);
}

TEST_F(CoreFeatureCallsTest, FittingRowsLooksAtEveryCellOfTheRows) {
    Core().SetValueRange(CGXRange(4, 5), "one\ntwo\nthree", gxOverride, 0, 1);
    const int height = Core().GetRowHeight(4);
    // The range names column 2 only; the tall cell is in column 5 of the same row.
    ASSERT_TRUE(Core().FitRowHeights(CGXRange(4, 2)));
    EXPECT_GT(Core().GetRowHeight(4), 2 * height);
    EXPECT_EQ(Core().GetRowHeight(3), height);
}

TEST_F(CoreFeatureCallsTest, SpansOfARangeAreWorkedOutOnceAndRedrawn) {
    MergeTwoNeighbours(Core());
    ASSERT_TRUE(Core().UpdateSpannedCells(CGXRange(1, 1, 3, 3)));
    CGXRange span;
    ASSERT_NE(Core().GetMergedCellRange(2, 1, span, 0), nullptr);
    EXPECT_EQ(span, CGXRange(2, 1, 2, 2));
    EXPECT_FALSE(Core().UpdateSpannedCells(CGXRange(1, 1, 3, 3)));  // nothing new
}

TEST_F(CoreFeatureCallsTest, SelectionCallsGoThroughTheSelectionFeature) {
    const CGXRangeList& sel = Param().m_SelRects;
    Core().SelectRange(CGXRange(2, 1, 8, 4));
    Core().SelectRange(CGXRange(4, 1, 5, 4), false);
    EXPECT_TRUE(sel.ContainsCell(3, 2));
    EXPECT_FALSE(sel.ContainsCell(4, 2));  // cut out of the block
    EXPECT_TRUE(sel.ContainsCell(7, 2));
    Core().SetSelection(0, 6, 6, 7, 7);
    EXPECT_TRUE(sel.ContainsCell(6, 6));
    Core().m_nSelRangeIndex = 0;
    Core().SetSelection(nullptr);
    EXPECT_TRUE(sel.IsEmpty());
    EXPECT_EQ(Core().m_nSelRangeIndex, -1);  // the feature's own state follows
}

// A paint brings the spans of the painted cells up to date through the core's own operation,
// so that a grid that overrides it sees every paint; the merged span it works out is drawn.
class SpanRecordingCore : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    bool UpdateSpannedCells(const CGXRange& range) override {
        ranges.push_back(range);
        return CGXGridCore::UpdateSpannedCells(range);
    }
    std::vector<CGXRange> ranges;
};

using PaintSpansTest = FeatureFixtureT<SpanRecordingCore>;

TEST_F(PaintSpansTest, APaintUpdatesTheSpansOfItsCellsThroughTheCore) {
    MergeTwoNeighbours(Core());
    Core().ranges.clear();
    wnd_->Invalidate();
    QCoreApplication::processEvents();
    wnd_->UpdateWindow();
    ASSERT_FALSE(Core().ranges.empty());
    const CGXRange& painted = Core().ranges.front();
    EXPECT_EQ(painted.top, 0u);
    EXPECT_EQ(painted.left, 0u);
    EXPECT_EQ(painted.bottom, Core().GetLastVisibleRow());
    EXPECT_EQ(painted.right, Core().GetLastVisibleCol());
    CGXRange span;
    ASSERT_NE(Core().GetMergedCellRange(2, 1, span, 0), nullptr);
    EXPECT_EQ(span, CGXRange(2, 1, 2, 2));
}

}  // namespace
