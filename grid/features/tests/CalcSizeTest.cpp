#include "framework/drawing/PaintContext.h"
#include "grid/controls/tests/TestBitmaps.h"
#include "grid/core/GXBitmapResources.h"
#include "grid/features/tests/LayoutWndFixture.h"

#include <span>

namespace {

// Sizes measured through a cell's control, as fitting rows and columns measures them.
class CalcSizeTest : public LayoutWndFixture {
protected:
    fw::Size Measure(ROWCOL row, ROWCOL col, const CGXStyle& extra, bool heightOnly,
                     unsigned control = TestEditControl::kId) {
        CGXStyle style = wnd_->LookupStyleRowCol(row, col);
        style.ChangeStyle(extra, gxOverride);
        style.SetControl(static_cast<std::uint16_t>(control));
        fw::ClientContext dc(*wnd_);
        return wnd_->GetRegisteredControl(control)->CalcSize(dc, row, col, style, nullptr,
                                                             heightOnly);
    }
    static CGXStyle Text(const std::string& text, bool wrap = false) {
        CGXStyle s;
        s.SetValue(text);
        if (wrap)
            s.SetWrapText(true);
        return s;
    }
    static std::string Words(int n) {
        std::string text;
        for (int i = 0; i < n; ++i) text += (i ? " word" : "word") + std::to_string(i);
        return text;
    }
};

TEST_F(CalcSizeTest, AWrappedTextIsMeasuredUpToThirtyTwoLines) {
    wnd_->SetColWidth(2, 2, 50, nullptr, 0);  // one word a line
    const int one = Measure(1, 2, Text(Words(1), true), true).cy;
    const int ten = Measure(1, 2, Text(Words(10), true), true).cy;
    const int lineHeight = (ten - one) / 9;
    EXPECT_GT(lineHeight, 8);
    EXPECT_EQ(ten - one, 9 * lineHeight);
    EXPECT_EQ(Measure(1, 2, Text(Words(32), true), true).cy, one + 31 * lineHeight);
    EXPECT_EQ(Measure(1, 2, Text(Words(40), true), true).cy, one + 31 * lineHeight);
    // Without wrapping the line breaks of the text still count.
    EXPECT_EQ(Measure(1, 2, Text("a\nb\nc"), true).cy, one + 2 * lineHeight);
    // The width asked with the height is the width the text has in the cell.
    EXPECT_EQ(Measure(1, 2, Text(Words(10), true), true).cx,
              Measure(1, 2, Text(Words(1), true), true).cx);
}

TEST_F(CalcSizeTest, FittingARowTakesTheHeightOfItsWrappedText) {
    wnd_->SetColWidth(2, 2, 50, nullptr, 0);
    CGXStyle wrapped = Text(Words(4), true);
    wnd_->SetStyleRange(CGXRange(3, 2), &wrapped, gxOverride, 0, nullptr, 0);
    const int one = Measure(3, 1, Text("x"), true).cy;
    ASSERT_TRUE(wnd_->ResizeRowHeightsToFit(CGXRange().SetRows(3, 3)));
    EXPECT_EQ(wnd_->GetRowHeight(3), Measure(3, 2, CGXStyle(), true).cy);
    EXPECT_GT(wnd_->GetRowHeight(3), 3 * one);
}

TEST_F(CalcSizeTest, TheWidthIsTheWidestLine) {
    const int longer = Measure(1, 1, Text("a much longer line"), false).cx;
    EXPECT_EQ(Measure(1, 1, Text("short\na much longer line\nx"), false).cx, longer);
    EXPECT_LT(Measure(1, 1, Text("short"), false).cx, longer);
    // An empty cell needs one character.
    EXPECT_GT(Measure(1, 1, Text(""), false).cx, 0);
    EXPECT_GT(Measure(1, 1, Text(""), true).cy, 8);
}

TEST_F(CalcSizeTest, ACoveredCellMeasuresAcrossItsCovering) {
    const int single = Measure(2, 2, Text("x"), true).cx;
    ASSERT_TRUE(wnd_->SetCoveredCellsRowCol(2, 2, 2, 3));
    EXPECT_EQ(Measure(2, 2, Text("x"), true).cx, single + wnd_->GetColWidth(3));
}

TEST_F(CalcSizeTest, ATextNamingABitmapSizesToTheBitmapExceptInAnEditor) {
    const std::vector<std::uint8_t> file = gxtest::BitmapFile(30, 20, 0x0000FF);
    ASSERT_TRUE(GXRegisterBitmapResource(GXResourceName::Id(7003),
                                         std::span<const std::uint8_t>(file).subspan(14)));
    const CGXStyle bitmap = Text("#BMP(7003)");
    CGXControl* control = wnd_->GetRegisteredControl(TestEditControl::kId);
    EXPECT_EQ(Measure(1, 1, bitmap, false),
              control->AddBorders({30, 20}, wnd_->LookupStyleRowCol(1, 1)));
    // The edit control (52512) measures the text, whether or not it names a bitmap.
    const fw::Size edited = Measure(1, 1, bitmap, false, 52512);
    EXPECT_NE(edited, Measure(1, 1, bitmap, false));
    GXRemoveBitmapResources();
    EXPECT_EQ(Measure(1, 1, bitmap, false, 52512), edited);
}

// A fit answers heights from what decides them (font, wrapping, line breaks, bitmap, borders)
// and remembers them over the fit: each row must still get the height that measuring each of
// its shown cells on its own gives, whatever the cells hold.
TEST_F(CalcSizeTest, FittedRowsTakeTheHeightsTheirCellsMeasure) {
    const std::vector<std::uint8_t> file = gxtest::BitmapFile(12, 40, 0x00FF00);
    ASSERT_TRUE(GXRegisterBitmapResource(GXResourceName::Id(7004),
                                         std::span<const std::uint8_t>(file).subspan(14)));
    wnd_->SetColWidth(1, 1, 250, nullptr, 0);
    wnd_->SetColWidth(2, 3, 60, nullptr, 0);
    wnd_->HideCols(5, 5);
    // The standard style may wrap: these cells say that they do not.
    const auto plain = [](const std::string& text) {
        CGXStyle s = Text(text);
        s.SetWrapText(false);
        return s;
    };
    CGXStyle large = plain("Large");
    large.SetFont(CGXFont().SetSize(20));
    CGXStyle largeWrapped = Text(Words(3), true);
    largeWrapped.SetFont(CGXFont().SetSize(14));
    CGXStyle edited = plain("#BMP(7004)");
    edited.SetControl(52512);
    const struct {
        const char* name;
        std::vector<std::pair<ROWCOL, CGXStyle>> cells;
    } cases[] = {
        {"empty", {}},
        {"one line", {{2, plain("one line")}}},
        {"one line, wrapping and fitting", {{2, Text("ab", true)}}},
        {"wrapped long text", {{2, Text(Words(5), true)}}},
        {"short plain words, wrapping", {{2, Text("7 of 8", true)}}},
        {"narrow words just past the width, wrapping", {{3, Text("WW WW WW WW", true)}}},
        {"the same wrapped text, wide then narrow",
         {{1, Text(Words(6), true)}, {2, Text(Words(6), true)}}},
        {"multi-line text", {{3, plain("a\nb\r\nc\n")}}},
        {"multi-line wrapped text", {{2, Text("x\n" + Words(4), true)}}},
        {"larger font", {{2, large}}},
        {"larger font, wrapped", {{3, largeWrapped}}},
        {"bitmap", {{2, plain("#BMP(7004)")}}},
        {"bitmap name in an editor", {{2, edited}}},
        {"hidden column", {{5, plain("1\n2\n3\n4\n5")}}},
        // Last: its cell covers the next column too, so it wraps to fewer lines.
        {"wrapped text of a covering cell", {{2, Text(Words(5), true)}}},
    };
    ROWCOL row = 1;
    for (const auto& c : cases) {
        for (const auto& [col, style] : c.cells)
            wnd_->SetStyleRange(CGXRange(row, col), &style, gxOverride, 0, nullptr, 0);
        ++row;
    }
    ASSERT_TRUE(wnd_->SetCoveredCellsRowCol(row - 1, 2, row - 1, 3));
    ASSERT_TRUE(wnd_->ResizeRowHeightsToFit(CGXRange().SetRows(1, row - 1), 0));
    row = 1;
    for (const auto& c : cases) {
        int expected = 0;
        for (ROWCOL col = 1; col <= wnd_->GetColCount(); ++col)
            if (wnd_->GetColWidth(col) > 0) {
                const CGXStyle& style = wnd_->LookupStyleRowCol(row, col);
                expected =
                    std::max(expected, Measure(row, col, style, true, style.GetControl()).cy);
            }
        EXPECT_EQ(wnd_->GetRowHeight(row), expected) << c.name;
        ++row;
    }
    // The cases reach past one line of the standard font, and the hidden cell would have
    // made its row taller.
    EXPECT_GT(wnd_->GetRowHeight(4), wnd_->GetRowHeight(1) * 2);
    EXPECT_EQ(wnd_->GetRowHeight(14), wnd_->GetRowHeight(1));
    EXPECT_LT(wnd_->GetRowHeight(15), wnd_->GetRowHeight(4));
    // The narrow words wrap: their row is more than one line high.
    EXPECT_GT(wnd_->GetRowHeight(6), wnd_->GetRowHeight(1));
    GXRemoveBitmapResources();
}

}  // namespace
