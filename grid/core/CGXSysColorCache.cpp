#include "grid/core/CGXSysColorCache.h"

#include "grid/core/CGXAbstractComponents.h"
#include "grid/core/GXBitmapResources.h"
#include "grid/core/GXLibraryState.h"

CGXSysColorCache& CGXSysColorCache::Instance() {
    static CGXSysColorCache cache;
    return cache;
}

CGXSysColorCache::CGXSysColorCache() {
    for (int i = 0; i < kCachedColors; ++i)
        colors_[static_cast<std::size_t>(i)] = fw::GetSysColor(i);
}

void CGXSysColorCache::Update() {
    for (int i = 0; i < kCachedColors; ++i)
        colors_[static_cast<std::size_t>(i)] = fw::GetSysColor(i);
    clrBtnFace = fw::GetSysColor(fw::COLOR_BTNFACE);
    clrBtnShadow = fw::GetSysColor(fw::COLOR_BTNSHADOW);
    clrBtnHilite = fw::GetSysColor(fw::COLOR_BTNHIGHLIGHT);
    clrWindowFrame = fw::GetSysColor(fw::COLOR_WINDOWFRAME);
    clr3DLight = fw::GetSysColor(fw::COLOR_3DLIGHT);
    clr3DDkShadow = fw::GetSysColor(fw::COLOR_3DDKSHADOW);
    clrWindowText = fw::GetSysColor(fw::COLOR_WINDOWTEXT);
    clrWindow = fw::GetSysColor(fw::COLOR_WINDOW);
    clrHighlight = fw::GetSysColor(fw::COLOR_HIGHLIGHT);
    clrHighlightText = fw::GetSysColor(fw::COLOR_HIGHLIGHTTEXT);
    bitmap20028 = GXLoadSysColorBitmap(GXResourceName::Id(20028));
    bitmap20211 = GXLoadSysColorBitmap(GXResourceName::Id(20211));
}

fw::ColorRef CGXSysColorCache::GetColor(int index) const {
    if (index >= 0 && index < kCachedColors)
        return colors_[static_cast<std::size_t>(index)];
    return fw::GetSysColor(index);
}

void CGXSysColorCache::RefreshDateTimeSettings() {
    if (CGXAbstractDateTimeImp* dt = GXGetLibraryState().m_pDateTimeImp)
        dt->RefreshSettings();
}

void CGXSysColorCache::Release() {
    bitmap20028 = {};
    bitmap20211 = {};
}
