#include "transport/CXTcpConn.h"

#include <algorithm>

#include "platform/VavClock.h"
#include "platform/XPortHeader.h"
#include "transport/CXPort.h"
#include "transport/CXProtocol.h"

CXTcpConn::CXTcpConn(CXProtocol& channel, std::uint32_t queueLimit)
    : CXConn(channel, queueLimit, false),
      connectTimeout_(channel.settings().connectTimeout),
      sendTimeout_(channel.settings().sendTimeout),
      keepAlive_({channel.settings().connectTimeout, channel.settings().idleTime,
                  channel.settings().probeInterval}) {
    setState(kClosed);
    keepAlive_.heard(GetMilliseconds());
}

CXTcpConn::~CXTcpConn() {
    CXTcpConn::close();
}

void CXTcpConn::adopt(std::uint32_t handle) {
    std::lock_guard g(lock_);
    handle_ = handle;
    keepAlive_.heard(GetMilliseconds());
    channel().port().countTcpUse(+1);
}

std::uint32_t CXTcpConn::handle() const {
    std::lock_guard g(lock_);
    return handle_;
}

int CXTcpConn::onReceive(XPortPacket& packet) {
    {
        std::lock_guard g(lock_);
        keepAlive_.heard(GetMilliseconds());
    }
    if (packet.length() < XPORT_HEADER_LENGTH)
        return kRefused;
    const std::uint8_t type = XPortHdrGetType(packet.data.data());
    if (type == XPORT_TCP_DATA) {
        {
            std::lock_guard g(lock_);
            keepAlive_.dataHeard(*this);
        }
        std::uint8_t header[XPORT_HEADER_LENGTH];
        std::copy_n(packet.data.begin(), XPORT_HEADER_LENGTH, header);
        packet.data.erase(packet.data.begin(), packet.data.begin() + XPORT_HEADER_LENGTH);
        if (enqueue(std::move(packet))) {
            std::lock_guard g(lock_);
            fullSince_ = 0;
            return kTaken;
        }
        // Refused: the packet goes back as it came.
        packet.data.insert(packet.data.begin(), header, header + XPORT_HEADER_LENGTH);
        bool tooLong;
        {
            std::lock_guard g(lock_);
            if (fullSince_ == 0)
                fullSince_ = GetMilliseconds() | 1;  // 0 means "not full"
            tooLong = XPortElapsed(GetMilliseconds(), fullSince_) > kFullQueueMs;
        }
        if (!tooLong)
            return kLater;
        fail();
        return kRefused;
    }
    CXKeepAlive::Event event;
    {
        std::lock_guard g(lock_);
        event = keepAlive_.onControl(*this, type);
    }
    return tellControlEvent(event) ? kTaken : kRefused;
}

XPortStatus CXTcpConn::connect(std::uint32_t address, std::uint16_t port, std::uint8_t appId) {
    close();
    {
        std::lock_guard g(lock_);
        keepAlive_.connecting(GetMilliseconds());
    }
    setRemoteAddress(address);
    setRemoteAppId(appId);
    setRemotePort(port);
    setState(kConnecting);
    std::uint32_t h = 0;
    CXPort& p = channel().port();
    XPortStatus s = p.openTcp(getRemoteAddress(), getRemotePort(), appId, connectTimeout_, &h);
    if (mux::MuxFailed(s)) {
        setState(kClosed);
        return s;
    }
    adopt(h);
    {
        std::lock_guard g(lock_);
        keepAlive_.connecting(GetMilliseconds());
    }
    return sendControl(XPORT_TCP_CONNECT);
}

XPortStatus CXTcpConn::close() {
    std::uint32_t h;
    {
        std::lock_guard g(lock_);
        keepAlive_.reset();
        h = handle_;
        handle_ = 0;
    }
    setState(kClosed);
    if (h != 0) {
        channel().port().deallocatePoint(h);
        channel().port().countTcpUse(-1);
    }
    return mux::MUX_S_OK;
}

void CXTcpConn::fail() {
    close();
    notifyDisconnected();
}

XPortStatus CXTcpConn::sendTyped(std::uint8_t type, const XPortBuffer* chain) {
    std::uint8_t header[XPORT_HEADER_LENGTH];
    XPortHeader h;
    h.protocol = channel().getProtocolId();
    h.type = type;
    h.srcApp = channel().port().getAppId();
    h.dstApp = getRemoteAppId();
    h.length = static_cast<std::uint32_t>(XPORT_HEADER_LENGTH + XPortChainLength(chain));
    h.Write(header);
    XPortBuffer first{header, XPORT_HEADER_LENGTH, chain};
    std::uint32_t handle = this->handle();
    if (handle == 0)
        return mux::E_FAIL;
    XPortStatus s = channel().port().tcpSend(handle, sendTimeout_, &first);
    if (mux::MuxFailed(s))
        fail();
    return s;
}

XPortStatus CXTcpConn::send(const XPortBuffer* chain) {
    return sendTyped(XPORT_TCP_DATA, chain);
}

XPortStatus CXTcpConn::sendControl(std::uint8_t type) {
    return sendTyped(type, nullptr);
}

void CXTcpConn::acceptPeer() {
    setState(kConnected);
    if (!mux::MuxFailed(sendControl(XPORT_TCP_ACCEPTED)))
        notifyConnected();
}

void CXTcpConn::tick() {
    CXKeepAlive::Act act;
    {
        std::lock_guard g(lock_);
        act = keepAlive_.step(*this, GetMilliseconds(), protocolOption(), queueEmpty());
    }
    switch (act) {
        case CXKeepAlive::Act::None:
            break;
        case CXKeepAlive::Act::Reply:
            if (!mux::MuxFailed(sendControl(XPORT_TCP_PROBE_REPLY))) {
                std::lock_guard g(lock_);
                keepAlive_.replied(*this);
            }
            break;
        case CXKeepAlive::Act::Probe:
            sendControl(XPORT_TCP_PROBE);
            break;
        case CXKeepAlive::Act::Close:
            fail();
            break;
    }
}
