// The tabbed combo box cell (control id 52541, "Tabbed ComboBox"): a combo-box cell
// (CGXComboBox.h) whose choices are lines of tab-separated columns. The key column is what the
// cell stores, the text column what the edit and the cell show; the dropped list shows the
// columns side by side under a title bar when the first line holds column titles. Typing
// completes the text from the choices (the completed tail is selected), and a text that begins
// no choice is refused.
//
// The value is read back from the edit's text, whole: "Port" stores the key of "Port" even
// when "Port A" is listed first; a text that names no choice fails validation and the cell
// stays current. Cells that share one choice list may name it by "TabList: Unique choicelist
// id" (51055), so the look-up maps are built once per id (the grid parameters keep them).
// The user attributes are those of the tabbed drop-down list (CGXTabbedComboBoxWnd.h).
#pragma once

#include "grid/controls/CGXComboBox.h"
#include "grid/controls/CGXGridCombo.h"

#include <vector>

inline constexpr unsigned GX_IDS_CTRL_TABBED_COMBOBOX = 52541;

class CGXTabbedComboBox;

// The drop-down list of the tabbed combo box: rows drawn as tabbed columns of its owner.
class CGXTabbedComboLBox : public CGXComboListBox {
public:
    explicit CGXTabbedComboLBox(CGXTabbedComboBox* owner) : m_pOwner(owner) {}
    CGXTabbedComboBox* Owner() const { return m_pOwner; }

private:
    CGXTabbedComboBox* m_pOwner;
};

class CGXTabbedComboBox : public CGXComboBox {
public:
    static const CGXControlClassInfo kClassInfo;
    static constexpr int kMaxColumns = 10;
    static constexpr COLORREF kGridLineColor = 0xC0C0C0;

    CGXTabbedComboBox(CGXGridCore* grid, unsigned id, unsigned listBoxId);
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    void Init(ROWCOL row, ROWCOL col) override;
    // Shows the text of a key (nothing for a key that is no choice).
    void SetValue(const std::string& value) override;
    // The key of the edit's text; FALSE when the text names no choice.
    bool GetValue(std::string& value) override;
    bool GetControlText(std::string& text, ROWCOL row, ROWCOL col, const std::string* valueText,
                        const CGXStyle& style) override;
    bool ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                   const CGXStyle* style) override;
    // TRUE when the text begins some choice's text (any case). With a shared map, a text that
    // equals a choice's text in another case becomes an alias of that choice; a text that only
    // begins one never does.
    bool ValidateText(const std::string& text) override;
    bool OnValidate() override;
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
    bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) override;

    CGXComboListBox* CreateListBox(CGXGridCombo* popup, unsigned id) override;
    void OnListBoxSelected(CGXComboListBox* list) override;
    void FillListBox(CGXComboListBox* list) override;
    fw::Rect CalcDropDownRect(const fw::Rect& cell) override;
    // Completes the edit's text from the first choice it begins (the typed part stays, the
    // rest is selected).
    virtual void AutoComplete();

    const std::vector<int>& GetColumnEdges() const { return m_edges; }
    int GetTotalWidth() const { return m_nTotalWidth; }
    const std::string& GetTitleText() const { return m_title; }
    bool m_bAutoComplete = true;

    // A typed character, then the completion.
    fw::LRESULT OnEditChar(unsigned ch, unsigned repeat, unsigned flags) override;

protected:
    void SetEditText(const std::string& text);
    int SelectionFor(CGXComboListBox* list) override;
    int PrepareDropDown(const fw::LogFont& font, int textHeight) override;
    int ListItemHeight(int textHeight) override;
    void ReadAttributes(const CGXStyle& style);
    // The whole choice line of a key (or of a text); FALSE when none.
    bool LineOfKey(const CGXStyle& style, const std::string& key, std::string& line);
    bool LineOfText(const CGXStyle& style, const std::string& text, std::string& line);
    void DrawListRow(fw::DeviceContext& dc, const fw::Rect& rect, int index, bool selected);

    int m_nKeyCol = 0;
    int m_nTextCol = 0;
    bool m_bShowAll = true;
    bool m_bTitles = true;
    int m_nSortCol = -1;
    std::string m_widthsText;
    COLORREF m_rgbText = 0x000000;
    COLORREF m_rgbInterior = 0xFFFFFF;
    int m_nRowHeight = 10;
    int m_nLastChoiceId = 0;
    int m_nLastGeneration = -1;
    int m_nTotalWidth = 0;
    std::vector<int> m_edges;  // cumulative column right edges
    std::string m_title;
    bool m_bListFilled = false;
};
