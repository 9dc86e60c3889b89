// The connection of a multicast channel on the service host's UDP back end: a UDP socket
// of its own, opened on the connection's port (the transport's, 6107) at its first
// subscription or send, and the (group, port) pairs it takes datagrams for.
//
// Node status reads it directly (receive into its buffer, non-blocking); a user that
// waits for deliveries calls PollReceive to move one datagram into the queue.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <utility>

#include "platform/CUdpSocket.h"
#include "transport/CXConn.h"

class CUdpConnection : public CXConn {
public:
    // Failure of a gathered send that does not fit one datagram, or of no memory.
    static constexpr XPortStatus kOutOfMemory = static_cast<XPortStatus>(0x8007000E);

    CUdpConnection(CXProtocol& channel, std::uint32_t queueLimit);
    ~CUdpConnection() override;

    // True while it has a subscription.
    bool IsActive() { return getState() != 0; }
    // One datagram from the socket into the queue, when one waits and its header says
    // it is a packet of this channel's protocol whose length field does not claim more
    // than came (padding is kept); true when one was queued.
    bool PollReceive();

    // Port 0 is the connection's own port; true when the socket is open and in the group.
    bool join(std::uint32_t group, std::uint16_t port) override;
    bool leave(std::uint32_t group, std::uint16_t port) override;
    bool isSubscribed(std::uint32_t group, std::uint16_t port) override;
    XPortStatus send(std::uint32_t address, std::uint16_t port, const XPortBuffer* chain) override;
    XPortStatus send(std::uint32_t address, std::uint16_t port, const std::uint8_t* data,
                     std::uint32_t length) override;
    bool receive(std::uint32_t* address, std::uint16_t* port,
                 std::vector<std::uint8_t>& data) override;
    bool receive(std::uint32_t* address, std::uint16_t* port, std::uint8_t* buffer,
                 std::uint32_t* length) override;
    using CXConn::receive;
    using CXConn::send;

private:
    std::uint16_t OwnPort() { return getLocalPort(); }
    bool OpenSocket();

    std::mutex lock_;
    CUdpSocket socket_;
    std::map<std::pair<std::uint32_t, std::uint16_t>, int> subscriptions_;
};
