#include "framework/window/Window.h"

#include "framework/window/SendBridge.h"
#include "framework/window/WindowPrivate.h"
#include "framework/window/WindowRegistry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QThread>

namespace fw {
namespace {

QPointer<Window> g_capture;

bool OnUiThread() {
    auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

}  // namespace

Window::Window(QWidget* parent) : QWidget(parent), d_(std::make_unique<WindowPrivate>()) {
    detail::EnsureAppHooks();
    d_->q = this;
    d_->queue = std::make_shared<detail::PostedQueue>();
    d_->handle = detail::WindowRegistry::Instance().Register(this, d_->queue);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

Window::~Window() {
    if (d_->created && !d_->destroying)
        DestroyWindow();
    detail::WindowRegistry::Instance().Unregister(d_->handle);
    if (g_capture == this)
        g_capture = nullptr;
}

// --- Creation and life --------------------------------------------------------------------

bool Window::Create(QWidget* parent, const Rect& rect, UINT id, DWORD style, DWORD exStyle) {
    if (style & WS_CHILD) {
        if (parent != parentWidget() || isWindow())
            setParent(parent, Qt::Widget);
    } else {
        Qt::WindowFlags flags = Qt::Window;
        if ((style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION)
            flags |= Qt::FramelessWindowHint;
        setParent(parent, flags);
    }
    d_->id = id;
    d_->style = style;
    d_->exStyle = exStyle;
    if (style & WS_TABSTOP)
        setFocusPolicy(Qt::StrongFocus);
    setGeometry(rect.left, rect.top, std::max(0, rect.Width()), std::max(0, rect.Height()));
    // A window made with scroll-bar styles starts with bars of the range 0..100.
    for (int bar : {SB_HORZ, SB_VERT}) {
        if (!(style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)))
            continue;
        ScrollInfo info;
        info.mask = SIF_RANGE | SIF_POS;
        info.max = 100;
        d_->bars[static_cast<std::size_t>(bar)].shown = true;
        SetScrollInfo(bar, info);
    }
    d_->LayoutScrollBars();
    d_->ResizeBacking();
    d_->created = true;
    if (SendMessage(WM_CREATE) == -1) {
        DestroyWindow();
        return false;
    }
    if (style & WS_DISABLED)
        setEnabled(false);
    if (style & WS_VISIBLE)
        ShowWindow(SW_SHOW);
    return true;
}

void Window::DestroyWindow() {
    if (!d_->created || d_->destroying)
        return;
    d_->destroying = true;
    SendMessage(WM_DESTROY);
    if (g_capture == this)
        ReleaseCapture();
    for (auto& [id, qtId] : d_->timers) killTimer(qtId);
    d_->timers.clear();
    d_->timersByQtId.clear();
    hide();
    d_->queue->Close();
    d_->created = false;
    d_->destroying = false;
    OnPostNcDestroy();  // may delete this
}

bool Window::IsCreated() const {
    return d_->created;
}
WindowHandle Window::Handle() const {
    return d_->handle;
}

Window* Window::FromHandle(WindowHandle handle) {
    return handle ? detail::WindowRegistry::Instance().Find(handle) : nullptr;
}

Window* Window::FromWidget(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto* win = qobject_cast<Window*>(w))
            return win;
    }
    return nullptr;
}

UINT Window::GetDlgCtrlID() const {
    return d_->id;
}
void Window::SetDlgCtrlID(UINT id) {
    d_->id = id;
}

Window* Window::GetDlgItem(UINT id) const {
    const auto kids = findChildren<Window*>(QString(), Qt::FindDirectChildrenOnly);
    for (Window* w : kids) {
        if (w->GetDlgCtrlID() == id)
            return w;
    }
    for (Window* w : findChildren<Window*>()) {
        if (w->GetDlgCtrlID() == id)
            return w;
    }
    return nullptr;
}

Window* Window::GetParentWindow() const {
    return parentWidget() ? FromWidget(parentWidget()) : nullptr;
}

Window* Window::GetTopLevelWindow() {
    Window* top = this;
    for (Window* p = GetParentWindow(); p; p = p->GetParentWindow()) top = p;
    return top;
}

bool Window::IsChildOf(const Window* ancestor) const {
    for (Window* p = GetParentWindow(); p; p = p->GetParentWindow()) {
        if (p == ancestor)
            return true;
    }
    return false;
}

DWORD Window::GetStyle() const {
    DWORD s = d_->style & ~(WS_VISIBLE | WS_DISABLED);
    if (isVisible() || (!isWindow() && isVisibleTo(parentWidget())))
        s |= WS_VISIBLE;
    if (!isEnabled())
        s |= WS_DISABLED;
    return s;
}
DWORD Window::GetExStyle() const {
    return d_->exStyle;
}

void Window::ModifyStyle(DWORD remove, DWORD add) {
    const DWORD before = d_->style;
    d_->style = (d_->style & ~remove) | add;
    if ((before ^ d_->style) & WS_TABSTOP) {
        setFocusPolicy((d_->style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
    }
    if ((remove & WS_VSCROLL) || (add & WS_VSCROLL))
        ShowScrollBar(SB_VERT, (add & WS_VSCROLL) != 0);
    if ((remove & WS_HSCROLL) || (add & WS_HSCROLL))
        ShowScrollBar(SB_HORZ, (add & WS_HSCROLL) != 0);
    if (remove & WS_VISIBLE)
        ShowWindow(SW_HIDE);
    if (add & WS_VISIBLE)
        ShowWindow(SW_SHOW);
    if (remove & WS_DISABLED)
        setEnabled(true);
    if (add & WS_DISABLED)
        setEnabled(false);
}
void Window::ModifyStyleEx(DWORD remove, DWORD add) {
    d_->exStyle = (d_->exStyle & ~remove) | add;
}
DWORD Window::GetClassStyle() const {
    return d_->classStyle;
}
void Window::SetClassStyle(DWORD classStyle) {
    d_->classStyle = classStyle;
}

// --- Geometry and visibility --------------------------------------------------------------

Rect Window::GetClientRect() const {
    return d_->ClientRect();
}

Rect Window::GetWindowRect() const {
    const QRect g = isWindow() ? frameGeometry() : QRect(mapToGlobal(QPoint(0, 0)), size());
    return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

void Window::MoveWindow(const Rect& rect, bool repaint) {
    setGeometry(rect.left, rect.top, std::max(0, rect.Width()), std::max(0, rect.Height()));
    if (repaint)
        Invalidate();
}

Point Window::ClientToScreen(Point p) const {
    const QPoint g = mapToGlobal(QPoint(p.x, p.y));
    return {g.x(), g.y()};
}
Point Window::ScreenToClient(Point p) const {
    const QPoint l = mapFromGlobal(QPoint(p.x, p.y));
    return {l.x(), l.y()};
}
Rect Window::ClientToScreen(const Rect& r) const {
    const Point a = ClientToScreen(r.TopLeft());
    return {a.x, a.y, a.x + r.Width(), a.y + r.Height()};
}
Rect Window::ScreenToClient(const Rect& r) const {
    const Point a = ScreenToClient(r.TopLeft());
    return {a.x, a.y, a.x + r.Width(), a.y + r.Height()};
}

bool Window::ShowWindow(int command) {
    const bool wasVisible = isVisible();
    switch (command) {
        case SW_HIDE:
            hide();
            break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
            isWindow() ? showMinimized() : show();
            break;
        case SW_SHOWMAXIMIZED:
            isWindow() ? showMaximized() : show();
            break;
        case SW_RESTORE:
        case SW_SHOWNORMAL:
            isWindow() ? showNormal() : show();
            break;
        default:
            show();
            break;
    }
    return wasVisible;
}

bool Window::GetWindowPlacement(WindowPlacement& placement) const {
    placement.showCmd = isMinimized()   ? SW_SHOWMINIMIZED
                        : isMaximized() ? SW_SHOWMAXIMIZED
                                        : SW_SHOWNORMAL;
    const QRect g = (isMinimized() || isMaximized()) ? normalGeometry() : geometry();
    placement.normal = {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    return true;
}

bool Window::SetWindowPlacement(const WindowPlacement& placement) {
    const Rect& r = placement.normal;
    if (!r.IsEmpty())
        setGeometry(r.left, r.top, r.Width(), r.Height());
    if (isVisible() || placement.showCmd != SW_SHOWNORMAL)
        ShowWindow(placement.showCmd);
    return true;
}

bool Window::IsWindowVisible() const {
    return isVisible();
}
bool Window::IsIconic() const {
    return isMinimized();
}
bool Window::IsZoomed() const {
    return isMaximized();
}

bool Window::EnableWindow(bool enable) {
    const bool wasDisabled = !isEnabled();
    setEnabled(enable);
    if (wasDisabled == enable)
        SendMessage(WM_ENABLE, enable ? 1 : 0);
    return wasDisabled;
}
bool Window::IsWindowEnabled() const {
    return isEnabled();
}
void Window::SetWindowText(std::string_view text) {
    setWindowTitle(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
}
std::string Window::GetWindowText() const {
    return windowTitle().toStdString();
}

// --- Messages -------------------------------------------------------------------------------

LRESULT Window::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    Message m{msg, wParam, lParam, {}};
    return SendMessage(m);
}

LRESULT Window::SendMessage(Message& msg) {
    if (!OnUiThread()) {
        return detail::SendBridge::Instance().SendFromWorker(d_->handle, std::move(msg));
    }
    QPointer<Window> guard(this);
    LRESULT r = WindowProc(msg);
    (void)guard;
    return r;
}

bool Window::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam, Payload payload) {
    return fw::PostMessage(d_->handle, msg, wParam, lParam, std::move(payload));
}

bool Window::PeekMessage(Message& out, UINT first, UINT last, bool remove) {
    if (remove) {
        auto m = d_->queue->Take(first, last);
        if (!m)
            return false;
        out = std::move(*m);
        return true;
    }
    auto m = d_->queue->PeekCopy(first, last);
    if (!m)
        return false;
    out = std::move(*m);
    return true;
}

void WindowPrivate::DeliverPosted() {
    bool more = false;
    auto m = queue->PopFront(more);
    if (more)
        QCoreApplication::postEvent(q, new QEvent(detail::kPostedWakeEvent));
    if (!m)
        return;
    q->SendMessage(*m);
}

bool PostMessage(WindowHandle target, UINT msg, WPARAM wParam, LPARAM lParam, Payload payload) {
    Message m{msg, wParam, lParam, std::move(payload)};
    return detail::WindowRegistry::Instance().Post(target, m);
}

LRESULT SendMessage(WindowHandle target, UINT msg, WPARAM wParam, LPARAM lParam, Payload payload) {
    Message m{msg, wParam, lParam, std::move(payload)};
    if (!OnUiThread())
        return detail::SendBridge::Instance().SendFromWorker(target, std::move(m));
    Window* w = Window::FromHandle(target);
    return w ? w->SendMessage(m) : 0;
}

// --- Timers, capture, focus -----------------------------------------------------------------

UINT_PTR Window::SetTimer(UINT_PTR id, unsigned elapseMs) {
    KillTimer(id);
    const int qtId = startTimer(static_cast<int>(elapseMs), Qt::PreciseTimer);
    if (qtId == 0)
        return 0;
    d_->timers[id] = qtId;
    d_->timersByQtId[qtId] = id;
    return id;
}

bool Window::KillTimer(UINT_PTR id) {
    auto it = d_->timers.find(id);
    if (it == d_->timers.end())
        return false;
    killTimer(it->second);
    d_->timersByQtId.erase(it->second);
    d_->timers.erase(it);
    return true;
}

void Window::timerEvent(QTimerEvent* e) {
    auto it = d_->timersByQtId.find(e->timerId());
    if (it == d_->timersByQtId.end()) {
        QWidget::timerEvent(e);
        return;
    }
    SendMessage(WM_TIMER, it->second);
}

namespace {
// The offscreen platform of the tests has no pointer to grab.
bool CanGrab() {
    return QGuiApplication::platformName() != QLatin1String("offscreen");
}
}  // namespace

Window* Window::SetCapture() {
    QPointer<Window> old = g_capture.data();
    if (old == this)
        return old;
    // The window losing the capture ends its drag first, while it still holds the capture; its
    // cancel mode may release the capture itself (and is then told of that).
    if (old)
        old->SendMessage(WM_CANCELMODE);
    const bool stillHeld = old && g_capture == old;
    if (stillHeld && CanGrab())
        old->releaseMouse();
    g_capture = this;
    if (isVisible() && CanGrab())
        grabMouse();
    if (stillHeld)
        old->SendMessage(WM_CAPTURECHANGED, 0, static_cast<LPARAM>(d_->handle.value));
    return old;
}

void Window::ReleaseCapture() {
    Window* old = g_capture;
    if (!old)
        return;
    g_capture = nullptr;
    if (CanGrab())
        old->releaseMouse();
    old->SendMessage(WM_CAPTURECHANGED, 0, 0);
}

Window* Window::GetCapture() {
    return g_capture;
}

Window* Window::SetFocus() {
    Window* old = GetFocus();
    setFocus(Qt::OtherFocusReason);
    return old;
}

Window* Window::GetFocus() {
    return FromWidget(QApplication::focusWidget());
}

void CancelModeForModal() {
    if (Window* cap = Window::GetCapture()) {
        cap->SendMessage(WM_CANCELMODE);
        Window::ReleaseCapture();
    }
    if (Window* focus = Window::GetFocus())
        focus->SendMessage(WM_CANCELMODE);
}

// --- Message procedure -----------------------------------------------------------------------

LRESULT Window::WindowProc(Message& msg) {
    return DispatchToHandlers(msg);
}

void Window::closeEvent(QCloseEvent* e) {
    // The close box asks the window; it destroys itself when it agrees (OnClose default).
    e->ignore();
    SendMessage(WM_CLOSE);
}

}  // namespace fw
