// The socket calls and their table on loopback, inside a private namespace without a card.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "platform/NetAdapter.h"
#include "platform/SocketTable.h"
#include "platform/VavSocket.h"
#include "testsupport/NetHosts.h"
#include "testsupport/SocketAddress.h"

using ixo::testsupport::AsSockaddr;
using ixo::testsupport::Ipv4Address;

namespace {

uint16_t PortOf(VavSocket s) {
    sockaddr_in a{};
    socklen_t n = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
    return ntohs(a.sin_port);
}

// True once a datagram waits on the socket, false when none comes within a few seconds.
bool Readable(VavSocket s) {
    pollfd p{s, POLLIN, 0};
    return poll(&p, 1, 5000) == 1;
}

void NonBlocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

class VavSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        IXO_REQUIRE_NETNS();
        setenv("VAV_CONFIG_FILE", "/nonexistent/ixokolt.cfg", 1);
        setenv("IXO_SYSTEM_DIR", "/nonexistent", 1);
        ResetConfigForTest();
        SetNetSourceForTest(nullptr);
        // No card, whatever interfaces an earlier test of this process left in the
        // namespace: the sockets stay on loopback, unpinned.
        SetSelectedInterface(0);
        ASSERT_TRUE(SocketStartup());
    }
    void TearDown() override { SetNetSourceForTest(nullptr); }
    VavSocket Udp() {
        VavSocket s = SocketOpen(AF_INET, SOCK_DGRAM, 0);
        EXPECT_NE(s, VAV_INVALID_SOCKET);
        sockaddr_in any = Ipv4Address("0.0.0.0", 0);
        EXPECT_TRUE(SocketBind(s, AsSockaddr(any), sizeof any));
        NonBlocking(s);
        return s;
    }
};

TEST_F(VavSocketTest, DatagramResultCodes) {
    VavSocket a = Udp(), b = Udp();
    char buffer[64];
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    size_t count = 99;
    EXPECT_EQ(SocketRecvFrom(b, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from),
                             &fromLength, &count),
              VAV_SOCK_WOULD_BLOCK);

    sockaddr_in to = Ipv4Address("127.0.0.1", PortOf(b));
    EXPECT_EQ(SocketSendTo(a, "hello", 5, 0, AsSockaddr(to), sizeof to, &count), VAV_SOCK_OK);
    EXPECT_EQ(count, 5u);
    ASSERT_TRUE(Readable(b));
    EXPECT_EQ(SocketRecvFrom(b, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from),
                             &fromLength, &count),
              VAV_SOCK_OK);
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(std::string(buffer, 5), "hello");
    EXPECT_EQ(ntohs(from.sin_port), PortOf(a));

    std::vector<char> tooBig(70000);
    EXPECT_EQ(SocketSendTo(a, tooBig.data(), tooBig.size(), 0, AsSockaddr(to), sizeof to, &count),
              VAV_SOCK_SEND_ERROR);
    EXPECT_EQ(SocketRecvFrom(-1, buffer, sizeof buffer, 0, nullptr, nullptr, &count),
              VAV_SOCK_RECV_ERROR);
    EXPECT_TRUE(SocketClose(a));
    EXPECT_TRUE(SocketClose(b));
}

TEST_F(VavSocketTest, StreamSendsWouldBlockThenFailWithoutSignal) {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local = Ipv4Address("127.0.0.1", 0);
    ASSERT_EQ(bind(listener, AsSockaddr(local), sizeof local), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    VavSocket client = SocketOpen(AF_INET, SOCK_STREAM, 0);
    sockaddr_in server = Ipv4Address("127.0.0.1", PortOf(listener));
    ASSERT_EQ(connect(client, AsSockaddr(server), sizeof server), 0);
    int peer = accept(listener, nullptr, nullptr);
    ASSERT_GE(peer, 0);
    NonBlocking(client);

    SocketTableSetReadyToSend(client, true);
    std::vector<char> chunk(65536, 'x');
    size_t sent = 0;
    int result = VAV_SOCK_OK;
    for (int i = 0; i < 10000 && result == VAV_SOCK_OK; ++i)
        result = SocketSendTo(client, chunk.data(), chunk.size(), 0, nullptr, 0, &sent);
    EXPECT_EQ(result, VAV_SOCK_WOULD_BLOCK);
    bool ready = true;
    ASSERT_TRUE(SocketTableGetReadyToSend(client, ready));
    EXPECT_FALSE(ready);

    close(peer);  // unread data: the peer resets the connection
    // The reset reaches the client as an error on its socket; the send after it fails.
    pollfd reset{client, 0, 0};
    ASSERT_EQ(poll(&reset, 1, 5000), 1);
    EXPECT_NE(reset.revents & (POLLERR | POLLHUP), 0);
    result = SocketSendTo(client, chunk.data(), 1, 0, nullptr, 0, &sent);
    EXPECT_EQ(result, VAV_SOCK_SEND_ERROR) << "and no SIGPIPE ended the test";
    SocketClose(client);
    close(listener);
}

TEST_F(VavSocketTest, TableFollowsOpenAndClose) {
    const size_t before = SocketTableSize();
    VavSocket s = SocketOpen(AF_INET, SOCK_DGRAM, 0);
    EXPECT_TRUE(SocketTableContains(s));
    bool ready = true;
    EXPECT_TRUE(SocketTableGetReadyToSend(s, ready));
    EXPECT_FALSE(ready) << "0 when created";
    EXPECT_EQ(SocketTableSize(), before + 1);
    EXPECT_TRUE(SocketClose(s));
    EXPECT_FALSE(SocketTableContains(s));
    EXPECT_EQ(SocketTableSize(), before);

    int foreign = socket(AF_INET, SOCK_DGRAM, 0);
    EXPECT_TRUE(SocketClose(foreign)) << "not in the table, still closed";
    EXPECT_EQ(fcntl(foreign, F_GETFD), -1);
    EXPECT_EQ(SocketOpen(AF_INET, 12345, 0), VAV_INVALID_SOCKET);
    EXPECT_EQ(SocketTableSize(), before);
}

TEST_F(VavSocketTest, PollReportsPerEntryAndWatchesEverySocket) {
    std::vector<VavSocket> sockets;
    for (int i = 0; i < 70; ++i) sockets.push_back(Udp());
    VavSocket a = sockets[0], b = sockets[1], last = sockets[69];
    VavPollList result;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SocketPoll({{b, VAV_POLL_READ}}, result, 30), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(25));

    sockaddr_in toA = Ipv4Address("127.0.0.1", PortOf(a));
    sockaddr_in toLast = Ipv4Address("127.0.0.1", PortOf(last));
    size_t sent;
    ASSERT_EQ(SocketSendTo(b, "x", 1, 0, AsSockaddr(toA), sizeof toA, &sent), VAV_SOCK_OK);
    ASSERT_EQ(SocketSendTo(b, "y", 1, 0, AsSockaddr(toLast), sizeof toLast, &sent), VAV_SOCK_OK);

    ASSERT_EQ(
        SocketPoll({{a, VAV_POLL_READ}, {b, VAV_POLL_READ}, {a, VAV_POLL_READ | VAV_POLL_WRITE}},
                   result, 1000),
        2);
    EXPECT_EQ(result[0].socket, a);
    EXPECT_EQ(result[0].flags, VAV_POLL_READ);
    EXPECT_EQ(result[1].socket, a);
    EXPECT_EQ(result[1].flags, VAV_POLL_READ | VAV_POLL_WRITE);

    VavPollList all;
    for (VavSocket s : sockets) all.push_back({s, VAV_POLL_READ});
    ASSERT_EQ(SocketPoll(all, result, 1000), 2);
    EXPECT_EQ(result[1].socket, last) << "the 70th socket is watched too";
    for (VavSocket s : sockets) SocketClose(s);
}

TEST(VavSocketHelpers, AddressConversions) {
    EXPECT_EQ(TextToIpAddress("192.168.1.2"), htonl(0xC0A80102));
    EXPECT_EQ(TextToIpAddress("not an address"), INADDR_NONE);
    EXPECT_EQ(NetToHostLong(HostToNetLong(0x01020304)), 0x01020304u);
    const uint16_t n = HostToNetShort(0x1234);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(&n)[0], 0x12);
}

}  // namespace
