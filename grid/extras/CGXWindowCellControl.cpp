#include "grid/extras/CGXWindowCellControl.h"

#include "framework/window/Window.h"
#include "framework/window/WindowStyles.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"

const CGXControlClassInfo CGXWindowCellControl::kClassInfo{"CGXWindowCellControl",
                                                           &CGXStatic::kClassInfo};

CGXWindowCellControl::CGXWindowCellControl(CGXGridCore* grid, unsigned controlId,
                                           const fw::Rect& parking)
    : CGXStatic(grid), m_nControlId(controlId), m_parking(parking) {}

void CGXWindowCellControl::Reset() {
    Hide();
    m_bActive = false;
    m_bModified = false;
    CGXStatic::Reset();
}

void CGXWindowCellControl::SetActive(bool active) {
    m_bActive = active && CellWindow() != nullptr;
    if (!m_bActive)
        Hide();
}

void CGXWindowCellControl::Hide() {
    fw::Window* wnd = CellWindow();
    if (wnd && wnd->IsWindowVisible()) {
        wnd->MoveWindow(m_parking, false);
        wnd->ShowWindow(fw::SW_HIDE);
    }
}

bool CGXWindowCellControl::Store() {
    std::string value;
    if (!m_pStyle || !m_bModified || !GetValue(value))
        return true;
    SetActive(false);
    m_bModified = false;
    return m_pGrid->SetValueRange(CGXRange(m_nRow, m_nCol), value, gxOverride, GX_INVALIDATE);
}

bool CGXWindowCellControl::GetValue(std::string& value) {
    if (!m_bInit)
        return false;
    value = CellWindow() && m_bModified ? WindowValue() : ShownValue(nullptr, GetStyle());
    return true;
}

void CGXWindowCellControl::GetCurrentText(std::string& text) {
    text.clear();
    if (!m_bInit)
        return;
    if (m_bActive && CellWindow()) {
        text = WindowText();
        return;
    }
    GetControlText(text, m_nRow, m_nCol, nullptr, GetStyle());
}

std::string CGXWindowCellControl::ShownValue(const std::string* valueText, const CGXStyle& style) {
    if (valueText)
        return *valueText;
    return style.GetIncludeValue() ? style.GetValue() : std::string();
}

bool CGXWindowCellControl::StartEditing() {
    if (m_bActive)
        return true;
    if (!CellWindow() || IsReadOnly() || !OnStartEditing())
        return false;
    SetActive(true);
    Refresh();
    return true;
}

bool CGXWindowCellControl::DrawsWindowFor(ROWCOL row, ROWCOL col) {
    return m_bActive && CellWindow() && IsInitFor(row, col) && !m_pGrid->IsPrinting();
}

void CGXWindowCellControl::DrawActiveCell(fw::DeviceContext& dc, const fw::Rect& rect,
                                          const fw::Rect& inner, ROWCOL row, ROWCOL col,
                                          const CGXStyle& style, const CGXStyle* standardStyle) {
    fw::Window* wnd = CellWindow();
    DrawBackground(dc, rect, style, false);
    wnd->MoveWindow(inner, false);
    wnd->ShowWindow(fw::SW_SHOWNA);
    wnd->Invalidate(false);
    CGXControl::Draw(dc, rect, row, col, style, standardStyle);
}
