// The configuration file's lines: what Varoda reads from a file and the text it writes
// back, byte for byte.
#include "adapterpicker/AdapterConfig.h"
#include "adapterpicker/AdapterMap.h"
#include "adapterpicker/AdapterTexts.h"

#include <gtest/gtest.h>

#include <map>

namespace varoda {
namespace {

const std::vector<AdapterIdentity> kAdapters = {{2, "00-1A-2B-3C-4D-5E"}, {3, "00-1A-2B-3C-4D-6F"}};

std::string MacOf(uint32_t index) {
    for (const AdapterIdentity& a : kAdapters)
        if (a.index == index)
            return a.macText;
    return "00-00-00-00-00-00";
}

struct Golden {
    const char* name;
    std::string input;
    int32_t selection;
    std::string saved;
};

TEST(AdapterConfigFile, ReadAndWrittenBack) {
    const std::string defaults = "gateway=0.0.0.1\r\nsubnetmask=255.255.255.0\r\n";
    const Golden cases[] = {
        {"empty file", "", 0, defaults},
        {"all keys, LF ends",
         "gateway=10.0.0.1\nsubnetmask=255.0.0.0\nnetworkcard=00-1A-2B-3C-4D-6F\n", 3,
         "gateway=10.0.0.1\r\nsubnetmask=255.0.0.0\r\nnetworkcard=00-1A-2B-3C-4D-6F\r\n"},
        {"second key lines dropped",
         "gateway=1.1.1.1\r\ngateway=2.2.2.2\r\nsubnetmask=255.255.0.0\r\nSUBNETMASK=255.0.0.0\r\n"
         "networkcard=2\r\nnetworkcard=3\r\n",
         2, "gateway=1.1.1.1\r\nsubnetmask=255.255.0.0\r\nnetworkcard=00-1A-2B-3C-4D-5E\r\n"},
        {"key in capitals rewritten in lower case",
         "GATEWAY=10.0.0.1\r\nSubnetMask=255.255.0.0\r\nNetworkCard=00-1a-2b-3c-4d-5e\r\n", 2,
         "gateway=10.0.0.1\r\nsubnetmask=255.255.0.0\r\nnetworkcard=00-1A-2B-3C-4D-5E\r\n"},
        {"key after a blank is an unknown line", " gateway=9.9.9.9\n", 0,
         " gateway=9.9.9.9\r\n" + defaults},
        {"comments, unknown keys kept in order; blank lines gone",
         "# lighting net\n\nfoo=bar\ngateway=10.0.0.1\n\n; end\n", 0,
         "# lighting net\r\nfoo=bar\r\ngateway=10.0.0.1\r\n; end\r\nsubnetmask=255.255.255.0\r\n"},
        {"card line rewritten in its place", "networkcard=3\nfoo=bar\n", 3,
         "networkcard=00-1A-2B-3C-4D-6F\r\nfoo=bar\r\n" + defaults},
        {"hardware address and a blank is read as a number", "networkcard=00-1A-2B-3C-4D-5E \n", 0,
         defaults},
        {"index of no listed card", "networkcard=7\n", 0, defaults},
        {"negative index", "networkcard=-2\n", 0, defaults},
        {"unknown hardware address", "networkcard=00-1A-2B-3C-4D-99\n", 0, defaults},
        {"index after blanks", "networkcard=  3\n", 3,
         "networkcard=00-1A-2B-3C-4D-6F\r\n" + defaults},
        {"lone CR ends a line, last line without an end",
         "gateway=10.0.0.1\rsubnetmask=255.0.0.0\r\r\nnetworkcard=3", 3,
         "gateway=10.0.0.1\r\nsubnetmask=255.0.0.0\r\nnetworkcard=00-1A-2B-3C-4D-6F\r\n"},
        {"keys with empty values are left out", "gateway=\nsubnetmask=\nnetworkcard=\nx=1\n", 0,
         "x=1\r\n"},
        {"value kept as the file has it", "gateway= 10.0.0.1\n", 0,
         "gateway= 10.0.0.1\r\nsubnetmask=255.255.255.0\r\n"},
    };
    for (const Golden& c : cases) {
        SCOPED_TRACE(c.name);
        AdapterConfig config;
        config.Load(c.input, kAdapters);
        EXPECT_EQ(config.Selection(), c.selection);
        EXPECT_EQ(config.Save(MacOf), c.saved);
        // A second save of the same document writes the same text.
        EXPECT_EQ(config.Save(MacOf), c.saved);
    }
}

TEST(AdapterConfigFile, NewDocumentHasTheThreeDefaultLines) {
    AdapterConfig config;
    config.AddDefaultLines();
    EXPECT_EQ(config.Lines(), (std::vector<std::string>{
                                  "gateway=0.0.0.1", "subnetmask=255.255.255.0", "networkcard="}));
    EXPECT_EQ(config.Gateway(), "0.0.0.1");
    EXPECT_EQ(config.SubnetMask(), "255.255.255.0");
    EXPECT_EQ(config.Selection(), kNoSelection);
    EXPECT_TRUE(config.SetSelection(2));
    EXPECT_FALSE(config.SetSelection(2));
    EXPECT_EQ(config.Save(MacOf),
              "gateway=0.0.0.1\r\nsubnetmask=255.255.255.0\r\nnetworkcard=00-1A-2B-3C-4D-5E\r\n");
}

TEST(AdapterConfigFile, ValuesTheUserSetAreWritten) {
    // A file without gateway and mask lines: what the user set is added, not the default.
    AdapterConfig config;
    config.Load("networkcard=2\r\n", kAdapters);
    EXPECT_EQ(config.Gateway(), "");
    EXPECT_TRUE(config.SetGateway("10.1.1.254"));
    EXPECT_TRUE(config.SetSubnetMask("255.255.0.0"));
    EXPECT_EQ(config.Save(MacOf),
              "networkcard=00-1A-2B-3C-4D-5E\r\ngateway=10.1.1.254\r\nsubnetmask=255.255.0.0\r\n");

    // A cleared gateway and a removed tick leave their keys out; set again, they return in
    // their old places.
    config.SetGateway("");
    config.SetSelection(kTickRemoved);
    EXPECT_EQ(config.Save(MacOf), "subnetmask=255.255.0.0\r\n");
    config.SetGateway("10.1.1.1");
    config.SetSelection(3);
    EXPECT_EQ(config.Save(MacOf),
              "networkcard=00-1A-2B-3C-4D-6F\r\ngateway=10.1.1.1\r\nsubnetmask=255.255.0.0\r\n");
}

TEST(AdapterTextsTest, DottedTextsAndAddresses) {
    const std::pair<const char*, uint32_t> cases[] = {
        {"10.0.0.1", 0x0A000001},
        {"255.255.255.255", 0xFFFFFFFF},
        {"0.0.0.0", 0},
        {"192.168.001.020", 0xC0A80114},
        {"", 0},
        {"1.2.3", 0},
        {"256.1.1.1", 0},
        {" 1.2.3.4\t", 0x01020304},
        {"1.2.3.4x", 0},
        {"1..2.3", 0},
        {"1.2.3.4.5", 0},
        {"0001.2.3.4", 0},
        {"a.b.c.d", 0},
    };
    for (const auto& [text, address] : cases) EXPECT_EQ(TextToAddress(text), address) << text;
    EXPECT_EQ(AddressToText(0x0A000001), "10.0.0.1");
    EXPECT_EQ(AddressToText(0xFFFFFF00), "255.255.255.0");
    EXPECT_EQ(AddressToText(0), "");
}

TEST(AdapterMapTest, WalksEachBlockOfSixteenPositionsBackwards) {
    AdapterMap map;
    for (uint32_t position = 0; position <= 40; ++position) {
        VavIfRow row;
        row.index = 100 + position;
        map.Set(position, row);
    }
    std::vector<uint32_t> walked;
    for (const VavIfRow* row : map.Rows()) walked.push_back(row->index - 100);
    std::vector<uint32_t> expected;
    for (int p = 15; p >= 0; --p) expected.push_back(static_cast<uint32_t>(p));
    for (int p = 31; p >= 16; --p) expected.push_back(static_cast<uint32_t>(p));
    for (int p = 40; p >= 32; --p) expected.push_back(static_cast<uint32_t>(p));
    EXPECT_EQ(walked, expected);

    // Position 272 shares bucket 0 with 0 to 15 and is walked before them; a replaced row
    // keeps its place.
    VavIfRow late;
    late.index = 999;
    map.Set(272, late);
    late.index = 7;
    map.Set(3, late);
    const std::vector<const VavIfRow*> rows = map.Rows();
    EXPECT_EQ(rows.front()->index, 999u);
    EXPECT_EQ(rows[13]->index, 7u);  // 272, 15, 14, ..., 4, 3
    EXPECT_EQ(map.FindInterface(7), rows[13]);
    EXPECT_EQ(map.FindInterface(103), nullptr);
}

}  // namespace
}  // namespace varoda
