// The device monitor: which list operation each engine report becomes, and the engines'
// lives across Start, restart and Stop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "versiontool/DeviceMonitor.h"

namespace {

struct FakeEngine : CDiscoveryEngine {
    explicit FakeEngine(EngineKind k, std::vector<FakeEngine*>& all) : kind(k), all_(all) {
        all_.push_back(this);
    }
    ~FakeEngine() override { std::erase(all_, this); }
    UdpStatus Start(IDeviceEngineSink* s) override {
        sink = s;
        return kind == EngineKind::Legacy ? UDPSOCK_E_NO_SOCKET : UDPSOCK_S_OK;
    }
    void Stop() override { ++stops; }
    EngineKind kind;
    IDeviceEngineSink* sink = nullptr;
    int stops = 0;

private:
    std::vector<FakeEngine*>& all_;
};

struct ListCalls : IDeviceListSink {
    bool OnCurrentDeviceFound(const DeviceEvent& e) override { return Note("current found", e); }
    bool OnCurrentDeviceLost(const DeviceEvent& e) override { return Note("current lost", e); }
    bool OnOlderDeviceFound(const DeviceEvent& e) override { return Note("older found", e); }
    bool OnOlderDeviceLost(const DeviceEvent& e) override { return Note("older lost", e); }
    bool Note(const char* what, const DeviceEvent& e) {
        calls.push_back(std::string(what) + " " + e.name);
        return true;
    }
    std::vector<std::string> calls;
};

DeviceEvent Event(const char* name, std::optional<std::array<uint16_t, 3>> net) {
    DeviceEvent e;
    e.name = name;
    if (net) {
        VavVersionData d;
        d.major = (*net)[0], d.minor = (*net)[1], d.patch = (*net)[2];
        e.netVersion = VavVersionInfo(d);
    }
    return e;
}

class DeviceMonitorTest : public ::testing::Test {
protected:
    std::vector<FakeEngine*> engines;  // outlives the monitor, whose engines leave it
    CDeviceMonitor monitor{
        [this](EngineKind kind) { return std::make_unique<FakeEngine>(kind, engines); }};
    ListCalls list;
};

TEST_F(DeviceMonitorTest, ReportsGoToCurrentOrOlderOperations) {
    EXPECT_EQ(monitor.Start(&list), UDPSOCK_E_NO_SOCKET) << "the older engine's request status";
    ASSERT_EQ(engines.size(), 2u);
    EXPECT_EQ(engines[0]->kind, EngineKind::NodeStatus);
    EXPECT_EQ(engines[1]->kind, EngineKind::Legacy);
    IDeviceEngineSink& sink = *engines[0]->sink;
    sink.OnDeviceFound(Event("a", std::array<uint16_t, 3>{4, 0, 13}));
    sink.OnDeviceFound(Event("b", std::array<uint16_t, 3>{3, 9, 99}));
    sink.OnDeviceFound(Event("c", std::array<uint16_t, 3>{4, 0, 14}));
    sink.OnDeviceFound(Event("d", std::array<uint16_t, 3>{4, 1, 0}));
    sink.OnDeviceFound(Event("e", std::array<uint16_t, 3>{5, 0, 0}));
    sink.OnDeviceFound(Event("f", std::nullopt));
    engines[1]->sink->OnDeviceLost(Event("g", std::array<uint16_t, 3>{4, 0, 14}));
    engines[1]->sink->OnDeviceLost(Event("h", std::nullopt));
    EXPECT_EQ(list.calls,
              (std::vector<std::string>{"older found a", "older found b", "current found c",
                                        "current found d", "current found e", "older found f",
                                        "current lost g", "older lost h"}));
}

TEST_F(DeviceMonitorTest, StartRestartAndStop) {
    monitor.Stop();  // stopped: nothing happens
    EXPECT_FALSE(monitor.IsRunning());

    monitor.Start(&list);
    std::vector<FakeEngine*> first = engines;
    IDeviceEngineSink* sink = first[0]->sink;
    monitor.Start(&list);  // a restart tears the old engines down
    EXPECT_EQ(monitor.EngineCount(), 2u);
    ASSERT_EQ(engines.size(), 2u);
    EXPECT_NE(engines[0], first[0]);
    EXPECT_TRUE(monitor.IsRunning());

    monitor.Stop();
    EXPECT_TRUE(engines.empty());
    EXPECT_EQ(monitor.EngineCount(), 0u);
    sink->OnDeviceFound(Event("late", std::nullopt));  // a report racing with Stop
    EXPECT_TRUE(list.calls.empty());
}

}  // namespace
