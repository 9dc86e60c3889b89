#include "testsupport/SelectedCardTest.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/NetAdapter.h"
#include "platform/VavConfig.h"

namespace fs = std::filesystem;

namespace ixo::testsupport {

void SelectedCardTest::SetUp() {
    IXO_REQUIRE_NETNS();
    std::string error;
    hosts_ = NetHosts::Create(1, &error);
    ASSERT_TRUE(hosts_) << error;
    dir_ = fs::path(::testing::TempDir()) / ("card-" + std::to_string(getpid()));
    fs::create_directories(dir_);
    std::ofstream(dir_ / "ixokolt.cfg") << "networkcard=02-18-00-00-00-01\r\n";
    setenv("VAV_CONFIG_FILE", (dir_ / "ixokolt.cfg").c_str(), 1);
    ResetConfigForTest();
    SetNetSourceForTest(nullptr);
    ASSERT_EQ(GetLocalIpAddress(), 0xC6120001u) << "the bridge is the selected card";
}

void SelectedCardTest::TearDown() {
    if (!dir_.empty())
        fs::remove_all(dir_);
    ResetConfigForTest();
}

}  // namespace ixo::testsupport
