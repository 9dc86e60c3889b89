// The hot-spot edit cell (control id 52518, "Hotspot Edit"): an edit cell with a small button
// at its top-right corner, shown on the current cell. Clicking the button tells the grid
// (OnClickedButtonRowCol); the text keeps clear of the button.
#pragma once

#include "grid/controls/CGXEditControl.h"

class CGXHotSpotButton;

inline constexpr unsigned GX_IDS_CTRL_HOTSPOT = 52518;

class CGXHotSpotEdit : public CGXEditControl {
public:
    static const CGXControlClassInfo kClassInfo;
    static constexpr int kButtonWidth = 13;

    CGXHotSpotEdit(CGXGridCore* grid, unsigned id);
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    void Init(ROWCOL row, ROWCOL col) override;
    // The edit's text rectangle, narrower by the button.
    fw::Rect GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect = nullptr,
                         const CGXStyle* style = nullptr) override;
    fw::Size AddBorders(fw::Size size, const CGXStyle& style) override;
    // The button: 13 pixels square at the top right, clipped to the cell; one pixel lower when
    // the cell is high enough.
    void OnInitChildren(ROWCOL row, ROWCOL col, const fw::Rect& textRect) override;

    CGXHotSpotButton* GetButton() const { return m_pButton; }

private:
    CGXHotSpotButton* m_pButton;  // owned by the child list
};
