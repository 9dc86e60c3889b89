#include "grid/controls/CGXSpinEdit.h"

#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXCheckBox.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXStylesMap.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

const CGXControlClassInfo CGXSpinEdit::kClassInfo{"CGXSpinEdit", &CGXEditControl::kClassInfo};

namespace {

// The text's number as the C library reads it (leading digits, 0 for none), held to 32 bits.
std::int32_t ToInt32(const std::string& text) {
    errno = 0;
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<std::int32_t>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

std::optional<std::int32_t> Bound(const CGXStyle& style, std::uint16_t id) {
    const std::string text = style.GetUserAttribute(id).GetValue();
    if (text.empty())
        return std::nullopt;
    return ToInt32(text);
}

}  // namespace

CGXSpinEdit::CGXSpinEdit(CGXGridCore* grid, unsigned id) : CGXEditControl(grid, id) {
    m_pUpArrow = static_cast<CGXUpArrowButton*>(AddChild(std::make_unique<CGXUpArrowButton>(this)));
    m_pDownArrow =
        static_cast<CGXDownArrowButton*>(AddChild(std::make_unique<CGXDownArrowButton>(this)));
}

void CGXSpinEdit::AddUserAttributes(CGXStylesMap& map) {
    CGXStyle spin;
    spin.SetControl(static_cast<std::uint16_t>(GX_IDS_CTRL_SPINEDIT));
    map.AddUserAttribute(GX_IDS_UA_SPINBOUND_MIN, &spin);
    map.AddUserAttribute(GX_IDS_UA_SPINBOUND_MAX, &spin);
    map.AddUserAttribute(GX_IDS_UA_SPINSTART, &spin);
    CGXStyle check;
    check.SetControl(static_cast<std::uint16_t>(GX_IDS_CTRL_CHECKBOX3D));
    check.SetVerticalAlignment(fw::DT_VCENTER).SetHorizontalAlignment(fw::DT_CENTER);
    map.AddUserAttribute(GX_IDS_UA_SPINBOUND_WRAP, &check);
}

void CGXSpinEdit::Init(ROWCOL row, ROWCOL col) {
    CGXEditControl::Init(row, col);
    if (fw::Window* wnd = m_pGrid->GridWnd()) {
        for (CGXChild* child :
             {static_cast<CGXChild*>(m_pUpArrow), static_cast<CGXChild*>(m_pDownArrow)})
            if (!child->GetRect().IsEmpty())
                wnd->InvalidateRect(child->GetRect());
    }
    GetStyle();
}

fw::Rect CGXSpinEdit::GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect,
                                  const CGXStyle* style) {
    fw::Rect r = CGXEditControl::GetCellRect(row, col, rect, style);
    r.right -= kButtonWidth;
    return r;
}

fw::Size CGXSpinEdit::AddBorders(fw::Size size, const CGXStyle& style) {
    size.cx += kButtonWidth;
    return CGXEditControl::AddBorders(size, style);
}

void CGXSpinEdit::OnInitChildren(ROWCOL row, ROWCOL col, const fw::Rect& rect) {
    // `rect` is this control's text rectangle: the buttons take the column right of it.
    const fw::Rect cell = CGXControl::GetCellRect(row, col);
    const int right = rect.right + kButtonWidth + 1;
    fw::Rect column{right - 15, rect.top + 1, right - 1, rect.bottom - 1};
    column.left = std::max(column.left, cell.left);
    column.right = std::min(column.right, cell.right);
    column.top = std::max(column.top, cell.top);
    column.bottom = std::min(column.bottom, cell.bottom);
    const int half = column.top + column.Height() / 2;
    m_pUpArrow->SetRect({column.left, column.top, column.right, half});
    m_pDownArrow->SetRect({column.left, half, column.right, column.bottom});
}

void CGXSpinEdit::LoadBounds() {
    if (!m_bInit)
        return;
    const CGXStyle& style = GetStyle();
    m_bWrap = std::atoi(style.GetUserAttribute(GX_IDS_UA_SPINBOUND_WRAP).GetValue().c_str()) != 0;
    m_nMin = Bound(style, GX_IDS_UA_SPINBOUND_MIN);
    m_nMax = Bound(style, GX_IDS_UA_SPINBOUND_MAX);
    m_nStart = Bound(style, GX_IDS_UA_SPINSTART);
}

bool CGXSpinEdit::LButtonDown(unsigned flags, fw::Point point, unsigned hit) {
    LoadBounds();
    return CGXEditControl::LButtonDown(flags, point, hit);
}

std::int32_t CGXSpinEdit::NextValue(const std::string& text, bool up) const {
    // 64 bits for the step, so that a step past either end of the range saturates.
    long long n = 0;
    if (m_nStart && text.empty()) {
        n = *m_nStart;
    } else {
        n = ToInt32(text);
        if (up) {
            if (!m_nMax || n < *m_nMax)
                n += 1;
            else if (m_bWrap && m_nMin)
                n = *m_nMin;
        } else {
            if (!m_nMin || n > *m_nMin)
                n -= 1;
            else if (m_bWrap && m_nMax)
                n = *m_nMax;
        }
    }
    if (m_nMin)
        n = std::max<long long>(n, *m_nMin);
    if (m_nMax)
        n = std::min<long long>(n, *m_nMax);
    return static_cast<std::int32_t>(std::clamp<long long>(n, INT32_MIN, INT32_MAX));
}

void CGXSpinEdit::OnClickedButton(CGXChild* child) {
    if (!m_bInit || !GetEditWnd())
        return;
    const bool wasActive = m_bActive;
    if (!wasActive && !OnStartEditing())
        return;
    SetActive(true);
    if (!m_nMin && !m_nMax && !m_nStart)
        LoadBounds();  // a step by the space bar comes without a press
    if (!IsReadOnly()) {
        const std::string text = GetWindowText();
        const std::int32_t n = NextValue(text, child == m_pUpArrow);
        GetEditWnd()->SetWindowText(std::to_string(n));
        SetModify(true);
        OnModifyCell();
        SetSel(0, -1);
    }
    if (!wasActive)
        Refresh();
    CGXControl::OnClickedButton(child);
}
