#include "grid/controls/CGXComboBox.h"

#include "framework/window/SystemMetrics.h"
#include "framework/window/VirtualKeys.h"
#include "framework/window/Window.h"
#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXGridCombo.h"
#include "grid/controls/GXComboText.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/GXChoiceList.h"
#include "grid/core/GXLibraryState.h"

#include <strings.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

const CGXControlClassInfo CGXComboBox::kClassInfo{"CGXComboBox", &CGXEditControl::kClassInfo};

namespace {

// The list line equal to the text (any case), else the first that begins with it; -1 for none.
int FindLine(const CGXComboListBox& list, const std::string& text) {
    for (int i = 0; i < list.GetCount(); ++i)
        if (list.GetText(i).size() == text.size() && GXStartsWithNoCase(list.GetText(i), text))
            return i;
    for (int i = 0; i < list.GetCount(); ++i)
        if (GXStartsWithNoCase(list.GetText(i), text))
            return i;
    return -1;
}

}  // namespace

CGXComboBox::CGXComboBox(CGXGridCore* grid, unsigned id, unsigned listBoxId, unsigned options)
    : CGXEditControl(grid, id),
      m_pButton(
          static_cast<CGXComboBoxButton*>(AddChild(std::make_unique<CGXComboBoxButton>(this)))),
      m_nListBoxId(listBoxId),
      m_nOptions(options) {}

CGXComboBox::~CGXComboBox() {
    if (m_pDropDownWnd) {
        GXSetActivationSuppressed(true);
        m_pDropDownWnd->DestroyWindow();
        GXSetActivationSuppressed(false);
    }
}

void CGXComboBox::SetShowButtonAlways(bool always) {
    m_bShowButtonAlways = always;
    m_pButton->m_bShowAlways = always;
}

// --- values and texts ----------------------------------------------------------------------------

bool CGXComboBox::GetValue(std::string& value) {
    if (!CGXEditControl::GetValue(value))
        return false;
    if (m_bFillWithChoiceList && (m_nOptions & (GXComboTextFit | GXComboDisplayChoice)) &&
        GetStyle().GetIncludeChoiceList())
        ConvertControlTextToValue(value, m_nRow, m_nCol, &GetStyle());
    return true;
}

bool CGXComboBox::GetControlText(std::string& text, ROWCOL row, ROWCOL col,
                                 const std::string* valueText, const CGXStyle& style) {
    if (!(m_nOptions & GXComboDisplayChoice) || !m_bFillWithChoiceList)
        return CGXEditControl::GetControlText(text, row, col, valueText, style);
    text.clear();
    const std::string value =
        valueText ? *valueText : (style.GetIncludeValue() ? style.GetValue() : std::string());
    if (value.empty())
        return false;
    // The whole number: an index beyond 16 bits must not wrap onto another line.
    const std::optional<long> v = GXParseIndex(value);
    if (!v || !style.GetIncludeChoiceList())
        return false;
    const long index = (*v != -1 && (m_nOptions & GXComboOneBased)) ? *v - 1 : *v;
    if (index < 0 || index > INT_MAX)
        return false;
    return GetChoiceListItem(text, style.GetChoiceList(), static_cast<int>(index));
}

bool CGXComboBox::ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                            const CGXStyle* style) {
    if (!m_bFillWithChoiceList || !(m_nOptions & (GXComboTextFit | GXComboDisplayChoice)))
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
        if (!(m_nOptions & GXComboDisplayChoice))
            text = line;
        else if (index < 0)
            text.clear();
        else
            text = std::to_string(index + ((m_nOptions & GXComboOneBased) ? 1 : 0));
    }
    if (made)
        m_pGrid->RecycleStyle(std::move(made));
    return true;
}

bool CGXComboBox::ValidateText(const std::string& text) {
    if (text.empty() || !m_bFillWithChoiceList)
        return true;
    if (!(m_nOptions & (GXComboTextFit | GXComboDisplayChoice)) || !m_bInit)
        return true;
    const CGXStyle& style = GetStyle();
    std::string line;
    return style.GetIncludeChoiceList() &&
           FindStringInChoiceList(line, text, style.GetChoiceList(), false) >= 0;
}

// --- binding -------------------------------------------------------------------------------------

void CGXComboBox::Init(ROWCOL row, ROWCOL col) {
    CGXEditControl::Init(row, col);
    if (fw::Window* wnd = m_pGrid->GridWnd()) {
        OnInitChildren(row, col, GetCellRect(row, col));
        wnd->InvalidateRect(m_pButton->GetRect(), true);
    }
}

void CGXComboBox::Reset() {
    if (IsDropDownVisible()) {
        DestroyDropDownWnd();
        m_pGrid->m_bDropDownOpen = false;
    }
    CGXEditControl::Reset();
}

void CGXComboBox::SetActive(bool active) {
    if (!active && IsDropDownVisible()) {
        DestroyDropDownWnd();
        m_pGrid->m_bDropDownOpen = false;
    }
    CGXEditControl::SetActive(active);
}

// --- geometry and drawing
// --------------------------------------------------------------------------

fw::Rect CGXComboBox::GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect,
                                  const CGXStyle* style) {
    fw::Rect r = CGXEditControl::GetCellRect(row, col, rect, style);
    if (!(m_bInactiveDrawButton && !m_bShowButtonAlways && !m_pGrid->IsCurrentCell(row, col)))
        r.right -= kButtonWidth;
    return r;
}

fw::Size CGXComboBox::AddBorders(fw::Size size, const CGXStyle& style) {
    size.cx += kButtonWidth;
    return CGXEditControl::AddBorders(size, style);
}

void CGXComboBox::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                       const CGXStyle& style, const CGXStyle* standardStyle) {
    if (IsInitFor(row, col) && IsActive() && !m_pGrid->IsPrinting() && m_bDrawEditedText) {
        // The edited text drawn as the cell would show it stored; the window stays hidden.
        Hide();
        std::unique_ptr<CGXStyle> shown = style.Clone();
        std::string value;
        if (GetValue(value))
            shown->SetValue(value);
        CGXStatic::Draw(dc, rect, row, col, *shown, standardStyle);
        DrawChildren(dc, rect, row, col, style);
        return;
    }
    CGXEditControl::Draw(dc, rect, row, col, style, standardStyle);
}

void CGXComboBox::OnInitChildren(ROWCOL row, ROWCOL col, const fw::Rect&) {
    // The button lies at the right of the whole inner cell, right of the text rectangle.
    const fw::Rect rect = CGXControl::GetCellRect(row, col);
    fw::Rect b{std::max(rect.right - 16, rect.left + 1), rect.top, rect.right - 1, rect.bottom - 1};
    std::unique_ptr<CGXStyle> looked;
    const CGXStyle* style = nullptr;
    if (IsInitFor(row, col)) {
        style = &GetStyle();
    } else if (m_bShowButtonAlways) {
        looked = m_pGrid->CreateStyle();
        m_pGrid->ComposeStyleRowCol(row, col, looked.get());
        style = looked.get();
    }
    if (style && m_nTextHeight == 0) {
        GXMeasureDC m;
        m_pGrid->LoadFont(&m.dc, *style);
        m_nTextHeight = m.dc.GetTextMetrics().height;
    }
    if (m_bSizeToContent && style) {
        const int cellHeight = rect.Height();
        const int h = std::max(0, std::min(m_nTextHeight + 2, cellHeight - 2 * m_nButtonMargin));
        const unsigned valign =
            style->GetIncludeVerticalAlignment() ? style->GetVerticalAlignment() : fw::DT_TOP;
        if (valign == fw::DT_VCENTER)
            b.top += std::max(0, (cellHeight - h) / 2 - m_nButtonMargin);
        else if (valign == fw::DT_BOTTOM)
            b.top = rect.bottom - 2 * m_nButtonMargin - h;
        b.bottom = b.top + 2 * m_nButtonMargin + h - 1;
    }
    m_pButton->SetRect(b);
    if (looked)
        m_pGrid->RecycleStyle(std::move(looked));
}

// --- the drop-down
// ---------------------------------------------------------------------------------

CGXGridCombo* CGXComboBox::CreateDropDownWnd(fw::Window* gridWnd) {
    if (!m_pDropDownWnd) {
        m_pDropDownWnd = std::make_unique<CGXGridCombo>();
        m_pDropDownWnd->Create(gridWnd);
        m_pDropDownWnd->onDismiss = [this](fw::PopupWindow::DismissReason reason) {
            OnDismiss(static_cast<int>(reason));
        };
    }
    return m_pDropDownWnd.get();
}

CGXComboListBox* CGXComboBox::CreateListBox(CGXGridCombo* popup, unsigned id) {
    if (!m_pListBox) {
        auto list = std::make_unique<CGXComboListBox>();
        list->Create(popup, {0, 0, 1, 1}, id);
        m_pListBox = list.get();
        popup->SetListWnd(std::move(list));
        m_pListBox->onAccept = [this](int) { OnComboAccept(); };
    }
    return m_pListBox;
}

bool CGXComboBox::IsDropDownVisible() const {
    return m_pDropDownWnd && m_pDropDownWnd->IsWindowVisible();
}

void CGXComboBox::DestroyDropDownWnd() {
    if (m_pDropDownWnd)
        m_pDropDownWnd->Close();
}

void CGXComboBox::FillListBox(CGXComboListBox* list) {
    list->ResetContent();
    const CGXStyle& style = GetStyle();
    if (m_bFillWithChoiceList && style.GetIncludeChoiceList()) {
        std::string text = style.GetChoiceList(), line;
        while (!text.empty()) {
            GXExtractLine(text, line);
            list->AddString(line);
        }
    }
    list->SetCurSel(SelectionFor(list));
}

int CGXComboBox::SelectionFor(CGXComboListBox* list) {
    std::string text;
    bool byText = true;
    if (IsActive()) {
        text = GetWindowText();
        byText = (m_nOptions & (GXComboTextFit | GXComboDisplayChoice)) ||
                 !(m_nOptions & (GXComboZeroBased | GXComboOneBased));
    } else {
        const CGXStyle& style = GetStyle();
        text = style.GetIncludeValue() ? style.GetValue() : std::string();
        byText =
            (m_nOptions & GXComboTextFit) || !(m_nOptions & (GXComboZeroBased | GXComboOneBased));
    }
    if (byText)
        return text.empty() ? -1 : FindLine(*list, text);
    const std::optional<long> v = GXParseIndex(text);
    if (!v)
        return -1;
    const long index = (m_nOptions & GXComboOneBased) ? *v - 1 : *v;
    return index >= 0 && index < list->GetCount() ? static_cast<int>(index) : -1;
}

int CGXComboBox::PrepareDropDown(const fw::LogFont&, int) {
    m_pDropDownWnd->ShowHeader(0);
    return 0;
}

fw::Rect CGXComboBox::CalcDropDownRect(const fw::Rect& cell) {
    const std::uint32_t height = m_pGrid->GetParam() ? m_pGrid->GetParam()->m_nDropDownHeight : 100;
    return {cell.left, cell.bottom, cell.right, cell.bottom + static_cast<int>(height)};
}

void CGXComboBox::ShowDropDown(bool show) {
    if (!show) {
        if (IsDropDownVisible())
            OnComboClose(IsActive());
        return;
    }
    fw::Window* gridWnd = m_pGrid->GridWnd();
    if (!m_bInit || IsDropDownVisible() || !gridWnd)
        return;
    m_bClosedByClick = false;
    m_pGrid->m_bDropDownOpen = true;
    const CGXStyle& style = GetStyle();
    const fw::Rect cell = CGXControl::GetCellRect(m_nRow, m_nCol, nullptr, &style);
    const bool lock = m_pGrid->m_bNoFocusChange;
    m_pGrid->m_bNoFocusChange = true;

    CGXGridCombo* popup = CreateDropDownWnd(gridWnd);
    CGXComboListBox* list = CreateListBox(popup, m_nListBoxId);
    GXMeasureDC m;
    if (style.GetIncludeFont())
        m_pGrid->SelectZoomedFont(&m.dc, style.GetFont());
    list->SetFont(m.dc.GetCurrentFont());
    const int textHeight = m.dc.GetTextMetrics().height;
    popup->SetColors(style.GetTextColor() & 0xFFFFFFu,
                     style.GetInterior().GetColorResolved() & 0xFFFFFFu);
    FillListBox(list);
    const int itemHeight = ListItemHeight(textHeight);
    list->SetItemHeight(itemHeight);
    const int above = PrepareDropDown(list->GetFont(), textHeight);

    fw::Rect r = gridWnd->ClientToScreen(CalcDropDownRect(cell));
    const fw::Rect screenCell = gridWnd->ClientToScreen(cell);
    const int rowsHeight = above + list->GetCount() * itemHeight + itemHeight / 2;
    if (rowsHeight < r.Height())
        r.bottom = r.top + rowsHeight;
    const int screenW = fw::GetSystemMetrics(fw::SM_CXSCREEN);
    const int screenH = fw::GetSystemMetrics(fw::SM_CYSCREEN);
    if (r.right > screenW)
        r.Offset(-(r.Width() - screenCell.Width()), 0);
    if (r.bottom > screenH)
        r.Offset(0, -(r.Height() + screenCell.Height()));
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, screenW);
    r.bottom = std::min(r.bottom, screenH);
    popup->Open(r);
    if (list->GetCurSel() < 0 && list->GetCount() > 0)
        list->SetCurSel(0);
    list->SetTopIndex(std::max(0, list->GetCurSel()));
    m_pGrid->m_bNoFocusChange = lock;
}

void CGXComboBox::OnListBoxSelected(CGXComboListBox* list) {
    const int sel = list->GetCurSel();
    if (sel < 0)
        return;
    std::string text;
    if (m_nOptions & GXComboZeroBased)
        text = std::to_string(sel);
    else if (m_nOptions & GXComboOneBased)
        text = std::to_string(sel + 1);
    else
        text = list->GetText(sel);
    SetActive(true);
    SetValue(text);
    SetSel(0, -1);
    SetModify(true);
    if (m_bDrawEditedText)
        Refresh();
    else if (m_pWnd)
        m_pWnd->Invalidate();
}

void CGXComboBox::OnComboAccept() {
    const bool lock = m_pGrid->m_bNoFocusChange;
    m_pGrid->m_bNoFocusChange = true;
    m_pGrid->m_bDropDownOpen = false;
    if (IsDropDownVisible()) {
        if (!IsReadOnly())
            OnListBoxSelected(m_pListBox);
        DestroyDropDownWnd();
        OnModifyCell();
        if (IsActive() && !m_bDrawEditedText && m_pWnd)
            m_pWnd->SetFocus();
    }
    m_pGrid->m_bNoFocusChange = lock;
}

void CGXComboBox::OnComboClose(bool keepActive) {
    m_pGrid->m_bDropDownOpen = false;
    if (!IsDropDownVisible())
        return;
    const bool lock = m_pGrid->m_bNoFocusChange;
    m_pGrid->m_bNoFocusChange = true;
    DestroyDropDownWnd();
    if (keepActive) {
        if (IsActive() && !m_bDrawEditedText && m_pWnd)
            m_pWnd->SetFocus();
        if (GetModify())
            OnModifyCell();
    } else {
        SetActive(false);
        SetModify(false);
        Refresh();
    }
    m_pGrid->m_bNoFocusChange = lock;
}

void CGXComboBox::OnComboSelChange() {
    if (IsReadOnly() || !m_pListBox)
        return;
    OnListBoxSelected(m_pListBox);
    OnModifyCell();
}

void CGXComboBox::OnDismiss(int reason) {
    using Reason = fw::PopupWindow::DismissReason;
    switch (static_cast<Reason>(reason)) {
        case Reason::Escape:
            // The lines moved to are in the edit already; Escape only closes the list.
            OnComboClose(true);
            break;
        case Reason::ClickOutside:
            // The click goes on to where it was meant; on the cell's own button it must not
            // open the list again.
            m_bClosedByClick = true;
            m_closedRow = m_nRow;
            m_closedCol = m_nCol;
            OnComboClose(true);
            break;
        case Reason::FocusLost:
            OnComboClose(false);
            break;
    }
}

bool CGXComboBox::OpenForUser() {
    if (!m_bInit)
        return false;
    if (!IsActive()) {
        if (!OnStartEditing())
            return false;
        SetActive(true);
        if (!m_pGrid->ScrollCellInView(m_nRow, m_nCol, 2))
            Refresh();
    }
    if (fw::Window* wnd = m_pGrid->GridWnd())
        wnd->UpdateWindow();
    ShowDropDown(true);
    return true;
}

void CGXComboBox::OnClickedButton(CGXChild* child) {
    if (!m_bInit)
        return;
    if (!IsActive()) {
        if (!OnStartEditing())
            return;
        SetActive(true);
        Refresh();
    }
    if (fw::Window* wnd = m_pGrid->GridWnd())
        wnd->UpdateWindow();
    // The click that closed this cell's list must not open it again.
    const bool closedByClick =
        std::exchange(m_bClosedByClick, false) && m_closedRow == m_nRow && m_closedCol == m_nCol;
    if (!closedByClick)
        ShowDropDown(!IsDropDownVisible());
    CGXEditControl::OnClickedButton(child);
}

bool CGXComboBox::ListKey(unsigned message, unsigned key) {
    if (!IsDropDownVisible())
        return false;
    if (message == fw::WM_SYSKEYDOWN && (key == fw::VK_DOWN || key == fw::VK_UP)) {
        OnComboClose(true);
        return true;
    }
    if (message != fw::WM_KEYDOWN)
        return false;
    switch (key) {
        case fw::VK_RETURN:
            OnComboAccept();
            return true;
        case fw::VK_TAB:
            OnComboClose(true);
            return false;  // the grid moves on
        case fw::VK_UP:
        case fw::VK_DOWN:
        case fw::VK_PRIOR:
        case fw::VK_NEXT:
        case fw::VK_HOME:
        case fw::VK_END: {
            const int before = m_pListBox->GetCurSel();
            if (m_pListBox->MoveByKey(key) && m_pListBox->GetCurSel() != before)
                OnComboSelChange();
            return true;
        }
        default:
            return false;
    }
}

bool CGXComboBox::ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) {
    if (ListKey(message, key))
        return true;
    if (m_bInit && !IsDropDownVisible()) {
        // Alt+Down opens the list; with the edited text drawn, the Down key does too. A typed
        // "(" (whose code equals the Down key's) is a character like any other.
        const bool altDown = message == fw::WM_SYSKEYDOWN && key == fw::VK_DOWN;
        const bool drawnDown =
            m_bDrawEditedText && IsActive() && message == fw::WM_KEYDOWN && key == fw::VK_DOWN;
        if (altDown || drawnDown)
            return OpenForUser();
    }
    return CGXEditControl::ProcessKeys(message, key, repeat, flags);
}

void CGXComboBox::OnGridScroll(unsigned message, fw::WPARAM wParam, fw::LPARAM lParam) {
    if (IsDropDownVisible())
        OnComboClose(true);
    CGXEditControl::OnGridScroll(message, wParam, lParam);
}

bool CGXComboBox::LButtonDown(unsigned flags, fw::Point point, unsigned hit) {
    // Only a press on the button itself right after the list closed keeps it from reopening.
    if (m_bClosedByClick && !m_pButton->HitTest(point))
        m_bClosedByClick = false;
    return CGXEditControl::LButtonDown(flags, point, hit);
}

fw::LRESULT CGXComboBox::OnEditKeyDown(unsigned key, unsigned repeat, unsigned flags) {
    if (ListKey(fw::WM_KEYDOWN, key))
        return 1;
    return CGXEditControl::OnEditKeyDown(key, repeat, flags);
}

fw::LRESULT CGXComboBox::OnEditForwardKey(unsigned message, unsigned key, unsigned repeat,
                                          unsigned flags) {
    if (ListKey(message, key))
        return 1;
    if (message == fw::WM_SYSKEYDOWN && key == fw::VK_DOWN)
        return OpenForUser() ? 1 : 0;
    return CGXEditControl::OnEditForwardKey(message, key, repeat, flags);
}

fw::LRESULT CGXComboBox::OnEditChar(unsigned ch, unsigned repeat, unsigned flags) {
    const fw::LRESULT r = CGXEditControl::OnEditChar(ch, repeat, flags);
    // Typing with the list open: the list follows the text.
    if (IsDropDownVisible())
        m_pListBox->SetCurSel(SelectionFor(m_pListBox));
    return r;
}
