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

// Inserted and removed rows and columns move the worked-out spans with their cells at once,
// before any paint works them out again.
TEST_F(MergeCellsTest, SpansMoveWithInsertedAndRemovedLines) {
    Merge(CGXRange().SetTable(), 1 | 2 | 4);
    for (ROWCOL c = 2; c <= 3; ++c) Set(6, c, "North");
    for (ROWCOL r = 7; r <= 8; ++r) Set(r, 4, "Zone");
    Paint();
    ASSERT_EQ(MergeOf(6, 2, 0), "6,2-6,3");
    ASSERT_EQ(MergeOf(7, 4, 1), "7,4-8,4");
    struct Step {
        const char* name;
        bool (*change)(CGXGridCore&);
        const char* run;  // the horizontal run, looked up at its new first cell
        ROWCOL row, col;
        const char* column;  // the vertical run
        ROWCOL vrow, vcol;
    } steps[] = {
        {"remove rows 2-3", [](CGXGridCore& g) { return g.RemoveRows(2, 3); }, "4,2-4,3", 4, 2,
         "5,4-6,4", 5, 4},
        {"insert 2 rows at 1", [](CGXGridCore& g) { return g.InsertRows(1, 2); }, "6,2-6,3", 6, 2,
         "7,4-8,4", 7, 4},
        {"remove column 1", [](CGXGridCore& g) { return g.RemoveCols(1, 1); }, "6,1-6,2", 6, 1,
         "7,3-8,3", 7, 3},
        {"insert 3 columns at 1", [](CGXGridCore& g) { return g.InsertCols(1, 3); }, "6,4-6,5", 6,
         4, "7,6-8,6", 7, 6},
    };
    for (const Step& s : steps) {
        ASSERT_TRUE(s.change(*wnd_)) << s.name;
        EXPECT_EQ(MergeOf(s.row, s.col, 0), s.run) << s.name;
        EXPECT_EQ(MergeOf(s.vrow, s.vcol, 1), s.column) << s.name;
    }
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
