// Points, sizes and rectangles in the integer coordinates that windows and device contexts use.
// A rectangle includes its left and top edge and excludes its right and bottom edge, so its
// width is right - left; drawing and hit tests follow that rule everywhere in the framework.
#pragma once

#include <algorithm>

namespace fw {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr Size GetSize() const { return {Width(), Height()}; }
    constexpr Point TopLeft() const { return {left, top}; }
    constexpr Point BottomRight() const { return {right, bottom}; }
    // Empty when it has no area (also when it is turned inside out).
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr Rect& Offset(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }
    constexpr Rect& Inflate(int dx, int dy) {
        left -= dx;
        right += dx;
        top -= dy;
        bottom += dy;
        return *this;
    }
    // Swaps the edges of a rectangle given the wrong way round.
    constexpr Rect& Normalize() {
        if (left > right)
            std::swap(left, right);
        if (top > bottom)
            std::swap(top, bottom);
        return *this;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The common part of two rectangles; an empty rectangle (all zero) when they do not meet.
constexpr Rect Intersect(const Rect& a, const Rect& b) {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    return r.IsEmpty() ? Rect{} : r;
}

// The smallest rectangle holding both; an empty rectangle does not count.
constexpr Rect Union(const Rect& a, const Rect& b) {
    if (a.IsEmpty())
        return b.IsEmpty() ? Rect{} : b;
    if (b.IsEmpty())
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

}  // namespace fw
