#include "platform/NetAdapter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

namespace {

constexpr uint64_t kGigabit = 1000000000;

VavIfRow Row(uint32_t index, uint32_t type, uint64_t speed, uint8_t lastMacByte,
             const char* name = "eth") {
    VavIfRow row;
    row.index = index;
    row.type = type;
    row.speed = speed;
    const uint8_t mac[6] = {0x02, 0x1A, 0xB0, 0x00, 0x00, lastMacByte};
    std::memcpy(row.physAddr, mac, 6);
    row.physAddrLength = 6;
    row.name = name + std::to_string(index);
    row.description = row.name + " (test)";
    return row;
}

std::optional<VavNetworkCard> Card(const char* text) {
    return VavNetworkCard{text, 0};
}
std::optional<VavNetworkCard> Card(uint32_t index) {
    return VavNetworkCard{"", index};
}

TEST(ChooseInterface, ConfiguredCardThenFastestEthernet) {
    const std::vector<VavIfRow> table = {
        Row(1, IF_TYPE_SOFTWARE_LOOPBACK, 100 * kGigabit, 0x01),
        Row(2, IF_TYPE_ETHERNET_CSMACD, kGigabit, 0x02),
        Row(3, IF_TYPE_IEEE80211, 10 * kGigabit, 0x03),
        Row(4, IF_TYPE_ETHERNET_CSMACD, 10 * kGigabit, 0x04),
        Row(5, IF_TYPE_ETHERNET_CSMACD, 10 * kGigabit, 0x05),
        Row(6, IF_TYPE_ETHERNET_CSMACD, 0, 0x06),
    };
    struct Case {
        const char* what;
        std::optional<VavNetworkCard> card;
        uint32_t expected;
    } cases[] = {
        {"no configuration: fastest Ethernet, first of equals", std::nullopt, 4},
        {"hardware-address text", Card("02-1A-B0-00-00-02"), 2},
        {"text of a card of unknown speed", Card("02-1A-B0-00-00-06"), 6},
        {"lower-case text matches no card", Card("02-1a-b0-00-00-02"), 4},
        {"colon text matches no card", Card("02:1A:B0:00:00:02"), 4},
        {"interface index", Card(3u), 3},
        {"index taken as given", Card(300u), 300},
        {"index 0 means none configured", Card(0u), 4},
    };
    for (const Case& c : cases) EXPECT_EQ(ChooseInterface(c.card, table), c.expected) << c.what;

    const std::vector<VavIfRow> noEthernet = {Row(1, IF_TYPE_SOFTWARE_LOOPBACK, kGigabit, 1),
                                              Row(2, IF_TYPE_ETHERNET_CSMACD, 0, 2)};
    EXPECT_EQ(ChooseInterface(std::nullopt, noEthernet), 0u);
    EXPECT_EQ(ChooseInterface(std::nullopt, {}), 0u);
}

// The process-wide queries over a fake table, without a configuration file.
class NetAdapterFake : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VAV_CONFIG_FILE", "/nonexistent/ixokolt.cfg", 1);
        setenv("IXO_SYSTEM_DIR", "/nonexistent", 1);
        ResetConfigForTest();
        fake_.interfaces = {Row(7, IF_TYPE_ETHERNET_CSMACD, kGigabit, 0x07),
                            Row(1, IF_TYPE_SOFTWARE_LOOPBACK, 0, 0),
                            Row(3, IF_TYPE_ETHERNET_CSMACD, 100000000, 0x03)};
        fake_.addresses = {
            {3, 0xC0A80005, 0xFFFFFF00}, {7, 0x0A000009, 0xFF000000}, {7, 0x0A000002, 0xFFFF0000}};
        fake_.routes = {{0, 0, 0xC0A80001, 3, 0},
                        {0, 0, 0x0A0000FE, 7, 200},
                        {0, 0, 0x0A000001, 7, 100},
                        {0x0A000000, 0xFF000000, 0, 7, 0}};
        SetNetSourceForTest(&fake_);
    }
    void TearDown() override {
        SetNetSourceForTest(nullptr);
        unsetenv("VAV_CONFIG_FILE");
        unsetenv("IXO_SYSTEM_DIR");
        ResetConfigForTest();
    }
    FakeNetSource fake_;
};

TEST_F(NetAdapterFake, SelectedCardAnswersAddressMaskGatewayAndMac) {
    EXPECT_EQ(GetSelectedInterface(), 7u);
    EXPECT_EQ(GetLocalIpAddress(), 0x0A000009u) << "first row of the card in system order";
    EXPECT_EQ(GetLocalSubnetMask(), 0xFF000000u);
    EXPECT_EQ(GetDefaultGateway(), 0x0A000001u) << "the card's default route of lowest metric";
    uint8_t mac[8] = {};
    EXPECT_EQ(GetLocalMacAddress(mac, 8), 6u);
    EXPECT_EQ(mac[5], 0x07);
    EXPECT_EQ(GetLocalMacAddress(mac, 4), 4u);

    EXPECT_EQ(GetInterfaceIpAddress(7), 0x0A000002u) << "lowest address of the interface";
    EXPECT_EQ(GetInterfaceIpAddress(9), 0u);
    auto table = GetInterfaceTable();
    ASSERT_TRUE(table);
    EXPECT_EQ((*table)[0].index, 1u) << "sorted by interface index";
    EXPECT_EQ(GetInterfaceMacAddress(mac, 6, 3), 0);
    EXPECT_EQ(mac[5], 0x03);
    EXPECT_EQ(GetInterfaceMacAddress(mac, 6, 99), 1);
}

TEST_F(NetAdapterFake, ValuesAreComputedOnceAcrossThreads) {
    std::vector<std::thread> threads;
    std::vector<uint32_t> seen(8);
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&, i] { seen[i] = GetSelectedInterface() + GetLocalIpAddress(); });
    for (auto& t : threads) t.join();
    for (uint32_t s : seen) EXPECT_EQ(s, 7u + 0x0A000009u);
    EXPECT_EQ(fake_.interfaceReads, 1);
    EXPECT_EQ(fake_.addressReads, 1);

    SetSelectedInterface(3);  // a host that picks the card itself
    EXPECT_EQ(GetLocalIpAddress(), 0xC0A80005u);
    EXPECT_EQ(GetDefaultGateway(), 0xC0A80001u);
}

TEST_F(NetAdapterFake, AddressIsLookedUpAgainWhileUnknown) {
    auto addresses = fake_.addresses;
    fake_.addresses.clear();
    EXPECT_EQ(GetLocalIpAddress(), 0u);
    fake_.addresses = addresses;
    EXPECT_EQ(GetLocalIpAddress(), 0x0A000009u);
    EXPECT_EQ(fake_.interfaceReads, 1) << "the selection itself stays";
}

TEST_F(NetAdapterFake, NoTableMeansNoCardAndNoAddress) {
    fake_.fail = true;
    EXPECT_EQ(GetSelectedInterface(), 0u);
    EXPECT_EQ(GetLocalIpAddress(), 0u);
    EXPECT_EQ(GetDefaultGateway(), 0u);
    uint8_t mac[6];
    EXPECT_EQ(GetLocalMacAddress(mac, 6), 0u);
    char text[8];
    EXPECT_EQ(GetInterfaceDescription(text, sizeof text, 7), 1);
}

TEST_F(NetAdapterFake, DescriptionByIndexSelectedOrListing) {
    char text[64];
    EXPECT_EQ(GetInterfaceDescription(text, sizeof text, 3), 0);
    EXPECT_STREQ(text, "eth3 (test)");
    EXPECT_EQ(GetInterfaceDescription(text, sizeof text, VAV_SELECTED_INTERFACE), 0);
    EXPECT_STREQ(text, "eth7 (test)");
    EXPECT_EQ(GetInterfaceDescription(text, 5, 3), 0);
    EXPECT_STREQ(text, "eth3") << "cut to size - 1";
    EXPECT_EQ(GetInterfaceDescription(nullptr, 5, 3), 1);
    EXPECT_EQ(GetInterfaceDescription(text, 0, 3), 1);

    // The table walk of index 0 is a debug trace for the log, not for the program's output.
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(GetInterfaceDescription(text, sizeof text, 0), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

}  // namespace
