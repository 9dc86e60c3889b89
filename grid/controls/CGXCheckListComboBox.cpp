#include "grid/controls/CGXCheckListComboBox.h"

#include "framework/controls/ControlStyles.h"
#include "framework/window/VirtualKeys.h"
#include "framework/window/Window.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"
#include "grid/core/GXChoiceList.h"
#include "grid/core/GXLibraryState.h"

#include <algorithm>
#include <cstdlib>

const CGXControlClassInfo CGXCheckListComboBox::kClassInfo{"CGXCheckListComboBox",
                                                           &CGXComboBox::kClassInfo};

// --- the list ------------------------------------------------------------------------------------

CGXCheckListComboLBox::CGXCheckListComboLBox() {
    SetDrawItemHook([this](fw::DeviceContext& dc, const fw::Rect& r, int index, bool selected) {
        DrawItem(dc, r, index, selected);
    });
    // A released click on a line ticks it; the list stays open.
    onAccept = [this](int index) { ToggleCheck(index); };
}

bool CGXCheckListComboLBox::GetCheck(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < checks_.size() &&
           checks_[static_cast<std::size_t>(index)];
}

void CGXCheckListComboLBox::SetCheck(int index, bool checked) {
    if (index < 0 || index >= GetCount())
        return;
    checks_.resize(static_cast<std::size_t>(GetCount()), false);
    checks_[static_cast<std::size_t>(index)] = checked;
    InvalidateRect(ItemRect(index), false);
}

void CGXCheckListComboLBox::ToggleCheck(int index) {
    SetCheck(index, !GetCheck(index));
}

GXCheckListMask CGXCheckListComboLBox::CheckedMask() const {
    GXCheckListMask mask = 0;
    const int n = std::min(GetCount(), GXCheckListMaxItems);
    for (int i = 0; i < n; ++i)
        if (GetCheck(i))
            mask |= GXCheckListMask{1} << i;
    return mask;
}

void CGXCheckListComboLBox::DrawItem(fw::DeviceContext& dc, const fw::Rect& r, int index,
                                     bool selected) {
    const COLORREF paper = 0xFFFFFF;
    const COLORREF ink = 0x000000;
    const COLORREF highlight = GXGetSysColor(fw::COLOR_HIGHLIGHT) & 0xFFFFFFu;
    const COLORREF highlightText = GXGetSysColor(fw::COLOR_HIGHLIGHTTEXT) & 0xFFFFFFu;
    dc.FillSolidRect(r, paper);
    const int size = std::max(7, std::min(13, r.Height() - 2));
    const fw::Rect box{r.left + 2, r.top + (r.Height() - size) / 2, r.left + 2 + size,
                       r.top + (r.Height() - size) / 2 + size};
    dc.FrameRect(box, fw::Brush::Solid(ink));
    if (GetCheck(index)) {
        const fw::Pen old = dc.SelectPen(fw::Pen{fw::PS_SOLID, 2, ink});
        const int x = box.left, y = box.top;
        const fw::Point mark[] = {
            {x + 3, y + size / 2}, {x + size / 2 - 1, y + size - 4}, {x + size - 3, y + 3}};
        dc.Polyline(mark);
        dc.SelectPen(old);
    }
    const fw::Rect text{box.right + 3, r.top, r.right, r.bottom};
    if (selected)
        dc.FillSolidRect(text, highlight);
    dc.SetBkMode(fw::TRANSPARENT);
    dc.SetTextColor(selected ? highlightText : ink);
    fw::Rect t{text.left + 1, text.top, text.right, text.bottom};
    dc.DrawText(GetText(index), t, fw::DT_VCENTER | fw::DT_SINGLELINE | fw::DT_NOPREFIX);
}

// --- the control ---------------------------------------------------------------------------------

CGXCheckListComboBox::CGXCheckListComboBox(CGXGridCore* grid)
    : CGXComboBox(grid, 0, 0, GXComboNoTextFit) {}

GXCheckListMask CGXCheckListComboBox::MaskOf(const std::string& value) {
    return static_cast<GXCheckListMask>(std::atol(value.c_str()));
}

int CGXCheckListComboBox::ItemCount(const std::string& choiceList) {
    std::string text = choiceList, line;
    int lines = 0;
    while (!text.empty()) {
        GXExtractLine(text, line);
        ++lines;
    }
    return std::max(0, lines - 1);
}

CGXCheckListComboLBox* CGXCheckListComboBox::GetCheckList() const {
    return static_cast<CGXCheckListComboLBox*>(m_pListBox);
}

bool CGXCheckListComboBox::GetControlText(std::string& text, ROWCOL, ROWCOL, const std::string*,
                                          const CGXStyle& style) {
    text.clear();
    if (style.GetIncludeChoiceList())
        GetChoiceListItem(text, style.GetChoiceList(), 0);
    return true;
}

void CGXCheckListComboBox::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                                const CGXStyle& style, const CGXStyle* standardStyle) {
    const bool own = IsInitFor(row, col) && IsActive() && !m_pGrid->IsPrinting();
    if (own)
        Hide();  // the edit window is never shown
    if (style.GetIncludeChoiceList() && (!style.GetIncludeValue() || style.GetValue().empty())) {
        // The caption shows for a cell without ticks too; static text skips empty values.
        std::unique_ptr<CGXStyle> shown = style.Clone();
        shown->SetValue(std::string("0"));
        CGXStatic::Draw(dc, rect, row, col, *shown, standardStyle);
    } else {
        CGXStatic::Draw(dc, rect, row, col, style, standardStyle);
    }
    DrawChildren(dc, rect, row, col, style);
    if (own)
        DrawFrame(dc, rect);
}

bool CGXCheckListComboBox::LButtonUp(unsigned flags, fw::Point point, unsigned hit) {
    return CGXControl::LButtonUp(flags, point, hit);
}

bool CGXCheckListComboBox::OnKeyFilter(unsigned, unsigned, unsigned) {
    return false;
}

fw::DWORD CGXCheckListComboBox::CalcEditStyle() {
    return CGXComboBox::CalcEditStyle() | fw::ES_READONLY;
}

bool CGXCheckListComboBox::ProcessKeys(unsigned message, unsigned key, unsigned repeat,
                                       unsigned flags) {
    if (!m_bInit)
        return false;
    if (IsDropDownVisible()) {
        const bool altArrow =
            message == fw::WM_SYSKEYDOWN && (key == fw::VK_DOWN || key == fw::VK_UP);
        if (altArrow) {
            CloseList();
            return true;
        }
        if (message == fw::WM_CHAR)
            return true;  // nothing is typed while the list is open
        if (message != fw::WM_KEYDOWN)
            return false;
        switch (key) {
            case fw::VK_RETURN:
            case fw::VK_ESCAPE:
                CloseList();
                return true;
            case fw::VK_TAB:
                CloseList();
                return false;  // the grid moves on as from the cell
            case fw::VK_SPACE:
                GetCheckList()->ToggleCheck(GetCheckList()->GetCurSel());
                return true;
            case fw::VK_UP:
            case fw::VK_DOWN:
            case fw::VK_PRIOR:
            case fw::VK_NEXT:
            case fw::VK_HOME:
            case fw::VK_END:
                m_pListBox->MoveByKey(key);
                return true;
            default:
                return true;
        }
    }
    // Alt+Down opens the list; every other key is the grid's.
    if (message == fw::WM_SYSKEYDOWN)
        return CGXComboBox::ProcessKeys(message, key, repeat, flags);
    return false;
}

void CGXCheckListComboBox::OnClickedButton(CGXChild* child) {
    if (IsDropDownVisible()) {
        CloseList();
        return;
    }
    CGXComboBox::OnClickedButton(child);
}

void CGXCheckListComboBox::OnGridScroll(unsigned message, fw::WPARAM wParam, fw::LPARAM lParam) {
    if (IsDropDownVisible())
        CloseList();
    CGXEditControl::OnGridScroll(message, wParam, lParam);
}

CGXGridCombo* CGXCheckListComboBox::CreateDropDownWnd(fw::Window* gridWnd) {
    CGXGridCombo* popup = CGXComboBox::CreateDropDownWnd(gridWnd);
    // However the list closes itself (Escape, a click outside, focus loss), the ticks count.
    popup->onDismiss = [this](fw::PopupWindow::DismissReason) { CloseList(); };
    return popup;
}

CGXComboListBox* CGXCheckListComboBox::CreateListBox(CGXGridCombo* popup, unsigned id) {
    if (!m_pListBox) {
        auto list = std::make_unique<CGXCheckListComboLBox>();
        list->Create(popup, {0, 0, 1, 1}, id);
        m_pListBox = list.get();
        popup->SetListWnd(std::move(list));
    }
    return m_pListBox;
}

void CGXCheckListComboBox::FillListBox(CGXComboListBox* list) {
    list->ResetContent();
    const std::unique_ptr<CGXStyle> style = m_pGrid->CreateStyle();
    m_pGrid->ComposeStyleRowCol(m_nRow, m_nCol, style.get());
    if (style->GetIncludeChoiceList()) {
        std::string text = style->GetChoiceList(), line;
        GXExtractLine(text, line);  // the caption
        while (!text.empty() && list->GetCount() < GXCheckListMaxItems) {
            GXExtractLine(text, line);
            list->AddString(line);
        }
    }
    auto* checks = static_cast<CGXCheckListComboLBox*>(list);
    const GXCheckListMask mask = style->GetIncludeValue() ? MaskOf(style->GetValue()) : 0;
    for (int i = 0; i < list->GetCount(); ++i) checks->SetCheck(i, (mask >> i) & 1u);
    list->SetCurSel(list->GetCount() > 0 ? 0 : -1);
}

void CGXCheckListComboBox::OnListBoxSelected(CGXComboListBox* list) {
    const std::unique_ptr<CGXStyle> style = m_pGrid->CreateStyle();
    m_pGrid->ComposeStyleRowCol(m_nRow, m_nCol, style.get());
    const GXCheckListMask old = style->GetIncludeValue() ? MaskOf(style->GetValue()) : 0;
    const GXCheckListMask mask = static_cast<CGXCheckListComboLBox*>(list)->CheckedMask();
    // Bits of items the list does not hold stay until a tick changes.
    const int count = std::min(list->GetCount(), GXCheckListMaxItems);
    const GXCheckListMask listed =
        count >= GXCheckListMaxItems ? ~GXCheckListMask{0} : (GXCheckListMask{1} << count) - 1;
    if ((old & listed) == mask)
        return;
    SetModify(true);
    m_pGrid->SetValueRange(CGXRange(m_nRow, m_nCol), mask ? std::to_string(mask) : std::string(),
                           gxOverride, GX_INVALIDATE);
}

void CGXCheckListComboBox::CloseList() {
    const bool lock = m_pGrid->m_bNoFocusChange;
    m_pGrid->m_bNoFocusChange = true;
    m_pGrid->m_bDropDownOpen = false;
    if (m_pDropDownWnd && m_pListBox) {
        GXSetActivationSuppressed(true);
        if (IsDropDownVisible() && !IsReadOnly())
            OnListBoxSelected(m_pListBox);
        DestroyDropDownWnd();
        GXSetActivationSuppressed(false);
        OnModifyCell();
    }
    m_pGrid->m_bNoFocusChange = lock;
    SetModify(false);
    m_bActive = false;
    Refresh();
}

bool CGXCheckListComboBox::StoreStyleRowCol(ROWCOL row, ROWCOL col, const CGXStyle& style,
                                            GXModifyType type) {
    if (type != gxExclude && style.GetIncludeChoiceList() &&
        ItemCount(style.GetChoiceList()) > GXCheckListMaxItems) {
        m_pGrid->SetWarningText("A check list holds at most " +
                                std::to_string(GXCheckListMaxItems) +
                                " items: one for each bit of the cell's value.");
        return false;
    }
    return m_pGrid->SetStyleRange(CGXRange(row, col), &style, type);
}
