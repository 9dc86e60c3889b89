#include "platform/CUdpSocket.h"

#include <arpa/inet.h>
#include <poll.h>

#include <sys/socket.h>
#include <time.h>
#include <algorithm>
#include <array>

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

// How long the datagram of a received message waited in the system before `now`, from the
// arrival stamp the system attached; 0 where there is none, or where a clock set meanwhile
// makes nonsense of the difference.
double WaitedUntil(const msghdr& m, const timespec& now) {
    for (cmsghdr* c = CMSG_FIRSTHDR(&m); c != nullptr;
         c = CMSG_NXTHDR(const_cast<msghdr*>(&m), c)) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_TIMESTAMPNS)
            continue;
        timespec arrived{};
        std::memcpy(&arrived, CMSG_DATA(c), sizeof arrived);
        const double age = static_cast<double>(now.tv_sec - arrived.tv_sec) +
                           (now.tv_nsec - arrived.tv_nsec) / 1e9;
        return age > 0 && age < 1 ? age : 0;
    }
    return 0;
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
    waitLimitMs_ = 0;
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
    const int r = SocketSendTo(socket_, data, length, MSG_DONTWAIT,
                               reinterpret_cast<sockaddr*>(&to), sizeof to, &sent);
    if (r != VAV_SOCK_OK || sent != length) {
        VAV_LOG(LOG_WARN, "UDP socket: send of %u bytes to %u.%u.%u.%u:%u failed (%d): %s", length,
                address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF, address & 0xFF,
                ntohs(to.sin_port), r, std::strerror(errno));
        return UDPSOCK_E_NO_SOCKET;
    }
    return UDPSOCK_S_OK;
}

UdpStatus CUdpSocket::SendMany(std::span<const UdpOutgoing> batch) {
    if (socket_ == VAV_INVALID_SOCKET)
        return UDPSOCK_E_NO_SOCKET;
    // A limited broadcast leaves through the card, and a bad datagram is refused, by SendTo's
    // own path; runs of the others go with one system call.
    auto plain = [](const UdpOutgoing& d) {
        return d.address != 0xFFFFFFFFu && d.data != nullptr && d.length <= kMaxDatagram;
    };
    constexpr size_t kMost = 64;
    UdpStatus result = UDPSOCK_S_OK;
    auto note = [&](UdpStatus s) {
        if (UdpFailed(s) && !UdpFailed(result))
            result = s;
    };
    for (size_t done = 0; done < batch.size();) {
        if (!plain(batch[done])) {
            note(SendTo(batch[done].address, batch[done].data, batch[done].length,
                        batch[done].port));
            ++done;
            continue;
        }
        std::array<sockaddr_in, kMost> to;
        std::array<iovec, kMost> data;
        std::array<mmsghdr, kMost> messages{};
        size_t n = 0;
        for (; n < kMost && done + n < batch.size() && plain(batch[done + n]); ++n) {
            const UdpOutgoing& d = batch[done + n];
            to[n] = Ipv4(d.address, d.port != 0 ? d.port : port_);
            data[n] = {const_cast<uint8_t*>(d.data), d.length};
            msghdr& m = messages[n].msg_hdr;
            m.msg_name = &to[n];
            m.msg_namelen = sizeof to[n];
            m.msg_iov = &data[n];
            m.msg_iovlen = 1;
        }
        const int sent = ::sendmmsg(socket_, messages.data(), static_cast<unsigned>(n),
                                    MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            done += static_cast<size_t>(sent);
            continue;
        }
        const uint32_t address = batch[done].address;
        VAV_LOG(LOG_WARN, "UDP socket: send of %u bytes to %u.%u.%u.%u:%u failed: %s",
                batch[done].length, address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF,
                address & 0xFF, ntohs(to[0].sin_port), std::strerror(errno));
        note(UDPSOCK_E_NO_SOCKET);
        ++done;  // the one that failed; the rest are tried
    }
    return result;
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
    const int r = SocketRecvFrom(socket_, buffer, *length, MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&from), &fromLength, &received);
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
    if (buffer == nullptr || length == nullptr)
        return UDPSOCK_E_ERROR;
    UdpDatagram one{buffer, *length};
    size_t taken = 0;
    const UdpStatus s = ReceiveStampedMany(std::span(&one, 1), &taken);
    if (UdpFailed(s))
        return s;
    if (taken == 0)
        return UDPSOCK_E_NOTHING;  // only datagrams from another card were waiting
    if (address)
        *address = one.address;
    if (port)
        *port = one.port;
    *length = one.length;
    *waited = one.waited;
    return UDPSOCK_S_OK;
}

UdpStatus CUdpSocket::ReceiveStampedMany(std::span<UdpDatagram> batch, size_t* count) {
    return ReceiveBatch(batch, count, MSG_DONTWAIT);
}

UdpStatus CUdpSocket::ReceiveWaiting(std::span<UdpDatagram> batch, size_t* count, int timeoutMs,
                                     std::span<const int> wake) {
    *count = 0;
    if (socket_ == VAV_INVALID_SOCKET || timeoutMs <= 0)
        return UdpEndpoint::ReceiveWaiting(batch, count, timeoutMs, {});
    if (wake.empty()) {
        if (!SetWaitLimit(timeoutMs))
            return UdpEndpoint::ReceiveWaiting(batch, count, timeoutMs, {});
        // Blocks for the first datagram only, then takes what else is there.
        return ReceiveBatch(batch, count, MSG_WAITFORONE);
    }
    constexpr size_t kMostWake = 7;
    std::array<pollfd, kMostWake + 1> watched{};
    watched[0] = {socket_, POLLIN, 0};
    const size_t n = std::min(wake.size(), kMostWake);
    for (size_t i = 0; i < n; ++i) watched[i + 1] = {wake[i], POLLIN, 0};
    if (::poll(watched.data(), n + 1, timeoutMs) <= 0 || (watched[0].revents & POLLIN) == 0)
        return UDPSOCK_E_NOTHING;
    return ReceiveBatch(batch, count, MSG_DONTWAIT);
}

bool CUdpSocket::SetWaitLimit(int ms) {
    // A time-out up to twice too short only wakes the caller early; a shorter wait goes
    // down in powers of two, so a caller whose deadline draws nearer seldom changes it.
    int limit = waitLimitMs_;
    if (limit == 0 || ms >= 2 * limit) {
        limit = ms;
    } else if (ms < limit) {
        limit = 1;
        while (limit <= ms / 2) limit *= 2;
    }
    if (limit == waitLimitMs_)
        return true;
    const timeval t{limit / 1000, (limit % 1000) * 1000};
    if (!SocketSetOption(socket_, SOL_SOCKET, SO_RCVTIMEO, &t, sizeof t))
        return false;
    waitLimitMs_ = limit;
    return true;
}

UdpStatus CUdpSocket::ReceiveBatch(std::span<UdpDatagram> batch, size_t* count, int flags) {
    *count = 0;
    if (socket_ == VAV_INVALID_SOCKET)
        return UDPSOCK_E_NO_SOCKET;
    if (!stamping_)
        stamping_ = SetInt(socket_, SOL_SOCKET, SO_TIMESTAMPNS, 1);
    constexpr size_t kMost = 64;
    const size_t wanted = std::min(batch.size(), kMost);
    if (wanted == 0)
        return UDPSOCK_S_OK;
    // Room for the arrival stamp and for the interface the datagram came through.
    struct Control {
        alignas(cmsghdr) char bytes[CMSG_SPACE(sizeof(timespec)) + kSocketCardControlSpace];
    };
    std::array<sockaddr_in, kMost> from{};
    std::array<iovec, kMost> data{};
    std::array<Control, kMost> control;
    std::array<mmsghdr, kMost> messages{};
    for (size_t i = 0; i < wanted; ++i) {
        data[i] = {batch[i].buffer, batch[i].capacity};
        msghdr& m = messages[i].msg_hdr;
        m.msg_name = &from[i];
        m.msg_namelen = sizeof from[i];
        m.msg_iov = &data[i];
        m.msg_iovlen = 1;
        m.msg_control = control[i].bytes;
        m.msg_controllen = sizeof control[i].bytes;
    }
    const int n =
        ::recvmmsg(socket_, messages.data(), static_cast<unsigned>(wanted), flags, nullptr);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return UDPSOCK_E_NOTHING;
    if (n < 0) {
        VAV_LOG(LOG_WARN, "UDP socket: receive failed: %s", std::strerror(errno));
        return UDPSOCK_E_ERROR;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    size_t kept = 0;
    for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
        const msghdr& m = messages[i].msg_hdr;
        if (!SocketMessageFromCard(socket_, m))
            continue;  // a pinned socket serves its card only
        UdpDatagram& d = batch[kept];
        if (kept != i)
            std::memcpy(d.buffer, batch[i].buffer, std::min(messages[i].msg_len, d.capacity));
        d.waited = WaitedUntil(m, now);
        d.address = NetToHostLong(from[i].sin_addr.s_addr);
        d.port = ntohs(from[i].sin_port);
        d.length = std::min(messages[i].msg_len, d.capacity);
        ++kept;
    }
    *count = kept;
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
