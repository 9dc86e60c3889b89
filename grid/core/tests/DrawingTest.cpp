#include "grid/core/CGXBrush.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXSysColorCache.h"
#include "grid/core/GXChoiceList.h"
#include "grid/core/GXDrawHelpers.h"
#include "grid/core/tests/GridTestDib.h"

#include <gtest/gtest.h>

#include <QImage>

#include <array>
#include <string>

namespace {

constexpr fw::ColorRef kWhite = fw::Rgb(255, 255, 255);
constexpr fw::ColorRef kBlack = fw::Rgb(0, 0, 0);
constexpr fw::ColorRef kRed = fw::Rgb(255, 0, 0);
constexpr fw::ColorRef kBlue = fw::Rgb(0, 0, 255);

fw::LogFont TestFont() {
    fw::LogFont f;
    f.height = -16;
    f.faceName = "DejaVu Sans";
    return f;
}

// An image and a context drawing into it with the test font, white to begin with.
struct Canvas {
    explicit Canvas(int w = 300, int h = 120) : image(w, h, QImage::Format_RGB32) {
        image.fill(Qt::white);
        dc = std::make_unique<fw::DeviceContext>(&image);
        dc->SelectFont(TestFont());
        dc->SetBkMode(fw::TRANSPARENT);
    }
    fw::ColorRef At(int x, int y) {
        dc->Flush();
        return fw::FromPixel(image.pixel(x, y));
    }
    // The box of every pixel that is not white; empty when there is none.
    QRect Ink() {
        dc->Flush();
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                    box |= QRect(x, y, 1, 1);
        return box;
    }
    QImage image;
    std::unique_ptr<fw::DeviceContext> dc;
};

CGXDrawingAndFormatting& DF() {
    return CGXDrawingAndFormatting::GetInstance();
}

TEST(DrawCellText, AlignmentsPlaceTheText) {
    Canvas m;
    const int w = m.dc->GetTextExtent("Hello").cx;
    const int lineH = m.dc->GetTextMetrics().height;
    const fw::Rect r{10, 10, 290, 110};
    const struct {
        unsigned format;
        int left;  // where the text starts
        int top;   // where its line starts
    } cases[] = {
        {fw::DT_LEFT, 10, 10},
        {fw::DT_CENTER, 10 + (280 - w) / 2, 10},
        {fw::DT_RIGHT, 290 - w, 10},
        {fw::DT_VCENTER, 10, 10 + (100 - (lineH + 1)) / 2},
        {fw::DT_BOTTOM | fw::DT_RIGHT, 290 - w, 110 - (lineH + 1)},
    };
    for (const auto& c : cases) {
        Canvas k;
        DF().DrawTextRect(*k.dc, "Hello", r, c.format);
        const QRect ink = k.Ink();
        ASSERT_FALSE(ink.isEmpty()) << c.format;
        EXPECT_NEAR(ink.left(), c.left, 2) << c.format;
        EXPECT_GE(ink.top(), c.top) << c.format;
        EXPECT_LT(ink.bottom(), c.top + lineH + 1) << c.format;
    }
}

TEST(DrawCellText, WrapRulesSplitTheLines) {
    Canvas m;
    const int hello = m.dc->GetTextExtent("Hello ").cx;
    // Room for "Hello " but not for "Hello Hello".
    const fw::Rect narrow{0, 0, m.dc->GetTextExtent("Hello Hel").cx, 200};
    std::array<int, 32> starts{}, lengths{};
    const struct {
        const char* name;
        std::string text;
        unsigned format;
        fw::Rect rect;
        std::vector<std::pair<int, int>> lines;  // start, length
        bool cut;  // the first line is cut between characters: its length depends on the font
    } cases[] = {
        {"words wrap",
         "Hello Hello Hello",
         fw::DT_WORDBREAK,
         narrow,
         {{0, 6}, {6, 6}, {12, 5}},
         false},
        {"line breaks",
         "Hi\r\nthere\nyou",
         fw::DT_WORDBREAK,
         narrow,
         {{0, 2}, {4, 5}, {10, 3}},
         false},
        {"break at the end", "Hi\n", fw::DT_WORDBREAK, narrow, {{0, 2}, {3, 0}}, false},
        {"no wrap: one line cut", "Hello Hello Hello", 0, narrow, {{0, 0}}, true},
        {"a long word is cut",
         "HelloHelloHelloHello",
         fw::DT_WORDBREAK,
         narrow,
         {{0, 0}, {0, 0}, {0, 0}},
         true},
        {"room for one line only",
         "Hello Hello",
         fw::DT_WORDBREAK,
         fw::Rect{0, 0, hello, 20},
         {{0, 0}},
         true},
    };
    for (const auto& c : cases) {
        fw::Rect rect = c.rect;
        const int n = DF().SplitTextLines(*m.dc, c.text, rect, c.format, starts, lengths);
        std::vector<std::pair<int, int>> got;
        for (int i = 0; i < n; ++i)
            got.emplace_back(starts[static_cast<std::size_t>(i)],
                             lengths[static_cast<std::size_t>(i)]);
        if (!c.cut) {
            EXPECT_EQ(got, c.lines) << c.name;
            continue;
        }
        ASSERT_EQ(got.size(), c.lines.size()) << c.name;
        const std::size_t len = static_cast<std::size_t>(got[0].second);
        EXPECT_LE(m.dc->GetTextExtent(c.text.substr(0, len)).cx, rect.Width() + 1) << c.name;
        EXPECT_GT(m.dc->GetTextExtent(c.text.substr(0, len + 1)).cx, rect.Width() + 1) << c.name;
    }
    // Multibyte characters stay whole when a word is cut.
    fw::Rect tiny{0, 0, 4, 200};
    const std::string umlauts = "\xc3\xa4\xc3\xb6\xc3\xbc";
    const int n = DF().SplitTextLines(*m.dc, umlauts, tiny, fw::DT_WORDBREAK, starts, lengths);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(lengths[0], 2);
    EXPECT_EQ(starts[2], 4);
}

TEST(DrawCellText, EllipsisModes) {
    Canvas probe;
    const std::string text = "Hello Hello Hello";
    const int width = probe.dc->GetTextExtent("Hello Hel").cx;
    const fw::Rect r{0, 0, width, 30};
    // Mode 1: the longest start that fits with "..." after it.
    std::string expect;
    for (std::size_t n = text.size(); n > 1; --n) {
        const std::string s = text.substr(0, n) + "...";
        if (probe.dc->GetTextExtent(s).cx <= width) {
            expect = s;
            break;
        }
    }
    ASSERT_FALSE(expect.empty());
    Canvas dots, plain;
    int lines = 0;
    DF().DrawCellText(*dots.dc, text, r, fw::DT_SINGLELINE, &lines, &r, gxDotEllipse);
    DF().DrawTextRect(*plain.dc, expect, r, fw::DT_SINGLELINE);
    dots.dc->Flush();
    plain.dc->Flush();
    EXPECT_EQ(lines, 1);
    EXPECT_EQ(dots.image, plain.image);

    // Mode 2: as many "#" as fit.
    const int hash = probe.dc->GetTextExtent("#").cx;
    const fw::Rect cell{0, 0, hash * 4 + hash / 2, 30};
    Canvas pound, signs;
    DF().DrawCellText(*pound.dc, "123456789", cell, fw::DT_SINGLELINE, nullptr, &cell,
                      gxPoundEllipse);
    DF().DrawTextRect(*signs.dc, "####", cell, fw::DT_SINGLELINE);
    pound.dc->Flush();
    signs.dc->Flush();
    EXPECT_EQ(pound.image, signs.image);
    // A text that fits is drawn as it is.
    Canvas fits, same;
    DF().DrawCellText(*fits.dc, "12", cell, fw::DT_SINGLELINE, nullptr, &cell, gxPoundEllipse);
    DF().DrawTextRect(*same.dc, "12", cell, fw::DT_SINGLELINE);
    fits.dc->Flush();
    same.dc->Flush();
    EXPECT_EQ(fits.image, same.image);
}

TEST(DrawCellText, HitTestFindsTheCharacter) {
    Canvas m;
    const fw::Rect r{10, 10, 290, 110};
    const int he = m.dc->GetTextExtent("He").cx;
    EXPECT_EQ(DF().HitTestText(*m.dc, "Hello", r, 0, {10 + he + 1, 15}), 2);
    EXPECT_EQ(DF().HitTestText(*m.dc, "Hello", r, 0, {12, 15}), 0);
    EXPECT_EQ(DF().HitTestText(*m.dc, "Hello", r, 0, {280, 15}), -1);  // far past the end
    EXPECT_EQ(DF().HitTestText(*m.dc, "Hello", r, 0, {12, 100}), -1);  // below the last line
}

TEST(DrawHelpers, FramesEdgesAndFills) {
    Canvas c(40, 40);
    DF().DrawFrame(*c.dc, 5, 5, 35, 35, 2, kRed, kBlue);
    EXPECT_EQ(c.At(10, 5), kRed);     // top
    EXPECT_EQ(c.At(6, 10), kRed);     // left, second ring
    EXPECT_EQ(c.At(34, 10), kBlue);   // right
    EXPECT_EQ(c.At(10, 33), kBlue);   // bottom, second ring
    EXPECT_EQ(c.At(10, 10), kWhite);  // inside
    EXPECT_EQ(c.At(4, 4), kWhite);

    Canvas e(40, 40);
    DF().DrawEdgeFrame(*e.dc, {5, 5, 35, 35}, true, true);
    EXPECT_NE(e.At(5, 20), kWhite);
    EXPECT_NE(e.At(34, 20), kWhite);
    EXPECT_EQ(e.At(20, 20), kWhite);

    Canvas f(20, 20);
    CGXSysColorCache::Instance().Update();
    GXFillSolidRect(*f.dc, {2, 2, 10, 10}, GXSysColorWord(fw::COLOR_HIGHLIGHT));
    EXPECT_EQ(f.At(5, 5), fw::GetSysColor(fw::COLOR_HIGHLIGHT));
    EXPECT_EQ(f.At(10, 10), kWhite);
    GXInvertRectClipped(*f.dc, {0, 0, 20, 20}, {15, 15, 30, 30});
    EXPECT_EQ(f.At(16, 16), kBlack);
    EXPECT_EQ(f.At(5, 5), fw::GetSysColor(fw::COLOR_HIGHLIGHT));
    GXInvertRectClipped(*f.dc, {0, 0, 5, 5}, {15, 15, 30, 30});  // apart: nothing
    EXPECT_EQ(f.At(1, 1), kWhite);

    Canvas t;
    DF().DrawFocusText(*t.dc, {0, 0, 300, 120}, false, "Hello", fw::DT_SINGLELINE);
    const QRect ink = t.Ink();
    EXPECT_NEAR(ink.center().x(), 150, 4);
    EXPECT_NEAR(ink.center().y(), 60, 6);
}

TEST(DrawHelpers, TheLibraryPatterns) {
    ASSERT_EQ(DF().GetPatternCount(), 41);
    const auto rows0 = DF().GetPatternRows(0);
    EXPECT_EQ(rows0[0], 0x44);
    EXPECT_EQ(rows0[1], 0x11);
    EXPECT_EQ(DF().GetPatternRows(40)[3], 0xff);
    for (int p = 0; p < 41; ++p) {
        Canvas c(8, 8);
        c.dc->SetTextColor(kBlack);
        c.dc->SetBkColor(kWhite);
        CGXBrush b;
        b.SetStyle(fw::BS_PATTERN).SetPattern(p);
        c.dc->FillRect({0, 0, 8, 8}, b.GetLogBrush());
        const auto rows = DF().GetPatternRows(p);
        const fw::Bitmap bitmap = DF().GetPatternBitmap(p);
        ASSERT_FALSE(bitmap.IsNull());
        EXPECT_TRUE(bitmap.SameAs(DF().GetPatternBitmap(p)));  // made once
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const bool set = (rows[static_cast<std::size_t>(y)] >> (7 - x)) & 1;
                ASSERT_EQ(c.At(x, y), set ? kWhite : kBlack) << p << " " << x << "," << y;
                ASSERT_EQ(bitmap.GetPixel(x, y), set ? kWhite : kBlack) << p;
            }
        }
    }
    EXPECT_TRUE(DF().GetPatternBitmap(41).IsNull());
}

// A 4 x 4 bitmap of four 2 x 2 quadrants: red, green / blue, black.
fw::Dib Quadrants() {
    const fw::ColorRef r = kRed, g = fw::Rgb(0, 255, 0), b = kBlue, k = kBlack;
    const auto block = gridtest::MakeDib24(4, 4, {r, r, g, g, r, r, g, g, b, b, k, k, b, b, k, k});
    return fw::Dib::Parse(block).dib;
}

TEST(DrawHelpers, DibModesAndAlignment) {
    const fw::Dib dib = Quadrants();
    ASSERT_FALSE(dib.IsNull());
    {
        Canvas c(20, 20);  // unscaled into a smaller rectangle: the top-left part
        GXDrawDIB(*c.dc, dib, {0, 0, 3, 3}, gxDibUnscaled, 0);
        EXPECT_EQ(c.At(0, 0), kRed);
        EXPECT_EQ(c.At(2, 0), fw::Rgb(0, 255, 0));
        EXPECT_EQ(c.At(0, 2), kBlue);
        EXPECT_EQ(c.At(3, 3), kWhite);
    }
    {
        Canvas c(20, 20);  // bottom flag: the bottom part
        GXDrawDIB(*c.dc, dib, {0, 0, 4, 2}, gxDibUnscaled, fw::DT_BOTTOM);
        EXPECT_EQ(c.At(0, 0), kBlue);
        EXPECT_EQ(c.At(3, 1), kBlack);
    }
    {
        Canvas c(20, 20);  // centred in a larger rectangle
        GXDrawDIB(*c.dc, dib, {0, 0, 10, 10}, gxDibUnscaled, fw::DT_CENTER | fw::DT_VCENTER);
        EXPECT_EQ(c.At(3, 3), kRed);
        EXPECT_EQ(c.At(6, 6), kBlack);
        EXPECT_EQ(c.At(2, 2), kWhite);
    }
    {
        Canvas c(20, 20);  // stretched
        GXDrawDIB(*c.dc, dib, {0, 0, 8, 8}, gxDibStretch, 0);
        EXPECT_EQ(c.At(3, 3), kRed);
        EXPECT_EQ(c.At(7, 7), kBlack);
    }
    {
        Canvas c(20, 20);  // aspect kept in a wide rectangle, right-aligned
        GXDrawDIB(*c.dc, dib, {0, 0, 16, 8}, gxDibKeepAspect, fw::DT_RIGHT);
        EXPECT_EQ(c.At(7, 4), kWhite);
        EXPECT_EQ(c.At(8, 0), kRed);
        EXPECT_EQ(c.At(15, 7), kBlack);
    }
    std::vector<std::uint8_t> header(40, 0);
    header[14] = 24;
    EXPECT_EQ(GXGetDIBColorCount(header), 0u);
    header[14] = 8;
    EXPECT_EQ(GXGetDIBColorCount(header), 256u);
    header[32] = 5;
    EXPECT_EQ(GXGetDIBColorCount(header), 5u);
}

TEST(DrawHelpers, TransparentBitmap) {
    Canvas c(10, 10);
    c.dc->FillSolidRect({0, 0, 10, 10}, kBlue);
    QImage img(2, 1, QImage::Format_RGB32);
    img.setPixel(0, 0, fw::ToPixel(kRed));
    img.setPixel(1, 0, fw::ToPixel(fw::Rgb(255, 0, 255)));
    GXDrawTransparentBitmap(*c.dc, fw::Bitmap::FromImage(img), 3, 3, fw::Rgb(255, 0, 255));
    EXPECT_EQ(c.At(3, 3), kRed);
    EXPECT_EQ(c.At(4, 3), kBlue);  // the transparent colour lets the background through
    EXPECT_EQ(c.At(2, 3), kBlue);
}

TEST(BitmapPool, ValueTextsNameResources) {
    const auto block = gridtest::MakeDib24(1, 1, {kRed});
    GXRegisterBitmapResource(GXResourceName::Id(130), block);
    GXRegisterBitmapResource(GXResourceName::Named("Logo"), block);
    CGXDIBPool pool;
    const fw::Dib* a = pool.LookupDIB("#BMP(130)");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(pool.LookupDIB("#BMP(130) and more"), a);  // the same block for the same key
    EXPECT_EQ(pool.LookupDIB("#BMP(0)"), nullptr);
    EXPECT_EQ(pool.LookupDIB("#BMP(131)"), nullptr);  // missing, and remembered as missing
    EXPECT_NE(pool.LookupDIB("#BMP(\"Logo\")"), nullptr);
    EXPECT_EQ(pool.LookupDIB("#BMP(\"Logo"), nullptr);
    EXPECT_EQ(pool.LookupDIB("plain text"), nullptr);
    EXPECT_EQ(pool.ParseBitmapKey("#BMP(130)"), "#130");
    EXPECT_EQ(pool.MakeValueText(130), "#BMP(130)");
    EXPECT_EQ(pool.MakeQuotedValueText(7), "#BMP(\"7\")");
    Canvas c(10, 10);
    EXPECT_TRUE(pool.DrawDIB(*c.dc, "#BMP(130)", {0, 0, 10, 10}, fw::DT_RIGHT | fw::DT_BOTTOM));
    EXPECT_EQ(c.At(9, 9), kRed);

    CGXDIB dib;
    EXPECT_TRUE(dib.Attach(*a));
    EXPECT_EQ(dib.GetKind(), CGXDIB::kDibBlock);
    EXPECT_EQ(dib.GetWidth(), 1);
    EXPECT_FALSE(dib.Detach().IsNull());
    EXPECT_TRUE(dib.IsNull());
    EXPECT_EQ(dib.GetKind(), CGXDIB::kBitmap);
    GXRemoveBitmapResources();
}

TEST(ChoiceList, LinesAndFields) {
    std::string list = "Key\tName\r\nb\tBravo\nA\tAlpha\rc\tCharlie";
    std::string line;
    std::string copy = list;
    EXPECT_EQ(GXExtractLine(copy, line), 8);
    EXPECT_EQ(line, "Key\tName");
    EXPECT_EQ(GXGetTabField("b\tBravo\tx", 1), "Bravo");
    EXPECT_EQ(GXGetTabField("b\tBravo", 2), "");
    EXPECT_EQ(GXGetTabField("\xc3\xa4\xc3\xa4", 0, 4), "\xc3\xa4");  // never half a character
    EXPECT_EQ(GXFindChoiceIndex(list, "a", 0, false, true, &line), 1);
    EXPECT_EQ(line, "A\tAlpha");
    EXPECT_EQ(GXFindChoiceIndex(list, "a", 0, true, true), -1);    // exact: case counts
    EXPECT_EQ(GXFindChoiceIndex(list, "Key", 0, true, true), -1);  // never the header line
    EXPECT_EQ(GXFindChoiceIndex(list, "Key", 0, true, false), 0);
    EXPECT_EQ(GXFindChoiceIndex(list, "Char", 1, false, false), 3);
    GXSortChoiceList(list, 1, true);
    EXPECT_EQ(list, "Key\tName\r\nA\tAlpha\r\nb\tBravo\r\nc\tCharlie\r\n");
    std::string noBreak = "single";
    EXPECT_EQ(GXExtractLine(noBreak, line), -1);
    EXPECT_EQ(line, "single");
}

// Every kind of line break ends one line; empty lines count; a last break adds no line.
TEST(ChoiceList, FindCountsLinesAsTheyBreak) {
    struct Case {
        const char* list;
        const char* key;
        bool exact, header;
        int index;
        const char* line;
    };
    const Case cases[] = {
        {"", "", true, false, -1, ""},
        {"a\r\n", "", true, false, -1, ""},  // the trailing break ends "a" only
        {"a\n\nb", "", true, false, 1, ""},  // an empty line between two breaks
        {"a\n\nb", "b", true, false, 2, "b"},
        {"a\n\r b", " b", true, false, 2, " b"},  // LF then CR: two breaks
        {"a\r\rb\tx", "B", false, false, 2, "b\tx"},
        {"h\r\nx\r\ny", "y", true, true, 1, "y"},  // indices after the header line
        {"h", "h", true, true, -1, ""},
        {"h\nq", "", false, true, 0, "q"},                  // an empty key begins every field
        {"k\tone\r\nk2\ttwo", "two", true, false, -1, ""},  // field 0 is asked
    };
    for (const Case& c : cases) {
        std::string line = "stale";
        EXPECT_EQ(GXFindChoiceIndex(c.list, c.key, 0, c.exact, c.header, &line), c.index)
            << c.list << " / " << c.key;
        EXPECT_EQ(line, c.line) << c.list << " / " << c.key;
    }
}

}  // namespace
