// What a user of the transport gives it: a callback object for a connection's events,
// and an acceptor for the connections that arrive on a listening channel.
#pragma once

#include <cstdint>

#include "transport/XPortTypes.h"

class CXConn;

// Called from the transport's threads, never after setCallback has cleared it.
class CXConnCB {
public:
    virtual ~CXConnCB() = default;
    // A packet for the user; it may take the packet's bytes (packet.data).
    virtual void onPacket(void* userContext, XPortPacket& packet) = 0;
    virtual void onConnected(void* userContext) = 0;
    virtual void onDisconnected(void* userContext) = 0;
};

class CXAcceptor {
public:
    virtual ~CXAcceptor() = default;
    // A peer asks to connect from `address`:`port` (host order), application id `appId`.
    // True takes the connection: *callback and *userContext are given to it.
    virtual bool onAccept(void* acceptorContext, std::uint32_t address, std::uint16_t port,
                          std::uint8_t appId, CXConn* connection, CXConnCB** callback,
                          void** userContext) = 0;
};
