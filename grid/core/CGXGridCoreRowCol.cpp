// Row and column structure: counts, inserting and removing, frozen and header rows and columns,
// client-row mappings and the top row and left column. Each change is a Set (what callers use),
// a Store (the data only) and an Update (the screen).
#include "framework/window/Window.h"
#include "grid/core/CGXAbstractComponents.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXRowColUndoData.h"
#include "grid/core/GXFlagScope.h"
#include "grid/core/GXLibraryState.h"

#include <algorithm>
#include <vector>

ROWCOL CGXGridCore::GetRowCount() {
    CGXData* data = GetData();
    return data ? data->GetRowCount() : 0;
}

ROWCOL CGXGridCore::GetColCount() {
    CGXData* data = GetData();
    return data ? data->GetColCount() : 0;
}

bool CGXGridCore::SetRowCount(ROWCOL count, unsigned flags) {
    const ROWCOL old = GetRowCount();
    if (count < old)
        return RemoveRows(count + 1, old, flags);
    if (count > old)
        return InsertRows(old + 1, count - old, nullptr, flags);
    return true;
}

bool CGXGridCore::SetColCount(ROWCOL count, unsigned flags) {
    const ROWCOL old = GetColCount();
    if (count < old)
        return RemoveCols(count + 1, old, flags);
    if (count > old)
        return InsertCols(old + 1, count - old, nullptr, flags);
    return true;
}

bool CGXGridCore::StoreRowCount(ROWCOL count) {
    if (IsLockReadOnly() || !GetData())
        return false;
    return GetData()->SetRowCount(count);
}

bool CGXGridCore::StoreColCount(ROWCOL count) {
    if (IsLockReadOnly() || !GetData())
        return false;
    return GetData()->SetColCount(count);
}

bool CGXGridCore::UpdatesLocked() const {
    return m_pParam && m_pParam->m_bLockUpdate;
}

void CGXGridCore::UpdateRowCount(ROWCOL oldCount, unsigned flags, bool createHint) {
    CGXGridHint hint(3);
    hint.row1 = oldCount;
    hint.flags = flags;
    SendGridHint(hint, createHint);
    ROWCOL row, col;
    if (GetCurrentCell(row, col) && row > GetRowCount())
        RefreshCurrentCell();
    InvalidateCachedVisible();
    if (UpdatesLocked() || !(flags & 7))
        return;
    UpdateScrollbars();
    if (m_bInitDone && m_pGridWnd) {
        const ROWCOL first = std::min(oldCount, GetRowCount()) + 1;
        fw::Rect r = GetGridRect();
        r.top = CalcRectFromRowCol(first, 0).top;
        if (r.top < r.bottom || first <= GetTopRow())
            m_pGridWnd->InvalidateRect(first <= GetTopRow() ? GetGridRect() : r);
        if (flags & GX_UPDATENOW)
            m_pGridWnd->UpdateWindow();
    }
}

void CGXGridCore::UpdateColCount(ROWCOL oldCount, unsigned flags, bool createHint) {
    CGXGridHint hint(4);
    hint.col1 = oldCount;
    hint.flags = flags;
    SendGridHint(hint, createHint);
    ROWCOL row, col;
    if (GetCurrentCell(row, col) && col > GetColCount())
        RefreshCurrentCell();
    InvalidateCachedVisible();
    if (UpdatesLocked() || !(flags & 7))
        return;
    UpdateScrollbars();
    if (m_bInitDone && m_pGridWnd) {
        const ROWCOL first = std::min(oldCount, GetColCount()) + 1;
        fw::Rect r = GetGridRect();
        r.left = CalcRectFromRowCol(0, first).left;
        m_pGridWnd->InvalidateRect(first <= GetLeftCol() ? GetGridRect() : r);
        if (flags & GX_UPDATENOW)
            m_pGridWnd->UpdateWindow();
    }
}

namespace {

// Restores what a removal saved into the rows (columns) that an insertion just made, without
// telling the cell store cell by cell; rows says whether the data is of rows.
void RestoreSaved(CGXGridCore& grid, ROWCOL first, ROWCOL count, const CGXRowColUndoData& saved,
                  bool rows) {
    CGXLongOperation op;
    const ROWCOL lines = std::min(count, saved.m_nCount);
    for (ROWCOL i = 0; i < lines; ++i) {
        const std::size_t base = static_cast<std::size_t>(i) * saved.m_nCells;
        for (ROWCOL k = 0; k < saved.m_nCells && base + k < saved.m_cells.size(); ++k)
            if (const CGXStyle* s = saved.m_cells[base + k].get())
                rows ? grid.StoreStyleRowCol(first + i, k, s, gxCopy, gxValueStore)
                     : grid.StoreStyleRowCol(k, first + i, s, gxCopy, gxValueStore);
        if (i < saved.m_lines.size())
            if (const CGXStyle* s = saved.m_lines[i].get())
                rows ? grid.StoreStyleRowCol(first + i, 0, s, gxCopy, gxRowColStyle)
                     : grid.StoreStyleRowCol(0, first + i, s, gxCopy, gxRowColStyle);
        CGXLongOperation::SetPercentDone(static_cast<int>(100ULL * (i + 1) / lines));
        op.CheckProgress();
    }
}

// Hides again the rows (columns) that were hidden when they were removed, and gives the
// computing cell store back the cells and formulas it saved then. This comes after the lines
// are in again: those cells carry the numbers and references from before the removal.
void RestoreAfterInsert(CGXGridCore& grid, ROWCOL first, ROWCOL count,
                        const CGXRowColUndoData& saved, bool rows) {
    for (ROWCOL offset : saved.m_hidden)
        if (offset < count)
            rows ? grid.StoreHideRow(first + offset, true)
                 : grid.StoreHideCol(first + offset, true);
    if (saved.m_pEngineInfo && grid.GetData())
        grid.GetData()->UndoEngineCells(saved.m_pEngineInfo.get(), false, false);
}

// After the covered ranges followed inserted or removed lines: the coverings that went with
// removed lines are dropped, and the pool finds the others at their new places.
void RefreshCoverings(CGXGridParam& param) {
    if (param.m_CoveredCells.IsEmpty())
        return;
    std::vector<const CGXRange*> gone;
    for (const CGXRange& r : param.m_CoveredCells)
        if (!r.IsValid())
            gone.push_back(&r);
    for (const CGXRange* r : gone) param.m_CoveredCells.RemoveRangeAt(r);
    param.RebuildCoveredCellPool();
}

// Lets the merged-span pools (merging on) and the floated-span pool (floating on) follow lines
// inserted at `first` (count lines) or removed (first..second).
void MoveSpanPools(CGXGridParam& param, bool rows, bool inserted, ROWCOL first, ROWCOL second) {
    CGXAbstractSpanCellPoolImp* imp = GXGetLibraryState().m_pSpanCellPoolImp;
    if (!imp)
        return;
    for (std::size_t i = 0; i < param.m_apSpanCellPools.size(); ++i) {
        const bool on = i < 2 ? param.m_wMergeMode != 0 : param.m_wFloatMode != 0;
        if (!on || !param.m_apSpanCellPools[i])
            continue;
        CGXOwnedObject& pool = *param.m_apSpanCellPools[i];
        inserted ? imp->LinesInserted(pool, rows, first, second)
                 : imp->LinesRemoved(pool, rows, first, second);
    }
}

// What the insert command needs besides the styles that the undo factory saved: which of the
// lines first..last are hidden. Makes the saved data when the factory kept none.
void SaveLineStates(CGXGridCore& grid, ROWCOL first, ROWCOL last,
                    std::unique_ptr<CGXRowColUndoData>& saved, bool rows) {
    if (!saved)
        saved = std::make_unique<CGXRowColUndoData>();
    for (ROWCOL i = first; i <= last && i != GX_INVALID; ++i)
        if (rows ? grid.IsRowHidden(i) : grid.IsColHidden(i))
            saved->m_hidden.push_back(i - first);
}

}  // namespace

bool CGXGridCore::InsertRows(ROWCOL row, ROWCOL count, const int* heights, unsigned flags,
                             int ctCmd, const CGXRowColUndoData* saved) {
    if (!TransferCurrentCell(true))
        return false;
    const bool record = IsRecordingUndo(ctCmd);
    const bool oldRecording = SetUndoRecording(record);
    const bool stored = StoreInsertRows(row, count);
    SetUndoRecording(oldRecording);
    if (!stored) {
        EndUndoStep();
        return false;
    }
    if (heights)
        for (ROWCOL i = 0; i < count; ++i) StoreRowHeight(row + i, heights[i]);
    if (saved) {
        GXFlagScope restoring(m_bInStyleChange, true);
        RestoreSaved(*this, row, count, *saved, true);
        RestoreAfterInsert(*this, row, count, *saved, true);
    }
    UpdateInsertRows(row, count, flags, true);
    if (record)
        if (auto cmd = GetCommandFactory()->CreateRemoveRowsCmd(row, row + count - 1))
            AddCommand(std::move(cmd), ctCmd);
    if (ctCmd == 2 || ctCmd == 3)
        SetUndoPosition(row, GetLeftCol());
    if (saved)
        NotifyCellStoreChanged();
    return true;
}

bool CGXGridCore::InsertCols(ROWCOL col, ROWCOL count, const int* widths, unsigned flags, int ctCmd,
                             const CGXRowColUndoData* saved) {
    if (!TransferCurrentCell(true))
        return false;
    const bool record = IsRecordingUndo(ctCmd);
    const bool oldRecording = SetUndoRecording(record);
    const bool stored = StoreInsertCols(col, count);
    SetUndoRecording(oldRecording);
    if (!stored) {
        EndUndoStep();
        return false;
    }
    if (widths)
        for (ROWCOL i = 0; i < count; ++i) StoreColWidth(col + i, widths[i]);
    if (saved) {
        GXFlagScope restoring(m_bInStyleChange, true);
        RestoreSaved(*this, col, count, *saved, false);
        RestoreAfterInsert(*this, col, count, *saved, false);
    }
    UpdateInsertCols(col, count, flags, true);
    if (record)
        if (auto cmd = GetCommandFactory()->CreateRemoveColsCmd(col, col + count - 1))
            AddCommand(std::move(cmd), ctCmd);
    if (ctCmd == 2 || ctCmd == 3)
        SetUndoPosition(GetTopRow(), col);
    if (saved)
        NotifyCellStoreChanged();
    return true;
}

// Removing saves what goes (styles, values, sizes) for the insert command that undoes it; the
// store itself records nothing of its own. Answers the store's result.
bool CGXGridCore::RemoveRows(ROWCOL from, ROWCOL to, unsigned flags, int ctCmd) {
    if (from > to)
        std::swap(from, to);
    CGXLongOperation op;
    op.SetStatusText(GXLibraryText(20141));
    const bool record = IsRecordingUndo(ctCmd) && !IsLockReadOnly();
    std::unique_ptr<CGXRowColUndoData> saved;
    std::vector<int> heights;
    if (record) {
        if (!GetCommandFactory()->CreateRemoveRowsUndoData(this, from, to, saved))
            return false;
        SaveLineStates(*this, from, to, saved, true);
        for (ROWCOL r = from; r <= to && r != GX_INVALID; ++r)
            heights.push_back(GetOwnRowHeight(r));
    }
    const bool trans = ctCmd == 0 && BeginTrans(GXLibraryText(20145).c_str());
    op.SetStatusText(GXLibraryText(20145));
    if (auto* covered = GetCoveredCellsImp()) {
        bool changed = false;
        covered->RemoveRowsCoverings(this, from, to, changed, record ? ctCmd : 1);
    }
    // The computing cell store records what the removal rewrites, for the insert command.
    const bool oldRecording = SetUndoRecording(record);
    const bool stored = StoreRemoveRows(from, to);
    SetUndoRecording(oldRecording);
    if (stored) {
        if (saved && GetData())
            saved->m_pEngineInfo = GetData()->GetUndoInfo();
        UpdateRemoveRows(from, to, flags, true);
        if (record)
            if (auto cmd = GetCommandFactory()->CreateInsertRowsCmd(
                    from, to - from + 1, std::move(heights), std::move(saved)))
                AddCommand(std::move(cmd), ctCmd);
        if (auto* selection = GetUserSelectRangeImp())
            selection->RowsRemoved(this, from, to);
        NotifyCellStoreChanged();
    } else {
        EndUndoStep();
    }
    // A refused removal takes back the coverings it shortened.
    if (trans)
        stored ? CloseTrans() : Rollback();
    return stored;
}

bool CGXGridCore::RemoveCols(ROWCOL from, ROWCOL to, unsigned flags, int ctCmd) {
    if (from > to)
        std::swap(from, to);
    CGXLongOperation op;
    op.SetStatusText(GXLibraryText(20141));
    const bool record = IsRecordingUndo(ctCmd) && !IsLockReadOnly();
    std::unique_ptr<CGXRowColUndoData> saved;
    std::vector<int> widths;
    if (record) {
        if (!GetCommandFactory()->CreateRemoveColsUndoData(this, from, to, saved))
            return false;
        SaveLineStates(*this, from, to, saved, false);
        for (ROWCOL c = from; c <= to && c != GX_INVALID; ++c) widths.push_back(GetOwnColWidth(c));
    }
    const bool trans = ctCmd == 0 && BeginTrans(GXLibraryText(20146).c_str());
    op.SetStatusText(GXLibraryText(20146));
    if (auto* covered = GetCoveredCellsImp()) {
        bool changed = false;
        covered->RemoveColsCoverings(this, from, to, changed, record ? ctCmd : 1);
    }
    const bool oldRecording = SetUndoRecording(record);
    const bool stored = StoreRemoveCols(from, to);
    SetUndoRecording(oldRecording);
    if (stored) {
        if (saved && GetData())
            saved->m_pEngineInfo = GetData()->GetUndoInfo();
        UpdateRemoveCols(from, to, flags, true);
        if (record)
            if (auto cmd = GetCommandFactory()->CreateInsertColsCmd(
                    from, to - from + 1, std::move(widths), std::move(saved)))
                AddCommand(std::move(cmd), ctCmd);
        if (auto* selection = GetUserSelectRangeImp())
            selection->ColsRemoved(this, from, to);
        NotifyCellStoreChanged();
    } else {
        EndUndoStep();
    }
    if (trans)
        stored ? CloseTrans() : Rollback();
    return stored;
}

bool CGXGridCore::StoreInsertRows(ROWCOL row, ROWCOL count, bool force) {
    if (IsLockReadOnly() || !GetData())
        return false;
    if (!GetData()->InsertRows(row, count) && !force)
        return false;
    SetModifiedFlag(true);
    m_pParam->m_RowHeights.ShiftKeysForInsert(row, count);
    m_pParam->m_SelRects.InsertRowsInRanges(row, count);
    m_pParam->m_CoveredCells.InsertRowsInRanges(row, count);
    RefreshCoverings(*m_pParam);
    MoveSpanPools(*m_pParam, true, true, row, count);
    if (auto* hide = GetHideCellsImp())
        hide->RowsInserted(this, row, count);
    FreeObjectCache();
    return true;
}

bool CGXGridCore::StoreInsertCols(ROWCOL col, ROWCOL count, bool force) {
    if (IsLockReadOnly() || !GetData())
        return false;
    if (!GetData()->InsertCols(col, count) && !force)
        return false;
    m_pParam->m_ColWidths.ShiftKeysForInsert(col, count);
    m_pParam->m_SelRects.InsertColsInRanges(col, count);
    m_pParam->m_CoveredCells.InsertColsInRanges(col, count);
    RefreshCoverings(*m_pParam);
    MoveSpanPools(*m_pParam, false, true, col, count);
    if (auto* hide = GetHideCellsImp())
        hide->ColsInserted(this, col, count);
    FreeObjectCache();
    return true;
}

bool CGXGridCore::StoreRemoveRows(ROWCOL from, ROWCOL to, bool force) {
    if (IsLockReadOnly() || !GetData())
        return false;
    const ROWCOL count = GetRowCount();
    if (!GetData()->RemoveRows(from, to) && !force)
        return false;
    SetModifiedFlag(true);
    m_pParam->m_RowHeights.ShiftKeysForRemove(from, to);
    m_pParam->m_SelRects.RemoveRowsInRanges(from, to, count);
    m_pParam->m_CoveredCells.RemoveRowsInRanges(from, to, count);
    RefreshCoverings(*m_pParam);
    MoveSpanPools(*m_pParam, true, false, from, to);
    if (auto* hide = GetHideCellsImp())
        hide->RowsRemoved(this, from, to);
    FreeObjectCache();
    return true;
}

bool CGXGridCore::StoreRemoveCols(ROWCOL from, ROWCOL to, bool force) {
    if (IsLockReadOnly() || !GetData())
        return false;
    const ROWCOL count = GetColCount();
    if (!GetData()->RemoveCols(from, to) && !force)
        return false;
    SetModifiedFlag(true);
    m_pParam->m_ColWidths.ShiftKeysForRemove(from, to);
    m_pParam->m_SelRects.RemoveColsInRanges(from, to, count);
    m_pParam->m_CoveredCells.RemoveColsInRanges(from, to, count);
    RefreshCoverings(*m_pParam);
    MoveSpanPools(*m_pParam, false, false, from, to);
    if (auto* hide = GetHideCellsImp())
        hide->ColsRemoved(this, from, to);
    FreeObjectCache();
    return true;
}

void CGXGridCore::UpdateInsertRows(ROWCOL row, ROWCOL count, unsigned flags, bool createHint) {
    CGXGridHint hint(8);
    hint.row1 = row;
    hint.countOrResult = static_cast<long>(count);
    hint.flags = flags;
    SendGridHint(hint, createHint);
    InvalidateCachedVisible();
    ROWCOL cr, cc;
    if (GetCurrentCell(cr, cc) && cr >= row) {
        m_nCurrentRow = cr + count;
        if (m_pCurrentCellControl && m_pCurrentCellControl->m_bInit)
            m_pCurrentCellControl->Init(m_nCurrentRow, cc);
    }
    if (m_nTopRow == GetFrozenRows())
        ++m_nTopRow;
    if (UpdatesLocked())
        return;
    const int lock = LockScrollbars(1);
    if (CGXAbstractGridOptimizedUpdateImp* update = GetOptimizedUpdateImp())
        update->OnInsertedRows(this, row, count, flags);
    else
        Redraw(flags & (GX_INVALIDATE | GX_UPDATENOW), false);
    m_nScrollLock = lock;
    if (flags & (GX_UPDATENOW | GX_SMART))
        UpdateScrollbars();
}

void CGXGridCore::UpdateInsertCols(ROWCOL col, ROWCOL count, unsigned flags, bool createHint) {
    CGXGridHint hint(7);
    hint.col1 = col;
    hint.countOrResult = static_cast<long>(count);
    hint.flags = flags;
    SendGridHint(hint, createHint);
    InvalidateCachedVisible();
    ROWCOL cr, cc;
    if (GetCurrentCell(cr, cc) && cc >= col) {
        m_nCurrentCol = cc + count;
        if (m_pCurrentCellControl && m_pCurrentCellControl->m_bInit)
            m_pCurrentCellControl->Init(cr, m_nCurrentCol);
    }
    if (m_nLeftCol == GetFrozenCols())
        ++m_nLeftCol;
    if (UpdatesLocked())
        return;
    const int lock = LockScrollbars(1);
    if (CGXAbstractGridOptimizedUpdateImp* update = GetOptimizedUpdateImp())
        update->OnInsertedCols(this, col, count, flags);
    else
        Redraw(flags & (GX_INVALIDATE | GX_UPDATENOW), false);
    m_nScrollLock = lock;
    if (flags & (GX_UPDATENOW | GX_SMART))
        UpdateScrollbars();
}

void CGXGridCore::UpdateRemoveRows(ROWCOL from, ROWCOL to, unsigned flags, bool createHint) {
    CGXGridHint hint(10);
    hint.row1 = from;
    hint.row2 = to;
    hint.flags = flags;
    SendGridHint(hint, createHint);
    InvalidateCachedVisible();
    ROWCOL cr, cc;
    if (GetCurrentCell(cr, cc) && cr >= from) {
        if (cr <= to)
            ResetCurrentCell();
        else
            m_nCurrentRow = cr - (to - from + 1);
    }
    m_nTopRow = std::clamp<ROWCOL>(m_nTopRow, GetFrozenRows() + 1,
                                   std::max<ROWCOL>(GetRowCount(), GetFrozenRows() + 1));
    if (UpdatesLocked())
        return;
    const int lock = LockScrollbars(1);
    if (CGXAbstractGridOptimizedUpdateImp* update = GetOptimizedUpdateImp())
        update->OnRemovedRows(this, from, to, {}, flags);
    else
        Redraw(flags & (GX_INVALIDATE | GX_UPDATENOW), false);
    m_nScrollLock = lock;
    if (flags & (GX_UPDATENOW | GX_SMART))
        UpdateScrollbars();
}

void CGXGridCore::UpdateRemoveCols(ROWCOL from, ROWCOL to, unsigned flags, bool createHint) {
    CGXGridHint hint(9);
    hint.col1 = from;
    hint.col2 = to;
    hint.flags = flags;
    SendGridHint(hint, createHint);
    InvalidateCachedVisible();
    ROWCOL cr, cc;
    if (GetCurrentCell(cr, cc) && cc >= from) {
        if (cc <= to)
            ResetCurrentCell();
        else
            m_nCurrentCol = cc - (to - from + 1);
    }
    m_nLeftCol = std::clamp<ROWCOL>(m_nLeftCol, GetFrozenCols() + 1,
                                    std::max<ROWCOL>(GetColCount(), GetFrozenCols() + 1));
    if (UpdatesLocked())
        return;
    const int lock = LockScrollbars(1);
    if (CGXAbstractGridOptimizedUpdateImp* update = GetOptimizedUpdateImp())
        update->OnRemovedCols(this, from, to, {}, flags);
    else
        Redraw(flags & (GX_INVALIDATE | GX_UPDATENOW), false);
    m_nScrollLock = lock;
    if (flags & (GX_UPDATENOW | GX_SMART))
        UpdateScrollbars();
}

bool CGXGridCore::SetFrozenRows(ROWCOL frozen, ROWCOL header, unsigned flags, int ctCmd) {
    if (!m_pParam)
        return false;
    const ROWCOL oldFrozen = m_pParam->m_nFrozenRows, oldHeader = m_pParam->m_nHeaderRows;
    if (!StoreFrozenRows(frozen, header))
        return false;
    UpdateFrozenRows(oldFrozen, oldHeader, flags, true);
    if (IsRecordingUndo(ctCmd))
        if (auto cmd = GetCommandFactory()->CreateSetFrozenRowsCmd(oldFrozen, oldHeader))
            AddCommand(std::move(cmd), ctCmd);
    return true;
}

bool CGXGridCore::SetFrozenCols(ROWCOL frozen, ROWCOL header, unsigned flags, int ctCmd) {
    if (!m_pParam)
        return false;
    const ROWCOL oldFrozen = m_pParam->m_nFrozenCols, oldHeader = m_pParam->m_nHeaderCols;
    if (!StoreFrozenCols(frozen, header))
        return false;
    UpdateFrozenCols(oldFrozen, oldHeader, flags, true);
    if (IsRecordingUndo(ctCmd))
        if (auto cmd = GetCommandFactory()->CreateSetFrozenColsCmd(oldFrozen, oldHeader))
            AddCommand(std::move(cmd), ctCmd);
    return true;
}

// --- moving rows and columns -------------------------------------------------------------------

// The moves themselves belong to the move feature; see CGXGridCoreDragFill.cpp.

bool CGXGridCore::StoreFrozenRows(ROWCOL frozen, ROWCOL header) {
    if (!m_pParam || IsLockReadOnly())
        return false;
    m_pParam->m_nFrozenRows = frozen;
    m_pParam->m_nHeaderRows = header;
    FreeObjectCache();
    return true;
}

bool CGXGridCore::StoreFrozenCols(ROWCOL frozen, ROWCOL header) {
    if (!m_pParam || IsLockReadOnly())
        return false;
    m_pParam->m_nFrozenCols = frozen;
    m_pParam->m_nHeaderCols = header;
    FreeObjectCache();
    return true;
}

void CGXGridCore::UpdateFrozenRows(ROWCOL oldFrozen, ROWCOL oldHeader, unsigned flags,
                                   bool createHint) {
    CGXGridHint hint(15);
    hint.row1 = oldFrozen;
    hint.row2 = oldHeader;
    hint.flags = flags;
    SendGridHint(hint, createHint);
    m_nTopRow = std::max(m_nTopRow, GetFrozenRows() + 1);
    InvalidateCachedVisible();
    HideCurrentCell();
    if (!UpdatesLocked())
        Redraw(flags, false);
}

void CGXGridCore::UpdateFrozenCols(ROWCOL oldFrozen, ROWCOL oldHeader, unsigned flags,
                                   bool createHint) {
    CGXGridHint hint(16);
    hint.col1 = oldFrozen;
    hint.col2 = oldHeader;
    hint.flags = flags;
    SendGridHint(hint, createHint);
    m_nLeftCol = std::max(m_nLeftCol, GetFrozenCols() + 1);
    InvalidateCachedVisible();
    HideCurrentCell();
    if (!UpdatesLocked())
        Redraw(flags, false);
}

ROWCOL CGXGridCore::GetFrozenRows() {
    if (!m_pParam)
        return 0;
    if (m_bIgnoreFrozenRows && !(m_bPrintInProgress && !m_bIgnoreFrozenWhilePrinting))
        return 0;
    return m_pParam->m_nFrozenRows;
}

ROWCOL CGXGridCore::GetFrozenCols() {
    if (!m_pParam)
        return 0;
    if (m_bIgnoreFrozenRows && !(m_bPrintInProgress && !m_bIgnoreFrozenWhilePrinting))
        return 0;
    return m_pParam->m_nFrozenCols;
}

ROWCOL CGXGridCore::GetHeaderRows() {
    return m_pParam ? m_pParam->m_nHeaderRows : 0;
}

ROWCOL CGXGridCore::GetHeaderCols() {
    return m_pParam ? m_pParam->m_nHeaderCols : 0;
}

bool CGXGridCore::IsFrozenRow(ROWCOL row) {
    return row != 0 && row <= GetFrozenRows();
}

bool CGXGridCore::IsFrozenCol(ROWCOL col) {
    return col != 0 && col <= GetFrozenCols();
}

ROWCOL CGXGridCore::GetClientRow(ROWCOL row) {
    if (row == GX_INVALID)
        return GX_INVALID;
    const ROWCOL frozen = GetFrozenRows(), top = GetTopRow();
    if (row <= frozen)
        return row;
    if (row < top)
        return 0;
    if (top == frozen + 1)
        return row;
    return row + frozen - top + 1;
}

ROWCOL CGXGridCore::GetClientCol(ROWCOL col) {
    if (col == GX_INVALID)
        return GX_INVALID;
    const ROWCOL frozen = GetFrozenCols(), left = GetLeftCol();
    if (col <= frozen)
        return col;
    if (col < left)
        return 0;
    if (left == frozen + 1)
        return col;
    return col + frozen - left + 1;
}

ROWCOL CGXGridCore::GetRowFromClientRow(ROWCOL clientRow) {
    const ROWCOL frozen = GetFrozenRows();
    if (clientRow <= frozen || clientRow == GX_INVALID)
        return clientRow;
    return clientRow + GetTopRow() - frozen - 1;
}

ROWCOL CGXGridCore::GetColFromClientCol(ROWCOL clientCol) {
    const ROWCOL frozen = GetFrozenCols();
    if (clientCol <= frozen || clientCol == GX_INVALID)
        return clientCol;
    return clientCol + GetLeftCol() - frozen - 1;
}

bool CGXGridCore::SetTopRow(ROWCOL row, unsigned flags, bool createHint) {
    const ROWCOL before = m_nTopRow;
    const bool ok = MoveTopRow(row, flags);
    if (auto* f = GetUpdateHintImp();
        ok && createHint && m_bHintsEnabled && f && !m_bPrintInProgress && m_nTopRow != before)
        f->HintTopRow(this, m_nTopRow, flags);
    return ok;
}

bool CGXGridCore::MoveTopRow(ROWCOL row, unsigned flags) {
    row = std::clamp<ROWCOL>(row, 1, std::max<ROWCOL>(1, GetRowCount()));
    row = std::max(row, GetFrozenRows() + 1);
    InvalidateCachedVisible();
    if (m_bPrintInProgress) {
        m_nPrintTopRow = row;
        return true;
    }
    if (row == m_nTopRow)
        return true;
    if (UpdatesLocked()) {
        if (!CanChangeTopLeft(row, m_nLeftCol))
            return false;
        m_nTopRow = row;
        AfterTopLeftChange(row, m_nLeftCol);
        return true;
    }
    if (flags & (GX_UPDATENOW | GX_SMART)) {
        if (row < m_nTopRow)
            OnScroll(1, m_nTopRow - row);
        else
            OnScroll(3, row - m_nTopRow);
        if ((flags & GX_UPDATENOW) && m_pGridWnd)
            m_pGridWnd->UpdateWindow();
        return true;
    }
    if (!CanChangeTopLeft(row, m_nLeftCol))
        return false;
    m_nTopRow = row;
    if (flags & GX_INVALIDATE) {
        UpdateScrollbars();
        if (m_bInitDone && m_pGridWnd)
            m_pGridWnd->Invalidate();
    }
    AfterTopLeftChange(row, m_nLeftCol);
    return true;
}

bool CGXGridCore::SetLeftCol(ROWCOL col, unsigned flags, bool createHint) {
    const ROWCOL before = m_nLeftCol;
    const bool ok = MoveLeftCol(col, flags);
    if (auto* f = GetUpdateHintImp();
        ok && createHint && m_bHintsEnabled && f && !m_bPrintInProgress && m_nLeftCol != before)
        f->HintLeftCol(this, m_nLeftCol, flags);
    return ok;
}

bool CGXGridCore::MoveLeftCol(ROWCOL col, unsigned flags) {
    col = std::clamp<ROWCOL>(col, 1, std::max<ROWCOL>(1, GetColCount()));
    col = std::max(col, GetFrozenCols() + 1);
    InvalidateCachedVisible();
    if (m_bPrintInProgress) {
        m_nPrintLeftCol = col;
        return true;
    }
    if (col == m_nLeftCol)
        return true;
    if (UpdatesLocked()) {
        if (!CanChangeTopLeft(m_nTopRow, col))
            return false;
        m_nLeftCol = col;
        AfterTopLeftChange(m_nTopRow, col);
        return true;
    }
    if (flags & (GX_UPDATENOW | GX_SMART)) {
        if (col < m_nLeftCol)
            OnScroll(2, m_nLeftCol - col);
        else
            OnScroll(4, col - m_nLeftCol);
        if ((flags & GX_UPDATENOW) && m_pGridWnd)
            m_pGridWnd->UpdateWindow();
        return true;
    }
    if (!CanChangeTopLeft(m_nTopRow, col))
        return false;
    m_nLeftCol = col;
    if (flags & GX_INVALIDATE) {
        UpdateScrollbars();
        if (m_bInitDone && m_pGridWnd)
            m_pGridWnd->Invalidate();
    }
    AfterTopLeftChange(m_nTopRow, col);
    return true;
}
