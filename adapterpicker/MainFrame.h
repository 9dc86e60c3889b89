// CMainFrame: Varoda's main window with its menu, toolbar and status bar. It opens where
// it was last closed, and on closing remembers its placement and the list's column widths.
#pragma once

#include "framework/docview/FrameWnd.h"

namespace varoda {

class CMainFrame : public fw::FrameWnd {
public:
    CMainFrame();

    // "WndState" 1 maximised, 2 minimised, else 0; only a normal window also writes its
    // place and size, so a maximised or minimised window keeps the last normal ones.
    void SaveWindowPlacement();
    // Runs the configuration dialog on the active document.
    void OnConfiguration();

protected:
    int OnCreate() override;
    void OnClose() override;
};

}  // namespace varoda
