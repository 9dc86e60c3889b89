// A TCP connection of the transport: its own small protocol (CXKeepAlive.h: packet
// types and keep-alive rules) on top of one of the multiplexer's TCP streams.
// States: 0 connected, 1 connecting, 2 closed, 3 probing (a keep-alive is out).
#pragma once

#include <cstdint>
#include <mutex>

#include "transport/CXConn.h"
#include "transport/CXKeepAlive.h"

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
    const std::uint32_t connectTimeout_;
    const std::uint32_t sendTimeout_;
    CXKeepAlive keepAlive_;  // under lock_
};
