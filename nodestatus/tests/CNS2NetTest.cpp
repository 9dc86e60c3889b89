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
#include "testsupport/Notice.h"

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
    // `stepped` is told of each of the engine's work steps.
    HostEngine(const std::string& mac, int mode, ixo::testsupport::Notice& stepped)
        : CNS2(0, NS2_PORT, NS2_GROUP, 0x3041, 1, "host", true, mode, 50),
          mac_(mac.c_str()),
          stepped_(stepped) {
        SetReportInterval(kInterval);
    }
    ~HostEngine() override { Stop(); }
    void OnNodeOnline(CNS2Node& n) override { Note(n, true); }
    void OnNodeOffline(CNS2Node& n) override { Note(n, false); }
    void OnWorkStep() override { stepped_.Notify(); }
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
    ixo::testsupport::Notice& stepped_;
    std::mutex m_;
    std::map<uint32_t, Clock::time_point> online_, offline_;
};

struct Member {
    std::unique_ptr<UdpTestTransport> transport;
    std::unique_ptr<HostEngine> engine;
    uint32_t ip = 0;
};

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
        m.engine = std::make_unique<HostEngine>(hosts->Mac(host), mode, stepped);
        uint32_t result = 0;
        EXPECT_TRUE(
            hosts->RunIn(host, [&] { result = m.engine->CreateWorkThread(m.transport.get()); }));
        EXPECT_EQ(result, NS2_S_OK);
        members.push_back(std::move(m));
        return members.back();
    }

    // True once `done` holds after a work step of one of the engines; false when it does
    // not within `ms`.
    bool WaitFor(const std::function<bool()>& done, int ms) { return stepped.Await(done, ms); }

    ixo::testsupport::Notice stepped;  // outlives the engines
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
        std::vector<uint8_t> buffer(2048);
        uint32_t from = 0;
        uint16_t port = 0;
        size_t n = 0;
        // The member's next report shows that the group reaches this host.
        ASSERT_TRUE(raw.WaitReadable(3 * kInterval));
        ASSERT_TRUE(raw.Receive(from, port, buffer, n));
        std::thread stopper([&] { a.engine->Stop(); });
        for (auto end = Clock::now() + std::chrono::milliseconds(800);;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
            if (left.count() <= 0 || !raw.WaitReadable(static_cast<int>(left.count())))
                break;
            // Regular form with report interval 0: "I am going off line".
            if (raw.Receive(from, port, buffer, n) && n == 36 && buffer[1] == 0 &&
                buffer[28] == 0 && buffer[29] == 0)
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
