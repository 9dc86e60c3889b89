// The tab control: a row of tabs. Changing the tab tells the parent TCN_SELCHANGING (answering
// nonzero keeps the old tab) and then TCN_SELCHANGE.
#pragma once

#include "framework/controls/Control.h"

class QTabBar;

namespace fw {

class TabCtrl : public Control {
    Q_OBJECT

public:
    bool Create(DWORD style, const Rect& rect, Window* parent, UINT id);
    int InsertItem(int index, std::string_view text);
    bool DeleteItem(int index);
    bool DeleteAllItems();
    int GetItemCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);  // no notification, as for a program's own change
    std::string GetItemText(int index) const;
    bool GetItemRect(int index, Rect& rect) const;
    // The display area below the tabs for a window rectangle (larger false), or the window
    // rectangle for a display area (larger true).
    void AdjustRect(bool larger, Rect& rect) const;

private:
    QTabBar* bar_ = nullptr;
    bool settingByCode_ = false;
    int current_ = -1;
};

}  // namespace fw
