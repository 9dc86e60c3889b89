#include "framework/persist/Profile.h"
#include "framework/persist/RecentFileList.h"
#include "testsupport/TempDir.h"

#include "os/KeyStore.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fw {
namespace {

class ProfileTest : public testing::Test {
protected:
    // The same calls against both stores.
    static void RoundTrip(Profile& p) {
        EXPECT_EQ(p.GetProfileInt("Settings", "Col0", -1), -1);
        EXPECT_EQ(p.GetProfileString("Settings", "Name", "none"), "none");
        ASSERT_TRUE(p.WriteProfileInt("Settings", "Col0", 120));
        ASSERT_TRUE(p.WriteProfileInt("Settings", "WndTop", -5));
        ASSERT_TRUE(p.WriteProfileString("Settings", "Name", "Grid 1"));
        const std::uint8_t block[] = {0x00, 0xFF, 0x1A};
        ASSERT_TRUE(p.WriteProfileBinary("Settings", "Placement", block));
        EXPECT_EQ(p.GetProfileInt("Settings", "Col0", -1), 120);
        EXPECT_EQ(p.GetProfileInt("settings", "wndtop", 0), -5);  // names ignore case
        EXPECT_EQ(p.GetProfileString("Settings", "Name"), "Grid 1");
        EXPECT_EQ(p.GetProfileBinary("Settings", "Placement"),
                  (std::vector<std::uint8_t>{0x00, 0xFF, 0x1A}));
        EXPECT_FALSE(p.GetProfileBinary("Settings", "Missing"));
        EXPECT_TRUE(p.SectionExists("Settings"));
        EXPECT_EQ(p.EntryNames("Settings").size(), 4u);

        EXPECT_TRUE(p.WriteProfileString("Settings", "Name", nullptr));  // null value: delete
        EXPECT_EQ(p.GetProfileString("Settings", "Name", "gone"), "gone");
        EXPECT_TRUE(p.WriteProfileString("Settings", nullptr, nullptr));  // null entry: section
        EXPECT_FALSE(p.SectionExists("Settings"));
        EXPECT_EQ(p.GetProfileInt("Settings", "Col0", 7), 7);
    }

    ixo::testsupport::TempDir dir_;
};

TEST_F(ProfileTest, KeyStoreRoundTripUnderTheProgramsKey) {
    Profile p = Profile::InKeyStore("Ixo", "Quillon", dir_ / "user.keys");
    EXPECT_TRUE(p.UsesKeyStore());
    RoundTrip(p);
    p.WriteProfileInt("Settings", "MainBorderWidth", 8);
    p.WriteProfileString("Styles\\Standard", "Interior", "0 0 255 255 255");
    // Where the values live, seen through the key store itself.
    os::KeyStore store(dir_ / "user.keys");
    std::uint32_t v = 0;
    EXPECT_EQ(store.GetU32("Software\\Ixo\\Quillon\\Settings", "MainBorderWidth", v),
              os::KeyStatus::Ok);
    EXPECT_EQ(v, 8u);
    EXPECT_EQ(p.SubsectionNames("Styles"), (std::vector<std::string>{"Standard"}));
}

TEST_F(ProfileTest, IniFileRoundTripAndItsText) {
    Profile p = Profile::InIniFile(dir_ / "Tessaly.ini");
    EXPECT_FALSE(p.UsesKeyStore());
    RoundTrip(p);
    p.WriteProfileInt("Settings", "Col0", 120);
    const std::uint8_t block[] = {0x01, 0xAB};
    p.WriteProfileBinary("Settings", "Block", block);
    std::ifstream in(dir_ / "Tessaly.ini");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("[Settings]"), std::string::npos);
    EXPECT_NE(text.str().find("Col0=120"), std::string::npos);
    EXPECT_NE(text.str().find("Block=01AB"), std::string::npos);
    EXPECT_TRUE(p.SubsectionNames("Settings").empty());
}

TEST_F(ProfileTest, RecentFilesKeepTheNewestFirst) {
    Profile p = Profile::InIniFile(dir_ / "Tessaly.ini");
    RecentFileList list(3);
    list.Add("/data/a.wov");
    list.Add("/data/b&c.wov");
    list.Add("/data/x/../a.wov");  // the same file moves to the top
    list.Add("/data/d.wov");
    list.Add("/data/e.wov");
    ASSERT_EQ(list.Size(), 3u);
    EXPECT_EQ(list[0], "/data/e.wov");
    EXPECT_EQ(list[2], "/data/a.wov");
    EXPECT_EQ(list.MenuText(1), "&2 /data/d.wov");
    EXPECT_EQ(list.MenuText(0, 8), "&1 ...e.wov");
    ASSERT_TRUE(list.WriteList(p));
    EXPECT_EQ(p.GetProfileString("Recent File List", "File1"), "/data/e.wov");

    RecentFileList again(3);
    again.ReadList(p);
    ASSERT_EQ(again.Size(), 3u);
    EXPECT_EQ(again[2], "/data/a.wov");
    again.Remove(0);
    again.WriteList(p);
    EXPECT_EQ(p.GetProfileString("Recent File List", "File3", "none"), "none");
    RecentFileList amp(2);
    amp.Add("/data/b&c.wov");
    EXPECT_EQ(amp.MenuText(0), "&1 /data/b&&c.wov");
}

}  // namespace
}  // namespace fw
