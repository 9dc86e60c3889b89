// The combo box: a drop-down list with an edit field (CBS_DROPDOWN) or without one
// (CBS_DROPDOWNLIST). Searches are case-insensitive: FindString by prefix, FindStringExact
// by the whole text, both starting after an index and going round. The parent hears
// CBN_SELCHANGE, CBN_EDITCHANGE, CBN_DROPDOWN and CBN_CLOSEUP.
#pragma once

#include "framework/controls/Control.h"

class QComboBox;

namespace fw {

class ComboBox : public Control {
    Q_OBJECT

public:
    bool Create(DWORD style, const Rect& rect, Window* parent, UINT id);

    int AddString(std::string_view text);
    int InsertString(int index, std::string_view text);
    int DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);  // -1 clears the selection
    std::string GetLBText(int index) const;
    int FindString(int start, std::string_view prefix) const;
    int FindStringExact(int start, std::string_view text) const;
    // Selects the first item found by FindString; -1 (and no change) when none.
    int SelectString(int start, std::string_view prefix);
    void SetItemData(int index, std::uintptr_t data);
    std::uintptr_t GetItemData(int index) const;
    void LimitText(int maxChars);
    void ShowDropDown(bool show = true);
    bool GetDroppedState() const;
    void SetEditSel(int start, int end);
    void GetEditSel(int& start, int& end) const;
    bool HasEdit() const;

    void SetWindowText(std::string_view text) override;
    std::string GetWindowText() const override;

    QComboBox* Widget() const { return combo_; }

protected:
    LRESULT DefWindowProc(Message& msg) override;

private:
    QComboBox* combo_ = nullptr;
    bool settingByCode_ = false;
};

}  // namespace fw
