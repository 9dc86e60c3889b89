// A cell style: a sparse record of 26 attributes, each either included or not. A cell's
// effective style is composed by merging its own style with its row, column and base styles
// (ChangeStyle). The include mask is exchanged (GetIncludeMask, SetIncludeMask, archives) with
// these bits:
//   0 horizontal alignment  1 vertical alignment  2 read-only  3 control id  4 interior
//   5 text colour  6 wrap text  7 allow enter  8 borders  9 font  10 value  11 choice list
//   12 vertical scroll bar  13 maximum length  14 base style  15 enabled  16 tri-state
//   17 3-D frame  18 user attributes  19 auto size  20 item data  21 float cell
//   22 flood cell  23 merge cell  24 number format  25 decimal places
#pragma once

#include "framework/persist/RuntimeClass.h"
#include "grid/core/CGXBrush.h"
#include "grid/core/CGXFont.h"
#include "grid/core/CGXUserAttributeMap.h"
#include "grid/core/GXTypes.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

class CGXStylesMap;

// Include bits in the exchange form of the mask.
enum GXStyleBit : unsigned {
    GX_HORZALIGN = 0,
    GX_VERTALIGN = 1,
    GX_READONLY = 2,
    GX_CONTROL = 3,
    GX_INTERIOR = 4,
    GX_TEXTCOLOR = 5,
    GX_WRAPTEXT = 6,
    GX_ALLOWENTER = 7,
    GX_BORDERS = 8,
    GX_FONT = 9,
    GX_VALUE = 10,
    GX_CHOICELIST = 11,
    GX_VERTSCROLL = 12,
    GX_MAXLENGTH = 13,
    GX_BASESTYLE = 14,
    GX_ENABLED = 15,
    GX_TRISTATE = 16,
    GX_DRAW3DFRAME = 17,
    GX_USERATTRIBUTES = 18,
    GX_AUTOSIZE = 19,
    GX_ITEMDATA = 20,
    GX_FLOATCELL = 21,
    GX_FLOODCELL = 22,
    GX_MERGECELL = 23,
    GX_FORMAT = 24,
    GX_PLACES = 25,
};
inline constexpr int GX_STYLE_ATTRIBUTES = 26;

// Border sides (the index of a side's pen).
enum GXBorderType : int {
    gxBorderLeft = 0,
    gxBorderRight = 1,
    gxBorderTop = 2,
    gxBorderBottom = 3,
    gxBorderAll = -1,
};

// Value types of the value attribute; other codes are set by the formula engine and carried.
inline constexpr unsigned GX_VT_STRING = 0;
inline constexpr unsigned GX_VT_NUMBER = 1;

// Cell-control ids of the library's string table.
inline constexpr unsigned GX_IDS_CTRL_EDIT = 52512;
inline constexpr unsigned GX_IDS_CTRL_HEADER = 52520;

class CGXStyle : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    CGXStyle() = default;
    CGXStyle(const CGXStyle& other);
    // A grid holds a style per stored cell: they come from a pool of equal blocks.
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;
    CGXStyle& operator=(const CGXStyle& other);
    ~CGXStyle() override;

    // --- the operations other classes override ----------------------------------------
    // Serialize(ar) is Serialize(ar, no styles map); both go through the style-serialisation
    // component and do nothing without it.
    void Serialize(fw::Archive& ar) override;
    virtual std::unique_ptr<CGXStyle> Clone() const;
    virtual CGXStyle& SetValue(const char* text);
    virtual CGXStyle& SetDefault();
    // TRUE when every attribute included in `other` is included here with the same value
    // (through the style-compare component; FALSE without it).
    virtual bool IsSubSet(const CGXStyle& other) const;
    virtual void Serialize(fw::Archive& ar, const CGXStylesMap* map);
    virtual void WriteProfile(std::string_view section, std::string_view entry) const;
    virtual bool ReadProfile(std::string_view section, std::string_view entry);
    // Applies the base styles (each with apply-new), following the chain of base-style ids; a
    // chain that comes back to an id already applied stops there.
    virtual void LoadBaseStyle(const CGXStylesMap& map);
    virtual CGXStyle& ChangeStyle(const CGXStyle& source, GXModifyType type);
    virtual void Free();

    // --- include mask --------------------------------------------------------------------
    std::uint32_t GetIncludeMask() const { return include_; }
    CGXStyle& SetIncludeMask(std::uint32_t mask);
    bool IsIncluded(GXStyleBit bit) const { return (include_ >> bit) & 1u; }
    bool IsEmpty() const { return include_ == 0; }

    // --- attributes ------------------------------------------------------------------------
    // Alignment from DrawText flags (DT_CENTER 1, DT_RIGHT 2; DT_VCENTER 4, DT_BOTTOM 8) and
    // read back as those flags.
    CGXStyle& SetHorizontalAlignment(unsigned dtFlags);
    CGXStyle& SetIncludeHorizontalAlignment(bool include) { return Incl(GX_HORZALIGN, include); }
    bool GetIncludeHorizontalAlignment() const { return IsIncluded(GX_HORZALIGN); }
    unsigned GetHorizontalAlignment() const;
    CGXStyle& SetVerticalAlignment(unsigned dtFlags);
    CGXStyle& SetIncludeVerticalAlignment(bool include) { return Incl(GX_VERTALIGN, include); }
    bool GetIncludeVerticalAlignment() const { return IsIncluded(GX_VERTALIGN); }
    unsigned GetVerticalAlignment() const;

    CGXStyle& SetReadOnly(bool b) { return SetFlag(readOnly_, GX_READONLY, b); }
    CGXStyle& SetIncludeReadOnly(bool include) { return Incl(GX_READONLY, include); }
    bool GetIncludeReadOnly() const { return IsIncluded(GX_READONLY); }
    bool GetReadOnly() const { return readOnly_; }

    CGXStyle& SetControl(std::uint16_t id);
    CGXStyle& SetIncludeControl(bool include) { return Incl(GX_CONTROL, include); }
    bool GetIncludeControl() const { return IsIncluded(GX_CONTROL); }
    std::uint16_t GetControl() const { return controlId_; }

    CGXStyle& SetInterior(const CGXBrush& brush);
    // A solid brush of that colour.
    CGXStyle& SetInterior(COLORREF color);
    CGXStyle& SetIncludeInterior(bool include) { return Incl(GX_INTERIOR, include); }
    bool GetIncludeInterior() const { return IsIncluded(GX_INTERIOR); }
    const CGXBrush& GetInterior() const { return interior_; }

    CGXStyle& SetTextColor(COLORREF color);
    CGXStyle& SetIncludeTextColor(bool include) { return Incl(GX_TEXTCOLOR, include); }
    bool GetIncludeTextColor() const { return IsIncluded(GX_TEXTCOLOR); }
    // The colour to draw with (system colours resolved).
    COLORREF GetTextColor() const { return textColor_.Resolve(); }
    // The colour word read back: a system colour keeps its meaning (top byte 254 - index).
    COLORREF GetTextColorRaw() const { return textColor_.Word(); }

    CGXStyle& SetWrapText(bool b) { return SetFlag(wrapText_, GX_WRAPTEXT, b); }
    CGXStyle& SetIncludeWrapText(bool include) { return Incl(GX_WRAPTEXT, include); }
    bool GetIncludeWrapText() const { return IsIncluded(GX_WRAPTEXT); }
    bool GetWrapText() const { return wrapText_; }

    CGXStyle& SetAllowEnter(bool b) { return SetFlag(allowEnter_, GX_ALLOWENTER, b); }
    CGXStyle& SetIncludeAllowEnter(bool include) { return Incl(GX_ALLOWENTER, include); }
    bool GetIncludeAllowEnter() const { return IsIncluded(GX_ALLOWENTER); }
    bool GetAllowEnter() const { return allowEnter_; }

    // Borders: side 0 left, 1 right, 2 top, 3 bottom, or -1 for all four. A side is excluded by
    // giving it style 7 (not set); the borders bit stays set while any side is set.
    CGXStyle& SetBorders(int side, const CGXPen& pen);
    CGXStyle& SetBorderPens(const CGXPen* pens);  // four pens, or null to remove the borders
    CGXStyle& SetIncludeBorders(int side, bool include);
    CGXStyle& SetIncludeBorders(bool include) { return SetIncludeBorders(gxBorderAll, include); }
    bool GetIncludeBorders() const { return IsIncluded(GX_BORDERS); }
    bool GetIncludeBorders(int side) const { return HasBorder(side); }
    bool HasBorder(int side) const;
    // The pen of a side (a pen that is not set when the style has no borders).
    const CGXPen& GetBorders(int side) const;

    // Type copy stores a copy; exclude only removes from an included font; other types merge.
    CGXStyle& SetFont(const CGXFont& font, GXModifyType type = gxOverride);
    CGXStyle& SetIncludeFont(bool include);
    bool GetIncludeFont() const { return IsIncluded(GX_FONT); }
    // The font (an empty font when the style has none).
    const CGXFont& GetFont() const;
    CGXFont* GetFontPtr() { return font_.get(); }

    // Value texts: strings with value type text; numbers ("%lu", "%u", "%ld") with type number.
    CGXStyle& SetValue(const std::string& text);
    CGXStyle& SetValue(std::string_view text);
    CGXStyle& SetValue(std::uint32_t value);
    CGXStyle& SetValue(std::uint16_t value);
    CGXStyle& SetValue(std::int32_t value);
    CGXStyle& SetValueType(unsigned type);  // 3 bits
    // FALSE also empties the value text.
    CGXStyle& SetIncludeValue(bool include);
    bool GetIncludeValue() const { return IsIncluded(GX_VALUE); }
    const std::string& GetValue() const { return value_; }
    unsigned GetValueType() const { return valueType_; }

    CGXStyle& SetChoiceList(std::string_view text);
    CGXStyle& SetIncludeChoiceList(bool include) { return Incl(GX_CHOICELIST, include); }
    bool GetIncludeChoiceList() const { return IsIncluded(GX_CHOICELIST); }
    const std::string& GetChoiceList() const { return choiceList_; }

    CGXStyle& SetVerticalScrollbar(bool b) { return SetFlag(vertScroll_, GX_VERTSCROLL, b); }
    CGXStyle& SetIncludeVerticalScrollbar(bool include) { return Incl(GX_VERTSCROLL, include); }
    bool GetIncludeVerticalScrollbar() const { return IsIncluded(GX_VERTSCROLL); }
    bool GetVerticalScrollbar() const { return vertScroll_; }

    CGXStyle& SetMaxLength(std::uint16_t n);
    CGXStyle& SetIncludeMaxLength(bool include) { return Incl(GX_MAXLENGTH, include); }
    bool GetIncludeMaxLength() const { return IsIncluded(GX_MAXLENGTH); }
    std::uint16_t GetMaxLength() const { return maxLength_; }

    CGXStyle& SetBaseStyle(std::uint16_t id);  // 8-bit base-style id
    CGXStyle& SetIncludeBaseStyle(bool include) { return Incl(GX_BASESTYLE, include); }
    bool GetIncludeBaseStyle() const { return IsIncluded(GX_BASESTYLE); }
    std::uint16_t GetBaseStyle() const { return baseStyle_; }

    CGXStyle& SetEnabled(bool b) { return SetFlag(enabled_, GX_ENABLED, b); }
    CGXStyle& SetIncludeEnabled(bool include) { return Incl(GX_ENABLED, include); }
    bool GetIncludeEnabled() const { return IsIncluded(GX_ENABLED); }
    bool GetEnabled() const { return enabled_; }

    CGXStyle& SetTriState(bool b) { return SetFlag(triState_, GX_TRISTATE, b); }
    CGXStyle& SetIncludeTriState(bool include) { return Incl(GX_TRISTATE, include); }
    bool GetIncludeTriState() const { return IsIncluded(GX_TRISTATE); }
    bool GetTriState() const { return triState_; }

    CGXStyle& SetDraw3dFrame(unsigned code);  // 2 bits
    CGXStyle& SetIncludeDraw3dFrame(bool include) { return Incl(GX_DRAW3DFRAME, include); }
    bool GetIncludeDraw3dFrame() const { return IsIncluded(GX_DRAW3DFRAME); }
    unsigned GetDraw3dFrame() const { return draw3d_; }

    CGXStyle& SetAutoSize(bool b) { return SetFlag(autoSize_, GX_AUTOSIZE, b); }
    CGXStyle& SetIncludeAutoSize(bool include) { return Incl(GX_AUTOSIZE, include); }
    bool GetIncludeAutoSize() const { return IsIncluded(GX_AUTOSIZE); }
    bool GetAutoSize() const { return autoSize_; }

    // An opaque pointer kept with the cell (not owned).
    CGXStyle& SetItemDataPtr(void* p);
    CGXStyle& SetIncludeItemDataPtr(bool include) { return Incl(GX_ITEMDATA, include); }
    bool GetIncludeItemDataPtr() const { return IsIncluded(GX_ITEMDATA); }
    void* GetItemDataPtr() const { return itemData_; }

    CGXStyle& SetFloatCell(bool b) { return SetFlag(floatCell_, GX_FLOATCELL, b); }
    CGXStyle& SetIncludeFloatCell(bool include) { return Incl(GX_FLOATCELL, include); }
    bool GetIncludeFloatCell() const { return IsIncluded(GX_FLOATCELL); }
    bool GetFloatCell() const { return floatCell_; }

    CGXStyle& SetFloodCell(bool b) { return SetFlag(floodCell_, GX_FLOODCELL, b); }
    CGXStyle& SetIncludeFloodCell(bool include) { return Incl(GX_FLOODCELL, include); }
    bool GetIncludeFloodCell() const { return IsIncluded(GX_FLOODCELL); }
    bool GetFloodCell() const { return floodCell_; }

    CGXStyle& SetMergeCell(unsigned mode);  // 0..7
    CGXStyle& SetIncludeMergeCell(bool include) { return Incl(GX_MERGECELL, include); }
    bool GetIncludeMergeCell() const { return IsIncluded(GX_MERGECELL); }
    unsigned GetMergeCell() const { return mergeCell_; }

    CGXStyle& SetFormat(unsigned format);  // 0..31
    CGXStyle& SetIncludeFormat(bool include) { return Incl(GX_FORMAT, include); }
    bool GetIncludeFormat() const { return IsIncluded(GX_FORMAT); }
    unsigned GetFormat() const { return format_; }

    CGXStyle& SetPlaces(unsigned places);  // 0..15
    CGXStyle& SetIncludePlaces(bool include) { return Incl(GX_PLACES, include); }
    bool GetIncludePlaces() const { return IsIncluded(GX_PLACES); }
    unsigned GetPlaces() const { return places_; }

    // User attributes by 16-bit id.
    CGXStyle& SetUserAttribute(std::uint16_t id, std::string_view text);
    CGXStyle& SetUserAttribute(std::uint16_t id, std::int32_t value);
    CGXStyle& SetUserAttributePtr(std::uint16_t id,
                                  std::unique_ptr<CGXAbstractUserAttribute> attribute);
    // A copy of the map, or removal when null or empty.
    CGXStyle& SetUserAttributes(const CGXUserAttributeMap* map);
    CGXStyle& SetIncludeUserAttributes(bool include) { return Incl(GX_USERATTRIBUTES, include); }
    bool GetIncludeUserAttributes() const { return IsIncluded(GX_USERATTRIBUTES); }
    // The stored attribute, or a shared empty attribute when the style has none under the id.
    const CGXAbstractUserAttribute& GetUserAttribute(std::uint16_t id) const;
    bool GetIncludeUserAttribute(std::uint16_t id) const;
    const CGXUserAttributeMap* GetUserAttributeMap() const { return userAttributes_.get(); }

private:
    CGXStyle& Incl(GXStyleBit bit, bool include);
    CGXStyle& SetFlag(bool& field, GXStyleBit bit, bool value) {
        field = value;
        return Incl(bit, true);
    }
    void Exclude(const CGXStyle& source);
    void Merge(const CGXStyle& source, GXModifyType type);
    void MergeBorders(const CGXStyle& source, bool override);
    void ExcludeBorders(const CGXStyle& source);
    std::array<CGXPen, 4>& BorderArray();
    void UpdateBordersBit();

    std::uint32_t include_ = 0;
    std::uint8_t hAlign_ = 0;  // 0 left, 1 centre, 2 right
    std::uint8_t vAlign_ = 0;  // 0 top, 1 centre, 2 bottom
    bool readOnly_ = false;
    std::uint16_t controlId_ = 0;
    CGXBrush interior_;
    GXStoredColor textColor_;
    bool wrapText_ = false;
    bool allowEnter_ = false;
    std::unique_ptr<std::array<CGXPen, 4>> borders_;
    std::unique_ptr<CGXFont> font_;
    std::string value_;
    std::uint8_t valueType_ = 0;
    std::string choiceList_;
    bool vertScroll_ = false;
    std::uint16_t maxLength_ = 0;
    std::uint16_t baseStyle_ = 0;
    bool enabled_ = false;
    bool triState_ = false;
    std::uint8_t draw3d_ = 0;
    std::unique_ptr<CGXUserAttributeMap> userAttributes_;
    bool autoSize_ = false;
    void* itemData_ = nullptr;
    bool floatCell_ = false;
    bool floodCell_ = false;
    std::uint8_t mergeCell_ = 0;
    std::uint8_t format_ = 0;
    std::uint8_t places_ = 0;
};

// The attribute keywords under which profiles store style attributes, in their table order.
extern const std::array<const char*, 28> GXStyleKeywords;
