// The transport's channels and connections over a back end in memory: the TCP handshake,
// accepting, keep-alive, full queues, multicast fan-out, delivery order and the port's
// channel map. Time is moved by hand: the port's threads pause on the test's clock.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include "os/Event.h"
#include "os/FakeClock.h"
#include "os/Wait.h"
#include "testsupport/Notice.h"
#include "transport/CXMcProtocol.h"
#include "transport/CXPort.h"
#include "transport/CXTcpProtocol.h"
#include "transport/tests/FakeBackend.h"

namespace {

using xport::test::FakeBackend;
using xport::test::FakeSignal;
using xport::test::TcpPacket;
using Bytes = std::vector<std::uint8_t>;

struct Recorder : CXConnCB {
    std::mutex lock;
    std::vector<Bytes> packets;
    std::atomic<int> connected{0}, disconnected{0};
    ixo::testsupport::Notice handed;  // after each packet
    void onPacket(void*, XPortPacket& p) override {
        {
            std::lock_guard g(lock);
            packets.push_back(std::move(p.data));
        }
        handed.Notify();
    }
    std::size_t Count() {
        std::lock_guard g(lock);
        return packets.size();
    }
    void onConnected(void*) override { ++connected; }
    void onDisconnected(void*) override { ++disconnected; }
};

struct Acceptor : CXAcceptor {
    bool answer = true;
    Recorder* give = nullptr;
    std::uint8_t askedApp = 0;
    CXConn* made = nullptr;
    bool onAccept(void*, std::uint32_t, std::uint16_t, std::uint8_t app, CXConn* c, CXConnCB** cb,
                  void** ctx) override {
        askedApp = app;
        made = c;
        *cb = give;
        *ctx = nullptr;
        return answer;
    }
};

// The TCP arrival event, watched for the waits that only the clock can end: a wait with
// an end, begun while the event was not set and with no packet pushed since. The
// receiving thread waits so while it holds a packet its connection refused.
class HoldWatch : public FakeSignal {
public:
    void Set() override {
        {
            std::lock_guard g(lock_);
            FakeSignal::Set();
            set_ = true;
            ++sets_;
        }
        changed.Notify();
    }
    void Reset() override {
        std::lock_guard g(lock_);
        FakeSignal::Reset();
        set_ = false;
    }
    bool Wait(std::uint32_t ms) override {
        if (ms != os::kInfinite) {
            {
                std::lock_guard g(lock_);
                if (!set_) {
                    ++holds_;
                    holdAfterSets_ = sets_;
                }
            }
            changed.Notify();
        }
        return FakeSignal::Wait(ms);
    }
    // The holding waits begun so far.
    int Holds() {
        std::lock_guard g(lock_);
        return holds_;
    }
    // Whether the latest holding wait is one after the first `seen` and still only the
    // clock can end it (no push came after it began).
    bool HoldingAfter(int seen) {
        std::lock_guard g(lock_);
        return holds_ > seen && holdAfterSets_ == sets_;
    }
    ixo::testsupport::Notice changed;

private:
    std::mutex lock_;
    bool set_ = false;
    int sets_ = 0, holds_ = 0, holdAfterSets_ = -1;
};

class TransportTest : public ::testing::Test {
protected:
    void SetUp() override {
        backend->events.tcpArrived = tcpArrival;
        std::uint8_t id = 0;
        port.open(&id, 1, 6107, 100, 100);
    }
    void TearDown() override { port.close(); }
    os::FakeClock now{1000};
    std::shared_ptr<FakeBackend> backend = std::make_shared<FakeBackend>();
    std::shared_ptr<HoldWatch> tcpArrival = std::make_shared<HoldWatch>();
    CXPort port{backend};
    CXChannelSettings settings{10000, 5000, 1000, 1000, 10};
};

// The port's threads that wait on the clock while the TCP receiving one holds a refused
// packet: that one, maintenance and ticker (their periods are far from over in these
// tests). The multicast receiving thread waits for its event alone.
constexpr std::size_t kSleepersWhileHolding = 3;

std::uint8_t TypeOf(const Bytes& b) {
    return XPortHdrGetType(b.data());
}

TEST_F(TransportTest, ConnectWaitsForTheAcceptAndCarriesDataWithoutTheHeader) {
    CXTcpProtocol channel(port, 9, true, settings);
    Recorder cb;
    CXConn* c = channel.createConnection(10);
    c->setCallback(nullptr, &cb);
    ASSERT_EQ(c->connect(0xC6120003, 36507, 7), mux::MUX_S_OK);
    EXPECT_EQ(c->getState(), CXConn::kConnecting);
    auto sent = backend->TakeSent();
    ASSERT_EQ(sent.size(),
              1u);  // the connect request: protocol 9, type 1, 3.0, 128 -> 7, length 12
    EXPECT_EQ(sent[0].bytes, (Bytes{9, 1, 3, 0, 128, 7, 0, 0, 12, 0, 0, 0}));
    std::uint32_t h = sent[0].handle;

    XPortPacket accepted = TcpPacket(h, 2);
    EXPECT_EQ(channel.receive(accepted), CXConn::kTaken);
    EXPECT_EQ(cb.connected, 1);
    EXPECT_TRUE(c->isConnected());

    XPortPacket data = TcpPacket(h, 0, {1, 2, 3});
    EXPECT_EQ(channel.receive(data), CXConn::kTaken);
    Bytes got;
    ASSERT_TRUE(c->receive(got));
    EXPECT_EQ(got, (Bytes{1, 2, 3}));
    XPortPacket stranger = TcpPacket(h + 8, 0, {1});
    EXPECT_EQ(channel.receive(stranger), CXConn::kRefused);

    Bytes payload{0xAA, 0xBB};
    ASSERT_EQ(c->send(payload.data(), 2), mux::MUX_S_OK);
    sent = backend->TakeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes, (Bytes{9, 0, 3, 0, 128, 7, 0, 0, 14, 0, 0, 0, 0xAA, 0xBB}));

    XPortPacket closed = TcpPacket(h, 3);
    channel.receive(closed);
    EXPECT_EQ(cb.disconnected, 1);
    EXPECT_FALSE(c->isConnected());
}

TEST_F(TransportTest, ConnectRequestsGoToTheAcceptor) {
    CXTcpProtocol channel(port, 9, true, settings);
    Acceptor acceptor;
    Recorder cb;
    acceptor.give = &cb;
    XPortPacket request = TcpPacket(0x1100001, 1);
    EXPECT_EQ(channel.receive(request), CXConn::kRefused);  // not listening: no answer
    EXPECT_TRUE(backend->TakeSent().empty());

    ASSERT_EQ(channel.setListenPort(36507, &acceptor, nullptr, 10), 0);
    acceptor.answer = false;
    request = TcpPacket(0x1100001, 1);
    EXPECT_EQ(channel.receive(request), CXConn::kTaken);
    auto sent = backend->TakeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(TypeOf(sent[0].bytes), 3);
    EXPECT_EQ(backend->closedHandles.back(), 0x1100001u);

    acceptor.answer = true;
    request = TcpPacket(0x1100003, 1);
    EXPECT_EQ(channel.receive(request), CXConn::kTaken);
    sent = backend->TakeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].handle, 0x1100003u);
    EXPECT_EQ(sent[0].bytes, (Bytes{9, 2, 3, 0, 128, 7, 0, 0, 12, 0, 0, 0}));
    EXPECT_EQ(acceptor.askedApp, 7);
    EXPECT_EQ(cb.connected, 1);
    XPortPacket data = TcpPacket(0x1100003, 0, {5});
    EXPECT_EQ(channel.receive(data), CXConn::kTaken);
    EXPECT_FALSE(acceptor.made->queueEmpty());
}

TEST_F(TransportTest, KeepAliveProbesASilentPeerAndGivesUp) {
    CXTcpProtocol channel(port, 9, true, settings);
    Recorder cb;
    CXConn* c = channel.createConnection(10);
    c->setCallback(nullptr, &cb);
    c->connect(0xC6120003, 36507, 7);
    std::uint32_t h = backend->TakeSent()[0].handle;
    XPortPacket ok = TcpPacket(h, 2);
    channel.receive(ok);

    now += 1001;
    channel.tick();
    auto sent = backend->TakeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(TypeOf(sent[0].bytes), 4);
    EXPECT_EQ(c->getState(), CXConn::kProbing);
    XPortPacket data = TcpPacket(h, 0, {1});
    channel.receive(data);  // any data answers for the peer
    EXPECT_EQ(c->getState(), CXConn::kConnected);

    // A probe from the peer is answered on the next tick.
    XPortPacket probe = TcpPacket(h, 4);
    channel.receive(probe);
    channel.tick();
    sent = backend->TakeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(TypeOf(sent[0].bytes), 5);

    Bytes drain;
    c->receive(drain);
    for (std::uint32_t maxProbes : {3u, 300u}) {
        c->setProtocolOption(maxProbes);
        now += 1001;
        channel.tick();  // starts probing
        for (std::uint32_t i = 0; i < maxProbes; ++i) {
            now += 1001;
            channel.tick();
            ASSERT_EQ(cb.disconnected, 0) << i;
        }
        now += 1001;
        channel.tick();
        EXPECT_EQ(cb.disconnected, 1);
        EXPECT_EQ(c->getState(), CXConn::kClosed);
        if (maxProbes == 3) {  // connect again for the second round
            cb.disconnected = 0;
            backend->TakeSent();
            c->connect(0xC6120003, 36507, 7);
            h = backend->TakeSent()[0].handle;
            XPortPacket again = TcpPacket(h, 2);
            channel.receive(again);
        }
    }
}

TEST_F(TransportTest, ConnectingTimesOutAndFullQueueClosesAfterHalfASecond) {
    CXTcpProtocol channel(port, 9, true, settings);
    Recorder cb;
    CXConn* c = channel.createConnection(1);
    c->setCallback(nullptr, &cb);
    c->connect(0xC6120003, 36507, 7);
    std::uint32_t h = backend->TakeSent()[0].handle;
    now += 10001;
    channel.tick();
    EXPECT_EQ(c->getState(), CXConn::kClosed);
    EXPECT_EQ(cb.disconnected, 1);

    c->connect(0xC6120003, 36507, 7);
    h = backend->TakeSent()[0].handle;
    XPortPacket ok = TcpPacket(h, 2);
    channel.receive(ok);
    XPortPacket first = TcpPacket(h, 0, {1}), second = TcpPacket(h, 0, {2});
    EXPECT_EQ(channel.receive(first), CXConn::kTaken);
    EXPECT_EQ(channel.receive(second), CXConn::kLater);
    EXPECT_EQ(second.length(), 13u);  // given back whole, header and all
    now += 400;
    EXPECT_EQ(channel.receive(second), CXConn::kLater);
    now += 101;
    EXPECT_EQ(channel.receive(second), CXConn::kRefused);
    EXPECT_EQ(cb.disconnected, 2);
    EXPECT_EQ(c->getState(), CXConn::kClosed);
}

TEST_F(TransportTest, MulticastReachesEveryJoinedConnectionAndCountsJoins) {
    CXMcProtocol channel(port, 8, true);
    CXConn* a = channel.createConnection(2);
    CXConn* b = channel.createConnection(2);
    CXConn* c = channel.createConnection(2);
    EXPECT_EQ(a->getRemotePort(), 6107);
    ASSERT_TRUE(a->join(0xEC010002, 0));
    ASSERT_TRUE(a->join(0xEC010002, 6107));
    ASSERT_TRUE(b->join(0xEC010002, 6107));
    EXPECT_EQ(a->getState(), 2u);
    EXPECT_EQ(backend->subscriptions.count({0xEC010002, 6107}), 2u);  // one per connection

    XPortPacket p;
    p.localAddress = 0xEC010002;
    p.localPort = 6107;
    p.remoteAddress = 0xC6120009;
    p.data = {8, 0, 3, 0, 1, 0, 0, 0, 12, 0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        XPortPacket copy = p;
        copy.data[1] = static_cast<std::uint8_t>(i);
        EXPECT_EQ(channel.receive(copy), CXConn::kTaken);
    }
    std::uint32_t from = 0;
    std::uint16_t fromPort = 0;
    Bytes got;
    ASSERT_TRUE(b->receive(&from, &fromPort, got));  // limit 2: the oldest was dropped
    EXPECT_EQ(got[1], 1);
    EXPECT_EQ(from, 0xC6120009u);
    std::uint8_t small[4];
    std::uint32_t len = sizeof small;
    EXPECT_FALSE(a->receive(&from, &fromPort, small, &len));
    EXPECT_EQ(len, 12u);
    EXPECT_TRUE(c->queueEmpty());
    p.localPort = 6108;
    EXPECT_EQ(channel.receive(p), CXConn::kRefused);

    EXPECT_TRUE(a->leave(0xEC010002, 0));
    EXPECT_EQ(backend->subscriptions.count({0xEC010002, 6107}), 2u);
    EXPECT_TRUE(a->leave(0xEC010002, 0));
    EXPECT_EQ(backend->subscriptions.count({0xEC010002, 6107}), 1u);
    EXPECT_FALSE(a->leave(0xEC010002, 0));
}

TEST_F(TransportTest, NotifyThreadHandsPacketsOverInOrder) {
    CXProtocol* channel = port.createMulticastProtocol(8, false);
    ASSERT_NE(channel, nullptr);
    Recorder cb;
    CXConn* c = channel->createConnection(0);
    c->setCallback(nullptr, &cb);
    c->join(0xEC010002, 6107);
    for (int i = 0; i < 200; ++i) {
        XPortPacket p;
        p.localAddress = 0xEC010002;
        p.localPort = 6107;
        p.data = {8, static_cast<std::uint8_t>(i), 3, 0};
        backend->PushMc(std::move(p));
    }
    // Handed over on the arrival events alone: the clock does not move.
    EXPECT_TRUE(cb.handed.Await([&] { return cb.Count() == 200; }));
    std::lock_guard g(cb.lock);
    ASSERT_EQ(cb.packets.size(), 200u);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(cb.packets[i][1], static_cast<std::uint8_t>(i));
    channel->destroyConnection(c);
    port.releaseProtocol(channel);
}

TEST_F(TransportTest, ChannelsAreSharedByProtocolIdAndLiveUntilTheLastRelease) {
    CXProtocol* a = port.createProtocol(9, 0xFFFF, nullptr, nullptr, true, 1, 1, 1, 1, 1);
    CXProtocol* b = port.createProtocol(9, 0xFFFF, nullptr, nullptr, true, 1, 1, 1, 1, 1);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    port.releaseProtocol(a);
    CXConn* c = b->createConnection(1);  // still there
    EXPECT_NE(c, nullptr);
    port.releaseProtocol(b);
}

TEST_F(TransportTest, RefusedTcpPacketIsOfferedAgainBeforeAnyNewOne) {
    CXProtocol* channel =
        port.createProtocol(9, 0xFFFF, nullptr, nullptr, true, 10000, 5000, 100000, 100000, 1);
    CXConn* c = channel->createConnection(1);  // a queue of one packet
    os::Event queued(false, false);
    c->setNotifyEvent(&queued);
    c->connect(0xC6120003, 36507, 7);
    std::uint32_t h = backend->TakeSent()[0].handle;
    backend->PushTcp(TcpPacket(h, 2));
    for (std::uint8_t i = 1; i <= 3; ++i) backend->PushTcp(TcpPacket(h, 0, {i}));
    auto fetches = [&] {
        std::lock_guard g(backend->lock);
        return backend->tcpFetches;
    };
    auto next = [&] {
        Bytes b;
        while (!c->receive(b)) {
            if (queued.Wait(5000) != os::WaitResult::Signaled)
                return -1;
        }
        return static_cast<int>(b[0]);
    };
    // Waits until the receiving thread holds a refused packet after `seen` holding waits,
    // with its wait on the clock, so that moving the clock ends that wait.
    auto awaitHolding = [&](int seen) {
        return tcpArrival->changed.Await([&] { return tcpArrival->HoldingAfter(seen); }) &&
               now.AwaitSleepers(kSleepersWhileHolding);
    };
    // The first data packet fills the queue; the second is refused and held, the third
    // is not fetched.
    ASSERT_TRUE(awaitHolding(0));
    EXPECT_EQ(fetches(), 3);
    EXPECT_EQ(next(), 1);

    // The pause over, the held packet is offered again and taken; only then is the third
    // fetched, and the queue being full again, held in its turn.
    int holds = tcpArrival->Holds();
    now += 10;
    ASSERT_TRUE(awaitHolding(holds));
    EXPECT_EQ(fetches(), 4);
    EXPECT_EQ(next(), 2);
    now += 10;
    EXPECT_EQ(next(), 3);
    EXPECT_EQ(fetches(), 4);
    c->setNotifyEvent(nullptr);
    port.releaseProtocol(channel);
}

}  // namespace
