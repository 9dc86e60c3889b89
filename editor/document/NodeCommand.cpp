#include "editor/document/NodeCommand.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include "platform/NetAdapter.h"
#include "platform/VavSocket.h"

namespace {

constexpr int kMulticastTtl = 8;

// Closes the socket when the send is done, whatever happened.
class SocketGuard {
public:
    explicit SocketGuard(VavSocket socket) : socket_(socket) {}
    ~SocketGuard() {
        if (socket_ != VAV_INVALID_SOCKET)
            SocketClose(socket_);
    }
    SocketGuard(const SocketGuard&) = delete;
    SocketGuard& operator=(const SocketGuard&) = delete;
    VavSocket get() const { return socket_; }

private:
    VavSocket socket_;
};

bool Configure(VavSocket socket) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = 0;
    int on = 1;
    in_addr card{};
    card.s_addr = htonl(GetLocalIpAddress());
    int ttl = kMulticastTtl;
    return SocketBind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) &&
           SocketSetOption(socket, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) &&
           (card.s_addr == 0 ||
            SocketSetOption(socket, IPPROTO_IP, IP_MULTICAST_IF, &card, sizeof card)) &&
           SocketSetOption(socket, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);
}

}  // namespace

std::optional<std::array<uint8_t, 8>> BuildNodeCommand(uint32_t type) {
    if (type != NODE_COMMAND_1 && type != NODE_COMMAND_SARN_TO_KOLT && type != NODE_COMMAND_UPDATE)
        return std::nullopt;
    return std::array<uint8_t, 8>{0x0F,
                                  0x00,
                                  0x01,
                                  0x00,
                                  static_cast<uint8_t>(type),
                                  static_cast<uint8_t>(type >> 8),
                                  static_cast<uint8_t>(type >> 16),
                                  static_cast<uint8_t>(type >> 24)};
}

uint32_t SendNodeCommand(uint32_t destination, uint32_t type) {
    auto datagram = BuildNodeCommand(type);
    if (!datagram)
        return NODE_COMMAND_E_BAD_TYPE;
    SocketGuard socket(SocketOpen(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (socket.get() == VAV_INVALID_SOCKET || !Configure(socket.get()))
        return NODE_COMMAND_E_NO_SOCKET;

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(destination);
    to.sin_port = htons(kNodeCommandPort);
    size_t sent = 0;
    int result = SocketSendTo(socket.get(), datagram->data(), datagram->size(), 0,
                              reinterpret_cast<const sockaddr*>(&to), sizeof to, &sent);
    return result == VAV_SOCK_OK && sent == datagram->size() ? NODE_COMMAND_S_OK
                                                             : NODE_COMMAND_E_SEND_FAILED;
}
