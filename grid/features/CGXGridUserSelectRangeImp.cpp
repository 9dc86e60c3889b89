#include "grid/features/CGXGridUserSelectRangeImp.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

constexpr std::uint16_t kSelRow = 0x01, kSelCol = 0x02, kSelTable = 0x04, kSelCells = 0x08,
                        kSelCtrl = 0x10, kSelShiftClick = 0x20, kSelShiftKey = 0x40;
constexpr unsigned kShift = 0x04, kCtrl = 0x08;

bool RowMode(const CGXGridParam& p) {
    return p.IsSelectionMode(0x01 | 0x02);
}

CGXRange* RangeAt(CGXRangeList& list, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= list.GetCount())
        return nullptr;
    auto it = list.begin();
    std::advance(it, index);
    return &*it;
}

// The range from top, left, bottom, right in the kind the corners give (cells, rows, columns or
// the whole table); in a row mode always whole rows.
CGXRange MakeRange(const CGXGridParam& p, ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) {
    if (t > b)
        std::swap(t, b);
    if (l > r)
        std::swap(l, r);
    CGXRange range;
    if (RowMode(p) && t > 0)
        range.SetRows(t, b);
    else if (t > 0 && l > 0)
        range.SetCells(t, l, b, r);
    else if (t > 0)
        range.SetRows(t, b);
    else if (l > 0)
        range.SetCols(l, r);
    else
        range.SetTable();
    return range;
}

void Finish(CGXGridCore* grid) {
    // The range in progress, the anchor and the last cell follow the list's last range.
    CGXRangeList& list = grid->GetParam()->m_SelRects;
    if (list.IsEmpty()) {
        grid->m_nSelRangeIndex = -1;
    } else if (grid->m_nSelRangeIndex >= static_cast<int>(list.GetCount())) {
        grid->m_nSelRangeIndex = static_cast<int>(list.GetCount()) - 1;
    }
    grid->OnSelectionChanged();
}

}  // namespace

void GXExcludeRange(CGXRangeList& list, const CGXRange& cut, ROWCOL rowCount, ROWCOL colCount) {
    CGXRangeList out;
    CGXRange c = cut;
    c.ResolveToCells(1, 1, rowCount, colCount);
    for (const CGXRange& r : list) {
        CGXRange a = r;
        a.ResolveToCells(1, 1, rowCount, colCount);
        CGXRange meet;
        if (!meet.SetIntersection(a, c)) {
            out.AddTail(r);
            continue;
        }
        const bool keepRows = r.IsRows() && cut.IsRows();
        const bool keepCols = r.IsCols() && cut.IsCols();
        auto add = [&](ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL rr) {
            if (t > b || l > rr)
                return;
            if (keepRows)
                out.AddTail(CGXRange().SetRows(t, b));
            else if (keepCols)
                out.AddTail(CGXRange().SetCols(l, rr));
            else
                out.AddTail(CGXRange(t, l, b, rr));
        };
        if (meet.top > a.top)
            add(a.top, a.left, meet.top - 1, a.right);  // above
        if (meet.bottom < a.bottom)
            add(meet.bottom + 1, a.left, a.bottom, a.right);  // below
        if (!keepRows) {
            if (meet.left > a.left)
                add(meet.top, a.left, meet.bottom, meet.left - 1);  // left
            if (meet.right < a.right)
                add(meet.top, meet.right + 1, meet.bottom, a.right);  // right
        }
    }
    list = out;
}

bool CGXGridUserSelectRangeImp::SetRangeInProgress(CGXGridCore* grid, const CGXRange& range,
                                                   bool dragging) {
    if (!grid->OnStartSelection(range, dragging, 0))
        return false;
    CGXRangeList& list = grid->GetParam()->m_SelRects;
    const CGXRangeList old = list;
    if (CGXRange* r = RangeAt(list, grid->m_nSelRangeIndex)) {
        if (*r == range)
            return true;
        *r = range;
    } else {
        list.AddTail(range);
        grid->m_nSelRangeIndex = static_cast<int>(list.GetCount()) - 1;
    }
    RedrawSelectionChange(grid, old);
    return true;
}

void CGXGridUserSelectRangeImp::SetSelection(CGXGridCore* grid, int index, ROWCOL top, ROWCOL left,
                                             ROWCOL bottom, ROWCOL right) {
    CGXGridParam* p = grid->GetParam();
    if (!p)
        return;
    const CGXRangeList old = p->m_SelRects;
    if (index < 0) {
        p->m_SelRects.DeleteAll();
        grid->m_nSelRangeIndex = -1;
    } else if (CGXRange* r = RangeAt(p->m_SelRects, index)) {
        *r = MakeRange(*p, top, left, bottom, right);
    }
    RedrawSelectionChange(grid, old);
    Finish(grid);
}

bool CGXGridUserSelectRangeImp::MoveCurrentCellEx(CGXGridCore* grid, ROWCOL fromRow, ROWCOL fromCol,
                                                  bool shift) {
    CGXGridParam* p = grid->GetParam();
    ROWCOL row, col;
    if (!p || !grid->GetCurrentCell(row, col))
        return false;
    shift = shift && p->IsEnableSelection(kSelShiftKey);
    if (p->IsSelectionMode(0x01)) {
        // Single-row mode: the current row alone is selected.
        const CGXRangeList old = p->m_SelRects;
        p->m_SelRects.DeleteAll();
        p->m_SelRects.AddTail(CGXRange().SetRows(row, row));
        grid->m_nSelRangeIndex = 0;
        grid->m_nAnchorRow = grid->m_nLastSelRow = row;
        grid->m_nAnchorCol = grid->m_nLastSelCol = col;
        RedrawSelectionChange(grid, old);
        Finish(grid);
        return true;
    }
    if (p->IsSelectionMode(0x02)) {
        if (!shift || grid->m_nSelRangeIndex < 0) {
            grid->m_nSelRangeIndex = -1;
            grid->m_nAnchorRow = fromRow;
            grid->m_nAnchorCol = fromCol;
        }
        const ROWCOL from = shift ? grid->m_nAnchorRow : row;
        SetRangeInProgress(grid, CGXRange().SetRows(std::min(from, row), std::max(from, row)),
                           false);
        if (!shift) {
            grid->m_nAnchorRow = row;
            grid->m_nAnchorCol = col;
        }
        grid->m_nLastSelRow = row;
        grid->m_nLastSelCol = col;
        Finish(grid);
        return true;
    }
    if (!shift) {
        grid->m_nSelRangeIndex = -1;  // the selection stays, nothing is extended any more
        grid->m_nAnchorRow = row;
        grid->m_nAnchorCol = col;
        return true;
    }
    if (grid->m_nSelRangeIndex < 0) {
        grid->m_nAnchorRow = fromRow;
        grid->m_nAnchorCol = fromCol;
    }
    SetRangeInProgress(grid, MakeRange(*p, grid->m_nAnchorRow, grid->m_nAnchorCol, row, col),
                       false);
    grid->m_nLastSelRow = row;
    grid->m_nLastSelCol = col;
    Finish(grid);
    return true;
}

bool CGXGridUserSelectRangeImp::OnSelectButtonDown(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                                   unsigned keyFlags) {
    CGXGridParam* p = grid->GetParam();
    if (!p || !grid->CanSelectRange() || !p->IsEnableSelection(0xFF))
        return false;
    const bool single = p->IsSelectionMode(0x01);
    const bool multi = p->IsSelectionMode(0x02);
    const bool shift =
        !single && (keyFlags & kShift) && (multi || p->IsEnableSelection(kSelShiftClick));
    const bool ctrl = !single && (keyFlags & kCtrl) && (multi || p->IsEnableSelection(kSelCtrl));
    CGXRangeList& list = p->m_SelRects;
    const CGXRangeList old = list;

    if (row == 0 && col == 0) {
        if (!p->IsEnableSelection(kSelTable))
            return false;
        CGXRange table;
        table.SetTable();
        const bool selected =
            std::any_of(list.begin(), list.end(), [](const CGXRange& r) { return r.IsTable(); });
        if (!grid->OnStartSelection(table, false, keyFlags))
            return false;
        if (selected)
            list.DeleteAll();
        else
            list.AddTail(table);
        grid->m_nSelRangeIndex = -1;
        RedrawSelectionChange(grid, old);
        Finish(grid);
        return true;
    }

    ROWCOL curRow, curCol;
    const bool hasCurrent = grid->GetCurrentCell(curRow, curCol);
    if (!shift && !ctrl) {
        if (!list.IsEmpty() && grid->OnStartSelection(CGXRange(row, col), false, keyFlags)) {
            list.DeleteAll();
            grid->m_nSelRangeIndex = -1;
        }
    } else if (ctrl && !shift && list.IsEmpty() && hasCurrent &&
               !(curRow == row && curCol == col) && !single && !multi) {
        list.AddTail(CGXRange(curRow, curCol));
    }

    const ROWCOL hr = grid->GetHeaderRows(), hc = grid->GetHeaderCols();
    const bool rowHeader = col <= hc && row > hr;
    const bool colHeader = row <= hr && col > hc;
    const bool cell = row > hr && col > hc;
    if (!((rowHeader && p->IsEnableSelection(kSelRow)) ||
          (colHeader && p->IsEnableSelection(kSelCol)) ||
          (cell && p->IsEnableSelection(kSelCells)))) {
        RedrawSelectionChange(grid, old);
        Finish(grid);
        return false;
    }

    if (shift) {
        if (grid->m_nAnchorRow == GX_INVALID) {
            grid->m_nAnchorRow = hasCurrent ? curRow : row;
            grid->m_nAnchorCol = hasCurrent ? curCol : col;
        }
        grid->m_nSelRangeIndex = list.IsEmpty() ? -1 : static_cast<int>(list.GetCount()) - 1;
        SetRangeInProgress(grid,
                           MakeRange(*p, grid->m_nAnchorRow, rowHeader ? 0 : grid->m_nAnchorCol,
                                     row, rowHeader ? 0 : col),
                           true);
    } else {
        grid->m_nSelRangeIndex = -1;
        grid->m_nAnchorRow = row;
        grid->m_nAnchorCol = col;
        if (rowHeader || (multi || single))
            SetRangeInProgress(grid, CGXRange().SetRows(row, row), true);
        else if (colHeader)
            SetRangeInProgress(grid, CGXRange().SetCols(col, col), true);
        // An ordinary cell: the range begins with the first move.
    }
    grid->m_nLastSelRow = row;
    grid->m_nLastSelCol = col;
    grid->m_bMouseSelecting = true;
    RedrawSelectionChange(grid, old);
    return true;
}

void CGXGridUserSelectRangeImp::OnSelectMouseMove(CGXGridCore* grid, ROWCOL row, ROWCOL col) {
    CGXGridParam* p = grid->GetParam();
    if (!p || !grid->m_bMouseSelecting || grid->m_nAnchorRow == GX_INVALID)
        return;
    if (row == grid->m_nLastSelRow && col == grid->m_nLastSelCol && grid->m_nSelRangeIndex >= 0)
        return;
    if (row == grid->m_nAnchorRow && col == grid->m_nAnchorCol && grid->m_nSelRangeIndex < 0)
        return;  // not moved off the pressed cell yet
    const ROWCOL hr = grid->GetHeaderRows(), hc = grid->GetHeaderCols();
    const ROWCOL ar = grid->m_nAnchorRow, ac = grid->m_nAnchorCol;
    CGXRange range;
    if (RowMode(*p) || (ac <= hc && ar > hr))
        range.SetRows(std::min(ar, std::max(row, hr + 1)), std::max(ar, std::max(row, hr + 1)));
    else if (ar <= hr)
        range.SetCols(std::min(ac, std::max(col, hc + 1)), std::max(ac, std::max(col, hc + 1)));
    else
        range = MakeRange(*p, ar, ac, std::max(row, hr + 1), std::max(col, hc + 1));
    SetRangeInProgress(grid, range, true);
    grid->m_nLastSelRow = row;
    grid->m_nLastSelCol = col;
}

void CGXGridUserSelectRangeImp::OnSelectButtonUp(CGXGridCore* grid, ROWCOL row, ROWCOL col) {
    CGXGridParam* p = grid->GetParam();
    if (!p || !grid->m_bMouseSelecting || grid->m_nAnchorRow == GX_INVALID) {
        grid->m_bMouseSelecting = false;
        return;
    }
    const bool plainClick = row == grid->m_nAnchorRow && col == grid->m_nAnchorCol &&
                            grid->m_nSelRangeIndex < 0 && !RowMode(*p);
    if (plainClick && grid->m_bKeepSingleCell) {
        SetRangeInProgress(grid, CGXRange(row, col), false);
    }
    // The flag is cleared in every case, the keep-single-cell release included, so that a later
    // mouse move without a press selects nothing.
    grid->m_bMouseSelecting = false;
    Finish(grid);
}

void CGXGridUserSelectRangeImp::AddOrExcludeRange(CGXGridCore* grid, const CGXRange& range,
                                                  bool add) {
    CGXGridParam* p = grid->GetParam();
    if (add)
        p->m_SelRects.AddTail(range);
    else
        GXExcludeRange(p->m_SelRects, range, grid->GetRowCount(), grid->GetColCount());
}

bool CGXGridUserSelectRangeImp::SelectRange(CGXGridCore* grid, const CGXRange& range, bool select,
                                            bool update) {
    CGXGridParam* p = grid->GetParam();
    if (!p || !grid->OnStartSelection(range, false, 0))
        return false;
    const CGXRangeList old = p->m_SelRects;
    AddOrExcludeRange(grid, range, select);
    grid->m_nSelRangeIndex = -1;
    if (update)
        RedrawSelectionChange(grid, old);
    Finish(grid);
    return true;
}

void CGXGridUserSelectRangeImp::RedrawSelectionChange(CGXGridCore* grid,
                                                      const CGXRangeList& oldList) {
    CGXGridParam* p = grid->GetParam();
    if (!p || p->m_bLockUpdate)
        return;
    const CGXRangeList& now = p->m_SelRects;
    const ROWCOL rows = grid->GetRowCount(), cols = grid->GetColCount();
    // Every range that is in one list and not in the other bounds cells that may have changed.
    auto redrawMissing = [&](const CGXRangeList& from, const CGXRangeList& in) {
        for (const CGXRange& r : from) {
            if (std::find(in.begin(), in.end(), r) != in.end())
                continue;
            CGXRange c = r;
            c.ResolveToCells(0, 0, rows, cols);
            grid->RedrawRowCol(c.top, c.left, std::min(c.bottom, rows), std::min(c.right, cols),
                               GX_INVALIDATE);
        }
    };
    redrawMissing(oldList, now);
    redrawMissing(now, oldList);
    // The other views of the document show the same selection: they redraw the same change.
    if (auto* hints = grid->GetUpdateHintImp(); hints && grid->IsHintsEnabled()) {
        CGXRange progress;
        if (const CGXRange* r = RangeAt(p->m_SelRects, grid->m_nSelRangeIndex))
            progress = *r;
        hints->HintSelection(grid, &oldList, progress.top, progress.left, progress.bottom,
                             progress.right);
    }
}

void CGXGridUserSelectRangeImp::RedrawSelection(CGXGridCore* grid) {
    CGXRangeList none;
    {
        const bool hints = grid->IsHintsEnabled();
        grid->EnableHints(false);
        RedrawSelectionChange(grid, none);
        grid->EnableHints(hints);
    }
    if (auto* f = grid->GetUpdateHintImp(); f && grid->IsHintsEnabled())
        f->HintSelectionAll(grid);
}

bool CGXGridUserSelectRangeImp::OnCtrlClickHeader(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                                  unsigned keyFlags) {
    CGXGridParam* p = grid->GetParam();
    if (!p || !(keyFlags & kCtrl))
        return false;
    CGXRange* r = RangeAt(p->m_SelRects, grid->m_nSelRangeIndex);
    if (!r)
        return false;
    const ROWCOL hr = grid->GetHeaderRows(), hc = grid->GetHeaderCols();
    CGXRange cut;
    if (col <= hc && row > hr && r->IsRows() && row >= r->top && row <= r->bottom)
        cut.SetRows(row, row);
    else if (row <= hr && col > hc && r->IsCols() && col >= r->left && col <= r->right)
        cut.SetCols(col, col);
    else
        return false;
    return SelectRange(grid, cut, false, true);
}

namespace {

// A line number after lines first..last were removed: GX_INVALID when it went with them.
ROWCOL AfterRemoval(ROWCOL line, ROWCOL first, ROWCOL last) {
    if (line == GX_INVALID || line < first)
        return line;
    return line > last ? line - (last - first + 1) : GX_INVALID;
}

void LinesRemoved(CGXGridCore* grid, bool rows, ROWCOL first, ROWCOL last) {
    CGXGridParam* p = grid->GetParam();
    if (!p || first > last)
        return;
    // The ranges the removal emptied go; the range in progress keeps its place among the rest.
    CGXRangeList& list = p->m_SelRects;
    std::vector<const CGXRange*> gone;
    int index = 0, progress = -1;
    for (const CGXRange& r : list) {
        if (!r.IsValid())
            gone.push_back(&r);
        else if (index == grid->m_nSelRangeIndex)
            progress = index - static_cast<int>(gone.size());
        ++index;
    }
    for (const CGXRange* r : gone) list.RemoveRangeAt(r);
    grid->m_nSelRangeIndex = progress;
    ROWCOL& anchor = rows ? grid->m_nAnchorRow : grid->m_nAnchorCol;
    ROWCOL& lastCell = rows ? grid->m_nLastSelRow : grid->m_nLastSelCol;
    anchor = AfterRemoval(anchor, first, last);
    lastCell = AfterRemoval(lastCell, first, last);
    if (anchor == GX_INVALID)
        grid->m_nAnchorRow = grid->m_nAnchorCol = GX_INVALID;
    if (lastCell == GX_INVALID)
        grid->m_nLastSelRow = grid->m_nLastSelCol = GX_INVALID;
    Finish(grid);
}

}  // namespace

void CGXGridUserSelectRangeImp::RowsRemoved(CGXGridCore* grid, ROWCOL first, ROWCOL last) {
    LinesRemoved(grid, true, first, last);
}

void CGXGridUserSelectRangeImp::ColsRemoved(CGXGridCore* grid, ROWCOL first, ROWCOL last) {
    LinesRemoved(grid, false, first, last);
}
