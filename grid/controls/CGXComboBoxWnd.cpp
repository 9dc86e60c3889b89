#include "grid/controls/CGXComboBoxWnd.h"

#include "framework/window/SystemMetrics.h"
#include "framework/window/Window.h"
#include "grid/controls/CGXGridCombo.h"
#include "grid/controls/GXComboText.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"
#include "grid/core/GXChoiceList.h"
#include "grid/core/GXColor.h"

#include <strings.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

const CGXControlClassInfo CGXComboBoxWnd::kClassInfo{"CGXComboBoxWnd", &CGXStatic::kClassInfo};

CGXComboBoxWnd::CGXComboBoxWnd(CGXGridCore* grid, bool dropDownList, int indexBase,
                               bool valueIsIndex)
    : CGXStatic(grid),
      m_bDropDownList(dropDownList),
      m_nIndexBase(indexBase),
      m_bValueIsIndex(valueIsIndex) {}

CGXComboBoxWnd::~CGXComboBoxWnd() {
    if (m_pPopup)
        m_pPopup->DestroyWindow();
}

// --- the choices -------------------------------------------------------------------------------

void CGXComboBoxWnd::FillList(const CGXStyle& style) {
    m_lines.clear();
    if (m_bFillFromChoiceList && style.GetIncludeChoiceList()) {
        std::string list = style.GetChoiceList(), line;
        while (!list.empty()) {
            const int more = GXExtractLine(list, line);
            m_lines.push_back(line);
            if (more < 0)
                break;
        }
    }
    m_items = m_lines;
    GXMeasureDC m;
    m_pGrid->LoadFont(&m.dc, style);
    m_nItemHeight = m.dc.GetTextMetrics().height + 2;
}

std::string CGXComboBoxWnd::ValueOfLine(int index) const {
    if (index < 0 || index >= static_cast<int>(m_lines.size()))
        return {};
    if (m_nIndexBase >= 0)
        return std::to_string(index + m_nIndexBase);
    return m_lines[static_cast<std::size_t>(index)];
}

std::string CGXComboBoxWnd::TextOfLine(int index) const {
    if (index < 0 || index >= static_cast<int>(m_lines.size()))
        return {};
    return m_lines[static_cast<std::size_t>(index)];
}

int CGXComboBoxWnd::FindValue(const std::string& value) const {
    if (value.empty())
        return -1;
    const int n = static_cast<int>(m_lines.size());
    if (m_nIndexBase >= 0) {
        const std::optional<long> v = GXParseIndex(value);
        if (!v || *v < m_nIndexBase || *v - m_nIndexBase >= n)
            return -1;
        return static_cast<int>(*v - m_nIndexBase);
    }
    // The whole text first: "Port" never selects an earlier "Port A".
    for (int i = 0; i < n; ++i)
        if (m_lines[static_cast<std::size_t>(i)] == value)
            return i;
    for (int i = 0; i < n; ++i)
        if (GXStartsWithNoCase(m_lines[static_cast<std::size_t>(i)], value))
            return i;
    return -1;
}

// --- binding and values ------------------------------------------------------------------------

void CGXComboBoxWnd::Init(ROWCOL row, ROWCOL col) {
    CloseDropDown(true);
    m_bClosedByClick = false;
    CGXStatic::Init(row, col);
    m_bActive = false;
    FreeStyle(false);
    const CGXStyle& style = GetStyle();
    FillList(style);
    SetValue(style.GetIncludeValue() ? style.GetValue() : std::string());
    m_bModified = false;
}

void CGXComboBoxWnd::Reset() {
    CloseDropDown(true);
    m_nSel = -1;
    m_text.clear();
    m_bTextTyped = false;
    CGXStatic::Reset();
}

void CGXComboBoxWnd::SetValue(const std::string& value) {
    m_nSel = FindValue(value);
    m_bTextTyped = m_nSel < 0 && !m_bDropDownList && !value.empty();
    m_text = m_bTextTyped ? value : TextOfLine(m_nSel);
    if (m_pList)
        m_pList->SetCurSel(m_nSel);
}

bool CGXComboBoxWnd::GetValue(std::string& value) {
    if (!m_bInit)
        return false;
    if (m_bTextTyped && m_nIndexBase < 0)
        value = m_text;
    else
        value = ValueOfLine(m_nSel);
    return true;
}

void CGXComboBoxWnd::GetCurrentText(std::string& text) {
    text.clear();
    if (!m_bInit)
        return;
    text = m_bTextTyped ? m_text : TextOfLine(m_nSel);
}

bool CGXComboBoxWnd::GetControlText(std::string& text, ROWCOL row, ROWCOL col,
                                    const std::string* valueText, const CGXStyle& style) {
    if (m_nIndexBase >= 0 && m_bValueIsIndex && m_bFillFromChoiceList &&
        style.GetIncludeChoiceList()) {
        text.clear();
        const std::string value =
            valueText ? *valueText : (style.GetIncludeValue() ? style.GetValue() : std::string());
        if (value.empty())
            return false;
        // The whole number: an index beyond 16 bits must not wrap onto another line.
        const std::optional<long> v = GXParseIndex(value);
        if (!v)
            return false;
        const long index = *v == -1 ? -1 : *v - m_nIndexBase;
        if (index < 0 || index > INT_MAX)
            return false;
        return GetChoiceListItem(text, style.GetChoiceList(), static_cast<int>(index));
    }
    return CGXStatic::GetControlText(text, row, col, valueText, style);
}

bool CGXComboBoxWnd::ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                               const CGXStyle* style) {
    if (!m_bFillFromChoiceList || (m_nIndexBase < 0 && !m_bValueIsIndex))
        return true;
    std::unique_ptr<CGXStyle> made;
    if (!style) {
        made = m_pGrid->CreateStyle();
        m_pGrid->ComposeStyleRowCol(row, col, made.get());
        style = made.get();
    }
    if (style->GetIncludeChoiceList()) {
        std::string line;
        const int index = FindStringInChoiceList(line, text, style->GetChoiceList(), false);
        if (m_bValueIsIndex)
            text = index >= 0 ? std::to_string(std::max(0, m_nIndexBase) + index) : std::string();
        else
            text = line;
    }
    if (made)
        m_pGrid->RecycleStyle(std::move(made));
    return true;
}

bool CGXComboBoxWnd::ValidateText(const std::string& text) {
    if (text.empty() || !m_bFillFromChoiceList || m_nIndexBase < 0 || !m_bValueIsIndex || !m_bInit)
        return true;
    const CGXStyle& style = GetStyle();
    if (!style.GetIncludeChoiceList() || style.GetChoiceList().empty())
        return false;
    std::string line;
    return FindStringInChoiceList(line, text, style.GetChoiceList(), false) >= 0;
}

bool CGXComboBoxWnd::OnValidate() {
    std::string value;
    if (m_bActive && m_bModified && !GetValue(value))
        return false;
    return CGXControl::OnValidate();
}

bool CGXComboBoxWnd::Store() {
    if (!m_bInit || !m_bModified)
        return true;
    if (IsReadOnly()) {
        const ROWCOL row = m_nRow, col = m_nCol;
        Init(row, col);
        Refresh();
        return true;
    }
    std::string value;
    if (!GetValue(value))
        return true;
    CloseDropDown(true);
    m_bActive = false;
    m_bModified = false;
    const bool stored =
        m_pGrid->SetValueRange(CGXRange(m_nRow, m_nCol), value, gxOverride, GX_INVALIDATE);
    FreeStyle(false);
    return stored;
}

// --- drawing -----------------------------------------------------------------------------------

fw::Rect CGXComboBoxWnd::GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect,
                                     const CGXStyle* style) {
    fw::Rect r = CGXStatic::GetCellRect(row, col, rect, style);
    if (m_pGrid->IsCurrentCell(row, col))
        r.right -= kButtonWidth - 1;
    return r;
}

fw::Size CGXComboBoxWnd::AddBorders(fw::Size size, const CGXStyle& style) {
    size.cx += kButtonWidth + 3;
    return CGXStatic::AddBorders(size, style);
}

fw::Rect CGXComboBoxWnd::ButtonRect(const fw::Rect& cell) const {
    return {std::max(cell.right - kButtonWidth - 1, cell.left + 1), cell.top + 1, cell.right - 1,
            cell.bottom - 1};
}

void CGXComboBoxWnd::DrawButton(fw::DeviceContext& dc, const fw::Rect& button, bool pressed) {
    if (button.IsEmpty())
        return;
    dc.FillSolidRect(button, GXGetSysColor(fw::COLOR_BTNFACE) & 0xFFFFFFu);
    const COLORREF light = GXGetSysColor(fw::COLOR_BTNHIGHLIGHT) & 0xFFFFFFu;
    const COLORREF shadow = GXGetSysColor(fw::COLOR_BTNSHADOW) & 0xFFFFFFu;
    dc.Draw3dRect(button, pressed ? shadow : light, pressed ? light : 0x000000);
    const int cx = (button.left + button.right) / 2 + (pressed ? 1 : 0);
    const int cy = (button.top + button.bottom) / 2 - 1 + (pressed ? 1 : 0);
    for (int i = 0; i < 4; ++i)
        dc.FillSolidRect({cx - 3 + i, cy + i, cx + 4 - i, cy + i + 1}, 0x000000);
}

void CGXComboBoxWnd::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                          const CGXStyle& style, const CGXStyle* standardStyle) {
    const bool current = IsInitFor(row, col) && m_pGrid->IsCurrentCell(row, col);
    if (current && m_bActive) {
        // The pending choice is shown until it is stored.
        std::unique_ptr<CGXStyle> shown = style.Clone();
        std::string value;
        GetValue(value);
        shown->SetValue(value);
        CGXStatic::Draw(dc, rect, row, col, *shown, standardStyle);
    } else {
        CGXStatic::Draw(dc, rect, row, col, style, standardStyle);
    }
    if (m_pGrid->IsCurrentCell(row, col) && !m_pGrid->IsPrinting())
        DrawButton(dc, ButtonRect(CGXControl::GetCellRect(row, col, &rect, &style)),
                   IsDropDownVisible());
}

void CGXComboBoxWnd::DrawListItem(fw::DeviceContext& dc, const fw::Rect& r, int index,
                                  bool selected) {
    const COLORREF bk =
        selected ? GXGetSysColor(fw::COLOR_HIGHLIGHT) & 0xFFFFFFu : m_pPopup->GetBkColor();
    const COLORREF text =
        selected ? GXGetSysColor(fw::COLOR_HIGHLIGHTTEXT) & 0xFFFFFFu : m_pPopup->GetTextColor();
    dc.FillSolidRect(r, bk);
    dc.SetTextColor(text);
    dc.SetBkMode(fw::TRANSPARENT);
    fw::Rect t{r.left + 2, r.top, r.right, r.bottom};
    dc.DrawText(m_items[static_cast<std::size_t>(index)], t,
                fw::DT_VCENTER | fw::DT_SINGLELINE | fw::DT_NOPREFIX);
}

int CGXComboBoxWnd::PrepareDropDown(const fw::LogFont&, int) {
    m_pPopup->ShowHeader(0);
    return 0;
}

int CGXComboBoxWnd::ListWidth() const {
    GXMeasureDC m;
    int width = 0;
    if (m_bInit) {
        m_pGrid->LoadFont(&m.dc, const_cast<CGXComboBoxWnd*>(this)->GetStyle());
        for (const std::string& item : m_items)
            width = std::max(width, m.dc.GetTextExtent(item).cx);
    }
    return width + 6 + fw::GetSystemMetrics(fw::SM_CXVSCROLL);
}

// --- the drop-down -----------------------------------------------------------------------------

bool CGXComboBoxWnd::IsDropDownVisible() const {
    return m_pPopup && m_pPopup->IsWindowVisible();
}

bool CGXComboBoxWnd::StartEdit() {
    if (m_bActive)
        return true;
    if (!OnStartEditing())
        return false;
    m_bActive = true;
    return true;
}

void CGXComboBoxWnd::ShowDropDown(bool show) {
    if (!show) {
        CloseDropDown(true);
        return;
    }
    if (!m_bInit || IsDropDownVisible() || !m_pGrid->GridWnd() || !StartEdit())
        return;
    const CGXStyle& style = GetStyle();
    if (!m_pPopup) {
        m_pPopup = std::make_unique<CGXGridCombo>();
        m_pPopup->Create(m_pGrid->GridWnd());
        auto list = std::make_unique<CGXComboListBox>();
        list->Create(m_pPopup.get(), {0, 0, 1, 1}, GX_IDS_CTRL_CBS_DROPDOWNLIST);
        m_pList = list.get();
        m_pPopup->SetListWnd(std::move(list));
        m_pList->onAccept = [this](int index) { Accept(index); };
        m_pList->SetDrawItemHook([this](fw::DeviceContext& dc, const fw::Rect& r, int index,
                                        bool selected) { DrawListItem(dc, r, index, selected); });
        m_pPopup->onDismiss = [this](fw::PopupWindow::DismissReason reason) {
            if (reason != fw::PopupWindow::DismissReason::Escape) {
                // A click on the cell itself closes the list and must not open it again.
                m_bClosedByClick = reason == fw::PopupWindow::DismissReason::ClickOutside;
                CloseDropDown(true);
                return;
            }
            // Escape discards the edit: the cell's stored value comes back.
            CloseDropDown(false);
            if (OnCancelEditing()) {
                const ROWCOL row = m_nRow, col = m_nCol;
                Init(row, col);
                Refresh();
                OnCanceledEditing();
            }
        };
    }
    m_pPopup->SetColors(style.GetTextColor() & 0xFFFFFFu,
                        style.GetInterior().GetColorResolved() & 0xFFFFFFu);
    GXMeasureDC m;
    if (style.GetIncludeFont())
        m_pGrid->SelectZoomedFont(&m.dc, style.GetFont());
    const fw::LogFont font = m.dc.GetCurrentFont();
    m_pList->SetFont(font);
    m_pList->ResetContent();
    for (const std::string& item : m_items) m_pList->AddString(item);
    m_pList->SetItemHeight(m_nItemHeight);

    // Below the cell (above it when the screen ends there), at least as wide as the cell and
    // moved left to stay on the screen; at most eight lines high.
    const fw::Rect cell =
        m_pGrid->GridWnd()->ClientToScreen(m_pGrid->CalcRectFromRowCol(m_nRow, m_nCol));
    const int above = PrepareDropDown(font, m.dc.GetTextMetrics().height);
    const int rows = std::clamp(static_cast<int>(m_items.size()), 1, kMaxDroppedRows);
    const int height = above + rows * m_nItemHeight + 2;
    const int width = std::max(cell.Width(), ListWidth());
    const int screenW = fw::GetSystemMetrics(fw::SM_CXSCREEN);
    const int screenH = fw::GetSystemMetrics(fw::SM_CYSCREEN);
    fw::Rect r{cell.left, cell.bottom, cell.left + width, cell.bottom + height};
    if (r.right > screenW)
        r.Offset(std::max(-r.left, screenW - r.right), 0);
    if (r.bottom > screenH && cell.top - height >= 0)
        r.Offset(0, cell.top - height - r.top);
    m_pGrid->m_bDropDownOpen = true;
    m_pPopup->Open(r);
    m_pList->SetCurSel(m_nSel >= 0 ? m_nSel : 0);
    m_pList->SetTopIndex(std::max(0, m_pList->GetCurSel()));
    Refresh();
}

void CGXComboBoxWnd::CloseDropDown(bool keepChoice) {
    if (!IsDropDownVisible())
        return;
    m_pPopup->Close();
    m_pGrid->m_bDropDownOpen = false;
    if (keepChoice && m_bModified)
        OnModifyCell();
    Refresh();
}

void CGXComboBoxWnd::Accept(int index) {
    if (index >= 0 && index < static_cast<int>(m_lines.size()) && !IsReadOnly() &&
        (index != m_nSel || m_bTextTyped)) {
        m_nSel = index;
        m_text = TextOfLine(index);
        m_bTextTyped = false;
        m_bModified = true;
    }
    CloseDropDown(true);
}

void CGXComboBoxWnd::SelectByTyping(const std::string& typed) {
    const int n = static_cast<int>(m_lines.size());
    for (int step = 1; step <= n; ++step) {
        const int i = ((m_nSel < 0 ? -1 : m_nSel) + step) % n;
        if (GXStartsWithNoCase(TextOfLine(i), typed)) {
            if (i != m_nSel) {
                m_nSel = i;
                m_text = TextOfLine(i);
                m_bModified = true;
            }
            return;
        }
    }
}

void CGXComboBoxWnd::TypeText(unsigned key) {
    if (key == 8) {  // Backspace takes the last character back
        if (!m_text.empty())
            m_text.pop_back();
    } else {
        m_text.push_back(static_cast<char>(key));
    }
    m_bTextTyped = true;
    m_nSel = FindValue(m_text);
    m_bModified = true;
}

// --- input -------------------------------------------------------------------------------------

bool CGXComboBoxWnd::LButtonUp(unsigned flags, fw::Point point, unsigned hit) {
    CGXStatic::LButtonUp(flags, point, hit);
    if (m_bInit && !IsDropDownVisible() && !m_bClosedByClick)
        ShowDropDown(true);
    m_bClosedByClick = false;
    return true;
}

bool CGXComboBoxWnd::ProcessKeys(unsigned message, unsigned key, unsigned, unsigned) {
    if (!m_bInit)
        return false;
    const bool open = IsDropDownVisible();
    // Only key-downs open the list: Alt+Down or Alt+Up, and F4.
    if (message == fw::WM_SYSKEYDOWN && (key == fw::VK_DOWN || key == fw::VK_UP)) {
        ShowDropDown(!open);
        return true;
    }
    if (message == fw::WM_KEYDOWN) {
        if (key == fw::VK_F1 + 3) {
            ShowDropDown(!open);
            return true;
        }
        if (!open)
            return false;  // arrows, Tab and the rest move in the grid
        if (key == fw::VK_RETURN) {
            Accept(m_pList->GetCurSel());
            return true;
        }
        if (key == fw::VK_TAB) {
            CloseDropDown(true);
            return false;
        }
        // Moving in the open list moves the choice (Escape takes it back).
        if (m_pList->MoveByKey(key) && m_pList->GetCurSel() != m_nSel && !IsReadOnly()) {
            m_nSel = m_pList->GetCurSel();
            m_text = TextOfLine(m_nSel);
            m_bTextTyped = false;
            m_bModified = true;
            Refresh();
        }
        return true;  // the open list takes the other keys
    }
    const bool typing = key >= 32 && key != 127;
    const bool backspace = key == 8 && !m_bDropDownList;
    if (message == fw::WM_CHAR && (typing || backspace)) {
        if (IsReadOnly() || !StartEdit())
            return false;
        if (m_bDropDownList)
            SelectByTyping(std::string(1, static_cast<char>(key)));
        else
            TypeText(key);
        if (m_pList)
            m_pList->SetCurSel(m_nSel);
        if (m_bModified)
            OnModifyCell();
        Refresh();
        return true;
    }
    return false;
}

void CGXComboBoxWnd::OnGridScroll(unsigned, fw::WPARAM, fw::LPARAM) {
    CloseDropDown(true);
}
