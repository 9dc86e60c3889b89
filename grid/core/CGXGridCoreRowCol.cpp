// Row and column structure: counts, inserting and removing, frozen and header rows and columns,
// client-row mappings and the top row and left column. Each change is a Set (what callers use),
// a Store (the data only) and an Update (the screen).
#include "framework/window/Window.h"
#include "grid/core/CGXAbstractComponents.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridCoreAxis.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXRowColUndoData.h"
#include "grid/core/GXFlagScope.h"
#include "grid/core/GXLibraryState.h"

#include <algorithm>
#include <vector>

const CGXGridCore::Axis CGXGridCore::Axis::kRows{
    .rows = true,
    .count = &CGXGridCore::GetRowCount,
    .frozen = &CGXGridCore::GetFrozenRows,
    .scrolled = &CGXGridCore::m_nTopRow,
    .printScrolled = &CGXGridCore::m_nPrintTopRow,
    .current = &CGXGridCore::m_nCurrentRow,
    .frozenCount = &CGXGridParam::m_nFrozenRows,
    .headerCount = &CGXGridParam::m_nHeaderRows,
    .sizes = &CGXGridParam::m_RowHeights,
    .hintFirst = &CGXGridHint::row1,
    .hintSecond = &CGXGridHint::row2,
    .insert = &CGXGridCore::InsertRows,
    .remove = &CGXGridCore::RemoveRows,
    .storeInsert = &CGXGridCore::StoreInsertRows,
    .storeRemove = &CGXGridCore::StoreRemoveRows,
    .updateInsert = &CGXGridCore::UpdateInsertRows,
    .updateRemove = &CGXGridCore::UpdateRemoveRows,
    .storeFrozen = &CGXGridCore::StoreFrozenRows,
    .updateFrozen = &CGXGridCore::UpdateFrozenRows,
    .size = &CGXGridCore::GetRowHeight,
    .ownSize = &CGXGridCore::GetOwnRowHeight,
    .sizesOf = &CGXGridCore::GetRowHeights,
    .storeSize = &CGXGridCore::StoreRowHeight,
    .sizeChanged = &CGXGridCore::OnRowHeightChanged,
    .hidden = &CGXGridCore::IsRowHidden,
    .countHint = 3,
    .insertHint = 8,
    .removeHint = 10,
    .frozenHint = 15,
    .removingText = 20145,
    .scrollBack = 1,
    .scrollForward = 3,
    .lastVisible = &CGXGridCore::m_nLastVisibleRow,
    .lastVisibleFrom = &CGXGridCore::m_nLastVisibleRowTop,
    .lastPartly = &CGXGridCore::m_bLastRowPartly,
    .sumOfSizes = &CGXGridCore::CalcSumOfRowHeights,
    .setScrolled = &CGXGridCore::SetTopRow,
    .scrollBar = fw::SB_VERT,
    .scrollMessage = fw::WM_VSCROLL,
    .sizeUnit = &CGXGridCore::SizeUnitRows,
    .storedDefault = &CGXGridParam::m_nDefaultRowHeight,
    .defaultSize = &CGXGridCore::GetDefaultRowHeight,
    .storeDefault = &CGXGridCore::StoreDefaultRowHeight,
    .limitSize = &CGXGridCore::m_bLimitRowHeight,
    .sizeHint = 5,
};

const CGXGridCore::Axis CGXGridCore::Axis::kCols{
    .rows = false,
    .count = &CGXGridCore::GetColCount,
    .frozen = &CGXGridCore::GetFrozenCols,
    .scrolled = &CGXGridCore::m_nLeftCol,
    .printScrolled = &CGXGridCore::m_nPrintLeftCol,
    .current = &CGXGridCore::m_nCurrentCol,
    .frozenCount = &CGXGridParam::m_nFrozenCols,
    .headerCount = &CGXGridParam::m_nHeaderCols,
    .sizes = &CGXGridParam::m_ColWidths,
    .hintFirst = &CGXGridHint::col1,
    .hintSecond = &CGXGridHint::col2,
    .insert = &CGXGridCore::InsertCols,
    .remove = &CGXGridCore::RemoveCols,
    .storeInsert = &CGXGridCore::StoreInsertCols,
    .storeRemove = &CGXGridCore::StoreRemoveCols,
    .updateInsert = &CGXGridCore::UpdateInsertCols,
    .updateRemove = &CGXGridCore::UpdateRemoveCols,
    .storeFrozen = &CGXGridCore::StoreFrozenCols,
    .updateFrozen = &CGXGridCore::UpdateFrozenCols,
    .size = &CGXGridCore::GetColWidth,
    .ownSize = &CGXGridCore::GetOwnColWidth,
    .sizesOf = &CGXGridCore::GetColWidths,
    .storeSize = &CGXGridCore::StoreColWidth,
    .sizeChanged = &CGXGridCore::OnColWidthChanged,
    .hidden = &CGXGridCore::IsColHidden,
    .countHint = 4,
    .insertHint = 7,
    .removeHint = 9,
    .frozenHint = 16,
    .removingText = 20146,
    .scrollBack = 2,
    .scrollForward = 4,
    .lastVisible = &CGXGridCore::m_nLastVisibleCol,
    .lastVisibleFrom = &CGXGridCore::m_nLastVisibleColLeft,
    .lastPartly = &CGXGridCore::m_bLastColPartly,
    .sumOfSizes = &CGXGridCore::CalcSumOfColWidths,
    .setScrolled = &CGXGridCore::SetLeftCol,
    .scrollBar = fw::SB_HORZ,
    .scrollMessage = fw::WM_HSCROLL,
    .sizeUnit = &CGXGridCore::SizeUnitCols,
    .storedDefault = &CGXGridParam::m_nDefaultColWidth,
    .defaultSize = &CGXGridCore::GetDefaultColWidth,
    .storeDefault = &CGXGridCore::StoreDefaultColWidth,
    .limitSize = &CGXGridCore::m_bLimitColWidth,
    .sizeHint = 6,
};

ROWCOL CGXGridCore::GetRowCount() {
    CGXData* data = GetData();
    return data ? data->GetRowCount() : 0;
}

ROWCOL CGXGridCore::GetColCount() {
    CGXData* data = GetData();
    return data ? data->GetColCount() : 0;
}

bool CGXGridCore::SetRowCount(ROWCOL count, unsigned flags) {
    return Axis::kRows.SetCount(*this, count, flags);
}

bool CGXGridCore::SetColCount(ROWCOL count, unsigned flags) {
    return Axis::kCols.SetCount(*this, count, flags);
}

bool CGXGridCore::Axis::SetCount(CGXGridCore& g, ROWCOL n, unsigned flags) const {
    const ROWCOL old = Count(g);
    if (n < old)
        return (g.*remove)(n + 1, old, flags, 0);
    if (n > old)
        return (g.*insert)(old + 1, n - old, nullptr, flags, 0, nullptr);
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
    Axis::kRows.UpdateCount(*this, oldCount, flags, createHint);
}

void CGXGridCore::UpdateColCount(ROWCOL oldCount, unsigned flags, bool createHint) {
    Axis::kCols.UpdateCount(*this, oldCount, flags, createHint);
}

void CGXGridCore::Axis::UpdateCount(CGXGridCore& g, ROWCOL oldCount, unsigned flags,
                                    bool createHint) const {
    CGXGridHint hint(countHint);
    hint.*hintFirst = oldCount;
    hint.flags = flags;
    g.SendGridHint(hint, createHint);
    ROWCOL row, col;
    if (g.GetCurrentCell(row, col) && (rows ? row : col) > Count(g))
        g.RefreshCurrentCell();
    g.InvalidateCachedVisible();
    if (g.UpdatesLocked() || !(flags & 7))
        return;
    g.UpdateScrollbars();
    if (g.m_bInitDone && g.m_pGridWnd) {
        // From the first line that changed to the bottom (right) of the grid.
        const ROWCOL first = std::min(oldCount, Count(g)) + 1;
        fw::Rect r = g.GetGridRect();
        const auto [row1, col1] = Cell(first, 0);
        const fw::Rect from = g.CalcRectFromRowCol(row1, col1);
        (rows ? r.top : r.left) = rows ? from.top : from.left;
        const bool below = rows ? r.top < r.bottom : r.left < r.right;
        if (below || first <= Scrolled(g))
            g.m_pGridWnd->InvalidateRect(first <= Scrolled(g) ? g.GetGridRect() : r);
        if (flags & GX_UPDATENOW)
            g.m_pGridWnd->UpdateWindow();
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

// The coverings that meet lines first..last: the ones a removal of those lines shortens, drops
// or shrinks.
std::vector<CGXRange> CoveringsMeeting(const CGXGridParam& param, bool rows, ROWCOL first,
                                       ROWCOL last) {
    std::vector<CGXRange> met;
    for (const CGXRange& r : param.m_CoveredCells) {
        const ROWCOL start = rows ? r.top : r.left, end = rows ? r.bottom : r.right;
        if (r.IsValid() && start <= last && end >= first)
            met.push_back(r);
    }
    return met;
}

// Puts coverings back as they were before a removal changed them, once the lines are there
// again (or were never removed).
void RestoreCoverings(CGXGridCore& grid, const std::vector<CGXRange>& coverings) {
    for (const CGXRange& c : coverings)
        grid.StoreCoveredCellsRowCol(c.top, c.left, c.bottom, c.right, true);
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
    return Axis::kRows.Insert(*this, row, count, heights, flags, ctCmd, saved);
}

bool CGXGridCore::InsertCols(ROWCOL col, ROWCOL count, const int* widths, unsigned flags, int ctCmd,
                             const CGXRowColUndoData* saved) {
    return Axis::kCols.Insert(*this, col, count, widths, flags, ctCmd, saved);
}

bool CGXGridCore::Axis::Insert(CGXGridCore& g, ROWCOL first, ROWCOL n, const int* sizes,
                               unsigned flags, int ctCmd, const CGXRowColUndoData* saved) const {
    if (!g.TransferCurrentCell(true))
        return false;
    const bool record = g.IsRecordingUndo(ctCmd);
    const bool oldRecording = g.SetUndoRecording(record);
    const bool stored = (g.*storeInsert)(first, n, false);
    g.SetUndoRecording(oldRecording);
    if (!stored) {
        g.EndUndoStep();
        return false;
    }
    if (sizes)
        for (ROWCOL i = 0; i < n; ++i) (g.*storeSize)(first + i, sizes[i]);
    if (saved) {
        GXFlagScope restoring(g.m_bInStyleChange, true);
        RestoreSaved(g, first, n, *saved, rows);
        RestoreAfterInsert(g, first, n, *saved, rows);
        RestoreCoverings(g, saved->m_coverings);
    }
    (g.*updateInsert)(first, n, flags, true);
    if (record) {
        CGXAbstractCommandFactory* factory = g.GetCommandFactory();
        if (auto cmd = rows ? factory->CreateRemoveRowsCmd(first, first + n - 1)
                            : factory->CreateRemoveColsCmd(first, first + n - 1))
            g.AddCommand(std::move(cmd), ctCmd);
    }
    if (ctCmd == 2 || ctCmd == 3) {
        const auto [row, col] = Cell(first, rows ? g.GetLeftCol() : g.GetTopRow());
        g.SetUndoPosition(row, col);
    }
    if (saved)
        g.NotifyCellStoreChanged();
    return true;
}

// Removing saves what goes (styles, values, sizes) for the insert command that undoes it; the
// store itself records nothing of its own. Answers the store's result.
bool CGXGridCore::RemoveRows(ROWCOL from, ROWCOL to, unsigned flags, int ctCmd) {
    return Axis::kRows.Remove(*this, from, to, flags, ctCmd);
}

bool CGXGridCore::RemoveCols(ROWCOL from, ROWCOL to, unsigned flags, int ctCmd) {
    return Axis::kCols.Remove(*this, from, to, flags, ctCmd);
}

bool CGXGridCore::Axis::Remove(CGXGridCore& g, ROWCOL from, ROWCOL to, unsigned flags,
                               int ctCmd) const {
    if (from > to)
        std::swap(from, to);
    CGXLongOperation op;
    op.SetStatusText(GXLibraryText(20141));
    const bool record = g.IsRecordingUndo(ctCmd) && !g.IsLockReadOnly();
    CGXAbstractCommandFactory* factory = g.GetCommandFactory();
    std::unique_ptr<CGXRowColUndoData> saved;
    std::vector<int> oldSizes;
    if (record) {
        if (!(rows ? factory->CreateRemoveRowsUndoData(&g, from, to, saved)
                   : factory->CreateRemoveColsUndoData(&g, from, to, saved)))
            return false;
        SaveLineStates(g, from, to, saved, rows);
        for (ROWCOL i = from; i <= to && i != GX_INVALID; ++i) oldSizes.push_back((g.*ownSize)(i));
    }
    const bool trans = ctCmd == 0 && g.BeginTrans(GXLibraryText(removingText).c_str());
    op.SetStatusText(GXLibraryText(removingText));
    // The coverings the removal changes go back with the insert command that undoes it, or at
    // once when the store refuses.
    std::vector<CGXRange> coverings;
    if (auto* covered = g.GetCoveredCellsImp(); covered && g.m_pParam) {
        coverings = CoveringsMeeting(*g.m_pParam, rows, from, to);
        bool changed = false;
        rows ? covered->RemoveRowsCoverings(&g, from, to, changed, false)
             : covered->RemoveColsCoverings(&g, from, to, changed, false);
    }
    // The computing cell store records what the removal rewrites, for the insert command.
    const bool oldRecording = g.SetUndoRecording(record);
    const bool stored = (g.*storeRemove)(from, to, false);
    g.SetUndoRecording(oldRecording);
    if (stored) {
        if (saved && g.GetData())
            saved->m_pEngineInfo = g.GetData()->GetUndoInfo();
        if (saved)
            saved->m_coverings = std::move(coverings);
        (g.*updateRemove)(from, to, flags, true);
        if (record) {
            const ROWCOL n = to - from + 1;
            if (auto cmd = rows ? factory->CreateInsertRowsCmd(from, n, std::move(oldSizes),
                                                               std::move(saved))
                                : factory->CreateInsertColsCmd(from, n, std::move(oldSizes),
                                                               std::move(saved)))
                g.AddCommand(std::move(cmd), ctCmd);
        }
        if (auto* selection = g.GetUserSelectRangeImp())
            rows ? selection->RowsRemoved(&g, from, to) : selection->ColsRemoved(&g, from, to);
        g.NotifyCellStoreChanged();
    } else {
        g.EndUndoStep();
        RestoreCoverings(g, coverings);
    }
    if (trans)
        stored ? g.CloseTrans() : g.Rollback();
    return stored;
}

bool CGXGridCore::StoreInsertRows(ROWCOL row, ROWCOL count, bool force) {
    return Axis::kRows.StoreInsert(*this, row, count, force);
}

bool CGXGridCore::StoreInsertCols(ROWCOL col, ROWCOL count, bool force) {
    return Axis::kCols.StoreInsert(*this, col, count, force);
}

bool CGXGridCore::Axis::StoreInsert(CGXGridCore& g, ROWCOL first, ROWCOL n, bool force) const {
    CGXData* data = g.GetData();
    if (g.IsLockReadOnly() || !data)
        return false;
    if (!(rows ? data->InsertRows(first, n) : data->InsertCols(first, n)) && !force)
        return false;
    g.SetModifiedFlag(true);
    CGXGridParam& param = *g.m_pParam;
    (param.*sizes).ShiftKeysForInsert(first, n);
    if (rows) {
        param.m_SelRects.InsertRowsInRanges(first, n);
        param.m_CoveredCells.InsertRowsInRanges(first, n);
    } else {
        param.m_SelRects.InsertColsInRanges(first, n);
        param.m_CoveredCells.InsertColsInRanges(first, n);
    }
    RefreshCoverings(param);
    MoveSpanPools(param, rows, true, first, n);
    ReevaluateFloats(g, first);
    if (auto* hide = g.GetHideCellsImp())
        rows ? hide->RowsInserted(&g, first, n) : hide->ColsInserted(&g, first, n);
    g.FreeObjectCache();
    return true;
}

bool CGXGridCore::StoreRemoveRows(ROWCOL from, ROWCOL to, bool force) {
    return Axis::kRows.StoreRemove(*this, from, to, force);
}

bool CGXGridCore::StoreRemoveCols(ROWCOL from, ROWCOL to, bool force) {
    return Axis::kCols.StoreRemove(*this, from, to, force);
}

bool CGXGridCore::Axis::StoreRemove(CGXGridCore& g, ROWCOL from, ROWCOL to, bool force) const {
    CGXData* data = g.GetData();
    if (g.IsLockReadOnly() || !data)
        return false;
    const ROWCOL n = Count(g);
    if (!(rows ? data->RemoveRows(from, to) : data->RemoveCols(from, to)) && !force)
        return false;
    g.SetModifiedFlag(true);
    CGXGridParam& param = *g.m_pParam;
    (param.*sizes).ShiftKeysForRemove(from, to);
    if (rows) {
        param.m_SelRects.RemoveRowsInRanges(from, to, n);
        param.m_CoveredCells.RemoveRowsInRanges(from, to, n);
    } else {
        param.m_SelRects.RemoveColsInRanges(from, to, n);
        param.m_CoveredCells.RemoveColsInRanges(from, to, n);
    }
    RefreshCoverings(param);
    MoveSpanPools(param, rows, false, from, to);
    ReevaluateFloats(g, from);
    if (auto* hide = g.GetHideCellsImp())
        rows ? hide->RowsRemoved(&g, from, to) : hide->ColsRemoved(&g, from, to);
    g.FreeObjectCache();
    return true;
}

// The lines of this axis that the window shows from `from` on: the frozen ones and the scrolled
// ones up to the last visible line, as at most two runs first..last.
std::vector<std::pair<ROWCOL, ROWCOL>> CGXGridCore::Axis::ShownFrom(CGXGridCore& g,
                                                                    ROWCOL from) const {
    const ROWCOL last = rows ? g.GetLastVisibleRow() : g.GetLastVisibleCol();
    const ROWCOL frozenLines = std::min(Frozen(g), last);
    from = std::max<ROWCOL>(from, 1);
    std::vector<std::pair<ROWCOL, ROWCOL>> runs;
    if (from <= frozenLines)
        runs.emplace_back(from, frozenLines);
    if (const ROWCOL start = std::max(from, Scrolled(g)); start <= last)
        runs.emplace_back(start, last);
    return runs;
}

// A floated text runs along its row, so inserted or removed lines move or change the spans of
// the lines from the first one changed on. The spans of the shown cells are worked out again
// now; the others are each time they are shown.
void CGXGridCore::Axis::ReevaluateFloats(CGXGridCore& g, ROWCOL first) const {
    CGXAbstractGridFloatCellsImp* floats = g.GetFloatCellsImp();
    if (!floats || !g.m_pParam || g.m_pParam->m_wFloatMode == 0)
        return;
    fw::DeviceContext* dc = g.AcquireGridDC();
    if (!dc)
        return;
    g.InvalidateCachedVisible();
    const auto changedRuns = ShownFrom(g, first);
    const auto otherRuns = (rows ? kCols : kRows).ShownFrom(g, 1);
    CGXRange changed;
    for (const auto& [lo, hi] : changedRuns)
        for (const auto& [otherLo, otherHi] : otherRuns)
            rows ? floats->EvalFloatCells(&g, dc, lo, hi, otherLo, otherHi, changed)
                 : floats->EvalFloatCells(&g, dc, otherLo, otherHi, lo, hi, changed);
    g.ReleaseGridDC();
}

void CGXGridCore::UpdateInsertRows(ROWCOL row, ROWCOL count, unsigned flags, bool createHint) {
    Axis::kRows.UpdateInsert(*this, row, count, flags, createHint);
}

void CGXGridCore::UpdateInsertCols(ROWCOL col, ROWCOL count, unsigned flags, bool createHint) {
    Axis::kCols.UpdateInsert(*this, col, count, flags, createHint);
}

void CGXGridCore::Axis::UpdateInsert(CGXGridCore& g, ROWCOL first, ROWCOL n, unsigned flags,
                                     bool createHint) const {
    CGXGridHint hint(insertHint);
    hint.*hintFirst = first;
    hint.countOrResult = static_cast<long>(n);
    hint.flags = flags;
    g.SendGridHint(hint, createHint);
    g.InvalidateCachedVisible();
    ROWCOL cr, cc;
    if (g.GetCurrentCell(cr, cc) && (rows ? cr : cc) >= first) {
        g.*current = (rows ? cr : cc) + n;
        const auto [row, col] = Cell(g.*current, rows ? cc : cr);
        if (g.m_pCurrentCellControl && g.m_pCurrentCellControl->m_bInit)
            g.m_pCurrentCellControl->Init(row, col);
    }
    if (g.*scrolled == Frozen(g))
        ++(g.*scrolled);
    if (g.UpdatesLocked())
        return;
    const int lock = g.LockScrollbars(1);
    if (CGXAbstractGridOptimizedUpdateImp* update = g.GetOptimizedUpdateImp())
        rows ? update->OnInsertedRows(&g, first, n, flags)
             : update->OnInsertedCols(&g, first, n, flags);
    else
        g.Redraw(flags & (GX_INVALIDATE | GX_UPDATENOW), false);
    g.m_nScrollLock = lock;
    if (flags & (GX_UPDATENOW | GX_SMART))
        g.UpdateScrollbars();
}

void CGXGridCore::UpdateRemoveRows(ROWCOL from, ROWCOL to, unsigned flags, bool createHint) {
    Axis::kRows.UpdateRemove(*this, from, to, flags, createHint);
}

void CGXGridCore::UpdateRemoveCols(ROWCOL from, ROWCOL to, unsigned flags, bool createHint) {
    Axis::kCols.UpdateRemove(*this, from, to, flags, createHint);
}

void CGXGridCore::Axis::UpdateRemove(CGXGridCore& g, ROWCOL from, ROWCOL to, unsigned flags,
                                     bool createHint) const {
    CGXGridHint hint(removeHint);
    hint.*hintFirst = from;
    hint.*hintSecond = to;
    hint.flags = flags;
    g.SendGridHint(hint, createHint);
    g.InvalidateCachedVisible();
    ROWCOL cr, cc;
    if (g.GetCurrentCell(cr, cc) && (rows ? cr : cc) >= from) {
        if ((rows ? cr : cc) <= to)
            g.ResetCurrentCell();
        else
            g.*current = (rows ? cr : cc) - (to - from + 1);
    }
    g.*scrolled =
        std::clamp<ROWCOL>(g.*scrolled, Frozen(g) + 1, std::max<ROWCOL>(Count(g), Frozen(g) + 1));
    if (g.UpdatesLocked())
        return;
    const int lock = g.LockScrollbars(1);
    if (CGXAbstractGridOptimizedUpdateImp* update = g.GetOptimizedUpdateImp())
        rows ? update->OnRemovedRows(&g, from, to, {}, flags)
             : update->OnRemovedCols(&g, from, to, {}, flags);
    else
        g.Redraw(flags & (GX_INVALIDATE | GX_UPDATENOW), false);
    g.m_nScrollLock = lock;
    if (flags & (GX_UPDATENOW | GX_SMART))
        g.UpdateScrollbars();
}

bool CGXGridCore::SetFrozenRows(ROWCOL frozen, ROWCOL header, unsigned flags, int ctCmd) {
    return Axis::kRows.SetFrozen(*this, frozen, header, flags, ctCmd);
}

bool CGXGridCore::SetFrozenCols(ROWCOL frozen, ROWCOL header, unsigned flags, int ctCmd) {
    return Axis::kCols.SetFrozen(*this, frozen, header, flags, ctCmd);
}

bool CGXGridCore::Axis::SetFrozen(CGXGridCore& g, ROWCOL frozenLines, ROWCOL header, unsigned flags,
                                  int ctCmd) const {
    if (!g.m_pParam)
        return false;
    const ROWCOL oldFrozen = g.m_pParam->*frozenCount, oldHeader = g.m_pParam->*headerCount;
    if (!(g.*storeFrozen)(frozenLines, header))
        return false;
    (g.*updateFrozen)(oldFrozen, oldHeader, flags, true);
    if (g.IsRecordingUndo(ctCmd)) {
        CGXAbstractCommandFactory* factory = g.GetCommandFactory();
        if (auto cmd = rows ? factory->CreateSetFrozenRowsCmd(oldFrozen, oldHeader)
                            : factory->CreateSetFrozenColsCmd(oldFrozen, oldHeader))
            g.AddCommand(std::move(cmd), ctCmd);
    }
    return true;
}

// --- moving rows and columns -------------------------------------------------------------------

// The moves themselves belong to the move feature; see CGXGridCoreDragFill.cpp.

bool CGXGridCore::StoreFrozenRows(ROWCOL frozen, ROWCOL header) {
    return Axis::kRows.StoreFrozen(*this, frozen, header);
}

bool CGXGridCore::StoreFrozenCols(ROWCOL frozen, ROWCOL header) {
    return Axis::kCols.StoreFrozen(*this, frozen, header);
}

bool CGXGridCore::Axis::StoreFrozen(CGXGridCore& g, ROWCOL frozenLines, ROWCOL header) const {
    if (!g.m_pParam || g.IsLockReadOnly())
        return false;
    g.m_pParam->*frozenCount = frozenLines;
    g.m_pParam->*headerCount = header;
    g.FreeObjectCache();
    return true;
}

void CGXGridCore::UpdateFrozenRows(ROWCOL oldFrozen, ROWCOL oldHeader, unsigned flags,
                                   bool createHint) {
    Axis::kRows.UpdateFrozen(*this, oldFrozen, oldHeader, flags, createHint);
}

void CGXGridCore::UpdateFrozenCols(ROWCOL oldFrozen, ROWCOL oldHeader, unsigned flags,
                                   bool createHint) {
    Axis::kCols.UpdateFrozen(*this, oldFrozen, oldHeader, flags, createHint);
}

void CGXGridCore::Axis::UpdateFrozen(CGXGridCore& g, ROWCOL oldFrozen, ROWCOL oldHeader,
                                     unsigned flags, bool createHint) const {
    CGXGridHint hint(frozenHint);
    hint.*hintFirst = oldFrozen;
    hint.*hintSecond = oldHeader;
    hint.flags = flags;
    g.SendGridHint(hint, createHint);
    g.*scrolled = std::max(g.*scrolled, Frozen(g) + 1);
    g.InvalidateCachedVisible();
    g.HideCurrentCell();
    if (!g.UpdatesLocked())
        g.Redraw(flags, false);
}

ROWCOL CGXGridCore::GetFrozenRows() {
    return Axis::kRows.GetFrozen(*this);
}

ROWCOL CGXGridCore::GetFrozenCols() {
    return Axis::kCols.GetFrozen(*this);
}

ROWCOL CGXGridCore::Axis::GetFrozen(CGXGridCore& g) const {
    if (!g.m_pParam)
        return 0;
    if (g.m_bIgnoreFrozenRows && !(g.m_bPrintInProgress && !g.m_bIgnoreFrozenWhilePrinting))
        return 0;
    return g.m_pParam->*frozenCount;
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
    return Axis::kRows.ClientOf(*this, row);
}

ROWCOL CGXGridCore::GetClientCol(ROWCOL col) {
    return Axis::kCols.ClientOf(*this, col);
}

ROWCOL CGXGridCore::Axis::ClientOf(CGXGridCore& g, ROWCOL line) const {
    if (line == GX_INVALID)
        return GX_INVALID;
    const ROWCOL frozenLines = Frozen(g), first = Scrolled(g);
    if (line <= frozenLines)
        return line;
    if (line < first)
        return 0;
    if (first == frozenLines + 1)
        return line;
    return line + frozenLines - first + 1;
}

ROWCOL CGXGridCore::GetRowFromClientRow(ROWCOL clientRow) {
    return Axis::kRows.FromClient(*this, clientRow);
}

ROWCOL CGXGridCore::GetColFromClientCol(ROWCOL clientCol) {
    return Axis::kCols.FromClient(*this, clientCol);
}

ROWCOL CGXGridCore::Axis::FromClient(CGXGridCore& g, ROWCOL client) const {
    const ROWCOL frozenLines = Frozen(g);
    if (client <= frozenLines || client == GX_INVALID)
        return client;
    return client + Scrolled(g) - frozenLines - 1;
}

bool CGXGridCore::SetTopRow(ROWCOL row, unsigned flags, bool createHint) {
    return Axis::kRows.SetScrolled(*this, row, flags, createHint);
}

bool CGXGridCore::SetLeftCol(ROWCOL col, unsigned flags, bool createHint) {
    return Axis::kCols.SetScrolled(*this, col, flags, createHint);
}

bool CGXGridCore::MoveTopRow(ROWCOL row, unsigned flags) {
    return Axis::kRows.MoveScrolled(*this, row, flags);
}

bool CGXGridCore::MoveLeftCol(ROWCOL col, unsigned flags) {
    return Axis::kCols.MoveScrolled(*this, col, flags);
}

bool CGXGridCore::Axis::SetScrolled(CGXGridCore& g, ROWCOL line, unsigned flags,
                                    bool createHint) const {
    const ROWCOL before = g.*scrolled;
    const bool ok = MoveScrolled(g, line, flags);
    auto* f = g.GetUpdateHintImp();
    if (ok && createHint && g.m_bHintsEnabled && f && !g.m_bPrintInProgress &&
        g.*scrolled != before)
        rows ? f->HintTopRow(&g, g.*scrolled, flags) : f->HintLeftCol(&g, g.*scrolled, flags);
    return ok;
}

bool CGXGridCore::Axis::MoveScrolled(CGXGridCore& g, ROWCOL line, unsigned flags) const {
    line = std::clamp<ROWCOL>(line, 1, std::max<ROWCOL>(1, Count(g)));
    line = std::max(line, Frozen(g) + 1);
    g.InvalidateCachedVisible();
    if (g.m_bPrintInProgress) {
        g.*printScrolled = line;
        return true;
    }
    if (line == g.*scrolled)
        return true;
    const auto [row, col] = Cell(line, Across(g));
    if (g.UpdatesLocked()) {
        if (!g.CanChangeTopLeft(row, col))
            return false;
        g.*scrolled = line;
        g.AfterTopLeftChange(row, col);
        return true;
    }
    if (flags & (GX_UPDATENOW | GX_SMART)) {
        if (line < g.*scrolled)
            g.OnScroll(scrollBack, g.*scrolled - line);
        else
            g.OnScroll(scrollForward, line - g.*scrolled);
        if ((flags & GX_UPDATENOW) && g.m_pGridWnd)
            g.m_pGridWnd->UpdateWindow();
        return true;
    }
    if (!g.CanChangeTopLeft(row, col))
        return false;
    g.*scrolled = line;
    if (flags & GX_INVALIDATE) {
        g.UpdateScrollbars();
        if (g.m_bInitDone && g.m_pGridWnd)
            g.m_pGridWnd->Invalidate();
    }
    g.AfterTopLeftChange(row, col);
    return true;
}
