// A connection of a protocol channel: the common part of TCP connections (CXTcpConn)
// and multicast connections (CXMcConn), and the base of a back end's own kinds.
//
// Arriving packets are queued here (with a limit; a full queue refuses the newest, or
// with drop-oldest drops its oldest) and handed to the user either by the channel's
// notify thread through the callback object, or by the user's own receive calls.
// The operations of the other kind fail (TCP ones with E_FAIL, multicast ones false).
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "os/Event.h"
#include "transport/CXConnCB.h"
#include "transport/CXKeepAlive.h"
#include "transport/XPortTypes.h"

class CXProtocol;

class CXConn {
public:
    // The state word. TCP: one of these; multicast: the number of joins.
    enum : std::uint32_t { kConnected = 0, kConnecting = 1, kClosed = 2, kProbing = 3 };
    // What onReceive answers the channel.
    enum : int { kTaken = 0, kRefused = 1, kLater = 2 };

    CXConn(CXProtocol& owner, std::uint32_t queueLimit, bool dropOldest);
    virtual ~CXConn();
    CXConn(const CXConn&) = delete;
    CXConn& operator=(const CXConn&) = delete;

    // The callback object and the user context it is called with; null stops the calls
    // (once this returns, the old callback is not called any more).
    virtual void setCallback(void* userContext, CXConnCB* callback);
    // Gives a received packet's bytes back early (they are freed with the packet anyway).
    virtual void freeData(XPortPacket& packet);
    virtual std::uint16_t getLocalPort();
    virtual std::uint32_t getLocalAddress();
    virtual bool isConnected();
    // A packet the channel routed here: kTaken, kRefused (the caller frees it) or kLater
    // (the caller keeps it and offers it again).
    virtual int onReceive(XPortPacket& packet);
    // Hands the oldest queued packet to the callback; false when there was none to hand.
    virtual bool deliver();
    // Address 0 stands for the channel's local address, port 0 for its local port.
    virtual void setRemoteAddress(std::uint32_t address);
    virtual std::uint32_t getRemoteAddress();
    virtual void setRemotePort(std::uint16_t port);
    virtual std::uint16_t getRemotePort();
    virtual void setRemoteAppId(std::uint8_t appId);
    virtual std::uint8_t getRemoteAppId();
    virtual void setState(std::uint32_t state);
    virtual std::uint32_t getState();

    // TCP connections.
    virtual XPortStatus connect(std::uint32_t address, std::uint16_t port, std::uint8_t appId);
    virtual XPortStatus close();
    virtual XPortStatus send(const XPortBuffer* chain);
    virtual XPortStatus send(const std::uint8_t* data, std::uint32_t length);
    // The oldest queued packet (either kind); false when the queue is empty. For TCP
    // data the transport's own header is already cut off.
    virtual bool receive(XPortPacket& packet);
    virtual bool receive(std::vector<std::uint8_t>& data);
    // Keep-alive and time-outs, every 100 ms.
    virtual void tick();

    // Multicast connections. Address 0 and port 0 stand for the remote address and port.
    virtual bool join(std::uint32_t address, std::uint16_t port);
    virtual bool leave(std::uint32_t address, std::uint16_t port);
    virtual XPortStatus send(std::uint32_t address, std::uint16_t port, const XPortBuffer* chain);
    virtual XPortStatus send(std::uint32_t address, std::uint16_t port, const std::uint8_t* data,
                             std::uint32_t length);
    // The oldest datagram (header included) and its sender.
    virtual bool receive(std::uint32_t* address, std::uint16_t* port,
                         std::vector<std::uint8_t>& data);
    // The same into the caller's buffer of *length bytes; *length becomes the datagram's
    // size. A datagram that does not fit stays queued (false, *length its size).
    virtual bool receive(std::uint32_t* address, std::uint16_t* port, std::uint8_t* buffer,
                         std::uint32_t* length);
    virtual bool isSubscribed(std::uint32_t group, std::uint16_t port);

    // The event set whenever a packet is queued (not owned; null for none).
    void setNotifyEvent(os::Event* event);
    // TCP: the number of unanswered keep-alive probes after which the connection closes.
    void setProtocolOption(std::uint32_t value);
    // Set by the channel's destroyConnection: no callback, no delivery; deleted soon.
    bool isReleased() const { return released_; }
    void markReleased();
    bool queueEmpty();
    CXProtocol& channel() { return owner_; }

protected:
    // For the kinds of connection: queue a packet (false: the full queue refused it),
    // tell the user of a change, and tell the back end that packets were consumed.
    bool enqueue(XPortPacket&& packet);
    bool dequeue(XPortPacket& packet);
    void notifyConnected();
    void notifyDisconnected();
    void notifyOwner();
    // Tells the user what a control packet of the point-to-point protocol changed, and the
    // back end that it was consumed; false (nothing told) for a type that is none of the
    // protocol's, whose packet is refused.
    bool tellControlEvent(CXKeepAlive::Event event);
    // Closed: the state word says so and the queue is emptied.
    void reset();
    std::uint32_t protocolOption() const { return protocolOption_; }

private:
    CXProtocol& owner_;
    std::recursive_mutex callbackLock_;
    CXConnCB* callback_ = nullptr;
    void* userContext_ = nullptr;
    std::atomic<os::Event*> notifyEvent_{nullptr};
    std::atomic<std::uint32_t> remoteAddress_{0};
    std::atomic<std::uint16_t> remotePort_{0};
    std::atomic<std::uint8_t> remoteAppId_{0};
    std::atomic<std::uint32_t> state_{kClosed};
    std::atomic<bool> released_{false};
    std::atomic<std::uint32_t> protocolOption_{3};
    const bool dropOldest_;
    const std::uint32_t queueLimit_;  // 0: unlimited
    std::mutex queueLock_;
    std::deque<XPortPacket> queue_;
};
