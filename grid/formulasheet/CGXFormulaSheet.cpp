#include "grid/formulasheet/CGXFormulaSheet.h"

#include "grid/formula/CellContents.h"
#include "grid/formula/EngineState.h"
#include "grid/formula/RangeOps.h"
#include "grid/formula/Recalc.h"
#include "grid/formulasheet/GXFormulaSheetRanges.h"

#include <algorithm>

using namespace formula;

const fw::RuntimeClass CGXFormulaSheet::kClass{"CGXFormulaSheet", 1, &CGXData::kClass,
                                               fw::CreateInstance<CGXFormulaSheet>};

CGXFormulaSheet::CGXFormulaSheet() : sheet_(GXCreateSheet()), poolToken_(std::make_shared<int>()) {
    Engine().owner = this;
}

CGXFormulaSheet::~CGXFormulaSheet() {
    pendingUndo_.reset();
    GXDestroySheet(sheet_);
}

GXEngineSheet& CGXFormulaSheet::Engine() const {
    return *GXGetSheet(sheet_);
}

bool CGXFormulaSheet::InSheet(ROWCOL row, ROWCOL col) const {
    return row <= static_cast<ROWCOL>(GX_MAX_ROW) && col <= static_cast<ROWCOL>(GX_MAX_COL) + 1;
}

GXEngineCell* CGXFormulaSheet::FindCell(ROWCOL row, ROWCOL col) const {
    if (!InSheet(row, col))
        return nullptr;
    return GXFindCell(Engine(), GXEngineRow(row), GXEngineCol(col));
}

// The engine compares every new changed range with those it holds; a store of many cells (a
// paste, a copy from a plain store) would make that quadratic, so past a few dozen ranges they
// become their bounding range: it marks at least every dependant, which is all that counts.
void CGXFormulaSheet::Changed(ROWCOL row, ROWCOL col) {
    constexpr std::size_t kMaxChangedRanges = 64;
    const GXRangeRef cell = GXMakeCell(GXEngineRow(row), GXEngineCol(col));
    std::vector<GXRangeRef>& ranges = Engine().changedRanges;
    if (ranges.size() < kMaxChangedRanges) {
        GXAddChangedRange(sheet_, cell);
        return;
    }
    int top = cell.firstRow(), left = cell.firstCol();
    int bottom = cell.lastRow(), right = cell.lastCol();
    for (const GXRangeRef& r : ranges) {
        top = std::min(top, r.firstRow());
        left = std::min(left, r.firstCol());
        bottom = std::max(bottom, r.lastRow());
        right = std::max(right, r.lastCol());
    }
    ranges.assign(1, GXMakeRange(top, left, bottom, right));
}

void CGXFormulaSheet::ResetEngine() {
    pendingUndo_.reset();
    GXResetSheet(sheet_);
    Engine().owner = this;
    // Saved cells of the old pool went with it.
    poolToken_ = std::make_shared<int>();
}

void CGXFormulaSheet::DeleteContents() {
    CGXData::DeleteContents();
    ResetEngine();
}

void CGXFormulaSheet::InitParam(CGXGridParam*) {
    // The grid parameter object keeps no option that a computing store needs changed.
}

// --- rows and columns --------------------------------------------------------------------------

bool CGXFormulaSheet::InsertRows(ROWCOL row, ROWCOL count) {
    GXUndoRecordingScope recording(Engine().undoRecording, undoSwitch_);
    GXInsertRows(sheet_, GXEngineRow(row), static_cast<int>(std::min<ROWCOL>(count, GX_MAX_ROW)));
    CollectUndo(true, false);
    return CGXData::InsertRows(row, count);
}

bool CGXFormulaSheet::InsertCols(ROWCOL col, ROWCOL count) {
    GXUndoRecordingScope recording(Engine().undoRecording, undoSwitch_);
    GXInsertCols(sheet_, GXEngineCol(col), static_cast<int>(std::min<ROWCOL>(count, GX_MAX_COL)));
    CollectUndo(true, false);
    return CGXData::InsertCols(col, count);
}

bool CGXFormulaSheet::RemoveRows(ROWCOL from, ROWCOL to) {
    GXUndoRecordingScope recording(Engine().undoRecording, undoSwitch_);
    if (from <= to) {
        const ROWCOL count = std::min<ROWCOL>(to - from + 1, GX_MAX_ROW);
        SaveBeforeRemoval(GXMakeRange(GXEngineRow(from), 0, GXEngineRow(to), GX_MAX_COL));
        GXRemoveRows(sheet_, GXEngineRow(from), static_cast<int>(count));
        CollectUndo(false, false);
        CollectUndo(true, false);
    }
    return CGXData::RemoveRows(from, to);
}

bool CGXFormulaSheet::RemoveCols(ROWCOL from, ROWCOL to) {
    GXUndoRecordingScope recording(Engine().undoRecording, undoSwitch_);
    if (from <= to) {
        const ROWCOL count = std::min<ROWCOL>(to - from + 1, GX_MAX_COL + 1);
        SaveBeforeRemoval(GXMakeRange(1, GXEngineCol(from), GX_MAX_ROW, GXEngineCol(to)));
        GXRemoveCols(sheet_, GXEngineCol(from), static_cast<int>(count));
        CollectUndo(false, false);
        CollectUndo(true, false);
    }
    return CGXData::RemoveCols(from, to);
}

// The engine frees the cells of removed rows or columns and rewrites the references of every
// formula to them without keeping the old state; while recording, copies of those cells and of
// every formula are saved first, so undo after re-inserting puts them all back.
void CGXFormulaSheet::SaveBeforeRemoval(const GXRangeRef& removed) {
    GXEngineSheet& s = Engine();
    if (!s.undoRecording)
        return;
    std::vector<GXEngineCell*> copies;
    for (GXCellList* list : {&s.values, &s.formulas}) {
        GXListIterator it(*list);
        std::vector<GXEngineCell*> cells;
        while (GXEngineCell* c = it.Next())
            if (c->has(GX_CF_LINKED) && (c->formula || removed.contains(c->row, c->col)))
                cells.push_back(c);
        for (GXEngineCell* c : cells) copies.push_back(GXCloneCell(*list, *c));
    }
    if (copies.empty())
        return;
    if (!pendingUndo_)
        pendingUndo_ = std::make_unique<CGXUndoEngineCellsInfo>(poolToken_);
    std::vector<GXEngineCell*>& first = pendingUndo_->m_first;
    first.insert(first.begin(), copies.begin(), copies.end());
}

bool CGXFormulaSheet::MoveRows(ROWCOL from, ROWCOL to, ROWCOL dest) {
    GXUndoRecordingScope recording(Engine().undoRecording, undoSwitch_);
    if (from <= to && InSheet(to, 0) && InSheet(dest, 0))
        GXMoveRowsOrCols(sheet_, true, GXEngineRow(from), GXEngineRow(to), GXEngineRow(dest));
    CollectUndo(false, false);
    return CGXData::MoveRows(from, to, dest);
}

bool CGXFormulaSheet::MoveCols(ROWCOL from, ROWCOL to, ROWCOL dest) {
    GXUndoRecordingScope recording(Engine().undoRecording, undoSwitch_);
    if (from <= to && InSheet(0, to) && InSheet(0, dest))
        GXMoveRowsOrCols(sheet_, false, GXEngineCol(from), GXEngineCol(to), GXEngineCol(dest));
    CollectUndo(false, false);
    return CGXData::MoveCols(from, to, dest);
}

bool CGXFormulaSheet::SortMoveRows(const CGXRange& range, const std::vector<ROWCOL>& order) {
    std::vector<int> o(order.begin(), order.end());
    GXSortMove(sheet_, true, GXEngineRange(range, GetRowCount(), GetColCount()), o,
               range.IsRows() || range.IsTable());
    return CGXData::SortMoveRows(range, order);
}

bool CGXFormulaSheet::SortMoveCols(const CGXRange& range, const std::vector<ROWCOL>& order) {
    std::vector<int> o(order.begin(), order.end());
    GXSortMove(sheet_, false, GXEngineRange(range, GetRowCount(), GetColCount()), o,
               range.IsCols() || range.IsTable());
    return CGXData::SortMoveCols(range, order);
}

// --- blocks --------------------------------------------------------------------------------------

bool CGXFormulaSheet::CopyCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol) {
    if (!InSheet(destRow, destCol))
        return false;
    const GXRangeRef src = GXEngineRange(source, GetRowCount(), GetColCount());
    GXCopyCells(sheet_, src, GXEngineRow(destRow), GXEngineCol(destCol), true);
    GXAddChangedRange(sheet_, GXMakeRange(GXEngineRow(destRow), GXEngineCol(destCol),
                                          GXEngineRow(destRow) + src.rowCount() - 1,
                                          GXEngineCol(destCol) + src.colCount() - 1));
    CollectUndo(true, false);
    return true;
}

bool CGXFormulaSheet::MoveCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol) {
    std::unique_ptr<CGXUndoEngineCellsInfo> none;
    return MoveCells(source, destRow, destCol, none, false, 0);
}

bool CGXFormulaSheet::MoveCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                                std::unique_ptr<CGXUndoEngineCellsInfo>& info, bool record,
                                int mode) {
    if (!InSheet(destRow, destCol))
        return false;
    if (info && !info->PoolAlive())
        info.reset();  // saved before the sheet was reset: its cells are gone
    GXEngineSheet& s = Engine();
    const bool wasRecording = s.undoRecording;
    s.undoRecording = record;
    // What a move puts back only fills what the move itself vacated.
    if (info)
        RelinkCells(info->m_second, false);
    const GXRangeRef src = GXEngineRange(source, GetRowCount(), GetColCount());
    GXMoveCells(sheet_, src, GXEngineRow(destRow), GXEngineCol(destCol), false);
    if (info)
        RelinkCells(info->m_first, false);
    if (record) {
        if (!info)
            info = std::make_unique<CGXUndoEngineCellsInfo>(poolToken_);
        info->FreeList(info->m_first);
        info->m_first = TakeEngineUndoCells();
        s.undoRecording = mode == 0 || mode == 3;
    }
    GXAddChangedRange(s, GXMakeRange(GXEngineRow(destRow), GXEngineCol(destCol),
                                     GXEngineRow(destRow) + src.rowCount() - 1,
                                     GXEngineCol(destCol) + src.colCount() - 1));
    const int method = s.recalcMethod;
    s.recalcMethod = 1;
    GXRecalc(sheet_);
    s.recalcMethod = method;
    if (record) {
        info->FreeList(info->m_second);
        info->m_second = TakeEngineUndoCells();
    }
    s.undoRecording = wasRecording;
    return true;
}

bool CGXFormulaSheet::MoveCellsUndoable(const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                                        std::unique_ptr<CGXOwnedObject>& data, bool record) {
    auto* saved = dynamic_cast<CGXUndoEngineCellsInfo*>(data.get());
    std::unique_ptr<CGXUndoEngineCellsInfo> info(saved);
    if (saved)
        static_cast<void>(data.release());
    else
        data.reset();  // not ours: nothing of it can be put back
    const bool ok = MoveCells(source, destRow, destCol, info, record, 0);
    data = std::move(info);
    return ok;
}

// --- recalculation and messages ------------------------------------------------------------------

bool CGXFormulaSheet::IsCellChanged(ROWCOL row, ROWCOL col) const {
    const GXEngineCell* cell = FindCell(row, col);
    if (!cell)
        return false;
    return (cell->kind() == GX_CELL_FORMULA && !cell->has(GX_CF_COMPUTED)) ||
           cell->has(GX_CF_CHANGED);
}

void CGXFormulaSheet::SetCellChanged(ROWCOL row, ROWCOL col, bool flag) {
    if (GXEngineCell* cell = FindCell(row, col))
        cell->set(GX_CF_CHANGED, flag);
}

void CGXFormulaSheet::AddRecalcRange(const CGXRange& range) {
    GXAddChangedRange(sheet_, GXEngineRange(range, GetRowCount(), GetColCount()));
}

int CGXFormulaSheet::SetRecalcMode(int mode) {
    const int old = GXGetRecalcMethod(sheet_);
    GXSetRecalcMethod(sheet_, mode != 0 ? 1 : 0);
    return old;
}

bool CGXFormulaSheet::Recalc(bool force) {
    GXEngineSheet& s = Engine();
    const int deferred = GXDeferLists(s, GX_LIST_ALL);
    const int result = force ? GXRecalcAll(sheet_) : GXRecalc(sheet_);
    GXUndeferLists(s, deferred);
    return result != 0;
}

void CGXFormulaSheet::ResetError() {
    GXResetMessage(sheet_);
}

bool CGXFormulaSheet::GetError(std::string& text) const {
    return GXGetMessage(sheet_, text);
}

// --- options -------------------------------------------------------------------------------------

bool CGXFormulaSheet::SetIterationLimit(int count) {
    return GXSetIterationCount(sheet_, count) != 0;
}
int CGXFormulaSheet::GetIterationLimit() const {
    return GXGetIterationCount(sheet_);
}
void CGXFormulaSheet::SetBlanksAreZero(bool on) {
    GXSetBlanksAreZero(sheet_, on ? 1 : 0);
}
bool CGXFormulaSheet::GetBlanksAreZero() const {
    return GXGetBlanksAreZero(sheet_) != 0;
}
void CGXFormulaSheet::SetManualRecalc(bool on) {
    GXSetManualRecalc(sheet_, on ? 1 : 0);
}
bool CGXFormulaSheet::GetManualRecalc() const {
    return GXGetManualRecalc(sheet_) != 0;
}
void CGXFormulaSheet::SetRecalcMethod(bool immediately) {
    GXSetRecalcMethod(sheet_, immediately ? 1 : 0);
}
bool CGXFormulaSheet::GetRecalcMethod() const {
    return GXGetRecalcMethod(sheet_) != 0;
}
void CGXFormulaSheet::SetConstraintCheck(bool on) {
    GXSetConstraintCheck(sheet_, on ? 1 : 0);
    if (on)
        ConstraintStyleId();
}
bool CGXFormulaSheet::GetConstraintCheck() const {
    return GXGetConstraintCheck(sheet_) != 0;
}
