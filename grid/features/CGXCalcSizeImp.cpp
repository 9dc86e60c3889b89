#include "grid/features/CGXCalcSizeImp.h"

#include "framework/drawing/DeviceContext.h"
#include "grid/controls/CGXEditControl.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"
#include "grid/core/GXChoiceList.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

// The block the cell is drawn in: its covering or merge, else the cell.
fw::Rect SpanRect(CGXGridCore* grid, ROWCOL row, ROWCOL col) {
    CGXRange span(row, col);
    if (!grid->GetCoveredCellsRowCol(row, col, span) && !grid->GetMergedCellRange(row, col, span))
        span = CGXRange(row, col);
    return {0, 0, grid->CalcSumOfColWidths(span.left, span.right),
            grid->CalcSumOfRowHeights(span.top, span.bottom)};
}

// The widest of the text's lines as its line breaks divide it; `lines` receives their number.
int WidestLine(fw::DeviceContext& dc, const std::string& whole, int& lines) {
    if (whole.find_first_of("\r\n") == std::string::npos) {
        // One line, most cells' text: measured as it stands.
        lines = 1;
        return dc.GetTextExtent(whole).cx;
    }
    std::string text = whole;
    int widest = 0;
    lines = 0;
    std::string line;
    for (;;) {
        const int length = GXExtractLine(text, line);
        widest = std::max(widest, dc.GetTextExtent(line).cx);
        ++lines;
        if (length < 0 || text.empty())
            break;
    }
    return widest;
}

}  // namespace

fw::Size CGXCalcSizeImp::CalcSize(CGXGridCore* grid, CGXControl* control, fw::DeviceContext& dc,
                                  ROWCOL row, ROWCOL col, const CGXStyle& style, bool heightOnly) {
    std::string text;
    control->GetControlText(text, row, col, nullptr, style);
    // An editor shows the text itself, never the bitmap it names (asked only of a text that
    // names one).
    if (const fw::Dib* dib = GXGetDIBPool().LookupDIB(text))
        if (!dynamic_cast<CGXEditControl*>(control))
            return control->AddBorders({dib->Width(), dib->Height()}, style);

    const std::optional<fw::LogFont> old = grid->LoadFont(&dc, style);
    const fw::Rect cell = SpanRect(grid, row, col);
    const fw::Rect inner = control->GetCellRect(row, col, &cell, &style);
    const fw::TextMetrics metrics = dc.GetTextMetrics();
    const int lineHeight = metrics.height + metrics.externalLeading;
    fw::Size size;
    if (text.empty()) {
        size = {metrics.maxCharWidth, lineHeight + 1};
    } else {
        const unsigned format = style.GetHorizontalAlignment() | style.GetVerticalAlignment() |
                                fw::DT_WORDBREAK | fw::DT_NOPREFIX;
        const bool wrap = style.GetIncludeWrapText() && style.GetWrapText();
        int lines = 0;
        const int widest = WidestLine(dc, text, lines);
        int wrappedWidest = 0;
        if (wrap && lines == 1 && widest <= inner.Width()) {
            // One line that fits the cell's width wraps to itself: shaping it again to split
            // it is the costly part of fitting a large table.
            wrappedWidest = widest;
        } else if (wrap) {
            std::array<int, CGXDrawingAndFormatting::kMaxLines> starts{}, lengths{};
            fw::Rect area{inner.left, inner.top, inner.right, inner.top + 32767};
            lines = CGXDrawingAndFormatting::GetInstance().SplitTextLines(dc, text, area, format,
                                                                          starts, lengths);
            for (int i = 0; i < lines; ++i)
                wrappedWidest = std::max(
                    wrappedWidest,
                    dc.GetTextExtent(std::string_view(text).substr(starts[i], lengths[i])).cx);
        }
        if (heightOnly) {
            size = {inner.Width(), lineHeight * lines + 1};
        } else {
            const bool allFit = wrap && inner.Height() >= lineHeight * lines + 1;
            size = {allFit ? wrappedWidest : widest, inner.Height()};
        }
    }
    if (old)
        dc.SelectFont(*old);
    return control->AddBorders(size, style);
}
