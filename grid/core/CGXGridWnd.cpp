// The grid's child window: message routing to the core.
#include "grid/core/CGXGridWnd.h"

#include "framework/dialogs/Dialog.h"
#include "framework/drawing/PaintContext.h"
#include "grid/core/GXGridMessageRouting.h"
#include "grid/core/GXLibraryState.h"

#include <atomic>
#include <memory>

namespace {

std::atomic<int> g_liveGridWindows{0};

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
    if (msg.id == fw::WM_GETDLGCODE)
        return static_cast<fw::LRESULT>(
            OnGridGetDlgCode(static_cast<unsigned>(fw::Window::WindowProc(msg))));
    fw::LRESULT result = 0;
    if (GXRouteGridMessage(*this, *this, msg, result))
        return result;
    return fw::Window::WindowProc(msg);
}
