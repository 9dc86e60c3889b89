#include "platform/VavSocket.h"

#include <arpa/inet.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>

#include "platform/NetAdapter.h"
#include "platform/SocketTable.h"

namespace {

bool IsWouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR || error == EINPROGRESS;
}

int SocketType(VavSocket socket) {
    int type = 0;
    socklen_t length = sizeof type;
    return getsockopt(socket, SOL_SOCKET, SO_TYPE, &type, &length) == 0 ? type : 0;
}

std::atomic<uint64_t> g_foreignDrops{0};

// Pins a datagram socket bound to the unspecified address to the selected card.
void PinToCard(VavSocket socket, uint32_t cardAddress) {
    in_addr local{htonl(cardAddress)};
    setsockopt(socket, IPPROTO_IP, IP_MULTICAST_IF, &local, sizeof local);
    int on = 1;
    setsockopt(socket, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
    SocketTableSetPinnedCard(socket, GetSelectedInterface(), cardAddress);
}

// Whether a received message came through the card or was addressed to it; true without
// the information, as there is nothing to filter by.
bool CameThroughCard(const msghdr& message, uint32_t card, uint32_t cardAddress) {
    bool fromCard = true;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr;
         c = CMSG_NXTHDR(const_cast<msghdr*>(&message), c)) {
        if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_PKTINFO)
            continue;
        in_pktinfo info{};
        std::memcpy(&info, CMSG_DATA(c), sizeof info);
        fromCard = static_cast<uint32_t>(info.ipi_ifindex) == card ||
                   (cardAddress != 0 && info.ipi_addr.s_addr == htonl(cardAddress));
    }
    return fromCard;
}

// One datagram on a pinned socket; *fromCard false when it arrived through another
// interface and was not addressed to the card (a datagram from this PC to the card's
// own address arrives through the loopback interface).
ssize_t ReceiveOnCard(VavSocket socket, void* buffer, size_t size, int flags, sockaddr* from,
                      socklen_t* fromLength, uint32_t card, uint32_t cardAddress, bool* fromCard) {
    iovec io{buffer, size};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo)) + 64] = {};
    msghdr message{};
    message.msg_name = from;
    message.msg_namelen = fromLength != nullptr ? *fromLength : 0;
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t n = ::recvmsg(socket, &message, flags);
    if (n < 0)
        return n;
    if (fromLength != nullptr)
        *fromLength = message.msg_namelen;
    *fromCard = CameThroughCard(message, card, cardAddress);
    return n;
}

bool IsLimitedBroadcast(const sockaddr* to, socklen_t length) {
    if (to == nullptr || length < static_cast<socklen_t>(sizeof(sockaddr_in)) ||
        to->sa_family != AF_INET)
        return false;
    return reinterpret_cast<const sockaddr_in*>(to)->sin_addr.s_addr == htonl(INADDR_BROADCAST);
}

// A limited broadcast through the given card, whatever the routes say.
ssize_t SendThroughCard(VavSocket socket, const void* data, size_t length, int flags,
                        const sockaddr* to, socklen_t toLength, uint32_t card) {
    iovec io{const_cast<void*>(data), length};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = const_cast<sockaddr*>(to);
    message.msg_namelen = toLength;
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&message);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_ifindex = static_cast<int>(card);
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
    return ::sendmsg(socket, &message, flags);
}

}  // namespace

bool SocketStartup() {
    return true;
}

void SocketCleanup() {}

VavSocket SocketOpen(int family, int type, int protocol) {
    VavSocket s = ::socket(family, type | SOCK_CLOEXEC, protocol);
    if (s < 0)
        return VAV_INVALID_SOCKET;
    if (family == AF_INET && type == SOCK_DGRAM) {
        int off = 0;
        setsockopt(s, IPPROTO_IP, IP_MULTICAST_ALL, &off, sizeof off);
    }
    SocketTableAdd(s);
    return s;
}

bool SocketClose(VavSocket socket) {
    SocketTableRemove(socket);
    return ::close(socket) == 0;
}

bool SocketBind(VavSocket socket, const sockaddr* address, socklen_t length) {
    if (address == nullptr || address->sa_family != AF_INET ||
        length < static_cast<socklen_t>(sizeof(sockaddr_in)))
        return ::bind(socket, address, length) == 0;
    sockaddr_in copy;
    std::memcpy(&copy, address, sizeof copy);
    if (copy.sin_addr.s_addr != htonl(INADDR_ANY))
        return ::bind(socket, reinterpret_cast<sockaddr*>(&copy), sizeof copy) == 0;

    const uint32_t card = GetLocalIpAddress();
    const bool datagram = SocketType(socket) == SOCK_DGRAM;
    if (card != 0 && !datagram)
        copy.sin_addr.s_addr = htonl(card);
    if (::bind(socket, reinterpret_cast<sockaddr*>(&copy), sizeof copy) != 0)
        return false;
    if (card != 0 && datagram)
        PinToCard(socket, card);
    return true;
}

bool SocketSetOption(VavSocket socket, int level, int option, const void* value, socklen_t length) {
    return setsockopt(socket, level, option, value, length) == 0;
}

int SocketSendTo(VavSocket socket, const void* data, size_t length, int flags, const sockaddr* to,
                 socklen_t toLength, size_t* sent) {
    flags |= MSG_NOSIGNAL;
    uint32_t card = IsLimitedBroadcast(to, toLength) ? SocketTableGetPinnedCard(socket) : 0;
    ssize_t n = card != 0 ? SendThroughCard(socket, data, length, flags, to, toLength, card)
                          : ::sendto(socket, data, length, flags, to, toLength);
    if (n >= 0) {
        if (sent != nullptr)
            *sent = static_cast<size_t>(n);
        return VAV_SOCK_OK;
    }
    if (IsWouldBlock(errno)) {
        SocketTableSetReadyToSend(socket, false);
        return VAV_SOCK_WOULD_BLOCK;
    }
    return VAV_SOCK_SEND_ERROR;
}

uint64_t SocketForeignDrops() {
    return g_foreignDrops.load();
}

int SocketRecvFrom(VavSocket socket, void* buffer, size_t size, int flags, sockaddr* from,
                   socklen_t* fromLength, size_t* received) {
    uint32_t cardAddress = 0;
    const uint32_t card = SocketTableGetPinnedCard(socket, &cardAddress);
    ssize_t n;
    if (card == 0) {
        n = ::recvfrom(socket, buffer, size, flags, from, fromLength);
    } else {
        const socklen_t room = fromLength != nullptr ? *fromLength : 0;
        bool fromCard = false;
        // After a dropped datagram the next one is only taken when it is already there:
        // the caller asked for one datagram, and may have polled for it.
        int f = flags;
        for (;;) {
            if (fromLength != nullptr)
                *fromLength = room;
            n = ReceiveOnCard(socket, buffer, size, f, from, fromLength, card, cardAddress,
                              &fromCard);
            if (n < 0 || fromCard)
                break;
            g_foreignDrops.fetch_add(1);
            f = flags | MSG_DONTWAIT;
        }
    }
    if (n >= 0) {
        if (received != nullptr)
            *received = static_cast<size_t>(n);
        return VAV_SOCK_OK;
    }
    return IsWouldBlock(errno) ? VAV_SOCK_WOULD_BLOCK : VAV_SOCK_RECV_ERROR;
}

bool SocketMessageFromCard(VavSocket socket, const msghdr& message) {
    uint32_t cardAddress = 0;
    const uint32_t card = SocketTableGetPinnedCard(socket, &cardAddress);
    if (card == 0 || CameThroughCard(message, card, cardAddress))
        return true;
    g_foreignDrops.fetch_add(1);
    return false;
}

namespace {
bool Membership(VavSocket socket, uint32_t group, int option) {
    ip_mreq request{};
    request.imr_multiaddr.s_addr = htonl(group);
    request.imr_interface.s_addr = htonl(GetLocalIpAddress());
    return setsockopt(socket, IPPROTO_IP, option, &request, sizeof request) == 0;
}
}  // namespace

bool SocketJoinGroup(VavSocket socket, uint32_t group) {
    return Membership(socket, group, IP_ADD_MEMBERSHIP);
}

bool SocketLeaveGroup(VavSocket socket, uint32_t group) {
    return Membership(socket, group, IP_DROP_MEMBERSHIP);
}

int SocketPoll(const VavPollList& list, VavPollList& result, int ms) {
    result.clear();
    // One pollfd per socket, asking for everything any of its entries asks for.
    std::vector<pollfd> fds;
    std::map<VavSocket, size_t> slot;
    for (const VavPollEntry& e : list) {
        auto [it, added] = slot.emplace(e.socket, fds.size());
        if (added)
            fds.push_back(pollfd{e.socket, 0, 0});
        pollfd& p = fds[it->second];
        if (e.flags & VAV_POLL_READ)
            p.events |= POLLIN;
        if (e.flags & VAV_POLL_WRITE)
            p.events |= POLLOUT;
        if (e.flags & VAV_POLL_EXCEPT)
            p.events |= POLLPRI;
    }
    if (::poll(fds.data(), fds.size(), ms < 0 ? -1 : ms) <= 0)
        return 0;
    for (const VavPollEntry& e : list) {
        const short r = fds[slot[e.socket]].revents;
        uint32_t ready = 0;
        // As select reports them: end of stream and errors make a socket readable,
        // errors also writable; errors and urgent data are the exception condition.
        if ((e.flags & VAV_POLL_READ) && (r & (POLLIN | POLLHUP | POLLERR)))
            ready |= VAV_POLL_READ;
        if ((e.flags & VAV_POLL_WRITE) && (r & (POLLOUT | POLLERR)))
            ready |= VAV_POLL_WRITE;
        if ((e.flags & VAV_POLL_EXCEPT) && (r & (POLLPRI | POLLERR)))
            ready |= VAV_POLL_EXCEPT;
        if (ready != 0)
            result.push_back(VavPollEntry{e.socket, ready});
    }
    return static_cast<int>(result.size());
}

uint32_t TextToIpAddress(const char* text) {
    return text != nullptr ? inet_addr(text) : INADDR_NONE;
}
uint32_t HostToNetLong(uint32_t value) {
    return htonl(value);
}
uint32_t NetToHostLong(uint32_t value) {
    return ntohl(value);
}
uint16_t HostToNetShort(uint16_t value) {
    return htons(value);
}
