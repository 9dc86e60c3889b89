// What the transport hands on to the world below it. The usual back end is the
// multiplexer client (MuxClient.h), which reaches Travex; a host without the multiplexer
// answers these itself and may make connections of its own kinds.
#pragma once

#include <cstdint>
#include <memory>

#include "transport/XPortTypes.h"

class CXConn;
class CXProtocol;

class XPortBackend {
public:
    virtual ~XPortBackend() = default;

    // Registers the client; *appId in: 0 to be given one, out: the id. A back end that
    // leaves an arrival event null never has packets of that kind to fetch.
    virtual XPortStatus open(std::uint8_t* appId, int wire, int mcQueueSize, int tcpQueueSize,
                             XPortEvents* events) = 0;
    virtual XPortStatus close(std::uint8_t appId) = 0;
    virtual XPortStatus subscribe(std::uint8_t appId, std::uint32_t address,
                                  std::uint16_t port) = 0;
    virtual XPortStatus unsubscribe(std::uint8_t appId, std::uint32_t address,
                                    std::uint16_t port) = 0;
    virtual XPortStatus allocatePoint(std::uint8_t appId, std::uint16_t port,
                                      std::uint32_t* handle) = 0;
    virtual XPortStatus deallocatePoint(std::uint8_t appId, std::uint32_t handle) = 0;
    virtual XPortStatus getPort(std::uint8_t appId, std::uint32_t handle, std::uint16_t* port) = 0;
    virtual XPortStatus tcpOpen(std::uint8_t appId, std::uint32_t address, std::uint16_t port,
                                std::uint8_t remoteAppId, std::uint32_t timeoutMs,
                                std::uint32_t* handle) = 0;
    virtual XPortStatus tcpSend(std::uint32_t handle, std::uint32_t timeoutMs,
                                const XPortBuffer* chain) = 0;
    virtual XPortStatus multicastSend(std::uint8_t appId, std::uint32_t address, std::uint16_t port,
                                      const XPortBuffer* chain) = 0;
    // MUX_S_OK with a packet and whether another one waits; anything else: nothing now.
    virtual XPortStatus tcpGetPacket(std::uint8_t appId, XPortPacket& packet, bool& more) = 0;
    virtual XPortStatus multicastGetPacket(std::uint8_t appId, XPortPacket& packet, bool& more) = 0;
    virtual XPortStatus getLocalIpAddress(std::uint32_t* address) = 0;

    // The connections of a channel; a back end may make its own kinds.
    virtual std::unique_ptr<CXConn> makeTcpConnection(CXProtocol& channel,
                                                      std::uint32_t queueLimit);
    virtual std::unique_ptr<CXConn> makeMulticastConnection(CXProtocol& channel,
                                                            std::uint32_t queueLimit);
};

// The back end over the multiplexer client.
std::shared_ptr<XPortBackend> MakeMuxBackend();
