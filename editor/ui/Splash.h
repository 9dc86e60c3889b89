// The splash picture shown over the main window at start-up: the suite's name and the
// program's version and copyright, for three seconds or until the first key or mouse button
// (which only dismisses it). The picture is drawn in code: plain, our own.
#pragma once

#include "framework/window/SplashWindow.h"
#include "platform/VavVersionInfo.h"

namespace tessaly {

class CSplashWnd : public fw::SplashWindow {
    Q_OBJECT

public:
    static constexpr int kWidth = 480;
    static constexpr int kHeight = 300;

    CSplashWnd();
    // Whether a splash may be shown at all in this run (off when started embedded).
    static void EnableSplashScreen(bool enable);
    static bool IsSplashEnabled();
    // Shows the splash over the main frame when enabled and none is up.
    static void ShowSplashScreen(fw::Window* parent);
    static void HideSplashScreen();

protected:
    void OnDraw(fw::DeviceContext& dc) override;

private:
    VavVersionInfo version_;
};

}  // namespace tessaly
