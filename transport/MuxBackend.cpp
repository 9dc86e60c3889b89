// The transport's usual back end: every operation goes to Travex through the
// multiplexer client.
#include "transport/CXMcConn.h"
#include "transport/CXTcpConn.h"
#include "transport/MuxClient.h"
#include "transport/XPortBackend.h"

std::unique_ptr<CXConn> XPortBackend::makeTcpConnection(CXProtocol& channel,
                                                        std::uint32_t queueLimit) {
    return std::make_unique<CXTcpConn>(channel, queueLimit);
}

std::unique_ptr<CXConn> XPortBackend::makeMulticastConnection(CXProtocol& channel,
                                                              std::uint32_t queueLimit) {
    return std::make_unique<CXMcConn>(channel, queueLimit);
}

namespace {

class MuxBackend final : public XPortBackend {
public:
    XPortStatus open(std::uint8_t* appId, int wire, int mc, int tcp, XPortEvents* events) override {
        return MuxClientOpen(appId, wire, mc, tcp, events);
    }
    XPortStatus close(std::uint8_t appId) override { return MuxClientClose(appId); }
    XPortStatus subscribe(std::uint8_t appId, std::uint32_t a, std::uint16_t p) override {
        return MuxClientSubscribe(appId, a, p);
    }
    XPortStatus unsubscribe(std::uint8_t appId, std::uint32_t a, std::uint16_t p) override {
        return MuxClientUnsubscribe(appId, a, p);
    }
    XPortStatus allocatePoint(std::uint8_t appId, std::uint16_t p, std::uint32_t* h) override {
        return MuxClientAllocatePoint(appId, p, h);
    }
    XPortStatus deallocatePoint(std::uint8_t appId, std::uint32_t h) override {
        return MuxClientDeallocatePoint(appId, h);
    }
    XPortStatus getPort(std::uint8_t appId, std::uint32_t h, std::uint16_t* p) override {
        return MuxClientGetPort(appId, h, p);
    }
    XPortStatus tcpOpen(std::uint8_t appId, std::uint32_t a, std::uint16_t p, std::uint8_t remote,
                        std::uint32_t timeoutMs, std::uint32_t* h) override {
        return MuxClientTcpOpen(appId, a, p, remote, timeoutMs, h);
    }
    XPortStatus tcpSend(std::uint32_t h, std::uint32_t timeoutMs, const XPortBuffer* c) override {
        return MuxClientTcpSend(h, timeoutMs, c);
    }
    XPortStatus multicastSend(std::uint8_t appId, std::uint32_t a, std::uint16_t p,
                              const XPortBuffer* c) override {
        return MuxClientMulticastSend(appId, a, p, c);
    }
    XPortStatus tcpGetPacket(std::uint8_t appId, XPortPacket& packet, bool& more) override {
        return MuxClientTcpGetPacket(appId, packet, &more);
    }
    XPortStatus multicastGetPacket(std::uint8_t appId, XPortPacket& packet, bool& more) override {
        return MuxClientMulticastGetPacket(appId, packet, &more);
    }
    XPortStatus getLocalIpAddress(std::uint32_t* address) override {
        return MuxClientGetLocalIpAddress(address);
    }
};

}  // namespace

std::shared_ptr<XPortBackend> MakeMuxBackend() {
    return std::make_shared<MuxBackend>();
}
