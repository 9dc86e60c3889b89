#include "grid/features/CGXGridUserDragSelectRangeImp.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXProperties.h"
#include "grid/features/CGXDragLineWnd.h"

#include <algorithm>
#include <memory>

namespace {

// The index in the selection of a range of whole rows (columns) that holds `index`, or -1.
int FindWholeRange(const CGXGridParam& p, bool rows, ROWCOL index, CGXRange* found = nullptr) {
    int i = 0;
    for (const CGXRange& r : p.m_SelRects) {
        const bool whole = rows ? r.IsRows() : r.IsCols();
        const ROWCOL lo = rows ? r.top : r.left, hi = rows ? r.bottom : r.right;
        if (whole && index >= lo && index <= hi) {
            if (found)
                *found = r;
            return i;
        }
        ++i;
    }
    return -1;
}

bool TableSelected(const CGXGridParam& p) {
    return std::any_of(p.m_SelRects.begin(), p.m_SelRects.end(),
                       [](const CGXRange& r) { return r.IsTable(); });
}

// The range being dragged, by its index in the selection; FALSE when it is gone.
bool DraggedRange(CGXGridCore* grid, CGXRange& range) {
    const CGXGridParam* p = grid->GetParam();
    if (!p || grid->m_nDragRangeIndex < 0)
        return false;
    auto it = p->m_SelRects.begin();
    for (int i = 0; it != p->m_SelRects.end() && i < grid->m_nDragRangeIndex; ++i) ++it;
    if (it == p->m_SelRects.end())
        return false;
    range = *it;
    return true;
}

bool RowMode(const CGXGridCore* grid) {
    return grid->m_nDragMode == GX_DRAGMODE_ROWS;
}

}  // namespace

bool CGXGridUserDragSelectRangeImp::OnDragButtonDown(CGXGridCore* grid, fw::Point, unsigned,
                                                     int hit, ROWCOL row, ROWCOL col) {
    const CGXGridParam* p = grid->GetParam();
    if ((hit != GX_CELLHIT && hit != GX_HEADERHIT) || !p || TableSelected(*p))
        return false;
    const bool colHeader = row <= grid->GetHeaderRows() && col > grid->GetHeaderCols();
    const bool rowHeader = col <= grid->GetHeaderCols() && row > grid->GetHeaderRows();
    int mode = 0;
    if (colHeader && p->IsEnableMoveCols() && FindWholeRange(*p, false, col) >= 0)
        mode = GX_DRAGMODE_COLS;
    else if (rowHeader && p->IsEnableMoveRows() && FindWholeRange(*p, true, row) >= 0)
        mode = GX_DRAGMODE_ROWS;
    if (mode == 0)
        return false;
    grid->m_bDragArmed = true;
    grid->m_nDragMode = mode;
    if (!grid->StartDrag(row, col)) {
        grid->m_bDragArmed = false;
        if (fw::Window* wnd = grid->GridWnd())
            wnd->SendMessage(fw::WM_CANCELMODE);
        return false;
    }
    if (grid->GridWnd() && fw::Window::GetCapture() != grid->GridWnd())
        grid->SetGridCapture();
    return true;
}

ROWCOL CGXGridUserDragSelectRangeImp::TargetAt(CGXGridCore* grid, fw::Point pt, bool rows) {
    const ROWCOL client = rows ? grid->CalcClientRowFromPt(pt) : grid->CalcClientColFromPt(pt);
    if (client == GX_INVALID)
        return (rows ? grid->GetRowCount() : grid->GetColCount()) + 1;
    const ROWCOL index =
        rows ? grid->GetRowFromClientRow(client) : grid->GetColFromClientCol(client);
    return std::max<ROWCOL>(index, 1);
}

bool CGXGridUserDragSelectRangeImp::OnDragMouseMove(CGXGridCore* grid, fw::Point pt, unsigned) {
    if (!grid->m_bDragArmed || !grid->m_bDragging)
        return false;
    const bool rows = RowMode(grid);
    const ROWCOL target = TargetAt(grid, pt, rows);
    grid->DragMove(rows ? target : 0, rows ? 0 : target);
    return true;
}

bool CGXGridUserDragSelectRangeImp::OnDragButtonUp(CGXGridCore* grid, fw::Point pt, unsigned) {
    if (!grid->m_bDragArmed)
        return false;
    if (grid->GridWnd() && fw::Window::GetCapture() == grid->GridWnd())
        fw::Window::ReleaseCapture();
    if (grid->m_bDragging) {
        const bool rows = RowMode(grid);
        const ROWCOL target = TargetAt(grid, pt, rows);
        grid->DropSelection(rows ? target : 0, rows ? 0 : target);
    }
    grid->CancelDrag();
    return true;
}

bool CGXGridUserDragSelectRangeImp::StartDrag(CGXGridCore* grid, ROWCOL row, ROWCOL col) {
    const CGXGridParam* p = grid->GetParam();
    if (!p)
        return false;
    row = std::max<ROWCOL>(row, 1);
    col = std::max<ROWCOL>(col, 1);
    const bool rows = RowMode(grid);
    if (!rows && grid->m_nDragMode != GX_DRAGMODE_COLS)
        return false;
    CGXRange range;
    const int index = FindWholeRange(*p, rows, rows ? row : col, &range);
    if (index < 0)
        return false;
    if (rows ? !grid->CanMoveRows(range.top, range.bottom)
             : !grid->CanMoveCols(range.left, range.right))
        return false;
    grid->m_nDragRangeIndex = index;
    grid->m_nDragRow = grid->m_nDragCol = GX_INVALID;
    grid->SetGridCursor(GX_IDC_SELDRAG);
    grid->m_bDragging = true;
    return true;
}

void CGXGridUserDragSelectRangeImp::DragMove(CGXGridCore* grid, ROWCOL row, ROWCOL col) {
    const bool rows = RowMode(grid);
    const ROWCOL target = rows ? row : col;
    ROWCOL& last = rows ? grid->m_nDragRow : grid->m_nDragCol;
    if (target == last)
        return;
    HideLine();
    last = target;
    CGXRange range;
    if (!DraggedRange(grid, range))
        return;
    const bool may = rows ? grid->CanDropRows(range.top, range.bottom, target)
                          : grid->CanDropCols(range.left, range.right, target);
    if (!may) {
        grid->SetGridCursor(GX_IDC_NODROP);
        return;
    }
    grid->SetGridCursor(GX_IDC_SELDRAG);
    ShowLine(grid, target);
}

bool CGXGridUserDragSelectRangeImp::Drop(CGXGridCore* grid, ROWCOL row, ROWCOL col) {
    HideLine();
    const bool rows = RowMode(grid);
    CGXRange range;
    if ((!rows && grid->m_nDragMode != GX_DRAGMODE_COLS) || !DraggedRange(grid, range))
        return false;
    const ROWCOL target = std::max<ROWCOL>(rows ? row : col, 1);
    const ROWCOL first = rows ? range.top : range.left, last = rows ? range.bottom : range.right;
    const bool agreed =
        rows ? grid->CanDropRows(first, last, target) && grid->ConfirmMoveRows(first, last, target)
             : grid->CanDropCols(first, last, target) && grid->ConfirmMoveCols(first, last, target);
    // Onto the block itself or just after it the block would stay where it is.
    if (!agreed || (target >= first && target <= last + 1))
        return false;
    const ROWCOL dest = target > last ? target + first - last - 1 : target;
    return rows ? grid->MoveRows(first, last, dest, GX_UPDATENOW, 0)
                : grid->MoveCols(first, last, dest, GX_UPDATENOW, 0);
}

void CGXGridUserDragSelectRangeImp::CancelDrag(CGXGridCore* grid) {
    const bool wasDragging = grid->m_bDragging;
    grid->m_bDragging = false;
    grid->m_bDragArmed = false;
    grid->m_nDragRangeIndex = -1;
    grid->m_nDragRow = grid->m_nDragCol = GX_INVALID;
    HideLine();
    if (wasDragging)
        grid->SetGridCursor(0);
}

void CGXGridUserDragSelectRangeImp::ShowLine(CGXGridCore* grid, ROWCOL target) {
    fw::Window* parent = grid->GridWnd();
    if (!parent)
        return;
    if (!m_pLine) {
        auto line = std::make_unique<CGXDragLineWnd>(grid);
        if (!line->CreateLineWindow(parent))
            return;
        const CGXProperties* props = grid->GetProperties();
        line->m_pen = CGXPen(fw::PS_SOLID, 1, props ? props->GetColor(3) : 0);
        m_pLine = line.release();  // the grid window, its parent, owns it from here
    }
    const bool rows = RowMode(grid);
    const ROWCOL count = rows ? grid->GetRowCount() : grid->GetColCount();
    const fw::Rect area = grid->GetGridRect();
    fw::Rect line;
    if (rows) {
        const fw::Rect cell = grid->CalcRectFromRowCol(std::min(target, count), 0);
        const int y = target > count ? cell.bottom - 1 : cell.top - 1;
        const ROWCOL lastCol = grid->GetClientCol(grid->GetLastVisibleCol());
        const int w = std::min(area.Width(), grid->CalcSumOfClientColWidths(0, lastCol));
        line = {area.left, std::max(y, area.top), area.left + w, std::max(y, area.top) + 1};
    } else {
        const fw::Rect cell = grid->CalcRectFromRowCol(0, std::min(target, count));
        const int x = target > count ? cell.right - 1 : cell.left - 1;
        const ROWCOL lastRow = grid->GetClientRow(grid->GetLastVisibleRow());
        const int h = std::min(area.Height(), grid->CalcSumOfClientRowHeights(0, lastRow));
        line = {std::max(x, area.left), area.top, std::max(x, area.left) + 1, area.top + h};
    }
    m_pLine->MoveWindow(line);
    m_pLine->ShowWindow(fw::SW_SHOWNA);
    m_pLine->UpdateWindow();
}

void CGXGridUserDragSelectRangeImp::HideLine() {
    if (m_pLine)
        m_pLine->ShowWindow(fw::SW_HIDE);
}
