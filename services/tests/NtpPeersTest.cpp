// Two time engines on two test hosts, each on a fake clock in a process of its own:
// the one that follows the other elects it, steps its clock by the difference, and the
// election between equal strata goes by address.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <string>
#include <thread>

#include "testsupport/NetHosts.h"

namespace {

using ixo::testsupport::NetHosts;

std::string Join(const std::vector<std::string>& words) {
    std::string s;
    for (const auto& w : words) s += w + " ";
    return s;
}

// Runs both peers at once for `seconds`; their output lines.
std::pair<std::string, std::string> RunPair(const NetHosts& hosts, const std::string& args0,
                                            const std::string& args1, int seconds) {
    std::string out[2];
    const std::string args[2] = {args0, args1};
    std::thread runners[2];
    for (int i = 0; i < 2; ++i) {
        runners[i] = std::thread([&, i] {
            const std::string command = Join(hosts.Exec(i)) + NTP_PEER + " " + args[i] + " " +
                                        std::to_string(seconds) + " 2>&1";
            FILE* p = popen(command.c_str(), "r");
            char line[256];
            while (p != nullptr && fgets(line, sizeof line, p) != nullptr) out[i] += line;
            if (p != nullptr)
                pclose(p);
        });
    }
    for (auto& r : runners) r.join();
    return {out[0], out[1]};
}

// The clock step the output reports; NaN when none.
double StepOf(const std::string& out) {
    const size_t at = out.find("step ");
    return at == std::string::npos ? std::nan("") : std::atof(out.c_str() + at + 5);
}

class NtpPeersTest : public ::testing::Test {
protected:
    void SetUp() override {
        IXO_REQUIRE_NETNS();
        std::string error;
        hosts = NetHosts::Create(2, &error);
        ASSERT_TRUE(hosts) << error;
    }
    std::unique_ptr<NetHosts> hosts;
};

TEST_F(NtpPeersTest, FollowsALowerStratumAndStepsByTheDifference) {
    // Host 0 (198.18.0.2) at stratum 5 runs 100 s ahead of host 1 at stratum 10.
    auto [out0, out1] = RunPair(*hosts, "5 100", "10 0", 9);
    EXPECT_NE(out1.find("source 198.18.0.2 5\n"), std::string::npos) << out1;
    EXPECT_NEAR(StepOf(out1), 100.0, 0.05) << out1;
    EXPECT_EQ(out0.find("step"), std::string::npos) << out0;
    EXPECT_NE(out0.find("serving\n"), std::string::npos) << out0;
}

TEST_F(NtpPeersTest, EqualStrataElectTheLowerAddress) {
    // Host 1 (198.18.0.3) is 40 s ahead: it is the higher address, so it follows host 0.
    auto [out0, out1] = RunPair(*hosts, "8 0", "8 40", 11);
    EXPECT_NE(out1.find("source 198.18.0.2 8\n"), std::string::npos) << out1;
    EXPECT_NEAR(StepOf(out1), -40.0, 0.05) << out1;
    EXPECT_EQ(out0.find("step"), std::string::npos) << out0;
    EXPECT_EQ(out0.find("source"), std::string::npos) << out0;
}

// A stranger on the lighting network (the test's own side, 198.18.0.1) broadcasts a time
// 500 s ahead at stratum 2 and sends the same as answers, twenty times: the engine's fake
// clock does not move.
TEST_F(NtpPeersTest, ForgedBroadcastsMoveNoClock) {
    std::thread sender([&] {
        const int fd = socket(AF_INET, SOCK_DGRAM, 0);
        for (int i = 0; i < 20; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            timespec now{};
            clock_gettime(CLOCK_REALTIME, &now);
            const uint32_t seconds = static_cast<uint32_t>(now.tv_sec + 2208988800u + 500);
            for (uint8_t mode : {5, 4}) {
                uint8_t packet[48] = {static_cast<uint8_t>(3 << 3 | mode), 2, 6, 0xEC};
                for (int at : {16, 24, 32, 40})
                    for (int b = 0; b < 4; ++b)
                        packet[at + b] = static_cast<uint8_t>(seconds >> (24 - 8 * b));
                for (const std::string& to : {std::string("224.0.1.1"), hosts->Address(1)}) {
                    sockaddr_in a{};
                    a.sin_family = AF_INET;
                    a.sin_port = htons(123);
                    inet_pton(AF_INET, to.c_str(), &a.sin_addr);
                    sendto(fd, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
                }
            }
        }
        close(fd);
    });
    // Host 0 runs a peer as well (stratum 12): its three polls settle host 1's engine.
    auto [out0, out1] = RunPair(*hosts, "12 0", "10 0", 7);
    sender.join();
    EXPECT_EQ(out1.find("step"), std::string::npos) << out1;
    EXPECT_NE(out1.find("serving\n"), std::string::npos) << out1;
}

}  // namespace
