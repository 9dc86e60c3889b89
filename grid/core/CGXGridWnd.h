// The grid as an ordinary child window (for dialogs and frames): a framework window with a grid
// core as its second base, which forwards every window message to the core operation that
// handles it. RegisterWindowClass makes "CGXGridWnd" a class name that dialogs can name for a
// control, so a dialog gets a working grid without code of its own.
#pragma once

#include "framework/window/Window.h"
#include "grid/core/CGXGridCore.h"

#include <string>

class CGXGridWnd : public fw::Window, public CGXGridCore {
    Q_OBJECT

public:
    CGXGridWnd();
    ~CGXGridWnd() override;

    // Registers the class name "CGXGridWnd" with the library (class style 0x4008) and with the
    // framework's dialogs; answers the class name. Registering twice is harmless.
    static std::string RegisterWindowClass();
    static void UnregisterWindowClass();
    // The number of grid windows alive in the process (tests check that dialogs free theirs).
    static int LiveCount();

    // Called by the owner once the window exists: scroll-bar modes from the window's styles
    // (or the container's shared bars), then the initial update.
    virtual void Initialize();
    // The four operations of the window class: printing and the initial update.
    virtual bool OnGridWndBeginPrinting(fw::DeviceContext* dc, fw::PrintInfo* info) {
        return OnGridBeginPrinting(dc, info);
    }
    virtual void OnGridWndEndPrinting(fw::DeviceContext* dc, fw::PrintInfo* info) {
        OnGridEndPrinting(dc, info);
    }
    virtual void OnGridWndPrint(fw::DeviceContext* dc, fw::PrintInfo* info) {
        OnGridPrint(dc, info);
    }
    virtual void OnInitialUpdate() { OnGridInitialUpdate(); }

    // A 3-D frame around the window (drawn by the parent's paint).
    bool m_bDrawFrame3d = false;

protected:
    fw::LRESULT WindowProc(fw::Message& msg) override;
    void OnPaint() override;
    bool OnEraseBkgnd(fw::PaintContext& dc) override;
};
