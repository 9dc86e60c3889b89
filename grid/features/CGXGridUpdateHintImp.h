// Update hints between views: a grid's change is described in a CGXGridHint and sent through
// its document to the other views, whose grids call the same update operation with create-hint
// FALSE, so that they redraw or adjust without sending anything further.
//
// Hint ids, what the sender stores and the receiving grid's update operation:
//   1 redraw (flags)                         Redraw
//   2 redraw cells (row1, col1, row2, col2)  RedrawRowCol
//   3 row count (row1 = old count)           UpdateRowCount
//   4 column count (col1 = old count)        UpdateColCount
//   5 row heights (row1, row2, object)       OnRowHeightChanged
//   6 column widths (col1, col2, object)     OnColWidthChanged
//   7 inserted columns (col1, count)         UpdateInsertCols
//   8 inserted rows (row1, count)            UpdateInsertRows
//   9 removed columns (col1, col2)           UpdateRemoveCols
//  10 removed rows (row1, row2)              UpdateRemoveRows
//  11 moved columns (col1, col2, col3)       UpdateMoveCols
//  12 moved rows (row1, row2, row3)          UpdateMoveRows
//  13 selection (object = the list before, the range in progress)  the selection's redraw
//  14 whole selection                        the selection's redraw of every selected cell
//  15 frozen rows (row1, row2 = old values)  UpdateFrozenRows
//  16 frozen columns (col1, col2)            UpdateFrozenCols
//  17 style range (range, style, modify type, value = style type)  UpdateStyleRange
//  18 covered cells (row1, col1, row2, col2) UpdateCoveredCellsRowCol
//  19 zoom changed (value, flags; object = the sender's splitter)  OnZoomChanged
//  20 zoom set (value; object = the sender's splitter)             StoreZoom
//  21 re-initialise the current cell         its control reset and bound to the cell again
//  22 sheet name                             the tab window's label from the sheet name
//  23 range (range, object = the range before)  both redrawn
//  24 store the current cell (value = save, flags; result)  TransferCurrentCell
//  25 top row (row1; object = the pane)      SetTopRow, only in that splitter pane
//  26 left column (col1; object = the pane)  SetLeftCol, only in that splitter pane
//  27 current cell (row1, col1, flags)       SetCurrentCell
//  33 styles map                             UpdateStylesMap
//  34 base styles                            UpdateStylesMap (looks the base styles up again)
//  35 base style (count = id)                UpdateBaseStyle
//  36 refresh views (object)                 Redraw
// Any other id is answered with id - 1 and changes nothing. Zoom hints are taken by the panes
// of the sender's splitter only, unless the parameter object shares the zoom among all views.
//
// The grid services' list of hint operations maps onto these ids as follows: read-only state ->
// 21; row count -> 3; column count -> 4; frozen rows and columns -> 15, 16; top row and scroll ->
// 25, 26 (splitter panes, not sent by a grid outside a splitter); inserted rows -> 8 (and 7 for
// columns); style range -> 17; styles map -> 33; properties -> 33 (a properties change redraws
// as a styles-map change does); base style -> 35; current cell moved -> 27; current cell
// transferred -> 24; cells redrawn -> 2; whole grid redrawn -> 1; zoom -> 19; row heights and
// column widths -> 5, 6; recalculation finished (error text) -> 36 refresh views; a parameter
// text changed (number) -> 22 sheet name.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"

class CGXGridUpdateHintImp : public CGXAbstractGridUpdateHintImp {
public:
    long OnHint(CGXGridCore* grid, const CGXGridHint* hint) override;
    bool SendHint(CGXGridCore* grid, CGXGridHint& hint) override;

    bool HintSetCurrentCell(CGXGridCore* grid, ROWCOL row, ROWCOL col, unsigned flags) override;
    bool HintStoreCurrentCell(CGXGridCore* grid, bool save, unsigned flags) override;
    bool HintRedraw(CGXGridCore* grid, unsigned flags) override;
    bool HintRedrawRowCol(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                          unsigned flags) override;
    bool HintTopRow(CGXGridCore* grid, ROWCOL row, unsigned flags) override;
    bool HintLeftCol(CGXGridCore* grid, ROWCOL col, unsigned flags) override;
    long HintSyncPanes(CGXGridCore* grid, int scrollType) override;
    bool HintSetZoom(CGXGridCore* grid, int zoom) override;
    bool HintZoom(CGXGridCore* grid, int zoom, unsigned flags) override;
    bool HintSelection(CGXGridCore* grid, const void* oldList, ROWCOL top, ROWCOL left,
                       ROWCOL bottom, ROWCOL right) override;
    bool HintSelectionAll(CGXGridCore* grid) override;

    // Senders of the hints that no core update operation sends itself.
    bool HintReinitCurrentCell(CGXGridCore* grid, long value);
    bool HintRefreshViews(CGXGridCore* grid, const void* object);
    bool HintCoveredCells(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                          unsigned flags);
    bool HintSelectRange(CGXGridCore* grid, const CGXRange& range, const CGXRange* before);
    bool HintLockSelectionFrame(CGXGridCore* grid, bool lock);
    bool HintSheetName(CGXGridCore* grid);
    bool HintBaseStyles(CGXGridCore* grid, unsigned flags);

private:
    // A pane of the grid's splitter in the same pane row and the other column (or the same
    // column and the other row); null outside a splitter of more than one.
    static const void* OtherPaneInRow(const CGXGridCore* grid);
    static const void* OtherPaneInCol(const CGXGridCore* grid);
    long OnSplitterHint(CGXGridCore* grid, const CGXGridHint& h);
    long OnSelectionHint(CGXGridCore* grid, const CGXGridHint& h);
};
