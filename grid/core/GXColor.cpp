#include "grid/core/GXColor.h"

#include "grid/core/CGXSysColorCache.h"

COLORREF GXGetSysColor(int index) {
    return CGXSysColorCache::Instance().GetColor(index);
}

COLORREF GXStoredColor::Word() const {
    if (IsSystem()) {
        const int index = static_cast<int>(value & 0xFF);
        return (GXGetSysColor(index) & 0xFFFFFFu) | GXSysColorWord(index);
    }
    return (value & 0xFFFFFFu) | (static_cast<COLORREF>(kind & 3u) << 24);
}

COLORREF GXStoredColor::Resolve() const {
    if (IsSystem())
        return GXGetSysColor(static_cast<int>(value & 0xFF)) & 0xFFFFFFu;
    return (value & 0xFFFFFFu) | (static_cast<COLORREF>(kind & 3u) << 24);
}

COLORREF GXResolveColor(COLORREF c) {
    return GXStoredColor::FromWord(c).Resolve();
}
