// The colour words of styles, brushes and pens.
//
// A colour word is 32 bits. A top byte from 0x41 to 0xFE names a system colour: its index is
// 254 minus the top byte (COLOR_WINDOW 5 is 0xF9xxxxxx), the low 24 bits are ignored. Any other
// word is 24 RGB bits (0x00BBGGRR) with a kind in the top byte's low two bits (0 RGB, 1 palette
// index, 2 palette-relative RGB). Stored, a colour is 24 bits plus a 2-bit kind, kind 3 holding
// a system colour index.
#pragma once

#include "framework/base/Color.h"

#include <cstdint>

using COLORREF = fw::ColorRef;

inline constexpr unsigned GX_COLOR_KIND_SYSTEM = 3;

constexpr bool GXIsSysColorWord(COLORREF c) {
    const std::uint32_t top = c >> 24;
    return top >= 0x41 && top <= 0xFE;
}

// The colour word that names system colour `index` (0..30).
constexpr COLORREF GXSysColorWord(int index) {
    return static_cast<COLORREF>(254 - index) << 24;
}

// A colour as styles, brushes and pens store it.
struct GXStoredColor {
    std::uint32_t value = 0;  // 24 bits: RGB or the system colour index
    unsigned kind = 0;        // 0..3

    static constexpr GXStoredColor FromWord(COLORREF c) {
        if (GXIsSysColorWord(c))
            return {254u - (c >> 24), GX_COLOR_KIND_SYSTEM};
        return {c & 0xFFFFFFu, (c >> 24) & 3u};
    }
    bool IsSystem() const { return kind == GX_COLOR_KIND_SYSTEM; }
    // The word read back: kinds 0-2 RGB with the kind in bits 24-25; a system colour its current
    // RGB with 254 minus the index in the top byte, so that merging or writing it out keeps the
    // meaning "system colour".
    COLORREF Word() const;
    // The colour to draw with: system colours resolved to their current RGB (top byte 0).
    COLORREF Resolve() const;
    friend bool operator==(const GXStoredColor&, const GXStoredColor&) = default;
};

// The current RGB of a system colour, through the library's colour cache.
COLORREF GXGetSysColor(int index);

// A colour word resolved for drawing: system colour words become their RGB; other words keep
// their RGB and kind bits.
COLORREF GXResolveColor(COLORREF c);
