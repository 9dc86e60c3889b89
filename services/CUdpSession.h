// A point-to-point connection over UDP on the service host's back end: the transport's
// point-to-point protocol (CXKeepAlive.h: packet types and keep-alive rules, the same as
// a TCP connection's; a connect request is not handled here), one packet a datagram,
// with keep-alives sent from the channel's tick (every 100 ms). States: 0 open and
// idle, 1 waiting for the peer to accept, 2 closed, 3 waiting for a keep-alive answer.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>

#include "os/DropCounts.h"
#include "platform/CUdpSocket.h"
#include "transport/CXConn.h"
#include "transport/CXKeepAlive.h"

// What a session lets go of instead of taking in.
enum class UdpSessionDrop {
    BadHeader,    // the XPort header does not vouch for the datagram
    UnknownType,  // a sound header of a type the session does not know
};

class CUdpSession : public CXConn {
public:
    static constexpr std::uint32_t kRefusalMs = 500;
    using DropCounts = os::DropCounts<UdpSessionDrop, 2>;

    CUdpSession(CXProtocol& channel, std::uint32_t queueLimit);

    int onReceive(XPortPacket& packet) override;
    XPortStatus connect(std::uint32_t address, std::uint16_t port, std::uint8_t appId) override;
    XPortStatus close() override;
    XPortStatus send(const XPortBuffer* chain) override;
    using CXConn::send;
    // Takes in what arrived, then one keep-alive step.
    void tick() override;
    const DropCounts& Drops() const { return drops_; }

private:
    XPortStatus SendTyped(std::uint8_t type, const XPortBuffer* chain);
    void KeepAlive();
    void Fail();

    std::mutex lock_;
    CUdpSocket socket_;
    CXKeepAlive keepAlive_;
    // When delivery was first refused; none while nothing waits. Every clock reading,
    // 0 included, is a valid time.
    std::optional<std::uint32_t> firstRefusal_;
    std::optional<XPortPacket> held_;  // refused for now by a full queue
    DropCounts drops_;
};
