// The transport through a real Travex: two ports of one process (two registrations) talk
// over a TCP connection inside the PC, keep it alive while idle, and learn when the
// other side goes; multicast connections hand datagrams over in order.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "platform/XPortHeader.h"
#include "testsupport/NetHosts.h"
#include "testsupport/TravexTestEnv.h"
#include "transport/CXPort.h"

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

struct Events : CXConnCB, CXAcceptor {
    std::mutex lock;
    std::vector<Bytes> packets;
    std::atomic<int> connected{0}, disconnected{0};
    CXConn* accepted = nullptr;
    void onPacket(void*, XPortPacket& p) override {
        std::lock_guard g(lock);
        packets.push_back(std::move(p.data));
    }
    void onConnected(void*) override { ++connected; }
    void onDisconnected(void*) override { ++disconnected; }
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
};

template <typename Ready>
bool Within(std::chrono::milliseconds limit, Ready ready) {
    for (auto until = std::chrono::steady_clock::now() + limit;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(5ms)) {
        if (ready())
            return true;
    }
    return ready();
}

class TransportOverTravex : public ::testing::Test {
protected:
    void SetUp() override {
        IXO_REQUIRE_NETNS();
        env = std::make_unique<ixo::testsupport::TravexTestEnv>("xport");
        ASSERT_EQ(server.open(&serverId, 1, 6107, 100, 100), 0);
        ASSERT_EQ(client.open(&clientId, 1, 6107, 100, 100), 0);
    }
    std::unique_ptr<ixo::testsupport::TravexTestEnv> env;
    CXPort server, client;
    std::uint8_t serverId = 0, clientId = 0;
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
    ASSERT_TRUE(Within(3s, [&] { return clientSide.connected == 1 && serverSide.connected == 1; }));

    Bytes hello{'h', 'i'};
    ASSERT_EQ(c->send(hello.data(), 2), mux::MUX_S_OK);
    ASSERT_TRUE(Within(3s, [&] { return serverSide.Count() == 1; }));
    EXPECT_EQ(serverSide.packets[0], hello);  // the transport's header is cut off
    ASSERT_EQ(serverSide.accepted->send(hello.data(), 2), mux::MUX_S_OK);
    ASSERT_TRUE(Within(3s, [&] { return clientSide.Count() == 1; }));

    // Idle for many times the idle time and the probe interval: the probes are answered.
    std::this_thread::sleep_for(1200ms);
    EXPECT_TRUE(c->isConnected());
    EXPECT_TRUE(serverSide.accepted->isConnected());
    EXPECT_EQ(clientSide.disconnected, 0);

    // The server goes; the client's next probe finds the connection gone.
    listening->destroyConnection(serverSide.accepted);
    server.releaseProtocol(listening);
    ASSERT_TRUE(Within(3s, [&] { return clientSide.disconnected == 1; }));
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
        if (i % 40 == 39)
            std::this_thread::sleep_for(20ms);  // within the queues of 100
    }
    ASSERT_TRUE(Within(5s, [&] { return first.Count() == 150 && second.Count() == 150; }))
        << first.Count() << " " << second.Count();
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
