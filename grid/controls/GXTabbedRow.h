// Rows of tab-separated columns as the tabbed drop-down lists show them: measuring the columns,
// measuring a row's height and drawing a row. A field whose text (from that field on) names a
// bitmap of the library's pool ("#BMP(...)") shows the bitmap instead of the text.
//
// Column edges are the right edges of the columns in pixels from the row's left edge,
// cumulative; a row draws at most as many separators as there are edges, whatever column count
// the caller names.
#pragma once

#include "framework/base/Geometry.h"
#include "grid/core/GXColor.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fw {
class DeviceContext;
}

// The tab-separated fields of a line (a line without tabs is one field).
std::vector<std::string_view> GXSplitTabFields(std::string_view text);

// Raises widths[i] to the width of field i (its bitmap's width, or its text extent in the
// context's font), for the first min(column count, widths.size()) fields.
void GXMeasureTabbedColumns(fw::DeviceContext& dc, std::string_view text, int columnCount,
                            std::span<int> widths);

// The column right edges (cumulative) of a tabbed list from the widest field per column
// (`measured`, -1 past the last column that has fields): the numbers of `widthsText` in order
// (separated by any non-digits) give the first columns' widths; every further column gets its
// measured width + 4 when all columns are shown or it is the text column, else 0 (hidden).
std::vector<int> GXTabbedColumnEdges(std::span<const int> measured, std::string_view widthsText,
                                     bool showAll, int textColumn);

// Raises `height` to the tallest bitmap the row's shown fields name: with `singleColumn` only
// the first shown field; a positive key-column option hides the first field.
void GXMeasureTabbedRowHeight(std::string_view text, int& height, bool singleColumn, int keyColumn,
                              int columnCount);

// Fills the rectangle, draws a one-pixel line in `lineColor` left of each column edge and each
// field in its column (vertically centred, one line). With `singleColumn` the whole text is one
// field; a positive key-column option skips the first field.
void GXDrawTabbedRow(fw::DeviceContext& dc, const fw::Rect& rect, std::string_view text,
                     bool singleColumn, int keyColumn, int columnCount, std::span<const int> edges,
                     COLORREF lineColor, COLORREF background, COLORREF textColor);
