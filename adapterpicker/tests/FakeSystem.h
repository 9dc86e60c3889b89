// What Varoda's tests stand on: a fake interface table (FakeNetSource), a fresh system
// directory (IXO_SYSTEM_DIR) and key store folder (IXO_KEYSTORE_DIR), and no
// VAV_CONFIG_FILE. The default table: loopback 1, two Ethernet cards 2 and 3, a wireless
// card 5 without an address.
#pragma once

#include "platform/NetAdapter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace varoda::test {

inline VavIfRow Interface(uint32_t index, uint32_t type, std::array<uint8_t, 6> mac,
                          std::string description) {
    VavIfRow row;
    row.index = index;
    row.type = type;
    row.physAddrLength = 6;
    std::copy(mac.begin(), mac.end(), row.physAddr);
    row.name = description.substr(0, description.find(' '));
    row.description = std::move(description);
    return row;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class FakeSystem : public ::testing::Test {
protected:
    static constexpr const char* kEth0Mac = "00-1A-2B-3C-4D-5E";
    static constexpr const char* kEth1Mac = "00-1A-2B-3C-4D-6F";

    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() /
                ("varoda-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(SystemDir());
        std::filesystem::create_directories(root_ / "keys");
        setenv("IXO_SYSTEM_DIR", SystemDir().c_str(), 1);
        setenv("IXO_KEYSTORE_DIR", (root_ / "keys").c_str(), 1);
        unsetenv("VAV_CONFIG_FILE");
        net.interfaces = {
            Interface(1, IF_TYPE_SOFTWARE_LOOPBACK, {}, "lo"),
            Interface(2, IF_TYPE_ETHERNET_CSMACD, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E},
                      "eth0 (e1000e)"),
            Interface(3, IF_TYPE_ETHERNET_CSMACD, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x6F},
                      "eth1 (igb)"),
            Interface(5, IF_TYPE_IEEE80211, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x70},
                      "wlan0 (iwlwifi)"),
        };
        // eth0 has two addresses; the system lists the higher one first.
        net.addresses = {{1, 0x7F000001, 0xFF000000},
                         {2, 0x0A000009, 0xFF000000},
                         {2, 0x0A000002, 0xFFFFFF00},
                         {3, 0xC0A80114, 0xFFFFFF00}};
        SetNetSourceForTest(&net);
    }
    void TearDown() override {
        SetNetSourceForTest(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    std::filesystem::path SystemDir() const { return root_ / "system"; }
    std::filesystem::path File(const std::string& name) const { return root_ / name; }

    FakeNetSource net;

private:
    std::filesystem::path root_;
};

}  // namespace varoda::test
