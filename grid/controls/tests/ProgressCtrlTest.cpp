// Progress-bar cells: the caption forms, the bar's width, equal bounds, storing values outside
// the bounds, and the two-coloured caption.
#include "grid/controls/CGXProgressCtrl.h"
#include "grid/controls/tests/ControlFixture.h"

namespace {

using gxtest::ControlFixture;

TEST(ProgressCaption, OnlyOneIntegerConversionIsFormatted) {
    struct Case {
        const char* format;
        long value;
        const char* shown;
    };
    const Case cases[] = {
        {"%ld%%", 42, "42%"},
        {"%d", -7, "-7"},
        {"Done: %3ld of 100", 5, "Done:   5 of 100"},
        {"%05i", 42, "00042"},
        {"%%%d%%", 1, "%1%"},
        {"", 9, ""},
        {"plain", 9, "plain"},
        {"%s", 9, "%s"},
        {"%ld %ld", 9, "%ld %ld"},
        {"%n", 9, "%n"},
        {"%f", 9, "%f"},
        {"100%", 9, "100%"},
        {"%*d", 9, "%*d"},
        {"%9999999999d", 1, "%9999999999d"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CGXProgressCtrl::FormatCaptionText(c.format, c.value), c.shown) << c.format;
}

TEST(ProgressBar, WidthFollowsTheValueWithinTheBounds) {
    struct Case {
        long value, lower, upper;
        int width, bar;
    };
    const Case cases[] = {
        {50, 0, 100, 101, 50},   {0, 0, 100, 101, 0}, {-5, 0, 100, 101, 0}, {100, 0, 100, 100, 100},
        {150, 0, 100, 100, 100}, {7, 7, 7, 100, 0},   {15, 10, 20, 40, 20}, {5, 0, 10, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CGXProgressCtrl::BarWidth(c.value, c.lower, c.upper, c.width), c.bar)
            << c.value << " in " << c.lower << ".." << c.upper;
}

class Progress : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        Core().SetRowCount(3);
        Core().SetColCount(2);
        Core().SetColWidth(1, 2, 120);
        Core().SetRowHeight(1, 3, 22);
    }
    CGXStyle Bounds(long lower, long upper) {
        CGXStyle s;
        s.SetControl(GX_IDS_CTRL_PROGRESS)
            .SetUserAttribute(GX_IDS_UA_PROGRESS_LOWER, std::to_string(lower))
            .SetUserAttribute(GX_IDS_UA_PROGRESS_UPPER, std::to_string(upper))
            .SetTextColor(0x0000FF)
            .SetInterior(0xFFFFFF);
        return s;
    }
    CGXProgressCtrl& Control() {
        return static_cast<CGXProgressCtrl&>(*Core().GetRegisteredControl(GX_IDS_CTRL_PROGRESS));
    }
};

TEST_F(Progress, StoredValuesStayWithinTheBounds) {
    CGXStyle cell = Bounds(0, 100);
    Core().SetStyleRange(CGXRange(1, 1), &cell);
    for (auto [stored, kept] : {std::pair{"150", "100"}, {"-3", "0"}, {"40", "40"}}) {
        CGXStyle v;
        v.SetValue(std::string(stored));
        Control().StoreStyleRowCol(1, 1, v, gxOverride);
        EXPECT_EQ(Value(1, 1), kept) << stored;
    }
    // Bounds carried by the stored style win over the cell's.
    CGXStyle both = Bounds(10, 20);
    both.SetValue(std::string("50"));
    Control().StoreStyleRowCol(1, 1, both, gxOverride);
    EXPECT_EQ(Value(1, 1), "20");
}

TEST_F(Progress, DrawsTheBarAndATwoColouredCaption) {
    CGXStyle half = Bounds(0, 100);
    half.SetValue(std::string("50")).SetUserAttribute(GX_IDS_UA_PROGRESS_CAPTION, "%ld%%");
    Core().SetStyleRange(CGXRange(2, 1), &half);
    CGXStyle equal = Bounds(5, 5);
    equal.SetValue(std::string("5"));
    Core().SetStyleRange(CGXRange(3, 1), &equal);
    Core().SetCurrentCell(1, 2);
    const QImage img = RepaintAll();
    img.save(QString(GRID_BUILD_DIR) + "/grid_controls_progress.png");
    const fw::Rect inner = Control().GetCellRect(2, 1);
    const int mid = (inner.top + inner.bottom) / 2;
    const int barEnd = inner.left + CGXProgressCtrl::BarWidth(50, 0, 100, inner.right - inner.left);
    EXPECT_EQ(img.pixelColor(inner.left + 2, inner.top + 1), QColor(255, 0, 0));  // the bar
    EXPECT_EQ(img.pixelColor(inner.right - 3, inner.top + 1), QColor(255, 255, 255));
    // The caption straddles the bar's edge: white ink on the bar, the bar's colour beside it.
    bool whiteOnBar = false, redBeside = false;
    for (int x = barEnd - 12; x < barEnd; ++x)
        for (int y = mid - 5; y <= mid + 5; ++y) whiteOnBar |= img.pixelColor(x, y) == Qt::white;
    for (int x = barEnd; x < barEnd + 12; ++x)
        for (int y = mid - 5; y <= mid + 5; ++y)
            redBeside |= img.pixelColor(x, y).red() > 200 && img.pixelColor(x, y).green() < 80;
    EXPECT_TRUE(whiteOnBar);
    EXPECT_TRUE(redBeside);
    const fw::Rect empty = Control().GetCellRect(3, 1);
    EXPECT_EQ(img.pixelColor(empty.left + 2, mid + 22), QColor(255, 255, 255));  // equal bounds
}

}  // namespace
