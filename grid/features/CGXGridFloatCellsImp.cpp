#include "grid/features/CGXGridFloatCellsImp.h"

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXSpanCellPools.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::size_t kFloatPool = 2;  // the parameter object's span-cell pool of floated cells

CGXSpanCellPool* FloatPool(CGXGridCore* grid) {
    CGXGridParam* param = grid->GetParam();
    return param ? dynamic_cast<CGXSpanCellPool*>(param->m_apSpanCellPools[kFloatPool].get())
                 : nullptr;
}

struct RowSpan {
    ROWCOL left, right;
    bool operator==(const RowSpan&) const = default;
};

// The spans of more than one cell stored for the row between left and right.
std::vector<RowSpan> StoredSpans(const CGXSpanCellPool& pool, ROWCOL row, ROWCOL left,
                                 ROWCOL right) {
    std::vector<RowSpan> spans;
    for (ROWCOL col = left; col <= right; ++col) {
        CGXRange r;
        if (pool.GetSpan(row, col, r) && r.left == col && r.right > col) {
            spans.push_back({r.left, r.right});
            col = r.right;
        }
    }
    return spans;
}

}  // namespace

void CGXGridFloatCellsImp::SetFloatCellsMode(CGXGridCore* grid, std::uint16_t mode, bool redraw) {
    CGXGridParam* param = grid->GetParam();
    if (!param || param->m_wFloatMode == mode)
        return;
    param->m_wFloatMode = mode;
    param->m_apSpanCellPools[kFloatPool].reset();
    if (mode != 0)
        param->m_apSpanCellPools[kFloatPool] = std::make_unique<CGXSpanCellPool>();
    if (redraw)
        grid->Redraw(GX_INVALIDATE);
}

CGXRange* CGXGridFloatCellsImp::GetFloatedCellRange(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                                    CGXRange& range) {
    CGXSpanCellPool* pool = FloatPool(grid);
    CGXRange r;
    if (!pool || !pool->GetSpan(row, col, r) || r.left == r.right)
        return nullptr;
    range.SetCells(row, r.left, row, r.right);
    return &range;
}

bool CGXGridFloatCellsImp::CanFloatCellText(const CGXStyle& style, bool floats) {
    if (!floats)
        return style.GetValue().empty();
    if (style.GetIncludeFont() && style.GetFont().GetOrientation() != 0)
        return false;
    return !style.GetValue().empty();
}

bool CGXGridFloatCellsImp::CanFloatCell(CGXGridCore* grid, CGXControl* control, ROWCOL row,
                                        ROWCOL col, const CGXStyle& style, bool floats) {
    CGXGridParam* param = grid->GetParam();
    CGXRange covering;
    if (!param || param->m_wFloatMode == 0 || grid->GetCoveredCellsRowCol(row, col, covering))
        return false;
    if (floats) {
        if (!style.GetIncludeFloatCell() || !style.GetFloatCell())
            return false;
    } else {
        if (!style.GetIncludeFloodCell() || !style.GetFloodCell())
            return false;
        const ROWCOL frozen = grid->GetFrozenCols();
        if (frozen > 0 && col == frozen + 1)
            return false;
    }
    return dynamic_cast<CGXStatic*>(control) && CanFloatCellText(style, floats);
}

ROWCOL CGXGridFloatCellsImp::EvalFloatSpan(CGXGridCore* grid, fw::DeviceContext* dc, ROWCOL row,
                                           ROWCOL col) {
    const CGXStyle& style = grid->LookupStyleRowCol(row, col);
    CGXControl* control = grid->GetRegisteredControl(style.GetControl());
    if (!CanFloatCell(grid, control, row, col, style, true))
        return col;
    // What the text needs: its width and the cell's margins around the text.
    const int saved = dc->SaveDC();
    grid->LoadFont(dc, style);
    const int textWidth = dc->GetTextExtent(style.GetValue()).cx;
    dc->RestoreDC(saved);
    const fw::Rect cell{0, 0, std::max(1, grid->GetColWidth(col)), grid->GetRowHeight(row)};
    const fw::Rect inner = control->GetCellRect(row, col, &cell, &style);
    int remaining = textWidth + (cell.Width() - inner.Width()) + 1;
    const ROWCOL colCount = grid->GetColCount();
    ROWCOL end = col;
    while (end < colCount) {
        const int width = grid->GetColWidth(end);
        if (width >= remaining)
            break;
        const CGXStyle& next = grid->LookupStyleRowCol(row, end + 1);
        if (!CanFloatCell(grid, grid->GetRegisteredControl(next.GetControl()), row, end + 1, next,
                          false))
            break;
        remaining -= width;
        ++end;
    }
    return end;
}

bool CGXGridFloatCellsImp::EvalFloatRow(CGXGridCore* grid, fw::DeviceContext* dc,
                                        CGXSpanCellPool& pool, ROWCOL row, ROWCOL left,
                                        ROWCOL right, CGXRange& changed) {
    // Start at the nearest text to the left, and before any span that still reaches in from
    // further left (its text may now be stopped by a cell that got a value).
    const ROWCOL first = grid->GetHeaderCols() + 1;
    ROWCOL start = std::max(left, first);
    while (start > first && grid->LookupStyleRowCol(row, start).GetValue().empty()) --start;
    CGXRange stored;
    if (pool.GetSpan(row, start, stored) && stored.left < start)
        start = std::max<ROWCOL>(first, stored.left);
    std::vector<RowSpan> fresh;
    ROWCOL reach = right;
    for (ROWCOL col = start; col <= reach; ++col) {
        const ROWCOL end = EvalFloatSpan(grid, dc, row, col);
        if (end > col) {
            fresh.push_back({col, end});
            reach = std::max(reach, end);
            col = end;
        }
    }
    std::vector<RowSpan> old = StoredSpans(pool, row, start, reach);
    if (!old.empty())
        reach = std::max(reach, old.back().right);
    old = StoredSpans(pool, row, start, reach);
    if (old == fresh)
        return false;
    for (const RowSpan& s : old) pool.SetSpan(row, s.left, row, s.left, false);
    for (const RowSpan& s : fresh) pool.SetSpan(row, s.left, row, s.right, true);
    const CGXRange touched(row, start, row, reach);
    if (!changed.IsValid() || changed.top > changed.bottom)
        changed = touched;
    else
        changed.SetUnion(CGXRange(changed), touched);
    return true;
}

bool CGXGridFloatCellsImp::EvalFloatCells(CGXGridCore* grid, fw::DeviceContext* dc, ROWCOL top,
                                          ROWCOL bottom, ROWCOL left, ROWCOL right,
                                          CGXRange& changed) {
    CGXSpanCellPool* pool = FloatPool(grid);
    if (!pool || !dc)
        return false;
    top = std::max(top, grid->GetHeaderRows() + 1);
    bottom = std::min(bottom, grid->GetRowCount());
    right = std::min(right, grid->GetColCount());
    bool any = false;
    for (ROWCOL row = top; row <= bottom; ++row)
        any = EvalFloatRow(grid, dc, *pool, row, left, right, changed) || any;
    return any;
}
