// The drop-down check-list cell (control id 52542): line 0 of the cell's choice list is the
// caption the cell shows; the lines after it are items the user ticks in a drop-down list of
// check boxes. The cell's value is the set of ticked items as a decimal bit mask (item i is bit
// i); no tick is an empty value, never "0". The cell is never typed into: Alt+Down or the button
// opens the list, Up and Down move in it, Space or a click ticks and unticks, and Enter, Escape,
// Tab, Alt+Down, a click outside or losing the focus close it and store the ticks (Tab moves on
// as in the cell). A read-only cell shows the list but stores nothing. Ticks of items the list
// does not hold are dropped once the ticks change.
//
// The mask has 32 bits, so a choice list holds at most 32 items: a longer one is refused when it
// is stored into a cell through this control (the grid's warning text says why), and only the
// first 32 are listed should one reach a cell another way.
#pragma once

#include "grid/controls/CGXComboBox.h"
#include "grid/controls/CGXGridCombo.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr unsigned GX_IDS_CTRL_CHECKLIST_COMBOBOX = 52542;  // "Dropdown CheckListBox"

using GXCheckListMask = std::uint32_t;
inline constexpr int GXCheckListMaxItems = 32;

class CGXCheckListComboBox;

// The list of the drop-down: a check box before each line.
class CGXCheckListComboLBox : public CGXComboListBox {
public:
    CGXCheckListComboLBox();
    bool GetCheck(int index) const;
    void SetCheck(int index, bool checked);
    // Ticks or unticks a line (nothing for a line that does not exist).
    void ToggleCheck(int index);
    // The ticks as a mask.
    GXCheckListMask CheckedMask() const;

private:
    void DrawItem(fw::DeviceContext& dc, const fw::Rect& r, int index, bool selected);
    std::vector<bool> checks_;
};

class CGXCheckListComboBox : public CGXComboBox {
public:
    static const CGXControlClassInfo kClassInfo;
    explicit CGXCheckListComboBox(CGXGridCore* grid);
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    // The mask a value text holds (C atol of the text, as 32 bits); 0 for an empty text.
    static GXCheckListMask MaskOf(const std::string& value);
    // The items of a choice list (the lines after the caption).
    static int ItemCount(const std::string& choiceList);

    // The caption: line 0 of the choice list, whatever the value.
    bool GetControlText(std::string& text, ROWCOL row, ROWCOL col, const std::string* valueText,
                        const CGXStyle& style) override;
    // Always drawn as the caption with the button; the active cell gets the current-cell frame.
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
    bool LButtonUp(unsigned flags, fw::Point point, unsigned hit) override;
    // Only the list's keys and Alt+Down: nothing is typed into the cell.
    bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) override;
    bool OnKeyFilter(unsigned ch, unsigned repeat, unsigned flags) override;
    fw::DWORD CalcEditStyle() override;
    void OnClickedButton(CGXChild* child) override;
    void OnGridScroll(unsigned message, fw::WPARAM wParam, fw::LPARAM lParam) override;

    CGXGridCombo* CreateDropDownWnd(fw::Window* gridWnd) override;
    CGXComboListBox* CreateListBox(CGXGridCombo* popup, unsigned id) override;
    // The items of the choice list, ticked as the cell's value says.
    void FillListBox(CGXComboListBox* list) override;
    // Stores the ticks into the cell when they differ from its value.
    void OnListBoxSelected(CGXComboListBox* list) override;
    // Stores the style into the cell; FALSE (with the grid's warning text) for a choice list
    // with more items than the mask has bits.
    bool StoreStyleRowCol(ROWCOL row, ROWCOL col, const CGXStyle& style, GXModifyType type);

    CGXCheckListComboLBox* GetCheckList() const;

protected:
    // Closes the list, storing the ticks unless the cell is read-only.
    void CloseList();
};
