// The tabbed drop-down list cell (control id 52540, "Tabbed MFC DropDownList"): each line of
// the cell's choice list is a choice whose tab-separated fields are columns; the key column is
// the value stored in the cell, the text column what the cell shows. Opening the cell (a click,
// F4 or Alt+Down) drops a list of all columns side by side below the cell, under a title bar
// when the first line holds column titles, in the library's frameless pop-up; the keyboard
// stays with the grid, which hands the list keys on. A click on a line or Enter chooses it,
// Escape closes the list and discards the edit, a click outside or the focus leaving closes it
// keeping the choice. The choice reaches the grid when the control is stored.
//
// The value is read back by the selected line, never by its text: with "Port A" listed before
// "Port", choosing "Port" stores the key of "Port".
//
// Cell style user attributes (decimal texts): 51028 key column, 51029 text column, 51030 show
// all columns (1), 51031 the first line holds column titles, 51032 column widths in pixels
// (numbers separated by any non-digits; missing ones are measured), 51033 the column to sort
// the choices by (-1: as listed).
#pragma once

#include "grid/controls/CGXControl.h"

#include <memory>
#include <string>
#include <vector>

class CGXGridCombo;
class CGXComboListBox;
class CGXStylesMap;

inline constexpr unsigned GX_IDS_CTRL_TABBED_DROPDOWNLIST = 52540;
inline constexpr std::uint16_t GX_IDS_UA_TABLIST_KEYCOL = 51028;
inline constexpr std::uint16_t GX_IDS_UA_TABLIST_TEXTCOL = 51029;
inline constexpr std::uint16_t GX_IDS_UA_TABLIST_SHOWALLCOLS = 51030;
inline constexpr std::uint16_t GX_IDS_UA_TABLIST_TITLES = 51031;
inline constexpr std::uint16_t GX_IDS_UA_TABLIST_COLWIDTHS = 51032;
inline constexpr std::uint16_t GX_IDS_UA_TABLIST_SORTCOL = 51033;
inline constexpr std::uint16_t GX_IDS_UA_TABLIST_UNIQUEID = 51055;

class CGXTabbedComboBoxWnd : public CGXStatic {
public:
    static const CGXControlClassInfo kClassInfo;
    static constexpr int kMaxColumns = 10;
    static constexpr int kButtonWidth = 16;
    static constexpr COLORREF kGridLineColor = 0xC0C0C0;

    explicit CGXTabbedComboBoxWnd(CGXGridCore* grid);
    ~CGXTabbedComboBoxWnd() override;
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }
    static void AddUserAttributes(CGXStylesMap& map);

    void Init(ROWCOL row, ROWCOL col) override;
    void Reset() override;
    void SetActive(bool active) override { m_bActive = active; }
    bool IsActive() override { return m_bActive; }
    void SetModify(bool modified) override { m_bModified = modified; }
    bool GetModify() override { return m_bModified; }
    bool Store() override;
    bool OnValidate() override;

    // The key of the selected line; an empty value without a selection.
    bool GetValue(std::string& value) override;
    // Selects the first line whose key column is exactly the value (none when there is none).
    void SetValue(const std::string& value) override;
    // The text column of the selected line.
    void GetCurrentText(std::string& text) override;
    // The text column of the line whose key is exactly the value; FALSE (and empty) for none.
    bool GetControlText(std::string& text, ROWCOL row, ROWCOL col, const std::string* valueText,
                        const CGXStyle& style) override;
    // A text column's text becomes its key; an empty text stays empty; FALSE when none matches.
    bool ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                   const CGXStyle* style) override;
    bool ValidateText(const std::string& text) override;

    fw::Rect GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect = nullptr,
                         const CGXStyle* style = nullptr) override;
    fw::Size AddBorders(fw::Size size, const CGXStyle& style) override;
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;

    bool LButtonDown(unsigned flags, fw::Point point, unsigned hit) override;
    bool LButtonUp(unsigned flags, fw::Point point, unsigned hit) override;
    bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) override;
    void OnGridScroll(unsigned message, fw::WPARAM, fw::LPARAM) override;

    // Opens or closes the drop-down list.
    void ShowDropDown(bool show);
    bool IsDropDownVisible() const;
    CGXGridCombo* GetDropDown() const { return m_pPopup.get(); }
    CGXComboListBox* GetList() const { return m_pList; }
    int GetCurSel() const { return m_nSel; }
    // The item strings of the list (text column, tab, the whole line; or the line itself).
    const std::vector<std::string>& GetItems() const { return m_items; }
    const std::vector<int>& GetColumnEdges() const { return m_edges; }
    int GetTotalWidth() const { return m_nTotalWidth; }
    const std::string& GetTitleText() const { return m_title; }

protected:
    void ReadAttributes(const CGXStyle& style);
    // The choice lines in list order (sorted when asked), without the title line.
    std::vector<std::string> ChoiceLines(const CGXStyle& style, std::string* title) const;
    void FillList(const CGXStyle& style);
    void Accept(int index);
    void CloseDropDown(bool keepChoice);
    fw::Rect ButtonRect(const fw::Rect& cell) const;
    void DrawButton(fw::DeviceContext& dc, const fw::Rect& button, bool pressed);
    // Selects the next line whose text begins with the typed text (from the start when none
    // follows the selection).
    void SelectByTyping(const std::string& typed);

    int m_nKeyCol = 0;
    int m_nTextCol = 0;
    bool m_bShowAll = true;
    bool m_bTitles = false;
    std::string m_widthsText;
    int m_nSortCol = -1;

    std::vector<std::string> m_lines;  // choice lines in list order
    std::vector<std::string> m_items;  // their item strings
    std::string m_title;
    std::vector<int> m_edges;  // cumulative column right edges
    int m_nTotalWidth = 0;
    int m_nItemHeight = 16;
    int m_nSel = -1;
    bool m_bClosedByClick = false;

    std::unique_ptr<CGXGridCombo> m_pPopup;
    CGXComboListBox* m_pList = nullptr;  // owned by the pop-up
};
