#include "grid/features/CGXGridResizeToFitImp.h"

#include "framework/drawing/PaintContext.h"
#include "framework/persist/StringTable.h"
#include "framework/window/Window.h"
#include "grid/core/CGXColumnStyleCache.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/features/CGXCalcSizeImp.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

std::string Text(unsigned id, const char* fallback) {
    std::string s = fw::LoadString(id);
    return s.empty() ? fallback : s;
}

// The area the sizes must fit into: the grid's rectangle, or before the grid has a height its
// parent's client area, or a large square.
fw::Rect FitArea(CGXGridCore* grid) {
    fw::Rect r = grid->GetGridRect();
    if (r.Height() > 0)
        return r;
    if (grid->GridWnd())
        if (fw::Window* parent = grid->GridWnd()->GetParentWindow())
            return parent->GetClientRect();
    return {0, 0, 32767, 32767};
}

// The size a cell's text needs with its font, lines stacked, borders added: as its control
// measures it through the grid's size feature, else here. Fitting heights needs no widths:
// the lines are not measured then (shaping text is the costly part).
// `scratch` takes the cell's composed style: a style composed for measuring is not looked at
// again, so it is neither cached nor kept (the current cell's may be its editor's, and is
// looked up).
fw::Size Measure(CGXGridCore* grid, fw::DeviceContext& dc, ROWCOL row, ROWCOL col, bool heightOnly,
                 CGXStyle& scratch) {
    const CGXStyle* cellStyle = &scratch;
    CGXControl* control = nullptr;
    if (grid->IsCurrentCell(row, col) || grid->IsCurrentCell(row, col, true)) {
        cellStyle = &grid->LookupStyleRowCol(row, col);
        control = grid->GetControl(row, col);
    } else {
        // Composing starts with a copy of the cell's stored style, which replaces all the
        // scratch holds: emptying it first is needed only for a cell with none.
        const CGXData* data = grid->GetData();
        if (!data || !data->StoredCellStyle(row, col))
            scratch.Free();
        grid->ComposeStyleRowCol(row, col, &scratch);
        if (grid->QueryReadOnly())
            scratch.SetReadOnly(true);
        control = grid->GetRegisteredControl(scratch.GetControl());
    }
    const CGXStyle& style = *cellStyle;
    if (control && grid->GetCalcSizeImp())
        return control->CalcSize(dc, row, col, style, &grid->GetStandardStyle(), heightOnly);
    std::string text;
    if (control)
        control->GetControlText(text, row, col, nullptr, style);
    // The font stays selected: the context is the fit's own, and the next cell most often
    // needs the same font again.
    grid->LoadFont(&dc, style);
    const int lineHeight = dc.GetTextMetrics().height;
    int width = 0, lines = 0;
    std::size_t start = 0;
    do {
        const std::size_t end = text.find('\n', start);
        std::string_view line(text.data() + start,
                              (end == std::string::npos ? text.size() : end) - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!heightOnly)
            width = std::max(width, dc.GetTextExtent(line).cx);
        ++lines;
        start = end == std::string::npos ? text.size() + 1 : end + 1;
    } while (start <= text.size());
    const fw::Size inner{width + 4, lines * lineHeight + 2};
    return control ? control->AddBorders(inner, style) : grid->AddBorders(inner, style);
}

constexpr unsigned kCellsPerProgressCheck = 32;

// Rows and columns through one body; `rows` picks the direction.
bool Fit(CGXGridCore* grid, const CGXRange& given, unsigned flags, bool rows) {
    // A context of its own: size changes free the grid's shared drawing context.
    if (!grid->GridWnd() || !grid->GetParam())
        return false;
    fw::ClientContext clientDc(*grid->GridWnd());
    fw::DeviceContext* dc = &clientDc;
    grid->OnGridPrepareDC(dc);
    CGXRange range = given;
    range.ResolveToCells(0, 0, grid->GetRowCount(), grid->GetColCount());
    range.bottom = std::min(range.bottom, grid->GetRowCount());
    range.right = std::min(range.right, grid->GetColCount());
    const std::string label = rows ? Text(20172, "Resizing Rows") : Text(20173, "Resizing Columns");
    CGXLongOperation op;
    op.SetStatusText(label);
    grid->BeginTrans(label.c_str());
    // Fitting stores no style: each column's own styles are merged once for all its cells.
    CGXColumnStyleCache columnStyles(grid);
    const fw::Rect area = FitArea(grid);
    const int extent = rows ? area.Height() : area.Width();
    const ROWCOL frozen = rows ? grid->GetFrozenRows() : grid->GetFrozenCols();
    auto sum = [&](ROWCOL a, ROWCOL b) {
        return rows ? grid->CalcSumOfRowHeights(a, b) : grid->CalcSumOfColWidths(a, b);
    };
    const ROWCOL first = rows ? range.top : range.left, last = rows ? range.bottom : range.right;
    const ROWCOL crossFirst = rows ? range.left : range.top;
    const ROWCOL crossLast = rows ? range.right : range.bottom;
    // Fitting rows changes no column width (nor columns a row height): which lines across are
    // shown is known once.
    std::vector<bool> crossShown;
    // Heights alone are asked: the size feature answers them without the widths, remembering
    // each font's line height over the fit.
    std::optional<CGXCalcSizeImp::HeightFit> heights;
    if (rows)
        if (auto* imp = dynamic_cast<CGXCalcSizeImp*>(grid->GetCalcSizeImp()))
            heights.emplace(imp);
    for (ROWCOL j = crossFirst; j <= crossLast && j != GX_INVALID; ++j)
        crossShown.push_back((rows ? grid->GetColWidth(j) : grid->GetRowHeight(j)) > 0);
    CGXStyle scratch;
    unsigned sinceCheck = kCellsPerProgressCheck - 1;
    for (ROWCOL i = first; i <= last && i != GX_INVALID; ++i) {
        int limit = i == 0       ? extent - 1
                    : i > frozen ? extent - sum(0, frozen) - 1
                                 : extent - sum(0, i - 1) - 1;
        limit = std::max(limit, 0);
        if (heights)
            heights->StartRow();
        int needed = 0;
        for (ROWCOL j = crossFirst; j <= crossLast && j != GX_INVALID; ++j) {
            const ROWCOL row = rows ? i : j, col = rows ? j : i;
            CGXRange block;
            if (grid->GetCoveredCellsRowCol(row, col, block)) {
                // Measured once, at its bottom row (right column), when it lies in the range.
                const bool atEnd = rows ? (row == block.bottom && col == block.left)
                                        : (col == block.right && row == block.top);
                const bool inside =
                    rows ? (block.top >= range.top && block.right <= range.right)
                         : (block.left >= range.left && block.bottom <= range.bottom);
                if (!atEnd || !inside)
                    continue;
                const fw::Size s = Measure(grid, *dc, block.top, block.left, rows, scratch);
                // What the block's earlier rows (columns) already give; none when it starts
                // here, and then i - 1 must not be asked for (at 0 it wraps to the last index).
                const ROWCOL start = rows ? block.top : block.left;
                const int before = i > start ? sum(start, i - 1) : 0;
                needed = std::max(needed, (rows ? s.cy : s.cx) - before);
            } else if (crossShown[j - crossFirst]) {
                if (heights)
                    heights->Uncovered(row, col);
                const fw::Size s = Measure(grid, *dc, row, col, rows, scratch);
                needed = std::max(needed, rows ? s.cy : s.cx);
            }
            // The clock is read every few cells: a cell takes far less than a progress step,
            // and reading it for each was a good part of fitting a large table.
            if (++sinceCheck < kCellsPerProgressCheck)
                continue;
            sinceCheck = 0;
            bool abort = false;
            op.CheckProgressCanAbort(abort);
            if (abort) {
                grid->Rollback();
                return false;
            }
        }
        // The styles composed for this line are not needed again: the cache stays small over
        // a large table.
        grid->FreeObjectCache();
        const int size = std::min(needed, limit);
        const int now = rows ? grid->GetRowHeight(i) : grid->GetColWidth(i);
        const bool set = (flags & GX_NOSHRINKSIZE) ? size > now : (size != now && size > 0);
        if (set) {
            if (rows)
                grid->SetRowHeight(i, i, size, nullptr, flags & ~GX_NOSHRINKSIZE, 0);
            else
                grid->SetColWidth(i, i, size, nullptr, flags & ~GX_NOSHRINKSIZE, 0);
        }
    }
    grid->CommitTrans();
    return true;
}

}  // namespace

bool CGXGridResizeToFitImp::ResizeRowHeightsToFit(CGXGridCore* grid, const CGXRange& range, bool,
                                                  unsigned flags) {
    return Fit(grid, range, flags, true);
}

bool CGXGridResizeToFitImp::ResizeColWidthsToFit(CGXGridCore* grid, const CGXRange& range, bool,
                                                 unsigned flags) {
    return Fit(grid, range, flags, false);
}
