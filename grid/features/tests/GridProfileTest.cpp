#include "framework/persist/Profile.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/CGXSysColorCache.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXGridProfileImp.h"
#include "grid/features/CGXStyleSerializeImp.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

// Runs each case against both stores: the key store and an ini file, in a temporary folder.
class GridProfileTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        InstallProfileImp();
        CGXSysColorCache::Instance().Update();
        fw::SetAppProfile(GetParam() ? fw::Profile::InKeyStore("Ixo", "GridTest", dir_ / "u.keys")
                                     : fw::Profile::InIniFile(dir_ / "GridTest.ini"));
    }
    void TearDown() override {
        GXTerminateLibrary();
        fw::SetAppProfile(fw::Profile::InIniFile(dir_ / "unused.ini"));
    }
    static fw::Profile& Profile() { return fw::AppProfile(); }
    static std::string Sub(const char* section, const char* name) {
        return std::string(section) + (Profile().UsesKeyStore() ? "\\" : ".") + name;
    }

    ixo::testsupport::TempDir dir_;
};

TEST_P(GridProfileTest, AStyleWritesItsKeysAndReadsBack) {
    CGXStyle s;
    s.SetHorizontalAlignment(2).SetVerticalAlignment(4).SetReadOnly(true).SetMaxLength(12);
    s.SetTextColor(fw::Rgb(10, 20, 30)).SetValue("hello").SetFormat(3).SetPlaces(2);
    s.SetBorders(gxBorderTop, CGXPen(1, 2, fw::Rgb(255, 0, 0)));
    s.SetChoiceList("a\\b\nc");
    s.WriteProfile("Cell", "");
    const struct {
        const char* key;
        const char* value;
    } keys[] = {
        {"HorizontalAlignment", "2"},
        {"VerticalAlignment", "4"},
        {"ReadOnly", "1"},
        {"MaxLength", "12"},
        {"TextColor", "10 20 30"},
        {"Value", "hello"},
        {"Format", "3"},
        {"Places", "2"},
        {"ChoicesList", "a\\\\b\\nc"},
        {"Borders", "1"},
        {"Top", "1 2 255 0 0 0"},
        {"Left", ""},
        {"WrapText", ""},
    };
    for (const auto& k : keys)
        EXPECT_EQ(Profile().GetProfileString("Cell", k.key), k.value) << k.key;

    CGXStyle back;
    back.SetEnabled(false);  // reading frees the style first
    ASSERT_TRUE(back.ReadProfile("Cell", ""));
    EXPECT_FALSE(back.GetIncludeEnabled());
    EXPECT_EQ(back.GetHorizontalAlignment(), 2u);
    EXPECT_EQ(back.GetVerticalAlignment(), 4u);
    EXPECT_TRUE(back.GetReadOnly());
    EXPECT_EQ(back.GetTextColor(), fw::Rgb(10, 20, 30));
    EXPECT_EQ(back.GetValue(), "hello");
    EXPECT_EQ(back.GetChoiceList(), "a\\b\r\nc");
    EXPECT_TRUE(back.HasBorder(gxBorderTop));
    EXPECT_FALSE(back.HasBorder(gxBorderLeft));
    EXPECT_EQ(back.GetBorders(gxBorderTop).GetColor(), fw::Rgb(255, 0, 0));

    // An empty style deletes every key it wrote.
    CGXStyle().WriteProfile("Cell", "");
    for (const auto& k : keys) EXPECT_EQ(Profile().GetProfileString("Cell", k.key), "") << k.key;
}

TEST_P(GridProfileTest, ValuesThatDoNotParseLeaveTheirMembers) {
    Profile().WriteProfileString("Cell", "TextColor", std::string_view("1 2"));
    Profile().WriteProfileString("Grid", "Margins", std::string_view(" 10, 20"));
    Profile().WriteProfileString("Grid", "Distances", std::string_view("5 6"));
    CGXStyle s;
    ASSERT_TRUE(s.ReadProfile("Cell", ""));
    EXPECT_FALSE(s.GetIncludeTextColor());
    CGXProperties p;
    ASSERT_TRUE(p.ReadProfile());
    EXPECT_EQ(p.m_nTopMargin, 10);
    EXPECT_EQ(p.m_nLeftMargin, 20);
    EXPECT_EQ(p.m_nBottomMargin, 144);  // kept
    EXPECT_EQ(p.m_nRightMargin, 96);
    EXPECT_EQ(p.m_nHeaderDistance, 5);  // no comma: the footer distance stays
    EXPECT_EQ(p.m_nFooterDistance, 38);
}

TEST_P(GridProfileTest, TheDecodingOfAChoiceListIsOnePassFromTheLeft) {
    // A doubled backslash before an n is a backslash and an n, not a line break.
    EXPECT_EQ(CGXGridProfileImp::DecodeChoiceList("x\\\\ny"), "x\\ny");
    EXPECT_EQ(CGXGridProfileImp::DecodeChoiceList("x\\ny\\"), "x\r\ny\\");
    EXPECT_EQ(CGXGridProfileImp::EncodeChoiceList("x\r\ny"), "x\\ny");
}

TEST_P(GridProfileTest, AStylesMapRoundTripsWithALongListOfStyles) {
    CGXStylesMap map;
    map.CreateStandardStyles();
    // Enough styles that their names take more than 1023 bytes (50 of 34 or 35).
    for (int i = 0; i < 50; ++i) {
        CGXStyle s;
        s.SetValue("v" + std::to_string(i));
        map.RegisterStyle("A rather long style name number " + std::to_string(i), s, false);
    }
    CGXStyle derived;
    derived.SetBaseStyle(map.GetStyleIdFromName("A rather long style name number 7"));
    map.RegisterStyle("Derived", derived, false);
    map.WriteProfile();
    EXPECT_EQ(Profile().GetProfileString(Sub("Styles", "Derived"), "BaseStyle"),
              "A rather long style name number 7");
    EXPECT_EQ(Profile().GetProfileString(Sub("Styles", "#52768"), "VerticalAlignment"), "0");

    CGXStylesMap back;
    ASSERT_TRUE(back.ReadProfile());
    EXPECT_EQ(back.Styles().size(), map.Styles().size());
    const CGXStyle* s = nullptr;
    ASSERT_TRUE(back.LookupStyle(back.GetStyleIdFromName("A rather long style name number 49"), s));
    EXPECT_EQ(s->GetValue(), "v49");
    ASSERT_TRUE(back.LookupStyle(back.GetStyleIdFromName("Derived"), s));
    EXPECT_EQ(s->GetBaseStyle(), back.GetStyleIdFromName("A rather long style name number 7"));
    EXPECT_NE(back.GetStyleIdFromResource(GX_IDS_STYLE_STANDARD), GX_NO_STYLE_ID);
    ASSERT_TRUE(back.LookupStyle(back.m_wStyleStandard, s));
    EXPECT_TRUE(s->GetIncludeHorizontalAlignment());  // completed from the default style
}

TEST_P(GridProfileTest, AMissingStylesSectionLeavesTheMap) {
    CGXStylesMap map;
    map.RegisterStyle("Mine", CGXStyle(), false);
    EXPECT_FALSE(map.ReadProfile());
    EXPECT_EQ(map.Styles().size(), 1u);
}

TEST_P(GridProfileTest, PropertiesRoundTrip) {
    CGXProperties p;
    EXPECT_FALSE(p.ReadProfile());  // no section yet
    p.m_bMarkRowHeader = false;
    p.Set3dButtons(true);
    p.m_nPageOrder = 1;
    p.SetBlackWhite(false);
    p.m_bCenterHorizontal = false;
    p.m_nTopMargin = 11;
    p.m_nRightMargin = 44;
    p.m_nFirstPage = 5;
    p.m_nFooterDistance = 9;
    p.m_userProperties[3] = {"Owner", std::make_unique<CGXStyle>()};
    p.m_userProperties[3].style->SetValue("me");
    p.WriteProfile();
    EXPECT_EQ(Profile().GetProfileString("Grid", "Margins"), "11,96,144,44");
    EXPECT_EQ(Profile().GetProfileString("Grid", "Distances"), "38,9");
    EXPECT_EQ(Profile().GetProfileString("Grid", "UP3"), "me");
    EXPECT_EQ(Profile().GetProfileString("Grid", "Print Only Black&White"), "0");

    CGXProperties back;
    back.m_userProperties[3] = {"Owner", std::make_unique<CGXStyle>()};
    back.m_userProperties[4] = {"Other", std::make_unique<CGXStyle>()};
    back.m_userProperties[4].style->SetValue("old");
    ASSERT_TRUE(back.ReadProfile());
    EXPECT_FALSE(back.m_bMarkRowHeader);
    EXPECT_TRUE(back.m_bMarkColHeader);
    EXPECT_TRUE(back.Get3dButtons());
    EXPECT_EQ(back.m_nPageOrder, 1);
    EXPECT_FALSE(back.m_bCenterHorizontal);
    EXPECT_EQ(back.m_nTopMargin, 11);
    EXPECT_EQ(back.m_nRightMargin, 44);
    EXPECT_EQ(back.m_nFirstPage, 5);
    EXPECT_EQ(back.m_nFooterDistance, 9);
    EXPECT_EQ(back.m_userProperties[3].style->GetValue(), "me");
    EXPECT_EQ(back.m_userProperties[4].style->GetValue(), "");  // missing key: empty text
}

INSTANTIATE_TEST_SUITE_P(Stores, GridProfileTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "KeyStore" : "IniFile"; });

}  // namespace
