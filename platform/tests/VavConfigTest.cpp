#include "platform/VavConfig.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "testsupport/TempDir.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t Ip(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return a << 24 | b << 16 | c << 8 | d;
}

VavNetworkCard Text(const char* mac) {
    return VavNetworkCard{mac, 0};
}
VavNetworkCard Index(uint32_t index) {
    return VavNetworkCard{"", index};
}

// Each file, and what is read from it.
TEST(ConfigFileText, TableOfFiles) {
    struct Case {
        const char* what;
        std::string text;
        int badLine;
        VavConfig values;
    };
    const std::string longBlank(200, ' ');
    const Case cases[] = {
        {"as the adapter picker writes it (CRLF)",
         "gateway=192.168.1.1\r\nsubnetmask=255.255.255.0\r\nnetworkcard=00-1A-2B-3C-4D-5E\r\n",
         0,
         {Ip(192, 168, 1, 1), Ip(255, 255, 255, 0), Text("00-1A-2B-3C-4D-5E")}},
        {"LF and an interface index",
         "networkcard=3\nsubnetmask=255.255.0.0\n",
         0,
         {std::nullopt, Ip(255, 255, 0, 0), Index(3)}},
        {"empty card value: that key alone is absent",
         "gateway=10.0.0.1\r\nsubnetmask=255.0.0.0\r\nnetworkcard=\r\n",
         0,
         {Ip(10, 0, 0, 1), Ip(255, 0, 0, 0), std::nullopt}},
        {"empty gateway value has no four numbers",
         "gateway=\nsubnetmask=255.0.0.0\n",
         1,
         {std::nullopt, Ip(255, 0, 0, 0), {}}},
        {"empty file", "", 0, {}},
        {"key matched by its first character only",
         "gatewy=1.2.3.4\nsnet=255.255.255.252\nnic=7\n",
         0,
         {Ip(1, 2, 3, 4), Ip(255, 255, 255, 252), Index(7)}},
        {"other lines, capitals and blank lines are ignored",
         "# ixokolt\n\n[net]\nGateway=9.9.9.9\n gateway=8.8.8.8\ngateway=1.1.1.1\n",
         0,
         {Ip(1, 1, 1, 1), std::nullopt, std::nullopt}},
        {"a later line wins",
         "networkcard=2\nnetworkcard=00-00-00-00-00-01\n",
         0,
         {std::nullopt, std::nullopt, Text("00-00-00-00-00-01")}},
        {"blanks around values",
         "gateway= 10.1.2.3 \t\nnetworkcard=  5  trailing words\n",
         0,
         {Ip(10, 1, 2, 3), std::nullopt, Index(5)}},
        {"full 32-bit interface index",
         "networkcard=4000000000\n",
         0,
         {{}, {}, Index(4000000000u)}},
        {"18-character word is not a card text",
         "networkcard=00-1A-2B-3C-4D-5E0\n",
         0,
         {{}, {}, Index(0)}},
        {"an interface name is no index", "networkcard=eth0\n", 0, {{}, {}, Index(0)}},
        {"an over-long line whose piece would be a key line is read whole",
         "subnetmask=255.255.0.0" + longBlank + "\n" + std::string(78, 'x') + "gateway=1.2.3.4\n",
         0,
         {std::nullopt, Ip(255, 255, 0, 0), std::nullopt}},
        {"an over-long line is read in pieces of 78 characters",
         "networkcard=" + std::string(64, ' ') + "12" + "34\n",
         0,
         {{}, {}, Index(12)}},
        {"the second piece of an over-long line is a line of its own",
         std::string(78, '#') + "=1.2.3\ngateway=1.2.3.4\n",
         0,
         {Ip(1, 2, 3, 4), {}, {}}},
        {"mask with three numbers",
         "gateway=1.2.3.4\nsubnetmask=255.255.0\n",
         2,
         {Ip(1, 2, 3, 4), {}, {}}},
        {"number above 255", "gateway=256.1.1.1\n", 1, {}},
        {"text after the address is not read",
         "gateway=1.2.3.4x\nsubnetmask=255.255.255.0 ; office\n",
         0,
         {Ip(1, 2, 3, 4), Ip(255, 255, 255, 0), {}}},
        {"key line without =", "networkcard 3\ngateway=1.2.3.4\n", 1, {Ip(1, 2, 3, 4), {}, {}}},
        {"no line end on the last line", "gateway=1.2.3.4", 0, {Ip(1, 2, 3, 4), {}, {}}},
    };
    for (const Case& c : cases) {
        ConfigParseResult r = ParseConfigText(c.text);
        EXPECT_EQ(r.badLine, c.badLine) << c.what;
        EXPECT_EQ(r.values.gateway, c.values.gateway) << c.what;
        EXPECT_EQ(r.values.subnetMask, c.values.subnetMask) << c.what;
        EXPECT_EQ(r.values.networkCard, c.values.networkCard) << c.what;
    }
    VavConfig v;
    EXPECT_EQ(ParseConfigLine("networkcard", v), ConfigLineError::MissingEquals);
    EXPECT_EQ(ParseConfigLine("subnetmask=1.2.3", v), ConfigLineError::BadAddress);
    EXPECT_EQ(ParseConfigLine("xyz=1", v), ConfigLineError::Ignored);
}

// Runs in its own folder with the three places of the file under its control.
class ConfigFileLookup : public ::testing::Test {
protected:
    void SetUp() override {
        oldCwd_ = fs::current_path();
        fs::create_directories(root_ / "cwd");
        fs::create_directories(root_ / "sys");
        fs::current_path(root_ / "cwd");
        setenv("IXO_SYSTEM_DIR", (root_ / "sys").c_str(), 1);
        unsetenv("VAV_CONFIG_FILE");
        ResetConfigForTest();
    }
    void TearDown() override {
        fs::current_path(oldCwd_);
        unsetenv("IXO_SYSTEM_DIR");
        unsetenv("VAV_CONFIG_FILE");
        ResetConfigForTest();
    }
    static void Write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static uint32_t Gateway() {
        uint32_t g = 0;
        return GetConfigGateway(g) == 0 ? g : 0xFFFFFFFF;
    }

    fs::path oldCwd_;
    ixo::testsupport::TempDir root_;
};

TEST_F(ConfigFileLookup, CurrentFolderThenEnvironmentThenSystemFolder) {
    Write(root_ / "cwd" / "ixokolt.cfg", "gateway=1.0.0.1\n");
    Write(root_ / "env.cfg", "gateway=2.0.0.2\n");
    Write(root_ / "sys" / "ixokolt.cfg", "gateway=3.0.0.3\n");
    setenv("VAV_CONFIG_FILE", (root_ / "env.cfg").c_str(), 1);

    EXPECT_EQ(Gateway(), Ip(1, 0, 0, 1));
    fs::remove(root_ / "cwd" / "ixokolt.cfg");
    EXPECT_EQ(Gateway(), Ip(1, 0, 0, 1)) << "read once, then kept";
    ResetConfigForTest();
    EXPECT_EQ(Gateway(), Ip(2, 0, 0, 2));
    ResetConfigForTest();
    setenv("VAV_CONFIG_FILE", "", 1);
    EXPECT_EQ(Gateway(), Ip(3, 0, 0, 3));
    ResetConfigForTest();
    fs::remove(root_ / "sys" / "ixokolt.cfg");
    EXPECT_EQ(Gateway(), 0xFFFFFFFFu);
    EXPECT_EQ(ReadConfigFile(), 1);
}

TEST_F(ConfigFileLookup, FoundWhateverTheCaseOfItsName) {
    // Written on a PC whose names ignore case, or by an older Varoda.
    Write(root_ / "sys" / "IxoKolt.cfg", "gateway=3.0.0.3\n");
    EXPECT_EQ(Gateway(), Ip(3, 0, 0, 3));
    ResetConfigForTest();
    // The exact name wins over another case in the same folder; the current folder still
    // comes before the system folder.
    Write(root_ / "cwd" / "IXOKOLT.CFG", "gateway=1.0.0.1\n");
    EXPECT_EQ(Gateway(), Ip(1, 0, 0, 1));
    ResetConfigForTest();
    Write(root_ / "cwd" / "ixokolt.cfg", "gateway=1.0.0.9\n");
    EXPECT_EQ(Gateway(), Ip(1, 0, 0, 9));
}

TEST_F(ConfigFileLookup, FailedFileAnswersNothingAndIsReadAgain) {
    const fs::path file = root_ / "cwd" / "ixokolt.cfg";
    Write(file, "gateway=1.2.3.4\r\nsubnetmask=255.255.0\r\nnetworkcard=3\r\n");
    uint32_t value = 0;
    EXPECT_EQ(GetConfigValue(VAV_CONFIG_GATEWAY, value), 1);
    EXPECT_EQ(GetConfigValue(VAV_CONFIG_NETWORKCARD, value), 1);
    Write(file, "gateway=1.2.3.4\r\nsubnetmask=255.255.0.0\r\nnetworkcard=3\r\n");
    EXPECT_EQ(GetConfigValue(VAV_CONFIG_SUBNETMASK, value), 0);
    EXPECT_EQ(value, Ip(255, 255, 0, 0));
    EXPECT_EQ(GetConfigValue(VAV_CONFIG_NETWORKCARD, value), 0);
    EXPECT_EQ(value, 3u);
}

TEST_F(ConfigFileLookup, CardTextNeverLandsInANumber) {
    Write(root_ / "given.cfg", "networkcard=02-18-00-00-00-0A\n");
    EXPECT_EQ(ReadConfigFile((root_ / "given.cfg").c_str()), 0);
    uint32_t value = 77;
    EXPECT_EQ(GetConfigValue(VAV_CONFIG_NETWORKCARD, value), -1);
    EXPECT_EQ(value, 77u);
    VavNetworkCard card;
    EXPECT_EQ(GetConfigNetworkCard(card), 0);
    EXPECT_EQ(card.macText, "02-18-00-00-00-0A");
    EXPECT_EQ(GetConfigGateway(value), 1);
}

}  // namespace
