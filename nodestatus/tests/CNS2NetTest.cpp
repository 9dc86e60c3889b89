// Node-status engines on different hosts (network namespaces), real multicast.
#include <arpa/inet.h>
#include <poll.h>

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <thread>

#include "nodestatus/CNS2.h"
#include "nodestatus/fakes/UdpTestTransport.h"
#include "testsupport/NetHosts.h"

namespace {

using ixo::testsupport::NetHosts;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kInterval = 500;

uint32_t HostOrder(const std::string& dotted) {
    in_addr a{};
    inet_pton(AF_INET, dotted.c_str(), &a);
    return ntohl(a.s_addr);
}

class HostEngine : public CNS2 {
public:
    HostEngine(const std::string& mac, int mode)
        : CNS2(0, NS2_PORT, NS2_GROUP, 0x3041, 1, "host", true, mode, 50), mac_(mac.c_str()) {
        SetReportInterval(kInterval);
    }
    ~HostEngine() override { Stop(); }
    void OnNodeOnline(CNS2Node& n) override { Note(n, true); }
    void OnNodeOffline(CNS2Node& n) override { Note(n, false); }
    bool GetOwnMacAddress(VavMacAddress& mac) override {
        mac = mac_;
        return true;
    }
    // When `ip` was last reported on line (true) or off line; empty when never.
    std::optional<Clock::time_point> Seen(uint32_t ip, bool online) {
        std::lock_guard lock(m_);
        auto& map = online ? online_ : offline_;
        auto it = map.find(ip);
        if (it == map.end())
            return std::nullopt;
        return it->second;
    }
    bool Relaying() { return CopyOwnNode().GetStatusWord() & NS2_STATUS_RELAYING; }

private:
    void Note(CNS2Node& n, bool online) {
        std::lock_guard lock(m_);
        (online ? online_ : offline_)[n.GetIpAddress()] = Clock::now();
    }
    VavMacAddress mac_;
    std::mutex m_;
    std::map<uint32_t, Clock::time_point> online_, offline_;
};

struct Member {
    std::unique_ptr<UdpTestTransport> transport;
    std::unique_ptr<HostEngine> engine;
    uint32_t ip = 0;
};

bool WaitFor(const std::function<bool()>& done, int ms) {
    for (auto end = Clock::now() + std::chrono::milliseconds(ms); Clock::now() < end;) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

class CNS2NetTest : public ::testing::Test {
protected:
    void SetUp() override {
        IXO_REQUIRE_NETNS();
        std::string error;
        hosts = NetHosts::Create(3, &error);
        ASSERT_TRUE(hosts) << error;
    }
    void TearDown() override {
        for (auto& m : members) m.engine.reset();
    }
    Member& Start(int host, int mode) {
        Member m;
        m.ip = HostOrder(hosts->Address(host));
        m.transport = std::make_unique<UdpTestTransport>(m.ip, NS2_PORT);
        m.engine = std::make_unique<HostEngine>(hosts->Mac(host), mode);
        uint32_t result = 0;
        EXPECT_TRUE(
            hosts->RunIn(host, [&] { result = m.engine->CreateWorkThread(m.transport.get()); }));
        EXPECT_EQ(result, NS2_S_OK);
        members.push_back(std::move(m));
        return members.back();
    }

    std::unique_ptr<NetHosts> hosts;
    std::deque<Member> members;  // references stay valid as members are added
};

TEST_F(CNS2NetTest, MembersSeeEachOtherAndExpireAfterThreeSilentIntervals) {
    Member& a = Start(0, NS2_MODE_MEMBER);
    Member& b = Start(1, NS2_MODE_MEMBER);
    const auto started = Clock::now();
    ASSERT_TRUE(WaitFor([&] { return a.engine->Seen(b.ip, true) && b.engine->Seen(a.ip, true); },
                        kInterval + 100));
    EXPECT_LE(*b.engine->Seen(a.ip, true) - started, std::chrono::milliseconds(kInterval));

    b.transport->muted = true;  // silent, no goodbye
    const auto silent = Clock::now();
    ASSERT_TRUE(WaitFor([&] { return a.engine->Seen(b.ip, false).has_value(); }, 4000));
    // Last heard at most one interval before the silence; expiry three intervals later,
    // found by the next one-second sweep.
    const auto took = *a.engine->Seen(b.ip, false) - silent;
    EXPECT_GE(took, std::chrono::milliseconds(2 * kInterval));
    EXPECT_LE(took, std::chrono::milliseconds(3 * kInterval + 1000 + 400));
    EXPECT_EQ(a.engine->GetOnlineCount(), 0);
}

TEST_F(CNS2NetTest, StopSendsItsFinalStatusFiveTimes) {
    Member& a = Start(0, NS2_MODE_MEMBER);
    int finals = 0;
    std::thread listener;
    ASSERT_TRUE(hosts->RunIn(1, [&] {
        UdpTestTransport raw(HostOrder(hosts->Address(1)), NS2_PORT);
        ASSERT_TRUE(raw.Attach(0, nullptr));
        ASSERT_TRUE(raw.Join(NS2_GROUP, NS2_PORT));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::thread stopper([&] { a.engine->Stop(); });
        std::vector<uint8_t> buffer(2048);
        for (auto end = Clock::now() + std::chrono::milliseconds(800); Clock::now() < end;) {
            uint32_t from = 0;
            uint16_t port = 0;
            size_t n = 0;
            if (!raw.Receive(from, port, buffer, n)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            // Regular form with report interval 0: "I am going off line".
            if (n == 36 && buffer[1] == 0 && buffer[28] == 0 && buffer[29] == 0)
                ++finals;
        }
        stopper.join();
    }));
    EXPECT_EQ(finals, 5);
}

TEST_F(CNS2NetTest, LowestRelayCapableMemberRelaysToMembersOutsideTheGroup) {
    Member& low = Start(0, NS2_MODE_RELAY_CAPABLE);
    Member& high = Start(1, NS2_MODE_RELAY_CAPABLE);
    Member& outside = Start(2, NS2_MODE_RELAY_NEEDED);
    ASSERT_TRUE(WaitFor([&] { return !high.engine->Relaying(); }, 2000));
    EXPECT_TRUE(low.engine->Relaying());
    // The member outside the group hears the others only through the relay (the
    // relaying member relays the records it holds, not its own).
    ASSERT_TRUE(WaitFor([&] { return outside.engine->Seen(high.ip, true).has_value(); }, 3000));

    low.transport->muted = true;
    ASSERT_TRUE(WaitFor([&] { return high.engine->Relaying(); }, 4000));
    EXPECT_TRUE(high.engine->Seen(low.ip, false).has_value());
}

}  // namespace
