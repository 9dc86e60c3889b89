// Filling by dragging the handle of the selection frame: the dotted drag frame follows the
// mouse from the source block in one direction; the drop repeats the source's rows (columns)
// into the new cells, or clears the cells that a smaller target cuts off. A fill is one undo
// step.
#pragma once

#include "framework/base/Geometry.h"
#include "grid/core/CGXAbstractFeatures.h"
#include "grid/core/CGXRange.h"

class CGXGridExcelLikeFillImp : public CGXAbstractGridExcelLikeFillImp {
public:
    bool OnFillButtonDown(CGXGridCore* grid, ROWCOL row, ROWCOL col) override;
    void OnFillMouseMove(CGXGridCore* grid, fw::Point pt, ROWCOL row, ROWCOL col) override;
    void OnFillButtonUp(CGXGridCore* grid) override;
    void CancelFill(CGXGridCore* grid) override;
    bool DoFill(CGXGridCore* grid, const CGXRange& target, const CGXRange& source) override;
    bool IsFilling() const override { return m_bFilling; }

    // The target the mouse at `pt` over cell (row, col) asks for, given the source block and
    // its visible rectangle.
    static CGXRange TargetFor(CGXGridCore* grid, const CGXRange& source, const fw::Rect& rect,
                              fw::Point pt, ROWCOL row, ROWCOL col);
    // Shows the drag frame of `range` (erasing the one shown before); an empty range only
    // erases.
    void DrawFillFrame(CGXGridCore* grid, const CGXRange* range);
    // Adds a range to the selection.
    void SelectFilledRange(CGXGridCore* grid, const CGXRange& range);

    const CGXRange& GetSource() const { return m_source; }
    const CGXRange& GetTarget() const { return m_target; }

private:
    void RepeatSource(CGXGridCore* grid, const CGXRange& target, const CGXRange& source,
                      unsigned options);
    void XorFrame(CGXGridCore* grid, const fw::Rect& rect);

    bool m_bFilling = false;
    CGXRange m_source;
    CGXRange m_target;  // not valid while no target is shown
    fw::Rect m_frame;   // the drag frame on screen, empty when none
};
