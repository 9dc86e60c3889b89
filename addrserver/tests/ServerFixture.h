// An address server running in test host 0 (198.18.0.2), its TFTP directory and
// option files in a fresh temporary folder, and helpers for the peers that talk to it.
#pragma once

#include <arpa/inet.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "addrserver/AddressServerCore.h"
#include "testsupport/NetHosts.h"
#include "testsupport/Notice.h"

namespace addrserver::test {

class RecordingHost : public CAddressServer {
public:
    void OnMessage(uint32_t code, const char* text) override {
        {
            std::lock_guard lock(mutex_);
            messages_.emplace_back(code, text);
        }
        notice.Notify();
    }
    bool Has(uint32_t code, const std::string& text) const {
        std::lock_guard lock(mutex_);
        for (const auto& m : messages_)
            if (m.first == code && m.second == text)
                return true;
        return false;
    }
    ixo::testsupport::Notice notice;  // told of every message

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<uint32_t, std::string>> messages_;
};

inline uint32_t HostOrder(const std::string& dotted) {
    in_addr a{};
    inet_pton(AF_INET, dotted.c_str(), &a);
    return ntohl(a.s_addr);
}

// Runs a shell command and returns its standard output.
inline std::string Capture(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (p == nullptr)
        return out;
    char buf[512];
    while (fgets(buf, sizeof buf, p) != nullptr) out += buf;
    pclose(p);
    return out;
}

class ServerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        IXO_REQUIRE_NETNS();
        std::string error;
        hosts = ixo::testsupport::NetHosts::Create(2, &error);
        ASSERT_TRUE(hosts) << error;
        char tmpl[] = "/tmp/ixo-addrsrv-XXXXXX";
        dir = mkdtemp(tmpl);
        tftpDir = dir + "/images";
        std::filesystem::create_directory(tftpDir);
        server.SetHost(&host);
    }
    void TearDown() override {
        server.Stop();
        if (!dir.empty())
            std::filesystem::remove_all(dir);
    }
    // Starts the server inside host 0; 0 or the start's code.
    uint32_t StartServer(uint32_t mode) {
        settings.serverMode = mode;
        settings.hostName = "testserver";
        settings.tftpDirectory = tftpDir;
        ServerEnvironment env;
        env.ownAddress = HostOrder(hosts->Address(0));
        env.subnetMask = 0xFFFFFF00;
        env.gateway = HostOrder(ixo::testsupport::NetHosts::SelfAddress());
        env.bootpCfgPath = dir + "/bootp.cfg";
        env.bootpMacCfgPath = dir + "/bootpmac.cfg";
        uint32_t result = 0xFFFFFFFF;
        EXPECT_TRUE(hosts->RunIn(0, [&] { result = server.Start(settings, env); }));
        return result;
    }
    void WriteFile(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string Image(size_t size, const std::string& name) {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + size) & 0xFF);
        WriteFile(tftpDir + "/" + name, bytes);
        return bytes;
    }

    std::unique_ptr<ixo::testsupport::NetHosts> hosts;
    std::string dir, tftpDir;
    AddressServerSettings settings;
    RecordingHost host;
    Server server;
};

}  // namespace addrserver::test
