#include "grid/features/CGXGridCellBlocks.h"

#include "framework/dialogs/MessageBox.h"
#include "framework/persist/StringTable.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXCommandFactory.h"
#include "grid/features/CGXDataCopyMoveCellsImp.h"
#include "grid/features/GXUndoOff.h"

ROWCOL GXFirstDataRow(CGXGridCore* grid) {
    return grid->GetHeaderRows() + 1;
}
ROWCOL GXFirstDataCol(CGXGridCore* grid) {
    return grid->GetHeaderCols() + 1;
}

bool GXConfirmTooLargeForUndo() {
    return fw::AppMessageBox(fw::LoadString(20082), fw::MB_OKCANCEL | fw::MB_ICONQUESTION) ==
           fw::IDOK;
}

// --- clearing ------------------------------------------------------------------------------------

bool CGXGridClearCellsImp::CanClear(CGXGridCore* grid) {
    if (grid->IsReadOnly() || !grid->GetParam())
        return false;
    ROWCOL row, col;
    return !grid->GetParam()->m_SelRects.IsEmpty() || grid->GetCurrentCell(row, col);
}

bool CGXGridClearCellsImp::Clear(CGXGridCore* grid, bool styles) {
    CGXRangeList list;
    if (!grid->CopyRangeList(list, true))
        return false;
    return ClearCells(grid, list, styles);
}

bool CGXGridClearCellsImp::ClearCells(CGXGridCore* grid, const CGXRangeList& list, bool styles) {
    if (grid->IsReadOnly() || !grid->GetParam())
        return false;
    const std::string name = fw::LoadString(20180);
    const bool transaction = grid->BeginTrans(name.c_str());
    CGXLongOperation op;
    op.SetStatusText(name);
    CGXLongOperation::SetCanRollback(transaction);

    const ROWCOL rowCount = grid->GetRowCount();
    const ROWCOL colCount = grid->GetColCount();
    CGXRangeList cells;
    for (const CGXRange& r : list) {
        CGXRange c = r;
        c.ResolveToCells(GXFirstDataRow(grid), GXFirstDataCol(grid), rowCount, colCount);
        c.bottom = std::min(c.bottom, rowCount);
        c.right = std::min(c.right, colCount);
        if (c.top <= c.bottom && c.left <= c.right)
            cells.AddTail(c);
    }
    std::vector<ROWCOL> rowFirst, rowLast, colFirst, colLast;
    cells.GetRowSpans(rowCount, rowFirst, rowLast, false);
    cells.GetColSpans(colCount, colFirst, colLast, false);

    const bool oldInside = grid->m_bInsideClearUpdate;
    grid->m_bInsideClearUpdate = true;
    std::unique_ptr<CGXStyle> empty = grid->CreateStyle();
    empty->SetValue(std::string());
    bool aborted = false;
    bool failed = false;
    for (std::size_t i = 0; i < rowFirst.size() && !aborted && !failed; ++i) {
        for (std::size_t j = 0; j < colFirst.size() && !aborted && !failed; ++j) {
            CGXRange block;
            block.SetCells(rowFirst[i], colFirst[j], rowLast[i], colLast[j]);
            bool any = false;
            for (const CGXRange& r : cells) {
                CGXRange meet;
                any = any || meet.SetIntersection(r, block);
            }
            if (!any)
                continue;
            // The block's old styles go into the transaction first, so that a roll-back or an
            // undo finds them whatever part of the block was cleared.
            if (GXIsRecordingUndo(grid, 0))
                grid->AddCommand(
                    std::make_unique<CGXSetStyleRangeCmd>(block, 0, GXSaveCellStyles(grid, block)),
                    0);
            GXUndoOff off(grid->GetParam());
            for (ROWCOL row = block.top; row <= block.bottom && !aborted && !failed; ++row) {
                for (ROWCOL col = block.left; col <= block.right; ++col) {
                    if (!cells.ContainsCell(row, col))
                        continue;
                    if (styles) {
                        if (!grid->StoreStyleRowCol(row, col, nullptr, gxCopy, 0)) {
                            failed = true;
                            break;
                        }
                        continue;
                    }
                    const CGXStyle& style = grid->LookupStyleRowCol(row, col);
                    std::string text;
                    if (CGXControl* c = grid->GetRegisteredControl(style.GetControl()))
                        c->GetControlText(text, row, col, nullptr, style);
                    else
                        text = style.GetValue();
                    if (text.empty())
                        continue;
                    if (!grid->StoreStyleRowCol(row, col, empty.get(), gxOverride, 0)) {
                        failed = true;
                        break;
                    }
                }
                bool abort = false;
                op.CheckProgressCanAbort(abort);
                aborted = abort;
            }
        }
    }
    grid->m_bInsideClearUpdate = oldInside;
    grid->FreeObjectCache();
    if (aborted || failed) {
        if (failed || CGXLongOperation::GetRollbackConfirmedState())
            grid->Rollback();
        else
            grid->CommitTrans();
        grid->Redraw(GX_INVALIDATE);
        return false;
    }
    grid->CommitTrans();
    grid->Redraw(GX_INVALIDATE);
    return true;
}

// --- block copy and move ------------------------------------------------------------------------

bool CGXGridDirectCopyMoveCellsImp::CopyCells(CGXGridCore* grid, const CGXRange& source,
                                              ROWCOL destRow, ROWCOL destCol, unsigned flags) {
    if (grid->IsReadOnly() || !grid->GetParam())
        return false;
    const std::string name = fw::LoadString(20178);
    grid->BeginTrans(name.c_str());
    CGXLongOperation op;
    op.SetStatusText(name);
    CGXRange dest;
    dest.SetCells(destRow, destCol, destRow + (source.bottom - source.top),
                  destCol + (source.right - source.left));
    bool record = GXIsRecordingUndo(grid, 0);
    std::vector<std::unique_ptr<CGXStyle>> saved;
    if (record) {
        if (CGXGridCore::IsTooLargeForUndo(dest, grid->GetRowCount(), grid->GetColCount())) {
            if (!GXConfirmTooLargeForUndo()) {
                grid->CommitTrans();
                return false;
            }
            record = false;
        } else {
            try {
                saved = GXSaveCellStyles(grid, dest);
            } catch (const std::bad_alloc&) {
                record = false;
                saved.clear();
            }
        }
    }
    bool ok;
    {
        GXUndoOff off(grid->GetParam());
        ok = StoreCopyCells(grid, source, destRow, destCol);
    }
    grid->FreeObjectCache();
    if (ok) {
        grid->CommitTrans();
        grid->RedrawRowCol(dest, GX_INVALIDATE);
        grid->RefreshCurrentCell();
        if (record)
            grid->AddCommand(std::make_unique<CGXSetStyleRangeCmd>(dest, 0, std::move(saved)), 0);
    } else {
        grid->Rollback();
    }
    grid->Redraw(flags);
    return ok;
}

bool CGXGridDirectCopyMoveCellsImp::StoreCopyCells(CGXGridCore* grid, const CGXRange& source,
                                                   ROWCOL destRow, ROWCOL destCol) {
    CGXData* data = grid->GetData();
    return !data || data->CopyCells(source, destRow, destCol);
}

bool CGXGridDirectCopyMoveCellsImp::MoveCells(CGXGridCore* grid, const CGXRange& source,
                                              ROWCOL destRow, ROWCOL destCol,
                                              std::unique_ptr<CGXOwnedObject> data, unsigned flags,
                                              int ctCmd) {
    if (grid->IsReadOnly() || !grid->GetData())
        return false;
    CGXLongOperation op;
    op.SetStatusText(fw::LoadString(20179));
    const bool record = GXIsRecordingUndo(grid, ctCmd);
    const bool ok = StoreMoveCells(grid, source, destRow, destCol, data, record);
    grid->FreeObjectCache();
    if (ok) {
        CGXRange dest;
        dest.SetCells(destRow, destCol, destRow + (source.bottom - source.top),
                      destCol + (source.right - source.left));
        grid->RedrawRowCol(dest, GX_INVALIDATE);
        grid->RedrawRowCol(source, GX_INVALIDATE);
        grid->RefreshCurrentCell();
        if (record)
            grid->AddCommand(
                std::make_unique<CGXMoveCellsCmd>(source, destRow, destCol, std::move(data)),
                ctCmd);
    }
    grid->Redraw(flags);
    return ok;
}

bool CGXGridDirectCopyMoveCellsImp::StoreMoveCells(CGXGridCore* grid, const CGXRange& source,
                                                   ROWCOL destRow, ROWCOL destCol,
                                                   std::unique_ptr<CGXOwnedObject>& data,
                                                   bool keepForUndo) {
    CGXData* store = grid->GetData();
    if (!store)
        return true;
    if (grid->IsLockReadOnly())
        return false;
    if (store->MoveCellsUndoable(source, destRow, destCol, data, keepForUndo))
        return true;
    if (auto* imp =
            dynamic_cast<CGXDataCopyMoveCellsImp*>(GXGetLibraryState().m_pDataCopyMoveCellsImp))
        return imp->MoveCellsEx(*store, source, destRow, destCol, data, keepForUndo);
    return store->MoveCells(source, destRow, destCol);
}
