// Merged cells: runs of neighbouring cells whose values (or styles) are equal are drawn as one
// cell, along rows and along columns. The spans are computed for the cells on display and kept
// in the parameter object's two span-cell pools for merged cells (by rows, by columns).
#pragma once

#include "grid/core/CGXAbstractFeatures.h"
#include "grid/core/CGXRange.h"

class CGXControl;
class CGXSpanCellPool;
class CGXStyle;

class CGXGridMergeCellsImp : public CGXAbstractGridMergeCellsImp {
public:
    void SetMergeCellsMode(CGXGridCore* grid, std::uint16_t mode, bool redraw) override;
    CGXRange* GetMergedCellRange(CGXGridCore* grid, ROWCOL row, ROWCOL col, CGXRange& range,
                                 int direction) override;
    bool EvalMergeCells(CGXGridCore* grid, ROWCOL top, ROWCOL bottom, ROWCOL left, ROWCOL right,
                        CGXRange& changed) override;
    // The mode on, the style's merge attribute allowing the direction, the direction not
    // turned off, the cell not covered, and a value to merge.
    virtual bool CanMergeCell(CGXGridCore* grid, CGXControl* control, ROWCOL row, ROWCOL col,
                              const CGXStyle& style, int direction);
    // Both with the compare-by-value bit: equal value texts; otherwise each style a subset of
    // the other.
    virtual bool CanMergeCells(const CGXStyle& a, const CGXStyle& b);

private:
    bool CanPair(CGXGridCore* grid, ROWCOL r1, ROWCOL c1, ROWCOL r2, ROWCOL c2, int direction);
    bool EvalLine(CGXGridCore* grid, CGXSpanCellPool& pool, int direction, ROWCOL line, ROWCOL from,
                  ROWCOL to, CGXRange& changed);
};
