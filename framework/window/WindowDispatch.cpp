// From a message to its handler, and the default behaviour of each message.
#include "framework/drawing/PaintContext.h"
#include "framework/window/Cursor.h"
#include "framework/window/Window.h"
#include "framework/window/WindowPrivate.h"

#include <QContextMenuEvent>
#include <QMenu>

namespace fw {
namespace {

Point PointOf(LPARAM l) {
    return {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
}
UINT Repeat(LPARAM l) {
    return LOWORD(static_cast<std::uintptr_t>(l));
}
UINT KeyFlags(LPARAM l) {
    return HIWORD(static_cast<std::uintptr_t>(l));
}
Window* WindowOf(std::uintptr_t v) {
    return Window::FromHandle(WindowHandle{v});
}
LRESULT Bool(bool b) {
    return b ? 1 : 0;
}

}  // namespace

LRESULT Window::DispatchToHandlers(Message& m) {
    const WPARAM w = m.wParam;
    const LPARAM l = m.lParam;
    switch (m.id) {
        case WM_CREATE:
            return OnCreate();
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return Bool(OnEraseBkgnd(*reinterpret_cast<PaintContext*>(w)));
        case WM_SIZE:
            OnSize(static_cast<UINT>(w), LOWORD(static_cast<std::uintptr_t>(l)),
                   HIWORD(static_cast<std::uintptr_t>(l)));
            return 0;
        case WM_MOVE:
            OnMove(GET_X_LPARAM(l), GET_Y_LPARAM(l));
            return 0;
        case WM_SHOWWINDOW:
            OnShowWindow(w != 0, static_cast<UINT>(l));
            return 0;
        case WM_KEYDOWN:
            return Bool(OnKeyDown(static_cast<UINT>(w), Repeat(l), KeyFlags(l)));
        case WM_KEYUP:
            return Bool(OnKeyUp(static_cast<UINT>(w), Repeat(l), KeyFlags(l)));
        case WM_CHAR:
            return Bool(OnChar(static_cast<UINT>(w), Repeat(l), KeyFlags(l)));
        case WM_SYSKEYDOWN:
            return Bool(OnSysKeyDown(static_cast<UINT>(w), Repeat(l), KeyFlags(l)));
        case WM_SYSKEYUP:
            return Bool(OnSysKeyUp(static_cast<UINT>(w), Repeat(l), KeyFlags(l)));
        case WM_SYSCHAR:
            return Bool(OnSysChar(static_cast<UINT>(w), Repeat(l), KeyFlags(l)));
        case WM_GETDLGCODE:
            return OnGetDlgCode();
        case WM_MOUSEMOVE:
            OnMouseMove(static_cast<UINT>(w), PointOf(l));
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(static_cast<UINT>(w), PointOf(l));
            return 0;
        case WM_LBUTTONUP:
            OnLButtonUp(static_cast<UINT>(w), PointOf(l));
            return 0;
        case WM_LBUTTONDBLCLK:
            OnLButtonDblClk(static_cast<UINT>(w), PointOf(l));
            return 0;
        case WM_MBUTTONDOWN:
            OnMButtonDown(static_cast<UINT>(w), PointOf(l));
            return 0;
        case WM_MBUTTONUP:
            OnMButtonUp(static_cast<UINT>(w), PointOf(l));
            return 0;
        case WM_MBUTTONDBLCLK:
            OnMButtonDblClk(static_cast<UINT>(w), PointOf(l));
            return 0;
        case WM_RBUTTONDOWN:
            OnRButtonDown(static_cast<UINT>(w), PointOf(l));
            return 0;
        case WM_RBUTTONUP:
            OnRButtonUp(static_cast<UINT>(w), PointOf(l));
            return 0;
        case WM_RBUTTONDBLCLK:
            OnRButtonDblClk(static_cast<UINT>(w), PointOf(l));
            return 0;
        case WM_MOUSEWHEEL:
            if (OnMouseWheel(GET_KEYSTATE_WPARAM(w), GET_WHEEL_DELTA_WPARAM(w), PointOf(l)))
                return 1;
            return DefWindowProc(m);
        case WM_SETCURSOR:
            if (OnSetCursor(WindowOf(w), LOWORD(static_cast<std::uintptr_t>(l)),
                            HIWORD(static_cast<std::uintptr_t>(l))))
                return 1;
            return DefWindowProc(m);
        case WM_MOUSEACTIVATE:
            return OnMouseActivate(WindowOf(w), LOWORD(static_cast<std::uintptr_t>(l)),
                                   HIWORD(static_cast<std::uintptr_t>(l)));
        case WM_SETFOCUS:
            OnSetFocus(WindowOf(w));
            return 0;
        case WM_KILLFOCUS:
            OnKillFocus(WindowOf(w));
            return 0;
        case WM_TIMER:
            OnTimer(w);
            return 0;
        case WM_HSCROLL:
            OnHScroll(LOWORD(w), HIWORD(w));
            return 0;
        case WM_VSCROLL:
            OnVScroll(LOWORD(w), HIWORD(w));
            return 0;
        case WM_CANCELMODE:
            OnCancelMode();
            return 0;
        case WM_SYSCOMMAND:
            OnSysCommand(static_cast<UINT>(w & 0xFFF0) | static_cast<UINT>(w & 0xF), l);
            return 0;
        case WM_CAPTURECHANGED:
            OnCaptureChanged(WindowOf(static_cast<std::uintptr_t>(l)));
            return 0;
        case WM_COMMAND:
            return Bool(OnCommand(w, l));
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (OnNotify(w, l, &result))
                return result;
            return DefWindowProc(m);
        }
        default:
            return DefWindowProc(m);
    }
}

LRESULT Window::DefWindowProc(Message& m) {
    switch (m.id) {
        case WM_SETCURSOR: {
            // The parent may decide first, as a frame does for its children.
            if (Window* p = GetParentWindow()) {
                if (p->SendMessage(m) != 0)
                    return 1;
            }
            if (LOWORD(static_cast<std::uintptr_t>(m.lParam)) == HTCLIENT) {
                SetCursor(LoadSystemCursor(IDC_ARROW));
                return 0;
            }
            return 0;
        }
        case WM_MOUSEACTIVATE:
            if (Window* p = GetParentWindow())
                return p->SendMessage(m);
            return MA_ACTIVATE;
        case WM_MOUSEWHEEL:
            if (Window* p = GetParentWindow())
                return p->SendMessage(m);
            return 0;
        case WM_ERASEBKGND: {
            auto* dc = reinterpret_cast<PaintContext*>(m.wParam);
            if (!d_->background || !dc)
                return 0;
            dc->FillRect(GetClientRect(), Brush::Solid(FromQColor(*d_->background)));
            return 1;
        }
        default:
            return 0;
    }
}

// --- Default handlers ---------------------------------------------------------------------
// Each hands its message to DefWindowProc, so a class that overrides only some keeps the
// standard behaviour of the others.

int Window::OnCreate() {
    return 0;
}
void Window::OnDestroy() {}
void Window::OnPostNcDestroy() {}
void Window::OnClose() {
    DestroyWindow();
}
void Window::OnPaint() {
    PaintContext dc(*this);
}
bool Window::OnEraseBkgnd(PaintContext& dc) {
    Message m{WM_ERASEBKGND, reinterpret_cast<WPARAM>(&dc), 0, {}};
    return DefWindowProc(m) != 0;
}
void Window::OnSize(UINT, int, int) {}
void Window::OnMove(int, int) {}
void Window::OnShowWindow(bool, UINT) {}
bool Window::OnKeyDown(UINT, UINT, UINT) {
    return false;
}
bool Window::OnKeyUp(UINT, UINT, UINT) {
    return false;
}
bool Window::OnChar(UINT, UINT, UINT) {
    return false;
}
bool Window::OnSysKeyDown(UINT, UINT, UINT) {
    return false;
}
bool Window::OnSysKeyUp(UINT, UINT, UINT) {
    return false;
}
bool Window::OnSysChar(UINT, UINT, UINT) {
    return false;
}
UINT Window::OnGetDlgCode() {
    return 0;
}
void Window::OnMouseMove(UINT, Point) {}
void Window::OnLButtonDown(UINT, Point) {}
void Window::OnLButtonUp(UINT, Point) {}
void Window::OnLButtonDblClk(UINT, Point) {}
void Window::OnMButtonDown(UINT, Point) {}
void Window::OnMButtonUp(UINT, Point) {}
void Window::OnMButtonDblClk(UINT, Point) {}
void Window::OnRButtonDown(UINT, Point) {}
void Window::OnRButtonUp(UINT, Point) {}
void Window::OnRButtonDblClk(UINT, Point) {}
bool Window::OnMouseWheel(UINT, int, Point) {
    return false;
}
bool Window::OnSetCursor(Window*, UINT, UINT) {
    return false;
}
int Window::OnMouseActivate(Window* top, UINT hit, UINT msg) {
    Message m{WM_MOUSEACTIVATE,
              top ? top->Handle().value : 0,
              MAKELPARAM(static_cast<int>(hit), static_cast<int>(msg)),
              {}};
    return static_cast<int>(DefWindowProc(m));
}
void Window::OnSetFocus(Window*) {}
void Window::OnKillFocus(Window*) {}
void Window::OnTimer(UINT_PTR) {}
void Window::OnHScroll(UINT, UINT) {}
void Window::OnVScroll(UINT, UINT) {}
void Window::OnCancelMode() {
    if (GetCapture() == this)
        ReleaseCapture();
}
void Window::OnCaptureChanged(Window*) {}

void Window::OnSysCommand(UINT id, LPARAM) {
    switch (id & 0xFFF0) {
        case SC_CLOSE:
            SendMessage(WM_CLOSE);
            break;
        case SC_MINIMIZE:
            ShowWindow(SW_MINIMIZE);
            break;
        case SC_MAXIMIZE:
            ShowWindow(SW_SHOWMAXIMIZED);
            break;
        case SC_RESTORE:
            ShowWindow(SW_RESTORE);
            break;
        default:
            break;
    }
}

void Window::AppendSystemMenu(UINT id, std::string_view text) {
    d_->systemMenu.emplace_back(id, std::string(text));
}

void Window::ShowSystemMenu(Point screen) {
    if (d_->systemMenu.empty())
        return;
    QMenu menu(this);
    for (const auto& [id, text] : d_->systemMenu) {
        if (id == 0 && text.empty()) {
            menu.addSeparator();
            continue;
        }
        QAction* a = menu.addAction(QString::fromStdString(text));
        a->setData(id);
    }
    if (QAction* chosen = menu.exec(QPoint(screen.x, screen.y))) {
        SendMessage(WM_SYSCOMMAND, chosen->data().toUInt(), MAKELPARAM(screen.x, screen.y));
    }
}

void Window::contextMenuEvent(QContextMenuEvent* e) {
    if (d_->systemMenu.empty()) {
        QWidget::contextMenuEvent(e);
        return;
    }
    ShowSystemMenu({e->globalPos().x(), e->globalPos().y()});
}
bool Window::OnCommand(WPARAM wParam, LPARAM lParam) {
    // From a menu (code 0) or an accelerator (code 1) there is no sender: both are commands.
    const UINT code = lParam == 0 ? 0 : HIWORD(wParam);
    return OnCmdMsg(LOWORD(wParam), code, CmdAction::Execute, nullptr);
}

bool Window::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
    auto* header = reinterpret_cast<NotifyHeader*>(lParam);
    if (!header)
        return false;
    auto it = d_->notifyHandlers.find({header->code, header->idFrom});
    if (it == d_->notifyHandlers.end())
        return false;
    NotifyHandler h = it->second;
    h(*header, *result);
    return true;
}

void Window::MapNotify(UINT code, UINT id, NotifyHandler handler) {
    d_->notifyHandlers[{code, id}] = std::move(handler);
}

void Window::NotifyParentCommand(UINT code) {
    if (Window* p = GetParentWindow()) {
        p->SendMessage(WM_COMMAND,
                       MAKEWPARAM(static_cast<int>(GetDlgCtrlID()), static_cast<int>(code)),
                       static_cast<LPARAM>(Handle().value));
    }
}

LRESULT Window::NotifyParent(NotifyHeader& header) {
    header.from = Handle();
    header.idFrom = GetDlgCtrlID();
    Window* p = GetParentWindow();
    return p ? p->SendMessage(WM_NOTIFY, GetDlgCtrlID(), reinterpret_cast<LPARAM>(&header)) : 0;
}

}  // namespace fw
