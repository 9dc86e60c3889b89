// The discovery engine's worker polls on the process's clock: a test moves the time, and a
// device's three silent intervals pass in no wall time.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "os/FakeClock.h"
#include "platform/FakeUdpEndpoint.h"
#include "versiontool/NodeStatusEngine.h"
#include "versiontool/StatusPackets.h"
#include "versiontool/tests/TestPackets.h"

namespace quillon::test {
namespace {

struct Counts : IDeviceEngineSink {
    void OnDeviceFound(const DeviceEvent&) override { ++found; }
    void OnDeviceLost(const DeviceEvent&) override { ++lost; }
    std::atomic<int> found{0}, lost{0};
};

TEST(StatusEngineClock, SilentDeviceIsLostAtTheFirstSweepAfterThreeIntervals) {
    os::FakeClock clock(0xFFFFF000u);  // the silence spans the clock's wrap
    auto socket = std::make_unique<FakeUdpEndpoint>(0xC6120001);
    FakeUdpEndpoint& net = *socket;
    CNodeStatusEngine engine(std::move(socket));
    Counts sink;
    engine.Start(&sink);
    // The worker only touches the endpoint in a poll, and a poll runs only when the test
    // moves the time past the worker's wait.
    ASSERT_TRUE(clock.AwaitSleepers(1));
    TestDevice device;  // reports every 1500 ms
    net.incoming.push_back({device.ip, kNodeStatusPort, NodeStatusBytes(device)});
    clock.Advance(CStatusEngine::kPollPeriod);
    ASSERT_TRUE(clock.AwaitSleepers(1));
    ASSERT_EQ(sink.found, 1);
    const uint32_t heard = os::TickCount();

    uint32_t lostAt = 0;
    for (int poll = 0; poll < 10 && sink.lost == 0; ++poll) {
        clock.Advance(CStatusEngine::kSweepPeriod + 1);
        ASSERT_TRUE(clock.AwaitSleepers(1));
        lostAt = os::TickCount();
    }
    ASSERT_EQ(sink.lost, 1);
    EXPECT_GT(lostAt - heard, 3 * device.interval);
    EXPECT_LE(lostAt - heard, 3 * device.interval + CStatusEngine::kSweepPeriod + 1);
    engine.Stop();
}

}  // namespace
}  // namespace quillon::test
