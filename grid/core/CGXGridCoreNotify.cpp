// Change notification to the cell store, and the span and size work that follows a change of
// cell contents: the cached compositions of changed cells go, and a computing cell store learns
// which cells changed so that what depends on them is computed again.
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"

#include <algorithm>

void CGXGridCore::NotifyChangedRange(const CGXRange& range) {
    if (CGXData* data = GetData())
        data->AddRecalcRange(range);
}

void CGXGridCore::NotifyCellStoreRange(const CGXRange& range) {
    // One cell drops its own composition; a row, column or table style (or a larger block)
    // reaches every cached composition.
    if (range.IsCells() && range.top == range.bottom && range.left == range.right &&
        range.top != 0 && range.left != 0)
        m_styleCache.erase((static_cast<std::uint64_t>(range.top) << 32) | range.left);
    else
        FreeObjectCache();
    NotifyChangedRange(range);
}

void CGXGridCore::NotifyCellStoreChanged() {
    FreeObjectCache();
    CGXRange all;
    all.SetTable();
    NotifyChangedRange(all);
}

bool CGXGridCore::UpdateSpannedCells(const CGXRange& range) {
    auto* merges = GetMergeCellsImp();
    auto* floats = GetFloatCellsImp();
    const ROWCOL rows = GetRowCount(), cols = GetColCount();
    if ((!merges && !floats) || rows == 0 || cols == 0)
        return false;
    CGXRange r = range;
    r.ResolveToCells(0, 0, rows, cols);
    r.bottom = std::min(r.bottom, rows);
    r.right = std::min(r.right, cols);
    if (r.top > r.bottom || r.left > r.right)
        return false;
    CGXRange changed;
    bool any = false;
    if (merges)
        any = merges->EvalMergeCells(this, r.top, r.bottom, r.left, r.right, changed);
    if (floats) {
        // Texts are measured on the device being painted, when a paint asks.
        const bool painting = !m_drawContexts.empty() && m_drawContexts.back()->dc;
        fw::DeviceContext* dc = painting ? m_drawContexts.back()->dc : AcquireGridDC();
        any = floats->EvalFloatCells(this, dc, r.top, r.bottom, r.left, r.right, changed) || any;
        if (!painting)
            ReleaseGridDC();
    }
    if (any)
        RedrawRowCol(changed, GX_INVALIDATE);
    return any;
}

bool CGXGridCore::FitRowHeights(const CGXRange& range, unsigned flags) {
    const ROWCOL rows = GetRowCount();
    CGXRange r = range;
    r.ResolveToCells(0, 0, rows, GetColCount());
    if (r.top > r.bottom || r.top > rows)
        return false;
    return ResizeRowHeightsToFit(CGXRange().SetRows(r.top, std::min(r.bottom, rows)), flags);
}

bool CGXGridCore::OnSelectedTextClick(ROWCOL row, ROWCOL col) {
    auto* f = dynamic_cast<CGXAbstractGridSelectedTextImp*>(GetFeatureSlot(29));
    return f && f->OnSelectedTextClick(this, row, col);
}
