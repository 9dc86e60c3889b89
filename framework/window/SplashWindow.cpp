#include "framework/window/SplashWindow.h"

#include "framework/drawing/PaintContext.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>

namespace fw {
namespace {

std::unique_ptr<SplashWindow>& Splash() {
    static std::unique_ptr<SplashWindow> splash;
    return splash;
}

QPointer<Window>& Under() {
    static QPointer<Window> under;
    return under;
}

constexpr UINT_PTR kHideTimer = 1;

}  // namespace

bool SplashWindow::Show(std::unique_ptr<SplashWindow> splash, Window* parent, Size size,
                        unsigned ms) {
    if (Splash() || !splash)
        return false;
    const QRect over =
        parent ? parent->window()->geometry()
               : (QApplication::primaryScreen() ? QApplication::primaryScreen()->geometry()
                                                : QRect(0, 0, 800, 600));
    Rect r{0, 0, size.cx, size.cy};
    r.Offset(over.center().x() - size.cx / 2, over.center().y() - size.cy / 2);
    if (!splash->Create(parent, r, 0, WS_POPUP | WS_VISIBLE))
        return false;
    splash->SetTimer(kHideTimer, ms);
    splash->UpdateWindow();
    Under() = parent;
    Splash() = std::move(splash);
    return true;
}

SplashWindow* SplashWindow::Current() {
    return Splash().get();
}

void SplashWindow::Hide() {
    std::unique_ptr<SplashWindow> splash = std::move(Splash());
    if (!splash)
        return;
    splash->DestroyWindow();
    // It may be in one of its own handlers right now: it is freed once that has returned.
    splash.release()->deleteLater();
    if (Window* under = Under()) {
        under->Invalidate();
        under->UpdateWindow();
    }
}

bool SplashWindow::PreTranslateAppMessage(const Message& msg) {
    if (!Splash())
        return false;
    switch (msg.id) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            Hide();
            return true;
        default:
            return false;
    }
}

void SplashWindow::OnDraw(DeviceContext&) {}

void SplashWindow::OnPaint() {
    PaintContext dc(*this);
    OnDraw(dc);
}

void SplashWindow::OnTimer(UINT_PTR id) {
    if (id == kHideTimer)
        Hide();
}

}  // namespace fw
