#include "os/IniFile.h"

#include <gtest/gtest.h>

#include "testsupport/TempDir.h"

namespace {

using ixo::testsupport::TempDir;
using os::IniFile;

class IniFileTest : public ::testing::Test {
protected:
    IniFile Make(std::string_view bytes) { return IniFile(dir_.Write("t.ini", bytes)); }
    std::string Content() const { return dir_.Read("t.ini"); }
    TempDir dir_;
};

TEST_F(IniFileTest, ReadsCaseInsensitivelyWithBlanksQuotesAndBothLineEndings) {
    IniFile ini = Make(
        "; settings\r\n"
        "[Wov]\r\n"
        "  LogLevel = 7 \r\n"
        "Title=\"  spaced  \"\n"
        "Single='x'\n"
        "Empty=\n"
        "no equals sign here\n"
        "LogLevel=8\n"  // second copy: the first wins
        "[ Network ]\n"
        "Card=eth1");  // last line without a line ending
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"wov", "LOGLEVEL", "7"},    {"WOV", "title", "  spaced  "},
        {"Wov", "Single", "x"},      {"Wov", "Empty", ""},
        {"network", "card", "eth1"}, {"Wov", "no equals sign here", "dflt"},
        {"Missing", "Card", "dflt"}, {"Wov", "Card", "dflt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ini.GetString(c.section, c.key, "dflt"), c.expected) << c.section << "/" << c.key;
    }
    EXPECT_EQ(ini.GetSectionNames(), (std::vector<std::string>{"Wov", "Network"}));
    EXPECT_EQ(ini.GetKeys("WOV"),
              (std::vector<std::string>{"LogLevel", "Title", "Single", "Empty"}));
}

TEST_F(IniFileTest, IntegersAcceptBlanksSignAndHexAsProfileFilesDo) {
    struct Case {
        const char* value;
        int expected;
    };
    const Case cases[] = {
        {"42", 42}, {"  -17", -17}, {"+5", 5},      {"12abc", 12},      {"abc", 0},
        {"", 99},   {"0x1F", 31},   {"-0x10", -16}, {"4294967295", -1},  // the unsigned value read
                                                                         // back as int
    };
    for (const Case& c : cases) {
        IniFile ini = Make(std::string("[s]\nk=") + c.value + "\n");
        EXPECT_EQ(ini.GetInt("s", "k", 99), c.expected) << "'" << c.value << "'";
    }
    EXPECT_EQ(Make("").GetInt("s", "missing", 99), 99);
}

TEST_F(IniFileTest, MissingFileGivesDefaultsAndWriteCreatesIt) {
    IniFile ini(dir_ / "new.ini");
    EXPECT_EQ(ini.GetString("Bootp", "Dir", "d"), "d");
    EXPECT_EQ(ini.GetInt("Bootp", "Level", -3), -3);
    EXPECT_TRUE(ini.GetSectionNames().empty());
    EXPECT_TRUE(ini.DeleteKey("Bootp", "Dir"));  // nothing to delete
    EXPECT_FALSE(std::filesystem::exists(dir_ / "new.ini"));

    ASSERT_TRUE(ini.WriteString("Bootp", "Dir", "/srv/tftp"));
    EXPECT_EQ(dir_.Read("new.ini"), "[Bootp]\nDir=/srv/tftp\n");
    EXPECT_FALSE(IniFile(dir_ / "no-such-folder" / "x.ini").WriteString("s", "k", "v"));
}

TEST_F(IniFileTest, WritesKeepEveryOtherLineByteForByte) {
    IniFile ini = Make(
        "; keep me\r\n"
        "[Wov]\r\n"
        "LogLevel=7\r\n"
        "junk line\r\n"
        "\r\n"
        "[Network]\r\n"
        "Card = eth0 ; trailing\r\n");
    ASSERT_TRUE(ini.WriteString("wov", "loglevel", "9"));        // replaced in place
    ASSERT_TRUE(ini.WriteString("WOV", "NewKey", "a b"));        // after the last entry
    ASSERT_TRUE(ini.WriteString("NodeStatus", "Port", "6107"));  // new section, file's CRLF
    EXPECT_EQ(Content(),
              "; keep me\r\n"
              "[Wov]\r\n"
              "loglevel=9\r\n"
              "NewKey=a b\r\n"
              "junk line\r\n"
              "\r\n"
              "[Network]\r\n"
              "Card = eth0 ; trailing\r\n"
              "[NodeStatus]\r\n"
              "Port=6107\r\n");
    EXPECT_EQ(ini.GetString("network", "card"), "eth0 ; trailing");
}

TEST_F(IniFileTest, DeletesKeysAndSections) {
    IniFile ini = Make("[A]\nk=1\nj=2\n[B]\nk=3\n[a]\nk=4\n");
    ASSERT_TRUE(ini.DeleteKey("a", "K"));
    EXPECT_EQ(Content(), "[A]\nj=2\n[B]\nk=3\n[a]\n");
    ASSERT_TRUE(ini.DeleteSection("A"));
    EXPECT_EQ(Content(), "[B]\nk=3\n");
}

TEST_F(IniFileTest, UnstorableInputIsRefusedAndLeavesTheFileAlone) {
    const std::string before = "[s]\nk=v\n";
    IniFile ini = Make(before);
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {{"s", "", "v"},    {"s", "a=b", "v"}, {"s", "k", "two\nlines"},
                          {"s]x", "k", "v"}, {"s", "[k", "v"},  {"s\r", "k", "v"},
                          {"s", ";k", "v"}};
    for (const Case& c : cases) {
        EXPECT_FALSE(ini.WriteString(c.section, c.key, c.value)) << c.section << "/" << c.key;
    }
    EXPECT_EQ(Content(), before);
}

TEST_F(IniFileTest, BinaryAndOverlongLinesArePassedOver) {
    std::string bytes = "[s]\nk=good\n";
    bytes += std::string("bin\0ary=1\n", 10);
    bytes += "long=" + std::string(IniFile::kMaxLine, 'x') + "\n";
    bytes += "after=ok\n";
    bytes += std::string("\xff\xfe\x00\x01\x02=\x03\n", 8);
    IniFile ini = Make(bytes);
    EXPECT_EQ(ini.GetString("s", "k"), "good");
    EXPECT_EQ(ini.GetString("s", "long", "skipped"), "skipped");
    EXPECT_EQ(ini.GetString("s", "after"), "ok");
    EXPECT_EQ(ini.GetKeys("s"), (std::vector<std::string>{"k", "after"}));
    ASSERT_TRUE(ini.WriteString("s", "k", "new"));
    EXPECT_EQ(Content().size(), bytes.size() + 3 - 4);  // only "good" became "new"
}

}  // namespace
