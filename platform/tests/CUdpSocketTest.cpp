// The UDP socket on real sockets inside a private network namespace (loopback only:
// the selected card is none, so the socket binds to any address).
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <span>
#include <thread>
#include <vector>

#include "platform/CUdpSocket.h"
#include "platform/NetAdapter.h"
#include "testsupport/NetHosts.h"

namespace {

constexpr uint32_t kLoopback = 0x7F000001;

// No card, whatever interfaces an earlier test of this process left in the namespace.
class CUdpSocketTest : public ::testing::Test {
protected:
    void SetUp() override { SetSelectedInterface(0); }
    void TearDown() override { SetNetSourceForTest(nullptr); }
};

// Takes one datagram, waiting up to a second for the socket to become readable.
UdpStatus ReceiveSoon(CUdpSocket& s, uint32_t& from, uint16_t& port, std::vector<uint8_t>& data) {
    if (!s.WaitReadable(1000))
        return UDPSOCK_E_NOTHING;
    return s.ReceiveFrom(&from, &port, data);
}

TEST_F(CUdpSocketTest, WithoutSocketEveryOperationFails) {
    CUdpSocket s;
    std::vector<uint8_t> data{1};
    uint32_t length = 1;
    uint8_t byte = 0;
    EXPECT_EQ(s.SendTo(kLoopback, &byte, 1, 9), UDPSOCK_E_NO_SOCKET);
    EXPECT_EQ(s.SendTo(kLoopback, nullptr, 1, 9), UDPSOCK_E_NO_DATA);
    EXPECT_EQ(s.ReceiveFrom(nullptr, nullptr, data), UDPSOCK_E_NO_SOCKET);
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(s.ReceiveInto(nullptr, nullptr, &byte, &length), UDPSOCK_E_NO_SOCKET);
    EXPECT_EQ(s.JoinGroup(0xE0000101), UDPSOCK_E_NO_SOCKET);
    EXPECT_EQ(s.GetPort(), 0);
}

TEST_F(CUdpSocketTest, OpenSendReceiveAndLengths) {
    IXO_REQUIRE_NETNS();
    CUdpSocket a, b;
    ASSERT_EQ(a.Open(0), UDPSOCK_S_OK);
    const uint16_t port = a.GetPort();
    ASSERT_NE(port, 0);
    EXPECT_EQ(a.Open(0), UDPSOCK_S_OK);  // a second open changes nothing
    EXPECT_EQ(a.GetPort(), port);
    ASSERT_EQ(b.Open(0), UDPSOCK_S_OK);

    uint32_t from = 0;
    uint16_t fromPort = 0;
    std::vector<uint8_t> data{9, 9};
    EXPECT_EQ(a.ReceiveFrom(&from, &fromPort, data), UDPSOCK_E_NOTHING);  // idle: at once
    EXPECT_TRUE(data.empty());

    // The largest datagram goes; one byte more is refused, whatever its low 16 bits say.
    std::vector<uint8_t> big(UdpEndpoint::kMaxDatagram + 1, 0x5A);
    EXPECT_EQ(b.SendTo(kLoopback, big.data(), 32769, port), UDPSOCK_E_TOO_LONG);
    EXPECT_EQ(b.SendTo(kLoopback, big.data(), 0x10000 + 10, port), UDPSOCK_E_TOO_LONG);
    ASSERT_EQ(b.SendTo(kLoopback, big.data(), 32768, port), UDPSOCK_S_OK);
    ASSERT_EQ(ReceiveSoon(a, from, fromPort, data), UDPSOCK_S_OK);
    EXPECT_EQ(data.size(), 32768u);
    EXPECT_EQ(from, kLoopback);
    EXPECT_EQ(fromPort, b.GetPort());

    // Port 0 sends to the sender's own port number at the destination.
    const uint8_t hello[] = {'h', 'i'};
    ASSERT_EQ(a.SendTo(kLoopback, hello, 2, 0), UDPSOCK_S_OK);
    uint8_t into[1] = {};
    uint32_t length = sizeof into;
    ASSERT_TRUE(a.WaitReadable(1000));
    EXPECT_EQ(a.ReceiveInto(&from, &fromPort, into, &length), UDPSOCK_S_OK);
    EXPECT_EQ(length, 1u);  // cut to the caller's buffer
    EXPECT_EQ(into[0], 'h');
    EXPECT_EQ(fromPort, port);
}

// Replies go out in batches: every good datagram of the batch arrives, in order; a bad one
// is refused as SendTo refuses it and does not stop the others.
TEST_F(CUdpSocketTest, SendManySendsEveryGoodDatagramInOrder) {
    IXO_REQUIRE_NETNS();
    CUdpSocket a, b;
    ASSERT_EQ(a.Open(0), UDPSOCK_S_OK);
    ASSERT_EQ(b.Open(0), UDPSOCK_S_OK);
    ASSERT_EQ(a.ReserveDatagrams(100), UDPSOCK_S_OK);
    std::vector<uint8_t> payload(UdpEndpoint::kMaxDatagram + 1);
    for (size_t i = 0; i < 80; ++i) payload[i] = static_cast<uint8_t>(i);
    std::vector<UdpOutgoing> out;
    for (uint8_t i = 0; i < 80; ++i) out.push_back({kLoopback, a.GetPort(), &payload[i], 1});
    out.insert(out.begin() + 40, UdpOutgoing{kLoopback, a.GetPort(), payload.data(), 32769});
    EXPECT_EQ(b.SendMany(out), UDPSOCK_E_TOO_LONG);

    std::vector<uint8_t> got, data;
    uint32_t from = 0;
    uint16_t fromPort = 0;
    while (got.size() < 80 && ReceiveSoon(a, from, fromPort, data) == UDPSOCK_S_OK) {
        ASSERT_EQ(data.size(), 1u);
        EXPECT_EQ(fromPort, b.GetPort());
        got.push_back(data[0]);
    }
    EXPECT_EQ(got, std::vector<uint8_t>(payload.begin(), payload.begin() + 80));
}

// A time server stamps a request's arrival: how long it sat in the socket is told; a
// hundred of them find room; the wait for one ends when it comes.
TEST_F(CUdpSocketTest, ArrivalsAreStampedAndQueued) {
    IXO_REQUIRE_NETNS();
    CUdpSocket a, b;
    ASSERT_EQ(a.Open(0), UDPSOCK_S_OK);
    ASSERT_EQ(b.Open(0), UDPSOCK_S_OK);
    ASSERT_EQ(a.ReserveDatagrams(100), UDPSOCK_S_OK);
    uint8_t into[48] = {};
    uint32_t length = sizeof into, from = 0;
    uint16_t port = 0;
    double waited = -1;
    EXPECT_EQ(a.ReceiveStamped(&from, &port, into, &length, &waited), UDPSOCK_E_NOTHING);
    EXPECT_FALSE(a.WaitReadable(0));

    const uint8_t request[48] = {0x1B};
    // The kernel turns arrival stamping on a moment after the first socket asks for it;
    // until then a datagram is stamped when it is read. Wait until a datagram that lay
    // unread for 5 ms says so.
    const auto warmUp = std::chrono::steady_clock::now();
    do {
        ASSERT_EQ(b.SendTo(kLoopback, request, sizeof request, a.GetPort()), UDPSOCK_S_OK);
        ASSERT_TRUE(a.WaitReadable(1000));
        const auto sent = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - sent < std::chrono::milliseconds(5)) {
        }
        length = sizeof into;
        ASSERT_EQ(a.ReceiveStamped(&from, &port, into, &length, &waited), UDPSOCK_S_OK);
    } while (waited < 0.004 && std::chrono::steady_clock::now() - warmUp < std::chrono::seconds(2));
    length = sizeof into;
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(b.SendTo(kLoopback, request, sizeof request, a.GetPort()), UDPSOCK_S_OK);
    ASSERT_TRUE(a.WaitReadable(1000));
    // The datagrams age in the socket while nobody reads them.
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(50)) {
    }
    // Taken in batches of 16, as the time service takes them: six full ones, then the rest.
    std::vector<uint8_t> buffers(16 * 64);
    std::array<UdpDatagram, 16> batch;
    std::vector<size_t> batches;
    for (;;) {
        for (size_t i = 0; i < batch.size(); ++i) batch[i] = {&buffers[i * 64], 64};
        size_t taken = 0;
        if (a.ReceiveStampedMany(batch, &taken) != UDPSOCK_S_OK)
            break;
        batches.push_back(taken);
        for (const UdpDatagram& d : std::span(batch).first(taken)) {
            EXPECT_GE(d.waited, 0.045);
            EXPECT_LT(d.waited, 1.0);
            EXPECT_EQ(d.length, 48u);
            EXPECT_EQ(d.port, b.GetPort());
            EXPECT_EQ(d.buffer[0], 0x1B);
        }
    }
    EXPECT_EQ(batches, (std::vector<size_t>{16, 16, 16, 16, 16, 16, 4}))
        << "every datagram of a step finds room";
}

// A server rests in the receive itself: the wait ends when a datagram comes, or at the
// time-out with none, and leaves every other call as quick as it was.
TEST_F(CUdpSocketTest, AWaitingReceiveEndsWithTheFirstDatagramOrTheTimeOut) {
    IXO_REQUIRE_NETNS();
    CUdpSocket a, b;
    ASSERT_EQ(a.Open(0), UDPSOCK_S_OK);
    ASSERT_EQ(b.Open(0), UDPSOCK_S_OK);
    std::vector<uint8_t> buffers(16 * 64);
    std::array<UdpDatagram, 16> batch;
    auto receive = [&](int timeoutMs, size_t* taken) {
        for (size_t i = 0; i < batch.size(); ++i) batch[i] = {&buffers[i * 64], 64};
        return a.ReceiveWaiting(batch, taken, timeoutMs);
    };
    size_t taken = 9;
    EXPECT_EQ(receive(3, &taken), UDPSOCK_E_NOTHING);
    EXPECT_EQ(taken, 0u);

    // Sent while the receiver already waits (or just before: the same to it).
    const uint8_t request[48] = {0x23};
    std::thread sender([&] {
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(b.SendTo(kLoopback, request, sizeof request, a.GetPort()), UDPSOCK_S_OK);
    });
    size_t got = 0;
    while (got < 3) {
        ASSERT_EQ(receive(60000, &taken), UDPSOCK_S_OK);
        ASSERT_GE(taken, 1u);
        for (const UdpDatagram& d : std::span(batch).first(taken)) {
            EXPECT_EQ(d.length, 48u);
            EXPECT_EQ(d.port, b.GetPort());
            EXPECT_EQ(d.buffer[0], 0x23);
        }
        got += taken;
    }
    sender.join();
    EXPECT_EQ(got, 3u);

    // The long time-out of the last wait is the socket's now; the other receives still
    // answer at once (a blocking one would hold this test for half a minute).
    std::vector<uint8_t> data;
    uint32_t from = 0, length = 48;
    uint16_t port = 0;
    double waited = 0;
    uint8_t into[48];
    EXPECT_EQ(a.ReceiveFrom(&from, &port, data), UDPSOCK_E_NOTHING);
    EXPECT_EQ(a.ReceiveStamped(&from, &port, into, &length, &waited), UDPSOCK_E_NOTHING);
    EXPECT_EQ(a.ReceiveStampedMany(batch, &taken), UDPSOCK_E_NOTHING);
    EXPECT_EQ(receive(0, &taken), UDPSOCK_E_NOTHING);
}

TEST_F(CUdpSocketTest, GroupMembersHearTheGroup) {
    IXO_REQUIRE_NETNS();
    CUdpSocket member, sender;
    ASSERT_EQ(member.Open(0), UDPSOCK_S_OK);
    ASSERT_EQ(sender.Open(0), UDPSOCK_S_OK);
    ASSERT_EQ(member.JoinGroup(0xEF010203), UDPSOCK_S_OK);
    const uint8_t byte = 7;
    ASSERT_EQ(sender.SendTo(0xEF010203, &byte, 1, member.GetPort()), UDPSOCK_S_OK);
    uint32_t from = 0;
    uint16_t port = 0;
    std::vector<uint8_t> data;
    ASSERT_EQ(ReceiveSoon(member, from, port, data), UDPSOCK_S_OK);
    EXPECT_EQ(data, std::vector<uint8_t>{7});
    EXPECT_EQ(member.LeaveGroup(0xEF010203), UDPSOCK_S_OK);
    EXPECT_TRUE(UdpFailed(member.LeaveGroup(0xEF010203)));  // not a member any more
}

}  // namespace
