// The transport through a real Travex: two ports of one process (two registrations) talk
// over a TCP connection inside the PC, keep it alive while idle, and learn when the
// other side goes; multicast connections hand datagrams over in order. The ports' clock
// is the test's; the messages through Travex are waited for as they come.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include "os/FakeClock.h"
#include "platform/XPortHeader.h"
#include "testsupport/NetHosts.h"
#include "testsupport/Notice.h"
#include "testsupport/TravexTestEnv.h"
#include "transport/CXPort.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Events : CXConnCB, CXAcceptor {
    std::mutex lock;
    std::vector<Bytes> packets;
    std::atomic<int> connected{0}, disconnected{0};
    CXConn* accepted = nullptr;
    ixo::testsupport::Notice changed;  // after each call
    void onPacket(void*, XPortPacket& p) override {
        {
            std::lock_guard g(lock);
            packets.push_back(std::move(p.data));
        }
        changed.Notify();
    }
    void onConnected(void*) override {
        ++connected;
        changed.Notify();
    }
    void onDisconnected(void*) override {
        ++disconnected;
        changed.Notify();
    }
    bool onAccept(void*, std::uint32_t, std::uint16_t, std::uint8_t, CXConn* c, CXConnCB** cb,
                  void** ctx) override {
        accepted = c;
        *cb = this;
        *ctx = nullptr;
        return true;
    }
    std::size_t Count() {
        std::lock_guard g(lock);
        return packets.size();
    }
    bool AwaitCount(std::size_t n) {
        return changed.Await([&] { return Count() >= n; });
    }
};

// The threads of this process that wait on the clock once both ports have a TCP channel:
// each port's maintenance and ticker.
constexpr std::size_t kClockThreads = 4;

class TransportOverTravex : public ::testing::Test {
protected:
    void SetUp() override {
        IXO_REQUIRE_NETNS();
        env = std::make_unique<ixo::testsupport::TravexTestEnv>("xport");
        ASSERT_EQ(server.open(&serverId, 1, 6107, 100, 100), 0);
        ASSERT_EQ(client.open(&clientId, 1, 6107, 100, 100), 0);
    }
    // The ports' keep-alive and time-outs run on this clock; Travex and the messages
    // through it run in real time, and the test waits for those messages themselves.
    os::FakeClock now{100000};
    std::unique_ptr<ixo::testsupport::TravexTestEnv> env;
    CXPort server, client;
    std::uint8_t serverId = 0, clientId = 0;
};

// A second connection between the two ports, of another protocol and without keep-alive
// of its own: a message on it travels behind everything either port sent before, and is
// handled after it, so a message each way shows that both ports have handled what the
// other sent until then.
struct SyncLink {
    CXPort& server;
    CXPort& client;
    Events serverSide, clientSide;
    CXProtocol* listening = nullptr;
    CXProtocol* channel = nullptr;
    CXConn* c = nullptr;

    SyncLink(CXPort& s, CXPort& cl, std::uint8_t serverId) : server(s), client(cl) {
        listening =
            server.createProtocol(10, 36508, &serverSide, nullptr, false, 2000, 2000, ~0u, ~0u, 0);
        channel =
            client.createProtocol(10, 0xFFFF, nullptr, nullptr, false, 2000, 2000, ~0u, ~0u, 0);
        if (listening == nullptr || channel == nullptr)
            return;
        c = channel->createConnection(0);
        c->setCallback(nullptr, &clientSide);
        c->connect(0, 36508, serverId);
    }
    ~SyncLink() {
        if (channel != nullptr) {
            channel->destroyConnection(c);
            client.releaseProtocol(channel);
        }
        if (listening != nullptr)
            server.releaseProtocol(listening);
    }
    bool Up() {
        return c != nullptr &&
               clientSide.changed.Await([&] { return clientSide.connected == 1; }) &&
               serverSide.changed.Await([&] { return serverSide.connected == 1; });
    }
    void RoundTrip() {
        const std::uint8_t mark = 's';
        const std::size_t there = serverSide.Count() + 1, back = clientSide.Count() + 1;
        ASSERT_EQ(c->send(&mark, 1), mux::MUX_S_OK);
        ASSERT_TRUE(serverSide.AwaitCount(there));
        ASSERT_EQ(serverSide.accepted->send(&mark, 1), mux::MUX_S_OK);
        ASSERT_TRUE(clientSide.AwaitCount(back));
    }
};

TEST_F(TransportOverTravex, TcpConnectionLivesWhileIdleAndEndsWithItsPeer) {
    Events serverSide, clientSide;
    CXProtocol* listening =
        server.createProtocol(9, 36507, &serverSide, nullptr, false, 2000, 2000, 100, 100, 10);
    ASSERT_NE(listening, nullptr);
    EXPECT_EQ(listening->getLocalPort(), 36507);
    CXProtocol* channel =
        client.createProtocol(9, 0xFFFF, nullptr, nullptr, false, 2000, 2000, 100, 100, 10);
    CXConn* c = channel->createConnection(10);
    c->setCallback(nullptr, &clientSide);
    ASSERT_EQ(c->connect(0, 36507, serverId), mux::MUX_S_OK);
    ASSERT_TRUE(clientSide.changed.Await([&] { return clientSide.connected == 1; }));
    ASSERT_TRUE(serverSide.changed.Await([&] { return serverSide.connected == 1; }));

    Bytes hello{'h', 'i'};
    ASSERT_EQ(c->send(hello.data(), 2), mux::MUX_S_OK);
    ASSERT_TRUE(serverSide.AwaitCount(1));
    EXPECT_EQ(serverSide.packets[0], hello);  // the transport's header is cut off
    ASSERT_EQ(serverSide.accepted->send(hello.data(), 2), mux::MUX_S_OK);
    ASSERT_TRUE(clientSide.AwaitCount(1));

    SyncLink sync(server, client, serverId);
    ASSERT_TRUE(sync.Up());
    // One step: both tickers run once more than the idle time and the probe interval
    // later, then a round trip shows each side has handled what the other sent.
    auto step = [&] {
        ASSERT_TRUE(now.AwaitSleepers(kClockThreads));
        now += 101;
        ASSERT_TRUE(now.AwaitSleepers(kClockThreads));  // both tickers have run
        sync.RoundTrip();
    };
    // Idle for many times the idle time and the probe interval: the probes are answered.
    for (int i = 0; i < 12; ++i) {
        step();
        ASSERT_TRUE(c->isConnected()) << i;
        ASSERT_TRUE(serverSide.accepted->isConnected()) << i;
    }
    EXPECT_EQ(clientSide.disconnected, 0);
    EXPECT_EQ(serverSide.disconnected, 0);

    // The server goes; the client's next probe finds the connection gone.
    listening->destroyConnection(serverSide.accepted);
    server.releaseProtocol(listening);
    for (int i = 0; i < 8 && clientSide.disconnected == 0; ++i) step();
    ASSERT_TRUE(clientSide.changed.Await([&] { return clientSide.disconnected == 1; }));
    EXPECT_FALSE(c->isConnected());
    channel->destroyConnection(c);
    client.releaseProtocol(channel);
}

TEST_F(TransportOverTravex, MulticastConnectionsGetEveryDatagramInOrder) {
    Events first, second;
    CXProtocol* mine = client.createMulticastProtocol(8, false);
    CXProtocol* theirs = server.createMulticastProtocol(8, false);
    CXConn* sender = mine->createConnection(200);
    CXConn* a = theirs->createConnection(200);
    CXConn* b = theirs->createConnection(200);
    a->setCallback(nullptr, &first);
    b->setCallback(nullptr, &second);
    ASSERT_TRUE(sender->join(0xEC010002, 0));
    ASSERT_TRUE(a->join(0xEC010002, 0));
    ASSERT_TRUE(b->join(0xEC010002, 0));
    for (int i = 0; i < 150; ++i) {
        Bytes d(XPORT_HEADER_LENGTH + 1);
        XPortHeader h;
        h.protocol = 8;
        h.length = XPORT_HEADER_LENGTH + 1;
        h.Write(d.data());
        d.back() = static_cast<std::uint8_t>(i);
        ASSERT_EQ(sender->send(0xEC010002, 0, d.data(), h.length), mux::MUX_S_OK);
        // Within the queues of 100: every 40, the receivers take all sent so far.
        if (i % 40 == 39) {
            const auto sent = static_cast<std::size_t>(i + 1);
            ASSERT_TRUE(first.AwaitCount(sent) && second.AwaitCount(sent))
                << first.Count() << " " << second.Count();
        }
    }
    ASSERT_TRUE(first.AwaitCount(150) && second.AwaitCount(150))
        << first.Count() << " " << second.Count();
    EXPECT_EQ(first.Count(), 150u);
    EXPECT_EQ(second.Count(), 150u);
    for (Events* e : {&first, &second}) {
        for (int i = 0; i < 150; ++i) EXPECT_EQ(e->packets[i].back(), static_cast<std::uint8_t>(i));
    }
    theirs->destroyConnection(a);
    theirs->destroyConnection(b);
    mine->destroyConnection(sender);
    server.releaseProtocol(theirs);
    client.releaseProtocol(mine);
}

}  // namespace
