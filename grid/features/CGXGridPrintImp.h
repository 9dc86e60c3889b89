// Printing and print preview of a grid. Begin printing splits the printed range (the whole
// table, the last selected range, or what the screen shows) into page columns and page rows,
// always afresh, and keeps the breaks in the core (and a copy in the properties); each page is
// then drawn through the core's range drawing between the page header and footer, whose texts
// come from the properties' header and footer blocks with their tokens replaced.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"

#include <vector>

class CGXGridPrintImp : public CGXAbstractGridPrintImp {
public:
    bool OnGridBeginPrinting(CGXGridCore* grid, fw::DeviceContext* dc,
                             fw::PrintInfo* info) override;
    void OnGridPrint(CGXGridCore* grid, fw::DeviceContext* dc, fw::PrintInfo* info) override;
    void OnGridEndPrinting(CGXGridCore* grid, fw::DeviceContext* dc, fw::PrintInfo* info) override;
    void PrintHeaderAndFooter(CGXGridCore* grid, fw::DeviceContext* dc, fw::PrintInfo* info,
                              fw::Document* doc, CGXGridParam* param) override;
    int CalcHeaderFooterHeight(CGXGridCore* grid, fw::DeviceContext* dc,
                               const CGXData& data) override;
    void DrawHeaderFooter(CGXGridCore* grid, fw::DeviceContext* dc, fw::PrintInfo* info,
                          const fw::Rect& rect, const CGXData& data) override;
    std::string SubstTokenText(CGXGridCore* grid, std::string_view text) override;
    std::string GetTokenValue(CGXGridCore* grid, std::size_t index, std::string& rest) override;
    std::string GetTokenArg(CGXGridCore* grid, std::string& rest) override;
};

// Page breaks of a range with the grid in print mode: the first entry is `first`, each next one
// the column (row) under the print rectangle's right (bottom) edge but at least one further, the
// last one `last` + 1. Used by pagination and when rows or columns were added since.
std::vector<ROWCOL> GXCalcPageBreaks(CGXGridCore& grid, bool rows, ROWCOL first, ROWCOL last);
