#include "grid/features/CGXStyleCompareSubsetImp.h"

#include "grid/core/CGXStyle.h"
#include "grid/core/GXLibraryState.h"

namespace {

bool SameUserAttributes(const CGXStyle& style, const CGXStyle& subset) {
    const CGXUserAttributeMap* sub = subset.GetUserAttributeMap();
    if (!sub || sub->IsEmpty())
        return true;
    const CGXUserAttributeMap* own = style.GetUserAttributeMap();
    if (!own || own->GetCount() < sub->GetCount())
        return false;
    for (int i = 0; i < sub->GetCount(); ++i)
        if (!own->GetAt(i).IsEqual(sub->GetAt(i)))
            return false;
    return true;
}

}  // namespace

bool CGXStyleCompareSubsetImp::IsSubSet(const CGXStyle& s, const CGXStyle& sub) {
    if ((s.GetIncludeMask() & sub.GetIncludeMask()) != sub.GetIncludeMask())
        return false;
    auto check = [&](GXStyleBit bit, bool same) { return !sub.IsIncluded(bit) || same; };
    bool ok = check(GX_HORZALIGN, s.GetHorizontalAlignment() == sub.GetHorizontalAlignment()) &&
              check(GX_VERTALIGN, s.GetVerticalAlignment() == sub.GetVerticalAlignment()) &&
              check(GX_READONLY, s.GetReadOnly() == sub.GetReadOnly()) &&
              check(GX_CONTROL, s.GetControl() == sub.GetControl()) &&
              check(GX_INTERIOR, s.GetInterior() == sub.GetInterior()) &&
              check(GX_TEXTCOLOR, s.GetTextColor() == sub.GetTextColor()) &&
              check(GX_WRAPTEXT, s.GetWrapText() == sub.GetWrapText()) &&
              check(GX_ALLOWENTER, s.GetAllowEnter() == sub.GetAllowEnter()) &&
              check(GX_FONT, s.GetFont().IsSubSet(sub.GetFont())) &&
              check(GX_VALUE, s.GetValue() == sub.GetValue()) &&
              check(GX_CHOICELIST, s.GetChoiceList() == sub.GetChoiceList()) &&
              check(GX_VERTSCROLL, s.GetVerticalScrollbar() == sub.GetVerticalScrollbar()) &&
              check(GX_MAXLENGTH, s.GetMaxLength() == sub.GetMaxLength()) &&
              check(GX_BASESTYLE, s.GetBaseStyle() == sub.GetBaseStyle()) &&
              check(GX_ENABLED, s.GetEnabled() == sub.GetEnabled()) &&
              check(GX_TRISTATE, s.GetTriState() == sub.GetTriState()) &&
              check(GX_DRAW3DFRAME, s.GetDraw3dFrame() == sub.GetDraw3dFrame()) &&
              check(GX_AUTOSIZE, s.GetAutoSize() == sub.GetAutoSize()) &&
              check(GX_ITEMDATA, s.GetItemDataPtr() == sub.GetItemDataPtr()) &&
              check(GX_FLOATCELL, s.GetFloatCell() == sub.GetFloatCell()) &&
              check(GX_FLOODCELL, s.GetFloodCell() == sub.GetFloodCell()) &&
              check(GX_MERGECELL, s.GetMergeCell() == sub.GetMergeCell()) &&
              check(GX_FORMAT, s.GetFormat() == sub.GetFormat()) &&
              check(GX_PLACES, s.GetPlaces() == sub.GetPlaces());
    if (!ok)
        return false;
    if (sub.GetIncludeBorders()) {
        for (int side = 0; side < 4; ++side)
            if (sub.HasBorder(side) &&
                (!s.HasBorder(side) || !(s.GetBorders(side) == sub.GetBorders(side))))
                return false;
    }
    return !sub.GetIncludeUserAttributes() || SameUserAttributes(s, sub);
}

void InstallStyleCompareSubsetImp() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (state.m_pStyleCompareSubsetImp)
        return;
    state.m_pStyleCompareSubsetImp =
        state.AddOwnedObject(std::make_unique<CGXStyleCompareSubsetImp>());
}
