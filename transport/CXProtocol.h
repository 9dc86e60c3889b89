// A protocol channel: the connections of one protocol id on a CXPort. CXTcpProtocol
// and CXMcProtocol route arriving packets to them; a notify thread ("XPortNotifyProt%d")
// hands queued packets to the users' callbacks, unless the channel was made without one
// (its users then poll their connections). Callbacks run while the channel's connection
// list is held: a callback must not create connections on its own channel.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <shared_mutex>
#include <thread>
#include <vector>

#include "os/Event.h"
#include "transport/CXConn.h"

class CXPort;

// What a TCP channel gives its connections (milliseconds); multicast channels use none.
struct CXChannelSettings {
    std::uint32_t connectTimeout = 0;
    std::uint32_t sendTimeout = 0;
    std::uint32_t idleTime = 0;
    std::uint32_t probeInterval = 0;
    std::uint32_t queueLimit = 0;
};

class CXProtocol {
public:
    CXProtocol(CXPort& port, std::uint8_t protocolId, bool noNotifyThread,
               const CXChannelSettings& settings = {});
    // Deletes every connection and ends the notify thread.
    virtual ~CXProtocol();
    CXProtocol(const CXProtocol&) = delete;
    CXProtocol& operator=(const CXProtocol&) = delete;

    // Starts the notify thread (when wanted) and waits until it runs.
    bool start();

    // The listening point's port for a listening TCP channel, else the port's own.
    virtual std::uint16_t getLocalPort();
    // The multiplexer's local address.
    virtual std::uint32_t getLocalAddress();
    std::uint8_t getProtocolId() const { return protocolId_; }
    // Routes an arriving packet: 0 taken, 1 refused (the caller frees it), 2 offer it again.
    virtual int receive(XPortPacket& packet) = 0;
    // Keep-alive and time-outs of the connections (every 100 ms).
    virtual void tick();
    virtual XPortStatus multicastSend(std::uint32_t address, std::uint16_t port,
                                      const XPortBuffer* chain);
    virtual XPortStatus tcpSend(std::uint32_t handle, std::uint32_t timeoutMs,
                                const XPortBuffer* chain);
    virtual XPortStatus subscribe(std::uint32_t address, std::uint16_t port);
    virtual XPortStatus unsubscribe(std::uint32_t address, std::uint16_t port);
    // Tells the back end that this channel's user consumed packets.
    virtual void signalProcessed() = 0;
    // A new connection, owned by the channel (null on failure).
    virtual CXConn* createConnection(std::uint32_t queueLimit) = 0;
    // Clears the connection's callback and marks it released; the port's maintenance
    // deletes it soon after. The caller must not use it any more.
    virtual void destroyConnection(CXConn* connection);
    // TCP channels: listen on `port` (0xFFFF: stop listening). Others: E_FAIL.
    virtual XPortStatus setListenPort(std::uint16_t port, CXAcceptor* acceptor, void* context,
                                      std::uint32_t queueLimit);

    // Deletes the released connections (the port's maintenance, every 500 ms).
    void deleteReleasedConnections();
    // Wakes the notify thread: a packet was routed to this channel.
    void notify() { notifyEvent_.Set(); }
    CXPort& port() { return port_; }
    const CXChannelSettings& settings() const { return settings_; }

protected:
    // Enters a connection in the list; returns it.
    CXConn* adopt(std::unique_ptr<CXConn> connection);
    // Ends the notify thread and deletes every connection (called by the destructors of
    // the kinds, while they are still whole).
    void shutdownChannel();

    CXPort& port_;
    const std::uint8_t protocolId_;
    CXChannelSettings settings_;
    std::shared_mutex listLock_;
    std::vector<std::unique_ptr<CXConn>> connections_;

private:
    void notifyLoop();

    const bool noNotifyThread_;
    std::atomic<bool> closing_{false};
    os::Event notifyEvent_{true, false};
    os::Event started_{true, false};
    std::thread notifyThread_;
};
