// The two ways of drawing into a window's backing image.
//
// PaintContext: made inside the paint handler. It takes the window's invalid region as its clip,
// asks the window to erase the background when the invalidation asked for it (WM_ERASEBKGND),
// and marks the region valid; when it ends, the painted part is copied to the screen.
//
// ClientContext: made at any time (the grid draws its current cell, drag lines and inversions
// at once). It draws into the same image; when it ends, what it may have touched is copied to
// the screen.
//
// Both clip to the client area. Draw with a QPainter on Target() limited to ClipRegion().
#pragma once

#include "framework/Geometry.h"

#include <QImage>
#include <QRegion>

namespace fw {

class Window;

class PaintContext {
public:
    explicit PaintContext(Window& window);
    ~PaintContext();
    PaintContext(const PaintContext&) = delete;
    PaintContext& operator=(const PaintContext&) = delete;

    QImage* Target() const { return target_; }
    const QRegion& ClipRegion() const { return region_; }
    // The bounding box of the region to paint.
    Rect PaintRect() const;
    // True when the background still has to be erased (WM_ERASEBKGND answered false).
    bool EraseNeeded() const { return eraseNeeded_; }
    Window& GetWindow() const { return window_; }

private:
    Window& window_;
    QImage* target_;
    QRegion region_;
    bool eraseNeeded_ = false;
};

class ClientContext {
public:
    explicit ClientContext(Window& window);
    ~ClientContext();
    ClientContext(const ClientContext&) = delete;
    ClientContext& operator=(const ClientContext&) = delete;

    QImage* Target() const { return target_; }
    const QRegion& ClipRegion() const { return region_; }
    Window& GetWindow() const { return window_; }

private:
    Window& window_;
    QImage* target_;
    QRegion region_;
};

}  // namespace fw
