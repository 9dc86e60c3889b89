// The up-down (spin) control: two arrows that step a position within a range. With
// UDS_SETBUDDYINT the position is written into its buddy window as a number. Before a step the
// parent hears UDN_DELTAPOS (SpinDelta; answering nonzero refuses the step), after it WM_VSCROLL
// (or WM_HSCROLL with UDS_HORZ) with SB_THUMBPOSITION and the new position, and the control's
// handle as lParam.
#pragma once

#include "framework/controls/Control.h"

namespace fw {

struct SpinDelta {
    NotifyHeader hdr;
    int pos = 0;
    int delta = 0;
};

class SpinButton : public Control {
    Q_OBJECT

public:
    bool Create(DWORD style, const Rect& rect, Window* parent, UINT id);
    void SetRange(int lower, int upper);
    void GetRange(int& lower, int& upper) const;
    int SetPos(int pos);
    int GetPos() const { return pos_; }
    void SetBuddy(Window* buddy);
    Window* GetBuddy() const { return buddy_; }
    // One step up (+1) or down (-1), as a click on an arrow.
    void Step(int delta);

private:
    int Clamp(int pos) const;
    int lower_ = 0;
    int upper_ = 100;
    int pos_ = 0;
    Window* buddy_ = nullptr;
};

}  // namespace fw
