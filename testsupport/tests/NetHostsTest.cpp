// The test network itself: multicast on the private loopback, and datagrams between hosts.
#include "testsupport/NetHosts.h"
#include "testsupport/SocketAddress.h"

#include "os/UniqueFd.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using ixo::testsupport::Ipv4Address;
using ixo::testsupport::NetHosts;

// A socket bound to the group's port and joined on the interface with address `ifaddr`.
int GroupReceiver(const std::string& group, uint16_t port, const std::string& ifaddr) {
    int s = socket(AF_INET, SOCK_DGRAM, 0);
    int one = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in any = Ipv4Address("0.0.0.0", port);
    if (bind(s, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0)
        return -1;
    ip_mreq m{};
    inet_pton(AF_INET, group.c_str(), &m.imr_multiaddr);
    inet_pton(AF_INET, ifaddr.c_str(), &m.imr_interface);
    if (setsockopt(s, IPPROTO_IP, IP_ADD_MEMBERSHIP, &m, sizeof m) != 0)
        return -1;
    return s;
}

bool SendTo(const std::string& from, const std::string& to, uint16_t port,
            const std::string& text) {
    os::UniqueFd s(socket(AF_INET, SOCK_DGRAM, 0));
    in_addr ifa{};
    inet_pton(AF_INET, from.c_str(), &ifa);
    setsockopt(s.get(), IPPROTO_IP, IP_MULTICAST_IF, &ifa, sizeof ifa);
    sockaddr_in dst = Ipv4Address(to, port);
    return sendto(s.get(), text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&dst),
                  sizeof dst) == static_cast<ssize_t>(text.size());
}

std::string Receive(int s, int timeout_ms) {
    pollfd p{s, POLLIN, 0};
    if (poll(&p, 1, timeout_ms) != 1)
        return "";
    char buf[256];
    ssize_t n = recv(s, buf, sizeof buf, 0);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : "";
}

TEST(NetHosts, MulticastOnPrivateLoopback) {
    IXO_REQUIRE_NETNS();
    os::UniqueFd rx(GroupReceiver("236.1.0.2", 46107, "127.0.0.1"));
    ASSERT_GE(rx.get(), 0);
    ASSERT_TRUE(SendTo("127.0.0.1", "236.1.0.2", 46107, "hello group"));
    EXPECT_EQ(Receive(rx.get(), 2000), "hello group");
}

TEST(NetHosts, MulticastAndUnicastBetweenHosts) {
    IXO_REQUIRE_NETNS();
    std::string error;
    auto hosts = NetHosts::Create(2, &error);
    ASSERT_TRUE(hosts) << error;
    EXPECT_EQ(hosts->Address(1), "198.18.0.3");
    EXPECT_EQ(hosts->Mac(0), "02:18:00:00:00:02");

    // The test's own namespace joins the group on the bridge; host 0 sends to it.
    os::UniqueFd rx(GroupReceiver("236.1.0.2", 46108, NetHosts::SelfAddress()));
    ASSERT_GE(rx.get(), 0);
    bool sent = false;
    ASSERT_TRUE(
        hosts->RunIn(0, [&] { sent = SendTo(hosts->Address(0), "236.1.0.2", 46108, "from h0"); }));
    ASSERT_TRUE(sent);
    EXPECT_EQ(Receive(rx.get(), 2000), "from h0");

    // Host 1 receives a unicast datagram from host 0.
    std::string got;
    int h1sock = -1;
    ASSERT_TRUE(hosts->RunIn(1, [&] {
        h1sock = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a = Ipv4Address("0.0.0.0", 46109);
        bind(h1sock, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }));
    os::UniqueFd h1(h1sock);
    ASSERT_TRUE(hosts->RunIn(
        0, [&] { sent = SendTo(hosts->Address(0), hosts->Address(1), 46109, "to h1"); }));
    EXPECT_EQ(Receive(h1.get(), 2000), "to h1");
}

}  // namespace
