// Clearing cells and copying or moving blocks of cells inside a grid, each as one undoable user
// operation with progress and abort.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"
#include "grid/core/CGXRange.h"

class CGXGridClearCellsImp : public CGXAbstractGridClearCellsImp {
public:
    bool CanClear(CGXGridCore* grid) override;
    bool Clear(CGXGridCore* grid, bool styles) override;
    // Clears exactly the cells of the listed ranges (cells between two ranges stay).
    bool ClearCells(CGXGridCore* grid, const CGXRangeList& list, bool styles) override;
};

class CGXGridDirectCopyMoveCellsImp : public CGXAbstractGridDirectCopyMoveCellsImp {
public:
    bool CopyCells(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                   unsigned flags) override;
    bool StoreCopyCells(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow,
                        ROWCOL destCol) override;
    // Answers the cell store's result, so that a caller can tell a failed move.
    bool MoveCells(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                   std::unique_ptr<CGXOwnedObject> data, unsigned flags, int ctCmd) override;
    bool StoreMoveCells(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                        std::unique_ptr<CGXOwnedObject>& data, bool keepForUndo) override;
};

// The first row and column after the headers: where whole rows, columns and tables begin.
ROWCOL GXFirstDataRow(CGXGridCore* grid);
ROWCOL GXFirstDataCol(CGXGridCore* grid);
// Asks the undo-buffer question (OK goes on without undo data); TRUE on OK.
bool GXConfirmTooLargeForUndo();
