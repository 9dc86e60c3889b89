// The month calendar as a pop-up beside an anchor rectangle. The date-time control opens it and
// takes the chosen date when it posts 2007; 2008 means the user cancelled. Losing the focus
// accepts a selected day (2007) or cancels (2008).
#pragma once

#include "grid/extras/CGXBCalendar.h"

class CGXBPopupCalendar : public CGXBCalendar {
    Q_OBJECT

public:
    CGXBPopupCalendar();

    // With style bit 1 below the anchor (above it when it would pass the work area's bottom) at
    // its left (ending at its right when it would pass the right edge); without bit 1 to the
    // right of the anchor (to its left when there is no room) at its bottom (above when no room).
    bool CreatePopup(unsigned style, const fw::Rect& anchor, fw::Window* owner);

    bool acceptOnDeactivation = true;

protected:
    void OnKillFocus(fw::Window* newFocus) override;
};
