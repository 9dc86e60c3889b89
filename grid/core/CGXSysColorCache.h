// The library's cache of system colours: the first 24 system colours, the named colours the
// controls draw with, and two bitmaps recoloured to the system colours. Refreshed at library
// start-up and when the system colours or settings change.
#pragma once

#include "framework/base/Color.h"
#include "framework/drawing/GdiObjects.h"

#include <array>

class CGXSysColorCache {
public:
    static CGXSysColorCache& Instance();

    // Refills the colours and reloads the two bitmaps (resources 20028 and 20211).
    void Update();
    // The cached colour of an index below 24, else the current system colour of the index.
    fw::ColorRef GetColor(int index) const;
    // Tells the installed date-and-time component to re-read the date order and separators.
    static void RefreshDateTimeSettings();
    // Drops the bitmaps (library shut-down).
    void Release();

    fw::ColorRef clrBtnFace = 0;
    fw::ColorRef clrBtnShadow = 0;
    fw::ColorRef clrBtnHilite = 0;
    fw::ColorRef clrWindowFrame = 0;
    fw::ColorRef clr3DLight = 0;
    fw::ColorRef clr3DDkShadow = 0;
    fw::ColorRef clrWindowText = 0;
    fw::ColorRef clrWindow = 0;
    fw::ColorRef clrHighlight = 0;
    fw::ColorRef clrHighlightText = 0;
    fw::Bitmap bitmap20028;
    fw::Bitmap bitmap20211;

    static constexpr int kCachedColors = 24;

private:
    CGXSysColorCache();
    std::array<fw::ColorRef, kCachedColors> colors_{};
};
