// The adapter queries against real interfaces: two veth pairs with known hardware
// addresses, made inside the test's private network namespace.
#include <gtest/gtest.h>
#include <net/if.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "platform/NetAdapter.h"
#include "testsupport/NetHosts.h"
#include "testsupport/TempDir.h"

namespace fs = std::filesystem;
using ixo::testsupport::RunShell;

namespace {

constexpr uint32_t Ip(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return a << 24 | b << 16 | c << 8 | d;
}

class NetAdapterVeth : public ::testing::Test {
protected:
    void SetUp() override {
        IXO_REQUIRE_NETNS();
        // ixa0/ixa1: one pair, both ends here and up; ixb0 stays down (speed unknown).
        ASSERT_EQ(RunShell("ip link add ixa0 type veth peer name ixa1"), 0);
        ASSERT_EQ(RunShell("ip link add ixb0 type veth peer name ixb1"), 0);
        ASSERT_EQ(RunShell("ip link set ixa0 address 02:18:00:00:00:a0 && ip link set ixa1 address "
                           "02:18:00:00:00:a1 "
                           "&& ip link set ixb0 address 02:18:00:00:00:b0"),
                  0);
        ASSERT_EQ(
            RunShell("ip addr add 198.18.1.1/24 dev ixa0 && ip addr add 198.18.2.7/20 dev ixa1 "
                     "&& ip addr add 198.18.2.3/24 dev ixa1"),
            0);
        ASSERT_EQ(RunShell("ip link set ixa0 up && ip link set ixa1 up"), 0);
        ASSERT_EQ(RunShell("ip route add default via 198.18.1.254 dev ixa0 metric 100 && "
                           "ip route add default via 198.18.0.254 dev ixa1 metric 50"),
                  0);
        setenv("VAV_CONFIG_FILE", (dir_ / "ixokolt.cfg").c_str(), 1);
        setenv("IXO_SYSTEM_DIR", dir_.Path().c_str(), 1);
        SetNetSourceForTest(nullptr);
        ResetConfigForTest();
    }
    void TearDown() override {
        if (!ixo::testsupport::InPrivateNetns())
            return;
        RunShell("ip link del ixa0; ip link del ixb0");
        ResetConfigForTest();
        SetNetSourceForTest(nullptr);
    }
    void Configure(const std::string& card) {
        std::ofstream(dir_ / "ixokolt.cfg")
            << "gateway=0.0.0.1\r\nsubnetmask=255.255.255.0\r\nnetworkcard=" << card << "\r\n";
    }
    ixo::testsupport::TempDir dir_;
};

TEST_F(NetAdapterVeth, InterfaceTableShowsTypesSpeedsAddressesAndDescriptions) {
    auto table = GetInterfaceTable();
    ASSERT_TRUE(table);
    std::map<std::string, VavIfRow> byName;
    for (const VavIfRow& row : *table) byName[row.name] = row;
    ASSERT_EQ(byName.count("lo"), 1u);
    EXPECT_EQ(byName["lo"].type, IF_TYPE_SOFTWARE_LOOPBACK);
    for (const char* name : {"ixa0", "ixa1", "ixb0"}) {
        const VavIfRow& row = byName[name];
        EXPECT_EQ(row.index, if_nametoindex(name)) << name;
        EXPECT_EQ(row.type, IF_TYPE_ETHERNET_CSMACD) << name;
        EXPECT_EQ(row.physAddrLength, 6u) << name;
        EXPECT_EQ(row.description, std::string(name) + " (veth)");
    }
    EXPECT_EQ(InterfaceMacText(byName["ixa1"]), "02-18-00-00-00-A1");
    EXPECT_GT(byName["ixa0"].speed, 0u);
    EXPECT_EQ(byName["ixa0"].speed, byName["ixa1"].speed);
    EXPECT_EQ(byName["ixb0"].speed, 0u) << "down: speed unknown";
    EXPECT_TRUE(byName["ixa0"].operUp);

    EXPECT_EQ(GetInterfaceIpAddress(if_nametoindex("ixa1")), Ip(198, 18, 2, 3)) << "lowest address";
    char text[32];
    EXPECT_EQ(GetInterfaceDescription(text, sizeof text, if_nametoindex("ixb0")), 0);
    EXPECT_STREQ(text, "ixb0 (veth)");
}

TEST_F(NetAdapterVeth, WithoutConfigurationTheFirstOfTheFastestEthernetCards) {
    const uint32_t first = std::min(if_nametoindex("ixa0"), if_nametoindex("ixa1"));
    EXPECT_EQ(GetSelectedInterface(), first);
}

TEST_F(NetAdapterVeth, CardByHardwareAddressTextWithItsAddressMaskGatewayAndMac) {
    Configure("02-18-00-00-00-A1");
    EXPECT_EQ(GetSelectedInterface(), if_nametoindex("ixa1"));
    EXPECT_EQ(GetLocalIpAddress(), Ip(198, 18, 2, 7)) << "the card's first address";
    EXPECT_EQ(GetLocalSubnetMask(), Ip(255, 255, 240, 0));
    EXPECT_EQ(GetDefaultGateway(), Ip(198, 18, 0, 254));
    uint8_t mac[6] = {};
    ASSERT_EQ(GetLocalMacAddress(mac, 6), 6u);
    EXPECT_EQ(mac[5], 0xA1);
}

TEST_F(NetAdapterVeth, CardByIndexEvenWhenDown) {
    Configure(std::to_string(if_nametoindex("ixb0")));
    EXPECT_EQ(GetSelectedInterface(), if_nametoindex("ixb0"));
    EXPECT_EQ(GetLocalIpAddress(), 0u);
    EXPECT_EQ(GetDefaultGateway(), 0u);
    uint8_t mac[6] = {};
    EXPECT_EQ(GetLocalMacAddress(mac, 6), 6u);
    EXPECT_EQ(mac[5], 0xB0);
}

TEST_F(NetAdapterVeth, LowerCaseTextFallsBackToTheFastestCard) {
    Configure("02-18-00-00-00-a1");
    const uint32_t first = std::min(if_nametoindex("ixa0"), if_nametoindex("ixa1"));
    EXPECT_EQ(GetSelectedInterface(), first);
}

}  // namespace
