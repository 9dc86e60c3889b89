// Repaints after rows or columns were inserted, removed or resized by scrolling the part of the
// window below (right of) the change instead of repainting the whole grid. Flags are the grid's
// update flags: GX_INVALIDATE alone invalidates from the change on, GX_UPDATENOW or GX_SMART
// scroll, GX_UPDATENOW also repaints at once. A change in the frozen rows (columns), or any
// change while merged or floating cells are on, repaints everything, as spans may move.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"

class CGXGridOptimizedUpdateImp : public CGXAbstractGridOptimizedUpdateImp {
public:
    void OnInsertedRows(CGXGridCore* grid, ROWCOL first, ROWCOL count, unsigned flags) override;
    void OnInsertedCols(CGXGridCore* grid, ROWCOL first, ROWCOL count, unsigned flags) override;
    void OnRemovedRows(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                       std::span<const int> oldHeights, unsigned flags) override;
    void OnRemovedCols(CGXGridCore* grid, ROWCOL first, ROWCOL last, std::span<const int> oldWidths,
                       unsigned flags) override;
    void OnChangedRowHeights(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                             std::span<const int> oldHeights, unsigned flags) override;
    void OnChangedColWidths(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                            std::span<const int> oldWidths, unsigned flags) override;
};
