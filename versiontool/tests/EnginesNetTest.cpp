// The discovery engines on real multicast between network namespaces: their requests
// caught byte for byte, and devices announced by a test sender (both generations) and by
// the project's own node-status engine found, changed and lost three intervals after
// they fall silent.
#include <gtest/gtest.h>

#include <mutex>

#include "nodestatus/CNS2.h"
#include "nodestatus/fakes/UdpTestTransport.h"
#include "platform/VavClock.h"
#include "platform/VavVersionRegistry.h"
#include "testsupport/Notice.h"
#include "testsupport/SelectedCardTest.h"
#include "versiontool/DeviceMonitor.h"
#include "versiontool/LegacyStatusEngine.h"
#include "versiontool/NodeStatusEngine.h"
#include "versiontool/StatusPackets.h"
#include "versiontool/tests/NetSupport.h"
#include "versiontool/tests/TestPackets.h"

namespace quillon::test {
namespace {

using ms = std::chrono::milliseconds;

struct Heard {
    std::string what;  // "current found", "older lost", ...
    DeviceEvent event;
    Clock::time_point at;
};

// The device list as the monitor sees it: every call, with its time.
class HeardList : public IDeviceListSink {
public:
    bool OnCurrentDeviceFound(const DeviceEvent& e) override { return Note("current found", e); }
    bool OnCurrentDeviceLost(const DeviceEvent& e) override { return Note("current lost", e); }
    bool OnOlderDeviceFound(const DeviceEvent& e) override { return Note("older found", e); }
    bool OnOlderDeviceLost(const DeviceEvent& e) override { return Note("older lost", e); }

    // The first call about `name` of kind `what` (a part of it, such as "lost").
    std::optional<Heard> Find(const std::string& what, const std::string& name) {
        std::lock_guard lock(m_);
        for (const Heard& h : heard_)
            if (h.what.find(what) != std::string::npos && h.event.name == name)
                return h;
        return std::nullopt;
    }
    bool WaitFor(const std::string& what, const std::string& name, int ms) {
        return notice_.Await([&] { return Find(what, name).has_value(); }, ms);
    }
    std::vector<Heard> Take() {
        std::lock_guard lock(m_);
        return std::exchange(heard_, {});
    }

private:
    bool Note(const char* what, const DeviceEvent& e) {
        {
            std::lock_guard lock(m_);
            heard_.push_back({what, e, Clock::now()});
        }
        notice_.Notify();
        return true;
    }
    std::mutex m_;
    std::vector<Heard> heard_;
    ixo::testsupport::Notice notice_;  // told of every call
};

// What an engine reports: the names, in order, each waking Await.
class NamesSink : public IDeviceEngineSink {
public:
    void OnDeviceFound(const DeviceEvent& e) override { Note(e.name); }
    void OnDeviceLost(const DeviceEvent& e) override { Note(e.name); }
    std::vector<std::string> Names() {
        std::lock_guard lock(m_);
        return names_;
    }
    bool Await(size_t count, int ms) {
        return notice_.Await([&] { return Names().size() >= count; }, ms);
    }

private:
    void Note(const std::string& name) {
        {
            std::lock_guard lock(m_);
            names_.push_back(name);
        }
        notice_.Notify();
    }
    std::mutex m_;
    std::vector<std::string> names_;
    ixo::testsupport::Notice notice_;
};

using EnginesNetTest = ixo::testsupport::SelectedCardTest;

// The session value is the clock when the request was built: the same in every copy.
void ExpectRequest(const std::vector<uint8_t>& got, const std::vector<uint8_t>& expected,
                   uint32_t before, uint32_t after, size_t sessionAt) {
    ASSERT_EQ(got.size(), expected.size());
    uint32_t session = 0;
    for (int i = 3; i >= 0; --i) session = session << 8 | got[sessionAt + i];
    EXPECT_LE(session - before, after - before) << "session " << session;
    std::vector<uint8_t> masked = got;
    std::copy_n(expected.begin() + sessionAt, 4, masked.begin() + sessionAt);
    EXPECT_EQ(masked, expected);
}

TEST_F(EnginesNetTest, RequestsOnTheWire) {
    HostSocket legacyListener(*hosts_, 0, kLegacyStatusPort, kStatusGroup);
    HostSocket nodeListener(*hosts_, 0, kNodeStatusPort, kStatusGroup);
    HostSocket sender(*hosts_, 0, 0, 0);
    ASSERT_TRUE(legacyListener.Valid() && nodeListener.Valid() && sender.Valid());
    NamesSink sink;
    CLegacyStatusEngine legacy;
    CNodeStatusEngine node;
    const uint32_t before = GetMilliseconds();
    EXPECT_EQ(legacy.Start(&sink), UDPSOCK_S_OK);
    EXPECT_EQ(node.Start(&sink), UDPSOCK_S_OK);
    const uint32_t after = GetMilliseconds();

    // Every request went out before Start returned. A device then announces itself from
    // the host: what the listeners hear before it is all the engines sent, and once both
    // engines have reported it they have handled the echoes of their own requests, which
    // came in before it.
    std::vector<std::vector<uint8_t>> legacyGot, nodeGot;
    for (size_t i = 0; i < 6; ++i)
        if (auto d = legacyListener.Receive(5000))
            legacyGot.push_back(*d);
    for (size_t i = 0; i < 3; ++i)
        if (auto d = nodeListener.Receive(5000))
            nodeGot.push_back(*d);
    TestDevice marker;
    marker.name = "Marker", marker.type = 0x2185, marker.appId = 9;
    marker.ip = HostOrder(hosts_->Address(0));
    const auto legacyMarker = LegacyBytes(marker);
    const auto nodeMarker = NodeStatusBytes(marker);
    sender.SendTo(kStatusGroup, kLegacyStatusPort, legacyMarker);
    sender.SendTo(kStatusGroup, kNodeStatusPort, nodeMarker);
    auto untilMarker = [](const HostSocket& listener, const std::vector<uint8_t>& marker) {
        std::vector<std::vector<uint8_t>> extra;
        while (auto d = listener.Receive(5000)) {
            if (*d == marker)
                break;
            extra.push_back(*d);
        }
        return extra.size();
    };
    EXPECT_EQ(untilMarker(legacyListener, legacyMarker), 0u);
    EXPECT_EQ(untilMarker(nodeListener, nodeMarker), 0u);
    ASSERT_EQ(legacyGot.size(), 6u);
    const uint8_t flags[6] = {0, 0, 0, 1, 1, 1};
    for (size_t i = 0; i < 6; ++i) {
        const auto expected = BuildLegacyRequest(flags[i], kBridgeMac, kBridge, 0);
        ExpectRequest(legacyGot[i], {expected.begin(), expected.end()}, before, after, 16);
        EXPECT_EQ(std::vector(legacyGot[i].begin() + 16, legacyGot[i].begin() + 20),
                  std::vector(legacyGot[0].begin() + 16, legacyGot[0].begin() + 20));
    }
    ASSERT_EQ(nodeGot.size(), 3u);
    for (const auto& got : nodeGot) {
        const auto expected = BuildNodeStatusRequest(kBridgeMac, kBridge, 0);
        ExpectRequest(got, {expected.begin(), expected.end()}, before, after, 24);
        EXPECT_EQ(std::vector(got.begin(), got.begin() + 12),
                  (std::vector<uint8_t>{8, 2, 3, 0, 52, 0, 0, 0, 36, 0, 0, 0}));
    }

    // The engines hear their own requests come back as short forms, and never report them.
    ASSERT_TRUE(sink.Await(2, 5000));
    legacy.Stop();
    node.Stop();
    EXPECT_EQ(sink.Names(), (std::vector<std::string>{"Marker", "Marker"}));
}

TEST_F(EnginesNetTest, DevicesOfBothGenerationsFoundChangedAndLost) {
    HostSocket sender(*hosts_, 0, 0, 0);
    HeardList list;
    CDeviceMonitor monitor;
    monitor.Start(&list);

    TestDevice older, current;
    older.name = "Old node", older.interval = 200, older.type = 0x2185;
    older.versions = {{11, 3, 9, 0, 0, 0, 0}};
    current.name = "New node", current.interval = 200, current.type = 0x2185;
    current.mac[5] = 0x77, current.appId = 9;
    current.ip = HostOrder(hosts_->Address(0));
    auto announce = [&] {
        sender.SendTo(kStatusGroup, kLegacyStatusPort, LegacyBytes(older));
        sender.SendTo(kStatusGroup, kNodeStatusPort, NodeStatusBytes(current));
    };
    announce();
    ASSERT_TRUE(list.WaitFor("older found", "Old node", 2000));
    ASSERT_TRUE(list.WaitFor("current found", "New node", 2000));
    auto heard = list.Take();
    ASSERT_EQ(heard.size(), 2u);
    for (const Heard& h : heard) {
        EXPECT_TRUE(h.event.updatable) << h.event.name << ": class 4";
        EXPECT_EQ(h.event.typeName, "0x2185 Network node or gateway");
        EXPECT_EQ(h.event.appId, h.event.name == "Old node" ? 1 : 9);
    }

    // A rename: the entry under the old name goes, the new one comes.
    older.name = "Old node 2";
    current.word0 = 0x10000;  // a status word: found again
    announce();
    ASSERT_TRUE(list.WaitFor("older found", "Old node 2", 2000));
    ASSERT_TRUE(list.WaitFor("current found", "New node", 2000));
    EXPECT_TRUE(list.Find("older lost", "Old node"));

    // Silence: both are lost three intervals (600 ms) after their last packet, found by the
    // next one-second sweep.
    list.Take();
    const auto silent = Clock::now();
    ASSERT_TRUE(list.WaitFor("lost", "Old node 2", 3000));
    ASSERT_TRUE(list.WaitFor("lost", "New node", 3000));
    for (const char* name : {"Old node 2", "New node"}) {
        const auto took = list.Find("lost", name)->at - silent;
        EXPECT_GE(took, ms(550)) << name;
        EXPECT_LE(took, ms(600 + 1000 + 200)) << name;
    }
    monitor.Stop();
}

// The project's own node-status engine, as the editor and the service host run it.
class NodeStatusMember : public CNS2 {
public:
    explicit NodeStatusMember(const std::string& mac)
        : CNS2(0, NS2_PORT, NS2_GROUP, 0x3041, 1, "Service host", true, NS2_MODE_MEMBER, 50),
          mac_(mac.c_str()) {
        SetReportInterval(500);
    }
    ~NodeStatusMember() override { Stop(); }
    void OnNodeOnline(CNS2Node&) override {}
    void OnNodeOffline(CNS2Node&) override {}
    bool GetOwnMacAddress(VavMacAddress& mac) override {
        mac = mac_;
        return true;
    }

private:
    VavMacAddress mac_;
};

TEST_F(EnginesNetTest, TheProjectsNodeStatusEngineIsFoundChangedAndLost) {
    GetVersionRegistry()->SetComponentVersion(VAV_COMPONENT_PROTOCOL_SUITE, ProtocolSuiteVersion());
    HeardList list;
    CDeviceMonitor monitor;
    monitor.Start(&list);

    const uint32_t ip = HostOrder(hosts_->Address(0));
    UdpTestTransport transport(ip, NS2_PORT);
    NodeStatusMember member(hosts_->Mac(0));
    uint32_t started = 0;
    ASSERT_TRUE(hosts_->RunIn(0, [&] { started = member.CreateWorkThread(&transport); }));
    ASSERT_EQ(started, NS2_S_OK);

    ASSERT_TRUE(list.WaitFor("current found", "Service host", 3000));
    Heard found = *list.Find("found", "Service host");
    EXPECT_EQ(found.event.ipAddress, ip);
    EXPECT_EQ(found.event.appId, transport.AppId());
    EXPECT_EQ(found.event.typeName, "PC application (editor or service host)");
    EXPECT_FALSE(found.event.updatable);
    std::string net;
    found.event.netVersion.FormatNumbers(3, net);
    EXPECT_EQ(net, "4.0.14");

    list.Take();
    member.SetServerRole(1);  // a new status word in its next report
    ASSERT_TRUE(list.WaitFor("current found", "Service host", 2000));

    transport.muted = true;  // silent, without a goodbye
    const auto silent = Clock::now();
    ASSERT_TRUE(list.WaitFor("current lost", "Service host", 4000));
    const auto took = list.Find("lost", "Service host")->at - silent;
    EXPECT_GE(took, ms(1000)) << "last heard at most one interval before the silence";
    EXPECT_LE(took, ms(1500 + 1000 + 200));
    monitor.Stop();
}

}  // namespace
}  // namespace quillon::test
