#include "grid/features/CGXDrawSpannedCellsImp.h"

#include "grid/core/CGXGridCore.h"

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

void CGXDrawSpannedCellsImp::UpdateSpansInRange(CGXGridCore* grid, GX_DRAW_CONTEXT& ctx) {
    if (ctx.rowCount == 0 || ctx.colCount == 0)
        return;
    const ROWCOL top = ctx.rows.front(), bottom = ctx.rows[ctx.rowCount - 1];
    const ROWCOL left = ctx.cols.front(), right = ctx.cols[ctx.colCount - 1];
    CGXRange changed;
    bool any = false;
    if (CGXAbstractGridMergeCellsImp* merges = grid->GetMergeCellsImp())
        any = merges->EvalMergeCells(grid, top, bottom, left, right, changed);
    if (CGXAbstractGridFloatCellsImp* floats = grid->GetFloatCellsImp())
        any = floats->EvalFloatCells(grid, ctx.dc, top, bottom, left, right, changed) || any;
    if (any)
        grid->RedrawRowCol(changed, GX_INVALIDATE);
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
    const ROWCOL row = ctx.rows[r], col = ctx.cols[c];
    if (!FindSpan(grid, row, col, span, covered))
        return false;
    // The whole span, with the parts above and left of the screen counted off.
    fw::Rect rect;
    rect.left = ctx.lefts[c] - (col > span.left ? grid->CalcSumOfColWidths(span.left, col - 1) : 0);
    rect.top = ctx.tops[r] - (row > span.top ? grid->CalcSumOfRowHeights(span.top, row - 1) : 0);
    rect.right = rect.left + grid->CalcSumOfColWidths(span.left, span.right);
    rect.bottom = rect.top + grid->CalcSumOfRowHeights(span.top, span.bottom);
    const int lastR = LastIndexWithin(ctx.rows, ctx.rowCount, r, span.bottom);
    const int lastC = LastIndexWithin(ctx.cols, ctx.colCount, c, span.right);
    const fw::Rect clip{ctx.lefts[c], ctx.tops[r], ctx.lefts[lastC] + ctx.widths[lastC],
                        ctx.tops[lastR] + ctx.heights[lastR]};
    const CGXStyle& style = *ctx.styles[i];
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
    if (grid->IsCurrentCell(span.top, span.left)) {
        CGXControl* control = grid->GetRegisteredControl(style.GetControl());
        if (control && !control->IsActive()) {
            ctx.currentControl = control;
            ctx.currentInner = grid->GetCellRectInset(rect, style, true);
        }
    }
    return true;
}
