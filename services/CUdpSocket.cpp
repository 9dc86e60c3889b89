#include "services/CUdpSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>

#include <sys/socket.h>
#include <time.h>
#include <algorithm>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/Logger.h"
#include "platform/NetAdapter.h"

namespace {

sockaddr_in Ipv4(uint32_t address, uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = HostToNetLong(address);
    a.sin_port = HostToNetShort(port);
    return a;
}

bool SetInt(VavSocket s, int level, int option, int value) {
    return SocketSetOption(s, level, option, &value, sizeof value);
}

}  // namespace

CUdpSocket::~CUdpSocket() {
    Close();
    if (started_)
        SocketCleanup();
}

void CUdpSocket::Close() {
    if (socket_ != VAV_INVALID_SOCKET)
        SocketClose(socket_);
    socket_ = VAV_INVALID_SOCKET;
    open_ = false;
    port_ = 0;
}

UdpStatus CUdpSocket::FailOpen(const char* step) {
    VAV_LOG(LOG_ERR, "UDP socket: %s failed: %s", step, std::strerror(errno));
    Close();
    return UDPSOCK_E_NO_SOCKET;
}

UdpStatus CUdpSocket::Open(uint16_t port) {
    if (open_)
        return UDPSOCK_S_OK;
    if (!started_) {
        if (!SocketStartup())
            return FailOpen("socket start-up");
        started_ = true;
    }
    socket_ = SocketOpen(AF_INET, SOCK_DGRAM, 0);
    if (socket_ == VAV_INVALID_SOCKET)
        return FailOpen("socket");
    if (!SetInt(socket_, SOL_SOCKET, SO_REUSEADDR, 1))
        return FailOpen("SO_REUSEADDR");
    // The unspecified address stands for the card (VavSocket.h): a socket bound to the
    // card's unicast address would hear no multicast here.
    sockaddr_in local = Ipv4(0, port);
    if (!SocketBind(socket_, reinterpret_cast<sockaddr*>(&local), sizeof local))
        return FailOpen("bind");
    if (!SetInt(socket_, SOL_SOCKET, SO_RCVBUF, kMaxDatagram) ||
        !SetInt(socket_, SOL_SOCKET, SO_SNDBUF, kMaxDatagram))
        return FailOpen("buffer size");
    if (!SetInt(socket_, SOL_SOCKET, SO_BROADCAST, 1))
        return FailOpen("SO_BROADCAST");
    const int flags = fcntl(socket_, F_GETFL);
    if (flags < 0 || fcntl(socket_, F_SETFL, flags | O_NONBLOCK) != 0)
        return FailOpen("non-blocking mode");
    if (!SetInt(socket_, IPPROTO_IP, IP_MULTICAST_TTL, 8))
        return FailOpen("IP_MULTICAST_TTL");
    port_ = GetPort();
    open_ = true;
    return UDPSOCK_S_OK;
}

uint32_t CUdpSocket::GetLocalAddress() {
    if (!started_)
        started_ = SocketStartup();
    return GetLocalIpAddress();
}

uint16_t CUdpSocket::GetPort() {
    if (socket_ == VAV_INVALID_SOCKET)
        return 0;
    sockaddr_in a{};
    socklen_t length = sizeof a;
    if (getsockname(socket_, reinterpret_cast<sockaddr*>(&a), &length) != 0)
        return 0;
    return ntohs(a.sin_port);
}

UdpStatus CUdpSocket::SendTo(uint32_t address, const uint8_t* data, uint32_t length,
                             uint16_t port) {
    if (data == nullptr)
        return UDPSOCK_E_NO_DATA;
    if (length > kMaxDatagram)
        return UDPSOCK_E_TOO_LONG;
    if (socket_ == VAV_INVALID_SOCKET)
        return UDPSOCK_E_NO_SOCKET;
    sockaddr_in to = Ipv4(address, port != 0 ? port : port_);
    size_t sent = 0;
    const int r =
        SocketSendTo(socket_, data, length, 0, reinterpret_cast<sockaddr*>(&to), sizeof to, &sent);
    if (r != VAV_SOCK_OK || sent != length) {
        VAV_LOG(LOG_WARN, "UDP socket: send of %u bytes to %u.%u.%u.%u:%u failed (%d): %s", length,
                address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF, address & 0xFF,
                ntohs(to.sin_port), r, std::strerror(errno));
        return UDPSOCK_E_NO_SOCKET;
    }
    return UDPSOCK_S_OK;
}

UdpStatus CUdpSocket::ReceiveFrom(uint32_t* address, uint16_t* port, std::vector<uint8_t>& data) {
    data.clear();
    if (socket_ == VAV_INVALID_SOCKET)
        return UDPSOCK_E_NO_SOCKET;
    try {
        data.resize(kMaxDatagram);
    } catch (const std::bad_alloc&) {
        return UDPSOCK_E_NO_MEMORY;
    }
    uint32_t length = kMaxDatagram;
    const UdpStatus s = ReceiveInto(address, port, data.data(), &length);
    data.resize(s == UDPSOCK_S_OK ? length : 0);
    return s;
}

UdpStatus CUdpSocket::ReceiveInto(uint32_t* address, uint16_t* port, uint8_t* buffer,
                                  uint32_t* length) {
    if (socket_ == VAV_INVALID_SOCKET)
        return UDPSOCK_E_NO_SOCKET;
    if (buffer == nullptr || length == nullptr)
        return UDPSOCK_E_ERROR;
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    size_t received = 0;
    const int r = SocketRecvFrom(socket_, buffer, *length, 0, reinterpret_cast<sockaddr*>(&from),
                                 &fromLength, &received);
    if (r == VAV_SOCK_WOULD_BLOCK)
        return UDPSOCK_E_NOTHING;
    if (r != VAV_SOCK_OK) {
        VAV_LOG(LOG_WARN, "UDP socket: receive failed: %s", std::strerror(errno));
        return UDPSOCK_E_ERROR;
    }
    if (address)
        *address = NetToHostLong(from.sin_addr.s_addr);
    if (port)
        *port = ntohs(from.sin_port);
    *length = static_cast<uint32_t>(received);
    return UDPSOCK_S_OK;
}

UdpStatus CUdpSocket::ReceiveStamped(uint32_t* address, uint16_t* port, uint8_t* buffer,
                                     uint32_t* length, double* waited) {
    *waited = 0;
    if (socket_ == VAV_INVALID_SOCKET)
        return UDPSOCK_E_NO_SOCKET;
    if (buffer == nullptr || length == nullptr)
        return UDPSOCK_E_ERROR;
    if (!stamping_)
        stamping_ = SetInt(socket_, SOL_SOCKET, SO_TIMESTAMPNS, 1);
    sockaddr_in from{};
    iovec data{buffer, *length};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
    msghdr m{};
    m.msg_name = &from;
    m.msg_namelen = sizeof from;
    m.msg_iov = &data;
    m.msg_iovlen = 1;
    m.msg_control = control;
    m.msg_controllen = sizeof control;
    const ssize_t n = ::recvmsg(socket_, &m, MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return UDPSOCK_E_NOTHING;
    if (n < 0) {
        VAV_LOG(LOG_WARN, "UDP socket: receive failed: %s", std::strerror(errno));
        return UDPSOCK_E_ERROR;
    }
    for (cmsghdr* c = CMSG_FIRSTHDR(&m); c != nullptr; c = CMSG_NXTHDR(&m, c)) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_TIMESTAMPNS)
            continue;
        timespec arrived{}, now{};
        std::memcpy(&arrived, CMSG_DATA(c), sizeof arrived);
        clock_gettime(CLOCK_REALTIME, &now);
        const double age = static_cast<double>(now.tv_sec - arrived.tv_sec) +
                           (now.tv_nsec - arrived.tv_nsec) / 1e9;
        // A clock set meanwhile makes nonsense of the difference: then it is not known.
        if (age > 0 && age < 1)
            *waited = age;
    }
    if (address)
        *address = NetToHostLong(from.sin_addr.s_addr);
    if (port)
        *port = ntohs(from.sin_port);
    *length = static_cast<uint32_t>(n);
    return UDPSOCK_S_OK;
}

UdpStatus CUdpSocket::JoinGroup(uint32_t group) {
    if (socket_ == VAV_INVALID_SOCKET)
        return UDPSOCK_E_NO_SOCKET;
    if (!SocketJoinGroup(socket_, group)) {
        VAV_LOG(LOG_ERR, "UDP socket: joining group %08X failed: %s", group, std::strerror(errno));
        return UDPSOCK_E_JOIN;
    }
    in_addr local{HostToNetLong(GetLocalIpAddress())};
    if (!SocketSetOption(socket_, IPPROTO_IP, IP_MULTICAST_IF, &local, sizeof local)) {
        VAV_LOG(LOG_ERR, "UDP socket: IP_MULTICAST_IF failed: %s", std::strerror(errno));
        return UDPSOCK_E_MULTICAST_IF;
    }
    return UDPSOCK_S_OK;
}

UdpStatus CUdpSocket::LeaveGroup(uint32_t group) {
    if (socket_ == VAV_INVALID_SOCKET)
        return UDPSOCK_E_NO_SOCKET;
    if (!SocketLeaveGroup(socket_, group)) {
        VAV_LOG(LOG_WARN, "UDP socket: leaving group %08X failed: %s", group, std::strerror(errno));
        return UDPSOCK_E_JOIN;
    }
    return UDPSOCK_S_OK;
}

bool CUdpSocket::WaitReadable(int timeoutMs) {
    if (socket_ == VAV_INVALID_SOCKET) {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
        return false;
    }
    pollfd p{socket_, POLLIN, 0};
    return ::poll(&p, 1, timeoutMs) > 0 && (p.revents & POLLIN) != 0;
}

UdpStatus CUdpSocket::ReserveDatagrams(uint32_t datagrams) {
    if (socket_ == VAV_INVALID_SOCKET)
        return UDPSOCK_E_NO_SOCKET;
    // A small datagram costs up to about 2 KiB of kernel memory (its buffer's true size
    // on loopback and on common cards); the system doubles what is asked for its own
    // bookkeeping, which the 2 KiB per datagram leaves as margin.
    constexpr int kPerDatagram = 2048;
    const int bytes = static_cast<int>(std::min<uint32_t>(datagrams, 4096)) * kPerDatagram;
    if (bytes <= static_cast<int>(kMaxDatagram))
        return UDPSOCK_S_OK;
    // Past the system's limit for ordinary programs only with the privilege to force it.
    if (SetInt(socket_, SOL_SOCKET, SO_RCVBUFFORCE, bytes) ||
        SetInt(socket_, SOL_SOCKET, SO_RCVBUF, bytes))
        return UDPSOCK_S_OK;
    VAV_LOG(LOG_WARN, "UDP socket: receive buffer of %d bytes refused: %s", bytes,
            std::strerror(errno));
    return UDPSOCK_E_ERROR;
}
