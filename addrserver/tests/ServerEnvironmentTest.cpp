// Where the address server takes its gateway and subnet mask from: the card, and where
// the card has no default route (a lighting network seldom has one), ixokolt.cfg.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "TestReporter.h"
#include "addrserver/AddressServerCore.h"
#include "platform/NetAdapter.h"
#include "platform/NetInterfaces.h"
#include "platform/VavConfig.h"

namespace addrserver {
namespace {

namespace fs = std::filesystem;
using test::Ip;

class ServerEnvironmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) / ("env-" + std::to_string(getpid()));
        fs::create_directories(dir_);
        setenv("VAV_CONFIG_FILE", (dir_ / "ixokolt.cfg").c_str(), 1);
        VavIfRow card;
        card.index = 3;
        card.type = IF_TYPE_ETHERNET_CSMACD;
        card.speed = 1000000000;
        card.adminUp = card.operUp = true;
        card.name = "eth1";
        net_.interfaces.push_back(card);
        net_.addresses.push_back({3, Ip(10, 101, 50, 1), Ip(255, 255, 255, 0)});
    }
    void TearDown() override {
        SetNetSourceForTest(nullptr);
        unsetenv("VAV_CONFIG_FILE");
        ResetConfigForTest();
        fs::remove_all(dir_);
    }
    ServerEnvironment Read(const char* config) {
        fs::remove(dir_ / "ixokolt.cfg");
        if (config != nullptr)
            std::ofstream(dir_ / "ixokolt.cfg") << config;
        ResetConfigForTest();
        SetNetSourceForTest(&net_);
        return ServerEnvironment::FromPlatform();
    }

    fs::path dir_;
    FakeNetSource net_;
};

TEST_F(ServerEnvironmentTest, SavedGatewayStandsInWhenTheCardHasNoRoute) {
    const char* saved = "networkcard=0\r\ngateway=10.101.50.254\r\nsubnetmask=255.255.0.0\r\n";
    ServerEnvironment e = Read(saved);
    EXPECT_EQ(e.ownAddress, Ip(10, 101, 50, 1));
    EXPECT_EQ(e.gateway, Ip(10, 101, 50, 254));
    EXPECT_EQ(e.subnetMask, Ip(255, 255, 255, 0)) << "the card's own mask comes first";

    EXPECT_EQ(Read(nullptr).gateway, 0u) << "nothing saved, no route: no gateway";

    // The card's default route, where there is one, comes first.
    net_.routes.push_back({0, 0, Ip(10, 101, 50, 9), 3, 0});
    EXPECT_EQ(Read(saved).gateway, Ip(10, 101, 50, 9));
}

}  // namespace
}  // namespace addrserver
