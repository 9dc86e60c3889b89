// Helpers of the version tool's network tests: a datagram socket inside a test host that
// sends to and hears from the status group.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "testsupport/NetHosts.h"

namespace quillon::test {

using Clock = std::chrono::steady_clock;

inline uint32_t HostOrder(const std::string& dotted) {
    in_addr a{};
    inet_pton(AF_INET, dotted.c_str(), &a);
    return ntohl(a.s_addr);
}

// A UDP socket made inside a test host: bound to `port` on any address, a member of
// `group` on the host's card, sending through that card.
class HostSocket {
public:
    HostSocket(const ixo::testsupport::NetHosts& hosts, int host, uint16_t port, uint32_t group) {
        const uint32_t card = HostOrder(hosts.Address(host));
        hosts.RunIn(host, [&] {
            fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            int on = 1;
            setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
            sockaddr_in any{};
            any.sin_family = AF_INET;
            any.sin_port = htons(port);
            bind(fd_, reinterpret_cast<sockaddr*>(&any), sizeof any);
            in_addr ifa{htonl(card)};
            setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_IF, &ifa, sizeof ifa);
            if (group != 0) {
                ip_mreq m{};
                m.imr_multiaddr.s_addr = htonl(group);
                m.imr_interface.s_addr = htonl(card);
                setsockopt(fd_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &m, sizeof m);
            }
        });
    }
    ~HostSocket() {
        if (fd_ >= 0)
            close(fd_);
    }
    HostSocket(const HostSocket&) = delete;
    HostSocket& operator=(const HostSocket&) = delete;

    bool Valid() const { return fd_ >= 0; }
    void SendTo(uint32_t address, uint16_t port, const std::vector<uint8_t>& bytes) const {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(address);
        sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    // The next datagram within `ms`.
    std::optional<std::vector<uint8_t>> Receive(int ms = 2000) const {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, ms) != 1)
            return std::nullopt;
        std::vector<uint8_t> bytes(2048);
        const ssize_t n = recv(fd_, bytes.data(), bytes.size(), 0);
        if (n < 0)
            return std::nullopt;
        bytes.resize(static_cast<size_t>(n));
        return bytes;
    }

private:
    int fd_ = -1;
};

// The version tool's own address and hardware address on the bridge that
// ixo::testsupport::SelectedCardTest makes its selected card.
constexpr uint32_t kBridge = 0xC6120001;  // 198.18.0.1
constexpr uint8_t kBridgeMac[6] = {0x02, 0x18, 0x00, 0x00, 0x00, 0x01};

}  // namespace quillon::test
