// IPv4 socket addresses for tests that talk to sockets directly.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <string>

namespace ixo::testsupport {

// The address `hostOrder` (e.g. 0xC6120002 for 198.18.0.2) and `port`.
inline sockaddr_in Ipv4Address(uint32_t hostOrder, uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(hostOrder);
    return a;
}

// The dotted address `ip` (e.g. "198.18.0.2") and `port`; 0.0.0.0 when `ip` is none.
inline sockaddr_in Ipv4Address(const std::string& ip, uint16_t port) {
    sockaddr_in a = Ipv4Address(0u, port);
    inet_pton(AF_INET, ip.c_str(), &a.sin_addr);
    return a;
}

// The address as the socket calls take it.
inline const sockaddr* AsSockaddr(const sockaddr_in& a) {
    return reinterpret_cast<const sockaddr*>(&a);
}

}  // namespace ixo::testsupport
