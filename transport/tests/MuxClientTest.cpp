// The multiplexer client against a real Travex started by activation, in a private
// network namespace without a card (nothing goes on the wire).
#include "transport/MuxClient.h"

#include <gtest/gtest.h>

#include <chrono>

#include "multiplexer/MuxEntry.h"
#include "os/ByteOrder.h"
#include "testsupport/NetHosts.h"
#include "testsupport/TravexTestEnv.h"

namespace {

using namespace mux;
using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kGroup = 0xEC010002;
constexpr std::uint16_t kPort = 6107;

Bytes Packet(std::uint8_t src, std::uint8_t dst, std::uint32_t total) {
    Bytes p(total, 0x33);
    p[0] = 8, p[1] = 0, p[2] = 3, p[3] = 0, p[4] = src, p[5] = dst, p[6] = 0, p[7] = 0;
    os::PutLe32(p.data() + 8, total);
    return p;
}

// Takes the next packet, waiting up to `ms` for the arrival event as a client does: the
// event is cleared before each look, so a packet queued after the look sets it again.
XPortStatus Fetch(bool tcp, std::uint8_t id, const XPortEvents& events, XPortPacket& packet,
                  int ms = 2000) {
    const auto& arrived = tcp ? events.tcpArrived : events.mcArrived;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        arrived->Reset();
        XPortStatus s =
            tcp ? MuxClientTcpGetPacket(id, packet) : MuxClientMulticastGetPacket(id, packet);
        if (s != MUX_E_QUEUE_EMPTY)
            return s;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !arrived->Wait(static_cast<std::uint32_t>(left.count())))
            return s;
    }
}

TEST(MuxClient, TwoRegistrationsShareGroupsAndTalkOverTcp) {
    IXO_REQUIRE_NETNS();
    ixo::testsupport::TravexTestEnv env("muxclient");
    std::uint8_t a = 0, b = 0;
    XPortEvents ea, eb;
    ASSERT_EQ(MuxClientOpen(&a, 1, 100, 100, &ea), 0);
    ASSERT_EQ(MuxClientOpen(&b, 1, 100, 100, &eb), 0);
    EXPECT_EQ(a, 128);
    EXPECT_EQ(b, 129);
    EXPECT_NE(env.ServerPid(), 0);

    ASSERT_EQ(MuxClientSubscribe(a, kGroup, kPort), MUX_S_OK);
    ASSERT_EQ(MuxClientSubscribe(b, kGroup, kPort), MUX_S_OK);
    Bytes head = Packet(a, 0, 40);
    Bytes tail(head.begin() + 12, head.end());
    head.resize(12);
    XPortBuffer second{tail.data(), static_cast<std::uint32_t>(tail.size()), nullptr};
    XPortBuffer first{head.data(), 12, &second};
    ASSERT_EQ(MuxClientMulticastSend(a, kGroup, kPort, &first), MUX_S_OK);
    EXPECT_TRUE(eb.mcArrived->Wait(1000));
    XPortPacket p;
    ASSERT_EQ(Fetch(false, b, eb, p), MUX_S_OK);
    EXPECT_EQ(p.data, Packet(a, 0, 40));
    EXPECT_EQ(p.remoteAddress, 1u);  // no card
    EXPECT_EQ(p.localAddress, kGroup);
    EXPECT_EQ(p.localPort, kPort);
    EXPECT_EQ(p.remoteAppId, a);
    EXPECT_EQ(p.localAppId, b);
    std::uint32_t local = 0;
    EXPECT_EQ(MuxClientGetLocalIpAddress(&local), MUX_S_OK);
    EXPECT_EQ(local, 1u);  // no card in this namespace

    // TCP between the two, inside the PC; a message larger than the first mapping.
    std::uint32_t point = 0, conn = 0;
    ASSERT_EQ(MuxClientAllocatePoint(b, 36507, &point), 0);
    ASSERT_EQ(MuxClientTcpOpen(a, 0, 36507, b, 1000, &conn), 0);
    for (std::uint32_t size : {20u, 70000u, 30u}) {
        Bytes m = Packet(a, b, size);
        XPortBuffer one{m.data(), size, nullptr};
        ASSERT_EQ(MuxClientTcpSend(conn, 1000, &one), MUX_S_OK);
    }
    for (std::uint32_t size : {20u, 70000u, 30u}) {
        ASSERT_EQ(Fetch(true, b, eb, p), MUX_S_OK);
        EXPECT_EQ(p.length(), size);
        EXPECT_EQ(p.handle, conn ^ 1u);
        EXPECT_EQ(p.remotePort, 36507);
    }
    EXPECT_EQ(MuxClientTcpGetPacket(b, p), MUX_E_QUEUE_EMPTY);

    EXPECT_EQ(MuxClientClose(a), MUX_S_OK);
    EXPECT_EQ(MuxClientClose(b), MUX_S_OK);
    EXPECT_EQ(MuxClientSubscribe(a, kGroup, kPort), MUX_E_MC_JOIN);  // Travex let go
    EXPECT_TRUE(env.WaitServerGone(3000));
}

}  // namespace
