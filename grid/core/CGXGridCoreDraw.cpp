// Grid drawing: the style cache, the pen and brush caches, painting the invalid part of the grid
// in passes (backgrounds, cells through their controls, lines and borders, inversion), and the
// line, border and brush helpers. Everything is drawn where the device context points: the paint
// context of the window, a memory bitmap, or (for immediate drawing) the grid DC over the
// window's backing image.
#include "framework/docview/Document.h"
#include "framework/docview/View.h"
#include "framework/drawing/PaintContext.h"
#include "framework/window/Window.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"

#include <QImage>

#include <algorithm>

namespace {
constexpr std::size_t kFreeStyleLimit = 500;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;

std::uint64_t CellKey(ROWCOL row, ROWCOL col) {
    return (static_cast<std::uint64_t>(row) << 32) | col;
}
std::uint64_t RecordKey(std::uint32_t w0, std::uint32_t w1) {
    return (static_cast<std::uint64_t>(w0) << 32) | w1;
}
}  // namespace

// --- styles
// ----------------------------------------------------------------------------------------

std::unique_ptr<CGXStyle> CGXGridCore::CreateStyle() {
    if (!m_freeStyles.empty()) {
        std::unique_ptr<CGXStyle> s = std::move(m_freeStyles.back());
        m_freeStyles.pop_back();
        return s;
    }
    return std::make_unique<CGXStyle>();
}

void CGXGridCore::RecycleStyle(std::unique_ptr<CGXStyle> style) {
    if (!style || m_freeStyles.size() >= kFreeStyleLimit)
        return;
    style->Free();
    m_freeStyles.push_back(std::move(style));
}

const CGXStyle& CGXGridCore::LookupStyleRowCol(ROWCOL row, ROWCOL col) {
    const bool current = IsCurrentCell(row, col);
    if (current && m_pCurrentCellStyle)
        return *m_pCurrentCellStyle;
    if (!current || m_bLockCurrentCell) {
        auto it = m_styleCache.find(CellKey(row, col));
        if (it != m_styleCache.end())
            return *it->second;
    }
    std::unique_ptr<CGXStyle> style = CreateStyle();
    ComposeStyleRowCol(row, col, style.get());
    if (QueryReadOnly())
        style->SetReadOnly(true);
    const CGXStyle* result = style.get();
    if (current) {
        m_currentCellStyles.push_back(std::move(style));
        m_pCurrentCellControl = GetRegisteredControl(result->GetControl());
        m_pCurrentCellStyle = result->Clone();
    } else {
        m_styleCache[CellKey(row, col)] = std::move(style);
    }
    return *result;
}

void CGXGridCore::FreeObjectCache() {
    if (m_nDrawNesting > 0)
        return;
    ReleaseGridDC();
    m_penCache.clear();
    m_brushCache.clear();
    // Clearing costs the table's buckets, not its entries: an empty cache is left alone, and one
    // that a walk over many cells grew large starts small again.
    if (!m_styleCache.empty()) {
        for (auto& [key, style] : m_styleCache) RecycleStyle(std::move(style));
        if (m_styleCache.bucket_count() > 4096) {
            m_styleCache = decltype(m_styleCache)();
            m_styleCache.reserve(257);
        } else {
            m_styleCache.clear();
        }
    }
    if (!m_bLockCurrentCell)
        m_pCurrentCellStyle.reset();
    m_currentCellStyles.clear();
}

// --- GDI caches and fonts
// --------------------------------------------------------------------------

const fw::Pen& CGXGridCore::LookupPen(const CGXPen& pen) {
    auto [it, added] = m_penCache.try_emplace(RecordKey(pen.Word0(), pen.Word1()));
    if (added) {
        it->second = pen.GetLogPen();
        it->second.squareCaps = true;
    }
    return it->second;
}

const fw::Brush& CGXGridCore::LookupBrush(const CGXBrush& brush) {
    auto [it, added] = m_brushCache.try_emplace(RecordKey(brush.Word0(), brush.Word1()));
    if (added)
        it->second = brush.GetLogBrush();
    return it->second;
}

const fw::LogFont& CGXGridCore::LookupFont(const CGXFont& font) {
    // Keyed by the record and the zoom, so a zoom change never finds a stale font; a grid
    // uses few fonts, and the cache starts again should a program use very many.
    if (m_fontCache.size() > 1024)
        m_fontCache.clear();
    const int zoom = GetZoom();
    auto [it, added] = m_fontCache.try_emplace({RecordKey(font.Word0(), font.Word1()), zoom});
    if (added)
        it->second = font.GetLogFontZoomed(zoom);
    return it->second;
}

fw::LogFont CGXGridCore::SelectZoomedFont(fw::DeviceContext* dc, const CGXFont& font) {
    return dc->SelectFont(LookupFont(font));
}

std::optional<fw::LogFont> CGXGridCore::LoadFont(fw::DeviceContext* dc, const CGXStyle& style,
                                                 const CGXStyle* other) {
    if (!style.GetIncludeFont())
        return std::nullopt;
    // Fonts compare field by field (the face as text); equal fonts keep the selected one.
    if (other && other->GetIncludeFont()) {
        const fw::LogFont& a = style.GetFont().GetLogFont();
        const fw::LogFont& b = other->GetFont().GetLogFont();
        if (a == b)
            return std::nullopt;
    }
    return SelectZoomedFont(dc, style.GetFont());
}

void CGXGridCore::GetFontMetrics(fw::DeviceContext* dc, int& width, int& height) {
    const fw::TextMetrics tm = dc->GetTextMetrics();
    height = tm.height + tm.externalLeading;
    const int variable = tm.pitchAndFamily & 1;
    width = (variable + 2) * tm.aveCharWidth / 2;
}

void CGXGridCore::UpdateFontMetrics() {
    if (!m_pStyleStandard)
        ReCacheBaseStyles();
    if (!m_pStyleStandard || !m_pStyleStandard->GetIncludeFont()) {
        m_nCharWidth = 10;
        m_nLineHeight = 15;
        return;
    }
    // Measured on a screen context of its own, so that the units are the same whether or not
    // the grid has a window yet.
    QImage scratch(1, 1, QImage::Format_RGB32);
    fw::DeviceContext dc(&scratch);
    OnGridPrepareDC(&dc);
    SelectZoomedFont(&dc, m_pStyleStandard->GetFont());
    int w = 0, h = 0;
    GetFontMetrics(&dc, w, h);
    m_nCharWidth = w > 0 ? w : 10;
    m_nLineHeight = h > 0 ? h : 15;
    m_bFontMeasured = true;
}

int CGXGridCore::GetLineHeight() {
    return m_nLineHeight;
}
int CGXGridCore::GetCharWidth() {
    return m_nCharWidth;
}

int CGXGridCore::GetZoom() {
    return m_bPrintInProgress ? 100 : m_nZoom;
}

bool CGXGridCore::SetZoom(int percent, unsigned flags) {
    const int old = m_nZoom;
    if (!StoreZoom(percent, true))
        return false;
    OnZoomChanged(old, flags);
    if (auto* f = GetUpdateHintImp(); f && m_bHintsEnabled)
        f->HintZoom(this, percent, flags);
    return true;
}

bool CGXGridCore::StoreZoom(int percent, bool createHint) {
    if (percent <= 0)
        return false;
    m_nZoom = percent;
    if (CGXProperties* props = GetProperties())
        props->SetZoom(percent);
    if (auto* f = GetUpdateHintImp(); createHint && m_bHintsEnabled && f)
        f->HintSetZoom(this, percent);
    return true;
}

// An old zoom of 0 (never a zoom of its own) stands for "not known": the grid is redrawn.
void CGXGridCore::OnZoomChanged(int oldZoom, unsigned flags) {
    FreeObjectCache();
    UpdateFontMetrics();
    if (!UpdatesLocked() && oldZoom != m_nZoom)
        Redraw(flags);
}

int CGXGridCore::SetMemDCDrawing(int mode) {
    const int old = m_nMemDCDrawing;
    m_nMemDCDrawing = mode;
    return old;
}

void CGXGridCore::OnGridPrepareDC(fw::DeviceContext* dc, bool printing) {
    // Sizes stay in the screen's logical pixels on paper: an inch of them is an inch of the
    // printer's.
    if (printing && dc) {
        dc->SetMapMode(fw::MM_ANISOTROPIC);
        dc->SetWindowExt(fw::ScreenDpi(), fw::ScreenDpi());
        dc->SetViewportExt(dc->GetDeviceCaps(fw::LOGPIXELSX), dc->GetDeviceCaps(fw::LOGPIXELSY));
    }
    AfterPrepareDC(dc);
}

fw::DeviceContext* CGXGridCore::AcquireGridDC() {
    if (!m_pGridWnd)
        return nullptr;
    if (!m_pGridDC) {
        m_pGridDC = std::make_unique<fw::ClientContext>(*m_pGridWnd);
        OnGridPrepareDC(m_pGridDC.get());
        if (m_pStyleStandard && m_pStyleStandard->GetIncludeFont())
            SelectZoomedFont(m_pGridDC.get(), m_pStyleStandard->GetFont());
    }
    return m_pGridDC.get();
}

void CGXGridCore::ReleaseGridDC() {
    if (m_nDrawNesting == 0)
        m_pGridDC.reset();
}

// --- grid lines and 3-D look
// -----------------------------------------------------------------------

bool CGXGridCore::GetDisplayHorzLines() {
    const CGXProperties* p = GetProperties();
    return p && (m_bPrintInProgress ? p->GetPrintHorzLines() : p->GetDisplayHorzLines());
}
bool CGXGridCore::GetDisplayVertLines() {
    const CGXProperties* p = GetProperties();
    return p && (m_bPrintInProgress ? p->GetPrintVertLines() : p->GetDisplayVertLines());
}
bool CGXGridCore::Is3dLook() {
    const CGXProperties* p = GetProperties();
    return p && p->Get3dButtons();
}

namespace {
// The width a side takes: its border's (a null border none), else a grid line's.
int SideWidth(const CGXStyle& style, int side, bool gridLine) {
    if (style.HasBorder(side)) {
        const CGXPen& pen = style.GetBorders(side);
        return pen.GetStyle() == fw::PS_NULL ? 0 : std::max(1, pen.GetWidth());
    }
    return gridLine ? 1 : 0;
}
}  // namespace

void CGXGridCore::SubtractBorders(fw::Rect& rect, const CGXStyle& style, bool gridLines) {
    const bool threeD = Is3dLook();
    if (gridLines && style.GetIncludeDraw3dFrame() && (style.GetDraw3dFrame() & 3))
        rect.Inflate(-1, -1);
    const bool h = gridLines && GetDisplayHorzLines();
    const bool v = gridLines && GetDisplayVertLines();
    rect.left += SideWidth(style, gxBorderLeft, v && !threeD);
    rect.top += SideWidth(style, gxBorderTop, h && !threeD);
    rect.right -= SideWidth(style, gxBorderRight, v && threeD);
    rect.bottom -= SideWidth(style, gxBorderBottom, h && threeD);
}

fw::Size CGXGridCore::AddBorders(fw::Size size, const CGXStyle& style) {
    const bool threeD = Is3dLook();
    if (style.GetIncludeDraw3dFrame() && (style.GetDraw3dFrame() & 3)) {
        size.cx += 2;
        size.cy += 2;
    }
    const bool h = GetDisplayHorzLines(), v = GetDisplayVertLines();
    size.cx +=
        SideWidth(style, gxBorderLeft, v && !threeD) + SideWidth(style, gxBorderRight, v && threeD);
    size.cy +=
        SideWidth(style, gxBorderTop, h && !threeD) + SideWidth(style, gxBorderBottom, h && threeD);
    return size;
}

// --- invalidation
// -----------------------------------------------------------------------------------

void CGXGridCore::RedrawRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, unsigned flags,
                               bool notify) {
    if (flags == 0 || !GridWndIsVisible() || UpdatesLocked() || !m_bInitDone)
        return;
    if (auto* f = GetUpdateHintImp(); notify && m_bHintsEnabled && f)
        f->HintRedrawRowCol(this, top, left, bottom, right, flags);
    bottom = std::min(bottom, GetRowCount());
    right = std::min(right, GetColCount());
    const fw::Rect r = CalcClientRectFromRange(top, left, bottom, right);
    if (r.IsEmpty())
        return;
    m_pGridWnd->InvalidateRect(r);
    if (flags & GX_UPDATENOW)
        m_pGridWnd->UpdateWindow();
}

void CGXGridCore::RedrawRowCol(const CGXRange& range, unsigned flags, bool notify) {
    CGXRange r = range;
    r.ResolveToCells(0, 0, GetRowCount(), GetColCount());
    RedrawRowCol(r.top, r.left, r.bottom, r.right, flags, notify);
}

void CGXGridCore::UpdateAllViews(fw::Window* sender, long hint, void* object) {
    if (m_bHintsEnabled && m_pDocument)
        m_pDocument->UpdateAllViews(dynamic_cast<fw::View*>(sender), hint, object);
}

bool CGXGridCore::SendUpdateHint(CGXGridHint& hint) {
    CGXAbstractGridUpdateHintImp* f = GetUpdateHintImp();
    return f && f->SendHint(this, hint);
}

void CGXGridCore::Redraw(unsigned flags, bool notify) {
    InvalidateCachedVisible();
    if (flags == 0 || UpdatesLocked())
        return;
    if (auto* f = GetUpdateHintImp(); notify && m_bHintsEnabled && f)
        f->HintRedraw(this, flags);
    m_nTopRow = std::max<ROWCOL>(GetFrozenRows() + 1,
                                 std::min(m_nTopRow, std::max<ROWCOL>(1, GetRowCount())));
    m_nLeftCol = std::max<ROWCOL>(GetFrozenCols() + 1,
                                  std::min(m_nLeftCol, std::max<ROWCOL>(1, GetColCount())));
    FreeObjectCache();
    UpdateFontMetrics();
    UpdateScrollbars();
    if (!m_bInitDone || !m_pGridWnd)
        return;
    m_pGridWnd->Invalidate();
    if (flags & GX_UPDATENOW)
        m_pGridWnd->UpdateWindow();
}

// --- painting
// ---------------------------------------------------------------------------------------

void CGXGridCore::OnGridDraw(fw::DeviceContext* dc) {
    if (!m_bInitDone || !m_pParam || UpdatesLocked() || m_bPrintInProgress)
        return;
    // The scroll bars follow the counts; when that changes the layout, the whole window is
    // painted again instead.
    const fw::Rect before = GetGridRect();
    UpdateScrollbars(true, true);
    if (!(GetGridRect() == before)) {
        if (m_pGridWnd)
            m_pGridWnd->Invalidate();
        return;
    }
    fw::Rect clip;
    if (dc->GetClipBox(clip) == fw::NULLREGION || clip.IsEmpty())
        clip = GetGridRect();
    if (m_nMemDCDrawing == 1)
        PaintThroughMemoryDC(dc, clip);
    else
        PaintClipBox(dc, clip);
    if (m_bFrameShown && !m_bFrameLocked)
        DrawSelectionFrame(dc, m_frameRange, m_nFrameType, false);
}

void CGXGridCore::PaintClipBox(fw::DeviceContext* dc, const fw::Rect& clipBox) {
    ReCacheBaseStyles();
    FreeObjectCache();
    const fw::Rect grid = GetGridRect();
    const fw::Rect clip = fw::Intersect(clipBox, grid);
    if (clip.IsEmpty() || !m_pStyleStandard)
        return;
    const int saved = dc->SaveDC();
    if (m_pStyleStandard->GetIncludeFont())
        SelectZoomedFont(dc, m_pStyleStandard->GetFont());
    if (m_bDrawFrame) {
        dc->FrameRect(grid, fw::Brush::Solid(kBlack));
    }
    dc->IntersectClipRect(grid);
    ROWCOL top, left, bottom, right;
    CalcCellFromPoint({clip.left, clip.top}, top, left);
    CalcCellFromPoint({clip.right - 1, clip.bottom - 1}, bottom, right);
    const ROWCOL rows = GetRowCount(), cols = GetColCount();
    auto lastRow = [&] { return GetRowFromClientRow(GetClientRow(GetLastVisibleRow())); };
    if (top == GX_INVALID)
        top = std::min(rows, lastRow());
    if (left == GX_INVALID)
        left = std::min(cols, GetLastVisibleCol());
    if (bottom == GX_INVALID)
        bottom = std::min(rows, GetLastVisibleRow());
    if (right == GX_INVALID)
        right = std::min(cols, GetLastVisibleCol());
    OnGridDrawRange(top, left, std::max(top, bottom), std::max(left, right), dc);
    dc->RestoreDC(saved);
    m_exclusions.clear();
}

void CGXGridCore::PaintThroughMemoryDC(fw::DeviceContext* dc, const fw::Rect& clip) {
    QImage image(clip.Width(), clip.Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        fw::DeviceContext mem(&image);
        mem.SetWindowOrg(clip.left, clip.top);
        OnGridPrepareDC(&mem);
        PaintClipBox(&mem, clip);
        mem.Flush();
        for (const fw::Rect& r : m_exclusions) dc->ExcludeClipRect(r);
        dc->BitBlt(clip.left, clip.top, clip.Width(), clip.Height(), &mem, clip.left, clip.top,
                   fw::SRCCOPY);
    }
}

void CGXGridCore::FillDrawContext(GX_DRAW_CONTEXT& ctx, ROWCOL top, ROWCOL left, ROWCOL bottom,
                                  ROWCOL right) {
    ctx.top = top;
    ctx.left = left;
    ctx.bottom = bottom;
    ctx.right = right;
    const ROWCOL ct = GetClientRow(top), cb = GetClientRow(bottom);
    const ROWCOL cl = GetClientCol(left), cr = GetClientCol(right);
    const ROWCOL rowCount = GetRowCount(), colCount = GetColCount();
    const fw::Rect grid = GetGridRect();
    int y = CalcTopOfClientRow(ct);
    for (ROWCOL i = ct; i <= cb; ++i) {
        const ROWCOL row = GetRowFromClientRow(i);
        if (row > rowCount)
            break;
        const int h = GetRowHeight(row);
        ctx.rows.push_back(row);
        ctx.tops.push_back(y);
        ctx.heights.push_back(h);
        y += h;
        if (y >= grid.bottom)
            break;
    }
    const ROWCOL nextRow =
        ctx.rows.empty() ? 0 : GetRowFromClientRow(GetClientRow(ctx.rows.back()) + 1);
    ctx.rows.push_back(nextRow <= rowCount ? nextRow : 0);
    int x = CalcLeftOfClientCol(cl);
    for (ROWCOL i = cl; i <= cr; ++i) {
        const ROWCOL col = GetColFromClientCol(i);
        if (col > colCount)
            break;
        const int w = GetColWidth(col);
        ctx.cols.push_back(col);
        ctx.lefts.push_back(x);
        ctx.widths.push_back(w);
        x += w;
        if (x >= grid.right)
            break;
    }
    const ROWCOL nextCol =
        ctx.cols.empty() ? 0 : GetColFromClientCol(GetClientCol(ctx.cols.back()) + 1);
    ctx.cols.push_back(nextCol <= colCount ? nextCol : 0);
    ctx.rowCount = static_cast<int>(ctx.heights.size());
    ctx.colCount = static_cast<int>(ctx.widths.size());
    ctx.styles.assign(static_cast<std::size_t>(ctx.rowCount) * ctx.colCount, nullptr);
    ctx.flags.assign(ctx.styles.size(), 0);
}

void CGXGridCore::OnGridDrawRange(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                  fw::DeviceContext* dc) {
    GX_DRAW_CONTEXT ctx;
    ctx.dc = dc;
    ++m_nDrawNesting;
    m_drawContexts.push_back(&ctx);
    struct Pop {
        CGXGridCore* core;
        ~Pop() {
            core->m_drawContexts.pop_back();
            --core->m_nDrawNesting;
        }
    } pop{this};

    FillDrawContext(ctx, top, left, bottom, right);
    const CGXProperties* props = GetProperties();
    const bool blackWhite = m_bPrintInProgress && props && props->GetBlackWhite();
    ctx.colorBackground = !blackWhite;
    ctx.background =
        blackWhite
            ? kWhite
            : (m_pStyleStandard ? m_pStyleStandard->GetInterior().GetColorResolved() : kWhite) &
                  0xFFFFFFu;
    ctx.invertSelection = !dc->IsPrinting() && m_pParam && !m_pParam->m_SelRects.IsEmpty();
    if (IsCurrentCell() && !m_bLockCurrentCell && m_nCurrentRow >= top && m_nCurrentRow <= bottom &&
        m_nCurrentCol >= left && m_nCurrentCol <= right)
        m_pCurrentCellStyle.reset();

    PrepareCells(ctx);
    if (ctx.rowCount > 0 && ctx.colCount > 0) {
        // The standard interior under the whole range; cells of another interior fill theirs.
        const fw::Rect all{ctx.lefts.front(), ctx.tops.front(),
                           ctx.lefts.back() + ctx.widths.back(),
                           ctx.tops.back() + ctx.heights.back()};
        CGXBrush standard = m_pStyleStandard ? m_pStyleStandard->GetInterior() : CGXBrush();
        if (!ctx.colorBackground)
            standard = CGXBrush(fw::BS_SOLID, kWhite, 0);
        DrawBrushRect(dc, all, standard);
    }
    for (int r = 0; r < ctx.rowCount; ++r) {
        DrawBackgroundRuns(ctx, r);
        for (int c = 0; c < ctx.colCount; ++c) DrawGridCell(ctx, r, c);
        DrawRowLines(ctx, r);
    }
    if (!m_pParam || m_pParam->m_bPaintOutside)
        DrawOutsideArea(ctx);
    for (int c = 0; c < ctx.colCount; ++c) DrawColumnLines(ctx, c);
    if (ctx.currentControl && !dc->IsPrinting())
        ctx.currentControl->DrawFrame(*dc, ctx.currentInner);
    if (ctx.invertSelection || m_bSelectCurrentCell)
        DrawInvertedCells(ctx);
}

void CGXGridCore::PrepareCells(GX_DRAW_CONTEXT& ctx) {
    const bool threeD = Is3dLook();
    const bool horz = GetDisplayHorzLines(), vert = GetDisplayVertLines();
    const ROWCOL frozenRows = GetFrozenRows(), frozenCols = GetFrozenCols();
    const ROWCOL topRow = GetTopRow(), leftCol = GetLeftCol();
    const CGXBrush standard = m_pStyleStandard ? m_pStyleStandard->GetInterior() : CGXBrush();
    for (int r = 0; r < ctx.rowCount; ++r) {
        const ROWCOL row = ctx.rows[r];
        for (int c = 0; c < ctx.colCount; ++c) {
            const ROWCOL col = ctx.cols[c];
            const std::size_t i = ctx.Cell(r, c);
            if (ctx.heights[r] <= 0 || ctx.widths[c] <= 0)
                continue;
            const CGXStyle& style = LookupStyleRowCol(row, col);
            ctx.styles[i] = &style;
            std::uint16_t f = 0;
            if (style.GetIncludeInterior() && !(style.GetInterior() == standard))
                f |= gxnFlagBackground;
            if (style.GetIncludeBorders()) {
                if (style.HasBorder(gxBorderLeft))
                    f |= gxnFlagLeftBorder;
                if (style.HasBorder(gxBorderRight))
                    f |= gxnFlagRightBorder;
                if (style.HasBorder(gxBorderTop))
                    f |= gxnFlagTopBorder;
                if (style.HasBorder(gxBorderBottom))
                    f |= gxnFlagBottomBorder;
            }
            if (horz) {
                f |= gxnFlagHorzLine;
                const bool boundary =
                    frozenRows > 0 &&
                    (threeD ? row == frozenRows : row == topRow && row > frozenRows);
                if (boundary)
                    f |= gxnFlagHorzFrozen;
            }
            if (vert) {
                f |= gxnFlagVertLine;
                const bool boundary =
                    frozenCols > 0 &&
                    (threeD ? col == frozenCols : col == leftCol && col > frozenCols);
                if (boundary)
                    f |= gxnFlagVertFrozen;
            }
            if (ctx.invertSelection && m_pParam->m_SelRects.ContainsCell(row, col))
                f |= gxnFlagSel;
            ctx.flags[i] = f;
        }
    }
    // Spans take over their cells: one style, the span's borders, no lines inside. Merged and
    // floated spans are brought up to date for the painted cells first.
    if (ctx.rowCount > 0 && ctx.colCount > 0)
        UpdateSpannedCells(CGXRange(ctx.rows.front(), ctx.cols.front(), ctx.rows[ctx.rowCount - 1],
                                    ctx.cols[ctx.colCount - 1]));
    if (CGXAbstractDrawSpannedCellsImp* spans = GetDrawSpannedCellsImp()) {
        for (int r = 0; r < ctx.rowCount; ++r)
            for (int c = 0; c < ctx.colCount; ++c)
                if (ctx.styles[ctx.Cell(r, c)] && !(ctx.flags[ctx.Cell(r, c)] & gxnFlagSpanned))
                    spans->PrepareSpannedCell(this, ctx, r, c);
    }
}

void CGXGridCore::DrawBackgroundRuns(GX_DRAW_CONTEXT& ctx, int r) {
    int c = 0;
    while (c < ctx.colCount) {
        const std::size_t i = ctx.Cell(r, c);
        if (!(ctx.flags[i] & gxnFlagBackground)) {
            ++c;
            continue;
        }
        const CGXBrush& brush = ctx.styles[i]->GetInterior();
        int end = c + 1;
        while (end < ctx.colCount) {
            const std::size_t j = ctx.Cell(r, end);
            if (!(ctx.flags[j] & gxnFlagBackground) || !(ctx.styles[j]->GetInterior() == brush))
                break;
            ctx.flags[j] &= static_cast<std::uint16_t>(~gxnFlagBackground);
            ++end;
        }
        ctx.flags[i] &= static_cast<std::uint16_t>(~gxnFlagBackground);
        const fw::Rect run{ctx.lefts[c], ctx.tops[r], ctx.lefts[end - 1] + ctx.widths[end - 1],
                           ctx.tops[r] + ctx.heights[r]};
        if (ctx.colorBackground) {
            DrawBrushRect(ctx.dc, run, brush);
        } else {
            // Black and white: a system-colour background becomes white with a black pattern,
            // any other a white pattern on black.
            CGXBrush bw = brush;
            if (brush.Foreground().IsSystem() || brush.GetStyle() == fw::BS_SOLID) {
                bw.SetColor(kBlack).SetBkColor(kWhite);
                if (brush.GetStyle() == fw::BS_SOLID)
                    bw.SetColor(kWhite);
            } else {
                bw.SetColor(kWhite).SetBkColor(kBlack);
            }
            DrawBrushRect(ctx.dc, run, bw);
        }
        c = end;
    }
}

void CGXGridCore::DrawGridCell(GX_DRAW_CONTEXT& ctx, int r, int c) {
    const std::size_t i = ctx.Cell(r, c);
    const CGXStyle* style = ctx.styles[i];
    if (!style || ctx.heights[r] <= 0 || ctx.widths[c] <= 0)
        return;
    if (ctx.flags[i] & gxnFlagSpanned)
        if (CGXAbstractDrawSpannedCellsImp* spans = GetDrawSpannedCellsImp())
            if (spans->DrawSpannedCell(this, ctx, r, c))
                return;
    const ROWCOL row = ctx.rows[r], col = ctx.cols[c];
    const fw::Rect rect{ctx.lefts[c], ctx.tops[r], ctx.lefts[c] + ctx.widths[c],
                        ctx.tops[r] + ctx.heights[r]};
    const bool current = IsCurrentCell(row, col);
    m_bBackgroundPending = (ctx.flags[i] & gxnFlagBackground) != 0;
    DrawItem(ctx.dc, row, col, rect, *style);
    m_bBackgroundPending = false;
    if (current) {
        CGXControl* control = GetRegisteredControl(style->GetControl());
        if (control && !control->IsActive()) {
            ctx.currentControl = control;
            ctx.currentInner = GetCellRectInset(rect, *style, true);
        }
    }
}

void CGXGridCore::DrawItem(fw::DeviceContext* dc, ROWCOL row, ROWCOL col, const fw::Rect& rect,
                           const CGXStyle& style) {
    CGXControl* control = GetRegisteredControl(style.GetControl());
    if (!control)
        return;
    if (IsCurrentCell(row, col) && !control->IsInitFor(row, col)) {
        m_pCurrentCellControl = control;
        control->Init(row, col);
    }
    control->Draw(*dc, rect, row, col, style, m_pStyleStandard);
}

// --- lines and borders ---------------------------------------------------------------------------

fw::Pen CGXGridCore::GridLinePen(bool frozen) {
    const CGXProperties* props = GetProperties();
    fw::Pen pen;
    pen.style = m_pParam ? m_pParam->m_nGridLineStyle : fw::PS_SOLID;
    pen.width = 1;
    pen.color = props ? GXResolveColor(props->GetColor(frozen ? 1 : 0)) & 0xFFFFFFu : kBlack;
    if (m_bPrintInProgress && props && props->GetBlackWhite())
        pen.color = kBlack;
    return pen;
}

namespace {
// One cell's pen on a side: its border, or the grid line (frozen or plain), or none.
struct SidePen {
    enum Kind { None, Border, Grid, Frozen } kind = None;
    CGXPen pen;
    bool operator==(const SidePen& o) const {
        return kind == o.kind && (kind != Border || pen == o.pen);
    }
};

// The lines of one row (horizontal) or one column of the draw context: first its top (left)
// edge, then its bottom (right) edge, each drawn as runs of neighbouring cells with equal pens.
void DrawLinesOf(CGXGridCore& g, GX_DRAW_CONTEXT& ctx, bool horizontal, int line) {
    const bool threeD = g.Is3dLook();
    const int n = horizontal ? ctx.colCount : ctx.rowCount;
    const auto cellAt = [&](int k) { return horizontal ? ctx.Cell(line, k) : ctx.Cell(k, line); };
    const std::uint16_t lineBit = horizontal ? gxnFlagHorzLine : gxnFlagVertLine;
    const std::uint16_t frozenBit = horizontal ? gxnFlagHorzFrozen : gxnFlagVertFrozen;
    for (int pass = 0; pass < 2; ++pass) {
        const bool leading = pass == 0;
        const int side = horizontal ? (leading ? gxBorderTop : gxBorderBottom)
                                    : (leading ? gxBorderLeft : gxBorderRight);
        const std::uint16_t borderBit = horizontal
                                            ? (leading ? gxnFlagTopBorder : gxnFlagBottomBorder)
                                            : (leading ? gxnFlagLeftBorder : gxnFlagRightBorder);
        const bool gridSide = leading != threeD;
        auto penOf = [&](int k) {
            SidePen p;
            const std::size_t i = cellAt(k);
            const std::uint16_t f = ctx.flags[i];
            if (!ctx.styles[i])
                return p;
            if (f & borderBit) {
                p.kind = SidePen::Border;
                p.pen = ctx.styles[i]->GetBorders(side);
            } else if (gridSide && (f & lineBit)) {
                p.kind = (f & frozenBit) ? SidePen::Frozen : SidePen::Grid;
            }
            return p;
        };
        int k = 0;
        while (k < n) {
            const SidePen p = penOf(k);
            int end = k + 1;
            while (end < n && penOf(end) == p) ++end;
            if (p.kind != SidePen::None) {
                const int r0 = horizontal ? line : k, c0 = horizontal ? k : line;
                const int r1 = horizontal ? line : end - 1, c1 = horizontal ? end - 1 : line;
                const fw::Rect run{ctx.lefts[c0], ctx.tops[r0], ctx.lefts[c1] + ctx.widths[c1],
                                   ctx.tops[r1] + ctx.heights[r1]};
                const CGXBrush* interior =
                    ctx.styles[cellAt(k)] ? &ctx.styles[cellAt(k)]->GetInterior() : nullptr;
                const unsigned lineFlags = p.kind == SidePen::Frozen ? GX_LINE_FROZEN : 0;
                if (p.kind == SidePen::Border)
                    g.DrawCellBorder(p.pen, run, side, ctx.dc, interior);
                else if (horizontal)
                    g.DrawLine(ctx.dc, run.left, leading ? run.top : run.bottom - 1, run.Width(), 1,
                               GX_HORZLINE, lineFlags);
                else
                    g.DrawLine(ctx.dc, leading ? run.left : run.right - 1, run.top, 1, run.Height(),
                               GX_VERTLINE, lineFlags);
            }
            k = end;
        }
    }
}
}  // namespace

void CGXGridCore::DrawRowLines(GX_DRAW_CONTEXT& ctx, int r) {
    DrawLinesOf(*this, ctx, true, r);
}

void CGXGridCore::DrawColumnLines(GX_DRAW_CONTEXT& ctx, int c) {
    DrawLinesOf(*this, ctx, false, c);
}

void CGXGridCore::DrawOutsideArea(GX_DRAW_CONTEXT& ctx) {
    if (ctx.rowCount == 0 || ctx.colCount == 0)
        return;
    const fw::Rect grid = GetGridRect();
    const bool threeD = Is3dLook();
    const int right = ctx.lefts.back() + ctx.widths.back();
    const int bottom = ctx.tops.back() + ctx.heights.back();
    const int top = ctx.tops.front(), left = ctx.lefts.front();
    if (ctx.cols.back() == 0 && ctx.right >= GetColCount() && right < grid.right) {
        ctx.dc->FillSolidRect(fw::Rect{right, top, grid.right, std::max(bottom, grid.bottom) + 5},
                              ctx.background);
        if (GetDisplayVertLines() && !threeD)
            DrawLine(ctx.dc, right, top, 1, bottom - top, GX_VERTLINE, 0);
    }
    if (ctx.rows.back() == 0 && ctx.bottom >= GetRowCount() && bottom < grid.bottom) {
        ctx.dc->FillSolidRect(fw::Rect{left, bottom, std::max(right, grid.right), grid.bottom + 5},
                              ctx.background);
        if (GetDisplayHorzLines() && !threeD)
            DrawLine(ctx.dc, left, bottom, right - left + 1, 1, GX_HORZLINE, 0);
    }
}

void CGXGridCore::DrawCellBorders(fw::DeviceContext* dc, const fw::Rect& rect,
                                  const CGXStyle& style) {
    if (!style.GetIncludeBorders())
        return;
    for (int side : {gxBorderTop, gxBorderBottom, gxBorderLeft, gxBorderRight})
        if (style.HasBorder(side))
            DrawCellBorder(style.GetBorders(side), rect, side, dc, &style.GetInterior());
}

void CGXGridCore::DrawCellBorder(const CGXPen& pen, const fw::Rect& rect, int side,
                                 fw::DeviceContext* dc, const CGXBrush* interior) {
    if (pen.GetStyle() == fw::PS_NULL || !pen.GetInclude())
        return;
    const int w = std::max(1, pen.GetWidth());
    fw::Rect line = rect;
    switch (side) {
        case gxBorderLeft:
            line.right = std::min(rect.right, rect.left + w);
            break;
        case gxBorderRight:
            line.left = std::max(rect.left, rect.right - w);
            break;
        case gxBorderTop:
            line.bottom = std::min(rect.bottom, rect.top + w);
            break;
        default:
            line.top = std::max(rect.top, rect.bottom - w);
            break;
    }
    const CGXProperties* props = GetProperties();
    const bool blackWhite = m_bPrintInProgress && props && props->GetBlackWhite();
    CGXBrush brush;
    if (pen.ConvertPenToBrush(brush, interior ? *interior : CGXBrush(), false, blackWhite)) {
        DrawBrushRect(dc, line, brush);
        return;
    }
    dc->FillSolidRect(line, blackWhite ? kBlack : pen.GetColorResolved() & 0xFFFFFFu);
}

void CGXGridCore::DrawLine(fw::DeviceContext* dc, int x, int y, int width, int height, int kind,
                           unsigned flags) {
    const fw::Rect r{x, y, x + width, y + height};
    const CGXProperties* props = GetProperties();
    const bool blackWhite = m_bPrintInProgress && props && props->GetBlackWhite();
    auto color = [&](std::size_t index) {
        return blackWhite || !props ? kBlack : GXResolveColor(props->GetColor(index)) & 0xFFFFFFu;
    };
    if (flags & GX_LINE_DRAG) {
        dc->InvertRect(r);
    } else if (flags & GX_LINE_PEN) {
        dc->FillSolidRect(r, color(0));
        fw::Pen pen = GridLinePen(false);
        pen.color = color(3);
        const fw::Pen old = dc->SelectPen(pen);
        dc->MoveTo(x, y);
        if (kind == GX_VERTLINE)
            dc->LineTo(x, y + height);
        else
            dc->LineTo(x + width, y);
        dc->SelectPen(old);
    } else if (flags & GX_LINE_FROZEN) {
        dc->FillSolidRect(r, blackWhite ? kBlack : color(1));
    } else if (flags & GX_LINE_INVERT) {
        dc->InvertRect(r);
    } else {
        dc->FillSolidRect(r, color(0));
    }
}

void CGXGridCore::DrawDragLine(fw::DeviceContext* dc, int kind, ROWCOL index, unsigned flags) {
    const fw::Rect r = CalcDragLineRect(kind, index);
    DrawLine(dc, r.left, r.top, r.Width(), r.Height(), kind, flags);
}

// Dispatches on the brush's style: a solid brush fills with its colour, a hollow one draws
// nothing, hatched and pattern brushes draw their foreground over their background colour.
void CGXGridCore::DrawBrushRect(fw::DeviceContext* dc, const fw::Rect& rect,
                                const CGXBrush& brush) {
    if (rect.IsEmpty())
        return;
    switch (brush.GetStyle()) {
        case fw::BS_SOLID:
            dc->FillSolidRect(rect, brush.GetColorResolved() & 0xFFFFFFu);
            return;
        case fw::BS_HOLLOW:
            return;
        default:
            break;
    }
    const fw::Brush& logBrush = LookupBrush(brush);
    if (logBrush.style == fw::BS_HOLLOW)
        return;
    auto fill = [&](fw::DeviceContext& target, const fw::Rect& r) {
        const COLORREF oldText = target.SetTextColor(brush.GetColorResolved() & 0xFFFFFFu);
        const COLORREF oldBk = target.SetBkColor(brush.GetBkColorResolved() & 0xFFFFFFu);
        const int oldMode = target.SetBkMode(fw::OPAQUE);
        target.FillRect(r, logBrush);
        target.SetTextColor(oldText);
        target.SetBkColor(oldBk);
        target.SetBkMode(oldMode);
    };
    if (dc->IsPrinting() && brush.GetStyle() == fw::BS_PATTERN) {
        // On paper a pattern of device pixels would be too fine to see: paint it at screen
        // resolution and stretch the bitmap over the rectangle.
        const fw::Rect device = dc->LPtoDP(rect);
        const int w = std::max(
            1, device.Width() * fw::ScreenDpi() / std::max(1, dc->GetDeviceCaps(fw::LOGPIXELSX)));
        const int h = std::max(
            1, device.Height() * fw::ScreenDpi() / std::max(1, dc->GetDeviceCaps(fw::LOGPIXELSY)));
        QImage image(w, h, QImage::Format_RGB32);
        fw::DeviceContext mem(&image);
        fill(mem, fw::Rect{0, 0, w, h});
        mem.Flush();
        dc->StretchBlt(rect.left, rect.top, rect.Width(), rect.Height(), &mem, 0, 0, w, h,
                       fw::SRCCOPY);
        return;
    }
    fill(*dc, rect);
}

// --- inversion
// -------------------------------------------------------------------------------------

void CGXGridCore::DrawInvertedCells(GX_DRAW_CONTEXT& ctx) {
    for (int r = 0; r < ctx.rowCount; ++r) {
        for (int c = 0; c < ctx.colCount; ++c) {
            const std::size_t i = ctx.Cell(r, c);
            if (!(ctx.flags[i] & gxnFlagSel))
                continue;
            const fw::Rect rect{ctx.lefts[c], ctx.tops[r], ctx.lefts[c] + ctx.widths[c],
                                ctx.tops[r] + ctx.heights[r]};
            DrawInvertCell(ctx.dc, ctx.rows[r], ctx.cols[c], rect);
        }
    }
}

void CGXGridCore::DrawInvertCell(fw::DeviceContext* dc, ROWCOL row, ROWCOL col,
                                 const fw::Rect& rect) {
    if (!IsCurrentCell(row, col)) {
        dc->InvertRect(rect);
        return;
    }
    const bool whole = m_bSelectCurrentCell || (m_pParam && m_pParam->m_nCurrentCellDrawing == 1);
    if (whole) {
        dc->InvertRect(rect);
    } else {
        // Only a frame of the current cell shows that it is selected.
        const bool threeD = Is3dLook();
        const int a = threeD ? 2 : 3;  // top and left
        const int b = threeD ? 3 : 2;  // right and bottom
        dc->InvertRect({rect.left, rect.top, rect.right, rect.top + a});
        dc->InvertRect({rect.left, rect.bottom - b, rect.right, rect.bottom});
        dc->InvertRect({rect.left, rect.top + a, rect.left + a, rect.bottom - b});
        dc->InvertRect({rect.right - b, rect.top + a, rect.right, rect.bottom - b});
    }
    m_bSelectCurrentCell = false;
}
