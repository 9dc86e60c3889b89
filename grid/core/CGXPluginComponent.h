// Mouse plug-ins: objects that see the grid window's messages before the grid does. The grid
// core offers every message to each plug-in (HandleMessage) and reads its two flags afterwards:
// `m_bExitMessage` (the plug-in handled it; the result is the message's answer) and
// `m_bSkipOtherPlugins` (nobody else, the grid's own handling included, gets it).
#pragma once

#include "framework/base/Geometry.h"
#include "framework/window/Message.h"
#include "framework/window/Window.h"

#include <QPointer>

#include <cstdint>

class CGXPluginComponent {
public:
    CGXPluginComponent() = default;
    virtual ~CGXPluginComponent();
    CGXPluginComponent(const CGXPluginComponent&) = delete;
    CGXPluginComponent& operator=(const CGXPluginComponent&) = delete;

    // Shares the grid window; TRUE.
    virtual bool PlugIn(fw::Window* gridWindow);
    fw::Window* GetWindow() const { return window_; }

    // Clears both flags and dispatches the message to the plug-in's handlers.
    void HandleMessage(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam, fw::LRESULT* result);

    bool m_bExitMessage = false;
    bool m_bSkipOtherPlugins = false;

    // Seams for the pointer and the clock (tests move them).
    virtual fw::Point GetCursorPos() const;  // screen coordinates
    virtual void SetCursorPos(fw::Point screen);
    virtual std::uint64_t TickCount() const;

protected:
    // The plug-in's message map: handle the message (set m_bExitMessage when it is taken).
    virtual void OnMessage(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam,
                           fw::LRESULT& result) = 0;

private:
    QPointer<fw::Window> window_;
};

// The lines to scroll per wheel notch, read once and kept until a refresh is asked (3 when the
// desktop says nothing).
int GXGetWheelScrollLines(bool refresh = false);
// Sets the lines per notch (-1: a page per notch) in place of the desktop's setting until the
// next refresh.
void GXSetWheelScrollLines(int lines);

// Messages a plug-in sends to ask the grid window for its zoom and to set it.
inline constexpr fw::UINT GX_WM_GETZOOM = 2015;
inline constexpr fw::UINT GX_WM_SETZOOM = 2016;

// Wheel scrolling (lines or pages) and Ctrl+wheel zoom.
class CGXMouseWheelPlugin : public CGXPluginComponent {
public:
    virtual int GetZoom();
    virtual void SetZoom(int percent);
    // Sends WM_VSCROLL (WM_HSCROLL) with the code `count` times, then SB_ENDSCROLL.
    virtual void VScroll(unsigned code, int count);
    virtual void HScroll(unsigned code, int count);

protected:
    void OnMessage(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam,
                   fw::LRESULT& result) override;
    void OnMouseWheel(unsigned keys, int delta);
    bool HasScrollBar(int bar) const;
};
