#include "grid/features/tests/LayoutWndFixture.h"

namespace {

class FloatCellsTest : public LayoutWndFixture {
protected:
    void SetUp() override {
        LayoutWndFixture::SetUp();
        wnd_->SetFloatCellsMode(2, false);
    }
    void Set(ROWCOL row, ROWCOL col, const char* text) {
        wnd_->SetValueRange(CGXRange(row, col), text, gxOverride, GX_INVALIDATE);
    }
    std::string FloatOf(ROWCOL row, ROWCOL col) {
        CGXRange r;
        if (!wnd_->GetFloatedCellRange(row, col, r))
            return "-";
        return std::to_string(r.left) + ".." + std::to_string(r.right);
    }
};

TEST_F(FloatCellsTest, TextRunsOverEmptyNeighboursUntilATextStopsIt) {
    Set(2, 1, "A text far wider than its own column");
    Set(3, 1, "Stopped after one column by the next text");
    Set(3, 3, "x");
    Set(4, 1, "short");
    Paint();
    EXPECT_EQ(FloatOf(2, 1), "1..3");
    EXPECT_EQ(FloatOf(2, 3), "1..3");
    EXPECT_EQ(FloatOf(3, 1), "1..2");
    EXPECT_EQ(FloatOf(4, 1), "-");
    // A value typed into a floated-over cell cuts the text short at the next paint.
    wnd_->SetCurrentCell(2, 2);
    QTest::keyClicks(wnd_.get(), "b");
    QTest::keyClick(wnd_.get(), Qt::Key_Return);
    EXPECT_EQ(wnd_->GetStoredValueRowCol(2, 2), "b");
    Paint();
    EXPECT_EQ(FloatOf(2, 1), "-");
    wnd_->SetFloatCellsMode(0, true);
    EXPECT_EQ(FloatOf(3, 1), "-");
}

TEST_F(FloatCellsTest, RotatedTextAndFrozenColumnsDoNotFloat) {
    CGXStyle rotated;
    rotated.SetFont(CGXFont().SetOrientation(900));
    wnd_->SetStyleRange(CGXRange(2, 1), &rotated, gxOverride, 0, nullptr, 0);
    Set(2, 1, "A text far wider than its own column");
    wnd_->SetFrozenCols(1, 0, 0);
    Set(3, 1, "Frozen text stays in its column");
    Set(4, 2, "A text far wider than its own column");
    Paint();
    EXPECT_EQ(FloatOf(2, 1), "-");
    EXPECT_EQ(FloatOf(3, 1), "-");
    EXPECT_EQ(FloatOf(4, 2), "2..4");
}

// Inserted and removed rows and columns move the floated spans with their cells, and the spans
// on show are worked out again at once, not at the next paint (the changes here redraw
// nothing): a text runs over as many empty columns as it needs wherever its row now is.
struct LineChange {
    const char* name;
    bool (*change)(CGXGridCore&);
    ROWCOL row;        // where the floating text of row 2 is now
    const char* span;  // its span, right after the change
};

class FloatLinesTest : public FloatCellsTest, public ::testing::WithParamInterface<LineChange> {};

TEST_P(FloatLinesTest, InsertedAndRemovedLinesReevaluateTheShownSpans) {
    Set(2, 1, "A text far wider than its own column");
    Paint();
    ASSERT_EQ(FloatOf(2, 1), "1..3");
    ASSERT_TRUE(GetParam().change(*wnd_));
    EXPECT_EQ(FloatOf(GetParam().row, 1), GetParam().span);
    EXPECT_EQ(FloatOf(GetParam().row, 3), GetParam().span);
    EXPECT_EQ(FloatOf(GetParam().row, 4), "-");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FloatLinesTest,
    ::testing::Values(LineChange{"RemoveFloatedOverColumn",
                                 [](CGXGridCore& g) { return g.RemoveCols(2, 2, 0); }, 2, "1..3"},
                      LineChange{"InsertColumnInsideTheSpan",
                                 [](CGXGridCore& g) { return g.InsertCols(2, 1, nullptr, 0); }, 2,
                                 "1..3"},
                      LineChange{"InsertRowAbove",
                                 [](CGXGridCore& g) { return g.InsertRows(1, 2, nullptr, 0); }, 4,
                                 "1..3"},
                      LineChange{"RemoveRowAbove",
                                 [](CGXGridCore& g) { return g.RemoveRows(1, 1, 0); }, 1, "1..3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FloatCellsTest, FloatingGolden) {
    Set(2, 1, "This text floats over three empty cells");
    Set(4, 1, "Stopped by the next cell");
    Set(4, 3, "next");
    Set(6, 2, "Floats from the second column on");
    wnd_->Invalidate();
    const QImage image = Paint();
    ExpectGolden(image, "floating");
    // No grid line inside the floated span of row 2.
    const fw::Rect inner = wnd_->CalcRectFromRowCol(2, 2);
    EXPECT_EQ(image.pixel(inner.left, inner.top + 3) & 0xFFFFFFu, 0xFFFFFFu);
}

}  // namespace
