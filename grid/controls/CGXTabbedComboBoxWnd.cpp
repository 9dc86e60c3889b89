#include "grid/controls/CGXTabbedComboBoxWnd.h"

#include "framework/window/SystemMetrics.h"
#include "framework/window/Window.h"
#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXGridCombo.h"
#include "grid/controls/GXTabbedRow.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXChoiceList.h"
#include "grid/core/GXColor.h"

#include <strings.h>
#include <algorithm>
#include <cctype>
#include <cstdlib>

const CGXControlClassInfo CGXTabbedComboBoxWnd::kClassInfo{"CGXTabbedComboBoxWnd",
                                                           &CGXStatic::kClassInfo};

namespace {

int AttrInt(const CGXStyle& style, std::uint16_t id, int absent) {
    if (!style.GetIncludeUserAttribute(id))
        return absent;
    return std::atoi(style.GetUserAttribute(id).GetValue().c_str());
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

// A context for measuring text with the cell's font outside a paint.
struct MeasureDC {
    fw::DeviceContext dc;
    MeasureDC() { dc.CreateCompatibleDC(nullptr); }
};

}  // namespace

CGXTabbedComboBoxWnd::CGXTabbedComboBoxWnd(CGXGridCore* grid) : CGXStatic(grid) {}

CGXTabbedComboBoxWnd::~CGXTabbedComboBoxWnd() {
    if (m_pPopup)
        m_pPopup->DestroyWindow();
}

void CGXTabbedComboBoxWnd::AddUserAttributes(CGXStylesMap& map) {
    for (std::uint16_t id :
         {GX_IDS_UA_TABLIST_KEYCOL, GX_IDS_UA_TABLIST_TEXTCOL, GX_IDS_UA_TABLIST_SORTCOL,
          GX_IDS_UA_TABLIST_UNIQUEID, GX_IDS_UA_TABLIST_COLWIDTHS})
        map.AddUserAttribute(id);
    CGXStyle check;
    check.SetControl(static_cast<std::uint16_t>(GX_IDS_CTRL_CHECKBOX3D))
        .SetHorizontalAlignment(fw::DT_CENTER)
        .SetVerticalAlignment(fw::DT_VCENTER);
    map.AddUserAttribute(GX_IDS_UA_TABLIST_SHOWALLCOLS, &check);
    map.AddUserAttribute(GX_IDS_UA_TABLIST_TITLES, &check);
}

// --- the choice list ---------------------------------------------------------------------------

void CGXTabbedComboBoxWnd::ReadAttributes(const CGXStyle& style) {
    m_nKeyCol = AttrInt(style, GX_IDS_UA_TABLIST_KEYCOL, 0);
    m_nTextCol = AttrInt(style, GX_IDS_UA_TABLIST_TEXTCOL, 0);
    m_bShowAll = AttrInt(style, GX_IDS_UA_TABLIST_SHOWALLCOLS, 1) != 0;
    m_bTitles = AttrInt(style, GX_IDS_UA_TABLIST_TITLES, 0) == 1;
    m_widthsText = style.GetUserAttribute(GX_IDS_UA_TABLIST_COLWIDTHS).GetValue();
    m_nSortCol = AttrInt(style, GX_IDS_UA_TABLIST_SORTCOL, -1);
}

std::vector<std::string> CGXTabbedComboBoxWnd::ChoiceLines(const CGXStyle& style,
                                                           std::string* title) const {
    std::vector<std::string> lines;
    if (!style.GetIncludeChoiceList() || style.GetChoiceList().empty())
        return lines;
    std::string list = style.GetChoiceList();
    if (m_nSortCol >= 0)
        GXSortChoiceList(list, m_nSortCol, m_bTitles);
    std::string line;
    bool first = true;
    while (!list.empty()) {
        const int more = GXExtractLine(list, line);
        if (first && m_bTitles) {
            if (title)
                *title = line;
        } else {
            lines.push_back(line);
        }
        first = false;
        if (more < 0)
            break;
    }
    return lines;
}

void CGXTabbedComboBoxWnd::FillList(const CGXStyle& style) {
    m_title.clear();
    m_lines = ChoiceLines(style, &m_title);
    m_items.clear();
    std::vector<int> widths(kMaxColumns, -1);
    MeasureDC m;
    m_pGrid->LoadFont(&m.dc, style);
    auto measure = [&](const std::string& line) {
        std::vector<int> w(kMaxColumns, 0);
        GXMeasureTabbedColumns(m.dc, line, kMaxColumns, w);
        const std::size_t fields =
            std::min<std::size_t>(GXSplitTabFields(line).size(), kMaxColumns);
        for (std::size_t i = 0; i < fields; ++i) widths[i] = std::max(widths[i], w[i]);
    };
    if (m_bTitles && !m_title.empty())
        measure(m_title);
    for (const std::string& line : m_lines) {
        measure(line);
        m_items.push_back(m_nTextCol > 0 ? GXGetTabField(line, m_nTextCol) + "\t" + line : line);
    }
    // Widths: the numbers of the widths text in order, else measured (+4) for shown columns.
    m_edges.clear();
    m_nTotalWidth = 0;
    std::size_t pos = 0;
    int right = 0;
    for (int i = 0; i < kMaxColumns && widths[static_cast<std::size_t>(i)] != -1; ++i) {
        int w = 0;
        if (pos < m_widthsText.size() &&
            std::isdigit(static_cast<unsigned char>(m_widthsText[pos]))) {
            w = std::atoi(m_widthsText.c_str() + pos);
            while (pos < m_widthsText.size() &&
                   std::isdigit(static_cast<unsigned char>(m_widthsText[pos])))
                ++pos;
            while (pos < m_widthsText.size() &&
                   !std::isdigit(static_cast<unsigned char>(m_widthsText[pos])))
                ++pos;
        } else if (m_bShowAll || i == m_nTextCol) {
            w = widths[static_cast<std::size_t>(i)] + 4;
        }
        right += w;
        m_edges.push_back(right);
    }
    m_nTotalWidth = right + fw::GetSystemMetrics(fw::SM_CXVSCROLL);
    const fw::TextMetrics tm = m.dc.GetTextMetrics();
    m_nItemHeight = tm.height + 2;
    for (const std::string& item : m_items)
        GXMeasureTabbedRowHeight(item, m_nItemHeight, !m_bShowAll, m_nTextCol, kMaxColumns);
}

// --- binding and values ------------------------------------------------------------------------

void CGXTabbedComboBoxWnd::Init(ROWCOL row, ROWCOL col) {
    CloseDropDown(true);
    m_bClosedByClick = false;
    CGXStatic::Init(row, col);
    m_bActive = false;
    FreeStyle(false);
    const CGXStyle& style = GetStyle();
    ReadAttributes(style);
    FillList(style);
    SetValue(style.GetIncludeValue() ? style.GetValue() : std::string());
    m_bModified = false;
}

void CGXTabbedComboBoxWnd::Reset() {
    CloseDropDown(true);
    m_nSel = -1;
    CGXStatic::Reset();
}

void CGXTabbedComboBoxWnd::SetValue(const std::string& value) {
    m_nSel = -1;
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (GXGetTabField(m_lines[i], m_nKeyCol) == value) {
            m_nSel = static_cast<int>(i);
            break;
        }
    if (m_pList)
        m_pList->SetCurSel(m_nSel);
}

bool CGXTabbedComboBoxWnd::GetValue(std::string& value) {
    if (!m_bInit)
        return false;
    value = m_nSel >= 0 ? GXGetTabField(m_lines[static_cast<std::size_t>(m_nSel)], m_nKeyCol)
                        : std::string();
    return true;
}

void CGXTabbedComboBoxWnd::GetCurrentText(std::string& text) {
    text = m_bInit && m_nSel >= 0
               ? GXGetTabField(m_lines[static_cast<std::size_t>(m_nSel)], m_nTextCol)
               : std::string();
}

bool CGXTabbedComboBoxWnd::GetControlText(std::string& text, ROWCOL, ROWCOL,
                                          const std::string* valueText, const CGXStyle& style) {
    text.clear();
    if (!style.GetIncludeChoiceList())
        return false;
    const std::string value =
        valueText ? *valueText : (style.GetIncludeValue() ? style.GetValue() : std::string());
    const bool titles = AttrInt(style, GX_IDS_UA_TABLIST_TITLES, 0) == 1;
    std::string line;
    if (GXFindChoiceIndex(style.GetChoiceList(), value, AttrInt(style, GX_IDS_UA_TABLIST_KEYCOL, 0),
                          true, titles, &line) < 0)
        return false;
    text = GXGetTabField(line, AttrInt(style, GX_IDS_UA_TABLIST_TEXTCOL, 0));
    return true;
}

bool CGXTabbedComboBoxWnd::ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                                     const CGXStyle* style) {
    if (text.empty())
        return true;
    std::unique_ptr<CGXStyle> made;
    if (!style) {
        made = m_pGrid->CreateStyle();
        m_pGrid->ComposeStyleRowCol(row, col, made.get());
        style = made.get();
    }
    bool found = false;
    if (style->GetIncludeChoiceList()) {
        std::string line;
        const bool titles = AttrInt(*style, GX_IDS_UA_TABLIST_TITLES, 0) == 1;
        if (GXFindChoiceIndex(style->GetChoiceList(), text,
                              AttrInt(*style, GX_IDS_UA_TABLIST_TEXTCOL, 0), true, titles,
                              &line) >= 0) {
            text = GXGetTabField(line, AttrInt(*style, GX_IDS_UA_TABLIST_KEYCOL, 0));
            found = true;
        }
    }
    if (made)
        m_pGrid->RecycleStyle(std::move(made));
    return found;
}

bool CGXTabbedComboBoxWnd::ValidateText(const std::string& text) {
    if (text.empty() || !m_bInit)
        return true;
    const CGXStyle& style = GetStyle();
    return style.GetIncludeChoiceList() &&
           GXFindChoiceIndex(style.GetChoiceList(), text, m_nTextCol, false, m_bTitles) >= 0;
}

bool CGXTabbedComboBoxWnd::OnValidate() {
    std::string value;
    if (m_bActive && m_bModified && !GetValue(value))
        return false;
    return CGXControl::OnValidate();
}

bool CGXTabbedComboBoxWnd::Store() {
    if (!m_bInit || !m_bModified)
        return true;
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

fw::Rect CGXTabbedComboBoxWnd::GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect,
                                           const CGXStyle* style) {
    fw::Rect r = CGXStatic::GetCellRect(row, col, rect, style);
    if (m_pGrid->IsCurrentCell(row, col))
        r.right -= kButtonWidth - 1;
    return r;
}

fw::Size CGXTabbedComboBoxWnd::AddBorders(fw::Size size, const CGXStyle& style) {
    size.cx += kButtonWidth + 3;
    return CGXStatic::AddBorders(size, style);
}

fw::Rect CGXTabbedComboBoxWnd::ButtonRect(const fw::Rect& cell) const {
    return {std::max(cell.right - kButtonWidth - 1, cell.left + 1), cell.top + 1, cell.right - 1,
            cell.bottom - 1};
}

void CGXTabbedComboBoxWnd::DrawButton(fw::DeviceContext& dc, const fw::Rect& button, bool pressed) {
    if (button.IsEmpty())
        return;
    const COLORREF face = GXGetSysColor(fw::COLOR_BTNFACE) & 0xFFFFFFu;
    dc.FillSolidRect(button, face);
    const COLORREF light = GXGetSysColor(fw::COLOR_BTNHIGHLIGHT) & 0xFFFFFFu;
    const COLORREF shadow = GXGetSysColor(fw::COLOR_BTNSHADOW) & 0xFFFFFFu;
    dc.Draw3dRect(button, pressed ? shadow : light, pressed ? light : 0x000000);
    // The arrow: a small triangle pointing down, centred.
    const int cx = (button.left + button.right) / 2 + (pressed ? 1 : 0);
    const int cy = (button.top + button.bottom) / 2 - 1 + (pressed ? 1 : 0);
    for (int i = 0; i < 4; ++i)
        dc.FillSolidRect({cx - 3 + i, cy + i, cx + 4 - i, cy + i + 1}, 0x000000);
}

void CGXTabbedComboBoxWnd::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                                const CGXStyle& style, const CGXStyle* standardStyle) {
    const bool current = IsInitFor(row, col) && m_pGrid->IsCurrentCell(row, col);
    if (current && m_bActive) {
        // The pending choice is shown until it is stored.
        std::unique_ptr<CGXStyle> shown = style.Clone();
        std::string value;
        GetValue(value);
        shown->SetValue(value);
        DrawBackground(dc, rect, *shown, false);
        CGXStatic::Draw(dc, rect, row, col, *shown, standardStyle);
    } else {
        DrawBackground(dc, rect, style, false);  // the grid filled the cell
        CGXStatic::Draw(dc, rect, row, col, style, standardStyle);
    }
    if (m_pGrid->IsCurrentCell(row, col) && !m_pGrid->IsPrinting())
        DrawButton(dc, ButtonRect(CGXControl::GetCellRect(row, col, &rect, &style)),
                   IsDropDownVisible());
}

// --- the drop-down -----------------------------------------------------------------------------

bool CGXTabbedComboBoxWnd::IsDropDownVisible() const {
    return m_pPopup && m_pPopup->IsWindowVisible();
}

void CGXTabbedComboBoxWnd::ShowDropDown(bool show) {
    if (!show) {
        CloseDropDown(true);
        return;
    }
    if (!m_bInit || IsDropDownVisible() || !m_pGrid->GridWnd())
        return;
    if (!m_bActive) {
        if (!OnStartEditing())
            return;
        m_bActive = true;
    }
    const CGXStyle& style = GetStyle();
    if (!m_pPopup) {
        m_pPopup = std::make_unique<CGXGridCombo>();
        m_pPopup->Create(m_pGrid->GridWnd());
        auto list = std::make_unique<CGXComboListBox>();
        list->Create(m_pPopup.get(), {0, 0, 1, 1}, GX_IDS_CTRL_TABBED_DROPDOWNLIST);
        m_pList = list.get();
        m_pPopup->SetListWnd(std::move(list));
        m_pList->onAccept = [this](int index) { Accept(index); };
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
    m_pList->SetDrawItemHook(
        [this](fw::DeviceContext& dc, const fw::Rect& r, int index, bool selected) {
            const COLORREF bk =
                selected ? GXGetSysColor(fw::COLOR_HIGHLIGHT) & 0xFFFFFFu : m_pPopup->GetBkColor();
            const COLORREF text = selected ? GXGetSysColor(fw::COLOR_HIGHLIGHTTEXT) & 0xFFFFFFu
                                           : m_pPopup->GetTextColor();
            const std::string& item = m_items[static_cast<std::size_t>(index)];
            // With hidden columns a line shows its first field (the text) across the whole line.
            const std::string_view shown =
                m_bShowAll ? std::string_view(item) : GXSplitTabFields(item)[0];
            GXDrawTabbedRow(dc, r, shown, !m_bShowAll, m_nTextCol, static_cast<int>(m_edges.size()),
                            m_edges, kGridLineColor, bk, text);
        });
    // Colours and font of the cell.
    const COLORREF textColor = style.GetTextColor() & 0xFFFFFFu;
    const COLORREF background = style.GetInterior().GetColorResolved() & 0xFFFFFFu;
    m_pPopup->SetColors(textColor, background);
    MeasureDC m;
    if (style.GetIncludeFont())
        m_pGrid->SelectZoomedFont(&m.dc, style.GetFont());
    const fw::LogFont font = m.dc.GetCurrentFont();
    m_pList->SetFont(font);
    m_pList->ResetContent();
    for (const std::string& item : m_items) m_pList->AddString(item);
    m_pList->SetItemHeight(m_nItemHeight);

    // Place it below the cell (above it when the screen ends), at least as wide as the cell.
    const fw::Rect cell =
        m_pGrid->GridWnd()->ClientToScreen(m_pGrid->CalcRectFromRowCol(m_nRow, m_nCol));
    const int titleHeight = m_bTitles ? m.dc.GetTextMetrics().height + 4 : 0;
    const int rows = std::clamp(static_cast<int>(m_items.size()), 1, 8);
    const int height = titleHeight + rows * m_nItemHeight + 2;
    const int width = std::max(cell.Width(), m_nTotalWidth);
    const int screenW = fw::GetSystemMetrics(fw::SM_CXSCREEN);
    const int screenH = fw::GetSystemMetrics(fw::SM_CYSCREEN);
    fw::Rect r{cell.left, cell.bottom, cell.left + width, cell.bottom + height};
    if (r.right > screenW)
        r.Offset(std::max(-r.left, screenW - r.right), 0);
    if (r.bottom > screenH && cell.top - height >= 0)
        r.Offset(0, cell.top - height - r.top);
    if (CGXTabbedLBoxHeader* header = m_pPopup->ShowHeader(titleHeight)) {
        header->SetTitleFont(font);
        // The title line is a choice line without the prepended text: its fields line up with
        // the columns as they stand.
        header->SetTitles(m_title, 0, m_bShowAll ? m_edges : std::vector<int>{});
    }
    m_pGrid->m_bDropDownOpen = true;
    m_pPopup->Open(r);
    m_pList->SetCurSel(m_nSel >= 0 ? m_nSel : 0);
    m_pList->SetTopIndex(std::max(0, m_pList->GetCurSel()));
    Refresh();
}

void CGXTabbedComboBoxWnd::CloseDropDown(bool keepChoice) {
    if (!IsDropDownVisible())
        return;
    m_pPopup->Close();
    m_pGrid->m_bDropDownOpen = false;
    if (keepChoice && m_bModified)
        OnModifyCell();
    Refresh();
}

void CGXTabbedComboBoxWnd::Accept(int index) {
    if (index >= 0 && index < static_cast<int>(m_lines.size()) && !IsReadOnly()) {
        if (index != m_nSel) {
            m_nSel = index;
            m_bModified = true;
        }
    }
    CloseDropDown(true);
}

void CGXTabbedComboBoxWnd::SelectByTyping(const std::string& typed) {
    const int n = static_cast<int>(m_lines.size());
    for (int step = 1; step <= n; ++step) {
        const int i = ((m_nSel < 0 ? -1 : m_nSel) + step) % n;
        if (StartsWithNoCase(GXGetTabField(m_lines[static_cast<std::size_t>(i)], m_nTextCol),
                             typed)) {
            if (i != m_nSel) {
                m_nSel = i;
                m_bModified = true;
            }
            return;
        }
    }
}

// --- input -------------------------------------------------------------------------------------

bool CGXTabbedComboBoxWnd::LButtonDown(unsigned flags, fw::Point point, unsigned hit) {
    return CGXStatic::LButtonDown(flags, point, hit);
}

bool CGXTabbedComboBoxWnd::LButtonUp(unsigned flags, fw::Point point, unsigned hit) {
    CGXStatic::LButtonUp(flags, point, hit);
    if (m_bInit && !IsDropDownVisible() && !m_bClosedByClick)
        ShowDropDown(true);
    m_bClosedByClick = false;
    return true;
}

bool CGXTabbedComboBoxWnd::ProcessKeys(unsigned message, unsigned key, unsigned repeat,
                                       unsigned flags) {
    if (!m_bInit)
        return false;
    const bool open = IsDropDownVisible();
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
        if (m_pList->MoveByKey(key))
            return true;
        return true;  // the open list takes the other keys
    }
    if (message == fw::WM_CHAR && key >= 32 && key != 127) {
        if (IsReadOnly())
            return false;
        if (!m_bActive) {
            if (!OnStartEditing())
                return false;
            m_bActive = true;
        }
        SelectByTyping(std::string(1, static_cast<char>(key)));
        if (m_pList)
            m_pList->SetCurSel(m_nSel);
        if (m_bModified)
            OnModifyCell();
        Refresh();
        return true;
    }
    (void)repeat;
    (void)flags;
    return false;
}

void CGXTabbedComboBoxWnd::OnGridScroll(unsigned, fw::WPARAM, fw::LPARAM) {
    CloseDropDown(true);
}
