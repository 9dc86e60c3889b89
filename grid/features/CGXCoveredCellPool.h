// Which covering holds each cell: one array per row, one entry per column, each null or the
// covering's record in the parameter object's covered-cells range list. The pool answers the
// covering of a cell in constant time; the range list stays the one true store.
#pragma once

#include "grid/core/CGXAbstractComponents.h"
#include "grid/core/CGXRange.h"

#include <memory>
#include <vector>

class CGXCoveredCellPool : public CGXOwnedObject {
public:
    // The covering that holds the cell, or null (also outside the arrays).
    CGXRange* Lookup(ROWCOL row, ROWCOL col) const;
    // TRUE when no cell of the block holds a covering other than `entry`.
    bool IsFree(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, const CGXRange* entry) const;
    // With an entry: enters it in every cell of the block, after checking the whole block first
    // (any cell held by another covering refuses the block and nothing is written); cells right
    // of the block that still hold the entry are cleared. Without an entry: clears, row by row,
    // the cells from `left` on that hold the entry found at (row, left). A single cell cannot
    // be entered. TRUE when any row changed.
    bool SetRange(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, CGXRange* entry);
    void Empty() { rows_.clear(); }

private:
    std::vector<std::unique_ptr<std::vector<CGXRange*>>> rows_;
};

class CGXCoveredCellPoolImp : public CGXAbstractCoveredCellPoolImp {
public:
    std::unique_ptr<CGXOwnedObject> CreateCoveredCellPool() override;
    // Empties the pool and enters every covering of the list.
    void RebuildCoveredCellPool(CGXOwnedObject& pool, const CGXRangeList& covered) override;
};

void InstallCoveredCellPoolImp();
