// Wheel-button panning: pressing the wheel button marks an origin; while the pointer is away
// from it the grid scrolls toward the pointer, faster the farther it is. A short click keeps
// panning until the next click; holding the button pans until it is released.
#pragma once

#include "grid/core/CGXPluginComponent.h"

#include "framework/drawing/GdiObjects.h"
#include "framework/window/Cursor.h"

#include <cstdint>
#include <memory>

// The process-wide panning settings.
struct GX_INTELLI_STATE {
    unsigned holdMs = 400;      // releasing earlier than this keeps panning
    unsigned intervalMs = 600;  // divided by the speed gives the step interval
    int pixelsPerSpeed = 2;
    int growDistance = 40;  // from here on the line count grows
    int cursorId = 0;       // the cursor shown now
    bool failed = false;
};
GX_INTELLI_STATE& GXGetIntelliState();

// Cursor resources by direction.
inline constexpr int GX_IDC_PAN_UP = 20198;
inline constexpr int GX_IDC_PAN_LEFT = 20199;
inline constexpr int GX_IDC_PAN_RIGHT = 20200;
inline constexpr int GX_IDC_PAN_DOWN = 20201;
inline constexpr int GX_IDC_PAN_NONE = 20202;
inline constexpr unsigned GX_PAN_TIMER = 991;
inline constexpr unsigned GX_ORIGIN_WND_ID = 20033;

// The marker shown at the panning origin: a bitmap centred in a small child window, its red
// pixels transparent.
class CGXMouseWheelOriginWnd : public fw::Window {
public:
    explicit CGXMouseWheelOriginWnd(const fw::Bitmap& bitmap) : bitmap_(bitmap) {}

protected:
    void OnPaint() override;

private:
    fw::Bitmap bitmap_;
};

class CGXIntelliMousePlugin : public CGXMouseWheelPlugin {
public:
    CGXIntelliMousePlugin();
    ~CGXIntelliMousePlugin() override;

    bool IsPanning() const { return panning_; }
    int GetDirection() const { return direction_; }  // 1 up, 2 left, 3 down, 4 right, -1 none
    fw::Point GetOrigin() const { return origin_; }  // screen coordinates
    CGXMouseWheelOriginWnd* GetOriginWnd() const { return marker_.get(); }

    bool m_bEnableVertical = true;
    bool m_bEnableHorizontal = true;

protected:
    void OnMessage(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam,
                   fw::LRESULT& result) override;
    void StartPanning();
    void StopPanning();
    void OnPanTimer();
    void SetPanCursor(int id);

private:
    bool panning_ = false;
    bool held_ = false;  // the button is held near the origin
    fw::Point origin_;
    std::uint64_t startTick_ = 0;
    std::uint64_t lastStep_ = 0;
    unsigned stepInterval_ = 0;
    int direction_ = -1;
    std::unique_ptr<CGXMouseWheelOriginWnd> marker_;
};
