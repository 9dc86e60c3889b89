// The demo grid: a million rows and a hundred columns of composed styles (table, row, column
// and cell styles, base styles, borders, patterns, number formats), set up in a few hundred
// stored styles so that the size costs nothing but the scroll range.
#pragma once

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXStylesMap.h"

#include <string>

inline void FillDemoGrid(CGXGridCore& g, ROWCOL rows = 1000000, ROWCOL cols = 100) {
    g.SetRowCount(rows, 0);
    g.SetColCount(cols, 0);
    g.SetFrozenRows(1, 0, 0);
    g.SetFrozenCols(1, 0, 0);
    g.SetColWidth(0, 0, 70, nullptr, 0);
    // Zebra rows through a row style on every other row of the first screens, and a table
    // interior below them.
    g.SetStyleRange(CGXRange().SetTable(), &CGXStyle().SetInterior(0xFAFAFA), gxOverride, 0,
                    nullptr, 0);
    for (ROWCOL r = 2; r <= 400; r += 2)
        g.SetStyleRange(CGXRange().SetRows(r, r), &CGXStyle().SetInterior(0xFFF4E8), gxOverride, 0,
                        nullptr, 0);
    // Column styles: a right-aligned number column in red for negatives, a centred one, a
    // pattern column and a bold one.
    CGXStyle number;
    number.SetHorizontalAlignment(fw::DT_RIGHT).SetUserAttribute(GX_IDS_UA_NEGATIVECOLOR, "255");
    g.SetStyleRange(CGXRange().SetCols(3, 3), &number, gxOverride, 0, nullptr, 0);
    g.SetStyleRange(CGXRange().SetCols(4, 4),
                    &CGXStyle().SetHorizontalAlignment(fw::DT_CENTER).SetTextColor(0x804000),
                    gxOverride, 0, nullptr, 0);
    CGXBrush pattern;
    pattern.SetStyle(fw::BS_PATTERN).SetPattern(6).SetColor(0xE0C0A0).SetBkColor(0xFFFFFF);
    g.SetStyleRange(CGXRange().SetCols(6, 6), &CGXStyle().SetInterior(pattern), gxOverride, 0,
                    nullptr, 0);
    g.SetStyleRange(CGXRange().SetCols(5, 5), &CGXStyle().SetFont(CGXFont().SetWeight(700)),
                    gxOverride, 0, nullptr, 0);
    // A base style used by a block of cells.
    CGXStyle warn;
    warn.SetInterior(0xC0E0FF).SetBorders(gxBorderAll, CGXPen(fw::PS_SOLID, 1, 0x0000C0));
    const std::uint16_t warnId = g.GetStylesMap()->RegisterStyle("Warning", warn, false);
    g.SetStyleRange(CGXRange(5, 7, 7, 9), &CGXStyle().SetBaseStyle(warnId), gxOverride, 0, nullptr,
                    0);
    for (ROWCOL r = 1; r <= 60; ++r) {
        g.SetValueRange(CGXRange(r, 1), "Node " + std::to_string(r), gxOverride, 0);
        g.SetValueRange(CGXRange(r, 2), "10.0.0." + std::to_string(r), gxOverride, 0);
        g.SetValueRange(CGXRange(r, 3), std::to_string((static_cast<int>(r) * 37 % 200) - 60),
                        gxOverride, 0);
        g.SetValueRange(CGXRange(r, 4), r % 3 == 0 ? "off line" : "on line", gxOverride, 0);
    }
    g.SetValueRange(CGXRange(rows, 1), "last row", gxOverride, 0);
    CGXStyle dashed;
    dashed.SetBorders(gxBorderBottom, CGXPen(fw::PS_DASH, 1, 0x008000));
    g.SetStyleRange(CGXRange(10, 1, 10, 9), &dashed, gxOverride, 0, nullptr, 0);
}
