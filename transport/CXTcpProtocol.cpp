#include "transport/CXTcpProtocol.h"

#include "platform/XPortHeader.h"
#include "transport/CXPort.h"

CXTcpProtocol::CXTcpProtocol(CXPort& port, std::uint8_t protocolId, bool noNotifyThread,
                             const CXChannelSettings& settings)
    : CXProtocol(port, protocolId, noNotifyThread, settings) {}

CXTcpProtocol::~CXTcpProtocol() {
    shutdownChannel();
    setListenPort(kNoListenPort, nullptr, nullptr, settings_.queueLimit);
}

std::uint16_t CXTcpProtocol::getLocalPort() {
    std::uint32_t point;
    {
        std::lock_guard g(listenLock_);
        point = pointHandle_;
    }
    if (point == 0)
        return port_.getPort();
    return port_.getPointPort(point);
}

XPortStatus CXTcpProtocol::setListenPort(std::uint16_t port, CXAcceptor* acceptor, void* context,
                                         std::uint32_t queueLimit) {
    std::lock_guard g(listenLock_);
    acceptor_ = acceptor;
    acceptorContext_ = context;
    settings_.queueLimit = queueLimit;
    if (port == listenPort_)
        return mux::MUX_S_OK;
    if (pointHandle_ != 0) {
        port_.deallocatePoint(pointHandle_);
        port_.countTcpUse(-1);
        pointHandle_ = 0;
    }
    listenPort_ = kNoListenPort;
    if (port == kNoListenPort)
        return mux::MUX_S_OK;
    std::uint32_t handle = 0;
    XPortStatus s = port_.allocatePoint(port, &handle);
    if (mux::MuxFailed(s))
        return s;
    pointHandle_ = handle;
    listenPort_ = port;
    port_.countTcpUse(+1);
    return s;
}

CXConn* CXTcpProtocol::createConnection(std::uint32_t queueLimit) {
    std::unique_ptr<CXConn> c = port_.backend().makeTcpConnection(*this, queueLimit);
    return c ? adopt(std::move(c)) : nullptr;
}

int CXTcpProtocol::receive(XPortPacket& packet) {
    if (packet.length() >= XPORT_HEADER_LENGTH &&
        XPortHdrGetType(packet.data.data()) == XPORT_TCP_CONNECT)
        return accept(packet);
    std::shared_lock g(listLock_);
    for (auto& c : connections_) {
        auto* tcp = dynamic_cast<CXTcpConn*>(c.get());
        if (tcp != nullptr && !c->isReleased() && tcp->handle() == packet.handle)
            return c->onReceive(packet);
    }
    return CXConn::kRefused;
}

int CXTcpProtocol::accept(XPortPacket& request) {
    CXAcceptor* acceptor;
    void* context;
    {
        std::lock_guard g(listenLock_);
        acceptor = acceptor_;
        context = acceptorContext_;
        if (pointHandle_ == 0 || acceptor == nullptr)
            return CXConn::kRefused;  // unanswered
    }
    auto made = port_.backend().makeTcpConnection(*this, settings_.queueLimit);
    auto* conn = dynamic_cast<CXTcpConn*>(made.get());
    CXConnCB* callback = nullptr;
    void* userContext = nullptr;
    bool taken = false;
    if (conn != nullptr) {
        conn->adopt(request.handle);
        conn->setRemoteAddress(request.remoteAddress);
        conn->setRemotePort(request.remotePort);
        conn->setRemoteAppId(request.remoteAppId);
        taken = acceptor->onAccept(context, request.remoteAddress, request.remotePort,
                                   request.remoteAppId, conn, &callback, &userContext);
    }
    if (!taken) {
        if (conn != nullptr)
            conn->sendControl(XPORT_TCP_CLOSE);
        return CXConn::kTaken;  // the refused connection goes, closing its stream
    }
    conn->setCallback(userContext, callback);
    adopt(std::move(made));
    conn->acceptPeer();
    signalProcessed();
    return CXConn::kTaken;
}

void CXTcpProtocol::tick() {
    std::shared_lock g(listLock_);
    for (auto& c : connections_) {
        if (!c->isReleased())
            c->tick();
    }
}

void CXTcpProtocol::signalProcessed() {
    port_.signalProcessed(true);
}
