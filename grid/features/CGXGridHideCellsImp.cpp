#include "grid/features/CGXGridHideCellsImp.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXProperties.h"
#include "grid/features/GXBitArray.h"

namespace {

gxbits::Bytes* Bits(CGXGridCore* grid, bool rows) {
    CGXGridParam* p = grid->GetParam();
    if (!p)
        return nullptr;
    return rows ? &p->m_abHiddenRows : &p->m_abHiddenCols;
}

// Hides or shows rows (columns) first..last: each takes its value from `values` when given,
// else `hide`. TRUE when any of them changed.
bool HideRange(CGXGridCore* grid, bool rows, ROWCOL first, ROWCOL last, bool hide,
               const bool* values, unsigned flags, int ctCmd) {
    if (!grid->GetParam())
        return false;
    if (last == 0)
        last = first;
    if (last < first)
        return false;
    CGXLongOperation op;
    std::vector<int> oldSizes =
        rows ? grid->GetRowHeights(first, last) : grid->GetColWidths(first, last);
    std::vector<bool> oldStates;
    bool changed = false;
    for (ROWCOL i = first; i <= last && i != GX_INVALID; ++i) {
        const bool was = rows ? grid->IsRowHidden(i) : grid->IsColHidden(i);
        oldStates.push_back(was);
        const bool now = values ? values[i - first] : hide;
        if (rows)
            grid->StoreHideRow(i, now);
        else
            grid->StoreHideCol(i, now);
        changed |= (rows ? grid->IsRowHidden(i) : grid->IsColHidden(i)) != was;
        op.CheckProgress();
    }
    if (!changed)
        return false;
    if (rows)
        grid->OnRowHeightChanged(first, last, oldSizes, flags, true);
    else
        grid->OnColWidthChanged(first, last, oldSizes, flags, true);
    if (grid->IsRecordingUndo(ctCmd)) {
        CGXAbstractCommandFactory* f = grid->GetCommandFactory();
        auto cmd = rows ? f->CreateHideRowsCmd(first, last, std::move(oldStates))
                        : f->CreateHideColsCmd(first, last, std::move(oldStates));
        if (cmd)
            grid->AddCommand(std::move(cmd), ctCmd);
    }
    return true;
}

}  // namespace

void CGXGridHideCellsImp::RowsRemoved(CGXGridCore* grid, ROWCOL first, ROWCOL last) {
    if (auto* b = Bits(grid, true))
        gxbits::Remove(*b, first, last);
}
void CGXGridHideCellsImp::ColsRemoved(CGXGridCore* grid, ROWCOL first, ROWCOL last) {
    if (auto* b = Bits(grid, false))
        gxbits::Remove(*b, first, last);
}
void CGXGridHideCellsImp::RowsInserted(CGXGridCore* grid, ROWCOL at, ROWCOL count) {
    if (auto* b = Bits(grid, true))
        gxbits::Insert(*b, at, count);
}
void CGXGridHideCellsImp::ColsInserted(CGXGridCore* grid, ROWCOL at, ROWCOL count) {
    if (auto* b = Bits(grid, false))
        gxbits::Insert(*b, at, count);
}
// `dest` is where the block starts after the move; the bit array counts before it.
void CGXGridHideCellsImp::RowsMoved(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest) {
    if (auto* b = Bits(grid, true))
        gxbits::Move(*b, first, last, dest > first ? dest + (last - first + 1) : dest);
}
void CGXGridHideCellsImp::ColsMoved(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest) {
    if (auto* b = Bits(grid, false))
        gxbits::Move(*b, first, last, dest > first ? dest + (last - first + 1) : dest);
}

bool CGXGridHideCellsImp::HideRows(CGXGridCore* grid, ROWCOL first, ROWCOL last, bool hide,
                                   const bool* values, unsigned flags, int ctCmd) {
    return HideRange(grid, true, first, last, hide, values, flags, ctCmd);
}
bool CGXGridHideCellsImp::HideCols(CGXGridCore* grid, ROWCOL first, ROWCOL last, bool hide,
                                   const bool* values, unsigned flags, int ctCmd) {
    return HideRange(grid, false, first, last, hide, values, flags, ctCmd);
}

// Row 0 is hidden on paper when the column headers are not printed.
bool CGXGridHideCellsImp::IsRowHidden(CGXGridCore* grid, ROWCOL row) {
    if (row == 0 && grid->IsPrinting() && grid->GetProperties() &&
        !grid->GetProperties()->GetPrintColHeaders())
        return true;
    auto* b = Bits(grid, true);
    return b && gxbits::Test(*b, row);
}
bool CGXGridHideCellsImp::IsColHidden(CGXGridCore* grid, ROWCOL col) {
    if (col == 0 && grid->IsPrinting() && grid->GetProperties() &&
        !grid->GetProperties()->GetPrintRowHeaders())
        return true;
    auto* b = Bits(grid, false);
    return b && gxbits::Test(*b, col);
}

bool CGXGridHideCellsImp::StoreHideRow(CGXGridCore* grid, ROWCOL row, bool hide) {
    auto* b = Bits(grid, true);
    if (!b)
        return false;
    gxbits::Set(*b, row, hide);
    return true;
}
bool CGXGridHideCellsImp::StoreHideCol(CGXGridCore* grid, ROWCOL col, bool hide) {
    auto* b = Bits(grid, false);
    if (!b)
        return false;
    gxbits::Set(*b, col, hide);
    return true;
}
