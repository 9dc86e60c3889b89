#include "grid/controls/GXTabbedRow.h"

#include "framework/drawing/DeviceContext.h"
#include "grid/core/CGXDIB.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

std::vector<std::string_view> GXSplitTabFields(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = text.find('\t', start);
        fields.push_back(
            text.substr(start, tab == std::string_view::npos ? text.npos : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

namespace {

// The bitmap that the text from field `i` on names, or null.
const fw::Dib* FieldBitmap(std::string_view text, std::string_view field) {
    const std::string_view rest = text.substr(static_cast<std::size_t>(field.data() - text.data()));
    if (rest.substr(0, 4) != "#BMP")
        return nullptr;
    return GXGetDIBPool().LookupDIB(rest);
}

}  // namespace

void GXMeasureTabbedColumns(fw::DeviceContext& dc, std::string_view text, int columnCount,
                            std::span<int> widths) {
    const std::vector<std::string_view> fields = GXSplitTabFields(text);
    const std::size_t n = std::min(
        {fields.size(), widths.size(), static_cast<std::size_t>(std::max(0, columnCount))});
    for (std::size_t i = 0; i < n; ++i) {
        const fw::Dib* bitmap = FieldBitmap(text, fields[i]);
        const int w = bitmap ? bitmap->Width() : dc.GetTextExtent(fields[i]).cx;
        widths[i] = std::max(widths[i], w);
    }
}

void GXMeasureTabbedRowHeight(std::string_view text, int& height, bool singleColumn, int keyColumn,
                              int columnCount) {
    std::vector<std::string_view> fields = GXSplitTabFields(text);
    std::size_t first = (keyColumn > 0 && !singleColumn) ? 1 : 0;
    std::size_t last =
        singleColumn ? first + 1 : first + static_cast<std::size_t>(std::max(0, columnCount)) + 1;
    last = std::min(last, fields.size());
    for (std::size_t i = first; i < last; ++i)
        if (const fw::Dib* bitmap = FieldBitmap(text, fields[i]))
            height = std::max(height, bitmap->Height());
}

void GXDrawTabbedRow(fw::DeviceContext& dc, const fw::Rect& rect, std::string_view text,
                     bool singleColumn, int keyColumn, int columnCount, std::span<const int> edges,
                     COLORREF lineColor, COLORREF background, COLORREF textColor) {
    std::vector<std::string_view> fields;
    std::size_t separators = 0;
    if (singleColumn) {
        fields.push_back(text);
    } else {
        fields = GXSplitTabFields(text);
        if (keyColumn > 0 && !fields.empty())
            fields.erase(fields.begin());
        // Never more separators than the caller has edges for.
        separators = std::min(edges.size(), static_cast<std::size_t>(std::max(0, columnCount)));
    }
    dc.FillSolidRect(rect, background);
    for (std::size_t i = 0; i < separators; ++i) {
        const int x = rect.left + edges[i] - 2;
        dc.FillSolidRect({x, rect.top, x + 1, rect.bottom}, lineColor);
    }
    const COLORREF oldText = dc.SetTextColor(textColor);
    const COLORREF oldBk = dc.SetBkColor(background);
    const int oldMode = dc.SetBkMode(fw::TRANSPARENT);
    int left = rect.left;
    const std::size_t shown = std::min(fields.size(), separators + 1);
    for (std::size_t i = 0; i < shown; ++i) {
        const int right =
            i < separators ? std::min(rect.right, rect.left + edges[i] - 2) : rect.right;
        if (right > left) {
            fw::Rect cell{left + 2, rect.top, right, rect.bottom};  // measured widths allow 4
            if (FieldBitmap(text, fields[i])) {
                const std::string_view rest =
                    text.substr(static_cast<std::size_t>(fields[i].data() - text.data()));
                GXGetDIBPool().DrawDIB(dc, rest, cell, fw::DT_VCENTER);
            } else {
                dc.DrawText(fields[i], cell, fw::DT_VCENTER | fw::DT_SINGLELINE | fw::DT_NOPREFIX);
            }
        }
        if (i < separators)
            left = rect.left + edges[i];
    }
    dc.SetBkMode(oldMode);
    dc.SetBkColor(oldBk);
    dc.SetTextColor(oldText);
}

std::vector<int> GXTabbedColumnEdges(std::span<const int> measured, std::string_view widthsText,
                                     bool showAll, int textColumn) {
    auto digit = [&](std::size_t pos) {
        return pos < widthsText.size() &&
               std::isdigit(static_cast<unsigned char>(widthsText[pos])) != 0;
    };
    std::vector<int> edges;
    std::size_t pos = 0;
    int right = 0;
    for (std::size_t i = 0; i < measured.size() && measured[i] != -1; ++i) {
        int w = 0;
        if (digit(pos)) {
            std::size_t end = pos;
            while (digit(end)) ++end;
            w = std::atoi(std::string(widthsText.substr(pos, end - pos)).c_str());
            pos = end;
            while (pos < widthsText.size() && !digit(pos)) ++pos;
        } else if (showAll || static_cast<int>(i) == textColumn) {
            w = measured[i] + 4;
        }
        right += w;
        edges.push_back(right);
    }
    return edges;
}
