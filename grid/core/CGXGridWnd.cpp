// The grid's child window: message routing to the core.
#include "grid/core/CGXGridWnd.h"

#include "framework/dialogs/Dialog.h"
#include "framework/drawing/PaintContext.h"
#include "grid/core/GXLibraryState.h"

#include <atomic>
#include <memory>

namespace {

std::atomic<int> g_liveGridWindows{0};

fw::Point PointOf(fw::LPARAM l) {
    return {fw::GET_X_LPARAM(l), fw::GET_Y_LPARAM(l)};
}

}  // namespace

CGXGridWnd::CGXGridWnd() : fw::Window(nullptr), CGXGridCore(nullptr, nullptr, false) {
    SetGridWnd(this, nullptr, false);
    // A grid takes the focus by click and by Tab, as a dialog control that edits does.
    setFocusPolicy(Qt::StrongFocus);
    ++g_liveGridWindows;
}

CGXGridWnd::~CGXGridWnd() {
    --g_liveGridWindows;
}

int CGXGridWnd::LiveCount() {
    return g_liveGridWindows.load();
}

std::string CGXGridWnd::RegisterWindowClass() {
    static const std::string kName = "CGXGridWnd";
    if (!GXGetClassInfo(kName))
        GXRegisterWndClass(kName, 0x4008);
    fw::RegisterDialogClass(
        kName, []() -> std::unique_ptr<fw::Window> { return std::make_unique<CGXGridWnd>(); });
    return kName;
}

void CGXGridWnd::UnregisterWindowClass() {
    fw::UnregisterDialogClass("CGXGridWnd");
}

void CGXGridWnd::Initialize() {
    const fw::DWORD style = GetStyle();
    SetScrollBarMode(fw::SB_VERT, (style & fw::WS_VSCROLL) ? 10 : 0, false);
    SetScrollBarMode(fw::SB_HORZ, (style & fw::WS_HSCROLL) ? 10 : 0, false);
    OnInitialUpdate();
}

void CGXGridWnd::OnPaint() {
    fw::PaintContext dc(*this);
    // A window painted before its initial update shows its background only.
    if (!IsInitialized())
        return;
    OnGridPrepareDC(&dc);
    OnGridDraw(&dc);
}

bool CGXGridWnd::OnEraseBkgnd(fw::PaintContext&) {
    return true;
}

fw::LRESULT CGXGridWnd::WindowProc(fw::Message& msg) {
    using namespace fw;
    const WPARAM w = msg.wParam;
    const LPARAM l = msg.lParam;
    LRESULT result = 0;
    if (OnGridWndMsg(msg.id, w, l, result))
        return result;
    const UINT repeat = LOWORD(static_cast<std::uintptr_t>(l));
    const UINT keyFlags = HIWORD(static_cast<std::uintptr_t>(l));
    switch (msg.id) {
        case WM_SETCURSOR:
            if (OnGridSetCursor(Window::FromHandle(WindowHandle{w}),
                                LOWORD(static_cast<std::uintptr_t>(l)),
                                HIWORD(static_cast<std::uintptr_t>(l))))
                return 1;
            break;
        case WM_VSCROLL:
            OnGridVScroll(LOWORD(w), HIWORD(w));
            return 0;
        case WM_HSCROLL:
            OnGridHScroll(LOWORD(w), HIWORD(w));
            return 0;
        case WM_SIZE:
            OnGridSize(static_cast<unsigned>(w), LOWORD(static_cast<std::uintptr_t>(l)),
                       HIWORD(static_cast<std::uintptr_t>(l)));
            return 0;
        case WM_MOUSEMOVE:
            OnGridMouseMove(static_cast<unsigned>(w), PointOf(l));
            return 0;
        case WM_SHOWWINDOW:
            OnGridShowWindow(w != 0);
            break;
        case WM_LBUTTONDBLCLK:
            OnGridLButtonDblClk(static_cast<unsigned>(w), PointOf(l));
            return 0;
        case WM_LBUTTONDOWN:
            OnGridLButtonDown(static_cast<unsigned>(w), PointOf(l));
            return 0;
        case WM_LBUTTONUP:
            OnGridLButtonUp(static_cast<unsigned>(w), PointOf(l));
            return 0;
        case WM_MBUTTONDBLCLK:
            OnGridMButtonDblClk(static_cast<unsigned>(w), PointOf(l));
            return 0;
        case WM_MBUTTONDOWN:
            OnGridMButtonDown(static_cast<unsigned>(w), PointOf(l));
            return 0;
        case WM_MBUTTONUP:
            OnGridMButtonUp(static_cast<unsigned>(w), PointOf(l));
            return 0;
        case WM_RBUTTONDBLCLK:
            OnGridRButtonDblClk(static_cast<unsigned>(w), PointOf(l));
            return 0;
        case WM_RBUTTONDOWN:
            OnGridRButtonDown(static_cast<unsigned>(w), PointOf(l));
            return 0;
        case WM_RBUTTONUP:
            OnGridRButtonUp(static_cast<unsigned>(w), PointOf(l));
            return 0;
        case WM_DESTROY:
            OnGridDestroy();
            break;
        case WM_MOUSEACTIVATE: {
            LRESULT answer = 0;
            if (OnGridMouseActivate(Window::FromHandle(WindowHandle{w}),
                                    LOWORD(static_cast<std::uintptr_t>(l)),
                                    HIWORD(static_cast<std::uintptr_t>(l)), answer))
                return answer;
            break;
        }
        case WM_WININICHANGE:
            OnGridWinIniChange();
            return 0;
        case WM_SYSCOLORCHANGE:
            OnGridSysColorChange();
            return 0;
        case WM_GETDLGCODE:
            return static_cast<LRESULT>(
                OnGridGetDlgCode(static_cast<unsigned>(Window::WindowProc(msg))));
        case WM_KILLFOCUS:
            OnGridKillFocus(Window::FromHandle(WindowHandle{w}));
            return 0;
        case WM_SETFOCUS:
            OnGridSetFocus(Window::FromHandle(WindowHandle{w}));
            return 0;
        case WM_TIMER:
            OnGridTimer(static_cast<unsigned>(w));
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
            if (ProcessKeys(this, msg.id, static_cast<unsigned>(w), repeat, keyFlags))
                return 1;
            return Window::WindowProc(msg);
        case WM_CANCELMODE:
            OnGridCancelMode();
            return 0;
        case WM_GX_VALIDATE:
            return ValidateCurrentCell(w != 0) ? 1 : 0;
        case WM_GX_MOVETORECORD:
            return MoveToRecord(static_cast<int>(w), static_cast<long>(l)) ? 1 : 0;
        case WM_GX_LOCKRESIZE:
            SetSizeLock(reinterpret_cast<const void*>(w));
            return 0;
        default:
            break;
    }
    return Window::WindowProc(msg);
}
