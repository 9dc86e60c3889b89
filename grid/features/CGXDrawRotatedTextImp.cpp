#include "grid/features/CGXDrawRotatedTextImp.h"

#include "framework/drawing/DeviceContext.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/GXLibraryState.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr unsigned kCenter = 0x01;   // DT_CENTER
constexpr unsigned kRight = 0x02;    // DT_RIGHT
constexpr unsigned kVCenter = 0x04;  // DT_VCENTER
constexpr unsigned kBottom = 0x08;   // DT_BOTTOM

int Place(int low, int high, int extent, bool middle, bool far) {
    if (middle)
        return low + (high - low - extent) / 2;
    return far ? high - extent : low;
}

}  // namespace

bool CGXDrawRotatedTextImp::DrawRotatedText(fw::DeviceContext& dc, std::string_view text,
                                            const fw::Rect& rect, const CGXStyle& style,
                                            unsigned format) {
    const int tenths = style.GetIncludeFont() ? style.GetFont().GetOrientation() : 0;
    const double angle = ((tenths % 3600 + 3600) % 3600) / 10.0 * std::numbers::pi / 180.0;
    const fw::Size extent = dc.GetTextExtent(text);
    const double w = extent.cx, h = extent.cy, c = std::cos(angle), s = std::sin(angle);
    // The corners of the text cell turned counter-clockwise about its top-left corner (y grows
    // downwards); the box around them is what gets aligned.
    const double xs[] = {0.0, w * c, h * s, w * c + h * s};
    const double ys[] = {0.0, -w * s, h * c, h * c - w * s};
    const double minX = *std::min_element(std::begin(xs), std::end(xs));
    const double maxX = *std::max_element(std::begin(xs), std::end(xs));
    const double minY = *std::min_element(std::begin(ys), std::end(ys));
    const double maxY = *std::max_element(std::begin(ys), std::end(ys));
    const int boxW = static_cast<int>(std::lround(maxX - minX));
    const int boxH = static_cast<int>(std::lround(maxY - minY));
    const int left =
        Place(rect.left, rect.right, boxW, (format & kCenter) != 0, (format & kRight) != 0);
    const int top =
        Place(rect.top, rect.bottom, boxH, (format & kVCenter) != 0, (format & kBottom) != 0);

    const int saved = dc.SaveDC();
    dc.IntersectClipRect(rect);
    dc.SetTextAlign(fw::TA_LEFT | fw::TA_TOP);
    dc.TextOut(left + static_cast<int>(std::lround(-minX)),
               top + static_cast<int>(std::lround(-minY)), text);
    dc.RestoreDC(saved);
    return true;
}

void InstallDrawRotatedTextImp() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (state.m_pDrawRotatedTextImp)
        return;
    state.m_pDrawRotatedTextImp = state.AddOwnedObject(std::make_unique<CGXDrawRotatedTextImp>());
}
