// Covered cells: blocks of cells that the program joins into one, drawn as their top-left cell
// over the whole block. Coverings are kept in the parameter object's covered-cells range list
// (and its pool) and can be undone.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"
#include "grid/core/CGXRange.h"

#include <string>

class CGXCoveredCellPool;

class CGXGridCoveredCellsImp : public CGXAbstractGridCoveredCellsImp {
public:
    // Covers the block (a single cell uncovers the covering that starts there), redraws and
    // records the command that puts the old block back.
    bool SetCoveredCellsRowCol(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom,
                               ROWCOL right, unsigned flags, int ctCmd) override;
    CGXRange* GetCoveredCellsRowCol(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                    CGXRange& range) override;
    // FALSE for coordinates of INT_MAX or more, a read-only grid, a block that overlaps another
    // covering or starts inside one, and when memory runs out (the list is then as before).
    bool StoreCoveredCellsRowCol(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom,
                                 ROWCOL right, bool set) override;
    void UpdateCoveredCellsRowCol(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom,
                                  ROWCOL right, unsigned flags, bool createHint) override;
    void ExpandRangeByCoverings(CGXGridCore* grid, CGXRange& range) override;
    void RemoveRowsCoverings(CGXGridCore* grid, ROWCOL first, ROWCOL last, bool& changed,
                             bool skip) override;
    void RemoveColsCoverings(CGXGridCore* grid, ROWCOL first, ROWCOL last, bool& changed,
                             bool skip) override;
};

// Puts a covering back as it was: the block from (top, left) to (bottom, right).
class CGXSetCoveredCellsCmd : public CGXCommand {
public:
    CGXSetCoveredCellsCmd(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right)
        : m_nTop(top), m_nLeft(left), m_nBottom(bottom), m_nRight(right) {}
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
    ROWCOL m_nTop, m_nLeft, m_nBottom, m_nRight;
};

// The pool of the grid's parameter object, made on first use; null without one.
CGXCoveredCellPool* GXCoveredCellPoolOf(CGXGridCore* grid);
