// The tabbed drop-down list cell (control id 52540, "Tabbed MFC DropDownList"): a combo-window
// cell (CGXComboBoxWnd.h) whose choices are lines of tab-separated columns. The key column is
// the value stored in the cell, the text column what the cell shows; the dropped list shows the
// columns side by side under a title bar when the first line holds column titles.
//
// The value is read back by the selected line, never by its text: with "Port A" listed before
// "Port", choosing "Port" stores the key of "Port".
//
// Cell style user attributes (decimal texts): 51028 key column, 51029 text column, 51030 show
// all columns (1), 51031 the first line holds column titles, 51032 column widths in pixels
// (numbers separated by any non-digits; missing ones are measured), 51033 the column to sort
// the choices by (-1: as listed).
#pragma once

#include "grid/controls/CGXComboBoxWnd.h"

class CGXStylesMap;

inline constexpr unsigned GX_IDS_CTRL_TABBED_DROPDOWNLIST = 52540;
inline constexpr std::uint16_t GX_IDS_UA_TABLIST_KEYCOL = 51028;
inline constexpr std::uint16_t GX_IDS_UA_TABLIST_TEXTCOL = 51029;
inline constexpr std::uint16_t GX_IDS_UA_TABLIST_SHOWALLCOLS = 51030;
inline constexpr std::uint16_t GX_IDS_UA_TABLIST_TITLES = 51031;
inline constexpr std::uint16_t GX_IDS_UA_TABLIST_COLWIDTHS = 51032;
inline constexpr std::uint16_t GX_IDS_UA_TABLIST_SORTCOL = 51033;
inline constexpr std::uint16_t GX_IDS_UA_TABLIST_UNIQUEID = 51055;

class CGXTabbedComboBoxWnd : public CGXComboBoxWnd {
public:
    static const CGXControlClassInfo kClassInfo;
    static constexpr int kMaxColumns = 10;
    static constexpr COLORREF kGridLineColor = 0xC0C0C0;

    explicit CGXTabbedComboBoxWnd(CGXGridCore* grid);
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }
    static void AddUserAttributes(CGXStylesMap& map);

    // The text column of the line whose key is exactly the value; FALSE (and empty) for none.
    bool GetControlText(std::string& text, ROWCOL row, ROWCOL col, const std::string* valueText,
                        const CGXStyle& style) override;
    // A text column's text becomes its key; an empty text stays empty; FALSE when none matches.
    bool ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                   const CGXStyle* style) override;
    bool ValidateText(const std::string& text) override;

    const std::vector<int>& GetColumnEdges() const { return m_edges; }
    int GetTotalWidth() const { return m_nTotalWidth; }
    const std::string& GetTitleText() const { return m_title; }

protected:
    void FillList(const CGXStyle& style) override;
    std::string ValueOfLine(int index) const override;
    std::string TextOfLine(int index) const override;
    // The first line whose key column is exactly the value.
    int FindValue(const std::string& value) const override;
    void DrawListItem(fw::DeviceContext& dc, const fw::Rect& rect, int index,
                      bool selected) override;
    int PrepareDropDown(const fw::LogFont& font, int textHeight) override;
    int ListWidth() const override { return m_nTotalWidth; }

    void ReadAttributes(const CGXStyle& style);

    int m_nKeyCol = 0;
    int m_nTextCol = 0;
    bool m_bShowAll = true;
    bool m_bTitles = false;
    std::string m_widthsText;
    int m_nSortCol = -1;

    std::string m_title;
    std::vector<int> m_edges;  // cumulative column right edges
    int m_nTotalWidth = 0;
};
