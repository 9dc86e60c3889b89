// Internal state of fw::Window, shared by the files that implement it. Not for other folders.
#pragma once

#include "framework/PostedQueue.h"
#include "framework/Window.h"

#include <QColor>
#include <QEvent>
#include <QPointer>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QScrollBar;

namespace fw {

struct ScrollBarState {
    QScrollBar* widget = nullptr;  // owned by the window as a Qt child
    ScrollInfo info;
    bool shown = false;  // the program asked for it to be visible
    bool disableNoScroll = false;
    bool tracking = false;  // the user drags the thumb
};

struct WindowPrivate {
    Window* q = nullptr;
    WindowHandle handle;
    std::shared_ptr<detail::PostedQueue> queue;
    UINT id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    DWORD classStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    bool created = false;
    bool destroying = false;

    // Painting.
    QImage backing;
    QRegion updateRegion;
    bool eraseNeeded = false;
    bool paintScheduled = false;
    unsigned paintContexts = 0;  // counts PaintContexts made, to tell a paint that began one
    bool everShown = false;
    std::optional<QColor> background;

    // Timers: our id to the toolkit's id and back.
    std::map<UINT_PTR, int> timers;
    std::map<int, UINT_PTR> timersByQtId;

    std::array<ScrollBarState, 2> bars;  // SB_HORZ, SB_VERT

    std::map<std::pair<UINT, UINT>, Window::NotifyHandler> notifyHandlers;  // (code, id)
    std::vector<std::pair<UINT, std::string>> systemMenu;

    LRESULT Dispatch(Message& msg);
    Rect ClientRect() const;
    void ResizeBacking();
    void SchedulePaint();
    void DeliverPaint();
    void DeliverPosted();
    void LayoutScrollBars();
};

namespace detail {

// Installs (once) the application-wide hooks: focus messages with the old and new window, the
// key-state table, cancel mode on deactivation, and the input-only pumping of InputPump.h.
void EnsureAppHooks();
// The key-state table kept by the hooks.
void SetKeyDown(unsigned vk, bool down);

// Event types the framework posts to itself.
inline const QEvent::Type kPaintRequestEvent = static_cast<QEvent::Type>(QEvent::User + 0x402);

}  // namespace detail
}  // namespace fw
