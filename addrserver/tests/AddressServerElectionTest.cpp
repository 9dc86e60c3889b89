// Two and three address servers, each a process of its own on its own test host,
// electing the primary through node status.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "testsupport/NetHosts.h"

namespace {

using ixo::testsupport::NetHosts;
using Clock = std::chrono::steady_clock;

// One addrserver_testhost process and the lines it has printed.
class ServerProcess {
public:
    ServerProcess(const NetHosts& hosts, int host, const std::string& folder, int mode, int role) {
        std::string command;
        for (const auto& part : hosts.Exec(host)) command += part + " ";
        command += "sh -c 'cd " + folder + " && IXO_SYSTEM_DIR=" + folder + " exec " +
                   ADDRSERVER_TESTHOST + " " + std::to_string(mode) + " " + folder + " " +
                   std::to_string(role) + "'";
        pipe_ = popen(command.c_str(), "r");
        if (pipe_ != nullptr)
            fcntl(fileno(pipe_), F_SETFL, O_NONBLOCK);
        if (auto line = WaitFor("pid ", 5000))
            pid_ = std::stoi(line->substr(4));
    }
    ~ServerProcess() {
        Stop();
        if (pipe_ != nullptr)
            pclose(pipe_);
    }
    // The first line from line `from` on that begins with `prefix`.
    std::optional<std::string> WaitFor(const std::string& prefix, int ms, size_t from = 0) {
        for (auto end = Clock::now() + std::chrono::milliseconds(ms);;) {
            for (size_t i = from; i < lines_.size(); ++i)
                if (lines_[i].rfind(prefix, 0) == 0)
                    return lines_[i];
            if (Clock::now() >= end || !ReadMore(end))
                return std::nullopt;
        }
    }
    size_t LineCount() const { return lines_.size(); }
    std::string Dump() const {
        std::string all;
        for (const auto& l : lines_) all += l + "\n";
        return all;
    }
    bool Stop() {
        if (pid_ <= 0)
            return false;
        kill(pid_, SIGTERM);
        pid_ = 0;
        return WaitFor("stopped", 5000).has_value();
    }

private:
    bool ReadMore(Clock::time_point end) {
        if (pipe_ == nullptr)
            return false;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        pollfd p{fileno(pipe_), POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(std::max<int64_t>(left.count(), 0))) <= 0)
            return false;
        char buf[1024];
        ssize_t n = read(fileno(pipe_), buf, sizeof buf);
        if (n <= 0)
            return false;
        partial_.append(buf, static_cast<size_t>(n));
        for (size_t nl; (nl = partial_.find('\n')) != std::string::npos; partial_.erase(0, nl + 1))
            lines_.push_back(partial_.substr(0, nl));
        return true;
    }

    FILE* pipe_ = nullptr;
    int pid_ = 0;
    std::string partial_;
    std::vector<std::string> lines_;
};

class AddressServerElectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        IXO_REQUIRE_NETNS();
        std::string error;
        hosts = NetHosts::Create(3, &error);
        ASSERT_TRUE(hosts) << error;
        for (int i = 0; i < 3; ++i) {
            char tmpl[] = "/tmp/ixo-election-XXXXXX";
            folders.push_back(mkdtemp(tmpl));
            std::ofstream(folders.back() + "/bootp.cfg")
                << "gateway=198.18.0.1\nsubnetmask=255.255.255.0\n";
        }
    }
    void TearDown() override {
        for (const auto& f : folders) std::filesystem::remove_all(f);
    }
    std::unique_ptr<NetHosts> hosts;
    std::vector<std::string> folders;
};

TEST_F(AddressServerElectionTest, PrimaryAndBackupAndTheTakeOver) {
    ServerProcess primary(*hosts, 0, folders[0], 3, 0);
    ASSERT_EQ(primary.WaitFor("start ", 5000), "start 0") << primary.Dump();
    ASSERT_TRUE(primary.WaitFor("role 1", 3000)) << primary.Dump();

    ServerProcess backup(*hosts, 1, folders[1], 2, 2);
    ASSERT_EQ(backup.WaitFor("start ", 5000), "start 0") << backup.Dump();
    ASSERT_TRUE(backup.WaitFor("msg 30000000 Bootp Master server is 198.18.0.2", 5000))
        << backup.Dump();

    // A third server that wants to be primary hears the primary answer its probe.
    ServerProcess late(*hosts, 2, folders[2], 3, 0);
    EXPECT_EQ(late.WaitFor("start ", 5000), "start 80810010") << late.Dump();

    // The backup follows the primary; when the primary stops, it takes over.
    EXPECT_FALSE(backup.WaitFor("msg 30000000 This host now active", 0)) << backup.Dump();
    const size_t before = backup.LineCount();
    ASSERT_TRUE(primary.Stop()) << primary.Dump();
    EXPECT_TRUE(backup.WaitFor("msg 30000000 This host now active bootp server", 5000, before))
        << backup.Dump();
    EXPECT_TRUE(backup.WaitFor("role 3", 1000, before)) << backup.Dump();
}

}  // namespace
