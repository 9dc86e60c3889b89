// A point-to-point connection over UDP on the service host's back end: each packet
// carries the transport's 12-byte header whose type byte says what it is
//   0 data   1 connect request (not handled here)   2 accepted   3 closed
//   4 keep-alive request   5 keep-alive answer
// with keep-alives sent from the channel's tick (every 100 ms). States: 0 open and
// idle, 1 waiting for the peer to accept, 2 closed, 3 waiting for a keep-alive answer.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>

#include "services/CUdpSocket.h"
#include "transport/CXConn.h"

class CUdpSession : public CXConn {
public:
    static constexpr std::uint32_t kMaxRetries = 3;
    static constexpr std::uint32_t kRefusalMs = 500;

    CUdpSession(CXProtocol& channel, std::uint32_t queueLimit);

    int onReceive(XPortPacket& packet) override;
    XPortStatus connect(std::uint32_t address, std::uint16_t port, std::uint8_t appId) override;
    XPortStatus close() override;
    XPortStatus send(const XPortBuffer* chain) override;
    using CXConn::send;
    // Takes in what arrived, then one keep-alive step.
    void tick() override;

private:
    XPortStatus SendTyped(std::uint8_t type, const XPortBuffer* chain);
    void KeepAlive();
    void Fail();

    std::mutex lock_;
    CUdpSocket socket_;
    const std::uint32_t connectTimeout_;
    const std::uint32_t keepAliveInterval_;
    const std::uint32_t replyTimeout_;
    std::uint32_t retries_ = 0;
    std::uint32_t lastActivity_;
    std::uint32_t connectStart_;
    std::uint32_t pendingReplies_ = 0;
    // When delivery was first refused; none while nothing waits. Every clock reading,
    // 0 included, is a valid time.
    std::optional<std::uint32_t> firstRefusal_;
    std::optional<XPortPacket> held_;  // refused for now by a full queue
};
