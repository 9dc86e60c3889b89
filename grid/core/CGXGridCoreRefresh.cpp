// Refreshing the grid and its other views, redrawing a change made elsewhere, and the drag
// line's rectangle and painting.
#include "framework/dialogs/MessageBox.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridHint.h"

#include <algorithm>

bool CGXGridCore::RefreshViews(bool recalc, std::string* errorText, bool createHint) {
    if (recalc)
        if (CGXData* data = GetData())
            data->Recalc(false);
    Redraw(GX_INVALIDATE);
    if (createHint && m_bHintsEnabled) {
        CGXGridHint hint(36, m_nHintChannel);
        SendUpdateHint(hint);
    }
    std::string text;
    if (!GetRecalcError(text))
        return true;
    if (errorText)
        *errorText = text;
    else
        fw::AppMessageBox(text, fw::MB_ICONEXCLAMATION);
    return false;
}

void CGXGridCore::UpdateChangedCells(const CGXRange& range, unsigned flags, bool notify) {
    if (range.IsRows())
        RedrawRowCol(range.top, 0, range.bottom, GetColCount(), flags, notify);
    else if (range.IsCols())
        RedrawRowCol(0, range.left, GetRowCount(), range.right, flags, notify);
    else if (range.IsTable())
        RedrawRowCol(0, 0, GetRowCount(), GetColCount(), flags, notify);
    else
        RedrawRowCol(range, flags, notify);
}

fw::Rect CGXGridCore::CalcDragLineRect(int kind, ROWCOL index) {
    const fw::Rect grid = GetGridRect();
    const int off = Is3dLook() ? 1 : 0;
    if (kind == GX_HORZLINE) {
        const int y =
            grid.top + (index == 0 ? 0 : CalcSumOfClientRowHeights(0, GetClientRow(index) - 1));
        const int w =
            std::min(grid.Width(), CalcSumOfClientColWidths(0, GetClientCol(GetLastVisibleCol())));
        return {grid.left, y - off, grid.left + w, y - off + 1};
    }
    const int x =
        grid.left + (index == 0 ? 0 : CalcSumOfClientColWidths(0, GetClientCol(index) - 1));
    const int h =
        std::min(grid.Height(), CalcSumOfClientRowHeights(0, GetClientRow(GetLastVisibleRow())));
    return {x - off, grid.top, x - off + 1, grid.top + h};
}

void CGXGridCore::PaintDragLine(fw::DeviceContext* dc, int x, int y, int width, int height,
                                std::uint32_t param1, std::uint32_t, std::uint32_t kind) {
    DrawLine(dc, x, y, width, height, static_cast<int>(kind), param1);
}
