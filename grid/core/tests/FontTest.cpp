#include "grid/core/CGXFont.h"
#include "grid/core/CGXFontFaceTable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FontEncoding, SizeWeightAndOrientationCodes) {
    const struct {
        double points;
        double stored;
    } sizes[] = {{8, 8}, {10.6, 10.5}, {-12, 12}, {300, 255.75}, {0.1, 0}};
    for (const auto& c : sizes) {
        CGXFont f;
        f.SetSize(c.points);
        EXPECT_EQ(f.GetSize(), c.stored) << c.points;
        EXPECT_EQ(f.GetIncludeSize(), c.stored != 0) << c.points;
    }
    EXPECT_EQ(GXEncodeFontSize(300), 1023u);

    const struct {
        int tenths;
        int stored;
    } angles[] = {{900, 900}, {-10, 3590}, {-900, 2700}, {3600, 0}, {5, 0}};
    for (const auto& c : angles) {
        CGXFont f;
        f.SetOrientation(c.tenths);
        EXPECT_TRUE(f.GetIncludeOrientation()) << c.tenths;
        EXPECT_EQ(f.GetOrientation(), c.stored) << c.tenths;
    }
    CGXFont f;
    EXPECT_TRUE(f.IsEmpty());
    f.SetWeight(700);
    EXPECT_EQ(f.GetWeight(), 700);
    f.SetIncludeWeight(false);
    EXPECT_FALSE(f.GetIncludeWeight());
    f.SetItalic(false);
    EXPECT_TRUE(f.GetIncludeItalic());
    EXPECT_FALSE(f.GetItalic());
}

TEST(FontLogFont, RoundTripAtScreenResolution) {
    CGXFont f;
    f.SetFaceName("DejaVu Sans").SetSize(8).SetWeight(700).SetItalic(true).SetOrientation(900);
    const fw::LogFont& lf = f.GetLogFont();
    EXPECT_EQ(lf.height, -11);  // 8 points at 96 pixels per inch, rounded
    EXPECT_EQ(lf.weight, 700);
    EXPECT_TRUE(lf.italic);
    EXPECT_EQ(lf.escapement, 900);
    EXPECT_EQ(lf.faceName, "DejaVu Sans");
    EXPECT_EQ(f.GetLogFontZoomed(200).height, -22);

    CGXFont back(lf);
    EXPECT_EQ(back.GetSize(), 8.25);  // 11 pixels are 8.25 points
    EXPECT_EQ(back.GetWeight(), 700);
    EXPECT_EQ(back.GetFaceIndex(), f.GetFaceIndex());

    fw::LogFont greek;
    greek.faceName = "DejaVu Sans";
    greek.charSet = 161;
    CGXFont g(greek);
    EXPECT_STREQ(g.GetFaceName(), "DejaVu Sans (Greek)");
    EXPECT_EQ(g.GetLogFont().faceName, "DejaVu Sans");
    EXPECT_EQ(g.GetLogFont().charSet, 161);
}

TEST(FontLogFont, SharedDataFollowsChanges) {
    CGXFont a;
    a.SetSize(10);
    const int h10 = a.GetLogFont().height;
    CGXFont b(a);   // shares the data
    b.SetSize(20);  // copy on write: a keeps its own
    EXPECT_EQ(a.GetLogFont().height, h10);
    EXPECT_EQ(h10, -13);
    EXPECT_EQ(b.GetLogFont().height, -27);
    a = b;
    EXPECT_EQ(a.GetLogFont().height, b.GetLogFont().height);
}

TEST(FontMerge, ChangeFontAndSubset) {
    CGXFont base;
    base.SetWeight(400).SetSize(10);
    CGXFont more;
    more.SetWeight(700).SetUnderline(true);
    CGXFont o = base;
    o.ChangeFont(more, gxOverride);
    EXPECT_EQ(o.GetWeight(), 700);
    EXPECT_TRUE(o.GetUnderline());
    CGXFont a = base;
    a.ChangeFont(more, gxApplyNew);
    EXPECT_EQ(a.GetWeight(), 400);
    EXPECT_TRUE(a.GetIncludeUnderline());
    CGXFont x = o;
    x.ChangeFont(more, gxExclude);
    EXPECT_FALSE(x.GetIncludeWeight());
    EXPECT_EQ(x.GetSize(), 10);

    EXPECT_TRUE(o.IsSubSet(more));
    EXPECT_FALSE(base.IsSubSet(more));
    EXPECT_TRUE(base.IsSubSet(CGXFont()));
}

TEST(FontFaceTable, IndicesUntilTheTableIsFull) {
    CGXFontFaceTable table;  // a private table, not enumerated
    EXPECT_EQ(table.FindOrAddFace(""), CGXFontFaceTable::kNoFace);
    EXPECT_EQ(table.FindOrAddFace("Arial"), 0);
    EXPECT_EQ(table.FindOrAddFace("Unknown Face"), 1);
    EXPECT_EQ(table.FindOrAddFace("Arial"), 0);
    for (int i = 2; i < CGXFontFaceTable::kMaxFaces; ++i)
        ASSERT_EQ(table.FindOrAddFace("Face " + std::to_string(i)), i);
    EXPECT_EQ(table.FindOrAddFace("One Too Many"), CGXFontFaceTable::kNoFace);
    EXPECT_EQ(table.FindOrAddFace("Face 7"), 7);
    ASSERT_NE(table.GetFace(1), nullptr);
    EXPECT_EQ(table.GetFace(1)->name, "Unknown Face");
    EXPECT_EQ(table.GetFace(1023), nullptr);

    // The process-wide table gives Arial the first index.
    EXPECT_EQ(GXGetFontFaceIndex("Arial"), 0);
    EXPECT_STREQ(GXGetFontFaceName(0), "Arial");
    EXPECT_EQ(GXGetFontFaceName(5000), nullptr);
}

}  // namespace
