// The two device contexts over a window's backing image.
//
// PaintContext: made inside the paint handler. It clips to the window's invalid region, asks
// the window to erase its background when the invalidation asked for it (WM_ERASEBKGND), and
// marks the region valid; what it draws is copied to the screen when it flushes or ends.
//
// ClientContext: made at any time (the grid draws its current cell, drag lines and inversions
// at once). It draws into the same image, clipped to the client area, and what it touched is
// copied to the screen when it flushes or ends.
#pragma once

#include "framework/base/Geometry.h"
#include "framework/drawing/DeviceContext.h"

#include <QRegion>

namespace fw {

class Window;

class PaintContext : public DeviceContext {
public:
    explicit PaintContext(Window& window);
    ~PaintContext();

    // The invalid region this paint covers (device pixels) and its bounding box.
    const QRegion& PaintRegion() const { return region_; }
    Rect PaintRect() const;
    // True when the background still has to be erased (WM_ERASEBKGND answered false).
    bool EraseNeeded() const { return eraseNeeded_; }
    Window& GetWindow() const { return window_; }

private:
    Window& window_;
    QRegion region_;
    bool eraseNeeded_ = false;
};

class ClientContext : public DeviceContext {
public:
    explicit ClientContext(Window& window);
    ~ClientContext();
    Window& GetWindow() const { return window_; }

private:
    Window& window_;
};

}  // namespace fw
