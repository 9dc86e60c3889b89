#include "framework/drawing/DeviceContext.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace fw {
namespace {

constexpr ColorRef kRed = Rgb(255, 0, 0);
constexpr ColorRef kGreen = Rgb(0, 255, 0);
constexpr ColorRef kBlue = Rgb(0, 0, 255);
constexpr ColorRef kWhite = Rgb(255, 255, 255);
constexpr ColorRef kBlack = 0;

QImage Canvas(int w, int h, ColorRef fill) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(ToPixel(fill));
    return img;
}

ColorRef At(const QImage& img, int x, int y) {
    return FromPixel(img.pixel(x, y));
}

// A canvas with different colours everywhere, so an operation that loses information shows.
QImage Gradient(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, ToPixel(Rgb(x * 7, y * 5, (x ^ y) * 3)));
    return img;
}

TEST(DeviceContext, XorDrawingTwiceRestoresTheImage) {
    struct Case {
        const char* name;
        void (*draw)(DeviceContext&);
    };
    const Case cases[] = {
        {"focus rect",
         [](DeviceContext& dc) {
             dc.DrawFocusRect({5, 6, 40, 33});
         }},
        {"invert rect",
         [](DeviceContext& dc) {
             dc.InvertRect({3, 3, 20, 50});
         }},
        {"pattern invert",
         [](DeviceContext& dc) {
             dc.SelectBrush(Brush::Pattern({0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA}));
             dc.PatBlt(10, 10, 30, 2, PATINVERT);
             dc.PatBlt(10, 12, 2, 30, PATINVERT);
         }},
        {"xor pen frame",
         [](DeviceContext& dc) {
             dc.SetROP2(R2_XORPEN);
             dc.SelectBrush(Brush::Null());
             dc.SelectPen(Pen{PS_SOLID, 1, kWhite});
             dc.Rectangle({4, 4, 45, 45});
         }},
        {"not pen dotted line",
         [](DeviceContext& dc) {
             dc.SetROP2(R2_NOT);
             dc.SelectPen(Pen{PS_DOT, 1, kBlack});
             dc.SetBkMode(TRANSPARENT);
             dc.MoveTo(0, 0);
             dc.LineTo(49, 37);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage img = Gradient(50, 50);
        const QImage before = img.copy();
        {
            DeviceContext dc(&img);
            c.draw(dc);
        }
        EXPECT_NE(img, before) << "the first drawing changed nothing";
        {
            DeviceContext dc(&img);
            c.draw(dc);
        }
        EXPECT_EQ(img, before);
    }
}

TEST(DeviceContext, FocusRectInvertsEveryOtherFramePixel) {
    QImage img = Canvas(20, 20, kWhite);
    {
        DeviceContext dc(&img);
        dc.DrawFocusRect({2, 2, 10, 8});
    }
    // Pixels with an even x + y on the frame are inverted (white to black).
    EXPECT_EQ(At(img, 2, 2), kBlack);
    EXPECT_EQ(At(img, 3, 2), kWhite);
    EXPECT_EQ(At(img, 9, 3), kBlack);
    EXPECT_EQ(At(img, 9, 4), kWhite);
    EXPECT_EQ(At(img, 9, 7), kBlack);
    EXPECT_EQ(At(img, 10, 8), kWhite);  // right and bottom edge are outside
    EXPECT_EQ(At(img, 5, 5), kWhite);   // inside untouched
}

// 8 x 8 cells drawn by hand: 'X' where the hatch line runs.
// clang-format off
const std::array<const char*, 8> kHatchCells[] = {
    {"XXXXXXXX", "........", "........", "........", "........", "........", "........", "........"},
    {"X.......", "X.......", "X.......", "X.......", "X.......", "X.......", "X.......", "X......."},
    {"X.......", ".X......", "..X.....", "...X....", "....X...", ".....X..", "......X.", ".......X"},
    {".......X", "......X.", ".....X..", "....X...", "...X....", "..X.....", ".X......", "X......."},
    {"XXXXXXXX", "X.......", "X.......", "X.......", "X.......", "X.......", "X.......", "X......."},
    {"X......X", ".X....X.", "..X..X..", "...XX...", "...XX...", "..X..X..", ".X....X.", "X......X"},
};
// clang-format on

TEST(DeviceContext, HatchBrushesPaintTheirLinesAndHonourTheBackgroundMode) {
    for (int style = HS_HORIZONTAL; style <= HS_DIAGCROSS; ++style) {
        for (int mode : {OPAQUE, TRANSPARENT}) {
            SCOPED_TRACE(testing::Message() << "hatch " << style << " mode " << mode);
            QImage img = Canvas(20, 20, kGreen);
            {
                DeviceContext dc(&img);
                dc.SetBkColor(kWhite);
                dc.SetBkMode(mode);
                dc.FillRect({2, 3, 18, 19}, Brush::Hatched(style, kRed));
            }
            for (int y = 0; y < 20; ++y) {
                for (int x = 0; x < 20; ++x) {
                    ColorRef want = kGreen;
                    if (x >= 2 && x < 18 && y >= 3 && y < 19) {
                        bool line = kHatchCells[style][y % 8][x % 8] == 'X';
                        want = line ? kRed : (mode == OPAQUE ? kWhite : kGreen);
                    }
                    ASSERT_EQ(At(img, x, y), want) << x << "," << y;
                }
            }
        }
    }
}

TEST(DeviceContext, PatternBrushPaintsZeroBitsInTextColourFromTheBrushOrigin) {
    // Rows 0x0F, then 0x00 ... : the left half of row 0 is 0 bits (text colour).
    const std::array<std::uint8_t, 8> rows = {0x0F, 0x00, 0xFF, 0x81, 0x00, 0x00, 0x00, 0x00};
    QImage img = Canvas(16, 16, kGreen);
    {
        DeviceContext dc(&img);
        dc.SetTextColor(kBlue);
        dc.SetBkColor(kWhite);
        dc.SetBkMode(TRANSPARENT);  // patterns paint both colours whatever the mode
        dc.SetBrushOrg(1, 2);
        dc.FillRect({0, 0, 16, 16}, Brush::Pattern(rows));
    }
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            int py = ((y - 2) % 8 + 8) % 8, px = ((x - 1) % 8 + 8) % 8;
            bool one = rows[static_cast<std::size_t>(py)] & (0x80 >> px);
            ASSERT_EQ(At(img, x, y), one ? kWhite : kBlue) << x << "," << y;
        }
    }
}

TEST(DeviceContext, LinesLeaveOutTheEndPointAndDashGapsFollowTheBackground) {
    QImage img = Canvas(40, 10, kGreen);
    {
        DeviceContext dc(&img);
        dc.SelectPen(Pen{PS_SOLID, 1, kRed});
        dc.MoveTo(2, 1);
        dc.LineTo(10, 1);
        dc.SelectPen(Pen{PS_DOT, 1, kBlue});
        dc.SetBkColor(kWhite);
        dc.MoveTo(0, 3);
        dc.LineTo(12, 3);
        dc.SetBkMode(TRANSPARENT);
        dc.MoveTo(0, 5);
        dc.LineTo(12, 5);
        dc.SelectPen(Pen{PS_SOLID, 1, kRed, true});
        dc.MoveTo(2, 7);
        dc.LineTo(10, 7);
    }
    EXPECT_EQ(At(img, 1, 1), kGreen);
    EXPECT_EQ(At(img, 2, 1), kRed);
    EXPECT_EQ(At(img, 9, 1), kRed);
    EXPECT_EQ(At(img, 10, 1), kGreen);
    const char* opaque = "BBBWWWBBBWWW";
    const char* clear = "BBBGGGBBBGGG";
    for (int x = 0; x < 12; ++x) {
        auto colour = [](char c) { return c == 'B' ? kBlue : c == 'W' ? kWhite : kGreen; };
        EXPECT_EQ(At(img, x, 3), colour(opaque[x])) << x;
        EXPECT_EQ(At(img, x, 5), colour(clear[x])) << x;
    }
    EXPECT_EQ(At(img, 12, 3), kGreen);
    EXPECT_EQ(At(img, 10, 7), kRed);  // square caps reach the end point
}

TEST(DeviceContext, RectangleFillsInsideItsOutline) {
    QImage img = Canvas(12, 12, kGreen);
    {
        DeviceContext dc(&img);
        dc.SelectPen(Pen{PS_SOLID, 1, kRed});
        dc.SelectBrush(Brush::Solid(kBlue));
        dc.Rectangle({2, 2, 8, 7});
    }
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            ColorRef want = kGreen;
            if (x >= 2 && x < 8 && y >= 2 && y < 7)
                want = (x == 2 || x == 7 || y == 2 || y == 6) ? kRed : kBlue;
            ASSERT_EQ(At(img, x, y), want) << x << "," << y;
        }
    }
}

TEST(DeviceContext, BlockTransfersCombinePixelsAndConvertMonochrome) {
    // A 2 x 1 monochrome bitmap: black, white.
    const std::uint8_t bits[] = {0x40, 0x00};
    DeviceContext mono;
    mono.CreateCompatibleDC(nullptr);
    mono.SelectBitmap(Bitmap::CreateMono(2, 1, bits));

    QImage img = Canvas(8, 4, Rgb(0x30, 0x60, 0x90));
    {
        DeviceContext dc(&img);
        dc.SetTextColor(kRed);
        dc.SetBkColor(kBlue);
        dc.BitBlt(0, 0, 2, 1, &mono, 0, 0, SRCCOPY);  // black -> text, white -> background
        dc.BitBlt(0, 1, 2, 1, &mono, 0, 0, SRCAND);
        dc.BitBlt(0, 2, 2, 1, &mono, 0, 0, SRCPAINT);
        dc.BitBlt(0, 3, 2, 1, &mono, 0, 0, SRCINVERT);
        dc.PatBlt(4, 0, 1, 1, BLACKNESS);
        dc.PatBlt(5, 0, 1, 1, WHITENESS);
        dc.PatBlt(6, 0, 1, 1, DSTINVERT);
    }
    const ColorRef d = Rgb(0x30, 0x60, 0x90);
    EXPECT_EQ(At(img, 0, 0), kRed);
    EXPECT_EQ(At(img, 1, 0), kBlue);
    EXPECT_EQ(At(img, 0, 1), d & kRed);
    EXPECT_EQ(At(img, 1, 1), d & kBlue);
    EXPECT_EQ(At(img, 0, 2), d | kRed);
    EXPECT_EQ(At(img, 1, 3), d ^ kBlue);
    EXPECT_EQ(At(img, 4, 0), kBlack);
    EXPECT_EQ(At(img, 5, 0), kWhite);
    EXPECT_EQ(At(img, 6, 0), Rgb(0xCF, 0x9F, 0x6F));

    // Colour to monochrome: the source's background colour becomes white, the rest black.
    DeviceContext colour(&img);
    colour.SetBkColor(kRed);
    DeviceContext mask;
    mask.CreateCompatibleDC(&colour);
    Bitmap m = Bitmap::CreateMono(2, 1);
    mask.SelectBitmap(m);
    mask.BitBlt(0, 0, 2, 1, &colour, 0, 0, SRCCOPY);
    EXPECT_EQ(m.GetPixel(0, 0), kWhite);
    EXPECT_EQ(m.GetPixel(1, 0), kBlack);
}

TEST(DeviceContext, BlitWithinOneImageReadsThePixelsAsTheyWere) {
    QImage img = Gradient(10, 1);
    const QImage before = img.copy();
    {
        DeviceContext dc(&img);
        dc.BitBlt(2, 0, 8, 1, &dc, 0, 0, SRCCOPY);  // scroll right by 2
    }
    for (int x = 2; x < 10; ++x) EXPECT_EQ(img.pixel(x, 0), before.pixel(x - 2, 0)) << x;
}

TEST(DeviceContext, MappingModesScaleAndMoveDrawing) {
    QImage img = Canvas(60, 60, kWhite);
    {
        DeviceContext dc(&img);
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(100, 100);
        dc.SetViewportExt(200, 300);
        dc.SetWindowOrg(10, 0);
        dc.SetViewportOrg(5, 5);
        EXPECT_EQ(dc.LPtoDP(Point{20, 10}), (Point{25, 35}));
        EXPECT_EQ(dc.DPtoLP(Point{25, 35}), (Point{20, 10}));
        dc.FillRect({10, 0, 20, 10}, Brush::Solid(kRed));  // device (5,5)-(25,35)
        Rect box;
        dc.GetClipBox(box);
        EXPECT_EQ(box, (Rect{7, -2, 38, 18}));  // the 60 x 60 image in logical units
    }
    EXPECT_EQ(At(img, 5, 5), kRed);
    EXPECT_EQ(At(img, 24, 34), kRed);
    EXPECT_EQ(At(img, 25, 34), kWhite);
    EXPECT_EQ(At(img, 24, 35), kWhite);
    EXPECT_EQ(At(img, 4, 5), kWhite);

    DeviceContext iso(&img);
    iso.SetMapMode(MM_ISOTROPIC);
    iso.SetWindowExt(10, 10);
    iso.SetViewportExt(40, 20);  // one scale for both axes: the smaller one
    EXPECT_EQ(iso.GetViewportExt(), (Size{20, 20}));
}

TEST(DeviceContext, ClipRegionsIntersectExcludeAndRestore) {
    QImage img = Canvas(20, 20, kWhite);
    {
        DeviceContext dc(&img);
        dc.IntersectClipRect({2, 2, 18, 18});
        int saved = dc.SaveDC();
        dc.ExcludeClipRect({5, 5, 10, 10});
        Region r(Rect{0, 0, 20, 20});
        EXPECT_FALSE(dc.PtVisible({6, 6}));
        EXPECT_TRUE(dc.PtVisible({3, 3}));
        dc.FillRect({0, 0, 20, 20}, Brush::Solid(kRed));
        ASSERT_TRUE(dc.RestoreDC(saved));
        EXPECT_TRUE(dc.PtVisible({6, 6}));
        dc.FillRect({0, 0, 20, 4}, Brush::Solid(kBlue));
        dc.SelectClipRgn(nullptr);
        dc.FillRect({0, 19, 20, 20}, Brush::Solid(kGreen));
        EXPECT_FALSE(dc.RestoreDC(5));
    }
    EXPECT_EQ(At(img, 1, 1), kWhite);
    EXPECT_EQ(At(img, 2, 2), kBlue);
    EXPECT_EQ(At(img, 3, 10), kRed);
    EXPECT_EQ(At(img, 6, 6), kWhite);
    EXPECT_EQ(At(img, 18, 10), kWhite);
    EXPECT_EQ(At(img, 0, 19), kGreen);
}

TEST(DeviceContext, BaseClipLimitsEveryDrawingAndFlushReportsTheChange) {
    QImage img = Canvas(20, 20, kWhite);
    QRect reported;
    {
        DeviceContext dc(&img);
        dc.SetOnFlush([&](const QRect& r) { reported |= r; });
        dc.SetBaseClip(QRegion(0, 0, 10, 20));
        dc.SelectClipRgn(nullptr);  // does not lift the base clip
        dc.FillRect({5, 5, 15, 8}, Brush::Solid(kRed));
    }
    EXPECT_EQ(At(img, 9, 6), kRed);
    EXPECT_EQ(At(img, 10, 6), kWhite);
    EXPECT_EQ(reported, QRect(5, 5, 5, 3));
}

TEST(DeviceContext, EdgesUseTheSystemColours) {
    QImage img = Canvas(10, 10, kGreen);
    Rect r{0, 0, 10, 10};
    {
        DeviceContext dc(&img);
        dc.DrawEdge(r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    }
    EXPECT_EQ(r, (Rect{2, 2, 8, 8}));
    EXPECT_EQ(At(img, 0, 5), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(At(img, 1, 5), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(At(img, 9, 5), GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(At(img, 8, 5), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(At(img, 5, 5), kGreen);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), kWhite);
    EXPECT_EQ(GetSysColor(31), 0u);
}

}  // namespace
}  // namespace fw
