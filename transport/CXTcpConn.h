// A TCP connection of the transport: its own small protocol on top of one of the
// multiplexer's TCP streams. Every packet starts with the 12-byte header whose type
// byte says what it is:
//   0 data   1 connect request   2 connect accepted   3 refused or closed
//   4 keep-alive request   5 keep-alive reply
// States: 0 connected, 1 connecting, 2 closed, 3 probing (a keep-alive is out).
#pragma once

#include <cstdint>
#include <mutex>

#include "transport/CXConn.h"

enum : std::uint8_t {
    XPORT_TCP_DATA = 0,
    XPORT_TCP_CONNECT = 1,
    XPORT_TCP_ACCEPTED = 2,
    XPORT_TCP_CLOSE = 3,
    XPORT_TCP_PROBE = 4,
    XPORT_TCP_PROBE_REPLY = 5,
};

class CXTcpConn : public CXConn {
public:
    // How long a data packet may wait for room in the queue before the connection closes.
    static constexpr std::uint32_t kFullQueueMs = 500;

    // Closed, with the channel's time-outs and queue limit.
    CXTcpConn(CXProtocol& channel, std::uint32_t queueLimit);
    // Closes the multiplexer's connection.
    ~CXTcpConn() override;

    int onReceive(XPortPacket& packet) override;
    // Starts connecting; the connection is up when the peer accepts (onConnected).
    XPortStatus connect(std::uint32_t address, std::uint16_t port, std::uint8_t appId) override;
    XPortStatus close() override;
    XPortStatus send(const XPortBuffer* chain) override;
    using CXConn::send;
    void tick() override;

    // An accepted connection takes over the multiplexer's handle it arrived on.
    void adopt(std::uint32_t handle);
    std::uint32_t handle() const;
    // The acceptor took this incoming connection: connected, the peer is told (type 2)
    // and the user's onConnected called.
    void acceptPeer();
    // Sends a packet of the transport's own with no payload.
    XPortStatus sendControl(std::uint8_t type);

private:
    XPortStatus sendTyped(std::uint8_t type, const XPortBuffer* chain);
    // A failure closes the connection and tells the user.
    void fail();

    mutable std::mutex lock_;
    std::uint32_t handle_ = 0;
    std::uint32_t fullSince_ = 0;
    std::uint32_t connectStart_ = 0;
    std::uint32_t lastReceive_ = 0;
    std::uint32_t probesSent_ = 0;
    std::uint32_t repliesOwed_ = 0;
    const std::uint32_t connectTimeout_;
    const std::uint32_t sendTimeout_;
    const std::uint32_t idleTime_;
    const std::uint32_t probeInterval_;
};
