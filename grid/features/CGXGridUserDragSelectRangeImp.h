// Moving fully selected rows (columns) by dragging one of their headers: a drag-line window
// marks where the block would land, the cursor tells whether it may, and the drop moves the
// block through the grid's row (column) move.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"
#include "grid/features/CGXDragLineWnd.h"

#include <QPointer>

inline constexpr int GX_IDC_SELDRAG = 20194;  // a drop is possible here
inline constexpr int GX_IDC_NODROP = 20208;   // it is not
inline constexpr int GX_DRAGMODE_COLS = 1;
inline constexpr int GX_DRAGMODE_ROWS = 2;

class CGXGridUserDragSelectRangeImp : public CGXAbstractGridUserDragSelectRangeImp {
public:
    bool OnDragButtonDown(CGXGridCore* grid, fw::Point pt, unsigned flags, int hit, ROWCOL row,
                          ROWCOL col) override;
    bool OnDragMouseMove(CGXGridCore* grid, fw::Point pt, unsigned flags) override;
    bool OnDragButtonUp(CGXGridCore* grid, fw::Point pt, unsigned flags) override;
    bool StartDrag(CGXGridCore* grid, ROWCOL row, ROWCOL col) override;
    void DragMove(CGXGridCore* grid, ROWCOL row, ROWCOL col) override;
    bool Drop(CGXGridCore* grid, ROWCOL row, ROWCOL col) override;
    void CancelDrag(CGXGridCore* grid) override;

    // The line window while it exists (made on the first drag; its parent owns it).
    CGXDragLineWnd* GetDragLineWnd() const { return m_pLine.data(); }

private:
    void ShowLine(CGXGridCore* grid, ROWCOL target);
    void HideLine();
    // The row (column) under a point: one past the last when the point is past it.
    static ROWCOL TargetAt(CGXGridCore* grid, fw::Point pt, bool rows);

    QPointer<CGXDragLineWnd> m_pLine;
};
