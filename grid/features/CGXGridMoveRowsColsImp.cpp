#include "grid/features/CGXGridMoveRowsColsImp.h"

#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXCommandFactory.h"
#include "grid/features/CGXSelectionFrameLock.h"
#include "grid/features/CGXSpanCellPools.h"

#include <algorithm>
#include <vector>

namespace {

// Rows and columns take the same steps; the axis picks the row or the column side of each.
struct Axis {
    bool rows;
    ROWCOL Count(CGXGridCore* g) const { return rows ? g->GetRowCount() : g->GetColCount(); }
    ROWCOL Start(const CGXRange& r) const { return rows ? r.top : r.left; }
    ROWCOL End(const CGXRange& r) const { return rows ? r.bottom : r.right; }
};

// A covering survives a move when it stays in one piece: wholly inside the moved block,
// wholly inside the rows the block passes, or wholly outside both.
bool CoveringStaysWhole(ROWCOL start, ROWCOL end, ROWCOL first, ROWCOL last, ROWCOL dest) {
    const ROWCOL n = last - first + 1;
    const ROWCOL lo = std::min(first, dest), hi = std::max(last, dest + n - 1);
    const ROWCOL passedLo = dest < first ? dest : last + 1;
    const ROWCOL passedHi = dest < first ? first - 1 : dest + n - 1;
    const auto within = [&](ROWCOL a, ROWCOL b) { return start >= a && end <= b; };
    return within(first, last) || within(passedLo, passedHi) || end < lo || start > hi;
}

// Uncovers the coverings that the move would tear apart; TRUE when any was.
bool UncoverTornCoverings(CGXGridCore* g, const Axis& axis, ROWCOL first, ROWCOL last,
                          ROWCOL dest) {
    std::vector<CGXRange> torn;
    for (const CGXRange& r : g->GetParam()->m_CoveredCells)
        if (!CoveringStaysWhole(axis.Start(r), axis.End(r), first, last, dest))
            torn.push_back(r);
    for (const CGXRange& r : torn) g->SetCoveredCellsRowCol(r.top, r.left, r.top, r.left, 0, 0);
    return !torn.empty();
}

void MoveSpanPools(CGXGridParam& p, const Axis& axis, ROWCOL first, ROWCOL last, ROWCOL dest) {
    for (auto& owned : p.m_apSpanCellPools)
        if (auto* pool = dynamic_cast<CGXSpanCellPool*>(owned.get())) {
            if (axis.rows)
                pool->RowsMoved(first, last, dest);
            else
                pool->ColsMoved(first, last, dest);
        }
}

bool StoreMove(CGXGridCore* g, const Axis& axis, ROWCOL first, ROWCOL last, ROWCOL dest,
               bool processed) {
    CGXGridParam* p = g->GetParam();
    // A block that does not lie wholly within the grid, before and after the move, is refused
    // rather than moved partly.
    const ROWCOL count = axis.Count(g);
    if (first == dest || !p || first == 0 || first > last || last > count || dest == 0 ||
        dest - 1 > count - (last - first + 1) || g->IsLockReadOnly())
        return false;
    if (CGXData* data = g->GetData())
        processed =
            (axis.rows ? data->MoveRows(first, last, dest) : data->MoveCols(first, last, dest)) ||
            processed;
    if (!processed)
        return false;
    g->SetModifiedFlag(true);
    if (auto* hide = g->GetHideCellsImp())
        axis.rows ? hide->RowsMoved(g, first, last, dest) : hide->ColsMoved(g, first, last, dest);
    if (axis.rows) {
        p->m_RowHeights.MoveKeys(first, last, dest);
        p->m_SelRects.MoveRowsInRanges(first, last, dest, count);
        p->m_CoveredCells.MoveRowsInRanges(first, last, dest, count);
    } else {
        p->m_ColWidths.MoveKeys(first, last, dest);
        p->m_SelRects.MoveColsInRanges(first, last, dest, count);
        p->m_CoveredCells.MoveColsInRanges(first, last, dest, count);
    }
    p->RebuildCoveredCellPool();
    if (p->m_wFloatMode != 0 || p->m_wMergeMode != 0)
        MoveSpanPools(*p, axis, first, last, dest);
    g->FreeObjectCache();
    return true;
}

void UpdateMove(CGXGridCore* g, const Axis& axis, ROWCOL first, ROWCOL last, ROWCOL dest,
                unsigned flags, bool createHint) {
    g->ResetVisibleCache();
    ROWCOL row = 0, col = 0;
    if (g->GetCurrentCell(row, col, true)) {
        ROWCOL& moved = axis.rows ? row : col;
        moved = GXMovedIndex(moved, first, last, dest);
        const bool active = g->IsActiveCurrentCell();
        g->StoreCurrentCell(true, row, col);
        if (active)
            if (CGXControl* control = g->GetControl(row, col))
                control->Init(row, col);
    }
    CGXGridParam* p = g->GetParam();
    if (p && !p->m_SelRects.IsEmpty())
        g->UpdateSelectionFrame(&p->m_SelRects.GetHead());
    // Every row (column) from the smaller of first and dest on may show another one now, and
    // so may the row headers that number them: the whole grid is redrawn.
    if ((flags & 7) != 0) {
        g->Redraw(flags);
        g->UpdateScrollbars();
    }
    CGXGridHint hint(axis.rows ? 12 : 11);
    if (axis.rows) {
        hint.row1 = first;
        hint.row2 = last;
        hint.row3 = dest;
    } else {
        hint.col1 = first;
        hint.col2 = last;
        hint.col3 = dest;
    }
    hint.flags = flags;
    g->SendGridHint(hint, createHint);
}

// Keeps the selection frame still while a move runs.
bool Move(CGXGridCore* g, const Axis& axis, ROWCOL first, ROWCOL last, ROWCOL dest, unsigned flags,
          int ctCmd) {
    if (!g->GetParam() || !g->TransferCurrentCell(true, 2, true))
        return false;
    CGXSelectionFrameLock frameLock(*g);
    const bool transaction = ctCmd == 0;
    if (transaction) {
        g->BeginTrans(GXLibraryText(axis.rows ? 20162 : 20163).c_str());
        if (first != dest && UncoverTornCoverings(g, axis, first, last, dest))
            flags = (flags & ~7u) | 1u;
    }
    const bool moved =
        axis.rows ? g->StoreMoveRows(first, last, dest) : g->StoreMoveCols(first, last, dest);
    if (!moved) {
        // Only this move's own transaction is undone; commands recorded before it stay.
        if (transaction)
            g->Rollback();
        return false;
    }
    axis.rows ? g->UpdateMoveRows(first, last, dest, flags, true)
              : g->UpdateMoveCols(first, last, dest, flags, true);
    if (g->IsRecordingUndo(ctCmd)) {
        CGXAbstractCommandFactory* factory = g->GetCommandFactory();
        const ROWCOL back = last + dest - first;
        auto cmd = axis.rows ? factory->CreateMoveRowsCmd(dest, back, first)
                             : factory->CreateMoveColsCmd(dest, back, first);
        if (cmd)
            g->AddCommand(std::move(cmd), ctCmd);
        if (ctCmd == 2 || ctCmd == 3)
            if (auto* f = dynamic_cast<CGXCommandFactory*>(factory)) {
                ROWCOL row = 0, col = 0;
                if (!g->GetCurrentCell(row, col, true)) {
                    row = g->GetParam()->m_nCurrentRow;
                    col = g->GetParam()->m_nCurrentCol;
                }
                axis.rows ? f->ShowCellAfterUndo(g, dest, col, false)
                          : f->ShowCellAfterUndo(g, row, dest, false);
            }
    }
    if (transaction)
        g->CommitTrans();
    return true;
}

}  // namespace

ROWCOL GXMovedIndex(ROWCOL g, ROWCOL first, ROWCOL last, ROWCOL dest) {
    const ROWCOL n = last - first + 1;
    const ROWCOL f = dest > first ? dest + n : dest;
    if (g >= first && g <= last)
        return g >= f ? g + f - first : g + f - last - 1;
    if (g > last && g < f)
        return g - n;
    if (g >= f && g < first)
        return g + n;
    return g;
}

bool CGXGridMoveRowsColsImp::StoreMoveRows(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                                           ROWCOL dest, bool processed) {
    return StoreMove(grid, Axis{true}, first, last, dest, processed);
}
bool CGXGridMoveRowsColsImp::StoreMoveCols(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                                           ROWCOL dest, bool processed) {
    return StoreMove(grid, Axis{false}, first, last, dest, processed);
}
void CGXGridMoveRowsColsImp::UpdateMoveRows(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                                            ROWCOL dest, unsigned flags, bool createHint) {
    UpdateMove(grid, Axis{true}, first, last, dest, flags, createHint);
}
void CGXGridMoveRowsColsImp::UpdateMoveCols(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                                            ROWCOL dest, unsigned flags, bool createHint) {
    UpdateMove(grid, Axis{false}, first, last, dest, flags, createHint);
}
bool CGXGridMoveRowsColsImp::MoveRows(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest,
                                      unsigned flags, int ctCmd) {
    return Move(grid, Axis{true}, first, last, dest, flags, ctCmd);
}
bool CGXGridMoveRowsColsImp::MoveCols(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest,
                                      unsigned flags, int ctCmd) {
    return Move(grid, Axis{false}, first, last, dest, flags, ctCmd);
}
