#include "grid/controls/CGXTabbedComboBox.h"

#include "framework/window/SystemMetrics.h"
#include "framework/window/VirtualKeys.h"
#include "framework/window/Window.h"
#include "grid/controls/CGXTabbedComboBoxWnd.h"
#include "grid/controls/GXComboText.h"
#include "grid/controls/GXTabbedRow.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/GXChoiceList.h"
#include "grid/core/GXChoiceMaps.h"
#include "grid/core/GXColor.h"

#include <strings.h>
#include <algorithm>
#include <cstdlib>

const CGXControlClassInfo CGXTabbedComboBox::kClassInfo{"CGXTabbedComboBox",
                                                        &CGXComboBox::kClassInfo};

namespace {

bool Titles(const CGXStyle& style) {
    return GXAttrInt(style, GX_IDS_UA_TABLIST_TITLES, 0) == 1;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The whole choice line whose key (or text) column holds `field`: through the grid's shared
// maps when the list has a unique id, else by reading the list.
bool LineOf(CGXGridCore& grid, const CGXStyle& style, const std::string& field,
            CGXChoiceMaps::Kind kind, std::string& line) {
    if (!style.GetIncludeChoiceList())
        return false;
    const int column = GXAttrInt(
        style, kind == CGXChoiceMaps::KeyMap ? GX_IDS_UA_TABLIST_KEYCOL : GX_IDS_UA_TABLIST_TEXTCOL,
        0);
    const int id = GXAttrInt(style, GX_IDS_UA_TABLIST_UNIQUEID, 0);
    if (CGXGridParam* param = grid.GetParam(); param && id >= 1) {
        const CGXChoiceMap* map =
            param->m_choiceMaps.Get(id, kind, style.GetChoiceList(), column, Titles(style));
        const std::string* found = map->Find(field);
        if (found)
            line = *found;
        return found != nullptr;
    }
    return GXFindChoiceIndex(style.GetChoiceList(), field, column, true, Titles(style), &line) >= 0;
}

}  // namespace

CGXTabbedComboBox::CGXTabbedComboBox(CGXGridCore* grid, unsigned id, unsigned listBoxId)
    : CGXComboBox(grid, id, listBoxId, GXComboNoTextFit) {}

void CGXTabbedComboBox::ReadAttributes(const CGXStyle& style) {
    m_nKeyCol = GXAttrInt(style, GX_IDS_UA_TABLIST_KEYCOL, 0);
    m_nTextCol = GXAttrInt(style, GX_IDS_UA_TABLIST_TEXTCOL, 0);
    m_bShowAll = GXAttrInt(style, GX_IDS_UA_TABLIST_SHOWALLCOLS, 1) != 0;
    m_bTitles = Titles(style);
    m_widthsText = style.GetUserAttribute(GX_IDS_UA_TABLIST_COLWIDTHS).GetValue();
    m_nSortCol = GXAttrInt(style, GX_IDS_UA_TABLIST_SORTCOL, -1);
}

// --- keys and texts ------------------------------------------------------------------------------

bool CGXTabbedComboBox::LineOfKey(const CGXStyle& style, const std::string& key,
                                  std::string& line) {
    return LineOf(*m_pGrid, style, key, CGXChoiceMaps::KeyMap, line);
}

bool CGXTabbedComboBox::LineOfText(const CGXStyle& style, const std::string& text,
                                   std::string& line) {
    return LineOf(*m_pGrid, style, text, CGXChoiceMaps::TextMap, line);
}

bool CGXTabbedComboBox::GetControlText(std::string& text, ROWCOL, ROWCOL,
                                       const std::string* valueText, const CGXStyle& style) {
    text.clear();
    const std::string value =
        valueText ? *valueText : (style.GetIncludeValue() ? style.GetValue() : std::string());
    std::string line;
    if (!LineOfKey(style, value, line))
        return false;
    text = GXGetTabField(line, GXAttrInt(style, GX_IDS_UA_TABLIST_TEXTCOL, 0));
    return true;
}

bool CGXTabbedComboBox::ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                                  const CGXStyle* style) {
    if (text.empty())
        return true;
    std::unique_ptr<CGXStyle> made;
    if (!style) {
        made = m_pGrid->CreateStyle();
        m_pGrid->ComposeStyleRowCol(row, col, made.get());
        style = made.get();
    }
    std::string line;
    const bool found = LineOfText(*style, text, line);
    if (found)
        text = GXGetTabField(line, GXAttrInt(*style, GX_IDS_UA_TABLIST_KEYCOL, 0));
    if (made)
        m_pGrid->RecycleStyle(std::move(made));
    return found;
}

void CGXTabbedComboBox::SetValue(const std::string& value) {
    if (!m_bInit)
        return;
    std::string text;
    GetControlText(text, m_nRow, m_nCol, &value, GetStyle());
    SetEditText(text);
    if (m_bListFilled && GetListBox())
        GetListBox()->SetCurSel(SelectionFor(GetListBox()));
}

bool CGXTabbedComboBox::GetValue(std::string& value) {
    if (!m_bInit)
        return false;
    const std::string text = GetWindowText();
    if (text.empty()) {
        value.clear();
        return true;
    }
    std::string line;
    if (!LineOfText(GetStyle(), text, line))
        return false;
    value = GXGetTabField(line, m_nKeyCol);
    return true;
}

bool CGXTabbedComboBox::ValidateText(const std::string& text) {
    if (text.empty() || !m_bInit)
        return true;
    const CGXStyle& style = GetStyle();
    if (!style.GetIncludeChoiceList())
        return false;
    const int id = GXAttrInt(style, GX_IDS_UA_TABLIST_UNIQUEID, 0);
    CGXGridParam* param = m_pGrid->GetParam();
    if (!param || id < 1)
        return GXFindChoiceIndex(style.GetChoiceList(), text, m_nTextCol, false, m_bTitles) >= 0;
    CGXChoiceMap* map = param->m_choiceMaps.Get(id, CGXChoiceMaps::TextMap, style.GetChoiceList(),
                                                m_nTextCol, m_bTitles);
    if (map->Find(text))
        return true;
    // In list order: a whole text in another case is an alias of its choice; a text that only
    // begins a choice is valid while typing but names none.
    bool prefix = false;
    for (const std::string& shown : map->ListKeys()) {
        if (EqualNoCase(shown, text)) {
            map->AddAlias(text, *map->Find(shown));
            return true;
        }
        prefix = prefix || GXStartsWithNoCase(shown, text);
    }
    return prefix;
}

bool CGXTabbedComboBox::OnValidate() {
    std::string value;
    if (IsActive() && GetModify() && !GetValue(value))
        return false;  // the text names no choice: the cell stays, without a message
    return CGXComboBox::OnValidate();
}

// --- binding and drawing -------------------------------------------------------------------------

void CGXTabbedComboBox::Init(ROWCOL row, ROWCOL col) {
    CGXComboBox::Init(row, col);
    const CGXStyle& style = GetStyle();
    ReadAttributes(style);
    SetValue(style.GetIncludeValue() ? style.GetValue() : std::string());
    SetModify(false);
    m_bListFilled = false;
}

void CGXTabbedComboBox::Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
                             const CGXStyle& style, const CGXStyle* standardStyle) {
    if (IsInitFor(row, col) && !m_pGrid->IsPrinting()) {
        m_rgbText = style.GetTextColor() & 0xFFFFFFu;
        m_rgbInterior = style.GetInterior().GetColorResolved() & 0xFFFFFFu;
        if (IsActive()) {
            GXMeasureDC m;
            m_pGrid->LoadFont(&m.dc, style);
            m_nRowHeight = m.dc.GetTextMetrics().height;
            CGXComboBox::Draw(dc, rect, row, col, style, standardStyle);
            return;
        }
    }
    std::string text;
    const fw::Dib* bitmap = nullptr;
    if (GetControlText(text, row, col, nullptr, style) && text.starts_with("#BMP"))
        bitmap = GXGetDIBPool().LookupDIB(text);
    if (!bitmap) {
        CGXComboBox::Draw(dc, rect, row, col, style, standardStyle);
        return;
    }
    DrawBackground(dc, rect, style, true);
    const unsigned h =
        style.GetIncludeHorizontalAlignment() ? style.GetHorizontalAlignment() : fw::DT_LEFT;
    const unsigned v = style.GetIncludeVerticalAlignment() ? style.GetVerticalAlignment() : 0;
    GXGetDIBPool().DrawDIB(dc, text, CGXControl::GetCellRect(row, col, &rect, &style), h | v);
    DrawChildren(dc, rect, row, col, style);
}

// --- the list ------------------------------------------------------------------------------------

CGXComboListBox* CGXTabbedComboBox::CreateListBox(CGXGridCombo* popup, unsigned id) {
    if (!GetListBox()) {
        auto list = std::make_unique<CGXTabbedComboLBox>(this);
        list->Create(popup, {0, 0, 1, 1}, id);
        m_pListBox = list.get();
        popup->SetListWnd(std::move(list));
        m_pListBox->onAccept = [this](int) { OnComboAccept(); };
        m_pListBox->SetDrawItemHook([this](fw::DeviceContext& dc, const fw::Rect& r, int index,
                                           bool selected) { DrawListRow(dc, r, index, selected); });
    }
    return m_pListBox;
}

void CGXTabbedComboBox::DrawListRow(fw::DeviceContext& dc, const fw::Rect& r, int index,
                                    bool selected) {
    const COLORREF bk = selected ? GXGetSysColor(fw::COLOR_HIGHLIGHT) & 0xFFFFFFu : m_rgbInterior;
    const COLORREF text = selected ? GXGetSysColor(fw::COLOR_HIGHLIGHTTEXT) & 0xFFFFFFu : m_rgbText;
    const std::string& item = m_pListBox->GetText(index);
    // With hidden columns a row shows its first field (the text) across the whole row.
    const std::string_view shown = m_bShowAll ? std::string_view(item) : GXSplitTabFields(item)[0];
    GXDrawTabbedRow(dc, r, shown, !m_bShowAll, m_nTextCol, static_cast<int>(m_edges.size()),
                    m_edges, kGridLineColor, bk, text);
}

void CGXTabbedComboBox::FillListBox(CGXComboListBox* list) {
    const CGXStyle& style = GetStyle();
    const int id = GXAttrInt(style, GX_IDS_UA_TABLIST_UNIQUEID, 0);
    CGXGridParam* param = m_pGrid->GetParam();
    const int generation = param ? param->m_choiceMaps.Generation() : 0;
    const bool refill = !param || !param->m_choiceMaps.Find(id, CGXChoiceMaps::TextMap) ||
                        id != m_nLastChoiceId || generation > m_nLastGeneration;
    m_nLastGeneration = generation;
    if (refill && !m_bListFilled) {
        list->ResetContent();
        m_title.clear();
        std::string choices = style.GetIncludeChoiceList() ? style.GetChoiceList() : "";
        if (!choices.empty() && m_nSortCol >= 0) {
            // Sorted once per binding: the cached style keeps the sorted list.
            GXSortChoiceList(choices, m_nSortCol, m_bTitles);
            m_pStyle->SetChoiceList(choices);
            m_pStyle->SetUserAttribute(GX_IDS_UA_TABLIST_SORTCOL, "-1");
            m_nSortCol = -1;
        }
        std::vector<int> widths(kMaxColumns, -1);
        GXMeasureDC m;
        m_pGrid->LoadFont(&m.dc, style);
        std::string line;
        bool first = true;
        while (!choices.empty()) {
            GXExtractLine(choices, line);
            std::vector<int> w(kMaxColumns, 0);
            GXMeasureTabbedColumns(m.dc, line, kMaxColumns, w);
            const std::size_t fields =
                std::min<std::size_t>(GXSplitTabFields(line).size(), kMaxColumns);
            for (std::size_t i = 0; i < fields; ++i) widths[i] = std::max(widths[i], w[i]);
            if (first && m_bTitles)
                m_title = line;
            else
                list->AddString(m_nTextCol > 0 ? GXGetTabField(line, m_nTextCol) + "\t" + line
                                               : line);
            first = false;
        }
        m_edges = GXTabbedColumnEdges(widths, m_widthsText, m_bShowAll, m_nTextCol);
        m_nTotalWidth =
            (m_edges.empty() ? 0 : m_edges.back()) + fw::GetSystemMetrics(fw::SM_CXVSCROLL);
    }
    list->SetCurSel(SelectionFor(list));
    m_bListFilled = true;
    m_nLastChoiceId = id;
}

int CGXTabbedComboBox::SelectionFor(CGXComboListBox* list) {
    // A row's first field is its text: the whole text first, then the first it begins.
    const std::string text = IsActive() ? GetWindowText() : [this] {
        std::string t;
        GetControlText(t, m_nRow, m_nCol, nullptr, GetStyle());
        return t;
    }();
    if (text.empty())
        return -1;
    for (int i = 0; i < list->GetCount(); ++i)
        if (GXSplitTabFields(list->GetText(i))[0] == text)
            return i;
    for (int i = 0; i < list->GetCount(); ++i)
        if (GXStartsWithNoCase(list->GetText(i), text))
            return i;
    return -1;
}

int CGXTabbedComboBox::ListItemHeight(int textHeight) {
    int height = textHeight + 2;
    if (CGXComboListBox* list = GetListBox())
        for (int i = 0; i < list->GetCount(); ++i)
            GXMeasureTabbedRowHeight(list->GetText(i), height, !m_bShowAll, m_nTextCol,
                                     kMaxColumns);
    return height;
}

int CGXTabbedComboBox::PrepareDropDown(const fw::LogFont& font, int textHeight) {
    int titleHeight = 0;
    if (m_bTitles) {
        titleHeight = textHeight;
        GXMeasureTabbedRowHeight(m_title, titleHeight, false, 0, kMaxColumns);
        titleHeight += 4;
    }
    if (CGXTabbedLBoxHeader* header = GetDropDown()->ShowHeader(titleHeight)) {
        header->SetTitleFont(font);
        header->SetTitles(m_title, 0, m_bShowAll ? m_edges : std::vector<int>{});
    }
    return titleHeight;
}

fw::Rect CGXTabbedComboBox::CalcDropDownRect(const fw::Rect& cell) {
    fw::Rect r = CGXComboBox::CalcDropDownRect(cell);
    r.right = std::max(cell.right, cell.left + m_nTotalWidth);
    return r;
}

void CGXTabbedComboBox::OnListBoxSelected(CGXComboListBox* list) {
    const int sel = list->GetCurSel();
    if (sel < 0)
        return;
    SetActive(true);
    SetEditText(std::string(GXSplitTabFields(list->GetText(sel))[0]));
    SetModify(true);
    Refresh();
}

// --- typing --------------------------------------------------------------------------------------

void CGXTabbedComboBox::AutoComplete() {
    if (!m_bAutoComplete || !IsActive() || IsReadOnly())
        return;
    // What was typed: the text before a completed tail (the selection up to the end).
    std::string typed = GetWindowText();
    int start = 0, end = 0;
    GetSel(start, end);
    if (start < end && end == static_cast<int>(GXCharCount(typed)))
        typed = GXLeftChars(typed, static_cast<std::size_t>(start));
    if (typed.empty())
        return;
    const CGXStyle& style = GetStyle();
    std::string line;
    if (!LineOfText(style, typed, line)) {
        const int id = GXAttrInt(style, GX_IDS_UA_TABLIST_UNIQUEID, 0);
        if ((id >= 1 && m_pGrid->GetParam()) || !style.GetIncludeChoiceList() ||
            GXFindChoiceIndex(style.GetChoiceList(), typed, m_nTextCol, false, m_bTitles, &line) <
                0)
            return;
    }
    const int length = static_cast<int>(GXCharCount(typed));
    SetCurrentText(GXGetTabField(line, m_nTextCol));
    SetSel(length, -1);
}

bool CGXTabbedComboBox::ProcessKeys(unsigned message, unsigned key, unsigned repeat,
                                    unsigned flags) {
    const bool handled = CGXComboBox::ProcessKeys(message, key, repeat, flags);
    if (message == fw::WM_CHAR && key >= 32 && !IsReadOnly())
        AutoComplete();
    return handled;
}

fw::LRESULT CGXTabbedComboBox::OnEditChar(unsigned ch, unsigned repeat, unsigned flags) {
    // The edit types the character over the completed tail (the selection), or refuses it
    // when the text would begin no choice; then the text is completed again.
    const fw::LRESULT r = CGXComboBox::OnEditChar(ch, repeat, flags);
    if (ch >= 32 && !IsReadOnly())
        AutoComplete();
    return r;
}

void CGXTabbedComboBox::SetEditText(const std::string& text) {
    if (!m_pWnd)
        return;
    m_pWnd->SetWindowText(text);
    SetSel(0, -1);
}
