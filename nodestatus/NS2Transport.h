// What the node-status engine needs of a transport: one multicast connection of
// protocol 8 that joins the status group, sends datagrams to an address and port, and
// hands over queued datagrams one at a time without blocking. The transport port
// (CXPort and its CXConn) and the service host's UDP back end stand behind it; tests
// use a plain UDP socket.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace os {
class Event;
}

class NS2Transport {
public:
    virtual ~NS2Transport() = default;

    // Takes the protocol channel and a connection with this queue limit; the connection
    // sets `arrival` (may be null) when datagrams are queued. False when either fails.
    virtual bool Attach(uint32_t queueLimit, os::Event* arrival) = 0;
    // Gives the connection and the channel back.
    virtual void Detach() = 0;

    // The transport's application id and its local IPv4 address (host order).
    virtual uint8_t AppId() const = 0;
    virtual uint32_t LocalAddress() const = 0;

    virtual bool Join(uint32_t group, uint16_t port) = 0;
    virtual bool Leave(uint32_t group, uint16_t port) = 0;
    // Address in host order.
    virtual bool Send(uint32_t address, uint16_t port, std::span<const uint8_t> data) = 0;
    // Takes one queued datagram into `buffer`; false when none is queued.
    virtual bool Receive(uint32_t& address, uint16_t& port, std::span<uint8_t> buffer,
                         size_t& length) = 0;
};
