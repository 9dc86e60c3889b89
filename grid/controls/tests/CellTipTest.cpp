// Cell tips: which cells need one (text too wide or high, off the window, rotated, wrapped,
// bitmaps and missing bitmaps), where a bitmap starts, and tips that appear after their delay
// over a cell that is too small and go when the mouse moves on.
#include "grid/controls/CGXCellTip.h"
#include "grid/controls/CGXHeader.h"
#include "grid/controls/tests/ControlFixture.h"
#include "grid/controls/tests/TestBitmaps.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/GXBitmapResources.h"

#include <QTest>

namespace {

using gxtest::ControlFixture;

// A 40 x 30 red bitmap registered as resource 7001, named "#BMP(7001)" in cells.
void RegisterBitmap() {
    const std::vector<std::uint8_t> file = gxtest::BitmapFile(40, 30, 0x0000FF);
    GXRegisterBitmapResource(GXResourceName::Id(7001),
                             std::span<const std::uint8_t>(file).subspan(14));
}

class CellTip : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        RegisterBitmap();
        Core().SetRowCount(6);
        Core().SetColCount(5);
        Core().SetColWidth(1, 5, 60);
        Core().SetRowHeight(1, 6, 20);
        Paint();
    }
    // Cells are single-line unless a case says otherwise (wrapped text never gets a tip, and
    // the standard style wraps).
    void Put(ROWCOL row, ROWCOL col, const std::string& value, CGXStyle extra = CGXStyle()) {
        if (!extra.GetIncludeWrapText())
            extra.SetWrapText(false);
        extra.SetValue(value);
        Core().SetStyleRange(CGXRange(row, col), &extra);
    }
    unsigned Need(ROWCOL row, ROWCOL col) {
        const std::unique_ptr<CGXStyle> style = Style(row, col);
        CGXControl* c = Core().GetRegisteredControl(style->GetControl());
        return c->NeedCellTip(row, col, *style);
    }
};

TEST_F(CellTip, WhichCellsNeedATip) {
    CGXStyle rotated;
    rotated.SetFont(CGXFont().SetOrientation(900));
    CGXStyle wrapped;
    wrapped.SetWrapText(true);
    CGXStyle right;
    right.SetHorizontalAlignment(fw::DT_RIGHT);
    struct Case {
        const char* name;
        std::string value;
        CGXStyle style;
        unsigned flags;
    };
    const std::vector<Case> cases = {
        {"fits", "Hi", CGXStyle(), 0},
        {"too wide", "A text far wider than sixty pixels", CGXStyle(), 0x01},
        {"too wide, right-aligned", "A text far wider than sixty pixels", right, 0x01},
        {"rotated", "A text far wider than sixty pixels", rotated, 0},
        {"wrapped", "A text far wider than sixty pixels", wrapped, 0},
        {"bitmap higher than the cell", "#BMP(7001)", CGXStyle(), 0x02},
        {"bitmap missing from the pool", "#BMP(7999)", CGXStyle(), 0},
    };
    for (const Case& c : cases) {
        Put(1, 1, c.value, c.style);
        EXPECT_EQ(Need(1, 1), c.flags) << c.name;
    }
}

TEST_F(CellTip, OneColumnTooNarrowIsOnePixelTooFew) {
    Put(1, 1, "Measured");
    CGXControl* c = Core().GetControl(1, 1);
    const std::unique_ptr<CGXStyle> owned = Style(1, 1);
    const CGXStyle& style = *owned;
    const int extent = GXGetCellTextExtent(*c, 1, 1, style).cx;
    const int textWidth = c->GetCellRect(1, 1).Width();
    // The text fits while its rectangle is at most one pixel narrower than the text.
    Core().SetColWidth(1, 1, Core().GetColWidth(1) + (extent - 1 - textWidth));
    EXPECT_EQ(Need(1, 1), 0u);
    Core().SetColWidth(1, 1, Core().GetColWidth(1) - 1);
    EXPECT_EQ(Need(1, 1), 0x01u);
}

TEST_F(CellTip, ACellPartlyOutsideTheWindowSaysSo) {
    Core().SetColWidth(5, 5, 200);  // runs past the 400-pixel window
    Put(1, 5, "A text far wider than sixty pixels and more than that");
    EXPECT_EQ(Need(1, 5) & 0x04u, 0x04u);
}

TEST_F(CellTip, BottomAlignedBitmapStartsFromTheBottomEdge) {
    Core().SetRowHeight(2, 2, 60);
    CGXStyle bottom;
    bottom.SetVerticalAlignment(fw::DT_BOTTOM).SetHorizontalAlignment(fw::DT_RIGHT);
    Core().SetColWidth(2, 2, 80);
    Put(2, 2, "#BMP(7001)", bottom);
    CGXControl* c = Core().GetControl(2, 2);
    const std::unique_ptr<CGXStyle> owned = Style(2, 2);
    const CGXStyle& style = *owned;
    const fw::Rect inner = GXGetCellInnerScreenRect(*c, 2, 2, style);
    const fw::Point o = GXGetCellBitmapOrigin(*c, 2, 2, style);
    EXPECT_EQ(o.y, inner.bottom - 30 - 1);
    EXPECT_EQ(o.x, inner.right - 40 - 1);
    EXPECT_EQ(Need(2, 2), 0u);
}

TEST_F(CellTip, TipsAppearAfterTheirDelayAndGoOnAMove) {
    CGXCellTips tips(Core(), 30);
    wnd_->tips = &tips;
    Put(1, 1, "A text far wider than sixty pixels");
    Put(1, 2, "Hi");
    Put(3, 3, "#BMP(7001)");
    const fw::Rect cell = Cell(1, 1);
    QTest::mouseMove(wnd_.get(), At({cell.left + 10, cell.top + 5}));
    EXPECT_EQ(tips.GetShownTip(), nullptr);  // not before the delay
    ASSERT_TRUE(gxtest::PumpUntil([&] { return tips.GetShownTip() != nullptr; }));
    CGXCellTipWnd* tip = tips.GetShownTip();
    EXPECT_EQ(tip->GetKind(), GX_CELLTIP_TEXT);
    EXPECT_EQ(tip->GetTipText(), "A text far wider than sixty pixels");
    const fw::Rect screenCell = wnd_->ClientToScreen(cell);
    EXPECT_LE(std::abs(tip->GetWindowRect().left - screenCell.left), 2);
    EXPECT_GT(tip->GetWindowRect().Width(), cell.Width());
    EXPECT_EQ(QApplication::focusWidget(), wnd_.get());
    tip->UpdateWindow();  // its paint is queued behind the show; do not grab before it ran
    gxtest::ExpectGolden(tip->grab().toImage(), "celltip_text");

    const fw::Rect other = Cell(1, 2);
    QTest::mouseMove(wnd_.get(), At({other.left + 10, other.top + 5}));
    EXPECT_EQ(tips.GetShownTip(), nullptr);  // gone at once
    // The delay's end, at once: a text that fits has no tip.
    tips.OnDelay();
    EXPECT_EQ(tips.GetShownTip(), nullptr);

    const fw::Rect bmp = Cell(3, 3);
    QTest::mouseMove(wnd_.get(), At({bmp.left + 5, bmp.top + 5}));
    ASSERT_TRUE(gxtest::PumpUntil([&] { return tips.GetShownTip() != nullptr; }));
    EXPECT_EQ(tips.GetShownTip()->GetKind(), GX_CELLTIP_BITMAP);
    EXPECT_GE(tips.GetShownTip()->GetWindowRect().Width(), 41);
    EXPECT_GE(tips.GetShownTip()->GetWindowRect().Height(), 31);
    wnd_->tips = nullptr;
}

TEST_F(CellTip, TheTipFontFollowsTheZoom) {
    Put(1, 1, "A text far wider than sixty pixels");
    CGXControl* c = Core().GetControl(1, 1);
    CGXCellTipWnd wnd(GX_CELLTIP_TEXT);
    wnd.Create(wnd_.get());
    c->InitCellTip(1, 1, *Style(1, 1), &wnd);
    const int normal = std::abs(wnd.GetTipFont().height);
    Core().SetZoom(200);
    c->InitCellTip(1, 1, *Style(1, 1), &wnd);
    EXPECT_EQ(std::abs(wnd.GetTipFont().height), 2 * normal);
}

}  // namespace
