#include "grid/features/CGXStyleSerializeImp.h"

#include "framework/persist/Archive.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXFontFaceTable.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/GXArchiveValues.h"
#include "grid/features/GXPenText.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr std::uint16_t kStyleSchema = 6;
constexpr std::uint16_t kFontSchema = 2;

using gxarchive::Byte;
using gxarchive::DWord;
using gxarchive::PutBool;
using gxarchive::Word;

const CGXStylesMap* MapOf(fw::Archive& ar, const CGXStylesMap* map) {
    return map ? map : dynamic_cast<const CGXStylesMap*>(ar.GetContext());
}

void StoreBorders(const CGXStyle& s, fw::Archive& ar) {
    if (!s.GetIncludeBorders()) {
        ar << std::uint16_t{0};
        return;
    }
    ar << std::uint16_t{1};
    for (int side : {gxBorderTop, gxBorderLeft, gxBorderBottom, gxBorderRight}) {
        if (!s.HasBorder(side)) {
            ar << std::uint16_t{0};
            continue;
        }
        ar << std::uint16_t{1} << GXPenDescription(s.GetBorders(side));
    }
}

void LoadBorders(CGXStyle& s, fw::Archive& ar) {
    if (Word(ar) == 0)
        return;
    for (int side : {gxBorderTop, gxBorderLeft, gxBorderBottom, gxBorderRight}) {
        if (Word(ar) == 0)
            continue;
        s.SetBorders(side, GXPenFromDescription(ar.ReadString()));
    }
}

void StoreBaseStyle(const CGXStyle& s, fw::Archive& ar, const CGXStylesMap* map) {
    unsigned resourceId = 0;
    std::optional<std::string> name;
    if (map)
        name = map->GetStyleName(s.GetBaseStyle(), resourceId);
    ar << static_cast<std::uint32_t>(resourceId);
    if (resourceId == 0)
        ar << name.value_or(std::string());
}

void LoadBaseStyle(CGXStyle& s, fw::Archive& ar, const CGXStylesMap* map) {
    const std::uint32_t resourceId = DWord(ar);
    std::string name;
    if (resourceId == 0)
        name = ar.ReadString();
    if (!map || (resourceId == 0 && name.empty()))
        return;  // nothing to map the base style to: it is dropped
    s.SetBaseStyle(resourceId ? map->GetStyleIdFromResource(resourceId)
                              : map->GetStyleIdFromName(name));
}

}  // namespace

// --- font ------------------------------------------------------------------------------------

void CGXStyleSerializeImp::SerializeFont(CGXFont& font, fw::Archive& ar) {
    if (ar.IsStoring()) {
        std::uint32_t mask = 0;
        mask |= font.GetIncludeItalic() ? 0x1 : 0;
        mask |= font.GetIncludeUnderline() ? 0x2 : 0;
        mask |= font.GetIncludeStrikeOut() ? 0x4 : 0;
        mask |= font.GetItalic() ? 0x8 : 0;
        mask |= font.GetUnderline() ? 0x10 : 0;
        mask |= font.GetStrikeOut() ? 0x20 : 0;
        mask |= font.GetIncludeWeight() ? 0x40 : 0;
        mask |= font.GetIncludeSize() ? 0x80 : 0;
        mask |= font.GetIncludeOrientation() ? 0x100 : 0;
        mask |= font.GetIncludeFaceName() ? 0x200 : 0;
        ar << kFontSchema << mask;
        if (font.GetIncludeWeight())
            ar << static_cast<std::uint16_t>(font.GetWeight());
        if (font.GetIncludeSize())
            ar << static_cast<std::uint16_t>(font.GetSize() * 10);
        if (font.GetIncludeOrientation())
            ar << static_cast<std::uint16_t>(font.GetOrientation());
        if (font.GetIncludeFaceName()) {
            const GXFaceEntry* e = CGXFontFaceTable::Instance().GetFace(font.GetFaceIndex());
            ar << (e ? e->name : std::string()) << static_cast<std::uint8_t>(e ? e->charSet : 1)
               << static_cast<std::uint8_t>(e ? e->pitchAndFamily : 0);
        }
        return;
    }
    const std::uint16_t schema = Word(ar);
    if (schema > kFontSchema)
        throw fw::ArchiveException(fw::ArchiveCause::BadSchema, "font");
    if (schema < 2) {
        LoadFontSchema1(font, ar);
        return;
    }
    const std::uint32_t mask = DWord(ar);
    font.Reset();
    if (mask & 0x1)
        font.SetItalic(mask & 0x8);
    if (mask & 0x2)
        font.SetUnderline(mask & 0x10);
    if (mask & 0x4)
        font.SetStrikeOut(mask & 0x20);
    if (mask & 0x40)
        font.SetWeight(Word(ar));
    if (mask & 0x80)
        // The font keeps quarter points and the record truncated tenths (8.25 is 82): the
        // nearest quarter gives back the size that was stored, where truncating again would
        // lose a quarter on every round trip.
        font.SetSize(std::round(Word(ar) / 10.0 * 4) / 4);
    if (mask & 0x100)
        font.SetOrientation(Word(ar));
    if (mask & 0x200) {
        const std::string face = ar.ReadString();
        const std::uint8_t charSet = Byte(ar);
        const std::uint8_t pitch = Byte(ar);
        font.SetFaceIndex(CGXFontFaceTable::Instance().FindOrAddFace(face, pitch, charSet));
    }
}

void CGXStyleSerializeImp::LoadFontSchema1(CGXFont& font, fw::Archive& ar) {
    fw::LogFont lf;
    lf.height = static_cast<std::int32_t>(DWord(ar));
    lf.weight = static_cast<std::int32_t>(DWord(ar));
    lf.italic = Byte(ar) != 0;
    lf.underline = Byte(ar) != 0;
    lf.pitchAndFamily = Byte(ar);
    std::string face = ar.ReadString();
    if (face.size() > 32)
        face.resize(32);
    lf.faceName = face;
    font.Reset();
    font.SetLogFont(lf);
    const std::uint32_t mask = DWord(ar);
    if (!(mask & 0x1))
        font.SetIncludeWeight(false);
    if (!(mask & 0x2))
        font.SetIncludeItalic(false);
    if (!(mask & 0x4))
        font.SetIncludeUnderline(false);
    if (!(mask & 0x8))
        font.SetIncludeStrikeOut(false);
    if (!(mask & 0x10))
        font.SetIncludeSize(false);
    if (!(mask & 0x20))
        font.SetIncludeFaceName(false);
    font.SetOrientation((mask & 0x40) ? static_cast<int>(DWord(ar)) : 0);
}

// --- brush and pen -------------------------------------------------------------------------

void CGXStyleSerializeImp::SerializeBrush(CGXBrush& brush, fw::Archive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<std::uint32_t>(brush.GetStyle()) << brush.GetColor()
           << static_cast<std::uint32_t>(brush.GetHatch())
           << static_cast<std::uint32_t>(brush.GetPattern()) << brush.GetBkColor();
        return;
    }
    const std::uint32_t style = DWord(ar);
    const std::uint32_t color = DWord(ar);
    const std::uint32_t hatch = DWord(ar);
    const std::uint32_t pattern = DWord(ar);
    const std::uint32_t bk = DWord(ar);
    brush = CGXBrush();
    brush.SetStyle(static_cast<int>(style & 3)).SetColor(color).SetHatch(static_cast<int>(hatch));
    brush.SetPattern(static_cast<int>(pattern & 0x3F)).SetBkColor(bk);
    if (brush.GetStyle() == fw::BS_PATTERN &&
        brush.GetPattern() >= CGXDrawingAndFormatting::GetInstance().GetPatternCount())
        brush.SetStyle(fw::BS_HOLLOW);
}

void CGXStyleSerializeImp::SerializePen(CGXPen& pen, fw::Archive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<std::uint32_t>(pen.GetStyle())
           << static_cast<std::uint16_t>(pen.GetWidth())
           << static_cast<std::uint16_t>(pen.GetInclude() ? 1 : 0) << pen.GetColor();
        return;
    }
    const std::uint32_t style = DWord(ar);
    const std::uint16_t width = Word(ar);
    const std::uint16_t present = Word(ar);
    const std::uint32_t color = DWord(ar);
    pen = CGXPen(static_cast<int>(style & 7), width, color);
    if (!present)
        pen.SetInclude(false);
}

// --- style -----------------------------------------------------------------------------------

void CGXStyleSerializeImp::SerializeStyle(CGXStyle& style, fw::Archive& ar,
                                          const CGXStylesMap* map) {
    if (ar.IsStoring())
        StoreStyle(style, ar, MapOf(ar, map));
    else
        LoadStyle(style, ar, MapOf(ar, map));
}

void CGXStyleSerializeImp::StoreStyle(CGXStyle& s, fw::Archive& ar, const CGXStylesMap* map) {
    ar << kStyleSchema << s.GetIncludeMask();
    if (s.GetIncludeHorizontalAlignment())
        ar << static_cast<std::uint32_t>(s.GetHorizontalAlignment());
    if (s.GetIncludeVerticalAlignment())
        ar << static_cast<std::uint32_t>(s.GetVerticalAlignment());
    if (s.GetIncludeReadOnly())
        PutBool(ar, s.GetReadOnly());
    if (s.GetIncludeControl())
        ar << static_cast<std::uint32_t>(s.GetControl());
    if (s.GetIncludeInterior()) {
        CGXBrush b = s.GetInterior();
        SerializeBrush(b, ar);
    }
    if (s.GetIncludeTextColor()) {
        // A system colour is written as the colour it has now.
        const COLORREF raw = s.GetTextColorRaw();
        ar << (GXIsSysColorWord(raw) ? (raw & 0xFFFFFFu) : raw);
    }
    if (s.GetIncludeWrapText())
        PutBool(ar, s.GetWrapText());
    if (s.GetIncludeAllowEnter())
        PutBool(ar, s.GetAllowEnter());
    if (s.GetIncludeFont())
        ar.WriteObject(s.GetFontPtr());
    if (s.GetIncludeValue())
        ar << s.GetValue();
    if (s.GetIncludeChoiceList())
        ar << s.GetChoiceList();
    if (s.GetIncludeVerticalScrollbar())
        PutBool(ar, s.GetVerticalScrollbar());
    if (s.GetIncludeMaxLength())
        ar << s.GetMaxLength();
    if (s.GetIncludeEnabled())
        PutBool(ar, s.GetEnabled());
    if (s.GetIncludeTriState())
        PutBool(ar, s.GetTriState());
    if (s.GetIncludeDraw3dFrame())
        ar << static_cast<std::uint8_t>(s.GetDraw3dFrame());
    if (s.GetIncludeAutoSize())
        PutBool(ar, s.GetAutoSize());
    StoreBorders(s, ar);
    if (s.GetIncludeBaseStyle())
        StoreBaseStyle(s, ar, map);
    ar.WriteObject(s.GetIncludeUserAttributes() ? s.GetUserAttributeMap() : nullptr);
    if (s.GetIncludeFloatCell())
        PutBool(ar, s.GetFloatCell());
    if (s.GetIncludeFloodCell())
        PutBool(ar, s.GetFloodCell());
    if (s.GetIncludeMergeCell())
        ar << static_cast<std::uint8_t>(s.GetMergeCell());
    if (s.GetIncludeItemDataPtr())  // an opaque number to the archive
        ar << static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(s.GetItemDataPtr()));
    if (s.GetIncludeFormat())
        ar << static_cast<std::uint8_t>(s.GetFormat());
    if (s.GetIncludePlaces())
        ar << static_cast<std::uint8_t>(s.GetPlaces());
    if (s.GetIncludeValue())
        ar << static_cast<std::uint8_t>(s.GetValueType());
}

void CGXStyleSerializeImp::LoadStyle(CGXStyle& s, fw::Archive& ar, const CGXStylesMap* map) {
    const std::uint16_t schema = Word(ar);
    if (schema > kStyleSchema)
        throw fw::ArchiveException(fw::ArchiveCause::BadSchema, "style");
    std::uint32_t mask = DWord(ar);
    s.Free();
    auto has = [&](GXStyleBit b) { return (mask >> b) & 1u; };
    if (has(GX_HORZALIGN))
        s.SetHorizontalAlignment(DWord(ar));
    if (has(GX_VERTALIGN))
        s.SetVerticalAlignment(DWord(ar));
    if (has(GX_READONLY))
        s.SetReadOnly(Byte(ar));
    if (has(GX_CONTROL))
        s.SetControl(static_cast<std::uint16_t>(DWord(ar)));
    if (has(GX_INTERIOR)) {
        CGXBrush b;
        SerializeBrush(b, ar);
        s.SetInterior(b);
    }
    if (has(GX_TEXTCOLOR))
        s.SetTextColor(DWord(ar));
    if (has(GX_WRAPTEXT))
        s.SetWrapText(Byte(ar));
    if (has(GX_ALLOWENTER))
        s.SetAllowEnter(Byte(ar));
    if (has(GX_FONT)) {
        if (std::unique_ptr<CGXFont> f = ar.ReadObjectAs<CGXFont>())
            s.SetFont(*f, gxCopy);
    }
    if (has(GX_VALUE))
        s.SetValue(ar.ReadString());
    if (has(GX_CHOICELIST))
        s.SetChoiceList(ar.ReadString());
    if (has(GX_VERTSCROLL))
        s.SetVerticalScrollbar(Byte(ar));
    if (has(GX_MAXLENGTH))
        s.SetMaxLength(Word(ar));
    if (has(GX_ENABLED))
        s.SetEnabled(Byte(ar));
    if (has(GX_TRISTATE))
        s.SetTriState(Byte(ar));
    if (has(GX_DRAW3DFRAME))
        s.SetDraw3dFrame(Byte(ar));
    if (has(GX_AUTOSIZE))
        s.SetAutoSize(Byte(ar));
    LoadBorders(s, ar);
    if (has(GX_BASESTYLE)) {
        LoadBaseStyle(s, ar, map);
        if (!s.GetIncludeBaseStyle())
            mask &= ~(1u << GX_BASESTYLE);
    }
    if (schema >= 5) {
        std::unique_ptr<CGXUserAttributeMap> ua = ar.ReadObjectAs<CGXUserAttributeMap>();
        s.SetUserAttributes(ua.get());
    } else if (CGXAbstractSerializeQZ5CompatibleImp* old =
                   GXGetLibraryState().m_pQZ5CompatibleImp) {
        old->SerializeOldUserAttributes(s, ar);
    } else {
        throw fw::ArchiveException(fw::ArchiveCause::BadSchema, "style user attributes");
    }
    if (schema >= 2) {
        if (has(GX_FLOATCELL))
            s.SetFloatCell(Byte(ar));
        if (has(GX_FLOODCELL))
            s.SetFloodCell(Byte(ar));
        if (has(GX_MERGECELL))
            s.SetMergeCell(Byte(ar));
    }
    if (schema >= 3 && has(GX_ITEMDATA))
        s.SetItemDataPtr(reinterpret_cast<void*>(static_cast<std::uintptr_t>(DWord(ar))));
    if (schema >= 4) {
        if (schema >= 6) {
            if (has(GX_FORMAT))
                s.SetFormat(Byte(ar));
            if (has(GX_PLACES))
                s.SetPlaces(Byte(ar));
        } else if (has(GX_FORMAT)) {
            s.SetFormat(Byte(ar));
            s.SetPlaces(Byte(ar));
            mask |= 1u << GX_PLACES;
        }
        if (has(GX_VALUE))
            s.SetValueType(Byte(ar));
    }
    s.SetIncludeMask(mask);
}

void InstallStyleSerializeImp() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (state.m_pStyleSerializeImp)
        return;
    state.m_pStyleSerializeImp = state.AddOwnedObject(std::make_unique<CGXStyleSerializeImp>());
}
