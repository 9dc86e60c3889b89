// The message table of the grid's window classes.
#include "grid/core/GXGridMessageRouting.h"

#include "framework/dialogs/FindReplaceDialog.h"

#include "framework/window/Window.h"
#include "grid/core/CGXGridCore.h"

namespace {

fw::Point PointOf(fw::LPARAM l) {
    return {fw::GET_X_LPARAM(l), fw::GET_Y_LPARAM(l)};
}
fw::Window* WindowOf(fw::WPARAM w) {
    return fw::Window::FromHandle(fw::WindowHandle{w});
}

// A mouse message and the core operation that takes it.
using MouseHandler = bool (CGXGridCore::*)(unsigned, fw::Point);
MouseHandler MouseHandlerOf(fw::UINT id) {
    switch (id) {
        case fw::WM_MOUSEMOVE:
            return &CGXGridCore::OnGridMouseMove;
        case fw::WM_LBUTTONDOWN:
            return &CGXGridCore::OnGridLButtonDown;
        case fw::WM_LBUTTONUP:
            return &CGXGridCore::OnGridLButtonUp;
        case fw::WM_LBUTTONDBLCLK:
            return &CGXGridCore::OnGridLButtonDblClk;
        case fw::WM_MBUTTONDOWN:
            return &CGXGridCore::OnGridMButtonDown;
        case fw::WM_MBUTTONUP:
            return &CGXGridCore::OnGridMButtonUp;
        case fw::WM_MBUTTONDBLCLK:
            return &CGXGridCore::OnGridMButtonDblClk;
        case fw::WM_RBUTTONDOWN:
            return &CGXGridCore::OnGridRButtonDown;
        case fw::WM_RBUTTONUP:
            return &CGXGridCore::OnGridRButtonUp;
        case fw::WM_RBUTTONDBLCLK:
            return &CGXGridCore::OnGridRButtonDblClk;
        default:
            return nullptr;
    }
}

}  // namespace

bool GXRouteGridMessage(CGXGridCore& core, fw::Window& wnd, fw::Message& msg, fw::LRESULT& result) {
    using namespace fw;
    const WPARAM w = msg.wParam;
    const LPARAM l = msg.lParam;
    result = 0;
    if (core.OnGridWndMsg(msg.id, w, l, result))
        return true;
    if (msg.id == FindReplaceMessage()) {
        core.OnFindReplace(reinterpret_cast<void*>(l));
        return true;
    }
    if (MouseHandler handler = MouseHandlerOf(msg.id)) {
        (core.*handler)(static_cast<unsigned>(w), PointOf(l));
        return true;
    }
    const UINT low = LOWORD(static_cast<std::uintptr_t>(l));
    const UINT high = HIWORD(static_cast<std::uintptr_t>(l));
    switch (msg.id) {
        case WM_SETCURSOR:
            result = 1;
            return core.OnGridSetCursor(WindowOf(w), low, high);
        case WM_VSCROLL:
            core.OnGridVScroll(LOWORD(w), HIWORD(w));
            return true;
        case WM_HSCROLL:
            core.OnGridHScroll(LOWORD(w), HIWORD(w));
            return true;
        case WM_SIZE:
            core.OnGridSize(static_cast<unsigned>(w), static_cast<int>(low),
                            static_cast<int>(high));
            return true;
        case WM_SHOWWINDOW:
            core.OnGridShowWindow(w != 0);
            return false;
        case WM_DESTROY:
            core.OnGridDestroy();
            return false;
        case WM_MOUSEACTIVATE:
            return core.OnGridMouseActivate(WindowOf(w), low, high, result);
        case WM_WININICHANGE:
            core.OnGridWinIniChange();
            return true;
        case WM_SYSCOLORCHANGE:
            core.OnGridSysColorChange();
            return true;
        case WM_KILLFOCUS:
            core.OnGridKillFocus(WindowOf(w));
            return true;
        case WM_SETFOCUS:
            core.OnGridSetFocus(WindowOf(w));
            return true;
        case WM_TIMER:
            core.OnGridTimer(static_cast<unsigned>(w));
            return true;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
            // A key the grid does not take goes on (to the dialog, for Enter and Escape).
            result = 1;
            return core.ProcessKeys(&wnd, msg.id, static_cast<unsigned>(w), low, high);
        case WM_CANCELMODE:
            core.OnGridCancelMode();
            return true;
        case WM_COMMAND:
            return core.OnGridCommand(w, l);
        case WM_GX_VALIDATE:
            result = core.ValidateCurrentCell(w != 0) ? 1 : 0;
            return true;
        case WM_GX_MOVETORECORD:
            result = core.MoveToRecord(static_cast<int>(w), static_cast<long>(l)) ? 1 : 0;
            return true;
        case WM_GX_LOCKRESIZE:
            core.SetSizeLock(reinterpret_cast<const void*>(w));
            return true;
        default:
            return false;
    }
}
