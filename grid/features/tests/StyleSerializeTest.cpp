#include "framework/drawing/DeviceContext.h"
#include "framework/persist/Archive.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/CGXSysColorCache.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXStyleSerializeImp.h"
#include "grid/features/GXPenText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

class StyleSerializeTest : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        InstallStyleSerializeImp();
        CGXSysColorCache::Instance().Update();
    }
    void TearDown() override { GXTerminateLibrary(); }

    static Bytes Store(CGXStyle& s, const CGXStylesMap* map = nullptr) {
        Bytes out;
        fw::Archive ar(fw::StoreTo{out});
        s.Serialize(ar, map);
        return out;
    }
    static CGXStyle Load(const Bytes& b, const CGXStylesMap* map = nullptr) {
        CGXStyle s;
        fw::Archive ar(fw::LoadFrom{b});
        s.Serialize(ar, map);
        EXPECT_EQ(ar.Remaining(), 0u);
        return s;
    }
};

void Append(Bytes& b, std::initializer_list<std::uint8_t> more) {
    b.insert(b.end(), more);
}
void AppendText(Bytes& b, const char* s) {
    b.push_back(static_cast<std::uint8_t>(std::strlen(s)));
    b.insert(b.end(), s, s + std::strlen(s));
}

TEST_F(StyleSerializeTest, AnEmptyStyleIsTenBytes) {
    CGXStyle empty;
    EXPECT_EQ(Store(empty), (Bytes{0x06, 0x00, 0, 0, 0, 0, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Load(Store(empty)).GetIncludeMask(), 0u);
}

TEST_F(StyleSerializeTest, BytesOfAStyleWithBordersAndAFormat) {
    CGXStyle s;
    s.SetHorizontalAlignment(fw::DT_CENTER).SetReadOnly(true);
    s.SetValue("ab").SetValueType(GX_VT_NUMBER);
    s.SetBorders(gxBorderTop, CGXPen(fw::PS_SOLID, 1, fw::Rgb(255, 0, 0)));
    s.SetFormat(2).SetPlaces(3);
    Bytes expect = {0x06, 0x00, 0x05, 0x05, 0x00, 0x03};  // schema, mask 0x03000505
    Append(expect, {0x01, 0, 0, 0});                      // centred
    Append(expect, {0x01});                               // read-only
    AppendText(expect, "ab");                             // value
    Append(expect, {0x01, 0x00, 0x01, 0x00});             // borders; top is set
    AppendText(expect, "0 1 255 0 0 0");
    Append(expect, {0, 0, 0, 0, 0, 0});  // left, bottom, right
    Append(expect, {0x00, 0x00});        // no user attributes
    Append(expect, {0x02, 0x03, 0x01});  // format, places, value type
    EXPECT_EQ(Store(s), expect);

    const CGXStyle back = Load(expect);
    EXPECT_EQ(back.GetIncludeMask(), 0x03000505u);
    EXPECT_EQ(back.GetHorizontalAlignment(), fw::DT_CENTER);
    EXPECT_EQ(back.GetValue(), "ab");
    EXPECT_EQ(back.GetValueType(), GX_VT_NUMBER);
    EXPECT_TRUE(back.HasBorder(gxBorderTop));
    EXPECT_FALSE(back.HasBorder(gxBorderLeft));
    EXPECT_EQ(back.GetBorders(gxBorderTop).GetColor(), fw::Rgb(255, 0, 0));
    EXPECT_EQ(back.GetPlaces(), 3u);
}

TEST_F(StyleSerializeTest, EveryAttributeRoundTrips) {
    CGXStylesMap map;
    map.RegisterStyle("Mine", CGXStyle(), false);
    const std::uint16_t base = map.RegisterStyle("Base", CGXStyle(), false);
    CGXStyle s;
    s.SetDefault();
    s.SetBorders(gxBorderAll, CGXPen(fw::PS_DOT, 3, GXSysColorWord(fw::COLOR_BTNSHADOW)));
    s.SetFont(CGXFont().SetItalic(true).SetOrientation(900));
    s.SetChoiceList("one\r\ntwo").SetMaxLength(12).SetBaseStyle(base).SetDraw3dFrame(2);
    s.SetUserAttribute(51022, "a tooltip").SetMergeCell(5).SetFloatCell(false);
    s.SetInterior(CGXBrush(fw::BS_HATCHED, fw::Rgb(1, 2, 3), fw::HS_CROSS));
    s.SetItemDataPtr(reinterpret_cast<void*>(std::uintptr_t{0x1234}));
    const CGXStyle back = Load(Store(s, &map), &map);
    EXPECT_EQ(back.GetIncludeMask(), s.GetIncludeMask());
    EXPECT_EQ(back.GetChoiceList(), "one\r\ntwo");
    EXPECT_EQ(back.GetMaxLength(), 12);
    EXPECT_EQ(back.GetBaseStyle(), base);
    EXPECT_EQ(back.GetDraw3dFrame(), 2u);
    EXPECT_EQ(back.GetMergeCell(), 5u);
    EXPECT_FALSE(back.GetFloatCell());
    EXPECT_EQ(back.GetUserAttribute(51022).GetValue(), "a tooltip");
    EXPECT_EQ(back.GetInterior(), s.GetInterior());
    EXPECT_EQ(back.GetItemDataPtr(), reinterpret_cast<void*>(std::uintptr_t{0x1234}));
    const CGXFont& f = back.GetFont();
    EXPECT_TRUE(f.GetItalic());
    EXPECT_EQ(f.GetOrientation(), 900);
    EXPECT_STREQ(f.GetFaceName(), "Arial");
    EXPECT_EQ(f.GetSize(), 8.25);           // 82 tenths on the way, the nearest quarter back
    for (int side = 0; side < 4; ++side) {  // a system colour in a pen keeps its meaning
        EXPECT_EQ(back.GetBorders(side).Color().kind, GX_COLOR_KIND_SYSTEM) << side;
        EXPECT_EQ(back.GetBorders(side).GetWidth(), 3);
    }
    // A system text colour reads back as its plain colour of the time of writing.
    EXPECT_EQ(back.GetTextColorRaw(), fw::GetSysColor(fw::COLOR_WINDOWTEXT));
    // The interior's system colour survives.
    CGXStyle sys;
    sys.SetInterior(GXSysColorWord(fw::COLOR_WINDOW));
    EXPECT_EQ(Load(Store(sys)).GetInterior().Foreground().kind, GX_COLOR_KIND_SYSTEM);
    // Without a styles map the base style is dropped.
    EXPECT_FALSE(Load(Store(s, &map)).GetIncludeBaseStyle());
}

TEST_F(StyleSerializeTest, TruncatedAndNewerArchivesAreRefused) {
    CGXStyle s;
    s.SetDefault();
    s.SetUserAttribute(51011, "1").SetBorders(gxBorderLeft, CGXPen(0, 1, 0));
    const Bytes bytes = Store(s);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        CGXStyle part;
        fw::Archive ar(fw::LoadFrom{std::span<const std::uint8_t>(bytes.data(), n)});
        EXPECT_THROW(part.Serialize(ar, nullptr), fw::ArchiveException) << n;
    }
    Bytes newer = bytes;
    newer[0] = 7;
    CGXStyle n;
    fw::Archive ar(fw::LoadFrom{newer});
    try {
        n.Serialize(ar, nullptr);
        FAIL();
    } catch (const fw::ArchiveException& e) {
        EXPECT_EQ(e.cause, fw::ArchiveCause::BadSchema);
    }
    Bytes old = bytes;
    old[0] = 4;  // older user attributes, and no component to read them
    CGXStyle o;
    fw::Archive ar2(fw::LoadFrom{old});
    EXPECT_THROW(o.Serialize(ar2, nullptr), fw::ArchiveException);
}

TEST_F(StyleSerializeTest, FontRecordBytes) {
    CGXFont f;
    f.SetWeight(700).SetItalic(true).SetSize(8.25);
    Bytes out;
    fw::Archive ar(fw::StoreTo{out});
    ar.WriteObject(&f);
    Bytes expect = {0xFF, 0xFF, 0x02, 0x00, 0x07, 0x00};
    expect.insert(expect.end(), {'C', 'G', 'X', 'F', 'o', 'n', 't'});
    Append(expect, {0x02, 0x00, 0xC9, 0, 0, 0, 0xBC, 0x02, 0x52, 0x00});
    EXPECT_EQ(out, expect);
}

TEST_F(StyleSerializeTest, AFontSizeSurvivesRoundTrips) {
    for (double points : {8.25, 10.5, 0.25, 255.75}) {
        SCOPED_TRACE(points);
        CGXFont f;
        f.SetSize(points);
        for (int trip = 0; trip < 3; ++trip) {
            Bytes out;
            fw::Archive ar(fw::StoreTo{out});
            f.Serialize(ar);
            fw::Archive in(fw::LoadFrom{out});
            f.Serialize(in);
            EXPECT_EQ(f.GetSize(), points);
        }
    }
}

TEST(PenText, Forms) {
    EXPECT_EQ(GXPenDescription(CGXPen(fw::PS_DASH, 2, fw::Rgb(255, 0, 0))), "1 2 255 0 0 0");
    const CGXPen red = GXPenFromDescription("1 2 255 0 0");
    EXPECT_EQ(red.GetStyle(), 1);
    EXPECT_EQ(red.GetWidth(), 2);
    EXPECT_EQ(red.GetColor(), fw::Rgb(255, 0, 0));
    const CGXPen few = GXPenFromDescription("  3   4 ");
    EXPECT_FALSE(few.GetInclude());
    EXPECT_EQ(few.GetColor(), 0u);
    const CGXPen sys = GXPenFromDescription("0 1 0 0 0 238");  // 254 - 16: COLOR_BTNSHADOW
    EXPECT_EQ(sys.Color().kind, GX_COLOR_KIND_SYSTEM);
    EXPECT_EQ(sys.Color().value, 16u);
}

}  // namespace
