// The push-button cell (control id 52514, "Pushbutton"): the whole cell is one button whose
// caption is the cell's choice list (not its value). Pressing it with the mouse and releasing
// it over the button, or the space bar down and up on the current cell, tells the grid
// (OnClickedButtonRowCol); the button is drawn pressed while it is held.
#pragma once

#include "grid/controls/CGXControl.h"

class CGXButton;

inline constexpr unsigned GX_IDS_CTRL_PUSHBTN = 52514;

class CGXPushbutton : public CGXControl {
public:
    static const CGXControlClassInfo kClassInfo;

    explicit CGXPushbutton(CGXGridCore* grid);
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    // Binds to the cell and redraws the button there.
    void Init(ROWCOL row, ROWCOL col) override;
    // The caption's extent plus a margin, with the cell's borders.
    fw::Size CalcSize(fw::DeviceContext& dc, ROWCOL row, ROWCOL col, const CGXStyle& style,
                      const CGXStyle* standardStyle, bool heightOnly);
    // The button is the frame: no current-cell frame.
    void DrawFrame(fw::DeviceContext&, const fw::Rect&) override {}
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
    // The button covers the cell, is the active child (so the space bar reaches it) and takes
    // the choice list as its caption.
    void OnInitChildren(ROWCOL row, ROWCOL col, const fw::Rect& rect) override;

    CGXButton* GetButton() const { return m_pButton; }

private:
    CGXButton* m_pButton;  // owned by the child list
};
