// A multicast protocol channel: every datagram goes to each of its connections that
// joined the datagram's group and port.
#pragma once

#include "transport/CXProtocol.h"

class CXMcProtocol final : public CXProtocol {
public:
    CXMcProtocol(CXPort& port, std::uint8_t protocolId, bool noNotifyThread);
    ~CXMcProtocol() override;

    // The first subscriber gets the packet itself, each further one a copy;
    // kRefused when nobody subscribed.
    int receive(XPortPacket& packet) override;
    void signalProcessed() override;
    // Made by the back end (a multicast connection with drop-oldest), or null.
    CXConn* createConnection(std::uint32_t queueLimit) override;
};
