#include "grid/controls/CGXVScrollEdit.h"

#include "framework/controls/ControlStyles.h"
#include "framework/window/SystemMetrics.h"

const CGXControlClassInfo CGXVScrollEdit::kClassInfo{"CGXVScrollEdit", &CGXEditControl::kClassInfo};

CGXVScrollEdit::CGXVScrollEdit(CGXGridCore* grid, unsigned id) : CGXEditControl(grid, id) {
    // Chosen before the window is made: its style depends on it.
    m_bVertScrollBar = true;
}

fw::Rect CGXVScrollEdit::GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect,
                                     const CGXStyle* style) {
    fw::Rect r = CGXEditControl::GetCellRect(row, col, rect, style);
    if (style && m_bVertScrollBar)
        r.right -= fw::GetSystemMetrics(fw::SM_CXVSCROLL);
    return r;
}

bool CGXVScrollEdit::CreateEditWnd(fw::DWORD style, const fw::Rect* rect) {
    return CGXEditControl::CreateEditWnd(style | fw::ES_MULTILINE, rect);
}
