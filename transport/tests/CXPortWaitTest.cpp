// How the port's receiving threads wait while nothing comes: on the arrival event (or,
// without one, on the close) with no end, so an idle port does not wake; a packet that
// comes after a long idle is fetched when its event is set, and a close ends the threads
// without any packet.
#include <gtest/gtest.h>

#include <atomic>

#include "os/FakeClock.h"
#include "os/Wait.h"
#include "testsupport/Notice.h"
#include "transport/CXPort.h"
#include "transport/tests/FakeBackend.h"

namespace {

using xport::test::FakeBackend;
using xport::test::FakeSignal;
using xport::test::TcpPacket;

// An arrival event that records how long each wait on it may last.
class WatchedSignal : public FakeSignal {
public:
    bool Wait(std::uint32_t ms) override {
        if (ms != os::kInfinite)
            ++timed;
        ++waits;
        entered.Notify();
        return FakeSignal::Wait(ms);
    }
    std::atomic<int> timed{0}, waits{0};
    ixo::testsupport::Notice entered;
};

// Counts every ask for a packet, found or not.
class AskCountingBackend : public FakeBackend {
public:
    XPortStatus tcpGetPacket(std::uint8_t app, XPortPacket& p, bool& more) override {
        ++tcpAsks;
        return FakeBackend::tcpGetPacket(app, p, more);
    }
    XPortStatus multicastGetPacket(std::uint8_t app, XPortPacket& p, bool& more) override {
        ++mcAsks;
        return FakeBackend::multicastGetPacket(app, p, more);
    }
    std::atomic<int> tcpAsks{0}, mcAsks{0};
};

// Longer than any wait the receiving threads ever had, shorter than the channel's times.
constexpr std::uint32_t kLongIdleMs = 60 * 1000;
constexpr std::uint32_t kChannelMs = 10 * kLongIdleMs;

TEST(PortWait, PacketAfterALongIdleWakesTheThreadThatWaitedWithoutAnEnd) {
    os::FakeClock now{1000};
    auto backend = std::make_shared<AskCountingBackend>();
    auto tcp = std::make_shared<WatchedSignal>();
    auto mc = std::make_shared<WatchedSignal>();
    backend->events.tcpArrived = tcp;
    backend->events.mcArrived = mc;
    CXPort port(backend);
    std::uint8_t id = 0;
    ASSERT_FALSE(mux::MuxFailed(port.open(&id, 1, 6107, 100, 100)));
    CXProtocol* channel = port.createProtocol(9, 0xFFFF, nullptr, nullptr, true, kChannelMs,
                                              kChannelMs, kChannelMs, kChannelMs, 10);
    CXConn* c = channel->createConnection(10);
    os::Event queued(false, false);
    c->setNotifyEvent(&queued);
    c->connect(0xC6120003, 36507, 7);
    std::uint32_t h = backend->TakeSent()[0].handle;
    ASSERT_TRUE(tcp->entered.Await([&] { return tcp->waits >= 1; }));
    ASSERT_TRUE(mc->entered.Await([&] { return mc->waits >= 1; }));

    // A long idle: only the maintenance and ticker threads wait on the clock.
    ASSERT_TRUE(now.AwaitSleepers(2));
    now += kLongIdleMs;
    ASSERT_TRUE(now.AwaitSleepers(2));
    EXPECT_EQ(backend->tcpAsks, 1);  // the first round's ask only
    EXPECT_EQ(backend->mcAsks, 1);

    // The packet is fetched on its event, the clock standing still.
    backend->PushTcp(TcpPacket(h, 2));
    backend->PushTcp(TcpPacket(h, 0, {42}));
    std::vector<std::uint8_t> b;
    while (!c->receive(b)) ASSERT_EQ(queued.Wait(5000), os::WaitResult::Signaled);
    EXPECT_EQ(b, std::vector<std::uint8_t>{42});
    EXPECT_EQ(tcp->timed, 0);
    EXPECT_EQ(mc->timed, 0);
    c->setNotifyEvent(nullptr);
    port.releaseProtocol(channel);
    EXPECT_EQ(port.close(), mux::MUX_S_OK);  // returns: both threads ended
}

// A back end that answers locally leaves the arrival events null: nothing ever arrives, so
// the threads ask once and then wait for the close alone, however long the idle.
TEST(PortWait, WithoutArrivalEventsTheThreadsAskOnceAndEndAtTheClose) {
    os::FakeClock now{1000};
    auto backend = std::make_shared<AskCountingBackend>();
    backend->events.tcpArrived = nullptr;
    backend->events.mcArrived = nullptr;
    CXPort port(backend);
    std::uint8_t id = 0;
    ASSERT_FALSE(mux::MuxFailed(port.open(&id, 1, 6107, 100, 100)));
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(now.AwaitSleepers(1));  // maintenance
        now += kLongIdleMs / 20;
    }
    ASSERT_TRUE(now.AwaitSleepers(1));
    EXPECT_LE(backend->tcpAsks, 1);
    EXPECT_LE(backend->mcAsks, 1);
    EXPECT_EQ(port.close(), mux::MUX_S_OK);
    EXPECT_LE(backend->tcpAsks, 1);
    EXPECT_LE(backend->mcAsks, 1);
}

}  // namespace
