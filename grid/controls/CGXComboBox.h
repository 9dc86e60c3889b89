// The combo-box cells: an edit cell (CGXEditControl) with a drop-down button at the right edge
// that drops the lines of the cell's choice list below the cell in the library's frameless
// pop-up (CGXGridCombo). The keyboard stays with the edit window while the list is open: Up,
// Down, Page Up, Page Down, Home and End move in the list and copy the line into the edit at
// once; Enter or a click on a line takes it and closes the list; Escape closes it keeping what
// the edit holds; Tab closes it and moves the grid on; a click outside closes it with the cell
// still being edited (the click goes on to where it was meant); losing the focus closes it and
// ends the editing. Alt+Down (or Alt+Up) opens and closes the list.
//
// What the cell stores depends on the options: the text (free, or fitted to a line), the
// zero-based or one-based index of the line, and with GXComboDisplayChoice the index while the
// cell shows the line. Index values are read as whole integers; an index outside the list shows
// nothing. A text is looked up whole first, then as the beginning of a line, so "Port" never
// selects an earlier "Port A".
#pragma once

#include "grid/controls/CGXEditControl.h"

#include <memory>

class CGXComboBoxButton;
class CGXComboListBox;
class CGXGridCombo;

// Combo options.
inline constexpr unsigned GXComboTextFit = 0x01;        // the value is the matching line's text
inline constexpr unsigned GXComboNoTextFit = 0x02;      // free text
inline constexpr unsigned GXComboZeroBased = 0x04;      // the value is the line's index
inline constexpr unsigned GXComboOneBased = 0x08;       // the value is the line's index + 1
inline constexpr unsigned GXComboDisplayChoice = 0x10;  // with an index: the cell shows the line

// Control ids of the factory's combo boxes.
inline constexpr unsigned GX_IDS_CTRL_COMBOBOX = 52517;      // "ComboBox, no text-fit"
inline constexpr unsigned GX_IDS_CTRL_ZEROBASED = 52525;     // "ComboBox, zero-based"
inline constexpr unsigned GX_IDS_CTRL_ONEBASED = 52526;      // "ComboBox, one-based"
inline constexpr unsigned GX_IDS_CTRL_TEXTFIT = 52527;       // "ComboBox, text-fit"
inline constexpr unsigned GX_IDS_CTRL_ONEBASED_EX = 52531;   // "Combo, disp.choice, 1-base"
inline constexpr unsigned GX_IDS_CTRL_ZEROBASED_EX = 52532;  // "Combo, disp.choice, 0-base"

// The options of a combo-box id of the factory (0 for other ids).
constexpr unsigned GXComboOptionsOf(unsigned controlId) {
    switch (controlId) {
        case GX_IDS_CTRL_COMBOBOX:
            return GXComboNoTextFit;
        case GX_IDS_CTRL_ZEROBASED:
            return GXComboZeroBased;
        case GX_IDS_CTRL_ONEBASED:
            return GXComboOneBased;
        case GX_IDS_CTRL_TEXTFIT:
            return GXComboTextFit;
        case GX_IDS_CTRL_ONEBASED_EX:
            return GXComboDisplayChoice | GXComboOneBased;
        case GX_IDS_CTRL_ZEROBASED_EX:
            return GXComboDisplayChoice | GXComboZeroBased;
        default:
            return 0;
    }
}

class CGXComboBox : public CGXEditControl {
public:
    static const CGXControlClassInfo kClassInfo;
    static constexpr int kButtonWidth = 15;

    CGXComboBox(CGXGridCore* grid, unsigned id, unsigned listBoxId, unsigned options);
    ~CGXComboBox() override;
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    // --- the drop-down ------------------------------------------------------------------------
    // The pop-up for the grid window (made once, owned by this control).
    virtual CGXGridCombo* CreateDropDownWnd(fw::Window* gridWnd);
    // The list inside the pop-up.
    virtual CGXComboListBox* CreateListBox(CGXGridCombo* popup, unsigned id);
    virtual void ShowDropDown(bool show);
    virtual bool IsDropDownVisible() const;
    // Copies the list's selected line into the edit.
    virtual void OnListBoxSelected(CGXComboListBox* list);
    // The lines of the choice list, and the line of the current text or value selected.
    virtual void FillListBox(CGXComboListBox* list);
    // Below the cell, the grid's drop-down height high.
    virtual fw::Rect CalcDropDownRect(const fw::Rect& cell);
    virtual void DestroyDropDownWnd();

    CGXGridCombo* GetDropDown() const { return m_pDropDownWnd.get(); }
    CGXComboListBox* GetListBox() const { return m_pListBox; }
    CGXComboBoxButton* GetButton() const { return m_pButton; }
    unsigned GetOptions() const { return m_nOptions; }

    // --- the cell-control interface -------------------------------------------------------------
    void Init(ROWCOL row, ROWCOL col) override;
    void Reset() override;
    void SetActive(bool active) override;
    fw::Rect GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect = nullptr,
                         const CGXStyle* style = nullptr) override;
    fw::Size AddBorders(fw::Size size, const CGXStyle& style) override;
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
    bool GetValue(std::string& value) override;
    bool GetControlText(std::string& text, ROWCOL row, ROWCOL col, const std::string* valueText,
                        const CGXStyle& style) override;
    bool ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                   const CGXStyle* style) override;
    bool ValidateText(const std::string& text) override;
    void OnClickedButton(CGXChild* child) override;
    bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) override;
    void OnGridScroll(unsigned message, fw::WPARAM wParam, fw::LPARAM lParam) override;
    void OnInitChildren(ROWCOL row, ROWCOL col, const fw::Rect& textRect) override;
    bool LButtonDown(unsigned flags, fw::Point point, unsigned hit) override;
    // The edit window's keys: the open list's keys first; Alt+Down opens and closes it.
    fw::LRESULT OnEditKeyDown(unsigned key, unsigned repeat, unsigned flags) override;
    fw::LRESULT OnEditForwardKey(unsigned message, unsigned key, unsigned repeat,
                                 unsigned flags) override;
    fw::LRESULT OnEditChar(unsigned ch, unsigned repeat, unsigned flags) override;

    // Options a program may change.
    bool m_bFillWithChoiceList = true;
    bool m_bInactiveDrawButton = false;  // the text narrows for the button only on the current
                                         // cell
    bool m_bDrawEditedText = false;      // the active cell is drawn as text, not by its window
    bool m_bSizeToContent = true;        // the button is only as high as the text
    int m_nButtonMargin = 1;
    // The button drawn on every cell, not only on the current one.
    void SetShowButtonAlways(bool always);
    bool GetShowButtonAlways() const { return m_bShowButtonAlways; }

protected:
    // Keys of the edit window and the grid while the list is open; TRUE when taken.
    bool ListKey(unsigned message, unsigned key);
    // Opens the list for a key or a click: starts editing first.
    bool OpenForUser();
    // The list's line is taken (a click on it, Enter).
    void OnComboAccept();
    // Closes the list; `keepActive` keeps the cell being edited, else the edit ends unstored.
    void OnComboClose(bool keepActive);
    // A key moved the list's selection: the line goes into the edit.
    void OnComboSelChange();
    void OnDismiss(int reason);
    // The line of the current text (while active) or the cell's value; -1 for none.
    virtual int SelectionFor(CGXComboListBox* list);
    // Sets up the pop-up before it opens (a tabbed list shows its title bar); answers the
    // height above the lines.
    virtual int PrepareDropDown(const fw::LogFont& font, int textHeight);
    // The height of a list line for the cell's font.
    virtual int ListItemHeight(int textHeight) { return textHeight + 2; }

    CGXComboBoxButton* m_pButton;  // owned by the child list
    unsigned m_nListBoxId;
    unsigned m_nOptions;
    bool m_bShowButtonAlways = false;
    int m_nTextHeight = 0;
    std::unique_ptr<CGXGridCombo> m_pDropDownWnd;
    CGXComboListBox* m_pListBox = nullptr;  // owned by the pop-up
    bool m_bClosedByClick = false;  // a click outside closed the list just now, on this cell:
    ROWCOL m_closedRow = GX_INVALID;
    ROWCOL m_closedCol = GX_INVALID;
};
