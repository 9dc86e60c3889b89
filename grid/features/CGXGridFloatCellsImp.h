// Floating cells: a cell whose text is wider than its column lets the text run on over the
// empty cells that follow in its row. The spans are computed for the cells on display and kept
// in the parameter object's span-cell pool for floated cells.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"
#include "grid/core/CGXRange.h"

class CGXControl;
class CGXSpanCellPool;
class CGXStyle;

class CGXGridFloatCellsImp : public CGXAbstractGridFloatCellsImp {
public:
    // A new mode drops the computed spans (and makes a new pool when on); redraws when asked.
    void SetFloatCellsMode(CGXGridCore* grid, std::uint16_t mode, bool redraw) override;
    CGXRange* GetFloatedCellRange(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                  CGXRange& range) override;
    bool EvalFloatCells(CGXGridCore* grid, fw::DeviceContext* dc, ROWCOL top, ROWCOL bottom,
                        ROWCOL left, ROWCOL right, CGXRange& changed) override;
    // For the floating cell (floats TRUE): a font that is not rotated and some text; for a cell
    // floated over: no text.
    virtual bool CanFloatCellText(const CGXStyle& style, bool floats);
    // Off, covered cells, the style's float (flood) flag, the first scrolling column for a cell
    // floated over, and then the control: text controls answer through CanFloatCellText, others
    // never float.
    virtual bool CanFloatCell(CGXGridCore* grid, CGXControl* control, ROWCOL row, ROWCOL col,
                              const CGXStyle& style, bool floats);
    // The last column that the text of (row, col) reaches (col when it does not float).
    virtual ROWCOL EvalFloatSpan(CGXGridCore* grid, fw::DeviceContext* dc, ROWCOL row, ROWCOL col);

private:
    bool EvalFloatRow(CGXGridCore* grid, fw::DeviceContext* dc, CGXSpanCellPool& pool, ROWCOL row,
                      ROWCOL left, ROWCOL right, CGXRange& changed);
};
