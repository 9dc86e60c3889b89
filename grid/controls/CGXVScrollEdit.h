// The edit cell with a vertical scroll bar (control id 52521, "Edit Control, Scrollbar"): an
// edit control whose window edits several lines and keeps room for the bar at its right.
#pragma once

#include "grid/controls/CGXEditControl.h"

inline constexpr unsigned GX_IDS_CTRL_SCROLLEDIT = 52521;

class CGXVScrollEdit : public CGXEditControl {
public:
    static const CGXControlClassInfo kClassInfo;
    CGXVScrollEdit(CGXGridCore* grid, unsigned id = GX_IDS_CTRL_SCROLLEDIT);
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }
    fw::Rect GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect = nullptr,
                         const CGXStyle* style = nullptr) override;
    bool CreateEditWnd(fw::DWORD style, const fw::Rect* rect) override;
};
