#include "editor/ui/Splash.h"

#include <memory>
#include <string>

#include "framework/drawing/DeviceContext.h"

namespace tessaly {
namespace {

bool showSplash = true;

}  // namespace

CSplashWnd::CSplashWnd() {
    version_.LoadFromModule(nullptr);
}

void CSplashWnd::EnableSplashScreen(bool enable) {
    showSplash = enable;
}
bool CSplashWnd::IsSplashEnabled() {
    return showSplash;
}

void CSplashWnd::ShowSplashScreen(fw::Window* parent) {
    if (!showSplash || fw::SplashWindow::Current())
        return;
    fw::SplashWindow::Show(std::make_unique<CSplashWnd>(), parent, {kWidth, kHeight}, 3000);
}

void CSplashWnd::HideSplashScreen() {
    fw::SplashWindow::Hide();
}

void CSplashWnd::OnDraw(fw::DeviceContext& dc) {
    // The picture: a dark blue field, a band of node squares (the editor's grid), the name.
    dc.FillSolidRect({0, 0, kWidth, kHeight}, fw::Rgb(28, 44, 78));
    dc.FillSolidRect({0, 180, kWidth, 184}, fw::Rgb(240, 200, 80));
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 9; ++col) {
            const bool lit = (row * 9 + col) % 4 != 3;
            dc.FillSolidRect({300 + col * 18, 30 + row * 18, 312 + col * 18, 42 + row * 18},
                             lit ? fw::Rgb(240, 200, 80) : fw::Rgb(70, 90, 130));
        }
    }
    dc.SetBkMode(fw::TRANSPARENT);
    dc.SetTextColor(fw::Rgb(255, 255, 255));
    fw::LogFont title;
    title.height = -44;
    title.weight = fw::FW_BOLD;
    title.faceName = "DejaVu Sans";
    fw::LogFont old = dc.SelectFont(title);
    dc.TextOut(35, 100, "Tessaly");
    fw::LogFont line;
    line.height = -15;
    line.faceName = "DejaVu Sans";
    dc.SelectFont(line);
    dc.SetTextColor(fw::Rgb(200, 210, 230));
    dc.TextOut(37, 152, "IxoKolt network configuration editor");
    dc.SelectFont(old);

    // The version's first three numbers, in the context's own font.
    std::string numbers;
    version_.FormatNumbers(3, numbers);
    dc.SetTextColor(fw::Rgb(255, 255, 255));
    dc.TextOut(395, 220, numbers);
    fw::LogFont copyright;
    copyright.height = -(10 * dc.GetDeviceCaps(fw::LOGPIXELSY) / 72);
    copyright.weight = fw::FW_NORMAL;
    copyright.pitchAndFamily = fw::FF_ROMAN;
    copyright.faceName = "Times New Roman";
    old = dc.SelectFont(copyright);
    if (const char* text = version_.GetCopyright())
        dc.TextOut(35, 270, text);
    dc.SelectFont(old);
}

}  // namespace tessaly
