// Two time engines on two test hosts, each on a fake clock in a process of its own:
// the one that follows the other elects it, steps its clock by the difference, and the
// election between equal strata goes by address.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
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

}  // namespace
