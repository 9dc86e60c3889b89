// Selecting cells, rows, columns and the whole table with the keyboard and the mouse, with
// Shift (extend from the anchor) and Ctrl (a further range), within the parameter object's
// selection permissions and row modes; only the cells whose selected state changed are redrawn.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXRangeList.h"

class CGXGridUserSelectRangeImp : public CGXAbstractGridUserSelectRangeImp {
public:
    // Called after the current cell moved by a key from (fromRow, fromCol).
    bool MoveCurrentCellEx(CGXGridCore* grid, ROWCOL fromRow, ROWCOL fromCol, bool shift) override;
    bool OnSelectButtonDown(CGXGridCore* grid, ROWCOL row, ROWCOL col, unsigned keyFlags) override;
    void OnSelectMouseMove(CGXGridCore* grid, ROWCOL row, ROWCOL col) override;
    void OnSelectButtonUp(CGXGridCore* grid, ROWCOL row, ROWCOL col) override;
    bool SelectRange(CGXGridCore* grid, const CGXRange& range, bool select, bool update) override;
    void AddOrExcludeRange(CGXGridCore* grid, const CGXRange& range, bool add) override;
    void RedrawSelectionChange(CGXGridCore* grid, const CGXRangeList& oldList) override;
    void SetSelection(CGXGridCore* grid, int index, ROWCOL top, ROWCOL left, ROWCOL bottom,
                      ROWCOL right) override;
    void RedrawSelection(CGXGridCore* grid) override;
    bool OnCtrlClickHeader(CGXGridCore* grid, ROWCOL row, ROWCOL col, unsigned keyFlags) override;
    void RowsRemoved(CGXGridCore* grid, ROWCOL first, ROWCOL last) override;
    void ColsRemoved(CGXGridCore* grid, ROWCOL first, ROWCOL last) override;

private:
    // Replaces (or appends) the range in progress, after the core agreed.
    bool SetRangeInProgress(CGXGridCore* grid, const CGXRange& range, bool dragging);
};

// Removes `cut` from every range of the list that meets it, leaving up to four remainders.
void GXExcludeRange(CGXRangeList& list, const CGXRange& cut, ROWCOL rowCount, ROWCOL colCount);
