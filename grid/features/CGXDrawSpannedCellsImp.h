// Draws a cell that spans several rows or columns as one cell: in a paint of the grid core the
// span's first cell on screen draws the whole span (its rectangle grown over the span's rows and
// columns off screen, clipped to the part on screen), and the span's other cells draw nothing;
// lines inside the span are left out and its borders are those of the span's top-left cell.
// A span across the frozen rows or columns shows in up to four pieces (frozen and scrolled
// rows by frozen and scrolled columns), each drawn as its own window onto the whole span.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"
#include "grid/core/CGXRange.h"

class CGXDrawSpannedCellsImp : public CGXAbstractDrawSpannedCellsImp {
public:
    bool PrepareSpannedCell(CGXGridCore* grid, GX_DRAW_CONTEXT& ctx, int r, int c) override;
    bool DrawSpannedCell(CGXGridCore* grid, GX_DRAW_CONTEXT& ctx, int r, int c) override;

protected:
    // The span that holds the cell (a covering, a merge by rows, by columns, a floated text);
    // FALSE when none.
    virtual bool FindSpan(CGXGridCore* grid, ROWCOL row, ROWCOL col, CGXRange& span, bool& covered);

private:
    // Draws the whole span into the piece `clip` on screen, whose first row and column are
    // `row` and `col`; the first piece also remembers the current cell's control.
    void DrawSpanPiece(CGXGridCore* grid, GX_DRAW_CONTEXT& ctx, const CGXRange& span, ROWCOL row,
                       ROWCOL col, const fw::Rect& clip, const CGXStyle& style, bool first);
};
