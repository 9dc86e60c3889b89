#include "grid/features/CGXRowColCommands.h"

#include "framework/dialogs/MessageBox.h"
#include "framework/persist/StringTable.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/GXLibraryState.h"

#include <cstdint>
#include <new>

namespace {

// The stored style at a place, or null when nothing is stored there.
std::unique_ptr<CGXStyle> Saved(CGXGridCore* grid, ROWCOL row, ROWCOL col, int styleType) {
    std::unique_ptr<CGXStyle> s = grid->CreateStyle();
    if (grid->GetStyleRowCol(row, col, *s, gxCopy, styleType))
        return s;
    grid->RecycleStyle(std::move(s));
    return nullptr;
}

bool ConfirmTooLarge() {
    std::string text = fw::LoadString(20082);
    if (text.empty())
        text = "Operation is too large for the undo buffer. Do you want to continue?";
    return fw::AppMessageBox(text, fw::MB_OKCANCEL | fw::MB_ICONQUESTION) == fw::IDOK;
}

// Lines first..last of rows (or columns), each with `cells` places across.
bool SaveLines(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL cells, bool rows,
               std::unique_ptr<CGXRowColUndoData>& out) {
    out.reset();
    if (first > last || last == GX_INVALID)
        return true;
    const ROWCOL count = last - first + 1;
    const std::uint64_t total = static_cast<std::uint64_t>(count) * cells;
    if (total >= 0x7FFFFFFFu || count > 0x7FFF || cells > 0x7FFF)
        return ConfirmTooLarge();
    auto data = std::make_unique<CGXRowColUndoData>();
    data->m_nCount = count;
    data->m_nCells = cells;
    CGXLongOperation op;
    try {
        data->m_cells.reserve(static_cast<std::size_t>(total));
        data->m_lines.reserve(count);
        for (ROWCOL line = first; line <= last; ++line) {
            for (ROWCOL k = 0; k < cells; ++k)
                data->m_cells.push_back(rows ? Saved(grid, line, k, gxValueStore)
                                             : Saved(grid, k, line, gxValueStore));
            data->m_lines.push_back(rows ? Saved(grid, line, 0, gxRowColStyle)
                                         : Saved(grid, 0, line, gxRowColStyle));
            CGXLongOperation::SetPercentDone(static_cast<int>(100ULL * (line - first + 1) / count));
            bool abort = false;
            if (op.CheckProgressCanAbort(abort) && abort)
                return false;
        }
    } catch (const std::bad_alloc&) {
        return ConfirmTooLarge();
    }
    out = std::move(data);
    return true;
}

}  // namespace

bool GXSaveRemovedRows(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                       std::unique_ptr<CGXRowColUndoData>& out) {
    return SaveLines(grid, first, last, grid->GetColCount() + 1, true, out);
}

bool GXSaveRemovedCols(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                       std::unique_ptr<CGXRowColUndoData>& out) {
    return SaveLines(grid, first, last, grid->GetRowCount() + 1, false, out);
}

bool CGXInsertRowsCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->InsertRows(m_nFirst, m_nCount, Sizes(), GX_UPDATENOW, ctCmd, m_data.get());
}
std::string CGXInsertRowsCmd::GetDescription() const {
    return GXLibraryText(20145);
}
bool CGXInsertColsCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->InsertCols(m_nFirst, m_nCount, Sizes(), GX_UPDATENOW, ctCmd, m_data.get());
}
std::string CGXInsertColsCmd::GetDescription() const {
    return GXLibraryText(20146);
}

bool CGXRemoveRowsCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->RemoveRows(m_nFirst, m_nLast, GX_UPDATENOW, ctCmd);
}
std::string CGXRemoveRowsCmd::GetDescription() const {
    return GXLibraryText(20164);
}
bool CGXRemoveColsCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return grid->RemoveCols(m_nFirst, m_nLast, GX_UPDATENOW, ctCmd);
}
std::string CGXRemoveColsCmd::GetDescription() const {
    return GXLibraryText(20165);
}
