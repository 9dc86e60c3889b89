#include "grid/core/CGXPluginComponent.h"

#include "framework/window/WindowStyles.h"

#include <QApplication>
#include <QCursor>

#include <chrono>
#include <cstdlib>

namespace {

int wheelLines = 0;
bool wheelLinesRead = false;

constexpr unsigned kEndScroll = 8;

int MulDiv(int a, int b, int c) {
    return static_cast<int>(static_cast<long long>(a) * b / c);
}

}  // namespace

CGXPluginComponent::~CGXPluginComponent() = default;

bool CGXPluginComponent::PlugIn(fw::Window* gridWindow) {
    window_ = gridWindow;
    return true;
}

void CGXPluginComponent::HandleMessage(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam,
                                       fw::LRESULT* result) {
    m_bExitMessage = false;
    m_bSkipOtherPlugins = false;
    fw::LRESULT r = 0;
    OnMessage(message, wParam, lParam, r);
    if (result)
        *result = r;
}

fw::Point CGXPluginComponent::GetCursorPos() const {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

void CGXPluginComponent::SetCursorPos(fw::Point screen) {
    QCursor::setPos(screen.x, screen.y);
}

std::uint64_t CGXPluginComponent::TickCount() const {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int GXGetWheelScrollLines(bool refresh) {
    if (!wheelLinesRead || refresh) {
        wheelLines = 3;
        if (qApp)
            wheelLines = QApplication::wheelScrollLines();
        wheelLinesRead = true;
    }
    return wheelLines;
}

void GXSetWheelScrollLines(int lines) {
    wheelLines = lines;
    wheelLinesRead = true;
}

int CGXMouseWheelPlugin::GetZoom() {
    fw::Window* w = GetWindow();
    return w ? static_cast<int>(w->SendMessage(GX_WM_GETZOOM)) : 0;
}

void CGXMouseWheelPlugin::SetZoom(int percent) {
    if (fw::Window* w = GetWindow())
        w->SendMessage(GX_WM_SETZOOM, static_cast<fw::WPARAM>(percent));
}

void CGXMouseWheelPlugin::VScroll(unsigned code, int count) {
    fw::Window* w = GetWindow();
    if (!w)
        return;
    for (int i = 0; i < count; ++i) w->SendMessage(fw::WM_VSCROLL, code);
    w->SendMessage(fw::WM_VSCROLL, kEndScroll);
}

void CGXMouseWheelPlugin::HScroll(unsigned code, int count) {
    fw::Window* w = GetWindow();
    if (!w)
        return;
    for (int i = 0; i < count; ++i) w->SendMessage(fw::WM_HSCROLL, code);
    w->SendMessage(fw::WM_HSCROLL, kEndScroll);
}

bool CGXMouseWheelPlugin::HasScrollBar(int bar) const {
    const fw::Window* w = GetWindow();
    if (!w)
        return false;
    const fw::DWORD style = bar == fw::SB_VERT ? fw::WS_VSCROLL : fw::WS_HSCROLL;
    return (w->GetStyle() & style) != 0 || w->IsScrollBarVisible(bar);
}

void CGXMouseWheelPlugin::OnMessage(fw::UINT message, fw::WPARAM wParam, fw::LPARAM, fw::LRESULT&) {
    if (message == fw::WM_MOUSEWHEEL) {
        OnMouseWheel(fw::GET_KEYSTATE_WPARAM(wParam), fw::GET_WHEEL_DELTA_WPARAM(wParam));
    } else if (message == fw::WM_WININICHANGE) {
        GXGetWheelScrollLines(true);
    }
}

void CGXMouseWheelPlugin::OnMouseWheel(unsigned keys, int delta) {
    const unsigned mods = keys & (fw::MK_SHIFT | fw::MK_CONTROL);
    if (mods == fw::MK_CONTROL) {
        const int zoom = GetZoom();
        if (zoom == 0)
            return;
        if (delta > 0 && zoom > 50)
            SetZoom(zoom - 10);
        else if (delta < 0 && zoom < 200)
            SetZoom(zoom + 10);
        m_bExitMessage = true;
        return;
    }
    if (mods != 0 && mods != fw::MK_SHIFT)
        return;  // other keys: not ours
    const int lines = GXGetWheelScrollLines();
    const bool horizontal = (!HasScrollBar(fw::SB_VERT) && HasScrollBar(fw::SB_HORZ)) ||
                            (mods == fw::MK_SHIFT && HasScrollBar(fw::SB_HORZ));
    m_bExitMessage = true;
    if (lines == -1) {
        const unsigned code = delta > 0 ? fw::SB_PAGEUP : fw::SB_PAGEDOWN;
        horizontal ? HScroll(code, 1) : VScroll(code, 1);
        return;
    }
    const int count = std::abs(MulDiv(-delta, lines, fw::WHEEL_DELTA));
    if (count == 0)
        return;
    const unsigned code = delta > 0 ? fw::SB_LINEUP : fw::SB_LINEDOWN;
    horizontal ? HScroll(code, count) : VScroll(code, count);
}
