// Merging one style into another (CGXStyle::ChangeStyle).
#include "grid/core/CGXStyle.h"

namespace {

constexpr std::uint32_t Bit(GXStyleBit b) {
    return 1u << b;
}

// The attributes whose whole value is taken or removed at once.
constexpr std::uint32_t kPlainBits =
    Bit(GX_HORZALIGN) | Bit(GX_VERTALIGN) | Bit(GX_READONLY) | Bit(GX_CONTROL) | Bit(GX_INTERIOR) |
    Bit(GX_TEXTCOLOR) | Bit(GX_WRAPTEXT) | Bit(GX_ALLOWENTER) | Bit(GX_CHOICELIST) |
    Bit(GX_VERTSCROLL) | Bit(GX_MAXLENGTH) | Bit(GX_BASESTYLE) | Bit(GX_ENABLED) |
    Bit(GX_TRISTATE) | Bit(GX_DRAW3DFRAME) | Bit(GX_AUTOSIZE) | Bit(GX_ITEMDATA) |
    Bit(GX_FLOATCELL) | Bit(GX_FLOODCELL) | Bit(GX_MERGECELL) | Bit(GX_FORMAT) | Bit(GX_PLACES);

}  // namespace

CGXStyle& CGXStyle::ChangeStyle(const CGXStyle& source, GXModifyType type) {
    if (&source == this) {
        if (type == gxExclude)
            Free();
        return *this;
    }
    if (type == gxExclude) {
        Exclude(source);
        return *this;
    }
    if (type == gxCopy || include_ == 0) {
        *this = source;
        return *this;
    }
    Merge(source, type);
    return *this;
}

void CGXStyle::Exclude(const CGXStyle& s) {
    const std::uint32_t m = s.include_;
    if (m == 0)
        return;
    include_ &= ~(m & kPlainBits);
    if (m & Bit(GX_BORDERS))
        ExcludeBorders(s);
    if ((m & Bit(GX_FONT)) && IsIncluded(GX_FONT) && font_ && s.font_)
        font_->ChangeFont(*s.font_, gxExclude);
    if (m & Bit(GX_VALUE))
        SetIncludeValue(false);
    if ((m & Bit(GX_USERATTRIBUTES)) && IsIncluded(GX_USERATTRIBUTES) && userAttributes_ &&
        s.userAttributes_)
        userAttributes_->ChangeMap(*s.userAttributes_, gxExclude);
}

void CGXStyle::ExcludeBorders(const CGXStyle& s) {
    if (!IsIncluded(GX_BORDERS) || !borders_)
        return;
    for (int side = 0; side < 4; ++side)
        if (s.HasBorder(side))
            (*borders_)[static_cast<std::size_t>(side)].SetInclude(false);
    UpdateBordersBit();
}

void CGXStyle::MergeBorders(const CGXStyle& s, bool override) {
    const bool hadBorders = IsIncluded(GX_BORDERS) && borders_;
    auto& own = BorderArray();
    for (int side = 0; side < 4; ++side) {
        if (!s.HasBorder(side))
            continue;
        if (override || !hadBorders || !HasBorder(side))
            own[static_cast<std::size_t>(side)] = s.GetBorders(side);
    }
    UpdateBordersBit();
}

void CGXStyle::Merge(const CGXStyle& s, GXModifyType type) {
    const bool override = type == gxOverride;
    auto take = [&](GXStyleBit b) { return s.IsIncluded(b) && (override || !IsIncluded(b)); };
    if (take(GX_HORZALIGN))
        hAlign_ = s.hAlign_;
    if (take(GX_VERTALIGN))
        vAlign_ = s.vAlign_;
    if (take(GX_READONLY))
        readOnly_ = s.readOnly_;
    if (take(GX_CONTROL))
        controlId_ = s.controlId_;
    if (take(GX_INTERIOR))
        interior_ = s.interior_;
    if (take(GX_TEXTCOLOR))
        textColor_ = s.textColor_;
    if (take(GX_WRAPTEXT))
        wrapText_ = s.wrapText_;
    if (take(GX_ALLOWENTER))
        allowEnter_ = s.allowEnter_;
    if (take(GX_CHOICELIST))
        choiceList_ = s.choiceList_;
    if (take(GX_VERTSCROLL))
        vertScroll_ = s.vertScroll_;
    if (take(GX_MAXLENGTH))
        maxLength_ = s.maxLength_;
    if (take(GX_BASESTYLE))
        baseStyle_ = s.baseStyle_;
    if (take(GX_ENABLED))
        enabled_ = s.enabled_;
    if (take(GX_TRISTATE))
        triState_ = s.triState_;
    if (take(GX_DRAW3DFRAME))
        draw3d_ = s.draw3d_;
    if (take(GX_AUTOSIZE))
        autoSize_ = s.autoSize_;
    if (take(GX_ITEMDATA))
        itemData_ = s.itemData_;
    if (take(GX_FLOATCELL))
        floatCell_ = s.floatCell_;
    if (take(GX_FLOODCELL))
        floodCell_ = s.floodCell_;
    if (take(GX_MERGECELL))
        mergeCell_ = s.mergeCell_;
    if (take(GX_FORMAT))
        format_ = s.format_;
    if (take(GX_PLACES))
        places_ = s.places_;
    if (take(GX_VALUE)) {
        value_ = s.value_;
        valueType_ = s.valueType_;
    }
    include_ |= s.include_ & (kPlainBits | Bit(GX_VALUE));

    if (s.IsIncluded(GX_BORDERS))
        MergeBorders(s, override);
    if (s.IsIncluded(GX_FONT) && s.font_) {
        if (IsIncluded(GX_FONT) && font_)
            font_->ChangeFont(*s.font_, type);
        else if (font_)
            *font_ = *s.font_;
        else
            font_ = std::make_unique<CGXFont>(*s.font_);
        include_ |= Bit(GX_FONT);
    }
    if (s.IsIncluded(GX_USERATTRIBUTES) && s.userAttributes_) {
        if (!userAttributes_)
            userAttributes_ = std::make_unique<CGXUserAttributeMap>();
        else if (!IsIncluded(GX_USERATTRIBUTES))
            userAttributes_->RemoveAll();
        userAttributes_->ChangeMap(*s.userAttributes_, type);
        include_ |= Bit(GX_USERATTRIBUTES);
    }
}
