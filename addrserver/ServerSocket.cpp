#include "addrserver/ServerSocket.h"

namespace addrserver {

bool ServerSocket::Open(uint16_t port, bool broadcast) {
    Close();
    closing_ = false;
    socket_ = SocketOpen(AF_INET, SOCK_DGRAM, 0);
    if (socket_ == VAV_INVALID_SOCKET)
        return false;
    int size = 0xFFFF, one = 1;
    SocketSetOption(socket_, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    SocketSetOption(socket_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    if (broadcast)
        SocketSetOption(socket_, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = HostToNetShort(port);
    if (!SocketBind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local)) {
        Close();
        return false;
    }
    port_ = port;
    return true;
}

void ServerSocket::Close() {
    if (socket_ != VAV_INVALID_SOCKET)
        SocketClose(socket_);
    socket_ = VAV_INVALID_SOCKET;
}

bool ServerSocket::WaitReadable(int ms) const {
    VavPollList list{{socket_, VAV_POLL_READ}}, ready;
    return SocketPoll(list, ready, ms) > 0;
}

int ServerSocket::Receive(std::span<uint8_t> buffer, size_t& received, uint32_t& address,
                          uint16_t& port) const {
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    int result = SocketRecvFrom(socket_, buffer.data(), buffer.size(), 0,
                                reinterpret_cast<sockaddr*>(&from), &fromLength, &received);
    address = NetToHostLong(from.sin_addr.s_addr);
    port = ntohs(from.sin_port);
    return result;
}

bool ServerSocket::SendTo(uint32_t address, uint16_t port, std::span<const uint8_t> data) const {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = HostToNetShort(port);
    to.sin_addr.s_addr = HostToNetLong(address);
    size_t sent = 0;
    return SocketSendTo(socket_, data.data(), data.size(), 0,
                        reinterpret_cast<const sockaddr*>(&to), sizeof to, &sent) == VAV_SOCK_OK &&
           sent == data.size();
}

int ServerSocket::Serve(std::span<uint8_t> buffer, int waitMs,
                        const std::function<void(const Datagram&)>& handle) const {
    while (!Closing()) {
        if (!WaitReadable(waitMs) || Closing())
            continue;
        size_t n = 0;
        Datagram d{};
        int result = Receive(buffer, n, d.address, d.port);
        if (result == VAV_SOCK_WOULD_BLOCK)
            continue;
        if (result != VAV_SOCK_OK)
            return result;
        d.bytes = buffer.first(n);
        handle(d);
    }
    return VAV_SOCK_OK;
}

}  // namespace addrserver
