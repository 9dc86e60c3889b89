#include "grid/features/CGXGridMergeCellsImp.h"

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXSpanCellPools.h"

#include <algorithm>
#include <vector>

namespace {

constexpr unsigned kMergeHorz = 1, kMergeVert = 2, kMergeByValue = 4;

CGXSpanCellPool* MergePool(CGXGridCore* grid, int direction) {
    CGXGridParam* param = grid->GetParam();
    return param ? dynamic_cast<CGXSpanCellPool*>(
                       param->m_apSpanCellPools[direction == 0 ? 0 : 1].get())
                 : nullptr;
}

struct Run {
    ROWCOL first, last;
    bool operator==(const Run&) const = default;
};

// The cell of a line (a row for direction 0, a column for 1) at position i.
ROWCOL RowOf(int direction, ROWCOL line, ROWCOL i) {
    return direction == 0 ? line : i;
}
ROWCOL ColOf(int direction, ROWCOL line, ROWCOL i) {
    return direction == 0 ? i : line;
}

// The stored spans of more than one cell along a line between from and to.
std::vector<Run> StoredRuns(const CGXSpanCellPool& pool, int direction, ROWCOL line, ROWCOL from,
                            ROWCOL to) {
    std::vector<Run> runs;
    for (ROWCOL i = from; i <= to; ++i) {
        CGXRange r;
        if (!pool.GetSpan(RowOf(direction, line, i), ColOf(direction, line, i), r))
            continue;
        const ROWCOL first = direction == 0 ? r.left : r.top;
        const ROWCOL last = direction == 0 ? r.right : r.bottom;
        if (first == i && last > i) {
            runs.push_back({first, last});
            i = last;
        }
    }
    return runs;
}

}  // namespace

void CGXGridMergeCellsImp::SetMergeCellsMode(CGXGridCore* grid, std::uint16_t mode, bool redraw) {
    CGXGridParam* param = grid->GetParam();
    if (!param || param->m_wMergeMode == mode)
        return;
    param->m_wMergeMode = mode;
    for (std::size_t i = 0; i < 2; ++i) {
        param->m_apSpanCellPools[i].reset();
        if (mode & 3)
            param->m_apSpanCellPools[i] = std::make_unique<CGXSpanCellPool>();
    }
    if (redraw)
        grid->Redraw(GX_INVALIDATE);
}

CGXRange* CGXGridMergeCellsImp::GetMergedCellRange(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                                   CGXRange& range, int direction) {
    for (int d = 0; d < 2; ++d) {
        if (direction != -1 && direction != d)
            continue;
        CGXSpanCellPool* pool = MergePool(grid, d);
        CGXRange r;
        if (!pool || !pool->GetSpan(row, col, r))
            continue;
        if (d == 0 && r.left < r.right) {
            range.SetCells(row, r.left, row, r.right);
            return &range;
        }
        if (d == 1 && r.top < r.bottom) {
            range.SetCells(r.top, col, r.bottom, col);
            return &range;
        }
    }
    return nullptr;
}

bool CGXGridMergeCellsImp::CanMergeCell(CGXGridCore* grid, CGXControl* control, ROWCOL row,
                                        ROWCOL col, const CGXStyle& style, int direction) {
    CGXGridParam* param = grid->GetParam();
    if (!param || (param->m_wMergeMode & 3) == 0 || !style.GetIncludeMergeCell())
        return false;
    const unsigned bits = style.GetMergeCell();
    const bool allowed = direction == 0 ? (bits & kMergeHorz) && !(param->m_wMergeMode & 8)
                                        : (bits & kMergeVert) && !(param->m_wMergeMode & 4);
    CGXRange covering;
    if (!allowed || grid->GetCoveredCellsRowCol(row, col, covering))
        return false;
    // The control agrees when the cell has a value.
    return control && !style.GetValue().empty();
}

bool CGXGridMergeCellsImp::CanMergeCells(const CGXStyle& a, const CGXStyle& b) {
    if (!a.GetIncludeMergeCell() || !b.GetIncludeMergeCell())
        return false;
    if ((a.GetMergeCell() & kMergeByValue) && (b.GetMergeCell() & kMergeByValue))
        return a.GetValue() == b.GetValue();
    return a.IsSubSet(b) && b.IsSubSet(a);
}

bool CGXGridMergeCellsImp::CanPair(CGXGridCore* grid, ROWCOL r1, ROWCOL c1, ROWCOL r2, ROWCOL c2,
                                   int direction) {
    const CGXStyle& a = grid->LookupStyleRowCol(r1, c1);
    if (!CanMergeCell(grid, grid->GetRegisteredControl(a.GetControl()), r1, c1, a, direction))
        return false;
    const CGXStyle& b = grid->LookupStyleRowCol(r2, c2);
    return CanMergeCell(grid, grid->GetRegisteredControl(b.GetControl()), r2, c2, b, direction) &&
           CanMergeCells(a, b);
}

bool CGXGridMergeCellsImp::EvalLine(CGXGridCore* grid, CGXSpanCellPool& pool, int direction,
                                    ROWCOL line, ROWCOL from, ROWCOL to, CGXRange& changed) {
    const ROWCOL count = direction == 0 ? grid->GetColCount() : grid->GetRowCount();
    const ROWCOL first = (direction == 0 ? grid->GetHeaderCols() : grid->GetHeaderRows()) + 1;
    auto pairs = [&](ROWCOL i) {  // cell i with cell i + 1
        return CanPair(grid, RowOf(direction, line, i), ColOf(direction, line, i),
                       RowOf(direction, line, i + 1), ColOf(direction, line, i + 1), direction);
    };
    // The stored span of cell i along the line (i itself when none).
    auto stored = [&](ROWCOL i, bool last) {
        CGXRange r;
        if (!pool.GetSpan(RowOf(direction, line, i), ColOf(direction, line, i), r))
            return i;
        return direction == 0 ? (last ? r.right : r.left) : (last ? r.bottom : r.top);
    };
    // Runs that reach into the part from either side, stored or new, are worked out whole.
    ROWCOL start = std::max(from, first);
    start = std::max(first, std::min(start, stored(start, false)));
    while (start > first && pairs(start - 1)) --start;
    ROWCOL end = std::min(to, count);
    end = std::max(end, stored(end, true));
    while (end < count && pairs(end)) ++end;
    std::vector<Run> fresh;
    for (ROWCOL i = start; i <= end; ++i) {
        ROWCOL last = i;
        while (last < end && pairs(last)) ++last;
        if (last > i)
            fresh.push_back({i, last});
        i = last;
    }
    ROWCOL reach = end;
    std::vector<Run> old = StoredRuns(pool, direction, line, start, reach);
    if (!old.empty())
        reach = std::max(reach, old.back().last);
    old = StoredRuns(pool, direction, line, start, reach);
    if (old == fresh)
        return false;
    for (const Run& r : old)
        pool.SetSpan(RowOf(direction, line, r.first), ColOf(direction, line, r.first),
                     RowOf(direction, line, r.first), ColOf(direction, line, r.first), false);
    for (const Run& r : fresh)
        pool.SetSpan(RowOf(direction, line, r.first), ColOf(direction, line, r.first),
                     RowOf(direction, line, r.last), ColOf(direction, line, r.last), true);
    const CGXRange touched(RowOf(direction, line, start), ColOf(direction, line, start),
                           RowOf(direction, line, reach), ColOf(direction, line, reach));
    if (!changed.IsValid())
        changed = touched;
    else
        changed.SetUnion(CGXRange(changed), touched);
    return true;
}

bool CGXGridMergeCellsImp::EvalMergeCells(CGXGridCore* grid, ROWCOL top, ROWCOL bottom, ROWCOL left,
                                          ROWCOL right, CGXRange& changed) {
    CGXGridParam* param = grid->GetParam();
    if (!param || (param->m_wMergeMode & 3) == 0)
        return false;
    top = std::max(top, grid->GetHeaderRows() + 1);
    left = std::max(left, grid->GetHeaderCols() + 1);
    bottom = std::min(bottom, grid->GetRowCount());
    right = std::min(right, grid->GetColCount());
    bool any = false;
    if (CGXSpanCellPool* rows = MergePool(grid, 0); rows && !(param->m_wMergeMode & 8))
        for (ROWCOL row = top; row <= bottom; ++row)
            any = EvalLine(grid, *rows, 0, row, left, right, changed) || any;
    if (CGXSpanCellPool* cols = MergePool(grid, 1); cols && !(param->m_wMergeMode & 4))
        for (ROWCOL col = left; col <= right; ++col)
            any = EvalLine(grid, *cols, 1, col, top, bottom, changed) || any;
    return any;
}
