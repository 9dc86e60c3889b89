// The thin child window that marks where dragged rows or columns would land: one pixel high
// (wide) and drawn with its pen, or, with a line kind set, by the grid's own line drawing.
// The grid window, its parent, owns it as a child widget.
#pragma once

#include "framework/window/Window.h"
#include "grid/core/CGXBrush.h"

class CGXGridCore;

class CGXDragLineWnd : public fw::Window {
public:
    explicit CGXDragLineWnd(CGXGridCore* grid) : m_pGrid(grid) {}
    // A hidden 1 by 1 child of `parent` at (0, 0); TRUE on success.
    bool CreateLineWindow(fw::Window* parent);

    CGXGridCore* m_pGrid;
    CGXPen m_pen;
    std::uint32_t m_nParam1 = 0, m_nParam2 = 0;
    std::uint32_t m_nLineKind = 0;  // 0: draw with the pen

protected:
    void OnPaint() override;
};
