// Moving a block of rows or columns: the cell data, the sizes, the range lists, the covered,
// floating and merged spans and the current cell move with it; the move is recorded for undo as
// the move back and passed to the other views of the document.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"

class CGXGridMoveRowsColsImp : public CGXAbstractGridMoveRowsColsImp {
public:
    bool StoreMoveRows(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest,
                       bool processed) override;
    void UpdateMoveRows(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest, unsigned flags,
                        bool createHint) override;
    bool StoreMoveCols(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest,
                       bool processed) override;
    void UpdateMoveCols(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest, unsigned flags,
                        bool createHint) override;
    bool MoveRows(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest, unsigned flags,
                  int ctCmd) override;
    bool MoveCols(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest, unsigned flags,
                  int ctCmd) override;
};

// Where row (column) `index` goes when first..last moves to start at `dest`.
ROWCOL GXMovedIndex(ROWCOL index, ROWCOL first, ROWCOL last, ROWCOL dest);
