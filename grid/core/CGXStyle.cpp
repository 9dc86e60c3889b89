#include "grid/core/CGXStyle.h"

#include "framework/drawing/DeviceContext.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXBlockPool.h"
#include "grid/core/GXLibraryState.h"

#include <cstdio>
#include <set>

const fw::RuntimeClass CGXStyle::kClass{"CGXStyle", 6, &fw::Serializable::kClass,
                                        fw::CreateInstance<CGXStyle>};

const std::array<const char*, 28> GXStyleKeywords = {"HorizontalAlignment",
                                                     "VerticalAlignment",
                                                     "ReadOnly",
                                                     "ControlId",
                                                     "Interior",
                                                     "TextColor",
                                                     "WrapText",
                                                     "AllowEnter",
                                                     "Font",
                                                     "Borders",
                                                     "Top",
                                                     "Left",
                                                     "Bottom",
                                                     "Right",
                                                     "Value",
                                                     "MaxLength",
                                                     "VerticalScrollbar",
                                                     "ChoicesList",
                                                     "Enabled",
                                                     "TriState",
                                                     "Draw3dFrame",
                                                     "AutoSize",
                                                     "BaseStyle",
                                                     "FloatCell",
                                                     "FloodCell",
                                                     "MergeCell",
                                                     "Format",
                                                     "Places"};

namespace {

constexpr std::uint32_t kMaskUsed = (1u << GX_STYLE_ATTRIBUTES) - 1;

constexpr std::uint32_t Bit(GXStyleBit b) {
    return 1u << b;
}

const CGXPen& UnsetPen() {
    static const CGXPen pen;
    return pen;
}

}  // namespace

CGXStyle::CGXStyle(const CGXStyle& other) : fw::Serializable() {
    *this = other;
}

CGXStyle::~CGXStyle() = default;

void* CGXStyle::operator new(std::size_t size) {
    return GXBlockPool<sizeof(CGXStyle)>::Allocate(size);
}

void CGXStyle::operator delete(void* p, std::size_t size) noexcept {
    GXBlockPool<sizeof(CGXStyle)>::Release(p, size);
}

namespace {

template <typename T>
void AssignPart(std::unique_ptr<T>& own, const std::unique_ptr<T>& other) {
    if (!other)
        own.reset();
    else if (own)
        *own = *other;
    else
        own = std::make_unique<T>(*other);
}

}  // namespace

CGXStyle& CGXStyle::operator=(const CGXStyle& o) {
    if (this == &o)
        return *this;
    if (o.include_ == 0) {
        Free();
        return *this;
    }
    include_ = o.include_;
    hAlign_ = o.hAlign_;
    vAlign_ = o.vAlign_;
    readOnly_ = o.readOnly_;
    controlId_ = o.controlId_;
    interior_ = o.interior_;
    textColor_ = o.textColor_;
    wrapText_ = o.wrapText_;
    allowEnter_ = o.allowEnter_;
    // Parts this style already holds take the other's in place: styles are assigned for every
    // cell that is looked up, mostly into the same scratch style.
    AssignPart(borders_, o.borders_);
    // A font the other has not is emptied in place, as Free empties it: the font of a scratch
    // style is then not freed and made again for every cell composed into it.
    if (!o.font_ && font_)
        *font_ = CGXFont();
    else
        AssignPart(font_, o.font_);
    value_ = o.value_;
    valueType_ = o.valueType_;
    choiceList_ = o.choiceList_;
    vertScroll_ = o.vertScroll_;
    maxLength_ = o.maxLength_;
    baseStyle_ = o.baseStyle_;
    enabled_ = o.enabled_;
    triState_ = o.triState_;
    draw3d_ = o.draw3d_;
    AssignPart(userAttributes_, o.userAttributes_);
    autoSize_ = o.autoSize_;
    itemData_ = o.itemData_;
    floatCell_ = o.floatCell_;
    floodCell_ = o.floodCell_;
    mergeCell_ = o.mergeCell_;
    format_ = o.format_;
    places_ = o.places_;
    return *this;
}

std::unique_ptr<CGXStyle> CGXStyle::Clone() const {
    return std::make_unique<CGXStyle>(*this);
}

void CGXStyle::Free() {
    // The font and the attribute map stay allocated, emptied: a freed style is mostly filled
    // again (the grid recycles the styles it composes), and empty they read as none.
    if (font_)
        *font_ = CGXFont();
    borders_.reset();
    if (userAttributes_)
        userAttributes_->RemoveAll();
    value_.clear();
    choiceList_.clear();
    itemData_ = nullptr;
    include_ = 0;
}

// --- components --------------------------------------------------------------------------

void CGXStyle::Serialize(fw::Archive& ar) {
    Serialize(ar, nullptr);
}

void CGXStyle::Serialize(fw::Archive& ar, const CGXStylesMap* map) {
    if (CGXAbstractStyleSerializeImp* imp = GXGetLibraryState().m_pStyleSerializeImp)
        imp->SerializeStyle(*this, ar, map);
}

bool CGXStyle::IsSubSet(const CGXStyle& other) const {
    CGXAbstractStyleCompareSubsetImp* imp = GXGetLibraryState().m_pStyleCompareSubsetImp;
    return imp && imp->IsSubSet(*this, other);
}

void CGXStyle::WriteProfile(std::string_view section, std::string_view entry) const {
    if (CGXAbstractGridProfileImp* imp = GXGetLibraryState().m_pProfileImp)
        imp->WriteStyle(*this, section, entry);
}

bool CGXStyle::ReadProfile(std::string_view section, std::string_view entry) {
    CGXAbstractGridProfileImp* imp = GXGetLibraryState().m_pProfileImp;
    return imp && imp->ReadStyle(*this, section, entry);
}

void CGXStyle::LoadBaseStyle(const CGXStylesMap& map) {
    std::set<std::uint16_t> visited;
    const CGXStyle* current = this;
    while (current->GetIncludeBaseStyle()) {
        const std::uint16_t id = current->GetBaseStyle();
        if (!visited.insert(id).second)
            break;
        const CGXStyle* base = nullptr;
        if (!map.LookupStyle(id, base) || !base)
            break;
        ChangeStyle(*base, gxApplyNew);
        current = base;
    }
}

// --- include mask --------------------------------------------------------------------------

CGXStyle& CGXStyle::Incl(GXStyleBit bit, bool include) {
    if (include)
        include_ |= Bit(bit);
    else
        include_ &= ~Bit(bit);
    return *this;
}

CGXStyle& CGXStyle::SetIncludeMask(std::uint32_t mask) {
    include_ = mask & kMaskUsed;
    if (IsIncluded(GX_FONT) && !font_)
        font_ = std::make_unique<CGXFont>();
    if (IsIncluded(GX_BORDERS) && !borders_)
        borders_ = std::make_unique<std::array<CGXPen, 4>>();
    if (IsIncluded(GX_USERATTRIBUTES) && !userAttributes_)
        userAttributes_ = std::make_unique<CGXUserAttributeMap>();
    if (!IsIncluded(GX_VALUE))
        value_.clear();
    return *this;
}

// --- attributes ----------------------------------------------------------------------------

CGXStyle& CGXStyle::SetHorizontalAlignment(unsigned dt) {
    hAlign_ = (dt & fw::DT_CENTER) ? 1 : (dt & fw::DT_RIGHT) ? 2 : 0;
    return Incl(GX_HORZALIGN, true);
}

unsigned CGXStyle::GetHorizontalAlignment() const {
    return hAlign_ == 1 ? fw::DT_CENTER : hAlign_ == 2 ? fw::DT_RIGHT : fw::DT_LEFT;
}

CGXStyle& CGXStyle::SetVerticalAlignment(unsigned dt) {
    vAlign_ = (dt & fw::DT_VCENTER) ? 1 : (dt & fw::DT_BOTTOM) ? 2 : 0;
    return Incl(GX_VERTALIGN, true);
}

unsigned CGXStyle::GetVerticalAlignment() const {
    return vAlign_ == 1 ? fw::DT_VCENTER : vAlign_ == 2 ? fw::DT_BOTTOM : fw::DT_TOP;
}

CGXStyle& CGXStyle::SetControl(std::uint16_t id) {
    controlId_ = id;
    return Incl(GX_CONTROL, true);
}

CGXStyle& CGXStyle::SetInterior(const CGXBrush& brush) {
    interior_ = brush;
    return Incl(GX_INTERIOR, true);
}

CGXStyle& CGXStyle::SetInterior(COLORREF color) {
    interior_.SetStyle(fw::BS_SOLID);
    interior_.SetColor(color);
    return Incl(GX_INTERIOR, true);
}

CGXStyle& CGXStyle::SetTextColor(COLORREF color) {
    textColor_ = GXStoredColor::FromWord(color);
    return Incl(GX_TEXTCOLOR, true);
}

std::array<CGXPen, 4>& CGXStyle::BorderArray() {
    if (!borders_)
        borders_ = std::make_unique<std::array<CGXPen, 4>>();
    return *borders_;
}

void CGXStyle::UpdateBordersBit() {
    bool any = false;
    if (borders_)
        for (const CGXPen& p : *borders_) any = any || p.GetInclude();
    Incl(GX_BORDERS, any);
}

CGXStyle& CGXStyle::SetBorders(int side, const CGXPen& pen) {
    auto& b = BorderArray();
    if (side == gxBorderAll)
        b.fill(pen);
    else if (side >= 0 && side < 4)
        b[static_cast<std::size_t>(side)] = pen;
    UpdateBordersBit();
    return *this;
}

CGXStyle& CGXStyle::SetBorderPens(const CGXPen* pens) {
    if (!pens) {
        borders_.reset();
        return Incl(GX_BORDERS, false);
    }
    auto& b = BorderArray();
    for (std::size_t i = 0; i < 4; ++i) b[i] = pens[i];
    UpdateBordersBit();
    return *this;
}

CGXStyle& CGXStyle::SetIncludeBorders(int side, bool include) {
    auto& b = BorderArray();
    for (int s = 0; s < 4; ++s)
        if (side == gxBorderAll || side == s)
            b[static_cast<std::size_t>(s)].SetInclude(include);
    UpdateBordersBit();
    return *this;
}

bool CGXStyle::HasBorder(int side) const {
    if (!IsIncluded(GX_BORDERS) || !borders_ || side < 0 || side > 3)
        return false;
    return (*borders_)[static_cast<std::size_t>(side)].GetInclude();
}

const CGXPen& CGXStyle::GetBorders(int side) const {
    if (!borders_ || side < 0 || side > 3)
        return UnsetPen();
    return (*borders_)[static_cast<std::size_t>(side)];
}

CGXStyle& CGXStyle::SetFont(const CGXFont& font, GXModifyType type) {
    if (type == gxExclude) {
        if (font_ && IsIncluded(GX_FONT))
            font_->ChangeFont(font, gxExclude);
        return *this;
    }
    if (type != gxCopy && font_ && IsIncluded(GX_FONT))
        font_->ChangeFont(font, type);
    else
        font_ = std::make_unique<CGXFont>(font);
    return Incl(GX_FONT, true);
}

CGXStyle& CGXStyle::SetIncludeFont(bool include) {
    if (include && !font_)
        font_ = std::make_unique<CGXFont>();
    return Incl(GX_FONT, include);
}

const CGXFont& CGXStyle::GetFont() const {
    static const CGXFont empty;
    return font_ ? *font_ : empty;
}

CGXStyle& CGXStyle::SetValue(const char* text) {
    value_ = text ? text : "";
    valueType_ = GX_VT_STRING;
    return Incl(GX_VALUE, true);
}

CGXStyle& CGXStyle::SetValue(const std::string& text) {
    return SetValue(text.c_str());
}

CGXStyle& CGXStyle::SetValue(std::string_view text) {
    return SetValue(std::string(text).c_str());
}

CGXStyle& CGXStyle::SetValue(std::uint32_t value) {
    value_ = std::to_string(value);
    valueType_ = GX_VT_NUMBER;
    return Incl(GX_VALUE, true);
}

CGXStyle& CGXStyle::SetValue(std::uint16_t value) {
    return SetValue(static_cast<std::uint32_t>(value));
}

CGXStyle& CGXStyle::SetValue(std::int32_t value) {
    value_ = std::to_string(value);
    valueType_ = GX_VT_NUMBER;
    return Incl(GX_VALUE, true);
}

CGXStyle& CGXStyle::SetValueType(unsigned type) {
    valueType_ = static_cast<std::uint8_t>(type & 7u);
    return *this;
}

CGXStyle& CGXStyle::SetIncludeValue(bool include) {
    if (!include)
        value_.clear();
    return Incl(GX_VALUE, include);
}

CGXStyle& CGXStyle::SetChoiceList(std::string_view text) {
    choiceList_ = std::string(text);
    return Incl(GX_CHOICELIST, true);
}

CGXStyle& CGXStyle::SetMaxLength(std::uint16_t n) {
    maxLength_ = n;
    return Incl(GX_MAXLENGTH, true);
}

CGXStyle& CGXStyle::SetBaseStyle(std::uint16_t id) {
    baseStyle_ = static_cast<std::uint16_t>(id & 0xFFu);
    return Incl(GX_BASESTYLE, true);
}

CGXStyle& CGXStyle::SetDraw3dFrame(unsigned code) {
    draw3d_ = static_cast<std::uint8_t>(code & 3u);
    return Incl(GX_DRAW3DFRAME, true);
}

CGXStyle& CGXStyle::SetItemDataPtr(void* p) {
    itemData_ = p;
    return Incl(GX_ITEMDATA, true);
}

CGXStyle& CGXStyle::SetMergeCell(unsigned mode) {
    mergeCell_ = static_cast<std::uint8_t>(mode & 7u);
    return Incl(GX_MERGECELL, true);
}

CGXStyle& CGXStyle::SetFormat(unsigned format) {
    format_ = static_cast<std::uint8_t>(format & 31u);
    return Incl(GX_FORMAT, true);
}

CGXStyle& CGXStyle::SetPlaces(unsigned places) {
    places_ = static_cast<std::uint8_t>(places & 15u);
    return Incl(GX_PLACES, true);
}

CGXStyle& CGXStyle::SetUserAttribute(std::uint16_t id, std::string_view text) {
    return SetUserAttributePtr(id, std::make_unique<CGXUserAttribute>(text));
}

CGXStyle& CGXStyle::SetUserAttribute(std::uint16_t id, std::int32_t value) {
    return SetUserAttributePtr(id, std::make_unique<CGXUserAttribute>(value));
}

CGXStyle& CGXStyle::SetUserAttributePtr(std::uint16_t id,
                                        std::unique_ptr<CGXAbstractUserAttribute> attribute) {
    if (!userAttributes_)
        userAttributes_ = std::make_unique<CGXUserAttributeMap>();
    userAttributes_->SetAttributePtr(id, std::move(attribute));
    return Incl(GX_USERATTRIBUTES, true);
}

CGXStyle& CGXStyle::SetUserAttributes(const CGXUserAttributeMap* map) {
    if (!map || map->IsEmpty()) {
        userAttributes_.reset();
        return Incl(GX_USERATTRIBUTES, false);
    }
    if (map != userAttributes_.get())
        userAttributes_ = std::make_unique<CGXUserAttributeMap>(*map);
    return Incl(GX_USERATTRIBUTES, true);
}

const CGXAbstractUserAttribute& CGXStyle::GetUserAttribute(std::uint16_t id) const {
    static const CGXAbstractUserAttribute empty;
    if (IsIncluded(GX_USERATTRIBUTES) && userAttributes_)
        if (const CGXAbstractUserAttribute* a = userAttributes_->GetAttribute(id))
            return *a;
    return empty;
}

bool CGXStyle::GetIncludeUserAttribute(std::uint16_t id) const {
    return IsIncluded(GX_USERATTRIBUTES) && userAttributes_ && userAttributes_->FindIndex(id) >= 0;
}

// --- defaults ----------------------------------------------------------------------------------

CGXStyle& CGXStyle::SetDefault() {
    Free();
    SetHorizontalAlignment(fw::DT_LEFT);
    SetVerticalAlignment(fw::DT_TOP);
    SetReadOnly(false);
    SetControl(GX_IDS_CTRL_EDIT);
    SetInterior(CGXBrush(fw::BS_SOLID, GXSysColorWord(fw::COLOR_WINDOW), 0));
    SetTextColor(GXSysColorWord(fw::COLOR_WINDOWTEXT));
    SetWrapText(true);
    SetAllowEnter(false);
    SetFont(CGXFont().SetDefault(), gxCopy);
    SetValue("");
    SetChoiceList("");
    SetVerticalScrollbar(false);
    SetMaxLength(0);
    SetEnabled(true);
    SetTriState(false);
    SetDraw3dFrame(0);
    SetAutoSize(false);
    SetItemDataPtr(nullptr);
    SetFloatCell(true);
    SetFloodCell(true);
    SetMergeCell(0);
    SetFormat(0);
    SetPlaces(13);
    return *this;
}
