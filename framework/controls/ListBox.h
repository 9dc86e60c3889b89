// The list box: lines of text (with LBS_USETABSTOPS, tabs move to the stops set in dialog
// units, four characters to a unit width of four), single or multiple selection, item data,
// the same case-insensitive searches as the combo box. The parent hears LBN_SELCHANGE and
// LBN_DBLCLK when the style has LBS_NOTIFY.
#pragma once

#include "framework/controls/Control.h"

#include <vector>

class QListWidget;

namespace fw {

class ListBox : public Control {
    Q_OBJECT

public:
    bool Create(DWORD style, const Rect& rect, Window* parent, UINT id);

    int AddString(std::string_view text);
    int InsertString(int index, std::string_view text);
    int DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    std::string GetText(int index) const;
    int FindString(int start, std::string_view prefix) const;
    int FindStringExact(int start, std::string_view text) const;
    int SelectString(int start, std::string_view prefix);
    void SetItemData(int index, std::uintptr_t data);
    std::uintptr_t GetItemData(int index) const;
    // Multiple selection.
    bool GetSel(int index) const;
    void SetSel(int index, bool select = true);
    std::vector<int> GetSelItems() const;
    // Tab stops in dialog units; none: every 32 units.
    void SetTabStops(const std::vector<int>& stops);
    // The x offset of each tab stop in pixels (tests).
    std::vector<int> TabStopPixels() const;

    QListWidget* Widget() const { return list_; }

private:
    QListWidget* list_ = nullptr;
    std::vector<int> stops_;
};

}  // namespace fw
