// fw::Window: a window of the framework over a Qt widget, driven by numbered messages.
//
// * Every toolkit event becomes a message that goes through WindowProc first (so a derived class,
//   or a grid core that the class forwards to, sees every message), then to the virtual handler
//   of that message (OnKeyDown, OnLButtonDown, OnPaint, ...), then to DefWindowProc.
// * Drawing: each window owns a backing image of its client area. Painting (OnPaint with a
//   PaintContext) and drawing at any time (ClientContext) both draw into that image; the widget's
//   own paint event only copies changed parts of it to the screen. Tests read the image.
// * Keyboard: a key press is a key-down phase (WM_KEYDOWN, or WM_SYSKEYDOWN with Alt or F10)
//   and then a character phase (WM_CHAR / WM_SYSCHAR), which is skipped when the key-down was
//   taken. For key messages a handler (or WindowProc) returns nonzero to say it took the key; a
//   key nobody took goes on to the parent widget (a dialog then sees Enter and Escape).
// * Posted messages: each window has its own queue, fed from any thread through its handle and
//   delivered on the user-interface thread in order. See fw::PostMessage and SendMessage.
// * Handles: Handle() names the window for its whole life; a worker thread keeps the handle,
//   never the pointer.
//
// All member functions are for the user-interface thread unless they say otherwise.
#pragma once

#include "framework/CmdTarget.h"
#include "framework/Geometry.h"
#include "framework/Message.h"
#include "framework/VirtualKeys.h"
#include "framework/WindowHandle.h"
#include "framework/WindowStyles.h"

#include <QImage>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace fw {

class PaintContext;
struct WindowPrivate;

// The header of a WM_NOTIFY record; a control's own record starts with it.
struct NotifyHeader {
    WindowHandle from;
    UINT idFrom = 0;
    UINT code = 0;
};

// How a top-level window is shown and where it stands when it is neither maximised nor
// minimised (the rectangle of its client area in screen coordinates).
struct WindowPlacement {
    int showCmd = SW_SHOWNORMAL;  // SW_SHOWNORMAL, SW_SHOWMAXIMIZED or SW_SHOWMINIMIZED
    Rect normal;
};

class Window : public QWidget, public CmdTarget {
    Q_OBJECT

public:
    explicit Window(QWidget* parent = nullptr);
    ~Window() override;

    // --- Creation and life ---------------------------------------------------------------
    // Places the window: with WS_CHILD inside `parent` (rectangle in the parent's client
    // coordinates); otherwise as a top-level window owned by `parent` (screen coordinates; a
    // WS_POPUP without WS_CAPTION has no frame), gives it its child id and styles, sends WM_CREATE
    // and shows it when the style has WS_VISIBLE. False when OnCreate answered -1 (the window is
    // then destroyed again).
    bool Create(QWidget* parent, const Rect& rect, UINT id = 0, DWORD style = WS_CHILD | WS_VISIBLE,
                DWORD exStyle = 0);
    // Sends WM_DESTROY, hides the window, drops its timers, capture and queue, and calls
    // OnPostNcDestroy. The C++ object stays (a class may delete itself in OnPostNcDestroy).
    void DestroyWindow();
    bool IsCreated() const;

    WindowHandle Handle() const;
    static Window* FromHandle(WindowHandle handle);
    // The window a widget belongs to: the widget itself or its nearest framework ancestor.
    static Window* FromWidget(QWidget* widget);

    UINT GetDlgCtrlID() const;
    void SetDlgCtrlID(UINT id);
    // The descendant window with that child id (direct children first), or null.
    Window* GetDlgItem(UINT id) const;
    // The nearest framework window above this one, or null.
    Window* GetParentWindow() const;
    Window* GetTopLevelWindow();
    bool IsChildOf(const Window* ancestor) const;

    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    void ModifyStyle(DWORD remove, DWORD add);
    void ModifyStyleEx(DWORD remove, DWORD add);
    // Class styles (CS_DBLCLKS, CS_HREDRAW, CS_VREDRAW); the default is all three.
    DWORD GetClassStyle() const;
    void SetClassStyle(DWORD classStyle);

    // --- Geometry and visibility ---------------------------------------------------------
    Rect GetClientRect() const;
    // The client rectangle as it would be with neither scroll bar shown (a window that decides
    // whether its scroll bars are needed measures against this).
    Rect GetClientRectWithoutScrollBars() const;
    Rect GetWindowRect() const;  // screen coordinates
    // Moves and sizes the window within its parent's client area.
    void MoveWindow(const Rect& rect, bool repaint = true);
    Point ClientToScreen(Point p) const;
    Point ScreenToClient(Point p) const;
    Rect ClientToScreen(const Rect& r) const;
    Rect ScreenToClient(const Rect& r) const;
    bool ShowWindow(int command);
    bool GetWindowPlacement(WindowPlacement& placement) const;
    bool SetWindowPlacement(const WindowPlacement& placement);
    bool IsWindowVisible() const;
    bool IsIconic() const;
    bool IsZoomed() const;
    bool EnableWindow(bool enable);
    bool IsWindowEnabled() const;
    // The caption of a top-level window, or a control's text (controls override both).
    virtual void SetWindowText(std::string_view text);
    virtual std::string GetWindowText() const;

    // --- Messages --------------------------------------------------------------------------
    // Runs the message through WindowProc now and returns its result. From another thread the
    // message is handed to the user-interface thread and the caller waits (see SendBridge.h).
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendMessage(Message& msg);
    // Queues the message; any thread may call it through fw::PostMessage with the handle.
    bool PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0, Payload payload = {});
    // Looks for the oldest posted message with a number in [first, last] (0, 0: any) and copies
    // it out, or with `remove` takes it out of the queue (its payload then belongs to `out`).
    bool PeekMessage(Message& out, UINT first, UINT last, bool remove);

    // --- Painting ----------------------------------------------------------------------------
    void Invalidate(bool erase = true);
    void InvalidateRect(const Rect& rect, bool erase = true);
    void InvalidateRgn(const QRegion& region, bool erase = true);
    void ValidateRect(const Rect& rect);
    void Validate();
    // Paints the invalid part now (WM_PAINT) and copies it to the screen.
    void UpdateWindow();
    // The bounding box of the invalid part; false when nothing is invalid.
    bool GetUpdateRect(Rect* rect) const;
    QRegion GetUpdateRegion() const;
    // The backing image of the client area that every context draws into.
    QImage& BackingImage();
    const QImage& BackingImage() const;
    // Tells the window that part of its backing image changed outside a paint, so that it is
    // copied to the screen (client contexts call this when they end).
    void FlushToScreen(const QRegion& region);
    // Colour that WM_ERASEBKGND fills with when not handled (none: the image is left alone).
    void SetBackgroundColor(const QColor& color);

    // --- Scrolling ---------------------------------------------------------------------------
    // Moves the pixels of the client area (or of `scrollRect`) by dx, dy, invalidates what is
    // uncovered and moves the child windows that lie in the scrolled area along with them.
    void ScrollWindow(int dx, int dy, const Rect* scrollRect = nullptr,
                      const Rect* clipRect = nullptr);
    int SetScrollInfo(int bar, const ScrollInfo& info, bool redraw = true);
    bool GetScrollInfo(int bar, ScrollInfo& info) const;
    int SetScrollPos(int bar, int pos, bool redraw = true);
    int GetScrollPos(int bar) const;
    void SetScrollRange(int bar, int min, int max, bool redraw = true);
    void GetScrollRange(int bar, int* min, int* max) const;
    void ShowScrollBar(int bar, bool show = true);
    bool IsScrollBarVisible(int bar) const;
    // The toolkit widget of a scroll bar (tests click it); null when the window has none.
    QWidget* ScrollBarWidget(int bar) const;

    // --- System menu ----------------------------------------------------------------------------
    // Adds a command to the window's system menu (id 0 with no text: a separator). The desktop's
    // own window menu cannot be extended, so the menu opens with Alt+Space or a right click on
    // the window's own area; choosing an item sends WM_SYSCOMMAND with its id.
    void AppendSystemMenu(UINT id, std::string_view text);
    void ShowSystemMenu(Point screen);

    // --- Control notifications ----------------------------------------------------------------
    using NotifyHandler = std::function<void(NotifyHeader&, LRESULT&)>;
    // Handles WM_NOTIFY with this code from the child with this id.
    void MapNotify(UINT code, UINT id, NotifyHandler handler);
    // Sends WM_COMMAND with the notification code to the parent window (as a control does).
    void NotifyParentCommand(UINT code);
    // Sends WM_NOTIFY with the record (which starts with a NotifyHeader) to the parent window.
    LRESULT NotifyParent(NotifyHeader& header);

    // --- Timers, mouse, focus -------------------------------------------------------------
    // Starts (or restarts) timer `id`; WM_TIMER with wParam id arrives every `elapseMs`.
    UINT_PTR SetTimer(UINT_PTR id, unsigned elapseMs);
    bool KillTimer(UINT_PTR id);
    // Captures the mouse; returns the window that had the capture.
    Window* SetCapture();
    static void ReleaseCapture();
    static Window* GetCapture();
    // Gives the window the input focus; returns the window that had it.
    Window* SetFocus();
    static Window* GetFocus();

protected:
    // Every message passes here first. The default dispatches to the handlers below.
    virtual LRESULT WindowProc(Message& msg);
    // The behaviour of a message that no handler changed (controls answer their own messages
    // here: EM_SETSEL, CB_ADDSTRING, ...).
    virtual LRESULT DefWindowProc(Message& msg);
    // Dispatches a message to its handler; called by the default WindowProc.
    LRESULT DispatchToHandlers(Message& msg);

    virtual int OnCreate();
    virtual void OnDestroy();
    virtual void OnPostNcDestroy();
    virtual void OnClose();
    virtual void OnPaint();
    virtual bool OnEraseBkgnd(PaintContext& dc);
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnMove(int x, int y);
    virtual void OnShowWindow(bool show, UINT status);
    // Key handlers answer true when they took the key.
    virtual bool OnKeyDown(UINT vk, UINT repeat, UINT flags);
    virtual bool OnKeyUp(UINT vk, UINT repeat, UINT flags);
    virtual bool OnChar(UINT ch, UINT repeat, UINT flags);
    virtual bool OnSysKeyDown(UINT vk, UINT repeat, UINT flags);
    virtual bool OnSysKeyUp(UINT vk, UINT repeat, UINT flags);
    virtual bool OnSysChar(UINT ch, UINT repeat, UINT flags);
    virtual UINT OnGetDlgCode();
    virtual void OnMouseMove(UINT flags, Point p);
    virtual void OnLButtonDown(UINT flags, Point p);
    virtual void OnLButtonUp(UINT flags, Point p);
    virtual void OnLButtonDblClk(UINT flags, Point p);
    virtual void OnMButtonDown(UINT flags, Point p);
    virtual void OnMButtonUp(UINT flags, Point p);
    virtual void OnMButtonDblClk(UINT flags, Point p);
    virtual void OnRButtonDown(UINT flags, Point p);
    virtual void OnRButtonUp(UINT flags, Point p);
    virtual void OnRButtonDblClk(UINT flags, Point p);
    // delta in multiples of WHEEL_DELTA; the point in screen coordinates. True when handled.
    virtual bool OnMouseWheel(UINT flags, int delta, Point screen);
    // True when the handler set the cursor.
    virtual bool OnSetCursor(Window* window, UINT hitTest, UINT message);
    virtual int OnMouseActivate(Window* topLevel, UINT hitTest, UINT message);
    virtual void OnSetFocus(Window* oldFocus);
    virtual void OnKillFocus(Window* newFocus);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnHScroll(UINT code, UINT pos);
    virtual void OnVScroll(UINT code, UINT pos);
    virtual void OnCancelMode();
    // WM_SYSCOMMAND: SC_CLOSE closes, SC_MINIMIZE, SC_MAXIMIZE and SC_RESTORE change the show
    // state; other ids are the program's.
    virtual void OnSysCommand(UINT id, LPARAM lParam);
    virtual void OnCaptureChanged(Window* newCapture);
    // WM_COMMAND: a menu command, an accelerator or a control's notification (code in the high
    // word of wParam, control id in the low word, sender handle in lParam). True when handled.
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    // WM_NOTIFY: lParam points to the sender's notification record. True when handled.
    virtual bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);

    // Qt side: events are turned into messages here.
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    friend class PaintContext;
    friend class ClientContext;
    friend struct WindowPrivate;
    friend class WindowInput;
    friend class WindowPaint;
    friend class WindowScrollBars;

    std::unique_ptr<WindowPrivate> d_;
};

// Posts a message to a window by its handle; any thread. False when the window is gone, and
// then the payload has already been freed.
bool PostMessage(WindowHandle target, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0,
                 Payload payload = {});
// Sends a message by handle; any thread (see SendBridge.h for the cross-thread rules). Answers 0
// when the window is gone.
LRESULT SendMessage(WindowHandle target, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0,
                    Payload payload = {});

// Before a modal box opens: the window holding the capture (and the window with the focus) get
// WM_CANCELMODE, so that no drag or pressed-button state runs on under the box.
void CancelModeForModal();

}  // namespace fw
