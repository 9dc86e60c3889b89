// Automatic scrolling while the user selects or drags beyond the grid's edge (or holds a key):
// the grid core starts window timer 992 and this plug-in scrolls on each tick, faster the
// longer and the farther the pointer stays outside, and stops when the button or key is
// released, Escape is pressed or the grid loses the focus.
#pragma once

#include "grid/core/CGXPluginComponent.h"
#include "grid/core/GXTypes.h"

#include <cstdint>

inline constexpr unsigned GX_AUTOSCROLL_TIMER = 992;

// Scroll directions of automatic scrolling.
enum GXScrollDirection : int {
    gxScrollNone = -1,
    gxScrollUp = 1,
    gxScrollLeft = 2,
    gxScrollDown = 3,
    gxScrollRight = 4,
};

// What the plug-in needs of its grid (the grid core provides it).
class CGXAutoScrollHost {
public:
    struct Settings {
        bool rows = true;              // may scroll vertically
        bool cols = true;              // may scroll horizontally
        int direction = gxScrollNone;  // a fixed direction, or none: from the pointer
        bool keyboard = false;         // a held key drives the scrolling
        unsigned key = 0;              // that key
        unsigned repeatFlags = 0;
        fw::Rect rect;  // the scrolling part of the grid (client coordinates)
    };
    virtual ~CGXAutoScrollHost() = default;
    virtual Settings GetAutoScrollSettings() = 0;
    virtual void AutoScrollBy(int direction, ROWCOL count) = 0;
    // The grid's auto-scroll direction becomes none and its keyboard flag is cleared.
    virtual void OnAutoScrollStopped() = 0;
    virtual bool KeepsCapture() = 0;
};

class CGXAutoScrollPlugin : public CGXPluginComponent {
public:
    explicit CGXAutoScrollPlugin(CGXAutoScrollHost* host) : host_(host) {}

    bool IsRunning() const { return running_; }
    int GetDelay() const { return delay_; }
    int GetStep() const { return step_; }
    void Stop();

protected:
    void OnMessage(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam,
                   fw::LRESULT& result) override;
    void OnTick();
    void SendMouseMove(fw::Point client);

private:
    CGXAutoScrollHost* host_;
    CGXAutoScrollHost::Settings settings_;
    bool running_ = false;
    int delay_ = 80;
    int step_ = 1;
    int lastDistance_ = 0;
    int smallInterval_ = 100;
    std::uint64_t lastStep_ = 0;
    std::uint64_t lastMove_ = 0;
    fw::Point lastPoint_;
};
