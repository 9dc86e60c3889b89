#include "editor/ui/ProgressBar.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/PaintContext.h"
#include "framework/window/Window.h"

namespace {

constexpr fw::ColorRef kFrameColour = 0x646464;
// A Windows colour value: blue 200, red and green 0.
constexpr fw::ColorRef kFillColour = 0xC80000;

}  // namespace

CProgressBar::CProgressBar(int kind, int width, int height, bool showPercent)
    : kind_(kind), innerWidth_(width - 4), innerHeight_(height - 4), showPercent_(showPercent) {}

bool CProgressBar::SetRange(int steps) {
    if (kind_ != 1)
        return false;
    range_ = steps;
    return true;
}

bool CProgressBar::SetPos(int position) {
    if (kind_ != 1)
        return false;
    position_ = position;
    return true;
}

int CProgressBar::FilledWidth() const {
    if (innerWidth_ <= 0)
        return 0;
    if (range_ <= 0)
        return 1;
    const int64_t filled = static_cast<int64_t>(innerWidth_) * position_ / range_;
    return static_cast<int>(std::clamp<int64_t>(filled, 0, innerWidth_));
}

int CProgressBar::Percent() const {
    if (innerWidth_ <= 0)
        return 0;
    return FilledWidth() * 100 / innerWidth_;
}

bool CProgressBar::Update(fw::Window& window, int position, int x, int y) {
    if (kind_ != 1)
        return false;
    SetPos(position);
    fw::ClientContext dc(window);
    Draw(dc, x, y);
    return true;
}

void CProgressBar::Draw(fw::DeviceContext& dc, int x, int y) const {
    if (kind_ != 1 || innerWidth_ <= 0 || innerHeight_ <= 0)
        return;  // nothing to draw into; the pane is too small for a bar
    const fw::Pen oldPen = dc.SelectPen(fw::Pen{fw::PS_SOLID, 2, kFrameColour});
    const fw::Brush oldBrush = dc.SelectBrush(fw::Brush::Solid(0));
    dc.Rectangle({x - 2, y - 2, x + innerWidth_ + 2, y + innerHeight_ + 2});
    dc.SelectPen(fw::Pen{fw::PS_SOLID, 1, kFillColour});
    dc.SelectBrush(fw::Brush::Solid(kFillColour));
    dc.Rectangle({x, y, x + FilledWidth(), y + innerHeight_});
    if (showPercent_) {
        fw::LogFont font;
        font.height = 14;
        font.weight = fw::FW_BOLD;
        font.pitchAndFamily = fw::VARIABLE_PITCH | fw::FF_SWISS;
        const fw::LogFont oldFont = dc.SelectFont(font);
        const int oldMode = dc.SetBkMode(fw::TRANSPARENT);
        const fw::ColorRef oldText = dc.SetTextColor(0xFFFFFF);
        fw::Rect r{x + innerWidth_ / 2 - 20, y + innerHeight_ / 2 - 8, x + innerWidth_ / 2 + 20,
                   y + innerHeight_ / 2 + 8};
        dc.DrawText(std::to_string(Percent()) + "%", r, fw::DT_CENTER | fw::DT_WORDBREAK);
        dc.SetTextColor(oldText);
        dc.SetBkMode(oldMode);
        dc.SelectFont(oldFont);
    }
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
}
