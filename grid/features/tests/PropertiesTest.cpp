#include "framework/drawing/DeviceContext.h"
#include "framework/persist/Profile.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/CGXSysColorCache.h"
#include "grid/core/GXColor.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXGridParamCopyOperatorImp.h"
#include "grid/features/CGXGridProfileImp.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <sstream>

namespace {

class PropertiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXAddLibraryStrings();
        CGXSysColorCache::Instance().Update();
        fw::SetScreenDpi(96);
    }
    void TearDown() override { GXTerminateLibrary(); }
};

TEST_F(PropertiesTest, ANewObjectHasTheNamedColoursTokensAndPageDefaults) {
    CGXProperties p;
    const char* names[] = {"Grid Lines", "Fixed Lines", "Tracking Line", "Dragging Line",
                           "Background"};
    ASSERT_EQ(p.GetColorCount(), 5u);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(p.GetColorName(i), names[i]) << i;
    // The background is the button face (system colour 15) in the library's system-colour form.
    EXPECT_EQ(p.GetColor(GX_COLOR_BACKGROUND) >> 24, 0xEFu);
    EXPECT_EQ(p.GetColor(GX_COLOR_BACKGROUND) & 0xFFFFFFu, GXGetSysColor(15) & 0xFFFFFFu);
    EXPECT_EQ(p.GetColor(5), 0u);
    EXPECT_EQ(p.GetTokens(), (std::vector<std::string>{"$F", "$A", "$P", "$N", "$D", "$R"}));
    EXPECT_EQ(p.m_nTopMargin, 144);  // 1.5 inch at 96 per inch
    EXPECT_EQ(p.m_nLeftMargin, 96);
    EXPECT_EQ(p.m_nBottomMargin, 144);
    EXPECT_EQ(p.m_nRightMargin, 96);
    EXPECT_EQ(p.m_nHeaderDistance, 38);  // 0.4 inch, truncated
    EXPECT_EQ(p.m_nFooterDistance, 38);
    EXPECT_EQ(p.m_nFirstPage, -1);
    EXPECT_EQ(p.m_sSection, "Grid");
    EXPECT_TRUE(p.GetBlackWhite());
    EXPECT_FALSE(p.GetPrinting());

    CGXStyle s;
    ASSERT_TRUE(p.GetDataHeader().GetStyleAt(1, 2, s, gxCopy, 0));
    EXPECT_EQ(s.GetValue(), "$R");
    EXPECT_EQ(s.GetFont().GetWeight(), 700);
    EXPECT_EQ(s.GetFont().GetSize(), 16.0);
    ASSERT_TRUE(p.GetDataFooter().GetStyleAt(1, 1, s, gxCopy, 0));
    EXPECT_EQ(s.GetValue(), "$D");
    ASSERT_TRUE(p.GetDataFooter().GetStyleAt(1, 3, s, gxCopy, 0));
    EXPECT_EQ(s.GetValue(), "$P/$N");
    EXPECT_EQ(p.GetDataFooter().GetRowCount(), 10u);
    EXPECT_EQ(p.GetDataFooter().GetColCount(), 3u);

    // Margins follow the screen's resolution.
    fw::SetScreenDpi(120);
    CGXProperties wide;
    EXPECT_EQ(wide.m_nTopMargin, 180);
    EXPECT_EQ(wide.m_nHeaderDistance, 48);
}

TEST_F(PropertiesTest, AddingAColourNameTwiceKeepsTheFirstIndexAndValue) {
    CGXProperties p;
    EXPECT_EQ(p.AddColorName("Fixed Lines", fw::Rgb(1, 2, 3)), GX_COLOR_FIXEDLINES);
    EXPECT_EQ(p.GetColor(GX_COLOR_FIXEDLINES), fw::Rgb(0, 0, 0));
    EXPECT_EQ(p.AddColorName("fixed lines", fw::Rgb(1, 2, 3)), 5u);  // case-sensitive
    EXPECT_EQ(p.GetColor(5), fw::Rgb(1, 2, 3));
    // An id without a text gets a generated name.
    EXPECT_EQ(p.AddColorProperty(4242, 7), 6u);
    EXPECT_EQ(p.GetColorName(6), "COLOR4242");
}

TEST_F(PropertiesTest, UserPropertiesKeepOneCloneAndAnEmptyStyleForMissingIds) {
    CGXProperties p;
    EXPECT_FALSE(p.GetUserProperty(99).GetIncludeValue());
    CGXStyle first;
    first.SetValue(std::string_view("one"));
    p.AddUserProperty(99, first);
    CGXStyle second;
    second.SetValue(std::string_view("two"));
    CGXProperties::UserProperty& e = p.AddUserProperty(99, second);
    second.SetValue(std::string_view("changed after adding"));
    EXPECT_EQ(p.m_userProperties.size(), 1u);
    EXPECT_EQ(e.name, "USERPROP99");
    EXPECT_EQ(p.GetUserProperty(99).GetValue(), "two");

    p.AddDefaultUserProperties();
    const CGXStyle& cc = p.GetUserProperty(GX_IDS_UA_CURRENTCELL);
    EXPECT_EQ(p.m_userProperties.at(GX_IDS_UA_CURRENTCELL).name, "Current Cell.");
    EXPECT_EQ(cc.GetControl(), 52529u);
    EXPECT_EQ(cc.GetValue(), "Invert Thin.");
    EXPECT_EQ(cc.GetChoiceList(),
              "Invert Thin.\nInvert Thick.\nThin Border.\nThick Border.\nNo Border.");
}

std::string Strftime(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[256];
    return std::string(buf, std::strftime(buf, sizeof buf, format, &local));
}

TEST_F(PropertiesTest, TokensExpandInAnyCaseWithDateArguments) {
    CGXProperties p;
    p.SetTokenValue(GX_TOKEN_PAGE, "3");
    p.SetTokenValue(GX_TOKEN_PAGES, "12");
    p.SetTokenValue(GX_TOKEN_REGISTER, "Sheet");
    const struct {
        const char* text;
        std::string expected;
    } cases[] = {
        {"$P/$N", "3/12"},
        {"page $p of $n", "page 3 of 12"},
        {"$r: $F.", "Sheet: ."},  // no document title
        {"cost $5", "cost $5"},   // a "$" that starts no token stays
        {"$D{%Y}", Strftime("%Y")},
        {"$d{%Y", Strftime("%c") + "{%Y"},  // an unclosed argument stays text
        {"$D{}x", Strftime("%c") + "x"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(p.SubstTokenText(c.text), c.expected) << c.text;
    // A format that expands past 255 characters gives an empty text.
    EXPECT_EQ(p.SubstTokenText("$D{" + std::string(200, 'x') + "%c%c%c}"), "");
    // Tokens added later expand after the standard ones.
    const std::size_t i = p.AddToken("$Company");
    p.SetTokenValue(i, "Ixo");
    EXPECT_EQ(i, 6u);
    EXPECT_EQ(p.SubstTokenText("$COMPANY"), "Ixo");
}

TEST_F(PropertiesTest, WithoutTheirComponentsCopyAndProfileDoNothing) {
    CGXProperties a;
    a.m_nPageOrder = 1;
    CGXProperties b(a);
    EXPECT_EQ(b.m_nPageOrder, 0);
    a.WriteProfile();
    EXPECT_FALSE(a.ReadProfile());
}

TEST_F(PropertiesTest, ACopyIsDeepWithItsColourNamesAndUserProperties) {
    InstallParamCopyOperatorImp();
    CGXProperties a;
    a.AddDefaultUserProperties();
    a.AddColorName("Selection", fw::Rgb(9, 9, 9));
    a.m_nPageOrder = 1;
    a.m_awColBreaks = {1, 7};
    CGXProperties b(a);
    EXPECT_EQ(b.m_nPageOrder, 1);
    EXPECT_EQ(b.GetColorName(5), "Selection");
    EXPECT_EQ(b.GetColor(5), fw::Rgb(9, 9, 9));
    EXPECT_EQ(b.m_awColBreaks, (std::vector<std::uint32_t>{1, 7}));
    a.GetUserProperty(GX_IDS_UA_CURRENTCELL).SetValue(std::string_view("No Border."));
    EXPECT_EQ(b.GetUserProperty(GX_IDS_UA_CURRENTCELL).GetValue(), "Invert Thin.");
}

// The properties' keys in an ini file, where the written text can be read back whole.
class PropertiesProfileTest : public PropertiesTest {
protected:
    void SetUp() override {
        PropertiesTest::SetUp();
        InstallProfileImp();
        fw::SetAppProfile(fw::Profile::InIniFile(dir_ / "grid.ini"));
    }
    void TearDown() override {
        fw::SetAppProfile(fw::Profile::InIniFile(dir_ / "unused.ini"));
        PropertiesTest::TearDown();
    }
    std::string IniText() const {
        std::ifstream in(dir_ / "grid.ini", std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    ixo::testsupport::TempDir dir_;
};

TEST_F(PropertiesProfileTest, WritesEveryKeyInItsOrder) {
    CGXProperties p;
    p.AddDefaultUserProperties();
    p.SetColor(GX_COLOR_GRIDLINES, fw::Rgb(1, 2, 3));
    p.SetMarkRowHeader(false);
    p.m_nPageOrder = 1;
    p.WriteProfile();
    const unsigned long bg = 0xEF000000ul | (GXGetSysColor(15) & 0xFFFFFFu);
    const std::string expected =
        "[Grid]\n"
        "Grid Lines=197121\n"  // 0x00030201
        "Fixed Lines=0\n"
        "Tracking Line=8421504\n"
        "Dragging Line=0\n"
        "Background=" +
        std::to_string(bg) +
        "\n"
        "MarkColumnHeader=1\n"
        "MarkRowHeader=0\n"
        "3dHeader=0\n"
        "HorizontalLines=1\n"
        "VerticalLines=1\n"
        "UP51005=Invert Thin.\n"
        "Page Order=1\n"
        "Print Vertical Lines=1\n"
        "Print Horizontal Lines=1\n"
        "Print Only Black&White=1\n"
        "Print Row Headers=1\n"
        "Print Column Headers=1\n"
        "Center Vertical=0\n"
        "Center Horizontal=1\n"
        "Print Frame=1\n"
        "Margins=144,96,144,96\n"
        "Start Page Numbering=-1\n"
        "Distances=38,38\n";
    EXPECT_EQ(IniText(), expected);
}

TEST_F(PropertiesProfileTest, ColoursAndTheChoiceRoundTripInTheirOwnSection) {
    CGXProperties out;
    out.m_sSection = "Sheet Settings";
    out.AddDefaultUserProperties();
    out.GetUserProperty(GX_IDS_UA_CURRENTCELL).SetValue(std::string_view("Thick Border."));
    out.SetColor(GX_COLOR_DRAGGINGLINE, fw::Rgb(10, 20, 30));
    out.SetColor(GX_COLOR_BACKGROUND, GXStoredColor{5, GX_COLOR_KIND_SYSTEM}.Word());
    out.WriteProfile();

    CGXProperties in;
    in.AddDefaultUserProperties();
    EXPECT_FALSE(in.ReadProfile());  // "Grid" was never written
    in.m_sSection = "Sheet Settings";
    ASSERT_TRUE(in.ReadProfile());
    EXPECT_EQ(in.Colors(), out.Colors());
    EXPECT_EQ(in.GetUserProperty(GX_IDS_UA_CURRENTCELL).GetValue(), "Thick Border.");
}

}  // namespace
