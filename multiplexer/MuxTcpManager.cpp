#include "multiplexer/MuxTcpManager.h"

#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "os/Clock.h"

namespace mux {
namespace {

constexpr int kBacklog = 20;

bool IsNetworkPoint(std::uint32_t h) {
    return h >= MuxTcpManager::kPointBase &&
           h < MuxTcpManager::kPointBase + MuxTcpManager::kEntries;
}
bool IsConnection(std::uint32_t h) {
    return (h & ~0x3Fu) == MuxTcpManager::kConnectionBase;
}

// TCP no-delay, keep-alive, non-blocking, linger off: on every TCP socket Travex opens.
bool SetConnectionOptions(MuxSocket& s) {
    int on = 1;
    linger off{0, 0};
    return s.SetInt(IPPROTO_TCP, TCP_NODELAY, 1) && s.SetInt(SOL_SOCKET, SO_KEEPALIVE, 1) &&
           SocketIoctl(s.Fd(), FIONBIO, &on) &&
           setsockopt(s.Fd(), SOL_SOCKET, SO_LINGER, &off, sizeof off) == 0;
}

std::uint16_t BoundPort(int fd, std::uint32_t* address = nullptr) {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    if (!SocketGetName(fd, reinterpret_cast<sockaddr*>(&a), &len))
        return 0;
    if (address)
        *address = ntohl(a.sin_addr.s_addr);
    return ntohs(a.sin_port);
}

}  // namespace

MuxTcpManager::MuxTcpManager(MuxClientTable& clients, std::uint32_t localAddress, bool wire)
    : clients_(clients), localAddress_(localAddress), wire_(wire) {}

MuxTcpManager::~MuxTcpManager() {
    Stop();
    for (int fd : {wakeAccept_, wakeReceive_}) {
        if (fd >= 0)
            close(fd);
    }
}

bool MuxTcpManager::Start() {
    if (!wire_ || running_)
        return true;
    wakeAccept_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    wakeReceive_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeAccept_ < 0 || wakeReceive_ < 0)
        return false;
    running_ = true;
    try {
        acceptThread_ = std::thread([this] { AcceptLoop(); });
        receiveThread_ = std::thread([this] { ReceiveLoop(); });
    } catch (const std::system_error&) {
        Stop();
        return false;
    }
    return true;
}

void MuxTcpManager::Stop() {
    running_ = false;
    Wake(wakeAccept_);
    Wake(wakeReceive_);
    if (acceptThread_.joinable())
        acceptThread_.join();
    if (receiveThread_.joinable())
        receiveThread_.join();
    std::array<ConnectionPtr, kEntries> connections;
    std::array<std::unique_ptr<Point>, kEntries> points;
    {
        std::unique_lock lock(connectionLock_);
        connections.swap(connections_);
    }
    {
        std::unique_lock lock(pointLock_);
        points.swap(points_);
    }
}  // each connection closes gracefully as it is destroyed here

void MuxTcpManager::Wake(int fd) {
    if (fd < 0)
        return;
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(fd, &one, sizeof one);
}

bool MuxTcpManager::HasPointOn(std::uint16_t port) const {
    {
        std::lock_guard lock(localLock_);
        if (local_.HasPoint(port))
            return true;
    }
    std::shared_lock lock(pointLock_);
    for (const auto& p : points_) {
        if (p && p->port == port)
            return true;
    }
    return false;
}

MuxStatus MuxTcpManager::AllocatePoint(std::uint8_t id, std::uint16_t port, bool wire,
                                       std::uint32_t* handle) {
    if (wire && wire_)
        return AllocateNetworkPoint(id, port, handle);
    std::lock_guard lock(localLock_);
    std::uint32_t h = local_.AllocatePoint(id, port);
    if (h == 0)
        return MUX_E_TCP_POINT;
    *handle = h;
    return 0;
}

MuxStatus MuxTcpManager::AllocateNetworkPoint(std::uint8_t id, std::uint16_t port,
                                              std::uint32_t* handle) {
    std::unique_lock lock(pointLock_);
    int free = -1;
    for (int i = 0; i < kEntries; ++i) {
        Point* p = points_[i].get();
        if (p && port != 0 && p->port == port) {
            bool mine = !p->holders.insert(id).second;
            *handle = kPointBase + static_cast<std::uint32_t>(i);
            return mine ? 0 : MUX_E_PORT_IN_USE;
        }
        if (!p && free < 0)
            free = i;
    }
    if (free < 0)
        return MUX_E_TCP_POINT;
    MuxSocket s = MuxSocket::Open(SOCK_STREAM);
    int on = 1;
    // Port 0 is bound as it stands: the system picks a free port, read back below.
    sockaddr_in a = SocketAddress(localAddress_, port);
    if (!s.Valid() || !s.SetInt(SOL_SOCKET, SO_REUSEADDR, 1) ||
        bind(s.Fd(), reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        !SocketListen(s.Fd(), kBacklog) || !SocketIoctl(s.Fd(), FIONBIO, &on))
        return MUX_E_TCP_POINT;
    std::uint16_t bound = BoundPort(s.Fd());
    if (bound == 0)
        return MUX_E_TCP_POINT;
    points_[free] = std::make_unique<Point>(Point{std::move(s), bound, {id}});
    *handle = kPointBase + static_cast<std::uint32_t>(free);
    Wake(wakeAccept_);
    return 0;
}

MuxStatus MuxTcpManager::Deallocate(std::uint8_t id, std::uint32_t handle) {
    if (MuxLocalTcp::IsPoint(handle) || MuxLocalTcp::IsPair(handle)) {
        std::lock_guard lock(localLock_);
        if (MuxLocalTcp::IsPair(handle))
            PublishPair(handle, false);
        bool done = MuxLocalTcp::IsPoint(handle) ? local_.DeallocatePoint(id, handle)
                                                 : local_.ClosePair(handle);
        return done ? MUX_S_OK : MUX_E_TCP_CLOSE;
    }
    if (IsNetworkPoint(handle)) {
        std::unique_ptr<Point> gone;
        std::unique_lock lock(pointLock_);
        auto& p = points_[handle - kPointBase];
        if (!p || p->holders.erase(id) == 0)
            return MUX_E_TCP_CLOSE;
        if (p->holders.empty())
            gone = std::move(p);
        Wake(wakeAccept_);
        return MUX_S_OK;
    }
    if (IsConnection(handle) && FindConnection(handle)) {
        CloseConnection(handle);
        return MUX_S_OK;
    }
    return MUX_E_TCP_CLOSE;
}

MuxStatus MuxTcpManager::GetPort(std::uint8_t, std::uint32_t handle, std::uint16_t* port) {
    if (MuxLocalTcp::IsPoint(handle)) {
        std::lock_guard lock(localLock_);
        auto p = local_.PointPort(handle);
        if (!p)
            return MUX_E_TCP_GETPORT;
        *port = *p;
        return 0;
    }
    if (!IsNetworkPoint(handle))
        return MUX_E_TCP_GETPORT;
    std::shared_lock lock(pointLock_);
    const auto& p = points_[handle - kPointBase];
    if (!p)
        return MUX_E_TCP_GETPORT;
    *port = p->port;
    return 0;
}

MuxStatus MuxTcpManager::Open(std::uint8_t src, std::uint32_t address, std::uint16_t port,
                              std::uint8_t dst, std::uint32_t timeoutMs, bool wire,
                              std::uint32_t* handle) {
    if (!wire || !wire_ || address == localAddress_)
        return OpenLocalPair(src, port, dst, handle);
    return OpenNetwork(src, address, port, timeoutMs, handle);
}

MuxStatus MuxTcpManager::OpenLocalPair(std::uint8_t src, std::uint16_t port, std::uint8_t dst,
                                       std::uint32_t* handle) {
    if (!HasPointOn(port))
        return MUX_E_UNKNOWN_APPID;
    std::lock_guard lock(localLock_);
    std::uint32_t h = local_.OpenPair(port, src, dst);
    if (h == 0)
        return MUX_E_UNKNOWN_APPID;
    PublishPair(h, true);
    *handle = h;
    return 0;
}

MuxStatus MuxTcpManager::OpenNetwork(std::uint8_t src, std::uint32_t address, std::uint16_t port,
                                     std::uint32_t timeoutMs, std::uint32_t* handle) {
    MuxSocket s = MuxSocket::Open(SOCK_STREAM);
    if (!s.Valid())
        return MUX_E_TCP_GETPORT;
    sockaddr_in local = SocketAddress(localAddress_, 0);
    sockaddr_in remote = SocketAddress(address, port);
    if (!SetConnectionOptions(s) ||
        bind(s.Fd(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
        return MUX_E_TCP_OPEN;
    int r = SocketConnect(s.Fd(), reinterpret_cast<sockaddr*>(&remote), sizeof remote);
    if (r == 1) {
        pollfd p{s.Fd(), POLLOUT, 0};
        int wait = timeoutMs > 0x7FFFFFFF ? -1 : static_cast<int>(timeoutMs);
        int error = 0;
        socklen_t len = sizeof error;
        if (poll(&p, 1, wait) == 1 && getsockopt(s.Fd(), SOL_SOCKET, SO_ERROR, &error, &len) == 0 &&
            error == 0)
            r = 0;
    }
    if (r != 0)
        return MUX_E_TCP_OPEN;
    MuxTcpEndpoints ends{address, port, 0, 0};
    ends.localPort = BoundPort(s.Fd(), &ends.localAddress);
    std::uint32_t h = AddConnection(std::move(s), ends, src);
    if (h == 0)
        return MUX_E_TCP_OPEN;
    *handle = h;
    return 0;
}

std::uint32_t MuxTcpManager::AddConnection(MuxSocket socket, const MuxTcpEndpoints& endpoints,
                                           std::uint8_t opener) {
    std::unique_lock lock(connectionLock_);
    for (int n = 0; n < kEntries; ++n) {
        const int i = (nextConnection_ + n) % kEntries;
        if (connections_[i])
            continue;
        nextConnection_ = (i + 1) % kEntries;
        std::uint32_t h = kConnectionBase | static_cast<std::uint32_t>(i);
        connections_[i] =
            std::make_shared<MuxTcpConnection>(std::move(socket), h, endpoints, opener);
        Wake(wakeReceive_);
        return h;
    }
    return 0;
}

MuxTcpManager::ConnectionPtr MuxTcpManager::FindConnection(std::uint32_t handle) const {
    if (!IsConnection(handle))
        return nullptr;
    std::shared_lock lock(connectionLock_);
    return connections_[handle - kConnectionBase];
}

void MuxTcpManager::CloseConnection(std::uint32_t handle) {
    ConnectionPtr gone;  // closed gracefully outside the lock
    {
        std::unique_lock lock(connectionLock_);
        gone = std::move(connections_[handle - kConnectionBase]);
    }
    Wake(wakeReceive_);
}

void MuxTcpManager::CloseIf(const ConnectionPtr& connection) {
    ConnectionPtr gone;
    {
        std::unique_lock lock(connectionLock_);
        auto& slot = connections_[connection->Handle() - kConnectionBase];
        if (slot == connection)
            gone = std::move(slot);
    }
    Wake(wakeReceive_);
}

std::vector<MuxTcpManager::ConnectionPtr> MuxTcpManager::Connections() const {
    std::shared_lock lock(connectionLock_);
    std::vector<ConnectionPtr> out;
    for (const auto& c : connections_) {
        if (c)
            out.push_back(c);
    }
    return out;
}

MuxStatus MuxTcpManager::Send(std::uint32_t handle, std::uint32_t timeoutMs,
                              std::span<const std::uint8_t> data) {
    if (MuxLocalTcp::IsPair(handle))
        return SendLocal(handle, timeoutMs, data);
    ConnectionPtr c = FindConnection(handle);
    if (!c)
        return MUX_E_TCP_GETPORT;
    MuxStatus status = c->Send(data, timeoutMs);
    // A send that failed part-way leaves the stream out of step: it cannot go on.
    if (MuxFailed(status))
        CloseConnection(handle);
    return status;
}

std::optional<MuxStatus> MuxTcpManager::PushLocal(std::uint32_t handle,
                                                  std::span<const std::uint8_t> data) {
    std::optional<MuxLocalTcp::Pair> pair;
    {
        std::lock_guard lock(localLock_);
        pair = local_.ActivePair(handle);
    }
    // Inside the PC a send is one whole message, no larger than any framed one.
    if (!pair || data.size() < kXPortHeaderSize || data.size() > kMuxMaxTcpMessage)
        return MUX_E_TCP_CONNECT;
    const std::uint8_t dst = XPortHdrGetDstApp(data.data());
    if (!clients_.Known(dst))
        return MUX_E_TCP_CONNECT;
    MuxEntry entry =
        MakeTcpEntry({localAddress_, pair->port, localAddress_, pair->port, handle ^ 1u}, data);
    if (clients_.Push(dst, MuxKind::Tcp, std::move(entry), false))
        return MUX_S_OK;
    return std::nullopt;
}

MuxStatus MuxTcpManager::SendLocal(std::uint32_t handle, std::uint32_t timeoutMs,
                                   std::span<const std::uint8_t> data) {
    const std::uint32_t start = os::TickCount();
    for (;;) {
        if (auto done = PushLocal(handle, data))
            return *done;
        if (timeoutMs != 0 && os::TickCount() - start >= timeoutMs)
            return MUX_E_TCP_CONNECT_FULL;
        clients_.WaitProcessed(MuxKind::Tcp, 5);
    }
}

std::optional<MuxStatus> MuxTcpManager::TrySend(std::uint32_t handle,
                                                std::span<const std::uint8_t> data) {
    if (!MuxLocalTcp::IsPair(handle))
        return std::nullopt;
    return PushLocal(handle, data);
}

void MuxTcpManager::PublishPair(std::uint32_t handle, bool active) {
    auto pair = local_.ActivePair(handle);
    if (!pair)
        return;
    int index = static_cast<int>((handle - MuxLocalTcp::kPairBase) >> 1);
    clients_.SetPair(pair->src, index, pair->port, active);
    clients_.SetPair(pair->dst, index, pair->port, active);
}

void MuxTcpManager::ReleaseClient(std::uint8_t id) {
    {
        std::lock_guard lock(localLock_);
        for (int i = 0; i < MuxLocalTcp::kEntries; ++i) {
            std::uint32_t h = MuxLocalTcp::kPairBase + (static_cast<std::uint32_t>(i) << 1);
            auto pair = local_.ActivePair(h);
            if (pair && (pair->src == id || pair->dst == id))
                PublishPair(h, false);
        }
        local_.ReleaseClient(id);
    }
    std::vector<std::unique_ptr<Point>> gone;
    {
        std::unique_lock lock(pointLock_);
        for (auto& p : points_) {
            if (p && p->holders.erase(id) > 0 && p->holders.empty())
                gone.push_back(std::move(p));
        }
    }
    Wake(wakeAccept_);
    for (const ConnectionPtr& c : Connections()) {
        if (c->Opener() == id || c->Owner() == id)
            CloseConnection(c->Handle());
    }
}

int MuxTcpManager::PointCount() const {
    std::shared_lock lock(pointLock_);
    int n = 0;
    for (const auto& p : points_) n += p ? 1 : 0;
    return n;
}

int MuxTcpManager::ConnectionCount() const {
    return static_cast<int>(Connections().size());
}

}  // namespace mux
