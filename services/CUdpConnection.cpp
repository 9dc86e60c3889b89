#include "services/CUdpConnection.h"

#include "platform/XPortHeader.h"
#include "transport/CXProtocol.h"

CUdpConnection::CUdpConnection(CXProtocol& channel, std::uint32_t queueLimit)
    : CXConn(channel, queueLimit, true) {
    setState(0);
}

CUdpConnection::~CUdpConnection() {
    std::lock_guard g(lock_);
    for (const auto& [key, count] : subscriptions_) socket_.LeaveGroup(key.first);
}

bool CUdpConnection::OpenSocket() {
    return !UdpFailed(socket_.Open(OwnPort()));
}

bool CUdpConnection::join(std::uint32_t group, std::uint16_t port) {
    const auto key = std::make_pair(group, port != 0 ? port : OwnPort());
    std::lock_guard g(lock_);
    const bool open = OpenSocket();
    const bool joined =
        open && (subscriptions_.count(key) > 0 || !UdpFailed(socket_.JoinGroup(group)));
    if (!joined)
        return false;
    ++subscriptions_[key];
    setState(getState() + 1);
    return true;
}

bool CUdpConnection::leave(std::uint32_t group, std::uint16_t port) {
    const auto key = std::make_pair(group, port != 0 ? port : OwnPort());
    std::lock_guard g(lock_);
    auto it = subscriptions_.find(key);
    if (it == subscriptions_.end())
        return false;
    // The membership goes with the last subscription of the pair.
    if (--it->second == 0) {
        subscriptions_.erase(it);
        socket_.LeaveGroup(group);
    }
    setState(getState() - 1);
    return true;
}

bool CUdpConnection::isSubscribed(std::uint32_t group, std::uint16_t port) {
    std::lock_guard g(lock_);
    return subscriptions_.count({group, port != 0 ? port : OwnPort()}) > 0;
}

XPortStatus CUdpConnection::send(std::uint32_t address, std::uint16_t port,
                                 const std::uint8_t* data, std::uint32_t length) {
    UdpStatus s;
    {
        std::lock_guard g(lock_);
        s = OpenSocket() ? socket_.SendTo(address, data, length, port) : UDPSOCK_E_NO_SOCKET;
    }
    if (!UdpFailed(s))
        return mux::MUX_S_OK;
    notifyDisconnected();
    return s == UDPSOCK_E_TOO_LONG ? mux::MUX_E_TOO_LONG : mux::E_FAIL;
}

XPortStatus CUdpConnection::send(std::uint32_t address, std::uint16_t port,
                                 const XPortBuffer* chain) {
    if (chain == nullptr)
        return mux::E_FAIL;
    if (chain->next == nullptr)
        return send(address, port, chain->data, chain->length);
    // One datagram per message: a chain that does not fit one is refused whole.
    if (XPortChainLength(chain) > UdpEndpoint::kMaxDatagram) {
        notifyDisconnected();
        return mux::MUX_E_TOO_LONG;
    }
    std::vector<std::uint8_t> gathered;
    try {
        gathered = XPortGather(chain);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return send(address, port, gathered.data(), static_cast<std::uint32_t>(gathered.size()));
}

bool CUdpConnection::receive(std::uint32_t* address, std::uint16_t* port,
                             std::vector<std::uint8_t>& data) {
    std::lock_guard g(lock_);
    return !UdpFailed(socket_.ReceiveFrom(address, port, data));
}

bool CUdpConnection::receive(std::uint32_t* address, std::uint16_t* port, std::uint8_t* buffer,
                             std::uint32_t* length) {
    std::lock_guard g(lock_);
    return !UdpFailed(socket_.ReceiveInto(address, port, buffer, length));
}

bool CUdpConnection::PollReceive() {
    XPortPacket packet;
    if (!receive(&packet.remoteAddress, &packet.remotePort, packet.data))
        return false;
    // A datagram longer than its length field (a device's padding) is taken.
    if (XPortHdrCheckStream(packet.data) != XPortHdrError::None ||
        XPortHdrGetProtocol(packet.data.data()) != channel().getProtocolId())
        return false;  // not a whole packet of ours: dropped
    packet.localAddress = getLocalAddress();
    packet.localPort = OwnPort();
    return onReceive(packet) == kTaken;
}
