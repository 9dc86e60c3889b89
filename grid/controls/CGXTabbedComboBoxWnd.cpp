#include "grid/controls/CGXTabbedComboBoxWnd.h"

#include "framework/window/SystemMetrics.h"
#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXGridCombo.h"
#include "grid/controls/GXComboText.h"
#include "grid/controls/GXTabbedRow.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXChoiceList.h"
#include "grid/core/GXColor.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

const CGXControlClassInfo CGXTabbedComboBoxWnd::kClassInfo{"CGXTabbedComboBoxWnd",
                                                           &CGXComboBoxWnd::kClassInfo};

namespace {}  // namespace

CGXTabbedComboBoxWnd::CGXTabbedComboBoxWnd(CGXGridCore* grid) : CGXComboBoxWnd(grid, true) {}

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

void CGXTabbedComboBoxWnd::ReadAttributes(const CGXStyle& style) {
    m_nKeyCol = GXAttrInt(style, GX_IDS_UA_TABLIST_KEYCOL, 0);
    m_nTextCol = GXAttrInt(style, GX_IDS_UA_TABLIST_TEXTCOL, 0);
    m_bShowAll = GXAttrInt(style, GX_IDS_UA_TABLIST_SHOWALLCOLS, 1) != 0;
    m_bTitles = GXAttrInt(style, GX_IDS_UA_TABLIST_TITLES, 0) == 1;
    m_widthsText = style.GetUserAttribute(GX_IDS_UA_TABLIST_COLWIDTHS).GetValue();
    m_nSortCol = GXAttrInt(style, GX_IDS_UA_TABLIST_SORTCOL, -1);
}

// --- the choices -------------------------------------------------------------------------------

void CGXTabbedComboBoxWnd::FillList(const CGXStyle& style) {
    ReadAttributes(style);
    m_title.clear();
    m_lines.clear();
    m_items.clear();
    if (style.GetIncludeChoiceList() && !style.GetChoiceList().empty()) {
        std::string list = style.GetChoiceList(), line;
        if (m_nSortCol >= 0)
            GXSortChoiceList(list, m_nSortCol, m_bTitles);
        bool first = true;
        while (!list.empty()) {
            const int more = GXExtractLine(list, line);
            if (first && m_bTitles)
                m_title = line;
            else
                m_lines.push_back(line);
            first = false;
            if (more < 0)
                break;
        }
    }
    std::vector<int> widths(kMaxColumns, -1);
    GXMeasureDC m;
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
    m_edges = GXTabbedColumnEdges(widths, m_widthsText, m_bShowAll, m_nTextCol);
    const int right = m_edges.empty() ? 0 : m_edges.back();
    m_nTotalWidth = right + fw::GetSystemMetrics(fw::SM_CXVSCROLL);
    m_nItemHeight = m.dc.GetTextMetrics().height + 2;
    for (const std::string& item : m_items)
        GXMeasureTabbedRowHeight(item, m_nItemHeight, !m_bShowAll, m_nTextCol, kMaxColumns);
}

std::string CGXTabbedComboBoxWnd::ValueOfLine(int index) const {
    if (index < 0 || index >= static_cast<int>(m_lines.size()))
        return {};
    return GXGetTabField(m_lines[static_cast<std::size_t>(index)], m_nKeyCol);
}

std::string CGXTabbedComboBoxWnd::TextOfLine(int index) const {
    if (index < 0 || index >= static_cast<int>(m_lines.size()))
        return {};
    return GXGetTabField(m_lines[static_cast<std::size_t>(index)], m_nTextCol);
}

int CGXTabbedComboBoxWnd::FindValue(const std::string& value) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (GXGetTabField(m_lines[i], m_nKeyCol) == value)
            return static_cast<int>(i);
    return -1;
}

bool CGXTabbedComboBoxWnd::GetControlText(std::string& text, ROWCOL, ROWCOL,
                                          const std::string* valueText, const CGXStyle& style) {
    text.clear();
    if (!style.GetIncludeChoiceList())
        return false;
    const std::string value =
        valueText ? *valueText : (style.GetIncludeValue() ? style.GetValue() : std::string());
    const bool titles = GXAttrInt(style, GX_IDS_UA_TABLIST_TITLES, 0) == 1;
    std::string line;
    if (GXFindChoiceIndex(style.GetChoiceList(), value,
                          GXAttrInt(style, GX_IDS_UA_TABLIST_KEYCOL, 0), true, titles, &line) < 0)
        return false;
    text = GXGetTabField(line, GXAttrInt(style, GX_IDS_UA_TABLIST_TEXTCOL, 0));
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
        const bool titles = GXAttrInt(*style, GX_IDS_UA_TABLIST_TITLES, 0) == 1;
        if (GXFindChoiceIndex(style->GetChoiceList(), text,
                              GXAttrInt(*style, GX_IDS_UA_TABLIST_TEXTCOL, 0), true, titles,
                              &line) >= 0) {
            text = GXGetTabField(line, GXAttrInt(*style, GX_IDS_UA_TABLIST_KEYCOL, 0));
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

// --- the drop-down -----------------------------------------------------------------------------

void CGXTabbedComboBoxWnd::DrawListItem(fw::DeviceContext& dc, const fw::Rect& r, int index,
                                        bool selected) {
    const COLORREF bk =
        selected ? GXGetSysColor(fw::COLOR_HIGHLIGHT) & 0xFFFFFFu : m_pPopup->GetBkColor();
    const COLORREF text =
        selected ? GXGetSysColor(fw::COLOR_HIGHLIGHTTEXT) & 0xFFFFFFu : m_pPopup->GetTextColor();
    const std::string& item = m_items[static_cast<std::size_t>(index)];
    // With hidden columns a line shows its first field (the text) across the whole line.
    const std::string_view shown = m_bShowAll ? std::string_view(item) : GXSplitTabFields(item)[0];
    GXDrawTabbedRow(dc, r, shown, !m_bShowAll, m_nTextCol, static_cast<int>(m_edges.size()),
                    m_edges, kGridLineColor, bk, text);
}

int CGXTabbedComboBoxWnd::PrepareDropDown(const fw::LogFont& font, int textHeight) {
    const int titleHeight = m_bTitles ? textHeight + 4 : 0;
    if (CGXTabbedLBoxHeader* header = m_pPopup->ShowHeader(titleHeight)) {
        header->SetTitleFont(font);
        // The title line is a choice line without the prepended text: its fields line up with
        // the columns as they stand.
        header->SetTitles(m_title, 0, m_bShowAll ? m_edges : std::vector<int>{});
    }
    return titleHeight;
}
