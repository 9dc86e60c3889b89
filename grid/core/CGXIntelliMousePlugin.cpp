#include "grid/core/CGXIntelliMousePlugin.h"

#include "framework/drawing/PaintContext.h"
#include "framework/window/VirtualKeys.h"
#include "framework/window/WindowStyles.h"
#include "grid/core/GXBitmapResources.h"
#include "grid/core/GXDrawHelpers.h"

#include <cstdlib>

namespace {

constexpr int kMarkerSize = 30;
constexpr int kNearPixels = 7;
constexpr int kOriginOffset = 15;

// The marker bitmap: resource 20032 when the program has one, else a plain cross on red.
fw::Bitmap MarkerBitmap() {
    fw::Bitmap b = GXLoadSysColorBitmap(GXResourceName::Id(20032));
    if (!b.IsNull())
        return b;
    b = fw::Bitmap::Create(kMarkerSize - 2, kMarkerSize - 2, fw::Rgb(255, 0, 0));
    QImage* img = b.Image();
    for (int i = 4; i < kMarkerSize - 6; ++i) {
        img->setPixel(i, (kMarkerSize - 2) / 2, 0xFF000000u);
        img->setPixel((kMarkerSize - 2) / 2, i, 0xFF000000u);
    }
    return b;
}

}  // namespace

GX_INTELLI_STATE& GXGetIntelliState() {
    static GX_INTELLI_STATE state;
    return state;
}

void CGXMouseWheelOriginWnd::OnPaint() {
    fw::PaintContext dc(*this);
    const fw::Rect r = GetClientRect();
    GXDrawTransparentBitmap(dc, bitmap_, (r.Width() - bitmap_.Width()) / 2,
                            (r.Height() - bitmap_.Height()) / 2, fw::Rgb(255, 0, 0));
}

CGXIntelliMousePlugin::CGXIntelliMousePlugin() = default;

CGXIntelliMousePlugin::~CGXIntelliMousePlugin() {
    if (panning_)
        StopPanning();
}

void CGXIntelliMousePlugin::OnMessage(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam,
                                      fw::LRESULT& result) {
    const GX_INTELLI_STATE& st = GXGetIntelliState();
    switch (message) {
        case fw::WM_MBUTTONDOWN:
            if (panning_) {
                StopPanning();
                m_bExitMessage = true;
            } else if ((wParam & (fw::MK_CONTROL | fw::MK_LBUTTON | fw::MK_RBUTTON)) == 0) {
                StartPanning();
                m_bExitMessage = true;
            }
            return;
        case fw::WM_MBUTTONUP:
            if (panning_) {
                // A quick click or a button held while panning moved ends it; a long press
                // without moving leaves panning on until the next click.
                if (TickCount() - startTick_ < st.holdMs || !held_)
                    StopPanning();
                m_bExitMessage = true;
            }
            return;
        case fw::WM_MOUSEMOVE:
        case fw::WM_SETCURSOR:
            if (panning_) {
                SetPanCursor(GXGetIntelliState().cursorId);
                m_bExitMessage = true;
                result = 1;
            }
            return;
        case fw::WM_LBUTTONDOWN:
        case fw::WM_RBUTTONDOWN:
        case fw::WM_CANCELMODE:
            if (panning_) {
                StopPanning();
                m_bExitMessage = true;
            }
            return;
        case fw::WM_TIMER:
            if (panning_ && wParam == GX_PAN_TIMER) {
                OnPanTimer();
                m_bExitMessage = true;
            }
            return;
        case fw::WM_MOUSEWHEEL:
            if (panning_)
                StopPanning();
            CGXMouseWheelPlugin::OnMessage(message, wParam, lParam, result);
            return;
        default:
            CGXMouseWheelPlugin::OnMessage(message, wParam, lParam, result);
    }
}

void CGXIntelliMousePlugin::StartPanning() {
    fw::Window* w = GetWindow();
    if (!w)
        return;
    w->SetCapture();
    const fw::Point p = GetCursorPos();
    origin_ = {p.x - kOriginOffset, p.y - kOriginOffset};
    SetCursorPos(origin_);
    panning_ = true;
    held_ = true;
    direction_ = -1;
    startTick_ = TickCount();
    lastStep_ = 0;
    stepInterval_ = 0;
    w->SetTimer(GX_PAN_TIMER, 10);
    // The marker: a child window centred on the origin (what it covers comes back when it goes).
    marker_ = std::make_unique<CGXMouseWheelOriginWnd>(MarkerBitmap());
    const fw::Point c = w->ScreenToClient(origin_);
    marker_->Create(w,
                    {c.x - kMarkerSize / 2, c.y - kMarkerSize / 2, c.x + kMarkerSize / 2,
                     c.y + kMarkerSize / 2},
                    GX_ORIGIN_WND_ID);
    SetPanCursor(GX_IDC_PAN_NONE);
}

void CGXIntelliMousePlugin::StopPanning() {
    panning_ = false;
    if (marker_) {
        marker_->DestroyWindow();
        marker_.reset();
    }
    if (fw::Window::GetCapture() == GetWindow())
        fw::Window::ReleaseCapture();
    if (fw::Window* w = GetWindow())
        w->KillTimer(GX_PAN_TIMER);
    GXGetIntelliState().cursorId = 0;
    if (fw::Window* w = GetWindow())
        w->unsetCursor();
    const fw::Point p = GetCursorPos();
    SetCursorPos({p.x + kOriginOffset, p.y + kOriginOffset});
    direction_ = -1;
}

void CGXIntelliMousePlugin::SetPanCursor(int id) {
    if (id == 0)
        return;
    GX_INTELLI_STATE& st = GXGetIntelliState();
    st.cursorId = id;
    // The shape goes on the grid window itself, which holds the capture while panning.
    if (fw::Window* w = GetWindow())
        w->setCursor(fw::LoadCursor(id, fw::IDC_SIZEALL).shape);
}

void CGXIntelliMousePlugin::OnPanTimer() {
    const GX_INTELLI_STATE& st = GXGetIntelliState();
    const fw::Point p = GetCursorPos();
    const int dx = p.x - origin_.x;
    const int dy = p.y - origin_.y;
    const bool horizontal =
        (std::abs(dy) < std::abs(dx) && m_bEnableHorizontal) || !m_bEnableVertical;
    const int distance = horizontal ? std::abs(dx) : std::abs(dy);
    int lines = 0;
    if (distance > kNearPixels)
        lines = distance <= st.growDistance ? 1 : (distance - st.growDistance) / 2 + 1;
    const int speed = std::max(1, (distance - 10) / st.pixelsPerSpeed);
    if (distance > kNearPixels) {
        held_ = false;  // moved: releasing the button now ends panning
        direction_ = horizontal ? (dx < 0 ? 2 : 4) : (dy < 0 ? 1 : 3);
    } else {
        direction_ = -1;
    }
    static constexpr int kCursors[] = {GX_IDC_PAN_UP, GX_IDC_PAN_LEFT, GX_IDC_PAN_DOWN,
                                       GX_IDC_PAN_RIGHT};
    SetPanCursor(direction_ > 0 ? kCursors[direction_ - 1] : GX_IDC_PAN_NONE);
    const std::uint64_t now = TickCount();
    if (lines < 1 || now - lastStep_ < stepInterval_)
        return;
    lastStep_ = now;
    stepInterval_ = st.intervalMs / static_cast<unsigned>(speed);
    if (marker_)
        marker_->ShowWindow(fw::SW_HIDE);
    switch (direction_) {
        case 1:
            VScroll(fw::SB_LINEUP, lines);
            break;
        case 3:
            VScroll(fw::SB_LINEDOWN, lines);
            break;
        case 2:
            HScroll(fw::SB_LINELEFT, lines);
            break;
        case 4:
            HScroll(fw::SB_LINERIGHT, lines);
            break;
        default:
            break;
    }
    if (marker_)
        marker_->ShowWindow(fw::SW_SHOWNA);
}
