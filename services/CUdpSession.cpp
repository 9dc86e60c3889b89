#include "services/CUdpSession.h"

#include <algorithm>

#include "platform/VavClock.h"
#include "platform/XPortHeader.h"
#include "transport/CXPort.h"
#include "transport/CXProtocol.h"

namespace {

constexpr int kReceivesPerTick = 10;

}  // namespace

CUdpSession::CUdpSession(CXProtocol& channel, std::uint32_t queueLimit)
    : CXConn(channel, queueLimit, false),
      keepAlive_({channel.settings().connectTimeout, channel.settings().idleTime,
                  channel.settings().probeInterval}) {
    keepAlive_.connecting(GetMilliseconds());
    setState(kClosed);
}

int CUdpSession::onReceive(XPortPacket& packet) {
    {
        std::lock_guard g(lock_);
        keepAlive_.heard(GetMilliseconds());
    }
    if (XPortHdrCheckPacket(packet.data) != XPortHdrError::None) {
        drops_.Count(UdpSessionDrop::BadHeader);
        return kRefused;
    }
    const std::uint8_t type = XPortHdrGetType(packet.data.data());
    if (type == XPORT_TCP_DATA) {
        {
            std::lock_guard g(lock_);
            keepAlive_.dataHeard(*this);
        }
        XPortPacket payload = packet;
        payload.data.erase(payload.data.begin(), payload.data.begin() + XPORT_HEADER_LENGTH);
        if (enqueue(std::move(payload))) {
            std::lock_guard g(lock_);
            firstRefusal_.reset();
            return kTaken;
        }
        bool expired;
        {
            std::lock_guard g(lock_);
            if (!firstRefusal_)
                firstRefusal_ = GetMilliseconds();
            expired = XPortElapsed(GetMilliseconds(), *firstRefusal_) > kRefusalMs;
            if (expired)
                firstRefusal_.reset();
        }
        if (!expired)
            return kLater;  // the packet stays as it came, offered again later
        Fail();
        return kTaken;
    }
    CXKeepAlive::Event event;
    {
        std::lock_guard g(lock_);
        event = keepAlive_.onControl(*this, type);
    }
    if (!tellControlEvent(event)) {
        drops_.Count(UdpSessionDrop::UnknownType);
        return kRefused;
    }
    return kTaken;
}

XPortStatus CUdpSession::connect(std::uint32_t address, std::uint16_t port, std::uint8_t appId) {
    setRemoteAddress(address);
    setRemotePort(port);
    setRemoteAppId(appId);
    {
        std::lock_guard g(lock_);
        keepAlive_.connecting(GetMilliseconds());
    }
    setState(kConnecting);
    const XPortStatus s = SendTyped(XPORT_TCP_CONNECT, nullptr);
    if (XPortFailed(s))
        reset();  // nothing went out: no peer will answer, so do not wait for one
    return s;
}

XPortStatus CUdpSession::close() {
    if (getState() != kClosed)
        SendTyped(XPORT_TCP_CLOSE, nullptr);
    {
        std::lock_guard g(lock_);
        keepAlive_.reset();
    }
    reset();
    return mux::MUX_S_OK;
}

XPortStatus CUdpSession::send(const XPortBuffer* chain) {
    return SendTyped(XPORT_TCP_DATA, chain);
}

XPortStatus CUdpSession::SendTyped(std::uint8_t type, const XPortBuffer* chain) {
    const std::uint64_t total = XPORT_HEADER_LENGTH + XPortChainLength(chain);
    if (total > UdpEndpoint::kMaxDatagram)
        return mux::MUX_E_TOO_LONG;
    XPortHeader h;
    h.protocol = channel().getProtocolId();
    h.type = type;
    h.srcApp = channel().port().getAppId();
    h.dstApp = getRemoteAppId();
    h.length = static_cast<std::uint32_t>(total);
    std::vector<std::uint8_t> bytes(XPORT_HEADER_LENGTH);
    h.Write(bytes.data());
    const std::vector<std::uint8_t> payload = XPortGather(chain);
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    UdpStatus s;
    {
        std::lock_guard g(lock_);
        s = socket_.Open(0);
        if (!UdpFailed(s))
            s = socket_.SendTo(getRemoteAddress(), bytes.data(),
                               static_cast<std::uint32_t>(bytes.size()), getRemotePort());
    }
    return UdpFailed(s) ? mux::E_FAIL : mux::MUX_S_OK;
}

void CUdpSession::Fail() {
    {
        std::lock_guard g(lock_);
        keepAlive_.reset();
    }
    reset();
    notifyDisconnected();
}

void CUdpSession::tick() {
    for (int i = 0; i < kReceivesPerTick; ++i) {
        if (!held_) {
            XPortPacket packet;
            UdpStatus s;
            {
                std::lock_guard g(lock_);
                s = socket_.ReceiveFrom(&packet.remoteAddress, &packet.remotePort, packet.data);
            }
            if (UdpFailed(s))
                break;
            held_ = std::move(packet);
        }
        if (onReceive(*held_) == kLater)
            break;
        held_.reset();
    }
    KeepAlive();
}

void CUdpSession::KeepAlive() {
    CXKeepAlive::Act act;
    {
        std::lock_guard g(lock_);
        act = keepAlive_.step(*this, GetMilliseconds(), protocolOption(), queueEmpty());
    }
    switch (act) {
        case CXKeepAlive::Act::None:
            break;
        case CXKeepAlive::Act::Reply:
            if (XPortFailed(SendTyped(XPORT_TCP_PROBE_REPLY, nullptr)))
                return Fail();
            {
                std::lock_guard g(lock_);
                keepAlive_.replied(*this);
            }
            break;
        case CXKeepAlive::Act::Probe:
            if (XPortFailed(SendTyped(XPORT_TCP_PROBE, nullptr)))
                Fail();
            break;
        case CXKeepAlive::Act::Close:
            Fail();
            break;
    }
}
