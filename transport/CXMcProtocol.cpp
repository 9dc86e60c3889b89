#include "transport/CXMcProtocol.h"

#include "transport/CXPort.h"

CXMcProtocol::CXMcProtocol(CXPort& port, std::uint8_t protocolId, bool noNotifyThread)
    : CXProtocol(port, protocolId, noNotifyThread) {}

CXMcProtocol::~CXMcProtocol() {
    shutdownChannel();
}

CXConn* CXMcProtocol::createConnection(std::uint32_t queueLimit) {
    std::unique_ptr<CXConn> c = port_.backend().makeMulticastConnection(*this, queueLimit);
    if (!c)
        return nullptr;
    c->setRemoteAddress(0);
    c->setRemotePort(0);
    return adopt(std::move(c));
}

int CXMcProtocol::receive(XPortPacket& packet) {
    std::shared_lock g(listLock_);
    std::vector<CXConn*> takers;
    for (auto& c : connections_) {
        if (!c->isReleased() && c->isSubscribed(packet.localAddress, packet.localPort))
            takers.push_back(c.get());
    }
    if (takers.empty())
        return CXConn::kRefused;
    for (std::size_t i = 1; i < takers.size(); ++i) {
        XPortPacket copy = packet;
        takers[i]->onReceive(copy);
    }
    takers[0]->onReceive(packet);
    return CXConn::kTaken;
}

void CXMcProtocol::signalProcessed() {
    port_.signalProcessed(false);
}
