// The engine on real sockets, inside a private network namespace, with 127.0.0.1 as
// the selected card's address: multicast fan-out and TCP points, connections, framing.
#include <arpa/inet.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "multiplexer/MuxEngine.h"
#include "multiplexer/tests/FakeNamedObjects.h"
#include "os/ByteOrder.h"
#include "os/FakeClock.h"
#include "testsupport/NetHosts.h"

namespace mux {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;
constexpr std::uint32_t kLocal = 0x7F000001;  // 127.0.0.1
constexpr std::uint32_t kPeer = 0x7F000002;   // another "host" on the loopback
constexpr std::uint32_t kGroup = 0xEC010002;
constexpr std::uint16_t kPort = 46107;

Bytes Packet(std::uint8_t dst, std::uint32_t total, std::uint8_t major = 3) {
    Bytes p(total, 0x5A);
    p[0] = 9, p[1] = 0, p[2] = major, p[3] = 0, p[4] = 1, p[5] = dst, p[6] = 0, p[7] = 0;
    os::PutLe32(p.data() + 8, total);
    return p;
}

MuxSocket Udp(std::uint32_t from) {
    MuxSocket s = MuxSocket::Open(SOCK_DGRAM);
    sockaddr_in a = SocketAddress(from, 0);
    bind(s.Fd(), reinterpret_cast<sockaddr*>(&a), sizeof a);
    in_addr out{htonl(kLocal)};
    setsockopt(s.Fd(), IPPROTO_IP, IP_MULTICAST_IF, &out, sizeof out);
    return s;
}

void SendTo(const MuxSocket& s, const Bytes& d, std::uint32_t to = kGroup,
            std::uint16_t port = kPort) {
    sockaddr_in a = SocketAddress(to, port);
    ASSERT_EQ(sendto(s.Fd(), d.data(), d.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a),
              static_cast<ssize_t>(d.size()));
}

MuxSocket Tcp(std::uint32_t to, std::uint16_t port) {
    MuxSocket s = MuxSocket::Open(SOCK_STREAM);
    sockaddr_in a = SocketAddress(to, port);
    EXPECT_EQ(connect(s.Fd(), reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    return s;
}

void Write(const MuxSocket& s, const Bytes& d) {
    ASSERT_EQ(send(s.Fd(), d.data(), d.size(), MSG_NOSIGNAL), static_cast<ssize_t>(d.size()));
}

// True when the peer closed the connection within `ms`.
bool ClosedByPeer(const MuxSocket& s, int ms) {
    pollfd p{s.Fd(), POLLIN, 0};
    char c;
    return poll(&p, 1, ms) == 1 && recv(s.Fd(), &c, 1, 0) <= 0;
}

class MuxEngineNetTest : public ::testing::Test {
protected:
    void SetUp() override { IXO_REQUIRE_NETNS(); }
    test::FakeNamedObjects objects;
    MuxEngine engine{{&objects, [] { return kLocal; }, true}};
    int names = 0;

    std::uint8_t Start(std::uint8_t want = 0, int tcpq = 100) {
        EXPECT_EQ(engine.startup(&want, 1, 100, tcpq), 0);
        return want;
    }
    std::string Fill(const Bytes& data) {
        std::string name = "Send" + std::to_string(++names);
        objects.CreateMapping(name, data.size()) = data;
        return name;
    }
    // Takes the client's next entry, waiting up to 2 s for the engine's arrival event as
    // a client does: the event is cleared before each look, so an entry queued after the
    // look sets it again.
    bool Fetch(MuxKind kind, std::uint8_t id, Bytes& entry) {
        const std::string arrived = ArrivedEventName(kind, id);
        const auto until = std::chrono::steady_clock::now() + 2s;
        for (;;) {
            objects.ResetEvent(arrived);
            std::uint32_t len = 0, next = 0;
            auto get = [&](std::string_view name) {
                return kind == MuxKind::Tcp ? engine.TCPGetPacket(id, &len, &next, name)
                                            : engine.MulticastGetPacket(id, &len, &next, name);
            };
            if (get(" ") == MUX_E_BUFFER_TOO_SMALL) {
                std::string name = "Get" + std::to_string(++names);
                objects.CreateMapping(name, len);
                if (get(name) != MUX_S_OK)
                    return false;
                entry = objects.MappingBytes(name);
                return true;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            if (left.count() <= 0 ||
                !objects.AwaitSet(arrived, static_cast<std::uint32_t>(left.count())))
                return false;
        }
    }
    // Sends a message on `s` for client `id` and takes it from the client's queue: the
    // engine's receiving thread has then gone once more round all its connections, so
    // whatever was readable before the send has been read.
    void RoundTrip(const MuxSocket& s, std::uint8_t id) {
        Bytes marker = Packet(id, 16);
        Write(s, marker);
        Bytes e;
        ASSERT_TRUE(Fetch(MuxKind::Tcp, id, e));
        EXPECT_EQ(Message(e), marker);
    }
    Bytes Message(const Bytes& entry) {
        return Bytes(entry.begin() + kMuxDescriptorSize, entry.end());
    }
};

TEST_F(MuxEngineNetTest, DatagramsFromTheNetworkReachEverySubscriberOnce) {
    std::uint8_t a = Start(), b = Start();
    ASSERT_EQ(engine.SubscribeToMulticast(a, kGroup, kPort), MUX_S_OK);
    ASSERT_EQ(engine.SubscribeToMulticast(b, kGroup, kPort), MUX_S_OK);
    EXPECT_EQ(engine.Multicast()->RecordCount(), 1);  // one socket for both

    MuxSocket peer = Udp(kPeer), self = Udp(kLocal);
    SendTo(self, Packet(0, 20));     // from the local address: own traffic, dropped
    SendTo(peer, Packet(0, 21, 2));  // another generation: dropped
    SendTo(peer, Bytes(40000, 3));   // larger than any datagram we carry: dropped
    SendTo(peer, Bytes{9, 0, 3});    // no whole header: dropped
    Bytes good = Packet(0, 22);
    SendTo(peer, good);
    sockaddr_in bound{};
    socklen_t len = sizeof bound;
    getsockname(peer.Fd(), reinterpret_cast<sockaddr*>(&bound), &len);
    for (std::uint8_t id : {a, b}) {
        Bytes entry;
        ASSERT_TRUE(Fetch(MuxKind::Multicast, id, entry));
        EXPECT_EQ(Message(entry), good);
        EXPECT_EQ(os::GetLe32(entry.data()), kPeer);
        EXPECT_EQ(os::GetLe16(entry.data() + 4), ntohs(bound.sin_port));
        EXPECT_EQ(os::GetLe32(entry.data() + 8), kGroup);
        EXPECT_EQ(os::GetLe16(entry.data() + 12), kPort);
        EXPECT_EQ(os::GetLe32(entry.data() + 20), 22u);
    }
    std::uint32_t l = 0, n = 0;
    EXPECT_EQ(engine.MulticastGetPacket(a, &l, &n, " "), MUX_E_QUEUE_EMPTY);
    // Each stranger counted once, by its reason; our own datagram is not a drop.
    EXPECT_EQ(engine.Drops().Of(MuxDrop::OtherVersion), 1u);
    EXPECT_EQ(engine.Drops().Of(MuxDrop::DatagramTooLarge), 1u);
    EXPECT_EQ(engine.Drops().Of(MuxDrop::DatagramTooShort), 1u);
    EXPECT_EQ(engine.Drops().Total(), 3u);
}

TEST_F(MuxEngineNetTest, ClientSendGoesOnTheNetwork) {
    std::uint8_t a = Start();
    Bytes p = Packet(0, 30);
    EXPECT_EQ(engine.MulticastSendTo(a, kGroup, kPort, 30, Fill(p)), MUX_E_MC_SEND_NO_RECORD);
    ASSERT_EQ(engine.SubscribeToMulticast(a, kGroup, kPort), MUX_S_OK);
    // An outside listener on the group.
    MuxSocket rx = MuxSocket::Open(SOCK_DGRAM);
    rx.SetInt(SOL_SOCKET, SO_REUSEADDR, 1);
    sockaddr_in any = SocketAddress(kGroup, kPort);
    ASSERT_EQ(bind(rx.Fd(), reinterpret_cast<sockaddr*>(&any), sizeof any), 0);
    ASSERT_TRUE(SocketJoinGroup(rx.Fd(), kGroup));
    ASSERT_EQ(engine.MulticastSendTo(a, kGroup, kPort, 30, Fill(p)), MUX_S_OK);
    pollfd pf{rx.Fd(), POLLIN, 0};
    ASSERT_EQ(poll(&pf, 1, 2000), 1);
    Bytes got(100);
    got.resize(static_cast<std::size_t>(recv(rx.Fd(), got.data(), got.size(), 0)));
    EXPECT_EQ(got, p);
    Bytes entry;  // the sender itself is subscribed: it gets the local copy, not the echo
    ASSERT_TRUE(Fetch(MuxKind::Multicast, a, entry));
    EXPECT_EQ(Message(entry), p);
    // A stranger's datagram sent after the echo reaches the engine's socket behind it:
    // once that is queued, the echo has been read, and it was not queued before it.
    MuxSocket peer = Udp(kPeer);
    Bytes after = Packet(0, 31);
    SendTo(peer, after);
    ASSERT_TRUE(Fetch(MuxKind::Multicast, a, entry));
    EXPECT_EQ(Message(entry), after);
    std::uint32_t l = 0, n = 0;
    EXPECT_EQ(engine.MulticastGetPacket(a, &l, &n, " "), MUX_E_QUEUE_EMPTY);
}

TEST_F(MuxEngineNetTest, PointAcceptsAndFramesMessagesForTheNamedClient) {
    std::uint8_t a = Start(), b = Start();
    std::uint32_t point = 0;
    ASSERT_EQ(engine.TCPAllocatePoint(a, 0, &point), 0);
    EXPECT_EQ(point, 0x10000u);
    std::uint16_t port = 0;
    ASSERT_EQ(engine.TCPGetPort(a, point, &port), 0);
    std::uint32_t other = 0;
    EXPECT_EQ(engine.TCPAllocatePoint(b, port, &other), MUX_E_PORT_IN_USE);
    EXPECT_EQ(other, point);

    MuxSocket toA = Tcp(kLocal, port), toB = Tcp(kLocal, port);
    Bytes m1 = Packet(a, 12), m2 = Packet(a, 300), m3 = Packet(b, 5000);
    Bytes both = m1;
    both.insert(both.end(), m2.begin(), m2.end());
    // One split inside its header: its first bytes are read before the rest is sent.
    // A round trip on toB first shows the engine reads toB; of the two round trips on
    // toA after the first bytes, the round that read the first marker also read them,
    // and the second marker comes in a later round.
    RoundTrip(toB, b);
    Write(toB, Bytes(m3.begin(), m3.begin() + 7));
    RoundTrip(toA, a);
    RoundTrip(toA, a);
    Write(toB, Bytes(m3.begin() + 7, m3.end()));
    Write(toA, both);  // two messages in one write
    Bytes e1, e2, e3;
    ASSERT_TRUE(Fetch(MuxKind::Tcp, a, e1));
    ASSERT_TRUE(Fetch(MuxKind::Tcp, a, e2));
    ASSERT_TRUE(Fetch(MuxKind::Tcp, b, e3));
    EXPECT_EQ(Message(e1), m1);
    EXPECT_EQ(Message(e2), m2);
    EXPECT_EQ(Message(e3), m3);
    EXPECT_EQ(os::GetLe32(e1.data()), kLocal);
    EXPECT_EQ(os::GetLe32(e1.data() + 8), kLocal);
    EXPECT_EQ(os::GetBe16(e1.data() + 12), port);
    EXPECT_EQ(os::GetLe32(e1.data() + 16) & 0xFFF00000u, 0x100000u);
    EXPECT_NE(os::GetLe32(e1.data() + 16), os::GetLe32(e3.data() + 16));

    // The client answers on the connection's handle.
    Bytes reply = Packet(1, 40);
    ASSERT_EQ(engine.TCPSendBuffer(os::GetLe32(e1.data() + 16), 1000, 40, Fill(reply)), MUX_S_OK);
    Bytes got(40);
    ASSERT_EQ(recv(toA.Fd(), got.data(), got.size(), MSG_WAITALL), 40);
    EXPECT_EQ(got, reply);
}

TEST_F(MuxEngineNetTest, BadStreamsLoseTheirConnection) {
    std::uint8_t a = Start();
    std::uint32_t point = 0;
    std::uint16_t port = 0;
    engine.TCPAllocatePoint(a, 0, &point);
    engine.TCPGetPort(a, point, &port);
    Bytes shortLength = Packet(a, 12);
    shortLength[8] = 11;
    Bytes hugeLength = Packet(a, 12);
    os::PutLe32(hugeLength.data() + 8, (1u << 20) + 1);
    for (const Bytes& bad : {shortLength, hugeLength, Packet(99, 12)}) {  // 99: no such client
        MuxSocket s = Tcp(kLocal, port);
        Write(s, bad);
        EXPECT_TRUE(ClosedByPeer(s, 2000));
    }
    // A version-2 message is dropped, and the stream goes on.
    MuxSocket s = Tcp(kLocal, port);
    Bytes v2 = Packet(a, 20, 2), v3 = Packet(a, 21);
    v2.insert(v2.end(), v3.begin(), v3.end());
    Write(s, v2);
    Bytes e;
    ASSERT_TRUE(Fetch(MuxKind::Tcp, a, e));
    EXPECT_EQ(Message(e), Packet(a, 21));
}

TEST_F(MuxEngineNetTest, ClientThatDoesNotFetchLosesTheConnection) {
    std::uint8_t a = Start(0, 1);
    std::uint32_t point = 0;
    std::uint16_t port = 0;
    engine.TCPAllocatePoint(a, 0, &point);
    engine.TCPGetPort(a, point, &port);
    MuxSocket s = Tcp(kLocal, port);
    Bytes three;
    for (int i = 0; i < 3; ++i) {
        Bytes m = Packet(a, 100);
        three.insert(three.end(), m.begin(), m.end());
    }
    // The first message fills the queue of one; the engine waits 50 times 10 ms for the
    // client to fetch, on a clock the test moves, then drops the connection.
    os::FakeClock clock(1000);
    Write(s, three);
    for (int wait = 1; wait <= 50; ++wait) {
        ASSERT_TRUE(clock.AwaitSleepers(1)) << wait;
        EXPECT_FALSE(ClosedByPeer(s, 0)) << "closed before wait " << wait << " ended";
        clock.Advance(10);
    }
    EXPECT_TRUE(ClosedByPeer(s, 3000));
}

TEST_F(MuxEngineNetTest, OpenedConnectionCarriesBothWaysAndClosesWithItsClient) {
    std::uint8_t a = Start();
    MuxSocket listener = MuxSocket::Open(SOCK_STREAM);
    sockaddr_in at = SocketAddress(kPeer, 0);
    ASSERT_EQ(bind(listener.Fd(), reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    listen(listener.Fd(), 1);
    socklen_t len = sizeof at;
    getsockname(listener.Fd(), reinterpret_cast<sockaddr*>(&at), &len);
    std::uint32_t conn = 0;
    EXPECT_EQ(engine.TCPOpen(a, kPeer, 1, 9, 500, &conn), MUX_E_TCP_OPEN);  // nobody there
    ASSERT_EQ(engine.TCPOpen(a, kPeer, ntohs(at.sin_port), 9, 2000, &conn), 0);
    EXPECT_EQ(conn & 0xFFF00000u, 0x100000u);
    MuxSocket peer(accept(listener.Fd(), nullptr, nullptr));
    Bytes request = Packet(9, 64);
    ASSERT_EQ(engine.TCPSendBuffer(conn, 1000, 64, Fill(request)), MUX_S_OK);
    Bytes got(64);
    ASSERT_EQ(recv(peer.Fd(), got.data(), 64, MSG_WAITALL), 64);
    EXPECT_EQ(got, request);
    Write(peer, Packet(a, 33));
    Bytes e;
    ASSERT_TRUE(Fetch(MuxKind::Tcp, a, e));
    EXPECT_EQ(os::GetLe32(e.data() + 16), conn);
    EXPECT_EQ(os::GetLe32(e.data()), kPeer);
    EXPECT_EQ(os::GetBe16(e.data() + 4), ntohs(at.sin_port));
    engine.shutdown(a);  // the client goes: its connection is closed
    EXPECT_TRUE(ClosedByPeer(peer, 2000));
}

TEST_F(MuxEngineNetTest, AClosedConnectionsHandleIsNotGivenToTheNextConnection) {
    std::uint8_t a = Start();
    MuxSocket listener = MuxSocket::Open(SOCK_STREAM);
    sockaddr_in at = SocketAddress(kPeer, 0);
    ASSERT_EQ(bind(listener.Fd(), reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    listen(listener.Fd(), 4);
    socklen_t len = sizeof at;
    getsockname(listener.Fd(), reinterpret_cast<sockaddr*>(&at), &len);
    std::uint32_t first = 0;
    std::uint32_t second = 0;
    ASSERT_EQ(engine.TCPOpen(a, kPeer, ntohs(at.sin_port), 9, 2000, &first), 0);
    ASSERT_EQ(engine.TCPDeallocatePoint(a, first), MUX_S_OK);
    ASSERT_EQ(engine.TCPOpen(a, kPeer, ntohs(at.sin_port), 9, 2000, &second), 0);
    EXPECT_NE(second, first);
    // A client still holding the old handle cannot write into the new connection.
    Bytes stale = Packet(9, 64);
    EXPECT_NE(engine.TCPSendBuffer(first, 1000, 64, Fill(stale)), MUX_S_OK);
}

}  // namespace
}  // namespace mux
