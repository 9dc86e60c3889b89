#include "framework/drawing/DeviceContext.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/CGXSysColorCache.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const CGXPen kRed(fw::PS_SOLID, 1, fw::Rgb(255, 0, 0));
const CGXPen kBlue(fw::PS_DASH, 2, fw::Rgb(0, 0, 255));

TEST(StyleIncludeMask, EachSetterSetsItsOwnBit) {
    int item = 0;
    const struct {
        const char* name;
        std::function<void(CGXStyle&)> set;
        std::uint32_t mask;
    } cases[] = {
        {"horizontal", [](CGXStyle& s) { s.SetHorizontalAlignment(fw::DT_RIGHT); }, 0x1},
        {"vertical", [](CGXStyle& s) { s.SetVerticalAlignment(fw::DT_BOTTOM); }, 0x2},
        {"read-only", [](CGXStyle& s) { s.SetReadOnly(true); }, 0x4},
        {"control", [](CGXStyle& s) { s.SetControl(52520); }, 0x8},
        {"interior", [](CGXStyle& s) { s.SetInterior(fw::Rgb(1, 2, 3)); }, 0x10},
        {"text colour", [](CGXStyle& s) { s.SetTextColor(fw::Rgb(1, 2, 3)); }, 0x20},
        {"wrap", [](CGXStyle& s) { s.SetWrapText(false); }, 0x40},
        {"allow enter", [](CGXStyle& s) { s.SetAllowEnter(true); }, 0x80},
        {"borders", [](CGXStyle& s) { s.SetBorders(gxBorderTop, kRed); }, 0x100},
        {"font", [](CGXStyle& s) { s.SetFont(CGXFont().SetWeight(700)); }, 0x200},
        {"value", [](CGXStyle& s) { s.SetValue("x"); }, 0x400},
        {"choices", [](CGXStyle& s) { s.SetChoiceList("a\r\nb"); }, 0x800},
        {"scroll bar", [](CGXStyle& s) { s.SetVerticalScrollbar(true); }, 0x1000},
        {"max length", [](CGXStyle& s) { s.SetMaxLength(10); }, 0x2000},
        {"base style", [](CGXStyle& s) { s.SetBaseStyle(3); }, 0x4000},
        {"enabled", [](CGXStyle& s) { s.SetEnabled(false); }, 0x8000},
        {"tri-state", [](CGXStyle& s) { s.SetTriState(true); }, 0x10000},
        {"3-D frame", [](CGXStyle& s) { s.SetDraw3dFrame(2); }, 0x20000},
        {"user attribute", [](CGXStyle& s) { s.SetUserAttribute(51022, "tip"); }, 0x40000},
        {"auto size", [](CGXStyle& s) { s.SetAutoSize(true); }, 0x80000},
        {"item data", [&](CGXStyle& s) { s.SetItemDataPtr(&item); }, 0x100000},
        {"float cell", [](CGXStyle& s) { s.SetFloatCell(true); }, 0x200000},
        {"flood cell", [](CGXStyle& s) { s.SetFloodCell(true); }, 0x400000},
        {"merge cell", [](CGXStyle& s) { s.SetMergeCell(5); }, 0x800000},
        {"format", [](CGXStyle& s) { s.SetFormat(24); }, 0x1000000},
        {"places", [](CGXStyle& s) { s.SetPlaces(2); }, 0x2000000},
    };
    for (const auto& c : cases) {
        CGXStyle s;
        c.set(s);
        EXPECT_EQ(s.GetIncludeMask(), c.mask) << c.name;
        CGXStyle t;
        t.SetIncludeMask(c.mask);
        EXPECT_EQ(t.GetIncludeMask(), c.mask) << c.name;
    }
    CGXStyle d;
    d.SetDefault();
    EXPECT_EQ(d.GetIncludeMask(), 0x03FBBEFFu);  // all but borders, base style, user attributes
    d.SetIncludeMask(0);
    EXPECT_EQ(d.GetIncludeMask(), 0u);
}

TEST(StyleAttributes, ValuesAndCodesReadBack) {
    CGXStyle s;
    s.SetValue(static_cast<std::uint16_t>(65535));
    EXPECT_EQ(s.GetValue(), "65535");
    EXPECT_EQ(s.GetValueType(), GX_VT_NUMBER);
    s.SetValue(static_cast<std::int32_t>(-7));
    EXPECT_EQ(s.GetValue(), "-7");
    s.SetValue("text");
    EXPECT_EQ(s.GetValueType(), GX_VT_STRING);
    s.SetIncludeValue(false);
    EXPECT_EQ(s.GetValue(), "");

    s.SetHorizontalAlignment(fw::DT_CENTER).SetVerticalAlignment(fw::DT_VCENTER);
    EXPECT_EQ(s.GetHorizontalAlignment(), fw::DT_CENTER);
    EXPECT_EQ(s.GetVerticalAlignment(), fw::DT_VCENTER);
    s.SetMergeCell(9).SetFormat(33).SetPlaces(17).SetBaseStyle(0x1FF).SetDraw3dFrame(6);
    EXPECT_EQ(s.GetMergeCell(), 1u);  // 3 bits
    EXPECT_EQ(s.GetFormat(), 1u);     // 5 bits
    EXPECT_EQ(s.GetPlaces(), 1u);     // 4 bits
    EXPECT_EQ(s.GetBaseStyle(), 0xFFu);
    EXPECT_EQ(s.GetDraw3dFrame(), 2u);
}

// The target and source of the merge tables: both include the horizontal alignment and the
// value; only the target is read-only, only the source names a control.
struct MergeCase {
    GXModifyType type;
    unsigned hAlign;
    bool readOnlyIncluded;
    bool controlIncluded;
    const char* value;  // null: value not included
};

TEST(StyleChangeStyle, PlainAttributesForEachModifyType) {
    const MergeCase cases[] = {
        {gxOverride, fw::DT_RIGHT, true, true, "S"},
        {gxApplyNew, fw::DT_CENTER, true, true, "T"},
        {gxCopy, fw::DT_RIGHT, false, true, "S"},
        {gxExclude, fw::DT_LEFT, true, false, nullptr},
    };
    for (const MergeCase& c : cases) {
        CGXStyle t;
        t.SetHorizontalAlignment(fw::DT_CENTER).SetReadOnly(true).SetValue("T");
        CGXStyle s;
        s.SetHorizontalAlignment(fw::DT_RIGHT).SetControl(5).SetValue("S");
        t.ChangeStyle(s, c.type);
        EXPECT_EQ(t.GetIncludeHorizontalAlignment(), c.type != gxExclude) << c.type;
        if (c.type != gxExclude) {
            EXPECT_EQ(t.GetHorizontalAlignment(), c.hAlign) << c.type;
        }
        EXPECT_EQ(t.GetIncludeReadOnly(), c.readOnlyIncluded) << c.type;
        EXPECT_EQ(t.GetIncludeControl(), c.controlIncluded) << c.type;
        EXPECT_EQ(t.GetIncludeValue(), c.value != nullptr) << c.type;
        EXPECT_EQ(t.GetValue(), c.value ? c.value : "") << c.type;
    }
}

TEST(StyleChangeStyle, MissingOnEitherSide) {
    int item = 0;
    CGXStyle source;
    source.SetValue("v").SetItemDataPtr(&item).SetBorders(gxBorderLeft, kRed);
    for (GXModifyType type : {gxOverride, gxApplyNew, gxCopy}) {
        CGXStyle empty;
        empty.ChangeStyle(source, type);  // an empty target becomes a whole copy
        EXPECT_EQ(empty.GetIncludeMask(), source.GetIncludeMask()) << type;
        EXPECT_EQ(empty.GetItemDataPtr(), &item) << type;
        EXPECT_TRUE(empty.HasBorder(gxBorderLeft)) << type;
    }
    CGXStyle empty;
    empty.ChangeStyle(source, gxExclude);
    EXPECT_EQ(empty.GetIncludeMask(), 0u);

    // A source that includes nothing changes nothing, except that copying empties.
    for (GXModifyType type : {gxOverride, gxApplyNew, gxExclude, gxCopy}) {
        CGXStyle t = source;
        t.ChangeStyle(CGXStyle(), type);
        EXPECT_EQ(t.GetIncludeMask(), type == gxCopy ? 0u : source.GetIncludeMask()) << type;
    }
}

TEST(StyleChangeStyle, BordersSideBySide) {
    const struct {
        GXModifyType type;
        bool left, top, bottom;
        int topStyle;  // the pen style on top afterwards
    } cases[] = {
        {gxOverride, true, true, true, fw::PS_DASH},
        {gxApplyNew, true, true, true, fw::PS_SOLID},
        {gxCopy, false, true, true, fw::PS_DASH},
        {gxExclude, true, false, false, CGXPen::kNotSet},
    };
    for (const auto& c : cases) {
        CGXStyle t;
        t.SetBorders(gxBorderLeft, kRed).SetBorders(gxBorderTop, kRed);
        CGXStyle s;
        s.SetBorders(gxBorderTop, kBlue).SetBorders(gxBorderBottom, kBlue);
        t.ChangeStyle(s, c.type);
        EXPECT_EQ(t.HasBorder(gxBorderLeft), c.left) << c.type;
        EXPECT_EQ(t.HasBorder(gxBorderTop), c.top) << c.type;
        EXPECT_EQ(t.HasBorder(gxBorderBottom), c.bottom) << c.type;
        EXPECT_FALSE(t.HasBorder(gxBorderRight)) << c.type;
        EXPECT_EQ(t.GetBorders(gxBorderTop).GetStyle(), c.topStyle) << c.type;
        EXPECT_TRUE(t.GetIncludeBorders()) << c.type;  // a side is left in every case
    }
    // Excluding the only side leaves no borders.
    CGXStyle t;
    t.SetBorders(gxBorderTop, kRed);
    CGXStyle s;
    s.SetBorders(gxBorderTop, kBlue);
    t.ChangeStyle(s, gxExclude);
    EXPECT_FALSE(t.GetIncludeBorders());
}

TEST(StyleChangeStyle, FontsMergeAttributeByAttribute) {
    const struct {
        GXModifyType type;
        bool weight, italic;
        double size;  // 0: not included
    } cases[] = {
        {gxOverride, true, true, 12},
        {gxApplyNew, true, true, 10},
        {gxCopy, false, true, 12},
        {gxExclude, true, false, 0},
    };
    for (const auto& c : cases) {
        CGXStyle t;
        t.SetFont(CGXFont().SetWeight(700).SetSize(10));
        CGXStyle s;
        s.SetFont(CGXFont().SetItalic(true).SetSize(12));
        t.ChangeStyle(s, c.type);
        const CGXFont& f = t.GetFont();
        EXPECT_TRUE(t.GetIncludeFont()) << c.type;
        EXPECT_EQ(f.GetIncludeWeight(), c.weight) << c.type;
        EXPECT_EQ(f.GetIncludeItalic(), c.italic) << c.type;
        EXPECT_EQ(f.GetIncludeSize() ? f.GetSize() : 0.0, c.size) << c.type;
    }
}

TEST(StyleChangeStyle, UserAttributesIdById) {
    const struct {
        GXModifyType type;
        const char* a1;
        const char* a2;
        const char* a3;  // "" when absent
    } cases[] = {
        {gxOverride, "a", "x", "y"},
        {gxApplyNew, "a", "b", "y"},
        {gxCopy, "", "x", "y"},
        {gxExclude, "a", "", ""},
    };
    for (const auto& c : cases) {
        CGXStyle t;
        t.SetUserAttribute(1, "a").SetUserAttribute(2, "b");
        CGXStyle s;
        s.SetUserAttribute(2, "x").SetUserAttribute(3, "y");
        t.ChangeStyle(s, c.type);
        EXPECT_TRUE(t.GetIncludeUserAttributes()) << c.type;
        EXPECT_EQ(t.GetUserAttribute(1).GetValue(), c.a1) << c.type;
        EXPECT_EQ(t.GetUserAttribute(2).GetValue(), c.a2) << c.type;
        EXPECT_EQ(t.GetUserAttribute(3).GetValue(), c.a3) << c.type;
        EXPECT_EQ(t.GetIncludeUserAttribute(3), *c.a3 != 0) << c.type;
    }
}

// Copies share what they can; a change to one never shows in another, and assigning into a
// style that already holds parts replaces them whole.
TEST(StyleCopies, StayIndependentAndReplaceWhatTheyHeld) {
    CGXStyle original;
    original.SetUserAttribute(1, "a").SetUserAttribute(2, "b");
    original.SetFont(CGXFont().SetSize(7)).SetBorders(gxBorderTop, kRed);
    CGXStyle copy(original);
    copy.SetUserAttribute(1, "changed").SetUserAttribute(3, "new");
    CGXStyle other;
    other.SetUserAttribute(2, "x");
    copy.ChangeStyle(other, gxOverride);
    copy.SetFont(CGXFont().SetSize(12)).SetBorders(gxBorderTop, kBlue);
    EXPECT_EQ(original.GetUserAttribute(1).GetValue(), "a");
    EXPECT_EQ(original.GetUserAttribute(2).GetValue(), "b");
    EXPECT_FALSE(original.GetIncludeUserAttribute(3));
    EXPECT_EQ(original.GetFont().GetSize(), 7);
    EXPECT_EQ(original.GetBorders(gxBorderTop).GetStyle(), fw::PS_SOLID);
    EXPECT_EQ(copy.GetUserAttribute(1).GetValue(), "changed");
    EXPECT_EQ(copy.GetUserAttribute(2).GetValue(), "x");

    // Assigned over: every part the target had is the source's afterwards, or gone.
    CGXStyle plain;
    plain.SetValue("v").SetUserAttribute(4, "d");
    copy = plain;
    EXPECT_FALSE(copy.GetIncludeFont());
    EXPECT_FALSE(copy.HasBorder(gxBorderTop));
    EXPECT_FALSE(copy.GetIncludeUserAttribute(1));
    EXPECT_EQ(copy.GetUserAttribute(4).GetValue(), "d");
    copy = original;
    EXPECT_EQ(copy.GetFont().GetSize(), 7);
    EXPECT_EQ(copy.GetUserAttribute(1).GetValue(), "a");
    EXPECT_FALSE(copy.GetIncludeUserAttribute(4));
    // The source is untouched by the assignments from it.
    EXPECT_EQ(plain.GetUserAttribute(4).GetValue(), "d");

    // Emptied, a style has no font and no attributes left to show, whatever it held.
    copy = CGXStyle();
    EXPECT_EQ(copy.GetIncludeMask(), 0u);
    EXPECT_TRUE(copy.GetFont() == CGXFont());
    copy.SetIncludeFont(true).SetIncludeUserAttributes(true);
    EXPECT_TRUE(copy.GetFont() == CGXFont());
    EXPECT_FALSE(copy.GetIncludeUserAttribute(1));
    copy.ChangeStyle(plain, gxApplyNew);
    EXPECT_EQ(copy.GetUserAttributeMap()->GetCount(), 1);
}

TEST(StyleColors, SystemColourWordSurvivesMerges) {
    CGXSysColorCache::Instance().Update();
    CGXStyle s;
    s.SetTextColor(GXSysColorWord(fw::COLOR_WINDOWTEXT));
    s.SetInterior(GXSysColorWord(fw::COLOR_WINDOW));
    CGXStyle merged;
    merged.SetTextColor(fw::Rgb(1, 2, 3));
    merged.ChangeStyle(s, gxOverride);
    // Top byte 254 - 8 over the current RGB of COLOR_WINDOWTEXT (black).
    EXPECT_EQ(merged.GetTextColorRaw(), 0xF6000000u);
    EXPECT_EQ(merged.GetInterior().GetColor(), 0xF9FFFFFFu);
    EXPECT_EQ(merged.GetTextColor(), 0u);  // resolved for drawing

    // A copy written out and read back keeps the meaning: the raw word goes through the setter.
    CGXStyle reread;
    reread.SetTextColor(merged.GetTextColorRaw());
    fw::SetSysColor(fw::COLOR_WINDOWTEXT, fw::Rgb(10, 20, 30));
    CGXSysColorCache::Instance().Update();
    EXPECT_EQ(reread.GetTextColor(), fw::Rgb(10, 20, 30));
    EXPECT_EQ(reread.GetTextColorRaw(), 0xF6000000u | fw::Rgb(10, 20, 30));
    fw::ResetSysColors();
    CGXSysColorCache::Instance().Update();

    // Other words keep their kind in bits 24-25.
    CGXStyle palette;
    palette.SetTextColor(0x01000005u);
    EXPECT_EQ(palette.GetTextColorRaw(), 0x01000005u);
}

TEST(StyleDefault, StandardValues) {
    CGXStyle d;
    d.SetDefault();
    EXPECT_EQ(d.GetControl(), GX_IDS_CTRL_EDIT);
    EXPECT_TRUE(d.GetWrapText());
    EXPECT_TRUE(d.GetEnabled());
    EXPECT_TRUE(d.GetFloatCell());
    EXPECT_TRUE(d.GetFloodCell());
    EXPECT_EQ(d.GetPlaces(), 13u);
    EXPECT_TRUE(d.GetIncludeItemDataPtr());
    EXPECT_EQ(d.GetInterior().GetStyle(), fw::BS_SOLID);
    EXPECT_EQ(d.GetInterior().Foreground().kind, GX_COLOR_KIND_SYSTEM);
    EXPECT_STREQ(d.GetFont().GetFaceName(), "Arial");
    EXPECT_EQ(d.GetFont().GetWeight(), 400);
}

TEST(PenAndBrush, RecordsAndConversions) {
    CGXPen p;
    EXPECT_EQ(p.GetStyle(), CGXPen::kNotSet);
    EXPECT_EQ(p.GetWidth(), 1);
    p.SetInclude(true);
    EXPECT_EQ(p.GetStyle(), fw::PS_SOLID);
    p.SetInclude(false);
    EXPECT_EQ(p.GetLogPen().style, fw::PS_NULL);

    CGXBrush b;
    EXPECT_EQ(b.Word1(), 0x3FFFFFFFu);
    EXPECT_EQ(b.GetPattern(), 63);
    b.SetColor(GXSysColorWord(fw::COLOR_BTNFACE));
    EXPECT_EQ(b.Word0() >> 8, 15u);        // the system index
    EXPECT_EQ((b.Word0() >> 4) & 3u, 3u);  // kind system
    b.SetBkColor(fw::Rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(b.Word1() & 0xFFFFFF, 0x563412u);
    CGXBrush pattern;
    pattern.SetStyle(fw::BS_PATTERN).SetPattern(40);
    EXPECT_EQ(pattern.GetLogBrush().style, fw::BS_PATTERN);
    pattern.SetPattern(41);  // beyond the library's patterns
    EXPECT_EQ(pattern.GetLogBrush().style, fw::BS_HOLLOW);

    // Dashed border pens become pattern brushes.
    CGXBrush out;
    CGXBrush interior(fw::BS_SOLID, fw::Rgb(0, 255, 0), 0);
    ASSERT_TRUE(
        CGXPen(fw::PS_DOT, 1, fw::Rgb(255, 0, 0)).ConvertPenToBrush(out, interior, false, false));
    EXPECT_EQ(out.GetPattern(), 38);
    EXPECT_EQ(out.GetColor(), fw::Rgb(255, 0, 0));
    EXPECT_EQ(out.GetBkColor(), fw::Rgb(0, 255, 0));
    ASSERT_TRUE(CGXPen(fw::PS_DASH, 1, 0).ConvertPenToBrush(out, interior, true, true));
    EXPECT_EQ(out.GetPattern(), 33);
    EXPECT_EQ(out.GetBkColor(), fw::Rgb(255, 255, 255));
    ASSERT_TRUE(CGXPen(fw::PS_NULL, 1, 0).ConvertPenToBrush(out, interior, false, false));
    EXPECT_EQ(out, interior);
    EXPECT_FALSE(CGXPen(fw::PS_SOLID, 1, 0).ConvertPenToBrush(out, interior, false, false));
}

}  // namespace
