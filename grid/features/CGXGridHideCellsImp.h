// Hidden rows and columns. The state lives in the parameter object's two bit arrays, so grids
// that share a parameter object share what is hidden; hiding and showing record their undo.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"

class CGXGridHideCellsImp : public CGXAbstractGridHideCellsImp {
public:
    void RowsRemoved(CGXGridCore* grid, ROWCOL first, ROWCOL last) override;
    void ColsRemoved(CGXGridCore* grid, ROWCOL first, ROWCOL last) override;
    void RowsInserted(CGXGridCore* grid, ROWCOL at, ROWCOL count) override;
    void ColsInserted(CGXGridCore* grid, ROWCOL at, ROWCOL count) override;
    void RowsMoved(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest) override;
    void ColsMoved(CGXGridCore* grid, ROWCOL first, ROWCOL last, ROWCOL dest) override;
    bool HideRows(CGXGridCore* grid, ROWCOL first, ROWCOL last, bool hide, const bool* values,
                  unsigned flags, int ctCmd) override;
    bool IsRowHidden(CGXGridCore* grid, ROWCOL row) override;
    bool StoreHideRow(CGXGridCore* grid, ROWCOL row, bool hide) override;
    bool HideCols(CGXGridCore* grid, ROWCOL first, ROWCOL last, bool hide, const bool* values,
                  unsigned flags, int ctCmd) override;
    bool IsColHidden(CGXGridCore* grid, ROWCOL col) override;
    bool StoreHideCol(CGXGridCore* grid, ROWCOL col, bool hide) override;
};
