#include "grid/features/tests/LayoutWndFixture.h"

namespace {

class MergeCellsTest : public LayoutWndFixture {
protected:
    void SetUp() override {
        LayoutWndFixture::SetUp();
        wnd_->SetMergeCellsMode(2, false);
    }
    void Set(ROWCOL row, ROWCOL col, const char* text) {
        wnd_->SetValueRange(CGXRange(row, col), text, gxOverride, GX_INVALIDATE);
    }
    void Merge(const CGXRange& range, unsigned bits) {
        CGXStyle s;
        s.SetMergeCell(bits);
        wnd_->SetStyleRange(range, &s, gxOverride, 0, nullptr, 0);
    }
    std::string MergeOf(ROWCOL row, ROWCOL col, int direction) {
        CGXRange r;
        if (!wnd_->GetMergedCellRange(row, col, r, direction))
            return "-";
        return std::to_string(r.top) + "," + std::to_string(r.left) + "-" +
               std::to_string(r.bottom) + "," + std::to_string(r.right);
    }
};

TEST_F(MergeCellsTest, EqualNeighboursMergeByRowsAndByColumns) {
    Merge(CGXRange().SetTable(), 1 | 2 | 4);  // both directions, compare by value
    for (ROWCOL c = 1; c <= 3; ++c) Set(2, c, "North");
    Set(2, 4, "South");
    for (ROWCOL r = 4; r <= 6; ++r) Set(r, 2, "Zone 7");
    // Equal values with other attributes still merge when compared by value.
    CGXStyle bold;
    bold.SetFont(CGXFont().SetWeight(700));
    wnd_->SetStyleRange(CGXRange(2, 3), &bold, gxApplyNew, 0, nullptr, 0);
    Paint();
    EXPECT_EQ(MergeOf(2, 2, 0), "2,1-2,3");
    EXPECT_EQ(MergeOf(2, 4, 0), "-");
    EXPECT_EQ(MergeOf(5, 2, 1), "4,2-6,2");
    EXPECT_EQ(MergeOf(5, 2, 0), "-");
    // A changed value splits the run at the next paint.
    Set(2, 2, "Other");
    Paint();
    EXPECT_EQ(MergeOf(2, 1, 0), "-");
    EXPECT_EQ(MergeOf(2, 3, 0), "-");
}

TEST_F(MergeCellsTest, WithoutCompareByValueOnlyEqualStylesMerge) {
    Merge(CGXRange().SetTable(), 1);
    Set(3, 1, "same");
    Set(3, 2, "same");
    Set(3, 3, "same");
    CGXStyle bold;
    bold.SetFont(CGXFont().SetWeight(700));
    wnd_->SetStyleRange(CGXRange(3, 3), &bold, gxApplyNew, 0, nullptr, 0);
    Paint();
    EXPECT_EQ(MergeOf(3, 1, 0), "3,1-3,2");
    EXPECT_EQ(MergeOf(3, 3, 0), "-");
    // Horizontal merging turned off by the mode.
    wnd_->SetMergeCellsMode(2 | 8, false);
    Paint();
    EXPECT_EQ(MergeOf(3, 1, 0), "-");
}

TEST_F(MergeCellsTest, MergedGolden) {
    Merge(CGXRange().SetTable(), 1 | 2 | 4);
    for (ROWCOL c = 1; c <= 3; ++c) Set(1, c, "Stage lighting");
    for (ROWCOL r = 3; r <= 7; ++r) Set(r, 1, "Rack A");
    for (ROWCOL r = 3; r <= 4; ++r) Set(r, 2, "Dimmer");
    Set(3, 3, "12");
    Set(4, 3, "13");
    wnd_->Invalidate();
    const QImage image = Paint();
    ExpectGolden(image, "merged");
    // No line between the merged rows of column A.
    const fw::Rect inner = wnd_->CalcRectFromRowCol(5, 1);
    EXPECT_EQ(image.pixel(inner.left + 5, inner.top) & 0xFFFFFFu, 0xFFFFFFu);
}

}  // namespace
