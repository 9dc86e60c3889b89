// The point-to-point session of the UDP back end against a plain UDP socket as its peer,
// on loopback inside a private network namespace. The millisecond clock is the test's own,
// so keep-alive and refusal deadlines are crossed without sleeping.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "os/Clock.h"
#include "os/FakeClock.h"
#include "platform/CUdpSocket.h"
#include "services/CUdpBackend.h"
#include "services/CUdpSession.h"
#include "testsupport/NetHosts.h"
#include "transport/CXPort.h"
#include "transport/CXTcpProtocol.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kLoopback = 0x7F000001;
constexpr std::uint8_t kPeerApp = 7;
// connect timeout 1000, keep-alive interval 1000, reply timeout 200 ms
const CXChannelSettings kSettings{1000, 0, 1000, 200, 1};

// The 12-byte header as the peer writes it: protocol 9, version 3.0, little-endian length.
Bytes Packet(std::uint8_t type, const Bytes& payload = {}) {
    const auto n = static_cast<std::uint32_t>(12 + payload.size());
    Bytes b(n, 0);
    const std::uint8_t header[] = {9,
                                   type,
                                   3,
                                   0,
                                   kPeerApp,
                                   0,
                                   0,
                                   0,
                                   static_cast<std::uint8_t>(n),
                                   static_cast<std::uint8_t>(n >> 8)};
    std::copy(std::begin(header), std::end(header), b.begin());
    std::copy(payload.begin(), payload.end(), b.begin() + 12);
    return b;
}

struct Events : CXConnCB {
    void onPacket(void*, XPortPacket&) override {}
    void onConnected(void*) override { ++connected; }
    void onDisconnected(void*) override { ++disconnected; }
    int connected = 0, disconnected = 0;
};

class CUdpSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        IXO_REQUIRE_NETNS();
        session = channel.createConnection(1);
        ASSERT_NE(session, nullptr);
        session->setCallback(nullptr, &events);
        ASSERT_EQ(peer.Open(0), UDPSOCK_S_OK);
    }
    void TearDown() override { session = nullptr; }

    // The next datagram the peer gets (empty after a second without one); learns the
    // session's port from it.
    Bytes PeerGets() {
        std::uint32_t from = 0;
        Bytes data;
        if (peer.WaitReadable(1000) && peer.ReceiveFrom(&from, &sessionPort, data) == UDPSOCK_S_OK)
            return data;
        return {};
    }
    bool PeerQuiet() {
        std::uint32_t from = 0;
        std::uint16_t port = 0;
        Bytes data;
        return peer.ReceiveFrom(&from, &port, data) == UDPSOCK_E_NOTHING;
    }
    void PeerSends(const Bytes& b) {
        ASSERT_EQ(
            peer.SendTo(kLoopback, b.data(), static_cast<std::uint32_t>(b.size()), sessionPort),
            UDPSOCK_S_OK);
    }
    // Advances the clock and runs the channel's tick once.
    void Tick(std::uint32_t ms = 0) {
        now += ms;
        channel.tick();
    }
    // Connects and has the peer accept.
    void Connected() {
        ASSERT_EQ(session->connect(kLoopback, peer.GetPort(), kPeerApp), mux::MUX_S_OK);
        ASSERT_EQ(PeerGets(), (Bytes{9, 1, 3, 0, 0, kPeerApp, 0, 0, 12, 0, 0, 0}));
        EXPECT_EQ(session->getState(), CXConn::kConnecting);
        PeerSends(Packet(2));
        Tick();
        ASSERT_EQ(session->getState(), CXConn::kConnected);
        ASSERT_EQ(events.connected, 1);
    }

    os::FakeClock now{5000};
    CXPort port{std::make_shared<CUdpBackend>()};
    CXTcpProtocol channel{port, 9, true, kSettings};
    CXConn* session = nullptr;
    Events events;
    CUdpSocket peer;
    std::uint16_t sessionPort = 0;
};

TEST_F(CUdpSessionTest, CarriesDataBothWaysAndDropsWhatItsHeaderDoesNotVouchFor) {
    Connected();
    const std::uint8_t xy[] = {'x', 'y'};
    ASSERT_EQ(session->send(xy, 2), mux::MUX_S_OK);
    EXPECT_EQ(PeerGets(), (Bytes{9, 0, 3, 0, 0, kPeerApp, 0, 0, 14, 0, 0, 0, 'x', 'y'}));

    Bytes bad = Packet(0, {1, 2, 3});
    bad[8] = 14;  // the length field says one byte less than arrived
    Bytes badMajor = Packet(0, {4});
    badMajor[2] = 2;
    for (const Bytes& b : {bad, badMajor, Bytes{9, 0, 3}, Packet(1), Packet(6)}) PeerSends(b);
    PeerSends(Packet(0, {'o', 'k'}));
    Tick();
    Bytes got;
    ASSERT_TRUE(session->receive(got));
    EXPECT_EQ(got, (Bytes{'o', 'k'}));
    EXPECT_FALSE(session->receive(got));
    EXPECT_EQ(session->getState(), CXConn::kConnected);
    const auto& drops = dynamic_cast<CUdpSession&>(*session).Drops();
    EXPECT_EQ(drops.Of(UdpSessionDrop::BadHeader), 3u);
    EXPECT_EQ(drops.Of(UdpSessionDrop::UnknownType), 2u);

    // One byte over the largest datagram is refused before anything goes out.
    Bytes big(UdpEndpoint::kMaxDatagram - 12 + 1, 0);
    EXPECT_TRUE(XPortFailed(session->send(big.data(), static_cast<std::uint32_t>(big.size()))));
    big.pop_back();
    ASSERT_EQ(session->send(big.data(), static_cast<std::uint32_t>(big.size())), mux::MUX_S_OK);
    EXPECT_EQ(PeerGets().size(), UdpEndpoint::kMaxDatagram);
}

TEST_F(CUdpSessionTest, UnansweredKeepAlivesCloseOnTheFourthTimeout) {
    Connected();
    const Bytes probe{9, 4, 3, 0, 0, kPeerApp, 0, 0, 12, 0, 0, 0};
    Tick(1000);  // not more than the interval yet
    EXPECT_TRUE(PeerQuiet());
    Tick(1);
    EXPECT_EQ(PeerGets(), probe);
    EXPECT_EQ(session->getState(), CXConn::kProbing);
    PeerSends(Packet(5));  // answered: idle again, and the interval starts anew
    Tick();
    EXPECT_EQ(session->getState(), CXConn::kConnected);

    Tick(1001);
    EXPECT_EQ(PeerGets(), probe);
    for (int repeat = 1; repeat <= 3; ++repeat) {
        Tick(200);
        EXPECT_TRUE(PeerQuiet()) << repeat;
        Tick(1);
        EXPECT_EQ(PeerGets(), probe) << repeat;
        EXPECT_EQ(session->getState(), CXConn::kProbing);
    }
    EXPECT_EQ(events.disconnected, 0);
    Tick(201);
    EXPECT_EQ(session->getState(), CXConn::kClosed);
    EXPECT_EQ(events.disconnected, 1);
    Tick(5000);
    EXPECT_TRUE(PeerQuiet());
}

TEST_F(CUdpSessionTest, AnswersThePeersKeepAliveAndHearsItsClose) {
    Connected();
    PeerSends(Packet(4));
    PeerSends(Packet(4));
    Tick();  // one answer per step
    EXPECT_EQ(PeerGets(), (Bytes{9, 5, 3, 0, 0, kPeerApp, 0, 0, 12, 0, 0, 0}));
    EXPECT_TRUE(PeerQuiet());
    Tick();
    EXPECT_EQ(PeerGets(), (Bytes{9, 5, 3, 0, 0, kPeerApp, 0, 0, 12, 0, 0, 0}));
    Tick(999);  // the peer's requests counted as activity: no request of our own yet
    EXPECT_TRUE(PeerQuiet());

    PeerSends(Packet(3));
    Tick();
    EXPECT_EQ(session->getState(), CXConn::kClosed);
    EXPECT_EQ(events.disconnected, 1);
}

TEST_F(CUdpSessionTest, RefusedDataIsOfferedAgainForHalfASecondThenTheSessionCloses) {
    Connected();
    PeerSends(Packet(0, {1}));
    PeerSends(Packet(0, {2}));
    Tick();  // the queue holds one: the second waits
    Bytes got;
    Tick(500);
    ASSERT_TRUE(session->receive(got));
    EXPECT_EQ(got, Bytes{1});
    Tick();  // room again: the held packet is taken, nothing lost
    ASSERT_TRUE(session->receive(got));
    EXPECT_EQ(got, Bytes{2});
    EXPECT_EQ(session->getState(), CXConn::kConnected);

    PeerSends(Packet(0, {3}));
    PeerSends(Packet(0, {4}));
    Tick();
    Tick(500);
    EXPECT_EQ(session->getState(), CXConn::kConnected);
    Tick(1);
    EXPECT_EQ(session->getState(), CXConn::kClosed);
    EXPECT_EQ(events.disconnected, 1);
    EXPECT_FALSE(session->receive(got));
}

TEST_F(CUdpSessionTest, UnansweredConnectAndUnreachablePeerFail) {
    ASSERT_EQ(session->connect(kLoopback, peer.GetPort(), kPeerApp), mux::MUX_S_OK);
    EXPECT_FALSE(PeerGets().empty());
    Tick(1000);
    EXPECT_EQ(session->getState(), CXConn::kConnecting);
    Tick(1);
    EXPECT_EQ(session->getState(), CXConn::kClosed);
    EXPECT_EQ(events.disconnected, 1);

    // Only loopback is up in the namespace: a send elsewhere fails, and says so.
    EXPECT_TRUE(XPortFailed(session->connect(0xC6336401, 9, kPeerApp)));
    EXPECT_EQ(session->getState(), CXConn::kClosed);
}

}  // namespace
