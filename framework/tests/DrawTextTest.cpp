#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/TextLayout.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace fw {
namespace {

constexpr ColorRef kTextWhite = Rgb(255, 255, 255);

LogFont TestFont() {
    LogFont f;
    f.height = -20;
    f.faceName = "DejaVu Sans";
    return f;
}

// The box of every pixel that is not the background; empty when there is none.
QRect InkBox(const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                box |= QRect(x, y, 1, 1);
    return box;
}

struct Metrics {
    int hello = 0;  // width of "Hello"
    int line = 0;   // line height
    int ave = 0;
    int x = 0;      // width of "X"
    int space = 0;  // width of " "
};

Metrics Measure() {
    QImage img(4, 4, QImage::Format_RGB32);
    DeviceContext dc(&img);
    dc.SelectFont(TestFont());
    Metrics m;
    m.hello = dc.GetTextExtent("Hello").cx;
    m.line = dc.GetTextMetrics().height;
    m.ave = dc.GetTextMetrics().aveCharWidth;
    m.x = dc.GetTextExtent("X").cx;
    m.space = dc.GetTextExtent(" ").cx;
    return m;
}

struct DrawCase {
    const char* name;
    std::string text;
    Rect rect;
    unsigned flags;
    std::function<QRect(const Metrics&)> box;  // where the glyphs must lie (cell boxes)
};

TEST(DrawText, EachFormatFlagPutsTheTextInItsBox) {
    const Metrics m = Measure();
    ASSERT_GT(m.hello, 20);
    ASSERT_GT(m.line, 15);
    const Rect r{10, 10, 310, 110};  // 300 x 100
    const DrawCase cases[] = {
        {"left top", "Hello", r, DT_LEFT | DT_TOP,
         [](const Metrics& k) { return QRect(10, 10, k.hello, k.line); }},
        {"centre", "Hello", r, DT_CENTER,
         [](const Metrics& k) { return QRect(10 + (300 - k.hello) / 2, 10, k.hello, k.line); }},
        {"right", "Hello", r, DT_RIGHT,
         [](const Metrics& k) { return QRect(310 - k.hello, 10, k.hello, k.line); }},
        {"vertical centre", "Hello", r, DT_SINGLELINE | DT_VCENTER,
         [](const Metrics& k) { return QRect(10, 10 + (100 - k.line) / 2, k.hello, k.line); }},
        {"bottom", "Hello", r, DT_SINGLELINE | DT_BOTTOM | DT_RIGHT,
         [](const Metrics& k) { return QRect(310 - k.hello, 110 - k.line, k.hello, k.line); }},
        {"line breaks", "Hello\nHello\r\nHello", r, 0,
         [](const Metrics& k) { return QRect(10, 10, k.hello, 3 * k.line); }},
        {"single line ignores breaks", "Hello\nHello", r, DT_SINGLELINE,
         [](const Metrics& k) { return QRect(10, 10, 2 * k.hello + k.space, k.line); }},
        {"word break", "Hello Hello Hello", Rect{10, 10, 10 + 3 * m.hello / 2, 110}, DT_WORDBREAK,
         [](const Metrics& k) { return QRect(10, 10, k.hello, 3 * k.line); }},
        {"clipped to the rectangle", "HelloHelloHelloHello", Rect{10, 10, 40, 110}, DT_SINGLELINE,
         [](const Metrics& k) { return QRect(10, 10, 30, k.line); }},
        {"end ellipsis", "HelloHelloHelloHello", Rect{10, 10, 110, 110},
         DT_SINGLELINE | DT_END_ELLIPSIS,
         [](const Metrics& k) { return QRect(10, 10, 100, k.line); }},
        {"tab expansion", "\tX", r, DT_EXPANDTABS,
         [](const Metrics& k) { return QRect(10 + 8 * k.ave, 10, k.x, k.line); }},
        {"tab stop width", "\tX", r, DT_EXPANDTABS | DT_TABSTOP | (2u << 8),
         [](const Metrics& k) { return QRect(10 + 2 * k.ave, 10, k.x, k.line); }},
    };
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.name);
        QImage img(400, 200, QImage::Format_RGB32);
        img.fill(0xFFFFFFFF);
        Rect rect = c.rect;
        {
            DeviceContext dc(&img);
            dc.SelectFont(TestFont());
            dc.DrawText(c.text, rect, c.flags);
        }
        QRect ink = InkBox(img);
        QRect want = c.box(m);
        ASSERT_FALSE(ink.isEmpty());
        // Glyphs lie inside their cells (a pixel of slack for rounding), and fill most of them.
        EXPECT_TRUE(want.adjusted(-1, -1, 1, 1).contains(ink))
            << "ink " << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
        EXPECT_GE(ink.width(), want.width() - 8);
        EXPECT_GE(ink.height(), want.height() - m.line / 2);
    }
}

TEST(DrawText, ClippingAndNoClip) {
    QImage img(400, 100, QImage::Format_RGB32);
    img.fill(0xFFFFFFFF);
    Rect r{10, 10, 40, 60};
    {
        DeviceContext dc(&img);
        dc.SelectFont(TestFont());
        dc.DrawText("HelloHelloHello", r, DT_SINGLELINE | DT_NOCLIP);
    }
    EXPECT_GT(InkBox(img).right(), 100);
}

TEST(DrawText, MeasureOnlyReturnsTheBoxAndDrawsNothing) {
    const Metrics m = Measure();
    QImage img(400, 200, QImage::Format_RGB32);
    img.fill(0xFFFFFFFF);
    DeviceContext dc(&img);
    dc.SelectFont(TestFont());
    Rect r{5, 7, 500, 500};
    EXPECT_EQ(dc.DrawText("Hello", r, DT_CALCRECT | DT_SINGLELINE), m.line);
    EXPECT_EQ(r, (Rect{5, 7, 5 + m.hello, 7 + m.line}));
    r = {5, 7, 5 + 3 * m.hello / 2, 7};
    EXPECT_EQ(dc.DrawText("Hello Hello Hello", r, DT_CALCRECT | DT_WORDBREAK), 3 * m.line);
    EXPECT_EQ(r, (Rect{5, 7, 5 + m.hello, 7 + 3 * m.line}));
    r = {0, 0, 500, 0};
    dc.DrawText("\tX", r, DT_CALCRECT | DT_EXPANDTABS);
    EXPECT_EQ(r.right, 8 * m.ave + m.x);
    r = {0, 0, 60, 0};
    dc.DrawText("HelloHelloHelloHello", r, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(r.right, 60);
    EXPECT_GT(r.right, 30);
    // Prefix characters do not count; "&&" is one ampersand.
    Rect a{0, 0, 500, 0}, b{0, 0, 500, 0};
    dc.DrawText("&Hello", a, DT_CALCRECT);
    dc.DrawText("Hello", b, DT_CALCRECT);
    EXPECT_EQ(a.right, b.right);
    Rect c{0, 0, 500, 0}, e{0, 0, 500, 0};
    dc.DrawText("&&Hello", c, DT_CALCRECT);
    dc.DrawText("&Hello", e, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(c.right, e.right);
    EXPECT_GT(c.right, b.right);
    dc.Flush();
    EXPECT_TRUE(InkBox(img).isEmpty());
}

// One context that goes back and forth between fonts and scales measures every text as a
// fresh context with only that font and scale does: nothing measured before leaks into it.
TEST(TextMeasure, SwitchingFontsAndScalesMeasuresAsAFreshContext) {
    struct Setting {
        int height;
        int scale;  // viewport per window unit
    };
    const Setting settings[] = {{-20, 1}, {-9, 1}, {-20, 2}, {-9, 1}, {-20, 1}};
    const std::string texts[] = {"Hello", "192.168.1.1", "Hello", "W"};
    auto prepare = [](DeviceContext& dc, const Setting& s) {
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(100, 100);
        dc.SetViewportExt(100 * s.scale, 100 * s.scale);
        LogFont f = TestFont();
        f.height = s.height;
        dc.SelectFont(f);
    };
    QImage shared(4, 4, QImage::Format_RGB32);
    DeviceContext dc(&shared);
    for (const Setting& s : settings) {
        prepare(dc, s);
        QImage img(4, 4, QImage::Format_RGB32);
        DeviceContext fresh(&img);
        prepare(fresh, s);
        for (const std::string& text : texts) {
            EXPECT_EQ(dc.GetTextExtent(text), fresh.GetTextExtent(text))
                << text << " at " << s.height << " x" << s.scale;
            EXPECT_EQ(dc.GetTextMetrics().height, fresh.GetTextMetrics().height);
            EXPECT_EQ(dc.GetTextMetrics().aveCharWidth, fresh.GetTextMetrics().aveCharWidth);
        }
    }
    // The measures differ between the settings, so that the comparison above can fail.
    prepare(dc, settings[0]);
    const Size large = dc.GetTextExtent("Hello");
    prepare(dc, settings[1]);
    EXPECT_LT(dc.GetTextExtent("Hello").cx, large.cx);
    EXPECT_LT(dc.GetTextMetrics().height, large.cy);
}

TEST(DrawText, PrefixUnderlinesItsCharacterAndOpaqueModeFillsTheLine) {
    const Metrics m = Measure();
    QImage img(200, 60, QImage::Format_RGB32);
    img.fill(0xFFFFFFFF);
    int ascent = 0;
    {
        DeviceContext dc(&img);
        dc.SelectFont(TestFont());
        ascent = dc.GetTextMetrics().ascent;
        Rect r{0, 0, 200, 60};
        dc.SetBkMode(TRANSPARENT);
        dc.DrawText("&Hello", r, 0);
    }
    // The underline is a full row under the H only.
    int y = ascent + 1, underline = 0;
    for (int x = 0; x < 200; ++x)
        if ((img.pixel(x, y) & 0xFFFFFF) == 0)
            ++underline;
    EXPECT_GE(underline, 8);
    EXPECT_LT(underline, m.hello / 2);

    img.fill(0xFFFFFFFF);
    {
        DeviceContext dc(&img);
        dc.SelectFont(TestFont());
        dc.SetBkColor(Rgb(0, 0, 255));
        Rect r{0, 0, 200, 60};
        dc.DrawText("Hello", r, 0);
    }
    EXPECT_EQ(InkBox(img), QRect(0, 0, m.hello, m.line));
    EXPECT_EQ(FromPixel(img.pixel(m.hello - 1, m.line - 1)), Rgb(0, 0, 255));
}

TEST(TextLayout, BreaksLinesBetweenWordsAndCutsLongWords) {
    auto measure = [](QStringView s) { return static_cast<int>(s.size()) * 10; };  // 10 per char
    text::LayoutOptions opt;
    opt.width = 55;
    opt.wordBreak = true;
    auto lines = text::BreakLines(QStringLiteral("ab cd  efghijklm\nx\n"), measure, opt);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].start, 0);  // "ab cd"
    EXPECT_EQ(lines[0].length, 5);
    EXPECT_EQ(lines[1].start, 7);  // "efghi": a word wider than the room is cut
    EXPECT_EQ(lines[1].length, 5);
    EXPECT_EQ(lines[2].length, 4);  // "jklm"
    EXPECT_EQ(lines[3].length, 1);  // "x"
    EXPECT_EQ(lines[4].length, 0);  // empty last line after the final break
    EXPECT_EQ(text::MeasureTabbed(u"a\tb", measure, 40), 50);
    EXPECT_EQ(text::Ellipsize(u"abcdefgh", measure, 55), QStringLiteral("ab..."));
    auto p = text::StripPrefix(QStringLiteral("a&&b&cd&"));
    EXPECT_EQ(p.text, QStringLiteral("a&bcd"));
    EXPECT_EQ(p.underline, 3);
}

TEST(TextOut, AlignsOnTheReferencePointAndMeasuresInLogicalUnits) {
    QImage img(300, 100, QImage::Format_RGB32);
    img.fill(0xFFFFFFFF);
    DeviceContext dc(&img);
    dc.SelectFont(TestFont());
    dc.SetBkMode(TRANSPARENT);
    TextMetrics tm = dc.GetTextMetrics();
    EXPECT_EQ(tm.height, tm.ascent + tm.descent);
    EXPECT_TRUE(tm.pitchAndFamily & TMPF_VARIABLE_PITCH);
    dc.SetTextAlign(TA_RIGHT | TA_BASELINE);
    dc.TextOut(200, 50, "Hello");
    dc.Flush();
    QRect ink = InkBox(img);
    EXPECT_LE(ink.right(), 200);
    EXPECT_GE(ink.right(), 195);
    EXPECT_LE(ink.bottom(), 50);
    EXPECT_GE(ink.bottom(), 47);

    // A positive height asks for the cell height.
    LogFont cell = TestFont();
    cell.height = 30;
    dc.SelectFont(cell);
    EXPECT_LE(dc.GetTextMetrics().height, 30);
    EXPECT_GE(dc.GetTextMetrics().height, 28);

    const int cellHeight = dc.GetTextMetrics().height;

    // At 200 % the same logical text measures the same in logical units.
    Size plain = dc.GetTextExtent("Hello");
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(1, 1);
    dc.SetViewportExt(2, 2);
    Size zoomed = dc.GetTextExtent("Hello");
    EXPECT_NEAR(zoomed.cx, plain.cx, 2);
    EXPECT_NEAR(zoomed.cy, plain.cy, 1);
    // The metrics follow the zoom and the font selected, asked for again and again.
    EXPECT_NEAR(dc.GetTextMetrics().height, cellHeight, 1);
    dc.SelectFont(TestFont());
    EXPECT_NEAR(dc.GetTextMetrics().height, tm.height, 1);
}

}  // namespace
}  // namespace fw
