// Sockets bound to the selected card: this namespace's bridge (198.18.0.1, named by its
// hardware address in ixokolt.cfg) faces one test host (198.18.0.2).
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/CUdpSocket.h"
#include "platform/NetAdapter.h"
#include "platform/VavSocket.h"
#include "testsupport/SelectedCardTest.h"
#include "testsupport/SocketAddress.h"

using ixo::testsupport::AsSockaddr;
using ixo::testsupport::Ipv4Address;
using ixo::testsupport::RunShell;

namespace {

constexpr uint32_t kGroup = 0xEC010002;       // 236.1.0.2
constexpr uint32_t kOtherGroup = 0xEC010025;  // 236.1.0.37

// One datagram within `ms`, with its source address; nullopt when none came.
std::optional<std::pair<std::string, std::string>> Receive(int fd, int ms = 2000) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, ms) != 1)
        return std::nullopt;
    char buffer[256];
    sockaddr_in from{};
    socklen_t n = sizeof from;
    ssize_t got = recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &n);
    if (got < 0)
        return std::nullopt;
    return std::make_pair(std::string(buffer, static_cast<size_t>(got)),
                          std::string(inet_ntoa(from.sin_addr)));
}

class VavSocketCard : public ixo::testsupport::SelectedCardTest {
protected:
    // A datagram socket of the suite bound to the card on `port`, sharing the port.
    static VavSocket CardSocket(uint16_t port) {
        VavSocket s = SocketOpen(AF_INET, SOCK_DGRAM, 0);
        int on = 1;
        EXPECT_TRUE(SocketSetOption(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on));
        EXPECT_TRUE(SocketSetOption(s, SOL_SOCKET, SO_BROADCAST, &on, sizeof on));
        sockaddr_in any = Ipv4Address(0u, port);
        EXPECT_TRUE(SocketBind(s, AsSockaddr(any), sizeof any));
        return s;
    }
    // A plain socket inside the test host, bound to the any-address on `port`.
    int HostSocket(uint16_t port, uint32_t group = 0) {
        int fd = -1;
        hosts_->RunIn(0, [&] {
            fd = socket(AF_INET, SOCK_DGRAM, 0);
            int on = 1;
            setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
            setsockopt(fd, SOL_SOCKET, SO_BINDTODEVICE, "eth0", 5);
            sockaddr_in any = Ipv4Address(0u, port);
            bind(fd, AsSockaddr(any), sizeof any);
            if (group != 0) {
                ip_mreq m{};
                m.imr_multiaddr.s_addr = htonl(group);
                m.imr_interface.s_addr = inet_addr(hosts_->Address(0).c_str());
                setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &m, sizeof m);
            }
        });
        return fd;
    }
    static void HostSend(int fd, const sockaddr_in& to, const std::string& text) {
        ASSERT_EQ(sendto(fd, text.data(), text.size(), 0, AsSockaddr(to), sizeof to),
                  static_cast<ssize_t>(text.size()));
    }
};

TEST_F(VavSocketCard, TwoProgramsOnOnePortReceiveTheirGroupAndBroadcasts) {
    VavSocket first = CardSocket(6107), second = CardSocket(6107), other = CardSocket(6107);
    ASSERT_TRUE(SocketJoinGroup(first, kGroup));
    ASSERT_TRUE(SocketJoinGroup(second, kGroup));
    ASSERT_TRUE(SocketJoinGroup(other, kOtherGroup));
    in_addr outgoing{};
    socklen_t n = sizeof outgoing;
    getsockopt(first, IPPROTO_IP, IP_MULTICAST_IF, &outgoing, &n);
    EXPECT_EQ(ntohl(outgoing.s_addr), 0xC6120001u) << "multicast leaves through the card";

    int host = HostSocket(0);
    HostSend(host, Ipv4Address(kGroup, 6107), "status");
    for (VavSocket s : {first, second}) {
        auto got = Receive(s);
        ASSERT_TRUE(got);
        EXPECT_EQ(got->first, "status");
        EXPECT_EQ(got->second, "198.18.0.2");
    }
    EXPECT_FALSE(Receive(other, 100)) << "a socket gets only the groups it joined";

    HostSend(host, Ipv4Address("198.18.0.255", 6107), "to the subnet");
    for (VavSocket s : {first, second, other}) {
        auto got = Receive(s);
        ASSERT_TRUE(got) << "broadcasts reach every socket bound to the card";
        EXPECT_EQ(got->first, "to the subnet");
    }

    ASSERT_TRUE(SocketLeaveGroup(second, kGroup));
    HostSend(host, Ipv4Address(kGroup, 6107), "again");
    EXPECT_TRUE(Receive(first));
    EXPECT_FALSE(Receive(second, 100));
    close(host);
    for (VavSocket s : {first, second, other}) SocketClose(s);
}

TEST_F(VavSocketCard, BroadcastAndMulticastLeaveThroughTheCardWhateverTheRoutes) {
    // Routes that would take both to loopback.
    ASSERT_EQ(RunShell("ip route replace 224.0.0.0/4 dev lo"), 0);
    ASSERT_EQ(RunShell("ip route replace 255.255.255.255/32 dev lo"), 0);
    int hostPlain = HostSocket(6800);
    int hostGroup = HostSocket(6801, kGroup);
    VavSocket sender = CardSocket(0);
    size_t sent = 0;
    sockaddr_in broadcast = Ipv4Address(0xFFFFFFFFu, 6800);
    ASSERT_EQ(SocketSendTo(sender, "who", 3, 0, AsSockaddr(broadcast), sizeof broadcast, &sent),
              VAV_SOCK_OK);
    auto got = Receive(hostPlain);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->first, "who");
    EXPECT_EQ(got->second, "198.18.0.1");

    sockaddr_in group = Ipv4Address(kGroup, 6801);
    ASSERT_EQ(SocketSendTo(sender, "ns2", 3, 0, AsSockaddr(group), sizeof group, &sent),
              VAV_SOCK_OK);
    got = Receive(hostGroup);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->first, "ns2");
    close(hostPlain);
    close(hostGroup);
    SocketClose(sender);
}

TEST_F(VavSocketCard, StreamSocketIsBoundToTheCardAddress) {
    VavSocket s = SocketOpen(AF_INET, SOCK_STREAM, 0);
    sockaddr_in any = Ipv4Address(0u, 0);
    ASSERT_TRUE(SocketBind(s, AsSockaddr(any), sizeof any));
    sockaddr_in bound{};
    socklen_t n = sizeof bound;
    getsockname(s, reinterpret_cast<sockaddr*>(&bound), &n);
    EXPECT_EQ(ntohl(bound.sin_addr.s_addr), 0xC6120001u);
    SocketClose(s);
}

// The time service takes its requests stamped and in batches; those too come only from the
// card: a datagram that reached the port through another interface is dropped and counted.
TEST_F(VavSocketCard, StampedBatchesTakeOnlyWhatCameThroughTheCard) {
    CUdpSocket service;
    ASSERT_EQ(service.Open(0), UDPSOCK_S_OK);
    const uint16_t port = service.GetPort();
    const int host = HostSocket(0);
    const int local = socket(AF_INET, SOCK_DGRAM, 0);
    const uint64_t foreignBefore = SocketForeignDrops();
    HostSend(host, Ipv4Address(0xC6120001u, port), "card 1");
    HostSend(local, Ipv4Address(0x7F000001u, port), "loopback");
    HostSend(host, Ipv4Address(0xC6120001u, port), "card 2");
    std::array<std::array<uint8_t, 64>, 4> buffers{};
    std::array<UdpDatagram, 4> batch;
    std::vector<std::pair<std::string, uint32_t>> got;
    size_t taken = 0;
    while ((got.size() < 2 || SocketForeignDrops() == foreignBefore) &&
           service.WaitReadable(2000)) {
        for (size_t i = 0; i < batch.size(); ++i) batch[i] = {buffers[i].data(), 64};
        const UdpStatus status = service.ReceiveStampedMany(batch, &taken);
        ASSERT_TRUE(status == UDPSOCK_S_OK || status == UDPSOCK_E_NOTHING) << status;
        for (const UdpDatagram& d : std::span(batch).first(taken))
            got.emplace_back(std::string(reinterpret_cast<char*>(d.buffer), d.length), d.address);
    }
    using Got = std::vector<std::pair<std::string, uint32_t>>;
    EXPECT_EQ(got, (Got{{"card 1", 0xC6120002u}, {"card 2", 0xC6120002u}}));
    EXPECT_EQ(SocketForeignDrops() - foreignBefore, 1u);
    EXPECT_EQ(service.ReceiveStampedMany(batch, &taken), UDPSOCK_E_NOTHING);
    close(local);
    close(host);
}

}  // namespace
