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
#include <functional>
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

// The lines a text divides into at its line breaks, as `WidestLine` counts them.
int CountLines(std::string_view text) {
    int lines = 1;
    for (std::size_t br = text.find_first_of("\r\n"); br != std::string_view::npos;
         br = text.find_first_of("\r\n")) {
        std::size_t next = br + 1;
        if (text[br] == '\r' && next < text.size() && text[next] == '\n')
            ++next;
        text.remove_prefix(next);
        if (text.empty())
            break;
        ++lines;
    }
    return lines;
}

// The lines a wrapped text takes within `inner` (`lines` and `widest` as `WidestLine` gave
// them), and in `wrappedWidest` the widest of them.
int WrapLines(fw::DeviceContext& dc, const std::string& text, const fw::Rect& inner,
              unsigned format, int lines, int widest, int& wrappedWidest) {
    if (lines == 1 && widest <= inner.Width()) {
        // One line that fits the cell's width wraps to itself: shaping it again to split
        // it is the costly part of fitting a large table.
        wrappedWidest = widest;
        return 1;
    }
    std::array<int, CGXDrawingAndFormatting::kMaxLines> starts{}, lengths{};
    fw::Rect area{inner.left, inner.top, inner.right, inner.top + 32767};
    lines = CGXDrawingAndFormatting::GetInstance().SplitTextLines(dc, text, area, format, starts,
                                                                  lengths);
    wrappedWidest = 0;
    for (int i = 0; i < lines; ++i)
        wrappedWidest =
            std::max(wrappedWidest,
                     dc.GetTextExtent(std::string_view(text).substr(starts[i], lengths[i])).cx);
    return lines;
}

// Whether a text is one line within `width` without measuring it: plain printable ASCII no
// wider than its length in the font's widest characters (each rounded up a pixel, as widths
// are scaled to the context one by one), the short numbers and names most cells hold.
bool FitsUnmeasured(std::string_view text, int maxCharWidth, int width) {
    if (maxCharWidth <= 0 || text.size() > static_cast<std::size_t>(width / (maxCharWidth + 1)))
        return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

unsigned TextFormat(const CGXStyle& style) {
    return style.GetHorizontalAlignment() | style.GetVerticalAlignment() | fw::DT_WORDBREAK |
           fw::DT_NOPREFIX;
}

bool Wraps(const CGXStyle& style) {
    return style.GetIncludeWrapText() && style.GetWrapText();
}

}  // namespace

CGXCalcSizeImp::HeightFit::HeightFit(CGXCalcSizeImp* imp) : imp_(imp) {
    // An enclosing fit keeps its own memory.
    if (imp_->memo_)
        owner_ = false;
    else
        imp_->memo_ = std::make_unique<Memo>();
}

CGXCalcSizeImp::HeightFit::~HeightFit() {
    if (owner_)
        imp_->memo_.reset();
}

void CGXCalcSizeImp::HeightFit::StartRow() {
    imp_->memo_->heightRow = GX_INVALID;
}

void CGXCalcSizeImp::HeightFit::Uncovered(ROWCOL row, ROWCOL col) {
    imp_->memo_->uncoveredRow = row;
    imp_->memo_->uncoveredCol = col;
}

std::size_t CGXCalcSizeImp::FontIndex(CGXGridCore* grid, fw::DeviceContext& dc,
                                      const CGXStyle& style) {
    std::optional<std::uint64_t> record;
    if (style.GetIncludeFont())
        record = (std::uint64_t{style.GetFont().Word0()} << 32) | style.GetFont().Word1();
    auto& known = memo_->fonts;
    for (std::size_t i = 0; i < known.size(); ++i)
        if (known[i].record == record)
            return i;
    const std::optional<fw::LogFont> old = grid->LoadFont(&dc, style);
    const fw::TextMetrics metrics = dc.GetTextMetrics();
    if (old)
        dc.SelectFont(*old);
    known.push_back({record, metrics.height + metrics.externalLeading, metrics.maxCharWidth});
    return known.size() - 1;
}

std::size_t CGXCalcSizeImp::WrapKeyHash::operator()(const WrapKey& k) const {
    std::size_t h = std::hash<std::string_view>()(k.text);
    for (const std::size_t part :
         {k.font, static_cast<std::size_t>(k.width), static_cast<std::size_t>(k.format)})
        h = (h ^ part) * 0x100000001B3ull;
    return h;
}

fw::Rect CGXCalcSizeImp::FitSpanRect(CGXGridCore* grid, ROWCOL row, ROWCOL col) {
    Memo& memo = *memo_;
    const bool uncovered = memo.uncoveredRow == row && memo.uncoveredCol == col;
    memo.uncoveredRow = memo.uncoveredCol = GX_INVALID;
    CGXRange span;
    if ((!uncovered && grid->GetCoveredCellsRowCol(row, col, span)) ||
        grid->GetMergedCellRange(row, col, span))
        return SpanRect(grid, row, col);
    if (memo.heightRow != row) {
        memo.heightRow = row;
        memo.rowHeight = grid->CalcSumOfRowHeights(row, row);
    }
    auto& widths = memo.colWidths;
    if (widths.size() <= col)
        widths.resize(static_cast<std::size_t>(col) + 1, -1);
    int& width = widths[col];
    if (width < 0)
        width = grid->CalcSumOfColWidths(col, col);
    return {0, 0, width, memo.rowHeight};
}

int CGXCalcSizeImp::Height(CGXGridCore* grid, CGXControl* control, fw::DeviceContext& dc,
                           ROWCOL row, ROWCOL col, const CGXStyle& style, const std::string& text) {
    const std::size_t font = FontIndex(grid, dc, style);
    const Memo::FontSizes& sizes = memo_->fonts[font];
    const int lineHeight = sizes.lineHeight;
    if (text.empty() || !Wraps(style))
        return lineHeight * (text.empty() ? 1 : CountLines(text)) + 1;
    // Only a wrapped text's lines depend on the cell's width and on measuring its text.
    const fw::Rect cell = FitSpanRect(grid, row, col);
    const fw::Rect inner = control->GetCellRect(row, col, &cell, &style);
    const unsigned format = TextFormat(style);
    auto& known = memo_->wrappedLines;
    const WrapKey key{font, inner.Width(), format, text};
    if (auto it = known.find(key); it != known.end())
        return lineHeight * it->second + 1;
    if (FitsUnmeasured(text, sizes.maxCharWidth, inner.Width())) {
        known.emplace(WrapKey{font, key.width, format, memo_->texts.emplace_back(text)}, 1);
        return lineHeight + 1;
    }
    const std::optional<fw::LogFont> old = grid->LoadFont(&dc, style);
    int lines = 0, wrappedWidest = 0;
    const int widest = WidestLine(dc, text, lines);
    lines = WrapLines(dc, text, inner, format, lines, widest, wrappedWidest);
    if (old)
        dc.SelectFont(*old);
    known.emplace(WrapKey{font, key.width, format, memo_->texts.emplace_back(text)}, lines);
    return lineHeight * lines + 1;
}

fw::Size CGXCalcSizeImp::CalcSize(CGXGridCore* grid, CGXControl* control, fw::DeviceContext& dc,
                                  ROWCOL row, ROWCOL col, const CGXStyle& style, bool heightOnly) {
    std::string text;
    control->GetControlText(text, row, col, nullptr, style);
    // An editor shows the text itself, never the bitmap it names (asked only of a text that
    // names one).
    if (const fw::Dib* dib = GXGetDIBPool().LookupDIB(text))
        if (!dynamic_cast<CGXEditControl*>(control))
            return control->AddBorders({dib->Width(), dib->Height()}, style);
    if (heightOnly && memo_)
        return control->AddBorders({0, Height(grid, control, dc, row, col, style, text)}, style);

    const std::optional<fw::LogFont> old = grid->LoadFont(&dc, style);
    const fw::Rect cell = SpanRect(grid, row, col);
    const fw::Rect inner = control->GetCellRect(row, col, &cell, &style);
    const fw::TextMetrics metrics = dc.GetTextMetrics();
    const int lineHeight = metrics.height + metrics.externalLeading;
    fw::Size size;
    if (text.empty()) {
        size = {metrics.maxCharWidth, lineHeight + 1};
    } else {
        const bool wrap = Wraps(style);
        int lines = 0;
        const int widest = WidestLine(dc, text, lines);
        int wrappedWidest = 0;
        if (wrap)
            lines = WrapLines(dc, text, inner, TextFormat(style), lines, widest, wrappedWidest);
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
