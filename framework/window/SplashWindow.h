// A splash window: a borderless picture over the main window at start-up that goes away after a
// time, or at the first key or mouse button pressed anywhere in the program (that press only
// dismisses it). A program derives to draw its picture in OnDraw. At most one is up at a time;
// the framework keeps it and frees it when it goes.
#pragma once

#include "framework/window/Window.h"

#include <memory>

namespace fw {

class DeviceContext;

class SplashWindow : public Window {
    Q_OBJECT

public:
    // Shows the splash (size in pixels) centred over `parent`, or over the screen, for `ms`
    // milliseconds; false when another splash is up or the window could not be made.
    static bool Show(std::unique_ptr<SplashWindow> splash, Window* parent, Size size,
                     unsigned ms = 3000);
    static SplashWindow* Current();
    // Takes it down and repaints the window under it.
    static void Hide();
    // For Application::PreTranslateMessage: a key-down or button-down while a splash is up
    // hides it and is consumed (true).
    static bool PreTranslateAppMessage(const Message& msg);

protected:
    virtual void OnDraw(DeviceContext& dc);
    void OnPaint() override;
    void OnTimer(UINT_PTR id) override;
};

}  // namespace fw
