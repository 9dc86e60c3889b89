// What removing rows (or columns) destroys, kept by the undo factory so that inserting them again
// restores them whole: the stored style of every cell of each removed row (column) and the row
// (column) style itself, which of them were hidden, the coverings that the removal shortened or
// dropped, and the computing cell store's saved cells. Sizes travel with the command.
#pragma once

#include "grid/core/CGXRange.h"
#include "grid/core/GXTypes.h"

#include <memory>
#include <vector>

class CGXStyle;

class CGXRowColUndoData : public CGXOwnedObject {
public:
    CGXRowColUndoData();
    ~CGXRowColUndoData() override;
    CGXRowColUndoData(const CGXRowColUndoData&) = delete;
    CGXRowColUndoData& operator=(const CGXRowColUndoData&) = delete;

    // Rows (columns) saved, and the cells of each: columns (rows) 0 .. m_nCells - 1.
    ROWCOL m_nCount = 0;
    ROWCOL m_nCells = 0;
    // m_nCount * m_nCells styles, one removed row (column) after the other; null where nothing
    // was stored.
    std::vector<std::unique_ptr<CGXStyle>> m_cells;
    // The row (column) styles, one per removed row (column); null where none.
    std::vector<std::unique_ptr<CGXStyle>> m_lines;
    // The hidden ones among the removed rows (columns), as offsets from the first.
    std::vector<ROWCOL> m_hidden;
    // The coverings that met the removed rows (columns), as they were before the removal.
    std::vector<CGXRange> m_coverings;
    // What the computing cell store recorded while it removed them (null when nothing): the
    // cells and formulas as they were, put back once the rows (columns) are in again.
    std::unique_ptr<CGXOwnedObject> m_pEngineInfo;
};
