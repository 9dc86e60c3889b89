#include "grid/features/CGXDragLineWnd.h"

#include "framework/drawing/PaintContext.h"
#include "grid/core/CGXGridCore.h"

bool CGXDragLineWnd::CreateLineWindow(fw::Window* parent) {
    return parent && Create(parent, {0, 0, 1, 1}, 0, fw::WS_CHILD);
}

void CGXDragLineWnd::OnPaint() {
    fw::PaintContext dc(*this);
    const fw::Rect r = GetClientRect();
    if (m_nLineKind != 0 && m_pGrid) {
        m_pGrid->PaintDragLine(&dc, r.left, r.top, r.Width(), r.Height(), m_nParam1, m_nParam2,
                               m_nLineKind);
        return;
    }
    // The window is one pixel wide (high): filling it draws the whole line, end pixel included.
    if (m_pen.GetStyle() != fw::PS_NULL)
        dc.FillSolidRect(r, m_pen.GetColorResolved() & 0xFFFFFFu);
}
