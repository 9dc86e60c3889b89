// The node-status engine on an in-memory transport with a clock the test moves.
#include "nodestatus/CNS2.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "nodestatus/fakes/FakeNS2Transport.h"
#include "os/FakeClock.h"
#include "platform/VavVersionRegistry.h"
#include "testsupport/Notice.h"

namespace {

struct Event {
    bool online;
    bool update;
    std::string mac;
    uint8_t app;
};

class TestEngine : public CNS2 {
public:
    explicit TestEngine(int mode = NS2_MODE_MEMBER)
        : CNS2(0, NS2_PORT, NS2_GROUP, 0x3041, 0x5555, "Tessaly", true, mode, 50) {}
    ~TestEngine() override { Stop(); }
    void OnNodeOnline(CNS2Node& n) override { Record(true, n); }
    void OnNodeOffline(CNS2Node& n) override { Record(false, n); }
    void OnWorkStep() override { stepped.Notify(); }
    bool GetOwnMacAddress(VavMacAddress& mac) override {
        mac = VavMacAddress("02:18:00:00:00:02");
        return true;
    }
    ixo::testsupport::Notice stepped;

    std::vector<Event> Events() {
        std::lock_guard lock(m_);
        return events_;
    }

private:
    void Record(bool online, CNS2Node& n) {
        std::lock_guard lock(m_);
        events_.push_back({online, n.IsUpdate(), n.GetMacAddress().ToText(), n.GetSourceAppId()});
    }
    std::mutex m_;
    std::vector<Event> events_;
};

std::vector<uint8_t> Packet(const char* mac, uint8_t app, uint32_t session, uint32_t interval,
                            NS2Form form = NS2Form::Regular, uint32_t ip = 0xC6120009) {
    CNS2Node n(VavMacAddress(mac), app);
    n.SetNodeType(0x2181);
    n.SetIpAddress(ip);
    n.SetSessionId(session);
    n.SetReportInterval(interval);
    std::array<uint8_t, NS2_MAX_PACKET> b{};
    size_t len = NS2BuildPacket(n, form, 3, 1, b);
    return std::vector<uint8_t>(b.begin(), b.begin() + len);
}

class CNS2Test : public ::testing::Test {
protected:
    void TearDown() override { StopEngine(); }
    // The first report goes out 1 ms after the start.
    void Start() {
        ASSERT_EQ(engine.CreateWorkThread(&transport), NS2_S_OK);
        Settle();
        MoveBy(1);
    }
    // Returns once the work thread has handled every datagram pushed and every timer due
    // at the current fake time, and rests until its next deadline.
    void Settle() {
        ASSERT_TRUE(WaitFor([&] { return transport.Queued() == 0; }));
        ASSERT_TRUE(fakeNow.AwaitSleepers(1));
    }
    // The clock moves only while the work thread rests, so that it measures its rest from
    // the time it has seen.
    void MoveTo(uint32_t t) {
        Settle();
        fakeNow = t;
    }
    void MoveBy(uint32_t ms) { MoveTo(fakeNow.Now() + ms); }
    // Stops the engine on another thread and moves the clock through the 20 ms spacing of
    // its final packets as each goes out.
    void StopEngine() {
        if (!engine.IsRunning()) {
            engine.Stop();
            return;
        }
        Settle();
        const size_t before = transport.SentPackets().size();
        std::thread stopper([&] { engine.Stop(); });
        for (size_t i = 1; i < 5; ++i) {
            ASSERT_TRUE(
                transport.sent.Await([&] { return transport.SentPackets().size() >= before + i; }));
            ASSERT_TRUE(fakeNow.AwaitSleepers(1));
            fakeNow += 20;
        }
        stopper.join();
    }
    // True once `done` holds after one of the engine's work steps.
    bool WaitFor(const std::function<bool()>& done) { return engine.stepped.Await(done, 5000); }
    size_t EventCount() { return engine.Events().size(); }
    // Packets the engine sent in `form`.
    size_t SentInForm(NS2Form form) {
        size_t n = 0;
        for (const auto& s : transport.SentPackets()) n += s.bytes[1] == static_cast<uint8_t>(form);
        return n;
    }

    os::FakeClock fakeNow{100000};
    FakeNS2Transport transport;
    TestEngine engine;
};

TEST_F(CNS2Test, StartRefusalsAndCodes) {
    EXPECT_EQ(engine.CreateWorkThread(static_cast<NS2Transport*>(nullptr)), NS2_E_NO_FACTORY);
    transport.refuseAttach = true;
    EXPECT_EQ(engine.CreateWorkThread(&transport), NS2_E_NO_CONNECTION);
    transport.refuseAttach = false;
    Start();
    EXPECT_EQ(engine.CreateWorkThread(&transport), NS2_E_STATE);
    EXPECT_TRUE(WaitFor([&] { return transport.IsJoined(NS2_GROUP, NS2_PORT); }));
}

TEST_F(CNS2Test, MemberExpiresThreeIntervalsAfterItsLastPacket) {
    Start();
    Settle();  // the sweep timer is armed at 100000: sweeps at 101000, 102000, ...
    transport.Push(Packet("00:11:22:33:44:55", 1, 7, 1500));
    ASSERT_TRUE(WaitFor([&] { return EventCount() == 1; }));
    EXPECT_TRUE(engine.Events()[0].online);
    EXPECT_EQ(engine.GetOnlineCount(), 1);
    for (uint32_t t : {101000u, 102000u, 103000u, 104000u, 104499u}) MoveTo(t);
    Settle();
    EXPECT_EQ(EventCount(), 1u);
    // Expiry 104500 has passed; the next sweep (due by 105500 even when the work thread
    // saw only some of the times above) finds it.
    MoveTo(105500);
    ASSERT_TRUE(WaitFor([&] { return EventCount() == 2; }));
    EXPECT_FALSE(engine.Events()[1].online);
    EXPECT_EQ(engine.GetOnlineCount(), 0);
    // It comes back to its old record.
    transport.Push(Packet("00:11:22:33:44:55", 1, 7, 1500));
    ASSERT_TRUE(WaitFor([&] { return EventCount() == 3; }));
    EXPECT_EQ(engine.CopyNodes().size(), 1u);
    EXPECT_TRUE(engine.CopyNodes()[0].WasSeenOffline());
}

TEST_F(CNS2Test, RestartIsReportedOffThenOnAndChangesAsUpdates) {
    Start();
    transport.Push(Packet("00:11:22:33:44:55", 1, 7, 1500));
    transport.Push(Packet("00:11:22:33:44:55", 1, 7, 1500));  // nothing new
    transport.Push(Packet("00:11:22:33:44:55", 1, 8, 1500));  // new session
    transport.Push(Packet("00:11:22:33:44:55", 1, 8, 1500, NS2Form::Announce));
    transport.Push(Packet("00:11:22:33:44:55", 1, 8, 1500, NS2Form::Regular, 0xC6120010));
    ASSERT_TRUE(WaitFor([&] { return EventCount() == 6; }));
    Settle();
    auto e = engine.Events();
    ASSERT_EQ(e.size(), 6u);
    EXPECT_TRUE(e[0].online && !e[0].update);
    EXPECT_TRUE(!e[1].online && e[2].online);  // new session id
    EXPECT_TRUE(!e[3].online && e[4].online);  // announce
    EXPECT_TRUE(e[5].online && e[5].update);   // address changed
    EXPECT_EQ(engine.GetOnlineCount(), 1);
}

TEST_F(CNS2Test, KeyIsHardwareAddressAndApplicationId) {
    Start();
    transport.Push(Packet("00:11:22:33:44:55", 1, 7, 1500));
    transport.Push(Packet("00:11:22:33:44:55", 2, 7, 1500));
    // A departing member that was never on line leaves a record and no report.
    transport.Push(Packet("00:11:22:33:44:66", 1, 7, 0));
    ASSERT_TRUE(WaitFor([&] { return engine.CopyNodes().size() == 3; }));
    Settle();
    EXPECT_EQ(EventCount(), 2u);
    EXPECT_EQ(engine.GetOnlineCount(), 2);
    // Bytes that are no whole node-status packet never make a record.
    auto lying = Packet("00:11:22:33:44:77", 1, 7, 1500);
    lying[8] = 40;
    transport.Push(lying);
    Settle();
    EXPECT_EQ(engine.CopyNodes().size(), 3u);
}

TEST_F(CNS2Test, StartUpBurstThenRegularReports) {
    engine.SetReportInterval(100);
    EXPECT_EQ(engine.CopyOwnNode().GetReportInterval(), 500u);
    Start();
    ASSERT_TRUE(WaitFor([&] { return SentInForm(NS2Form::Long) == 1; }));
    for (int i = 0; i < 5; ++i) {
        MoveBy(500);  // burst spacing, never more than the report interval
        ASSERT_TRUE(WaitFor([&] { return SentInForm(NS2Form::Long) == size_t(i) + 2; }));
    }
    Settle();
    EXPECT_EQ(SentInForm(NS2Form::Regular), 0u);
    for (int i = 1; i <= 20; ++i) {
        MoveBy(500);
        ASSERT_TRUE(WaitFor([&] {
            return SentInForm(NS2Form::Regular) + SentInForm(NS2Form::Long) == size_t(i) + 6;
        }));
    }
    EXPECT_EQ(SentInForm(NS2Form::Regular), 19u);  // every 20th report is long
    auto own = transport.SentPackets().back();
    EXPECT_EQ(own.address, NS2_GROUP);
    EXPECT_EQ(own.port, NS2_PORT);
    EXPECT_EQ(std::vector<uint8_t>(own.bytes.begin() + 14, own.bytes.begin() + 20),
              (std::vector<uint8_t>{0x02, 0x18, 0, 0, 0, 0x02}));
}

TEST_F(CNS2Test, IdleThreadStepsAtItsDeadlinesAndAtOnceForAPacket) {
    Start();  // the burst's first report goes out now, the next 1500 ms later
    ASSERT_TRUE(WaitFor([&] { return SentInForm(NS2Form::Long) == 1; }));
    Settle();
    const uint64_t steps = engine.CompletedSteps();
    // Three seconds in 10 ms moves with nobody on line: the two burst reports due in them
    // are the only steps.
    for (int i = 0; i < 300; ++i) MoveBy(10);
    Settle();
    EXPECT_EQ(engine.CompletedSteps(), steps + 2);
    EXPECT_EQ(SentInForm(NS2Form::Long), 3u);
    // After the long rest a member's packet is handled without the clock moving.
    const uint32_t now = fakeNow.Now();
    transport.Push(Packet("00:11:22:33:44:55", 1, 7, 1500));
    ASSERT_TRUE(WaitFor([&] { return EventCount() == 1; }));
    EXPECT_EQ(fakeNow.Now(), now);
    EXPECT_EQ(engine.GetOnlineCount(), 1);
}

TEST_F(CNS2Test, LongFormCarriesTheRegisteredVersions) {
    GetVersionRegistry()->SetComponentVersion(VAV_COMPONENT_PROTOCOL_SUITE, ProtocolSuiteVersion());
    Start();
    ASSERT_TRUE(WaitFor([&] { return SentInForm(NS2Form::Long) == 1; }));
    CNS2Node heard;
    bool newSession = false;
    ASSERT_EQ(NS2ParsePacket(heard, transport.SentPackets().front().bytes, newSession),
              NS2PacketError::None);
    EXPECT_EQ(heard.GetProtocolVersionMap().at(8), (NS2ProtocolVersion{3, 1, 2}));
    EXPECT_EQ(heard.GetVersionMap().at(11), (NS2ComponentVersion{4, 0, 14, 0, 0, 0}));
    EXPECT_EQ(heard.GetName(), "Tessaly");
}

TEST_F(CNS2Test, StopSendsFinalStatusFiveTimesAndLeaves) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return transport.IsJoined(NS2_GROUP, NS2_PORT); }));
    ASSERT_TRUE(WaitFor([&] { return SentInForm(NS2Form::Long) == 1; }));
    Settle();
    const size_t before = transport.SentPackets().size();
    StopEngine();
    EXPECT_EQ(engine.Stop(), NS2_S_OK);
    auto sent = transport.SentPackets();
    ASSERT_EQ(sent.size(), before + 5);
    for (size_t i = before; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].bytes.size(), 36u);
        EXPECT_EQ(sent[i].bytes[1], 0);  // regular form
        EXPECT_EQ(std::vector<uint8_t>(sent[i].bytes.begin() + 28, sent[i].bytes.begin() + 32),
                  (std::vector<uint8_t>{0, 0, 0, 0}));  // interval 0: going off line
    }
    EXPECT_FALSE(transport.IsJoined(NS2_GROUP, NS2_PORT));
    EXPECT_FALSE(transport.attached);
    // A stopped engine starts again and reports with its interval.
    Start();
    ASSERT_TRUE(WaitFor([&] { return transport.SentPackets().size() > before + 5; }));
    EXPECT_EQ(transport.SentPackets().back().bytes[28], 0xDC);
}

}  // namespace
