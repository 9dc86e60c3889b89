// The text forms of pens, brushes and fonts: the exact texts of the documented cases, and every
// kind written and parsed back equal.
#include "grid/core/CGXSysColorCache.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/GXBrushText.h"
#include "grid/features/GXFeatureInstall.h"
#include "grid/features/GXFontText.h"
#include "grid/features/GXPenText.h"

#include <gtest/gtest.h>

namespace {

class TextFormsTest : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXInitWithFeatures();
        CGXSysColorCache::Instance().Update();
    }
    void TearDown() override { GXTerminateLibrary(); }
};

TEST_F(TextFormsTest, PenDocumentedCases) {
    const CGXPen red = GXPenFromDescription("1 2 255 0 0");
    EXPECT_TRUE(red.GetInclude());
    EXPECT_EQ(red, CGXPen(1, 2, fw::Rgb(255, 0, 0)));
    const CGXPen bare = GXPenFromDescription("3 4", CGXPen(2, 5, fw::Rgb(1, 2, 3)));
    EXPECT_FALSE(bare.GetInclude());
    EXPECT_EQ(bare.GetWidth(), 5);
    EXPECT_EQ(bare.GetColor(), 0u);
    EXPECT_FALSE(GXPenFromDescription("").GetInclude());
    // A not-set pen (style 7) read from five numbers is included as solid.
    EXPECT_EQ(GXPenFromDescription("7 1 0 0 0").GetStyle(), 0);
    // A system colour writes its current RGB and 254 - index.
    const COLORREF face = GXGetSysColor(15) & 0xFFFFFF;
    EXPECT_EQ(GXPenDescription(CGXPen(0, 1, GXSysColorWord(15))),
              "0 1 " + std::to_string(fw::RedOf(face)) + " " + std::to_string(fw::GreenOf(face)) +
                  " " + std::to_string(fw::BlueOf(face)) + " 239");
}

TEST_F(TextFormsTest, EveryPenKindRoundTrips) {
    const struct {
        CGXPen pen;
        const char* text;
    } cases[] = {
        {CGXPen(0, 1, fw::Rgb(0, 0, 0)), "0 1 0 0 0 0"},
        {CGXPen(1, 2, fw::Rgb(255, 0, 0)), "1 2 255 0 0 0"},
        {CGXPen(2, 3, fw::Rgb(0, 128, 0)), "2 3 0 128 0 0"},
        {CGXPen(3, 0, fw::Rgb(1, 2, 3)), "3 0 1 2 3 0"},
        {CGXPen(4, 65535, fw::Rgb(9, 9, 9)), "4 65535 9 9 9 0"},
        {CGXPen(5, 1, fw::Rgb(0, 0, 255)), "5 1 0 0 255 0"},
        {CGXPen(0, 1, 0x01000012u), "0 1 18 0 0 1"},    // palette index
        {CGXPen(0, 1, 0x02102030u), "0 1 48 32 16 2"},  // palette-relative
        {CGXPen(0, 2, GXSysColorWord(5)), nullptr},     // system colour: RGB varies
    };
    for (const auto& c : cases) {
        const std::string text = GXPenDescription(c.pen);
        if (c.text) {
            EXPECT_EQ(text, c.text);
        }
        EXPECT_EQ(GXPenFromDescription(text), c.pen) << text;
    }
}

TEST_F(TextFormsTest, BrushDocumentedCases) {
    CGXBrush sys(0, GXSysColorWord(15), 0);
    sys.SetBkColor(fw::Rgb(10, 20, 30));
    EXPECT_EQ(GXBrushDescription(sys), "0 0 15 0 0 10 20 30 239");
    const CGXBrush back = GXBrushFromDescription("0 0 15 0 0 10 20 30 239");
    EXPECT_TRUE(back.Foreground().IsSystem());
    EXPECT_EQ(back.Foreground().value, 15u);
    EXPECT_EQ(back, sys);
    // Fewer than five numbers: both colours black, style and hatch kept.
    CGXBrush hatched(2, fw::Rgb(1, 2, 3), 4);
    hatched.SetBkColor(fw::Rgb(4, 5, 6));
    const CGXBrush few = GXBrushFromDescription("1 2 3", hatched);
    EXPECT_EQ(few.GetStyle(), 2);
    EXPECT_EQ(few.GetHatch(), 4);
    EXPECT_EQ(few.GetColor(), 0u);
    EXPECT_EQ(few.GetBkColor(), 0u);
    // Five to seven numbers: the background is black.
    const CGXBrush five = GXBrushFromDescription("2 3 255 0 0", hatched);
    EXPECT_EQ(five.GetHatch(), 3);
    EXPECT_EQ(five.GetColor(), fw::Rgb(255, 0, 0));
    EXPECT_EQ(five.GetBkColor(), 0u);
    // Top byte 1: a palette index of green * 256 + red.
    EXPECT_EQ(GXBrushFromDescription("0 0 7 1 99 0 0 0 1").GetColor(), 0x01000107u);
}

TEST_F(TextFormsTest, EveryBrushKindRoundTrips) {
    auto make = [](int style, COLORREF fg, int hatch, COLORREF bk, int pattern = -1) {
        CGXBrush b(style, fg, hatch);
        b.SetBkColor(bk);
        if (pattern >= 0)
            b.SetPattern(pattern);
        return b;
    };
    const struct {
        CGXBrush brush;
        const char* text;
    } cases[] = {
        {make(0, fw::Rgb(255, 255, 255), 0, fw::Rgb(0, 0, 0)), "0 0 255 255 255 0 0 0 0"},
        {make(1, fw::Rgb(0, 0, 0), 0, fw::Rgb(255, 255, 255)), "1 0 0 0 0 255 255 255 0"},
        {make(2, fw::Rgb(12, 34, 56), 5, fw::Rgb(7, 8, 9)), "2 5 12 34 56 7 8 9 0"},
        {make(2, fw::Rgb(1, 1, 1), 0, fw::Rgb(2, 2, 2)), "2 0 1 1 1 2 2 2 0"},
        {make(3, fw::Rgb(0, 0, 255), 0, fw::Rgb(255, 0, 0), 37), "3 37 0 0 255 255 0 0 0"},
        {make(0, 0x01000312u, 0, 0), "0 0 18 3 0 0 0 0 1"},  // palette index 0x312
        {make(0, 0x02445566u, 0, 0), "0 0 102 85 68 0 0 0 2"},
        {make(0, GXSysColorWord(5), 0, fw::Rgb(1, 2, 3)), "0 0 5 0 0 1 2 3 249"},
    };
    for (const auto& c : cases) {
        const std::string text = GXBrushDescription(c.brush);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(GXBrushFromDescription(text), c.brush) << text;
    }
}

TEST_F(TextFormsTest, FontDocumentedCases) {
    CGXFont face;
    face.SetFaceName("DejaVu Sans");
    EXPECT_EQ(GXFontDescription(face), "DejaVu Sans,,,,,,");
    const CGXFont back = GXFontFromDescription("DejaVu Sans,,,,,,");
    EXPECT_EQ(back, face);
    EXPECT_FALSE(back.GetIncludeSize());

    CGXFont turned;
    turned.SetOrientation(900);
    EXPECT_EQ(GXFontDescription(turned), ",,,,,,900");
    const CGXFont turnedBack = GXFontFromDescription(",,,,,,900");
    EXPECT_EQ(turnedBack.GetOrientation(), 900);
    EXPECT_FALSE(turnedBack.GetIncludeStrikeOut());

    // Reading clears what the font held before; a missing orientation field leaves it unset.
    CGXFont reused;
    reused.SetWeight(700).SetItalic(true);
    GXFontSetDescription(reused, "DejaVu Sans,10");
    EXPECT_FALSE(reused.GetIncludeWeight());
    EXPECT_FALSE(reused.GetIncludeItalic());
    EXPECT_FALSE(reused.GetIncludeOrientation());
    EXPECT_EQ(reused.GetSize(), 10.0);
    // Sizes are written as whole points.
    CGXFont fraction;
    fraction.SetSize(8.75);
    EXPECT_EQ(GXFontDescription(fraction), ",8,,,,,");
}

TEST_F(TextFormsTest, EveryFontKindRoundTrips) {
    std::vector<CGXFont> fonts(10);
    fonts[1].SetFaceName("DejaVu Sans Mono");
    fonts[2].SetSize(12);
    fonts[3].SetWeight(700);
    fonts[4].SetItalic(true);
    fonts[5].SetUnderline(false);
    fonts[6].SetStrikeOut(true);
    fonts[7].SetOrientation(450);
    fonts[8].SetOrientation(0);
    fonts[9].SetFaceName("DejaVu Serif").SetSize(9).SetWeight(400).SetItalic(false);
    fonts[9].SetUnderline(true).SetStrikeOut(false).SetOrientation(2700);
    EXPECT_EQ(GXFontDescription(fonts[9]), "DejaVu Serif,9,400,0,1,0,2700");
    EXPECT_EQ(GXFontDescription(fonts[0]), ",,,,,,");
    for (const CGXFont& f : fonts) {
        const std::string text = GXFontDescription(f);
        EXPECT_EQ(GXFontFromDescription(text), f) << text;
    }
}

}  // namespace
