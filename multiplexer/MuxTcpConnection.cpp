#include "multiplexer/MuxTcpConnection.h"

#include <poll.h>

namespace mux {
namespace {

// Draining a closing socket stops after this many reads even if the peer keeps sending.
constexpr int kMaxDrainReads = 128;

}  // namespace

MuxTcpConnection::MuxTcpConnection(MuxSocket socket, std::uint32_t handle,
                                   const MuxTcpEndpoints& endpoints, std::uint8_t opener)
    : socket_(std::move(socket)), handle_(handle), endpoints_(endpoints), opener_(opener) {}

MuxTcpConnection::~MuxTcpConnection() {
    if (!socket_.Valid())
        return;
    SocketShutdown(socket_.Fd(), SHUT_WR);
    char scratch[512];
    for (int i = 0; i < kMaxDrainReads; ++i) {
        pollfd p{socket_.Fd(), POLLIN, 0};
        if (poll(&p, 1, 10) != 1)
            break;
        std::size_t got = 0;
        if (SocketRecv(socket_.Fd(), scratch, sizeof scratch, 0, &got) != 0)
            break;
    }
}

MuxTcpConnection::Delivery MuxTcpConnection::Deliver(MuxClientTable& clients) {
    MuxEntry& entry = framer_.PendingEntry();
    const std::uint8_t* header = entry.data() + kMuxDescriptorSize;
    if (owner_ == 0) {
        std::uint8_t dst = XPortHdrGetDstApp(header);
        if (!clients.Known(dst))
            return Delivery::Failed;
        owner_ = dst;
    }
    if (XPortHdrGetVersionMajor(header) !=
        XPORT_VERSION_MAJOR) {  // another network generation: not for our clients
        framer_.Take();
        return Delivery::Queued;
    }
    if (!clients.Known(owner_))
        return Delivery::Failed;
    if (clients.Room(owner_, MuxKind::Tcp) == 0)
        return Delivery::NoRoom;
    WriteTcpDescriptor(entry, {endpoints_.remoteAddress, endpoints_.remotePort,
                               endpoints_.localAddress, endpoints_.localPort, handle_});
    return clients.Push(owner_, MuxKind::Tcp, framer_.Take(), false) ? Delivery::Queued
                                                                     : Delivery::Failed;
}

MuxTcpConnection::Result MuxTcpConnection::FlushPending(MuxClientTable& clients) {
    if (!framer_.Pending())
        return Result::Ok;
    switch (Deliver(clients)) {
        case Delivery::Queued:
            return Result::Ok;
        case Delivery::NoRoom:
            return Result::Blocked;
        case Delivery::Failed:
            break;
    }
    return Result::Closed;
}

MuxTcpConnection::Result MuxTcpConnection::Frame(MuxClientTable& clients,
                                                 std::span<const std::uint8_t> in) {
    for (;;) {
        switch (framer_.Feed(in)) {
            case MuxTcpFramer::Status::BadLength:
                return Result::Closed;
            case MuxTcpFramer::Status::NeedMore:
                return Result::Ok;
            case MuxTcpFramer::Status::Message:
                break;
        }
        Delivery d = Deliver(clients);
        // More bytes of this read wait behind a full queue: give the client a while.
        for (int i = 0; d == Delivery::NoRoom && !in.empty() && i < kFullWaits; ++i) {
            clients.WaitProcessed(MuxKind::Tcp, kFullWaitMs);
            d = Deliver(clients);
        }
        if (d == Delivery::Failed)
            return Result::Closed;
        if (d == Delivery::NoRoom)
            return in.empty() ? Result::Blocked : Result::Closed;
    }
}

MuxTcpConnection::Result MuxTcpConnection::OnReadable(MuxClientTable& clients,
                                                      std::span<std::uint8_t> buffer) {
    Result pending = FlushPending(clients);
    if (pending != Result::Ok)
        return pending;
    std::size_t got = 0;
    switch (SocketRecv(socket_.Fd(), buffer.data(), buffer.size(), 0, &got)) {
        case 0:
            return Frame(clients, buffer.first(got));
        case 1:
            return Result::Ok;
        default:
            return Result::Closed;
    }
}

MuxStatus MuxTcpConnection::Send(std::span<const std::uint8_t> data, std::uint32_t timeoutMs) {
    std::lock_guard lock(sendLock_);
    while (!data.empty()) {
        pollfd p{socket_.Fd(), POLLOUT, 0};
        int ready = poll(&p, 1, timeoutMs > 0x7FFFFFFF ? -1 : static_cast<int>(timeoutMs));
        if (ready == 0)
            return MUX_E_MC_SEND_TIMEOUT;
        if (ready < 0 || (p.revents & (POLLERR | POLLNVAL)))
            return MUX_E_MC_SEND;
        if (p.revents & POLLHUP)
            return MUX_E_TCP_GETPORT;
        std::size_t sent = 0;
        switch (SocketSend(socket_.Fd(), data.data(), data.size(), 0, &sent)) {
            case 0:
                data = data.subspan(sent);
                break;
            case 1:
                break;
            case 3:
                return MUX_E_TCP_GETPORT;
            default:
                return MUX_E_MC_SEND;
        }
    }
    return MUX_S_OK;
}

}  // namespace mux
