// Grid drawing: the calls the painting makes where their sequence is the fault (recorded by a
// grid that logs its brush, border and line calls), golden images of what a grid shows, and
// scrolling that must leave exactly what a full repaint of the same state gives.
#include "framework/window/Window.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/tests/GridFixture.h"

#include <QDir>

#include <string>
#include <vector>

namespace {

constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kBlue = 0xFF0000;

// Logs the drawing helpers that the painting goes through, then draws as usual.
class RecordingGrid : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    struct Fill {
        fw::Rect rect;
        CGXBrush brush;
    };
    struct Line {
        fw::Rect rect;
        unsigned flags;
    };
    std::vector<Fill> fills;
    std::vector<Line> lines;
    std::vector<std::pair<CGXPen, fw::Rect>> borders;
    void Clear() {
        fills.clear();
        lines.clear();
        borders.clear();
    }
    void DrawBrushRect(fw::DeviceContext* dc, const fw::Rect& rect,
                       const CGXBrush& brush) override {
        fills.push_back({rect, brush});
        CGXGridCore::DrawBrushRect(dc, rect, brush);
    }
    void DrawLine(fw::DeviceContext* dc, int x, int y, int w, int h, int kind,
                  unsigned flags) override {
        lines.push_back({{x, y, x + w, y + h}, flags});
        CGXGridCore::DrawLine(dc, x, y, w, h, kind, flags);
    }
    void DrawCellBorder(const CGXPen& pen, const fw::Rect& rect, int side, fw::DeviceContext* dc,
                        const CGXBrush* interior) override {
        borders.emplace_back(pen, rect);
        CGXGridCore::DrawCellBorder(pen, rect, side, dc, interior);
    }
};

class GridDraw : public GridFixtureT<RecordingGrid> {
protected:
    void SetUp() override {
        GridFixtureT<RecordingGrid>::SetUp();
        Core().SetRowCount(6);
        Core().SetColCount(5);
        Core().SetColWidth(0, 0, 40);
        Core().SetColWidth(1, 5, 60);
        Core().SetRowHeight(0, 6, 20);
        Paint();
        Core().Clear();
    }
    std::vector<RecordingGrid::Fill> FillsOf(COLORREF color) {
        std::vector<RecordingGrid::Fill> out;
        for (const auto& f : Core().fills)
            if ((f.brush.GetColorResolved() & 0xFFFFFF) == color)
                out.push_back(f);
        return out;
    }
};

// The drag line sits on the boundary before the row (column), one unit across, and reaches as
// far as the visible cells do; the drag-line window's primitive draws with its first parameter.
TEST_F(GridDraw, DragLinesLieOnTheBoundaryAndReachToTheLastVisibleCell) {
    const int off = Core().Is3dLook() ? 1 : 0;
    const struct {
        const char* name;
        int kind;
        ROWCOL index;
        fw::Rect expected;  // columns 40 then 60 wide, rows 20 high, six rows and five columns
    } cases[] = {
        {"column 2", GX_VERTLINE, 2, {100 - off, 0, 101 - off, 140}},
        {"column 0", GX_VERTLINE, 0, {-off, 0, 1 - off, 140}},
        {"row 3", GX_HORZLINE, 3, {0, 60 - off, 340, 61 - off}},
    };
    fw::DeviceContext* dc = Core().AcquireGridDC();
    ASSERT_NE(dc, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Core().CalcDragLineRect(c.kind, c.index), c.expected);
        Core().Clear();
        Core().DrawDragLine(dc, c.kind, c.index, GX_LINE_DRAG);
        ASSERT_EQ(Core().lines.size(), 1u);
        EXPECT_EQ(Core().lines[0].rect, c.expected);
        EXPECT_EQ(Core().lines[0].flags, GX_LINE_DRAG);
    }
    Core().Clear();
    Core().PaintDragLine(dc, 5, 6, 1, 30, GX_LINE_DRAG, 0, GX_VERTLINE);
    ASSERT_EQ(Core().lines.size(), 1u);
    EXPECT_EQ(Core().lines[0].rect, (fw::Rect{5, 6, 6, 36}));
    EXPECT_EQ(Core().lines[0].flags, GX_LINE_DRAG);
    Core().ReleaseGridDC();
}

TEST_F(GridDraw, EqualNeighbouringInteriorsAreFilledAsOneRun) {
    Core().SetStyleRange(CGXRange(1, 1, 1, 2), &CGXStyle().SetInterior(kRed));
    Core().SetStyleRange(CGXRange(1, 3), &CGXStyle().SetInterior(kBlue));
    Core().SetStyleRange(CGXRange(1, 4), &CGXStyle().SetInterior(kRed));
    Core().Clear();
    RepaintAll();
    const auto red = FillsOf(kRed);
    ASSERT_EQ(red.size(), 2u);
    EXPECT_EQ(red[0].rect, (fw::Rect{40, 20, 160, 40}));  // columns 1 and 2 in one fill
    EXPECT_EQ(red[1].rect, (fw::Rect{220, 20, 280, 40}));
    ASSERT_EQ(FillsOf(kBlue).size(), 1u);
    // Plain grid lines of a row are one line each, not one per cell.
    int rowOneTop = 0;
    for (const auto& l : Core().lines)
        if (l.rect.top == 20 && l.rect.Height() == 1)
            ++rowOneTop;
    EXPECT_EQ(rowOneTop, 1);
}

TEST_F(GridDraw, ANullPenBorderDrawsNothingAndDoesNotShrinkTheCell) {
    CGXStyle s;
    s.SetBorders(gxBorderTop, CGXPen(fw::PS_NULL, 1, kRed));
    Core().SetStyleRange(CGXRange(2, 2), &s);
    const QImage image = RepaintAll();
    const fw::Rect cell = Core().CalcRectFromRowCol(2, 2);
    const fw::Rect inner = Core().GetCellRectInset(cell, Core().LookupStyleRowCol(2, 2), true);
    EXPECT_EQ(inner.top, cell.top);  // neither border nor grid line takes the top pixel
    EXPECT_EQ(inner.left, cell.left + 1);
    // The cell's top edge shows the cell's background, while its neighbour's shows the line.
    const QRgb background = image.pixel(cell.left + 30, cell.top);
    const QRgb line = image.pixel(cell.left + 90, cell.top);
    EXPECT_NE(background, line);
    EXPECT_EQ(background, image.pixel(cell.left + 30, cell.top + 5));
}

TEST_F(GridDraw, AClipBoxOutsideTheGridDrawsNothing) {
    Core().SetGridRect(true, {0, 0, 200, 100});
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::green);
    const QImage before = image.copy();
    {
        fw::DeviceContext dc(&image);
        dc.IntersectClipRect({250, 150, 400, 300});
        Core().OnGridDraw(&dc);
    }
    EXPECT_TRUE(Core().fills.empty());
    EXPECT_TRUE(Core().lines.empty());
    EXPECT_EQ(image, before);
    // A clip box that meets the grid draws only what lies in the grid.
    {
        fw::DeviceContext dc(&image);
        dc.IntersectClipRect({150, 50, 400, 300});
        Core().OnGridDraw(&dc);
    }
    EXPECT_FALSE(Core().fills.empty());
    EXPECT_EQ(image.pixel(300, 200), before.pixel(300, 200));
}

TEST_F(GridDraw, BlackAndWhitePrintingDrawsWhiteBackgroundsAndBlackLines) {
    Core().SetStyleRange(CGXRange(1, 1, 2, 2), &CGXStyle().SetInterior(kRed));
    CGXStyle bordered;
    bordered.SetBorders(gxBorderAll, CGXPen(fw::PS_SOLID, 2, kBlue));
    Core().SetStyleRange(CGXRange(4, 4), &bordered);
    Core().GetProperties()->SetBlackWhite(true);
    Core().Clear();
    Core().SetPrinting(true, {0, 0, 400, 300});
    QImage page(400, 300, QImage::Format_RGB32);
    page.fill(Qt::gray);
    {
        fw::DeviceContext dc(&page);
        Core().OnGridDrawRange(0, 0, 6, 5, &dc);
    }
    Core().SetPrinting(false);
    ASSERT_FALSE(Core().fills.empty());
    for (const auto& f : Core().fills) {
        const COLORREF fg = f.brush.GetColorResolved() & 0xFFFFFF;
        EXPECT_TRUE(fg == 0xFFFFFF || fg == 0)
            << std::hex << fg << std::dec << " at " << f.rect.left << "," << f.rect.top << " style "
            << f.brush.GetStyle();
    }
    for (int y = 0; y < 140; ++y)
        for (int x = 0; x < 340; ++x) {
            const QRgb p = page.pixel(x, y);
            // Text is anti-aliased grey; colours never appear.
            EXPECT_TRUE(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p))
                << x << "," << y << " " << std::hex << p;
            if (qRed(p) != qGreen(p))
                return;
        }
    const fw::Rect cell = Core().CalcRectFromRowCol(4, 4);
    EXPECT_EQ(page.pixel(cell.left + 20, cell.top) & 0xFFFFFF, 0u);  // the border
    EXPECT_EQ(page.pixel(cell.left, cell.top - 10) & 0xFFFFFF, 0u);  // a grid line
    EXPECT_EQ(page.pixel(cell.left + 30, cell.top - 5) & 0xFFFFFF, 0xFFFFFFu);
}

// ----- golden images -----------------------------------------------------------------------------

QString GoldenPath(const char* name) {
    return QString(GRID_SOURCE_DIR) + "/core/tests/golden/" + name + ".png";
}

// Compares with the stored image; with IXO_UPDATE_GOLDEN set (or no image yet) writes it.
void ExpectGolden(const QImage& image, const char* name) {
    const QString path = GoldenPath(name);
    const QString seen = QString(GRID_BUILD_DIR) + "/grid_golden_" + name + ".png";
    image.save(seen);
    if (qEnvironmentVariableIsSet("IXO_UPDATE_GOLDEN") || !QFile::exists(path)) {
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(image.save(path)) << path.toStdString();
        if (!qEnvironmentVariableIsSet("IXO_UPDATE_GOLDEN"))
            ADD_FAILURE() << "no golden image yet; written to " << path.toStdString();
        return;
    }
    const QImage golden = QImage(path).convertToFormat(image.format());
    const int differing = CountDiffering(image, golden);
    EXPECT_LE(differing, image.width() * image.height() / 300)
        << name << ": " << differing << " pixels differ; see " << seen.toStdString();
}

using GridGolden = GridFixture;

TEST_F(GridGolden, FrozenRowsAndColumnsStayWhileTheRestScrolls) {
    Core().SetRowCount(200);
    Core().SetColCount(30);
    Core().SetFrozenRows(2, 0);
    Core().SetFrozenCols(1, 0);
    for (ROWCOL r = 1; r <= 200; ++r)
        Core().SetValueRange(CGXRange(r, 1), "row " + std::to_string(r));
    Core().SetStyleRange(CGXRange().SetRows(1, 2), &CGXStyle().SetInterior(0xE0F0FF));
    Core().SetStyleRange(CGXRange().SetCols(1, 1), &CGXStyle().SetInterior(0xE0FFE0));
    Core().SetValueRange(CGXRange(40, 6), "right");
    Core().SetStyleRange(CGXRange(40, 6), &CGXStyle().SetHorizontalAlignment(fw::DT_RIGHT));
    Core().SetTopRow(35, GX_INVALIDATE);
    Core().SetLeftCol(4, GX_INVALIDATE);
    ExpectGolden(RepaintAll(), "frozen");
}

TEST_F(GridGolden, EveryBorderStyleWidthAndSide) {
    Core().SetRowCount(8);
    Core().SetColCount(4);
    Core().SetDefaultRowHeight(30);
    for (int style = 0; style <= 5; ++style) {
        for (int w = 1; w <= 3; ++w) {
            CGXStyle s;
            s.SetBorders(gxBorderAll, CGXPen(style, w, style == 0 ? kBlue : kRed));
            s.SetValue("s" + std::to_string(style) + " w" + std::to_string(w));
            Core().SetStyleRange(CGXRange(static_cast<ROWCOL>(style + 1), static_cast<ROWCOL>(w)),
                                 &s);
        }
    }
    CGXStyle one;
    one.SetBorders(gxBorderBottom, CGXPen(fw::PS_SOLID, 3, 0x008000)).SetValue("bottom");
    Core().SetStyleRange(CGXRange(7, 4), &one);
    ExpectGolden(RepaintAll(), "borders");
}

TEST_F(GridGolden, TheFortyOnePatternsAsInteriors) {
    width_ = 480;
    wnd_->MoveWindow({0, 0, 480, 300});
    Core().SetRowCount(7);
    Core().SetColCount(6);
    Core().SetDefaultRowHeight(36);
    Core().SetDefaultColWidth(70);
    for (int i = 0; i < CGXDrawingAndFormatting::kPatternCount; ++i) {
        CGXBrush b;
        b.SetStyle(fw::BS_PATTERN).SetPattern(i).SetColor(0x800000).SetBkColor(0xFFFFE0);
        CGXStyle s;
        s.SetInterior(b).SetValue(std::to_string(i));
        Core().SetStyleRange(
            CGXRange(static_cast<ROWCOL>(i / 6 + 1), static_cast<ROWCOL>(i % 6 + 1)), &s);
    }
    ExpectGolden(RepaintAll(), "patterns");
}

TEST_F(GridGolden, InvertedSelectionCurrentCellAndTheAreaPastTheLastRow) {
    Core().SetRowCount(5);
    Core().SetColCount(3);
    Core().SetValueRange(CGXRange(2, 2), "current");
    Core().SetValueRange(CGXRange(3, 1), "selected");
    Core().SelectRange(CGXRange(3, 1, 4, 2));
    Core().SelectRange(CGXRange().SetRows(5, 5));
    Core().SetCurrentCell(2, 2);
    ExpectGolden(RepaintAll(), "selection");
}

// ----- scrolling
// ------------------------------------------------------------------------------------

using GridScrollPixels = GridFixture;

TEST_F(GridScrollPixels, EveryScrolledImageEqualsAFullRepaintOfTheSameState) {
    Core().SetRowCount(5000);
    Core().SetColCount(60);
    Core().SetFrozenRows(1, 0);
    Core().SetFrozenCols(1, 0);
    for (ROWCOL r = 1; r <= 120; ++r) {
        Core().SetValueRange(CGXRange(r, 2), "value " + std::to_string(r));
        if (r % 3 == 0)
            Core().SetRowHeight(r, r, 14 + static_cast<int>(r % 17));
        if (r % 7 == 0)
            Core().SetStyleRange(CGXRange(r, 3, r, 5), &CGXStyle().SetInterior(0x80C0FF));
    }
    for (ROWCOL c = 2; c <= 60; c += 4) Core().SetColWidth(c, c, 35 + static_cast<int>(c));
    Core().SelectRange(CGXRange(10, 2, 30, 4));
    Core().SetCurrentCell(12, 3);
    Paint();

    const struct {
        bool vertical;
        unsigned code;
        int thumb;
        const char* what;
    } steps[] = {
        {true, fw::SB_LINEDOWN, 0, "line down"},  {true, fw::SB_PAGEDOWN, 0, "page down"},
        {true, fw::SB_LINEDOWN, 0, "line down"},  {true, fw::SB_LINEUP, 0, "line up"},
        {true, fw::SB_PAGEUP, 0, "page up"},      {true, fw::SB_THUMBPOSITION, 20, "thumb"},
        {false, fw::SB_LINERIGHT, 0, "right"},    {false, fw::SB_PAGERIGHT, 0, "page right"},
        {false, fw::SB_LINELEFT, 0, "left"},      {true, fw::SB_PAGEDOWN, 0, "page down"},
        {false, fw::SB_PAGELEFT, 0, "page left"}, {true, fw::SB_BOTTOM, 0, "bottom"},
        {true, fw::SB_LINEUP, 0, "line up"},      {true, fw::SB_TOP, 0, "top"},
    };
    for (const auto& s : steps) {
        if (s.code == fw::SB_THUMBPOSITION) {
            fw::ScrollInfo si;
            si.mask = fw::SIF_POS;
            si.pos = s.thumb;
            wnd_->SetScrollInfo(fw::SB_VERT, si);
        }
        wnd_->SendMessage(s.vertical ? fw::WM_VSCROLL : fw::WM_HSCROLL, fw::MAKEWPARAM(s.code, 0));
        const QImage scrolled = Paint();
        const QImage full = RepaintAll();
        const int differing = CountDiffering(scrolled, full, 0);
        if (differing) {
            scrolled.save(QString(GRID_BUILD_DIR) + "/grid_scrolled_stale.png");
            full.save(QString(GRID_BUILD_DIR) + "/grid_scrolled_full.png");
        }
        EXPECT_EQ(differing, 0) << s.what << " top " << Core().GetTopRow() << " left "
                                << Core().GetLeftCol();
    }
    EXPECT_EQ(Core().GetTopRow(), 2u);
}

}  // namespace

namespace {

using GridPaintPaths = GridFixture;

TEST_F(GridPaintPaths, ThroughAMemoryBitmapThePaintIsTheSameAsDirect) {
    Core().SetRowCount(40);
    Core().SetColCount(10);
    Core().SetFrozenRows(1, 0);
    for (ROWCOL r = 1; r <= 40; r += 3)
        Core().SetValueRange(CGXRange(r, 2), "text " + std::to_string(r));
    CGXBrush hatch(fw::BS_HATCHED, 0x0000A0, fw::HS_DIAGCROSS);
    Core().SetStyleRange(CGXRange(3, 3, 6, 5), &CGXStyle().SetInterior(hatch.SetBkColor(0xE0FFFF)));
    Core().SelectRange(CGXRange(8, 1, 9, 3));
    Core().SetTopRow(3, 0);
    const QImage direct = RepaintAll();
    Core().SetMemDCDrawing(1);
    const QImage throughMemory = RepaintAll();
    Core().SetMemDCDrawing(0);
    EXPECT_EQ(CountDiffering(direct, throughMemory, 0), 0);
    // A part of the window painted through the bitmap fits in seamlessly as well.
    Core().SetMemDCDrawing(1);
    wnd_->InvalidateRect({37, 41, 211, 133});
    EXPECT_EQ(CountDiffering(direct, Paint(), 0), 0);
}

TEST_F(GridPaintPaths, BrushesDrawByTheirStyle) {
    QImage image(60, 20, QImage::Format_RGB32);
    const struct {
        CGXBrush brush;
        QRgb at00, at10;  // two pixels of the first pattern row
    } cases[] = {
        {CGXBrush(fw::BS_SOLID, 0x00FF00, 0), qRgb(0, 255, 0), qRgb(0, 255, 0)},
        {CGXBrush(fw::BS_HOLLOW, 0x00FF00, 0), qRgb(1, 2, 3), qRgb(1, 2, 3)},  // untouched
        {CGXBrush(fw::BS_HATCHED, 0x0000FF, fw::HS_VERTICAL).SetBkColor(0xFFFFFF), qRgb(255, 0, 0),
         qRgb(255, 255, 255)},
    };
    for (const auto& c : cases) {
        image.fill(qRgb(1, 2, 3));
        {
            fw::DeviceContext dc(&image);
            Core().DrawBrushRect(&dc, {0, 0, 60, 20}, c.brush);
        }
        EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, c.at00 & 0xFFFFFF) << c.brush.GetStyle();
        EXPECT_EQ(image.pixel(3, 0) & 0xFFFFFF, c.at10 & 0xFFFFFF) << c.brush.GetStyle();
    }
}

TEST_F(GridPaintPaths, FontsCompareFieldByFieldAndEqualFontsAreNotSelectedAgain) {
    QImage image(10, 10, QImage::Format_RGB32);
    fw::DeviceContext dc(&image);
    CGXStyle a, b, c;
    a.SetFont(CGXFont().SetFaceName("DejaVu Sans").SetSize(9));
    b.SetFont(CGXFont().SetFaceName("DejaVu Sans").SetSize(9));
    c.SetFont(CGXFont().SetFaceName("DejaVu Serif").SetSize(9));
    EXPECT_FALSE(Core().LoadFont(&dc, a, &b).has_value());
    EXPECT_TRUE(Core().LoadFont(&dc, c, &a).has_value());
    EXPECT_EQ(dc.GetCurrentFont().faceName, "DejaVu Serif");
    EXPECT_FALSE(Core().LoadFont(&dc, CGXStyle(), &a).has_value());  // no font: nothing
    // The zoom scales the selected font.
    Core().SetZoom(200, 0);
    Core().LoadFont(&dc, a);
    const int zoomed = dc.GetCurrentFont().height;
    Core().SetZoom(100, 0);
    Core().LoadFont(&dc, a);
    EXPECT_EQ(zoomed, 2 * dc.GetCurrentFont().height);
}

}  // namespace

namespace {

using GridImmediate = GridFixture;

TEST_F(GridImmediate, DragLinesGoToTheBackingImageAndASecondDrawingTakesThemAway) {
    Core().SetRowCount(10);
    Core().SetColCount(5);
    const QImage before = RepaintAll();
    fw::DeviceContext* dc = Core().AcquireGridDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(Core().AcquireGridDC(), dc);  // one context for all immediate drawing
    Core().DrawDragLine(dc, GX_VERTLINE, 2, GX_LINE_DRAG);
    Core().ReleaseGridDC();
    const QImage with = wnd_->BackingImage().copy();
    const int x = Core().CalcRectFromRowCol(1, 2).left;
    EXPECT_NE(with.pixel(x, 60), before.pixel(x, 60));
    EXPECT_EQ(with.pixel(x + 5, 60), before.pixel(x + 5, 60));
    Core().DrawDragLine(Core().AcquireGridDC(), GX_VERTLINE, 2, GX_LINE_DRAG);
    Core().ReleaseGridDC();
    EXPECT_EQ(CountDiffering(wnd_->BackingImage(), before, 0), 0);
}

}  // namespace
