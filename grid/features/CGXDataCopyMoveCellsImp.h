// Copying, moving and sort-reordering blocks of cells inside a cell store (CGXData). A missing
// cell (a null pointer, or an index past the end of its array) is an empty cell.
#pragma once

#include "grid/core/CGXAbstractComponents.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStyle.h"

#include <memory>
#include <vector>

// The styles that a move overwrote, with their cells; a reverse move given this object puts
// them back. Deleting it deletes the styles it still holds.
class CGXDataUndoMoveCellsInfo : public CGXOwnedObject {
public:
    struct Entry {
        ROWCOL row;
        ROWCOL col;
        std::unique_ptr<CGXStyle> style;
    };
    std::vector<Entry> m_entries;
};

class CGXDataCopyMoveCellsImp : public CGXAbstractDataCopyMoveCellsImp {
public:
    // Copies the block so that its top-left cell lands at (destRow, destCol). The source is read
    // whole before anything is written, so a copy onto an overlapping place keeps every value.
    bool CopyCells(CGXData& data, const CGXRange& source, ROWCOL destRow, ROWCOL destCol) override;
    bool MoveCells(CGXData& data, const CGXRange& source, ROWCOL destRow, ROWCOL destCol) override;
    // The move with its undo data: `info` (a CGXDataUndoMoveCellsInfo from an earlier move, or
    // null) has its styles put back after the move; with keepForUndo the styles this move
    // overwrites go into `info` (made when null) instead of being deleted.
    bool MoveCellsEx(CGXData& data, const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                     std::unique_ptr<CGXOwnedObject>& info, bool keepForUndo);
};

class CGXGridSortMoveDataImp : public CGXAbstractGridSortMoveDataImp {
public:
    // New row top + i receives old row top + order[i] (cells and row styles); order must be a
    // permutation of 0..n-1 (anything else is refused with FALSE and nothing changes).
    bool SortMoveRows(CGXData& data, const CGXRange& range,
                      const std::vector<ROWCOL>& order) override;
    bool SortMoveCols(CGXData& data, const CGXRange& range,
                      const std::vector<ROWCOL>& order) override;
};

void InstallDataCopyMoveCellsImp();
void InstallSortMoveDataImp();
