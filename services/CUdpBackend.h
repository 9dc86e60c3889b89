// The service host's back end of the transport: no multiplexer. What the transport
// would ask the multiplexer is answered here, multicast channels get CUdpConnections
// with a UDP socket of their own, and point-to-point channels get CUdpSessions.
//
//   CXPort port(std::make_shared<CUdpBackend>());
//   port.open(&appId, 1, 6107, 100, 100);
#pragma once

#include "transport/XPortBackend.h"

class CUdpBackend : public XPortBackend {
public:
    XPortStatus open(std::uint8_t* appId, int wire, int mcQueueSize, int tcpQueueSize,
                     XPortEvents* events) override;
    XPortStatus close(std::uint8_t appId) override;
    XPortStatus subscribe(std::uint8_t appId, std::uint32_t address, std::uint16_t port) override;
    XPortStatus unsubscribe(std::uint8_t appId, std::uint32_t address, std::uint16_t port) override;
    XPortStatus allocatePoint(std::uint8_t appId, std::uint16_t port,
                              std::uint32_t* handle) override;
    XPortStatus deallocatePoint(std::uint8_t appId, std::uint32_t handle) override;
    XPortStatus getPort(std::uint8_t appId, std::uint32_t handle, std::uint16_t* port) override;
    XPortStatus tcpOpen(std::uint8_t appId, std::uint32_t address, std::uint16_t port,
                        std::uint8_t remoteAppId, std::uint32_t timeoutMs,
                        std::uint32_t* handle) override;
    XPortStatus tcpSend(std::uint32_t handle, std::uint32_t timeoutMs,
                        const XPortBuffer* chain) override;
    XPortStatus multicastSend(std::uint8_t appId, std::uint32_t address, std::uint16_t port,
                              const XPortBuffer* chain) override;
    XPortStatus tcpGetPacket(std::uint8_t appId, XPortPacket& packet, bool& more) override;
    XPortStatus multicastGetPacket(std::uint8_t appId, XPortPacket& packet, bool& more) override;
    XPortStatus getLocalIpAddress(std::uint32_t* address) override;

    std::unique_ptr<CXConn> makeTcpConnection(CXProtocol& channel,
                                              std::uint32_t queueLimit) override;
    std::unique_ptr<CXConn> makeMulticastConnection(CXProtocol& channel,
                                                    std::uint32_t queueLimit) override;
};
