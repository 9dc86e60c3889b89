#include "grid/features/CGXDataCopyMoveCellsImp.h"

#include "grid/core/CGXData.h"
#include "grid/core/GXLibraryState.h"

#include <algorithm>

namespace {

CGXStyle* CellAt(const CGXData& data, ROWCOL row, ROWCOL col) {
    const CGXStylePtrArray* r = data.m_apapCellStyle.GetAt(row);
    return r ? r->GetAt(col) : nullptr;
}

// Takes the style out of its cell (the cell becomes empty).
std::unique_ptr<CGXStyle> TakeCell(CGXData& data, ROWCOL row, ROWCOL col) {
    CGXStylePtrArray* r = data.m_apapCellStyle.GetAt(row);
    if (!r || col >= r->GetSize())
        return nullptr;
    return std::move(r->ElementAt(col));
}

// Puts a style into a cell, growing the arrays; the style held there before is returned.
std::unique_ptr<CGXStyle> PutCell(CGXData& data, ROWCOL row, ROWCOL col,
                                  std::unique_ptr<CGXStyle> style) {
    if (!style) {
        return TakeCell(data, row, col);
    }
    if (data.m_apapCellStyle.GetSize() <= row)
        data.m_apapCellStyle.SetSize(static_cast<std::size_t>(std::max(row, data.GetRowCount())) +
                                     1);
    std::unique_ptr<CGXStylePtrArray>& r = data.m_apapCellStyle.ElementAt(row);
    if (!r)
        r = std::make_unique<CGXStylePtrArray>();
    if (r->GetSize() <= col)
        r->SetSize(static_cast<std::size_t>(std::max(col, data.GetColCount())) + 1);
    std::unique_ptr<CGXStyle> old = std::move(r->ElementAt(col));
    r->ElementAt(col) = std::move(style);
    return old;
}

bool ValidBlock(const CGXRange& r, ROWCOL destRow, ROWCOL destCol) {
    if (r.top > r.bottom || r.left > r.right || !GXIsRealRowCol(r.bottom) ||
        !GXIsRealRowCol(r.right))
        return false;
    // The destination block must lie inside the numbers a cell can have.
    const std::uint64_t lastRow = static_cast<std::uint64_t>(destRow) + (r.bottom - r.top);
    const std::uint64_t lastCol = static_cast<std::uint64_t>(destCol) + (r.right - r.left);
    return lastRow < GX_INVALID && lastCol < GX_INVALID && GXIsRealRowCol(ROWCOL(lastRow)) &&
           GXIsRealRowCol(ROWCOL(lastCol));
}

bool IsPermutation(const std::vector<ROWCOL>& order) {
    std::vector<char> seen(order.size(), 0);
    for (ROWCOL v : order) {
        if (v >= order.size() || seen[v])
            return false;
        seen[v] = 1;
    }
    return true;
}

}  // namespace

bool CGXDataCopyMoveCellsImp::CopyCells(CGXData& data, const CGXRange& source, ROWCOL destRow,
                                        ROWCOL destCol) {
    if (!ValidBlock(source, destRow, destCol))
        return false;
    // Snapshot first: the source and the destination may overlap in any direction.
    const ROWCOL rows = source.bottom - source.top + 1;
    const ROWCOL cols = source.right - source.left + 1;
    std::vector<std::unique_ptr<CGXStyle>> copy(static_cast<std::size_t>(rows) * cols);
    std::vector<bool> rowEmpty(rows, true);
    for (ROWCOL i = 0; i < rows; ++i) {
        if (!data.m_apapCellStyle.GetAt(source.top + i))
            continue;
        for (ROWCOL j = 0; j < cols; ++j) {
            if (const CGXStyle* s = CellAt(data, source.top + i, source.left + j)) {
                copy[static_cast<std::size_t>(i) * cols + j] = s->Clone();
                rowEmpty[i] = false;
            }
        }
    }
    for (ROWCOL i = 0; i < rows; ++i) {
        const ROWCOL row = destRow + i;
        if (rowEmpty[i] && row >= data.m_apapCellStyle.GetSize())
            continue;
        for (ROWCOL j = 0; j < cols; ++j)
            PutCell(data, row, destCol + j,
                    std::move(copy[static_cast<std::size_t>(i) * cols + j]));
    }
    return true;
}

bool CGXDataCopyMoveCellsImp::MoveCells(CGXData& data, const CGXRange& source, ROWCOL destRow,
                                        ROWCOL destCol) {
    std::unique_ptr<CGXOwnedObject> none;
    return MoveCellsEx(data, source, destRow, destCol, none, false);
}

bool CGXDataCopyMoveCellsImp::MoveCellsEx(CGXData& data, const CGXRange& source, ROWCOL destRow,
                                          ROWCOL destCol, std::unique_ptr<CGXOwnedObject>& info,
                                          bool keepForUndo) {
    if (!ValidBlock(source, destRow, destCol))
        return false;
    const ROWCOL rows = source.bottom - source.top + 1;
    const ROWCOL cols = source.right - source.left + 1;
    // 1. Take the source out.
    std::vector<std::unique_ptr<CGXStyle>> moving(static_cast<std::size_t>(rows) * cols);
    for (ROWCOL i = 0; i < rows; ++i)
        for (ROWCOL j = 0; j < cols; ++j)
            moving[static_cast<std::size_t>(i) * cols + j] =
                TakeCell(data, source.top + i, source.left + j);
    // 2. Take the destination out, keeping it for undo when asked.
    std::vector<CGXDataUndoMoveCellsInfo::Entry> overwritten;
    for (ROWCOL i = 0; i < rows; ++i)
        for (ROWCOL j = 0; j < cols; ++j)
            if (auto s = TakeCell(data, destRow + i, destCol + j); s && keepForUndo)
                overwritten.push_back({destRow + i, destCol + j, std::move(s)});
    // 3. Store the moved styles.
    for (ROWCOL i = 0; i < rows; ++i)
        for (ROWCOL j = 0; j < cols; ++j)
            PutCell(data, destRow + i, destCol + j,
                    std::move(moving[static_cast<std::size_t>(i) * cols + j]));
    // 4. Put back what an earlier move overwrote.
    if (auto* back = dynamic_cast<CGXDataUndoMoveCellsInfo*>(info.get())) {
        for (auto& e : back->m_entries) PutCell(data, e.row, e.col, std::move(e.style));
        back->m_entries.clear();
    }
    // 5. Hand over what this move overwrote.
    if (keepForUndo) {
        auto* out = dynamic_cast<CGXDataUndoMoveCellsInfo*>(info.get());
        if (!out) {
            info = std::make_unique<CGXDataUndoMoveCellsInfo>();
            out = static_cast<CGXDataUndoMoveCellsInfo*>(info.get());
        }
        out->m_entries = std::move(overwritten);
    }
    return true;
}

bool CGXGridSortMoveDataImp::SortMoveRows(CGXData& data, const CGXRange& range,
                                          const std::vector<ROWCOL>& order) {
    if (!IsPermutation(order) || !GXIsRealRowCol(range.top))
        return false;
    const std::size_t top = range.top;
    const std::size_t end = top + order.size();
    // Row arrays as a whole.
    {
        CGXStylePtrArrayPtrArray& cells = data.m_apapCellStyle;
        std::vector<std::unique_ptr<CGXStylePtrArray>> old(order.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            if (top + i < cells.GetSize())
                old[i] = std::move(cells.ElementAt(top + i));
        bool any = false;
        for (auto& a : old) any = any || a;
        if (any && cells.GetSize() < end)
            cells.SetSize(end);
        for (std::size_t i = 0; i < order.size(); ++i)
            if (top + i < cells.GetSize())
                cells.ElementAt(top + i) = std::move(old[order[i]]);
    }
    // Row styles.
    {
        CGXStylePtrArray& styles = data.m_apRowBaseStyle;
        std::vector<std::unique_ptr<CGXStyle>> old(order.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            if (top + i < styles.GetSize())
                old[i] = std::move(styles.ElementAt(top + i));
        const bool endsArray = styles.GetSize() <= end;
        if (styles.GetSize() < end)
            styles.SetSize(end);
        for (std::size_t i = 0; i < order.size(); ++i)
            styles.ElementAt(top + i) = std::move(old[order[i]]);
        if (endsArray)
            styles.TrimTrailingNulls();
    }
    return true;
}

bool CGXGridSortMoveDataImp::SortMoveCols(CGXData& data, const CGXRange& range,
                                          const std::vector<ROWCOL>& order) {
    if (!IsPermutation(order) || !GXIsRealRowCol(range.left))
        return false;
    const std::size_t left = range.left;
    const std::size_t end = left + order.size();
    auto reorder = [&](CGXStylePtrArray& a, bool trim) {
        std::vector<std::unique_ptr<CGXStyle>> old(order.size());
        bool any = false;
        for (std::size_t i = 0; i < order.size(); ++i)
            if (left + i < a.GetSize()) {
                old[i] = std::move(a.ElementAt(left + i));
                any = any || old[i];
            }
        if (!any)
            return;
        const bool endsArray = a.GetSize() <= end;
        if (a.GetSize() < end)
            a.SetSize(end);
        for (std::size_t i = 0; i < order.size(); ++i)
            a.ElementAt(left + i) = std::move(old[order[i]]);
        if (endsArray && trim)
            a.TrimTrailingNulls();
    };
    for (std::size_t r = 0; r < data.m_apapCellStyle.GetSize(); ++r)
        if (CGXStylePtrArray* row = data.m_apapCellStyle.GetAt(r))
            reorder(*row, false);
    reorder(data.m_apColBaseStyle, true);
    return true;
}

void InstallDataCopyMoveCellsImp() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (!state.m_pDataCopyMoveCellsImp)
        state.m_pDataCopyMoveCellsImp =
            state.AddOwnedObject(std::make_unique<CGXDataCopyMoveCellsImp>());
}

void InstallSortMoveDataImp() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (!state.m_pSortMoveDataImp)
        state.m_pSortMoveDataImp = state.AddOwnedObject(std::make_unique<CGXGridSortMoveDataImp>());
}
