// Free drawing helpers of the grid: solid fills that accept system-colour words, clipped
// inversion, edges, bitmaps with a transparent colour and device-independent bitmaps aligned or
// scaled in a rectangle.
#pragma once

#include "framework/base/Geometry.h"
#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/Dib.h"
#include "framework/drawing/GdiObjects.h"
#include "grid/core/GXColor.h"

#include <cstdint>
#include <optional>
#include <span>

// Fills by an opaque text-out with the colour as background (the DC keeps it as background).
void GXFillSolidRectXY(fw::DeviceContext& dc, int x, int y, int cx, int cy, COLORREF color);
void GXFillSolidRect(fw::DeviceContext& dc, const fw::Rect& rect, COLORREF color);
// Inverts the rectangle, clipped to `clip` when that is not empty (nothing when they do not meet).
void GXInvertRectClipped(fw::DeviceContext& dc, const fw::Rect& rect, const fw::Rect& clip);
void GXDrawEdge(fw::DeviceContext& dc, fw::Rect& rect, unsigned edge, unsigned flags);
// Draws a bitmap at x, y with the pixels of `transparent` left out, through a monochrome mask.
void GXDrawTransparentBitmap(fw::DeviceContext& dc, const fw::Bitmap& bitmap, int x, int y,
                             COLORREF transparent);

// Modes of GXDrawDIB.
inline constexpr int gxDibUnscaled = 0;
inline constexpr int gxDibStretch = 1;
inline constexpr int gxDibKeepAspect = 2;

// Draws a DIB into a rectangle: unscaled (aligned by DT_CENTER 1, DT_RIGHT 2, DT_VCENTER 4,
// DT_BOTTOM 8; a larger bitmap is cut, at the top when DT_BOTTOM is set), stretched, or scaled
// keeping its aspect and aligned. `source` defaults to the whole bitmap.
void GXDrawDIB(fw::DeviceContext& dc, const fw::Dib& dib, const fw::Rect& rect, int mode,
               unsigned alignment, const fw::Rect* source = nullptr);

// Colour-table entries of a DIB header: colours used when set, else 2, 16 or 256 for 1, 4 or
// 8 bits per pixel, else 0. `header` is the 40-byte information header (shorter gives 0).
unsigned GXGetDIBColorCount(std::span<const std::uint8_t> header);
