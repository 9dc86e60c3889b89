// Fits row heights (column widths) to what their cells' texts need, as one undoable step. Each
// cell is measured with its own font: the lines of its control's text plus the cell's borders.
// A covered block is measured once, at its bottom row (right column), and only when it lies in
// the range. Flags bit 8: sizes only grow.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"

class CGXGridResizeToFitImp : public CGXAbstractGridResizeToFitImp {
public:
    bool ResizeRowHeightsToFit(CGXGridCore* grid, const CGXRange& range, bool unused,
                               unsigned flags) override;
    bool ResizeColWidthsToFit(CGXGridCore* grid, const CGXRange& range, bool unused,
                              unsigned flags) override;
};

inline constexpr unsigned GX_NOSHRINKSIZE = 0x08;
