#include "grid/controls/CGXHotSpotEdit.h"

#include "framework/window/Window.h"
#include "grid/controls/CGXButton.h"
#include "grid/core/CGXGridCore.h"

const CGXControlClassInfo CGXHotSpotEdit::kClassInfo{"CGXHotSpotEdit", &CGXEditControl::kClassInfo};

CGXHotSpotEdit::CGXHotSpotEdit(CGXGridCore* grid, unsigned id)
    : CGXEditControl(grid, id),
      m_pButton(
          static_cast<CGXHotSpotButton*>(AddChild(std::make_unique<CGXHotSpotButton>(this)))) {}

void CGXHotSpotEdit::Init(ROWCOL row, ROWCOL col) {
    CGXEditControl::Init(row, col);
    if (fw::Window* wnd = m_pGrid->GridWnd()) {
        OnInitChildren(row, col, GetCellRect(row, col));
        wnd->InvalidateRect(m_pButton->GetRect(), true);
    }
}

fw::Rect CGXHotSpotEdit::GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect,
                                     const CGXStyle* style) {
    fw::Rect r = CGXEditControl::GetCellRect(row, col, rect, style);
    r.right -= kButtonWidth;
    return r;
}

fw::Size CGXHotSpotEdit::AddBorders(fw::Size size, const CGXStyle& style) {
    size.cx += kButtonWidth;
    return CGXStatic::AddBorders(size, style);
}

void CGXHotSpotEdit::OnInitChildren(ROWCOL row, ROWCOL col, const fw::Rect&) {
    // The button lies at the top right of the whole inner cell, right of the text rectangle.
    const fw::Rect rect = CGXControl::GetCellRect(row, col);
    fw::Rect b{rect.right - 14, rect.top, rect.right - 1, rect.top + 13};
    b.left = std::max(b.left, rect.left);
    b.bottom = std::min(b.bottom, rect.bottom);
    if (b.Height() < rect.Height() - 1)
        b.Offset(0, 1);
    m_pButton->SetRect(b);
}
