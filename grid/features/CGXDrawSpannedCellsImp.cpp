#include "grid/features/CGXDrawSpannedCellsImp.h"

#include "grid/core/CGXGridCore.h"

#include <algorithm>
#include <array>

bool CGXDrawSpannedCellsImp::FindSpan(CGXGridCore* grid, ROWCOL row, ROWCOL col, CGXRange& span,
                                      bool& covered) {
    covered = grid->GetCoveredCellsRowCol(row, col, span) != nullptr;
    if (covered)
        return true;
    if (!grid->GetMergedCellRange(row, col, span, 0) &&
        !grid->GetMergedCellRange(row, col, span, 1) && !grid->GetFloatedCellRange(row, col, span))
        return false;
    // While the current cell is edited, its own text shows instead of the span's, unless it is
    // the span's first cell.
    ROWCOL cr = 0, cc = 0;
    if (grid->GetCurrentCell(cr, cc) && cr >= span.top && cr <= span.bottom && cc >= span.left &&
        cc <= span.right && (cr != span.top || cc != span.left) && grid->IsActiveCurrentCell())
        return false;
    return true;
}

namespace {

// The last index from `first` whose number is still at most `last` (the numbers grow).
int LastIndexWithin(const std::vector<ROWCOL>& numbers, int count, int first, ROWCOL last) {
    int end = first;
    while (end + 1 < count && numbers[end + 1] <= last) ++end;
    return end;
}

}  // namespace

bool CGXDrawSpannedCellsImp::PrepareSpannedCell(CGXGridCore* grid, GX_DRAW_CONTEXT& ctx, int r,
                                                int c) {
    CGXRange span;
    bool covered = false;
    if (!FindSpan(grid, ctx.rows[r], ctx.cols[c], span, covered))
        return false;
    const CGXStyle& origin = grid->LookupStyleRowCol(span.top, span.left);
    const bool threeD = grid->Is3dLook();
    const int lastR = LastIndexWithin(ctx.rows, ctx.rowCount, r, span.bottom);
    const int lastC = LastIndexWithin(ctx.cols, ctx.colCount, c, span.right);
    for (int rr = r; rr <= lastR; ++rr)
        for (int cc = c; cc <= lastC; ++cc) {
            const std::size_t i = ctx.Cell(rr, cc);
            const ROWCOL row = ctx.rows[rr], col = ctx.cols[cc];
            std::uint16_t f = ctx.flags[i];
            f &= static_cast<std::uint16_t>(~(gxnFlagLeftBorder | gxnFlagRightBorder |
                                              gxnFlagTopBorder | gxnFlagBottomBorder |
                                              gxnFlagBackground));
            f |= gxnFlagSpanned | (covered ? gxnFlagCoveredSpan : 0);
            f |= (rr == r && cc == c) ? gxnFlagSpanOrigin : gxnFlagSpanPart;
            // Grid lines only along the span's edges.
            if (col != (threeD ? span.right : span.left))
                f &= static_cast<std::uint16_t>(~gxnFlagVertLine);
            if (row != (threeD ? span.bottom : span.top))
                f &= static_cast<std::uint16_t>(~gxnFlagHorzLine);
            if (origin.GetIncludeBorders()) {
                if (col == span.left && origin.HasBorder(gxBorderLeft))
                    f |= gxnFlagLeftBorder;
                if (col == span.right && origin.HasBorder(gxBorderRight))
                    f |= gxnFlagRightBorder;
                if (row == span.top && origin.HasBorder(gxBorderTop))
                    f |= gxnFlagTopBorder;
                if (row == span.bottom && origin.HasBorder(gxBorderBottom))
                    f |= gxnFlagBottomBorder;
            }
            ctx.flags[i] = f;
            ctx.styles[i] = &origin;
        }
    return true;
}

namespace {

// One run of a span's rows (or columns) that shows on screen in one piece: the part in the
// frozen rows, or the part from the top row on.
struct SpanPart {
    ROWCOL first = 1, last = 0;
    bool Empty() const { return first > last; }
};

// The span's rows [from, to] split by the frozen rows and the first scrolled row.
std::array<SpanPart, 2> SplitSpan(ROWCOL from, ROWCOL to, ROWCOL frozen, ROWCOL scrolledFirst) {
    std::array<SpanPart, 2> parts;
    if (from <= frozen)
        parts[0] = {from, std::min(to, frozen)};
    const ROWCOL first = std::max({from, scrolledFirst, frozen + 1});
    if (first <= to)
        parts[1] = {first, to};
    return parts;
}

// The matrix indexes whose numbers lie in the part: [first, last], or false when none is on
// screen.
bool IndexesOf(const std::vector<ROWCOL>& numbers, int count, const SpanPart& part, int& first,
               int& last) {
    first = -1;
    for (int i = 0; i < count; ++i)
        if (numbers[i] >= part.first && numbers[i] <= part.last) {
            if (first < 0)
                first = i;
            last = i;
        }
    return first >= 0;
}

}  // namespace

bool CGXDrawSpannedCellsImp::DrawSpannedCell(CGXGridCore* grid, GX_DRAW_CONTEXT& ctx, int r,
                                             int c) {
    const std::size_t i = ctx.Cell(r, c);
    const std::uint16_t f = ctx.flags[i];
    if (f & gxnFlagSpanPart)
        return true;
    if (!(f & gxnFlagSpanOrigin))
        return false;
    CGXRange span;
    bool covered = false;
    if (!FindSpan(grid, ctx.rows[r], ctx.cols[c], span, covered))
        return false;
    // Frozen rows and columns and the scrolled ones show as up to four separate pieces of the
    // span; each piece draws the whole span with itself as the window onto it.
    const auto rowParts =
        SplitSpan(span.top, span.bottom, grid->GetFrozenRows(), grid->GetTopRow());
    const auto colParts =
        SplitSpan(span.left, span.right, grid->GetFrozenCols(), grid->GetLeftCol());
    const CGXStyle& style = *ctx.styles[i];
    bool first = true;
    for (const SpanPart& rows : rowParts)
        for (const SpanPart& cols : colParts) {
            int r0 = 0, r1 = 0, c0 = 0, c1 = 0;
            if (rows.Empty() || cols.Empty() || !IndexesOf(ctx.rows, ctx.rowCount, rows, r0, r1) ||
                !IndexesOf(ctx.cols, ctx.colCount, cols, c0, c1))
                continue;
            const fw::Rect clip{ctx.lefts[c0], ctx.tops[r0], ctx.lefts[c1] + ctx.widths[c1],
                                ctx.tops[r1] + ctx.heights[r1]};
            DrawSpanPiece(grid, ctx, span, ctx.rows[r0], ctx.cols[c0], clip, style, first);
            first = false;
        }
    return true;
}

void CGXDrawSpannedCellsImp::DrawSpanPiece(CGXGridCore* grid, GX_DRAW_CONTEXT& ctx,
                                           const CGXRange& span, ROWCOL row, ROWCOL col,
                                           const fw::Rect& clip, const CGXStyle& style,
                                           bool first) {
    // The whole span, with the parts above and left of the piece counted off.
    fw::Rect rect;
    rect.left = clip.left - (col > span.left ? grid->CalcSumOfColWidths(span.left, col - 1) : 0);
    rect.top = clip.top - (row > span.top ? grid->CalcSumOfRowHeights(span.top, row - 1) : 0);
    rect.right = rect.left + grid->CalcSumOfColWidths(span.left, span.right);
    rect.bottom = rect.top + grid->CalcSumOfRowHeights(span.top, span.bottom);
    fw::DeviceContext* dc = ctx.dc;
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(clip);
    try {
        // The background runs of the rows leave spans out; the span fills its own.
        if (style.GetIncludeInterior() &&
            !(style.GetInterior() == grid->GetStandardStyle().GetInterior()))
            grid->DrawBrushRect(dc, clip, style.GetInterior());
        grid->DrawItem(dc, span.top, span.left, rect, style);
    } catch (...) {
        dc->RestoreDC(saved);
        throw;
    }
    dc->RestoreDC(saved);
    if (first && grid->IsCurrentCell(span.top, span.left)) {
        CGXControl* control = grid->GetRegisteredControl(style.GetControl());
        if (control && !control->IsActive()) {
            ctx.currentControl = control;
            ctx.currentInner = grid->GetCellRectInset(rect, style, true);
        }
    }
}
