// The list view in report mode: columns with headers, rows of texts with item data, an image
// per row from a small image list, optional check boxes, selection and sorting by a callback.
//
// The parent hears WM_NOTIFY: NM_CLICK and NM_DBLCLK (ListViewActivate, with the row, the
// column and the point) when a row is clicked, LVN_ITEMCHANGED when a row's check box or
// selection changes, and for a header click LVN_COLUMNCLICK and HDN_ITEMCLICKA (sent as from
// the header, id 0). A click in a row's check box toggles it after NM_CLICK was handled.
#pragma once

#include "framework/controls/Control.h"
#include "framework/drawing/ImageList.h"

#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

namespace fw {

struct ListViewActivate {
    NotifyHeader hdr;
    int item = -1;
    int subItem = -1;
    Point point;
};

struct ListViewChange {
    NotifyHeader hdr;
    int item = -1;
    int subItem = 0;
    UINT newState = 0;
    UINT oldState = 0;
    UINT changed = 0;  // LVIF_STATE
    Point point;
    std::uintptr_t param = 0;
};

struct HeaderClick {
    NotifyHeader hdr;
    int item = -1;  // the column
    int button = 0;
};

inline constexpr UINT LVIF_STATE = 0x0008;
// State image of a check box in the state bits (1 unchecked, 2 checked), as LVN_ITEMCHANGED
// reports it.
inline constexpr UINT LVIS_STATEIMAGEMASK = 0xF000;

class ListView : public Control {
    Q_OBJECT

public:
    using CompareFunc = std::function<int(std::uintptr_t, std::uintptr_t, std::uintptr_t)>;

    bool Create(DWORD style, const Rect& rect, Window* parent, UINT id);
    DWORD GetExtendedStyle() const { return exStyle_; }
    void SetExtendedStyle(DWORD exStyle);

    int InsertColumn(int index, std::string_view heading, int format = LVCFMT_LEFT, int width = -1);
    bool DeleteColumn(int index);
    int GetColumnCount() const;
    int GetColumnWidth(int index) const;
    bool SetColumnWidth(int index, int width);

    int InsertItem(int index, std::string_view text, int image = -1);
    bool SetItemText(int index, int subItem, std::string_view text);
    std::string GetItemText(int index, int subItem) const;
    bool SetItem(int index, int image);
    int GetItemImage(int index) const;
    bool DeleteItem(int index);
    bool DeleteAllItems();
    int GetItemCount() const;
    bool SetItemData(int index, std::uintptr_t data);
    std::uintptr_t GetItemData(int index) const;
    bool GetCheck(int index) const;
    bool SetCheck(int index, bool check = true);
    UINT GetItemState(int index, UINT mask) const;
    bool SetItemState(int index, UINT state, UINT mask);
    // The next row after `start` (-1: from the first) with the flags (LVNI_SELECTED); -1 when none.
    int GetNextItem(int start, UINT flags) const;
    int GetSelectedCount() const;
    // The next row after `start` whose first text equals `text` (without regard to case).
    int FindItemText(int start, std::string_view text) const;
    // Sorts the rows by their item data; compare answers <0, 0 or >0.
    bool SortItems(const CompareFunc& compare, std::uintptr_t param);
    // The row and column under a point of the client area; -1 outside the rows.
    int SubItemHitTest(Point p, int* subItem = nullptr) const;
    // True when a point of the client area lies on the row's check box (the strip a click
    // toggles); false without check boxes.
    bool IsOnCheckBox(int index, Point p) const;
    bool GetItemRect(int index, Rect& rect) const;
    bool EnsureVisible(int index);

    void SetImageList(const ImageList& images);
    void SetHeaderImageList(const ImageList& images);
    // Shows the header image of a column (-1: none).
    void SetHeaderImage(int column, int image);

    // The list's client area in its own coordinates: the control without its frame and
    // without the scroll bars it shows now (the header stays inside). Column widths that
    // should fill the list are shares of this width.
    Rect GetClientRect() const;

    // A list that only shows its rows: nothing can be selected or focused and clicks go to
    // what lies beneath; unlike a disabled list it keeps its colours. No row carries the
    // focus frame.
    void SetShowOnly(bool showOnly);
    bool IsShowOnly() const { return showOnly_; }

    // The inner widget, for tests that look at what the list draws; programs use the calls
    // above.
    QTreeWidget* Widget() const { return tree_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTreeWidgetItem* Item(int index) const;
    void ViewportClick(QMouseEvent* e, UINT code);
    void SendChange(int index, UINT newState, UINT oldState);
    QTreeWidget* tree_ = nullptr;
    DWORD exStyle_ = 0;
    bool showOnly_ = false;
    ImageList images_;
    ImageList headerImages_;
};

}  // namespace fw
