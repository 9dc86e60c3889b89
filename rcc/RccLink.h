// What the remote-call library needs of the transport: connections that carry whole
// PDUs to and from one peer, made by an endpoint that can also listen for peers. The
// transport's port and connections stand behind these; tests use an in-process link.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "os/Event.h"

// The settings a protocol channel gives its connections (milliseconds).
struct RccChannelSettings {
    uint32_t connectTimeoutMs = 10000;
    uint32_t sendTimeoutMs = 5000;
    uint32_t idleMs = 1000;
    uint32_t probeIntervalMs = 1000;
    uint32_t queueLimit = 50;
};

class RccConnection {
public:
    // Told of the connection's state changes, on a transport thread.
    class Events {
    public:
        virtual ~Events() = default;
        virtual void onConnected() = 0;
        virtual void onDisconnected() = 0;
    };

    virtual ~RccConnection() = default;

    // The receiver of state changes (null: none). Once a call clearing it returns, the
    // old receiver is not called any more.
    virtual void setEvents(Events* events) = 0;
    // The event set each time a packet is queued for receive (null: none; not owned).
    virtual void setNotifyEvent(os::Event* event) = 0;
    // Starts connecting to a peer (host-order address); the outcome arrives through
    // onConnected. A negative status when it cannot start.
    virtual int32_t connect(uint32_t address, uint16_t port, uint8_t appId) = 0;
    virtual void close() = 0;
    virtual bool isConnected() const = 0;
    // True while an outgoing connection is being made.
    virtual bool isConnecting() const = 0;
    // Sends one PDU; a negative status on failure.
    virtual int32_t send(std::span<const uint8_t> pdu) = 0;
    // Takes the oldest received PDU; false when none is queued.
    virtual bool receive(std::vector<uint8_t>& pdu) = 0;
    virtual uint32_t remoteAddress() const = 0;
    virtual uint16_t remotePort() const = 0;
    virtual uint8_t remoteAppId() const = 0;
    // The most keep-alive probes a silent peer survives.
    virtual void setMaxProbes(uint32_t probes) = 0;
};

// Listening for peers on one port; stops when destroyed.
class RccListener {
public:
    virtual ~RccListener() = default;
};

class RccTransport {
public:
    using Acceptor = std::function<void(std::unique_ptr<RccConnection>)>;

    virtual ~RccTransport() = default;
    // This program's application id on the transport.
    virtual uint8_t appId() const = 0;
    // This computer's address on the lighting network (host order); 0 when unknown.
    virtual uint32_t localAddress() const = 0;
    // A new, closed connection on the protocol's channel; null when none can be made.
    virtual std::unique_ptr<RccConnection> createConnection(uint8_t protocolId,
                                                            const RccChannelSettings& settings) = 0;
    // Hands every connection a peer opens to `port` to the acceptor (on a transport
    // thread), until the listener is destroyed (no call runs once its destructor has
    // returned); null when the port cannot be had.
    virtual std::unique_ptr<RccListener> listen(uint8_t protocolId, uint16_t port,
                                                const RccChannelSettings& settings,
                                                Acceptor acceptor) = 0;
};
