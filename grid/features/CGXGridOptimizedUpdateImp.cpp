#include "grid/features/CGXGridOptimizedUpdateImp.h"

#include "framework/window/Window.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRange.h"

#include <algorithm>

namespace {

// Rows or columns: one direction of the grid, with positions along it in window pixels.
class Axis {
public:
    Axis(CGXGridCore* grid, bool rows) : grid_(grid), rows_(rows), area_(grid->GetGridRect()) {}

    ROWCOL Frozen() const { return rows_ ? grid_->GetFrozenRows() : grid_->GetFrozenCols(); }
    ROWCOL First() const { return rows_ ? grid_->GetTopRow() : grid_->GetLeftCol(); }
    ROWCOL Count() const { return rows_ ? grid_->GetRowCount() : grid_->GetColCount(); }
    ROWCOL LastVisible() const {
        return rows_ ? grid_->GetLastVisibleRow() : grid_->GetLastVisibleCol();
    }
    void SetFirst(ROWCOL n) const {
        if (rows_)
            grid_->SetTopRow(n, 0, false);
        else
            grid_->SetLeftCol(n, 0, false);
    }
    int Sum(ROWCOL from, ROWCOL to) const {
        if (from > to)
            return 0;
        return rows_ ? grid_->CalcSumOfRowHeights(from, to) : grid_->CalcSumOfColWidths(from, to);
    }
    int Start() const { return rows_ ? area_.top : area_.left; }
    int End() const { return rows_ ? area_.bottom : area_.right; }
    // Where a frozen row, or one from the first scrolled row on, begins in the window.
    int Pos(ROWCOL n) const {
        if (n == 0)  // row or column 0 begins at the start (n - 1 would wrap around)
            return Start();
        if (n <= Frozen())
            return Start() + Sum(0, n - 1);
        return Start() + Sum(0, Frozen()) + Sum(First(), n - 1);
    }
    // The part of the grid from `from` to `to` along this direction.
    fw::Rect Band(int from, int to) const {
        fw::Rect r = area_;
        if (rows_) {
            r.top = std::max(from, area_.top);
            r.bottom = std::min(to, area_.bottom);
        } else {
            r.left = std::max(from, area_.left);
            r.right = std::min(to, area_.right);
        }
        return r;
    }
    void Invalidate(int from, int to) const {
        const fw::Rect r = Band(from, to);
        if (!r.IsEmpty())
            grid_->GridWnd()->InvalidateRect(r);
    }
    // Moves what lies from `from` to the end by `by` pixels (down or right when positive).
    void Scroll(int from, int by) const {
        const fw::Rect r = Band(from, End());
        if (r.IsEmpty())
            return;
        grid_->ScrollWindowContents(rows_ ? 0 : by, rows_ ? by : 0, &r, &r);
    }
    int Extent() const { return End() - Start(); }
    // Numbered headers after a change show other numbers: they are drawn again from `from` on.
    void InvalidateHeaders(int from) const {
        const CGXGridParam* param = grid_->GetParam();
        if (!param || !(rows_ ? param->m_bNumberedRowHeaders : param->m_bNumberedColHeaders))
            return;
        fw::Rect r = Band(from, End());
        if (rows_)
            r.right =
                std::min(r.right, r.left + grid_->CalcSumOfColWidths(0, grid_->GetHeaderCols()));
        else
            r.bottom =
                std::min(r.bottom, r.top + grid_->CalcSumOfRowHeights(0, grid_->GetHeaderRows()));
        if (!r.IsEmpty())
            grid_->GridWnd()->InvalidateRect(r);
    }

private:
    CGXGridCore* grid_;
    bool rows_;
    fw::Rect area_;
};

bool Ready(CGXGridCore* grid) {
    return grid->GridWnd() && grid->IsInitialized();
}

// Spans are worked out when drawn: a change may move any of them.
bool SpansOn(CGXGridCore* grid) {
    const CGXGridParam* param = grid->GetParam();
    return param && (param->m_wMergeMode != 0 || param->m_wFloatMode != 0);
}

void RedrawAll(CGXGridCore* grid, unsigned flags) {
    grid->Redraw(flags, false);
}

void Finish(CGXGridCore* grid, unsigned flags) {
    if (flags & GX_UPDATENOW)
        grid->GridWnd()->UpdateWindow();
}

void Inserted(CGXGridCore* grid, bool rows, ROWCOL first, ROWCOL count, unsigned flags) {
    const Axis axis(grid, rows);
    if (first <= axis.Frozen() || SpansOn(grid))
        return RedrawAll(grid, flags);
    if (first < axis.First()) {
        // Above the window: what shows stays where it is, under new numbers.
        axis.SetFirst(axis.First() + count);
        axis.InvalidateHeaders(axis.Pos(axis.First()));
        return Finish(grid, flags);
    }
    if (first > axis.LastVisible())
        return;
    const int at = axis.Pos(first);
    const int height = axis.Sum(first, first + count - 1);
    const bool scroll = (flags & (GX_UPDATENOW | GX_SMART)) && !(flags & GX_INVALIDATE);
    if (!scroll || at + height >= axis.End() || first + count - 1 >= axis.Count()) {
        axis.Invalidate(at, axis.End());
    } else {
        axis.Scroll(at, height);
        axis.Invalidate(at, at + height);
        axis.InvalidateHeaders(at + height);
    }
    Finish(grid, flags);
}

// Coverings that begin above the removed rows and reached into them have shrunk.
void RedrawShrunkCoverings(CGXGridCore* grid, bool rows, ROWCOL first) {
    if (first <= 1)
        return;
    const ROWCOL across = rows ? grid->GetColCount() : grid->GetRowCount();
    const ROWCOL before = first - 1;
    for (ROWCOL i = 1; i <= across; ++i) {
        CGXRange span;
        const ROWCOL row = rows ? before : i, col = rows ? i : before;
        if (grid->GetCoveredCellsRowCol(row, col, span) && (rows ? span.top : span.left) < first) {
            grid->RedrawRowCol(span, GX_INVALIDATE);
            i = rows ? span.right : span.bottom;
        }
    }
}

void Removed(CGXGridCore* grid, bool rows, ROWCOL first, ROWCOL last, std::span<const int> old,
             unsigned flags) {
    const Axis axis(grid, rows);
    if (first <= axis.Frozen() || SpansOn(grid))
        return RedrawAll(grid, flags);
    const ROWCOL count = last - first + 1;
    if (first < axis.First()) {
        if (last < axis.First()) {
            axis.SetFirst(axis.First() - count);
            axis.InvalidateHeaders(axis.Pos(axis.First()));
            return Finish(grid, flags);
        }
        // The first row shown went with the block: the row after it is shown first now.
        axis.SetFirst(std::max<ROWCOL>(first, 1));
        axis.Invalidate(axis.Pos(axis.First()), axis.End());
        return Finish(grid, flags);
    }
    RedrawShrunkCoverings(grid, rows, first);
    if (first > axis.LastVisible())
        return Finish(grid, flags);
    const int at = axis.Pos(first);
    long long removed = 0;
    for (int h : old) {
        removed += std::max(h, 0);
        if (removed > axis.Extent())
            break;
    }
    const bool scroll = (flags & (GX_UPDATENOW | GX_SMART)) && !(flags & GX_INVALIDATE);
    if (!scroll || old.size() != count || at + removed >= axis.End()) {
        axis.Invalidate(at, axis.End());
    } else {
        axis.Scroll(at, -static_cast<int>(removed));
        axis.Invalidate(axis.End() - static_cast<int>(removed), axis.End());
        axis.InvalidateHeaders(at);
    }
    Finish(grid, flags);
}

void Changed(CGXGridCore* grid, bool rows, ROWCOL first, ROWCOL last, std::span<const int> old,
             unsigned flags) {
    const Axis axis(grid, rows);
    if (SpansOn(grid))
        return RedrawAll(grid, flags);
    // Rows between the frozen ones and the first shown, and rows below the window, do not show.
    ROWCOL from = first;
    if (from > axis.Frozen() && from < axis.First())
        from = axis.First();
    if (from > last || from > axis.LastVisible()) {
        grid->UpdateScrollbars();
        return;
    }
    const int at = axis.Pos(from);
    const int now = axis.Sum(from, last);
    const bool known = old.size() == last - first + 1;
    long long before = 0;
    if (known)
        for (ROWCOL n = from; n <= last; ++n) before += std::max(old[n - first], 0);
    const bool scroll = (flags & (GX_UPDATENOW | GX_SMART)) && !(flags & GX_INVALIDATE);
    if (!scroll || !known || at + before >= axis.End() || at + now >= axis.End()) {
        axis.Invalidate(at, axis.End());
    } else {
        const int was = static_cast<int>(before);
        axis.Scroll(at + std::min(was, now), now - was);
        axis.Invalidate(at, at + now);
        if (now < was)
            axis.Invalidate(axis.End() - (was - now), axis.End());
    }
    // An active editor in the changed rows moves with its cell.
    ROWCOL row = 0, col = 0;
    if (grid->GetCurrentCell(row, col) && grid->IsActiveCurrentCell()) {
        const ROWCOL n = rows ? row : col;
        if (n >= first && n <= last)
            if (CGXControl* control = grid->GetCurrentCellControl())
                control->Refresh();
    }
    if (flags & GX_UPDATENOW)
        grid->UpdateScrollbars();
    Finish(grid, flags);
}

}  // namespace

void CGXGridOptimizedUpdateImp::OnInsertedRows(CGXGridCore* grid, ROWCOL first, ROWCOL count,
                                               unsigned flags) {
    if (Ready(grid) && count > 0)
        Inserted(grid, true, first, count, flags);
}

void CGXGridOptimizedUpdateImp::OnInsertedCols(CGXGridCore* grid, ROWCOL first, ROWCOL count,
                                               unsigned flags) {
    if (Ready(grid) && count > 0)
        Inserted(grid, false, first, count, flags);
}

void CGXGridOptimizedUpdateImp::OnRemovedRows(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                                              std::span<const int> oldHeights, unsigned flags) {
    if (Ready(grid) && first <= last)
        Removed(grid, true, first, last, oldHeights, flags);
}

void CGXGridOptimizedUpdateImp::OnRemovedCols(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                                              std::span<const int> oldWidths, unsigned flags) {
    if (Ready(grid) && first <= last)
        Removed(grid, false, first, last, oldWidths, flags);
}

void CGXGridOptimizedUpdateImp::OnChangedRowHeights(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                                                    std::span<const int> oldHeights,
                                                    unsigned flags) {
    if (Ready(grid) && first <= last)
        Changed(grid, true, first, last, oldHeights, flags);
}

void CGXGridOptimizedUpdateImp::OnChangedColWidths(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                                                   std::span<const int> oldWidths, unsigned flags) {
    if (Ready(grid) && first <= last)
        Changed(grid, false, first, last, oldWidths, flags);
}
