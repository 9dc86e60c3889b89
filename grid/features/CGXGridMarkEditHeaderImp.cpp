#include "grid/features/CGXGridMarkEditHeaderImp.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXProperties.h"

namespace {

bool Visible(CGXGridCore* grid, ROWCOL index, bool rows) {
    const ROWCOL frozen = rows ? grid->GetFrozenRows() : grid->GetFrozenCols();
    const ROWCOL top = rows ? grid->GetTopRow() : grid->GetLeftCol();
    const ROWCOL last = rows ? grid->GetLastVisibleRow() : grid->GetLastVisibleCol();
    return index <= frozen || (index >= top && index <= last);
}

// Redraws a header block when it has room to show anything (2 by 2 pixels at least).
void RedrawHeader(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                  unsigned flags) {
    const fw::Rect r = grid->CalcRectFromRowCol(top, left);
    if (r.Width() < 2 || r.Height() < 2)
        return;
    grid->RedrawRowCol(top, left, bottom, right, flags ? flags : GX_INVALIDATE);
}

}  // namespace

void CGXGridMarkEditHeaderImp::MarkEditHeader(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                              int direction, unsigned flags) {
    CGXGridParam* param = grid->GetParam();
    const CGXProperties* props = grid->GetProperties();
    if (!param || !props || param->m_bLockUpdate)
        return;
    const bool rowVisible = Visible(grid, row, true);
    const bool colVisible = Visible(grid, col, false);
    if (!rowVisible && !colVisible)
        return;
    if (row > grid->GetLastVisibleRow() && col > grid->GetLastVisibleCol())
        return;
    if ((direction == 0 || direction == 2) && props->GetMarkRowHeader() && rowVisible)
        RedrawHeader(grid, row, 0, row, grid->GetHeaderCols(), flags);
    if ((direction == 0 || direction == 1) && props->GetMarkColHeader() && colVisible)
        RedrawHeader(grid, 0, col, grid->GetHeaderRows(), col, flags);
}

bool CGXGridMarkEditHeaderImp::IsMarkedHeaderCell(CGXGridCore* grid, ROWCOL row, ROWCOL col) {
    CGXGridParam* param = grid->GetParam();
    const CGXProperties* props = grid->GetProperties();
    if (!param || !props)
        return false;
    const ROWCOL headerRows = grid->GetHeaderRows(), headerCols = grid->GetHeaderCols();
    int mode = 0;
    ROWCOL tracked = 0;
    if (grid->IsTracking(&mode, &tracked)) {
        if (mode == 2 && row <= headerRows && col == tracked && !param->IsEnableTrackColWidth(0x10))
            return true;
        if (mode == 1 && col <= headerCols && row == tracked &&
            !param->IsEnableTrackRowHeight(0x10))
            return true;
    }
    ROWCOL cr = 0, cc = 0;
    if (!grid->GetCurrentCell(cr, cc) || cr <= headerRows || cc <= headerCols)
        return false;
    if (col <= headerCols && row == cr && props->GetMarkRowHeader())
        return true;
    return row <= headerRows && col == cc && props->GetMarkColHeader();
}
