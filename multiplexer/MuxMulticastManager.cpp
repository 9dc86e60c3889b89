#include "multiplexer/MuxMulticastManager.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <vector>

#include "platform/XPortHeader.h"

namespace mux {
namespace {

constexpr int kReceiveBufferBytes = 256 * 1024;
constexpr int kSendBufferBytes = 64 * 1024;
constexpr int kTimeToLive = 8;
constexpr std::uint32_t kMinDatagram =
    XPORT_HEADER_LENGTH;  // a datagram without a whole header is no packet

}  // namespace

MuxMulticastManager::MuxMulticastManager(MuxClientTable& clients, std::uint32_t localAddress,
                                         bool wire)
    : clients_(clients), localAddress_(localAddress), wire_(wire) {}

MuxMulticastManager::~MuxMulticastManager() {
    Stop();
    if (wake_ >= 0)
        close(wake_);
}

bool MuxMulticastManager::Start() {
    if (!wire_ || running_)
        return true;
    wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake_ < 0)
        return false;
    running_ = true;
    try {
        receiveThread_ = std::thread([this] { ReceiveLoop(); });
    } catch (const std::system_error&) {
        running_ = false;
        return false;
    }
    return true;
}

void MuxMulticastManager::Stop() {
    running_ = false;
    Wake();
    if (receiveThread_.joinable())
        receiveThread_.join();
    std::unique_lock lock(lock_);
    for (Record& r : records_) FreeLocked(r);
}

void MuxMulticastManager::Wake() {
    if (wake_ < 0)
        return;
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(wake_, &one, sizeof one);
}

MuxMulticastManager::Record* MuxMulticastManager::FindLocked(std::uint32_t group,
                                                             std::uint16_t port) {
    for (Record& r : records_) {
        if (r.used && r.group == group && r.port == port)
            return &r;
    }
    return nullptr;
}

void MuxMulticastManager::FreeLocked(Record& r) {
    if (r.used && r.socket.Valid())
        SocketLeaveGroup(r.socket.Fd(), r.group);
    r = Record{};
}

// Bound to the port with the unspecified address, which the platform's bind turns into
// the selected card; the membership is made on the card too.
MuxStatus MuxMulticastManager::OpenSocket(Record& r, std::uint32_t group, std::uint16_t port) {
    MuxSocket s = MuxSocket::Open(SOCK_DGRAM);
    if (!s.Valid())
        return MUX_E_MC_SUBSCRIBE;
    if (!s.SetInt(SOL_SOCKET, SO_REUSEADDR, 1) ||
        !s.SetInt(SOL_SOCKET, SO_RCVBUF, kReceiveBufferBytes) ||
        !s.SetInt(SOL_SOCKET, SO_SNDBUF, kSendBufferBytes))
        return MUX_E_MC_SOCKOPT;
    sockaddr_in a = SocketAddress(0, port);
    if (!SocketBind(s.Fd(), reinterpret_cast<sockaddr*>(&a), sizeof a))
        return MUX_E_MC_BIND;
    int on = 1;
    if (!SocketIoctl(s.Fd(), FIONBIO, &on))
        return MUX_E_MC_SOCKOPT;
    if (!SocketJoinGroup(s.Fd(), group))
        return MUX_E_MC_JOIN;
    in_addr out{htonl(localAddress_)};
    if (!s.SetInt(IPPROTO_IP, IP_MULTICAST_ALL, 0) ||
        !s.SetInt(IPPROTO_IP, IP_MULTICAST_TTL, kTimeToLive) ||
        setsockopt(s.Fd(), IPPROTO_IP, IP_MULTICAST_IF, &out, sizeof out) != 0 ||
        !s.SetInt(SOL_SOCKET, SO_BROADCAST, 1))
        return MUX_E_MC_SOCKOPT;
    r.socket = std::move(s);
    return MUX_S_OK;
}

MuxStatus MuxMulticastManager::Subscribe(std::uint8_t id, std::uint32_t group, std::uint16_t port) {
    std::unique_lock lock(lock_);
    if (Record* r = FindLocked(group, port)) {
        ++r->ids[id];
        return MUX_S_OK;
    }
    for (Record& r : records_) {
        if (r.used)
            continue;
        if (wire_) {
            MuxStatus s = OpenSocket(r, group, port);
            if (MuxFailed(s))
                return s;
        }
        r.used = true;
        r.group = group;
        r.port = port;
        r.ids[id] = 1;
        Wake();
        return MUX_S_OK;
    }
    return MUX_E_MC_TABLE_FULL;
}

MuxStatus MuxMulticastManager::Unsubscribe(std::uint8_t id, std::uint32_t group,
                                           std::uint16_t port) {
    std::unique_lock lock(lock_);
    Record* r = FindLocked(group, port);
    if (r == nullptr)
        return MUX_E_MC_UNSUBSCRIBE;
    auto it = r->ids.find(id);
    if (it == r->ids.end())
        return MUX_E_MC_UNSUBSCRIBE;
    if (--it->second == 0)
        r->ids.erase(it);
    if (r->ids.empty()) {
        FreeLocked(*r);
        Wake();
    }
    return MUX_S_OK;
}

void MuxMulticastManager::ReleaseClient(std::uint8_t id) {
    std::unique_lock lock(lock_);
    for (Record& r : records_) {
        if (r.used && r.ids.erase(id) > 0 && r.ids.empty())
            FreeLocked(r);
    }
    Wake();
}

MuxStatus MuxMulticastManager::Send(std::uint8_t, std::uint32_t group, std::uint16_t port,
                                    std::span<const std::uint8_t> datagram, bool wire) {
    std::shared_lock lock(lock_);
    Record* r = FindLocked(group, port);
    if (r != nullptr) {
        for (const auto& [subscriber, count] : r->ids) {
            MuxEntry e = MakeMulticastEntry({localAddress_, port, group, port, false}, datagram);
            clients_.Push(subscriber, MuxKind::Multicast, std::move(e));
        }
    }
    if (!wire || !wire_)
        return MUX_S_OK;
    if (r == nullptr)
        return MUX_E_MC_SEND_NO_RECORD;
    pollfd p{r->socket.Fd(), POLLOUT, 0};
    if (poll(&p, 1, 0) != 1 || !(p.revents & POLLOUT))
        return MUX_E_MC_SEND;
    sockaddr_in to = SocketAddress(group, port);
    ssize_t n = sendto(r->socket.Fd(), datagram.data(), datagram.size(), MSG_NOSIGNAL,
                       reinterpret_cast<sockaddr*>(&to), sizeof to);
    return n == static_cast<ssize_t>(datagram.size()) ? MUX_S_OK : MUX_E_MC_SEND;
}

int MuxMulticastManager::RecordCount() const {
    std::shared_lock lock(lock_);
    int n = 0;
    for (const Record& r : records_) n += r.used ? 1 : 0;
    return n;
}

bool MuxMulticastManager::ReceiveOne(int fd, std::span<std::uint8_t> buffer) {
    sockaddr_in from{};
    socklen_t len = sizeof from;
    // MSG_TRUNC gives the datagram's real size, so an oversized one is seen and dropped.
    ssize_t n = recvfrom(fd, buffer.data(), buffer.size(), MSG_TRUNC,
                         reinterpret_cast<sockaddr*>(&from), &len);
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    auto size = static_cast<std::uint32_t>(n);
    std::uint32_t source = ntohl(from.sin_addr.s_addr);
    // Our own datagrams come back through the loop: they were delivered locally already.
    if (source == localAddress_)
        return true;
    if (size > kMuxMaxDatagram) {
        clients_.CountDrop(MuxDrop::DatagramTooLarge);
        return true;
    }
    if (size < kMinDatagram) {
        clients_.CountDrop(MuxDrop::DatagramTooShort);
        return true;
    }
    if (XPortHdrGetVersionMajor(buffer.data()) != XPORT_VERSION_MAJOR) {
        clients_.CountDrop(MuxDrop::OtherVersion);
        return true;
    }
    std::shared_lock lock(lock_);
    for (Record& r : records_) {
        if (!r.used || r.socket.Fd() != fd)
            continue;
        MuxMulticastOrigin origin{source, ntohs(from.sin_port), r.group, r.port, true};
        for (const auto& [subscriber, count] : r.ids) {
            clients_.Push(subscriber, MuxKind::Multicast,
                          MakeMulticastEntry(origin, buffer.first(size)));
        }
    }
    return true;
}

}  // namespace mux
