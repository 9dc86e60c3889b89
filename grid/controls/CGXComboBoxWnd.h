// The combo-window cells: the cell shows its choice and, while it is the current cell, a
// drop-down button; opening it (a click, F4 or Alt+Down) drops the choices below the cell in
// the library's frameless pop-up, which leaves the keyboard with the grid: the list keys are
// handed on to it. A click on a line or Enter chooses it, Escape closes the list and discards
// the edit, a click outside or the focus leaving closes it keeping the choice. The choice
// reaches the grid when the control is stored (the current cell moves on).
//
// CGXComboBoxWnd takes every line of the cell's choice list as a choice: control ids 52528
// ("MFC ComboBox", where typed characters also make a text of their own) and 52529 ("MFC
// DropDownList", where typing selects the next line that begins with the character). The value
// is the chosen line's text, or with an index base its index plus the base.
// CGXTabbedComboBoxWnd (CGXTabbedComboBoxWnd.h) shows lines of tabbed columns.
#pragma once

#include "grid/controls/CGXControl.h"

#include <memory>
#include <string>
#include <vector>

class CGXGridCombo;
class CGXComboListBox;

inline constexpr unsigned GX_IDS_CTRL_CBS_DROPDOWN = 52528;
inline constexpr unsigned GX_IDS_CTRL_CBS_DROPDOWNLIST = 52529;

class CGXComboBoxWnd : public CGXStatic {
public:
    static const CGXControlClassInfo kClassInfo;
    static constexpr int kButtonWidth = 16;
    static constexpr int kMaxDroppedRows = 8;

    // `dropDownList`: the choice must be a line; else typed text is a value too. An index base
    // of -1 stores the line's text; otherwise `valueIsIndex` stores the index plus the base.
    CGXComboBoxWnd(CGXGridCore* grid, bool dropDownList, int indexBase = -1,
                   bool valueIsIndex = false);
    ~CGXComboBoxWnd() override;
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    void Init(ROWCOL row, ROWCOL col) override;
    void Reset() override;
    void SetActive(bool active) override { m_bActive = active; }
    bool IsActive() override { return m_bActive; }
    void SetModify(bool modified) override { m_bModified = modified; }
    bool GetModify() override { return m_bModified; }
    bool Store() override;
    bool OnValidate() override;

    bool GetValue(std::string& value) override;
    void SetValue(const std::string& value) override;
    void GetCurrentText(std::string& text) override;
    bool GetControlText(std::string& text, ROWCOL row, ROWCOL col, const std::string* valueText,
                        const CGXStyle& style) override;
    bool ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                   const CGXStyle* style) override;
    bool ValidateText(const std::string& text) override;

    fw::Rect GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect = nullptr,
                         const CGXStyle* style = nullptr) override;
    fw::Size AddBorders(fw::Size size, const CGXStyle& style) override;
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;

    bool LButtonUp(unsigned flags, fw::Point point, unsigned hit) override;
    bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) override;
    void OnGridScroll(unsigned message, fw::WPARAM, fw::LPARAM) override;

    void ShowDropDown(bool show);
    bool IsDropDownVisible() const;
    CGXGridCombo* GetDropDown() const { return m_pPopup.get(); }
    CGXComboListBox* GetList() const { return m_pList; }
    int GetCurSel() const { return m_nSel; }
    const std::vector<std::string>& GetItems() const { return m_items; }

protected:
    // The choices of the style in list order and the strings the list shows.
    virtual void FillList(const CGXStyle& style);
    // The value a line stores and the text it shows.
    virtual std::string ValueOfLine(int index) const;
    virtual std::string TextOfLine(int index) const;
    // The line a value selects; -1 for none.
    virtual int FindValue(const std::string& value) const;
    virtual void DrawListItem(fw::DeviceContext& dc, const fw::Rect& rect, int index,
                              bool selected);
    // Sets up the pop-up before it opens (the tabbed list shows its title bar); answers the
    // height above the lines.
    virtual int PrepareDropDown(const fw::LogFont& font, int textHeight);
    // The width the dropped list needs at least.
    virtual int ListWidth() const;
    void Accept(int index);
    void CloseDropDown(bool keepChoice);
    fw::Rect ButtonRect(const fw::Rect& cell) const;
    void DrawButton(fw::DeviceContext& dc, const fw::Rect& button, bool pressed);
    void SelectByTyping(const std::string& typed);
    void TypeText(unsigned key);
    bool StartEdit();

    bool m_bDropDownList;
    int m_nIndexBase;
    bool m_bValueIsIndex;
    bool m_bFillFromChoiceList = true;

    std::vector<std::string> m_lines;  // choice lines in list order
    std::vector<std::string> m_items;  // what the list shows for each
    int m_nItemHeight = 16;
    int m_nSel = -1;
    std::string m_text;         // the editable style's own text (typed or the chosen line's)
    bool m_bTextTyped = false;  // m_text was typed rather than chosen
    bool m_bClosedByClick = false;

    std::unique_ptr<CGXGridCombo> m_pPopup;
    CGXComboListBox* m_pList = nullptr;  // owned by the pop-up
};
