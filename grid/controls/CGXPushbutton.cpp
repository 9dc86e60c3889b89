#include "grid/controls/CGXPushbutton.h"

#include "framework/window/Window.h"
#include "grid/controls/CGXButton.h"
#include "grid/core/CGXGridCore.h"

const CGXControlClassInfo CGXPushbutton::kClassInfo{"CGXPushbutton", &CGXControl::kClassInfo};

CGXPushbutton::CGXPushbutton(CGXGridCore* grid)
    : CGXControl(grid),
      m_pButton(static_cast<CGXButton*>(AddChild(std::make_unique<CGXButton>(this)))) {}

void CGXPushbutton::Init(ROWCOL row, ROWCOL col) {
    CGXControl::Init(row, col);
    if (fw::Window* wnd = m_pGrid->GridWnd()) {
        OnInitChildren(row, col, GetCellRect(row, col));
        wnd->InvalidateRect(m_pButton->GetRect(), true);
    }
}

void CGXPushbutton::OnInitChildren(ROWCOL, ROWCOL, const fw::Rect& rect) {
    SetActiveChild(m_pButton);
    m_pButton->SetRect(rect);
    const CGXStyle* style = m_bInit ? &GetStyle() : nullptr;
    m_pButton->SetText(style && style->GetIncludeChoiceList() ? style->GetChoiceList()
                                                              : std::string());
}

fw::Size CGXPushbutton::CalcSize(fw::DeviceContext& dc, ROWCOL, ROWCOL, const CGXStyle& style,
                                 const CGXStyle*, bool) {
    const std::optional<fw::LogFont> old = m_pGrid->LoadFont(&dc, style);
    const std::string caption = style.GetIncludeChoiceList() ? style.GetChoiceList() : "";
    fw::Size size = dc.GetTextExtent(caption);
    if (old)
        dc.SelectFont(*old);
    size.cx += 8;
    size.cy += 4;
    return AddBorders(size, style);
}

void CGXPushbutton::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                         const CGXStyle& style, const CGXStyle* standardStyle) {
    if (rect.Width() <= 1 || rect.Height() <= 1)
        return;
    const std::optional<fw::LogFont> old = m_pGrid->LoadFont(&dc, style);
    Draw3dFrame(dc, rect, style);
    dc.SetTextColor(style.GetTextColor() & 0xFFFFFFu);
    // The caption of this cell: the button is laid out for the cell being drawn.
    const std::string caption = style.GetIncludeChoiceList() ? style.GetChoiceList() : "";
    const fw::Rect inner = GetCellRect(row, col, &rect, &style);
    OnInitChildren(row, col, inner);
    m_pButton->SetText(caption);
    const bool focus =
        m_pGrid->IsCurrentCell(row, col) && m_pGrid->m_bGridHasFocus && !m_pGrid->IsPrinting();
    m_pButton->Draw(dc, focus, style);
    (void)standardStyle;
    if (old)
        dc.SelectFont(*old);
}
