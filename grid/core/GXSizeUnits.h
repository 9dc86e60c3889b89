// Row heights and column widths are kept in units of the standard font: pixels times
// (1000 / unit) with integer division, the unit being the font's line height for rows and its
// average character width for columns. A unit of 0 (no font measured yet) or above 1000 pixels
// would make that factor 0; the factor is kept at 1 or more so that no size divides by zero.
#pragma once

#include <algorithm>
#include <cstdint>

constexpr std::int32_t GXSizeFactor(int unitPixels) {
    return unitPixels <= 0 ? 1000 : std::max(1, 1000 / unitPixels);
}

constexpr std::int32_t GXStoredSizeFromPixels(int pixels, int unitPixels) {
    return pixels * GXSizeFactor(unitPixels);
}

constexpr int GXPixelsFromStoredSize(std::int32_t stored, int unitPixels) {
    return stored / GXSizeFactor(unitPixels);
}
