// The size a cell needs to show its contents, for fitting row heights and column widths: a
// bitmap named by the text at its own size; otherwise the text's lines in the style's font,
// wrapped (at most 32 lines) within the cell's text rectangle when the style wraps; an empty
// cell one line of the font's widest character. The cell's borders are added.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"

class CGXCalcSizeImp : public CGXAbstractCalcSizeImp {
public:
    fw::Size CalcSize(CGXGridCore* grid, CGXControl* control, fw::DeviceContext& dc, ROWCOL row,
                      ROWCOL col, const CGXStyle& style, bool heightOnly) override;
};
