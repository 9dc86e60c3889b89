#include "grid/core/CGXAutoScrollPlugin.h"

#include "framework/window/VirtualKeys.h"

#include <algorithm>
#include <cstdlib>

void CGXAutoScrollPlugin::OnMessage(fw::UINT message, fw::WPARAM wParam, fw::LPARAM, fw::LRESULT&) {
    switch (message) {
        case fw::WM_TIMER:
            if (wParam == GX_AUTOSCROLL_TIMER) {
                OnTick();
                m_bExitMessage = true;
            }
            return;
        case fw::WM_LBUTTONUP:
        case fw::WM_MBUTTONUP:
        case fw::WM_RBUTTONUP:
        case fw::WM_KEYUP:
        case fw::WM_CANCELMODE:
            Stop();
            return;
        case fw::WM_KEYDOWN:
            if (running_ &&
                (wParam == fw::VK_ESCAPE || !settings_.keyboard || wParam != settings_.key))
                Stop();
            return;
        case fw::WM_KILLFOCUS:
            if (!host_ || !host_->KeepsCapture())
                Stop();
            return;
        default:
            return;
    }
}

void CGXAutoScrollPlugin::Stop() {
    if (fw::Window* w = GetWindow())
        w->KillTimer(GX_AUTOSCROLL_TIMER);
    if (host_)
        host_->OnAutoScrollStopped();
    running_ = false;
}

void CGXAutoScrollPlugin::SendMouseMove(fw::Point client) {
    if (fw::Window* w = GetWindow())
        w->SendMessage(fw::WM_MOUSEMOVE, fw::MK_LBUTTON, fw::MAKELPARAM(client.x, client.y));
    lastMove_ = TickCount();
}

void CGXAutoScrollPlugin::OnTick() {
    fw::Window* w = GetWindow();
    if (!w || !host_)
        return;
    const std::uint64_t now = TickCount();
    const fw::Point p = w->ScreenToClient(GetCursorPos());
    if (!running_) {
        settings_ = host_->GetAutoScrollSettings();
        running_ = true;
        delay_ = 80;
        step_ = 1;
        lastDistance_ = 0;
        lastStep_ = now;
        lastMove_ = now;
        lastPoint_ = p;
    }
    // Within the delay: only keep the grid told where the pointer is.
    if (now - lastStep_ < static_cast<std::uint64_t>(delay_)) {
        if (std::abs(p.x - lastPoint_.x) + std::abs(p.y - lastPoint_.y) > 5) {
            SendMouseMove(p);
            smallInterval_ = 100;
        } else if (now - lastMove_ >= static_cast<std::uint64_t>(std::max(0, smallInterval_))) {
            SendMouseMove(p);
            smallInterval_ -= 3;
        }
        lastPoint_ = p;
        return;
    }
    lastStep_ = now;
    lastPoint_ = p;
    int distance = 0;
    int weight = 1;
    if (settings_.keyboard) {
        if (delay_ < 40) {
            const unsigned repeat = static_cast<unsigned>(std::max(step_ / 5, 1));
            w->SendMessage(fw::WM_KEYDOWN, settings_.key, static_cast<fw::LPARAM>(repeat));
        }
        distance = 8;
    } else if (settings_.direction == gxScrollNone) {
        const fw::Rect& r = settings_.rect;
        const ROWCOL rowsBy = static_cast<ROWCOL>(std::max(step_ / 10, 1));
        if (settings_.rows && p.y < r.top) {
            host_->AutoScrollBy(gxScrollUp, rowsBy);
            distance = r.top - p.y;
            weight = 5;
        } else if (settings_.rows && p.y >= r.bottom) {
            host_->AutoScrollBy(gxScrollDown, rowsBy);
            distance = p.y - r.bottom + 1;
            weight = 5;
        }
        if (settings_.cols && p.x < r.left) {
            host_->AutoScrollBy(gxScrollLeft, rowsBy);
            distance = std::max(distance, r.left - p.x);
            weight = 10;
        } else if (settings_.cols && p.x >= r.right) {
            host_->AutoScrollBy(gxScrollRight, rowsBy);
            distance = std::max(distance, p.x - r.right + 1);
            weight = 10;
        }
        if (distance == 0) {
            delay_ = 80;
            step_ = 1;
            SendMouseMove(p);
            return;
        }
    } else {
        if (delay_ < 40)
            host_->AutoScrollBy(settings_.direction, static_cast<ROWCOL>(std::max(step_ / 10, 1)));
        distance = 2;
    }
    if (distance < lastDistance_) {
        delay_ = 80;
        step_ = 1;
    } else if (distance > 1) {
        delay_ -= distance / weight / 2;
        if (delay_ < 0) {
            delay_ = 0;
            step_ = std::min(step_ + 2, 80);
        }
    }
    lastDistance_ = distance;
    SendMouseMove(p);
}
