// An engine's device table on a moved clock: what it reports when a device comes on line,
// changes, restarts, is renamed, moves, falls silent, and in which order devices expire.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "versiontool/DeviceTable.h"
#include "versiontool/tests/TestPackets.h"

namespace quillon::test {
namespace {

struct Report {
    bool found;
    std::string name;
    uint32_t ip;
    uint8_t appId;
    bool operator==(const Report&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Report& r) {
    return os << (r.found ? "found " : "lost ") << r.name << " " << std::hex << r.ip << " app "
              << std::dec << int(r.appId);
}

class RecordingSink : public IDeviceEngineSink {
public:
    void OnDeviceFound(const DeviceEvent& e) override {
        reports.push_back({true, e.name, e.ipAddress, e.appId});
    }
    void OnDeviceLost(const DeviceEvent& e) override {
        reports.push_back({false, e.name, e.ipAddress, e.appId});
    }
    std::vector<Report> Take() { return std::exchange(reports, {}); }
    std::vector<Report> reports;
};

class DeviceTableTest : public ::testing::Test {
protected:
    void SetUp() override { table.SetSink(&sink); }
    bool Hear(const TestDevice& d, uint32_t now) {
        return table.HandleDatagram(LegacyBytes(d), now);
    }
    static Report Found(const TestDevice& d) { return {true, d.name, d.ip, 1}; }
    static Report Lost(const TestDevice& d) { return {false, d.name, d.ip, 1}; }

    DeviceTable table{DecodeLegacyStatus, UpdateRule::DeviceClass};
    RecordingSink sink;
    TestDevice device;
};

TEST_F(DeviceTableTest, FoundOnceThenOnlyWhenSomethingItShowsChanged) {
    ASSERT_TRUE(Hear(device, 100));
    EXPECT_EQ(sink.Take(), std::vector<Report>{Found(device)});
    ASSERT_TRUE(Hear(device, 1600));
    EXPECT_TRUE(sink.Take().empty()) << "nothing new";

    device.versions[0].patch = 15;  // a new version alone is not reported
    ASSERT_TRUE(Hear(device, 3100));
    EXPECT_TRUE(sink.Take().empty());

    device.word0 = 0x20000;  // a status word is
    ASSERT_TRUE(Hear(device, 4600));
    EXPECT_EQ(sink.Take(), std::vector<Report>{Found(device)});
    EXPECT_EQ(table.Size(), 1u);
}

TEST_F(DeviceTableTest, RestartIsLostThenFound) {
    ASSERT_TRUE(Hear(device, 100));
    sink.Take();
    device.session = 2;
    ASSERT_TRUE(Hear(device, 200));
    EXPECT_EQ(sink.Take(), (std::vector<Report>{Lost(device), Found(device)}));
    EXPECT_TRUE(table.Find({VavMacAddress(device.mac.data(), 6), 1})->IsOnline());
}

TEST_F(DeviceTableTest, RenamedOrMovedDeviceLeavesUnderItsOldIdentity) {
    ASSERT_TRUE(Hear(device, 100));
    sink.Take();
    const TestDevice before = device;
    device.name = "Rack 2";
    ASSERT_TRUE(Hear(device, 200));
    EXPECT_EQ(sink.Take(), (std::vector<Report>{Lost(before), Found(device)}));

    const TestDevice named = device;
    device.ip = 0x0A010204;
    ASSERT_TRUE(Hear(device, 300));
    EXPECT_EQ(sink.Take(), (std::vector<Report>{Lost(named), Found(device)}));
}

TEST_F(DeviceTableTest, ShortFormsAloneAreScheduledButNeverReported) {
    device.longForm = false;
    ASSERT_TRUE(Hear(device, 100));
    const CDeviceRecord* r = table.Find({VavMacAddress(device.mac.data(), 6), 1});
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(r->IsOnline());
    EXPECT_TRUE(r->IsScheduled());
    table.Sweep(100 + 4501);
    EXPECT_TRUE(sink.Take().empty());

    device.longForm = true;  // the first long form makes it known
    ASSERT_TRUE(Hear(device, 6000));
    EXPECT_EQ(sink.Take(), std::vector<Report>{Found(device)});
}

TEST_F(DeviceTableTest, ExpiresThreeIntervalsAfterTheLastPacketAndComesBack) {
    device.interval = 1500;
    ASSERT_TRUE(Hear(device, 1000));
    sink.Take();
    table.Sweep(5500);  // deadline 1000 + 4500 not yet passed
    EXPECT_TRUE(sink.Take().empty());
    table.Sweep(5501);
    EXPECT_EQ(sink.Take(), std::vector<Report>{Lost(device)});
    table.Sweep(9000);
    EXPECT_TRUE(sink.Take().empty()) << "lost once";
    EXPECT_EQ(table.Size(), 1u) << "kept for its return";

    ASSERT_TRUE(Hear(device, 9000));
    EXPECT_EQ(sink.Take(), std::vector<Report>{Found(device)});
}

TEST_F(DeviceTableTest, IntervalZero) {
    device.interval = 0;
    ASSERT_TRUE(Hear(device, 100));  // never on line: kept, neither scheduled nor reported
    EXPECT_TRUE(sink.Take().empty());
    EXPECT_TRUE(table.Schedule().empty());

    device.interval = 1000;
    ASSERT_TRUE(Hear(device, 200));
    sink.Take();
    device.interval = 0;  // an on-line device signing off: a change, and due at once
    ASSERT_TRUE(Hear(device, 300));
    table.Sweep(300);
    EXPECT_EQ(sink.Take(), std::vector<Report>{Found(device)});
    table.Sweep(301);
    EXPECT_EQ(sink.Take(), std::vector<Report>{Lost(device)});
}

TEST_F(DeviceTableTest, ExpiryOrderAndTheWrappingClock) {
    TestDevice a = device, b = device, c = device;
    a.mac[5] = 1, a.name = "A", a.interval = 1000;  // due at start + 3000
    b.mac[5] = 2, b.name = "B", b.interval = 500;   // due at start + 1500
    c.mac[5] = 3, c.name = "C", c.interval = 500;   // due at start + 1500, scheduled last
    const uint32_t start = 0xFFFFFC00;              // the clock wraps before any deadline
    ASSERT_TRUE(Hear(a, start));
    ASSERT_TRUE(Hear(b, start));
    ASSERT_TRUE(Hear(c, start));
    sink.Take();
    ASSERT_EQ(table.Schedule().size(), 3u);
    EXPECT_EQ(table.Schedule().front()->GetName(), "C") << "equal deadlines: newest first";

    table.Sweep(start + 1500);
    EXPECT_TRUE(sink.Take().empty());
    table.Sweep(start + 1501);
    EXPECT_EQ(sink.Take(), (std::vector<Report>{Lost(c), Lost(b)}));
    table.Sweep(start + 3001);
    EXPECT_EQ(sink.Take(), std::vector<Report>{Lost(a)});
}

TEST_F(DeviceTableTest, HostileIntervalCannotWrapTheDeadline) {
    device.interval = 0xFFFFFFFF;  // 3 x this wraps to "3 ms ago"
    ASSERT_TRUE(Hear(device, 1000));
    sink.Take();
    table.Sweep(1001);
    table.Sweep(1000u + 0x7FFFFF00u);
    EXPECT_TRUE(sink.Take().empty());
    EXPECT_EQ(table.Find({VavMacAddress(device.mac.data(), 6), 1})->GetStatusInterval(),
              0xFFFFFFFFu)
        << "stored as sent";
}

TEST_F(DeviceTableTest, RefusedDatagramsMakeNoRecord) {
    std::vector<uint8_t> bytes = LegacyBytes(device);
    bytes.pop_back();
    EXPECT_FALSE(table.HandleDatagram(bytes, 100));
    bytes = LegacyBytes(device);
    bytes[2] = 3;
    EXPECT_FALSE(table.HandleDatagram(bytes, 100));
    EXPECT_EQ(table.Size(), 0u);
    EXPECT_TRUE(sink.Take().empty());
}

TEST(DeviceTableNodeStatusTest, TwoApplicationsOfOneDeviceAreTwoEntries) {
    DeviceTable table(DecodeNodeStatus, UpdateRule::DeviceClassNodeStatus);
    RecordingSink sink;
    table.SetSink(&sink);
    TestDevice editor, service;
    editor.appId = 9, editor.name = "Editor";
    service.appId = 52, service.name = "Service";
    ASSERT_TRUE(table.HandleDatagram(NodeStatusBytes(editor), 100));
    ASSERT_TRUE(table.HandleDatagram(NodeStatusBytes(service), 100));
    EXPECT_EQ(table.Size(), 2u);
    EXPECT_EQ(sink.Take(), (std::vector<Report>{{true, "Editor", editor.ip, 9},
                                                {true, "Service", service.ip, 52}}));
    // An older-generation packet on this port is not node status.
    EXPECT_FALSE(table.HandleDatagram(LegacyBytes(editor), 200));
}

}  // namespace
}  // namespace quillon::test
