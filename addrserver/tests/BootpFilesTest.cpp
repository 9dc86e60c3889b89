// The address server's files: bootptab, bootp.cfg and bootpmac.cfg.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestReporter.h"
#include "addrserver/BootpOptions.h"
#include "addrserver/Bootptab.h"
#include "addrserver/MacFilter.h"
#include "testsupport/TempDir.h"

namespace addrserver {
namespace {

namespace fs = std::filesystem;
using test::Ip;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class BootptabTest : public ::testing::Test {
protected:
    BootptabTest() {
        tables.Configure({Ip(10, 101, 50, 1), Ip(255, 255, 255, 0), Ip(10, 101, 50, 1),
                          Ip(10, 101, 50, 101), 150});
    }
    ixo::testsupport::TempDir dir;
    test::TestReporter reporter;
    AddressTables tables{reporter, [](const std::string& n) { return n == "ionode.bin"; }};
};

TEST_F(BootptabTest, WritesOneLinePerSegmentAndNode) {
    tables.CreateSegment(Ip(10, 101, 50, 0), Ip(10, 101, 50, 1));
    tables.AddNode(Ip(10, 101, 50, 101), {0x00, 0xD0, 0x11, 0x00, 0x0A, 0x00});
    tables.AddNode(Ip(10, 101, 50, 102), {0x02, 0x49, 0x58, 0xAB, 0xCD, 0xEF}, "ionode.bin");
    EXPECT_EQ(BootptabText(tables),
              ".dynamic-1: gw=10.101.50.1:ip=10.101.50.0:T254=0x96\n"
              "node1: ha=00.D0.11.00.0A.00:ip=10.101.50.101\n"
              "node2: ha=02.49.58.AB.CD.EF:ip=10.101.50.102:bf=ionode.bin\n");
}

TEST_F(BootptabTest, ReadsBothCountFormsAndBothHardwareAddressForms) {
    ASSERT_EQ(ParseBootptab("# comment\n"
                            ".dynamic-1: gw=10.101.60.1:ip=10.101.60.0:T254=0x0A\n"
                            ".DYNAMIC-2: GW=10.101.70.254:IP=10.101.70.0:t254=20\n"
                            "node1: ha=00.d0.11.00.0a.00:ip=10.101.60.101\r\n"
                            "  office-desk :  HA=0249580000FF:IP=10.101.70.9:bf=ionode.bin\n",
                            tables, reporter),
              BootptabError::kNone);
    auto s60 = tables.SegmentOf(Ip(10, 101, 60, 0));
    auto s70 = tables.SegmentOf(Ip(10, 101, 70, 0));
    ASSERT_TRUE(s60 && s70);
    EXPECT_EQ(s60->gateway, Ip(10, 101, 60, 1));
    EXPECT_EQ(s60->count, 10u);
    EXPECT_EQ(s70->gateway, Ip(10, 101, 70, 254));
    EXPECT_EQ(s70->count, 20u);
    auto n1 = tables.FindByAddress(Ip(10, 101, 60, 101));
    auto n2 = tables.FindByAddress(Ip(10, 101, 70, 9));
    ASSERT_TRUE(n1 && n2);
    EXPECT_EQ(n1->mac, (MacBytes{0x00, 0xD0, 0x11, 0x00, 0x0A, 0x00}));
    EXPECT_EQ(n2->mac, (MacBytes{0x02, 0x49, 0x58, 0x00, 0x00, 0xFF}));
    EXPECT_EQ(n2->bootFile, "ionode.bin");
    EXPECT_EQ(n2->bootFileState, kBootFilePresent);
    EXPECT_FALSE(tables.Dirty());
}

TEST_F(BootptabTest, LineWithoutLineFeedFailsTheRead) {
    EXPECT_EQ(ParseBootptab("node1: ha=00.D0.11.00.0A.00:ip=10.101.50.101", tables, reporter),
              BootptabError::kBadLine);
    EXPECT_TRUE(reporter.Has(kMsgError, "Bootp: Err parsing booptab"));
    std::string longLine(1021, 'x');
    longLine += '\n';
    EXPECT_EQ(ParseBootptab(longLine, tables, reporter), BootptabError::kBadLine);
}

TEST_F(BootptabTest, MissingFileIsNoError) {
    EXPECT_EQ(ReadBootptab((dir / "bootptab").string(), tables, reporter), BootptabError::kMissing);
    EXPECT_TRUE(reporter.Has(kMsgNotice, "bootptab doesn't exist"));
}

TEST_F(BootptabTest, WriteGoesThroughTempFileKeepsBackupAndReadsBack) {
    const std::string path = (dir / "bootptab").string();
    WriteFile(path, "node1: ha=00.D0.11.00.0A.00:ip=10.101.50.101\n");
    ASSERT_EQ(ReadBootptab(path, tables, reporter), BootptabError::kNone);
    tables.CreateSegment(Ip(10, 101, 50, 0), Ip(10, 101, 50, 1));
    tables.AddNode(Ip(10, 101, 50, 102), {0x02, 0x49, 0x58, 0, 0, 2});
    ASSERT_TRUE(WriteBootptab(path, tables, reporter));
    EXPECT_EQ(ReadFile(path + ".bak"), "node1: ha=00.D0.11.00.0A.00:ip=10.101.50.101\n");
    EXPECT_FALSE(fs::exists((dir / "bootptab.tmp").string()));
    const std::string written = ReadFile(path);
    EXPECT_EQ(written, BootptabText(tables));

    AddressTables again{reporter, [](const std::string&) { return false; }};
    again.Configure({Ip(10, 101, 50, 1), Ip(255, 255, 255, 0), 0, Ip(10, 101, 50, 101), 150});
    ASSERT_EQ(ReadBootptab(path, again, reporter), BootptabError::kNone);
    EXPECT_EQ(BootptabText(again), written);
}

TEST(BootpCfgTest, EachKeyAndItsValueForm) {
    struct Case {
        const char* line;
        BootpOptions expected;
    };
    BootpOptions d;
    auto with = [&](auto change) {
        BootpOptions o = d;
        change(o);
        return o;
    };
    const Case cases[] = {
        {"gateway=10.101.0.254", with([](auto& o) { o.gateway = Ip(10, 101, 0, 254); })},
        {"subnetmask = 255.255.0.0\r", with([](auto& o) { o.subnetMask = Ip(255, 255, 0, 0); })},
        {"acceptbadbin=yes", with([](auto& o) { o.acceptBadBin = true; })},
        {"firstnodeip=10.101.50.20", with([](auto& o) { o.firstNodeIp = Ip(10, 101, 50, 20); })},
        {"assigncount=40", with([](auto& o) { o.assignCount = 40; })},
        {"displaylevel=1f", with([](auto& o) { o.displayLevel = 0x1F; })},
        // Numbers as "%u" and "%x" read them: a 0x prefix, text after the number.
        {"displaylevel=0x1F", with([](auto& o) { o.displayLevel = 0x1F; })},
        {"displaylevel= 0Xc ; traces", with([](auto& o) { o.displayLevel = 0xC; })},
        {"assigncount=40 nodes", with([](auto& o) { o.assignCount = 40; })},
        {"gateway=10.101.0.254 (the router)",
         with([](auto& o) { o.gateway = Ip(10, 101, 0, 254); })},
        {"firstnodeip=10.101.50.20x", with([](auto& o) { o.firstNodeIp = Ip(10, 101, 50, 20); })},
        {"gateway=10.101.0", d},      // three parts: unchanged
        {"gateway=10.101.0.256", d},  // a part above 255: unchanged
        {"assigncount=many", d},      // not a number: unchanged
        {"Gateway=10.1.1.1", d},      // first character differs
        {"gw=10.1.1.1", d},           // name not in the line
        {"# gateway=10.1.1.1", d},    // a comment
    };
    for (const auto& c : cases) {
        BootpOptions o;
        ApplyBootpCfgLine(c.line, o);
        EXPECT_EQ(o.gateway, c.expected.gateway) << c.line;
        EXPECT_EQ(o.subnetMask, c.expected.subnetMask) << c.line;
        EXPECT_EQ(o.acceptBadBin, c.expected.acceptBadBin) << c.line;
        EXPECT_EQ(o.firstNodeIp, c.expected.firstNodeIp) << c.line;
        EXPECT_EQ(o.assignCount, c.expected.assignCount) << c.line;
        EXPECT_EQ(o.displayLevel, c.expected.displayLevel) << c.line;
    }
}

TEST(BootpCfgTest, LongLinesAreReadInPiecesUnlessAPieceWouldBeAKeyLine) {
    EXPECT_EQ(BootpCfgPieces(std::string(79, 'a')).size(), 1u);
    const std::string blanks = "assigncount=" + std::string(67, ' ');  // 79 characters
    struct Case {
        const char* what;
        std::string text;
        uint32_t assignCount;
        uint32_t gateway;
    } cases[] = {
        {"the value cut off at the 79th character", blanks + "40\n", 150, 0},
        {"a piece that is no key line is passed over", blanks + "40\nassigncount=30\n", 30, 0},
        {"a piece that would be a key line: read whole", std::string(79, '#') + "gateway=1.2.3.4\n",
         150, 0},
        {"a piece that begins with blanks is no key line",
         "assigncount=20 " + std::string(70, ' ') + "gateway=1.2.3.4\n", 20, 0},
        {"short lines with CRLF", "gateway=1.2.3.4\r\nassigncount=9\r\n", 9, Ip(1, 2, 3, 4)},
    };
    for (const Case& c : cases) {
        ixo::testsupport::TempDir dir;
        const std::string path = (dir / "bootp.cfg").string();
        std::ofstream(path, std::ios::binary) << c.text;
        BootpOptions o;
        ASSERT_TRUE(ReadBootpCfg(path, o)) << c.what;
        EXPECT_EQ(o.assignCount, c.assignCount) << c.what;
        EXPECT_EQ(o.gateway, c.gateway) << c.what;
    }
}

TEST(BootpMacCfgTest, MissingFileIsCreatedWithItsDefaultLines) {
    ixo::testsupport::TempDir dir;
    MacFilter filter;
    const std::string path = (dir / "bootpmac.cfg").string();
    ASSERT_TRUE(LoadBootpMacCfg(path, filter));
    const std::string expected =
        "# Bootp configuration file for MAC address Filtering\n\n#\n\n"
        "# This file contains the information about the MAC address\n"
        "# ranges that will be served by the Bootp Server\n"
        "# Each line in the file that does not start with the # character\n"
        "# should contain the OUI part of the MAC address and the start \n"
        "# and the end of the address range.\n"
        "# If no address range is supplied, all the addresses that match\n"
        "# OUI will be served.\n"
        "# Examples :\n"
        "#     Following line contains only the OUI\n"
        "#          00:C0:00\n"
        "#     Following line contains the OUI and the address range.\n"
        "#          00:D0:11 00:0A:00 00:E0:00\n";
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(filter.Entries().size(), 2u);  // only the built-in ones
    ASSERT_TRUE(LoadBootpMacCfg(path, filter));
    EXPECT_EQ(filter.Entries().size(), 2u);
}

TEST(BootpMacCfgTest, LinesAddWholeOuisOrRanges) {
    ixo::testsupport::TempDir dir;
    const std::string path = (dir / "bootpmac.cfg").string();
    WriteFile(path,
              "00:C0:00\n"
              "\t00:D0:11   00:0A:00\t00:E0:00   # a range\n"
              "00:D0:1\n"
              "zz:D0:11\n");
    MacFilter filter;
    ASSERT_TRUE(LoadBootpMacCfg(path, filter));
    EXPECT_EQ(filter.Entries().size(), 4u);
    EXPECT_TRUE(filter.Admits({0x00, 0xC0, 0x00, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(filter.Admits({0x00, 0xD0, 0x11, 0x00, 0x0A, 0x00}));
    EXPECT_TRUE(filter.Admits({0x00, 0xD0, 0x11, 0x00, 0xE0, 0x00}));
    EXPECT_FALSE(filter.Admits({0x00, 0xD0, 0x11, 0x00, 0x09, 0xFF}));
    EXPECT_FALSE(filter.Admits({0x00, 0xD0, 0x11, 0x00, 0xE0, 0x01}));
    EXPECT_TRUE(filter.Admits({NodeVendorOui2[0], NodeVendorOui2[1], NodeVendorOui2[2], 1, 2, 3}));
}

TEST(BootpMacCfgTest, TableStopsAtSixtyFourEntries) {
    MacFilter filter;
    for (int i = 0; i < 100; ++i) filter.AddConfigLine(Format("00:00:%02X", i));
    EXPECT_EQ(filter.Entries().size(), MacFilter::kCapacity);
}

}  // namespace
}  // namespace addrserver
