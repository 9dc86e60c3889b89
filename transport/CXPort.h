// The transport's endpoint in a process: registers with a back end (by default the
// multiplexer Travex), runs the threads that fetch arriving TCP and multicast packets
// and route them to the protocol channels, and hands the channels out by protocol id.
//
//   CXPort port;                       // or CXPort port(myBackend)
//   std::uint8_t appId = 0;            // 0: let Travex assign one
//   if (MuxFailed(port.open(&appId, 1, 6107, 100, 100))) ...   // no Travex: go on without
//   CXProtocol* rcc = port.createProtocol(9, 0xFFFF, nullptr, nullptr, true,
//                                         10000, 5000, 1000, 1000, 50);
//   CXConn* c = rcc->createConnection(50);
//   c->connect(nodeAddress, 36507, 9); ... c->send(data, length); c->receive(bytes);
//   rcc->destroyConnection(c); port.releaseProtocol(rcc);
//
// Threads: TCP receive and multicast receive (at most 10 packets per round, then a wait
// for the arrival event or the close; 10 ms while a refused packet waits to be offered
// again), maintenance (every 500 ms: deletes released
// connections), ticker (every 100 ms, from the first TCP channel: keep-alive and
// time-outs). Each channel may have a notify thread of its own. The maintenance and
// ticker periods, and the receive threads' waits without an arrival event, run on the
// process's clock (os/Clock.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <thread>

#include "os/Event.h"
#include "transport/CXConnCB.h"
#include "transport/CXProtocol.h"
#include "transport/XPortBackend.h"

class CXPort {
public:
    static constexpr std::uint16_t kDefaultPort = 6107;

    // Null: the multiplexer client's back end.
    explicit CXPort(std::shared_ptr<XPortBackend> backend = nullptr);
    // Closes an open port.
    virtual ~CXPort();
    CXPort(const CXPort&) = delete;
    CXPort& operator=(const CXPort&) = delete;

    // Registers (*appId in: 0 to be given one; out: the id) and starts the threads.
    // A negative result leaves the port closed.
    XPortStatus open(std::uint8_t* appId, int wire, std::uint16_t port, int mcQueueSize,
                     int tcpQueueSize);
    // Stops the threads, deletes every channel and unregisters.
    XPortStatus close();
    bool isOpen() const { return !closed_; }

    // The channel for the protocol id, made on first use (null on failure or while
    // closed); each call counts one user more.
    virtual CXProtocol* createMulticastProtocol(std::uint8_t protocolId, bool noNotifyThread);
    virtual CXProtocol* createProtocol(std::uint8_t protocolId, std::uint16_t listenPort,
                                       CXAcceptor* acceptor, void* acceptorContext,
                                       bool noNotifyThread, std::uint32_t connectTimeout,
                                       std::uint32_t sendTimeout, std::uint32_t idleTime,
                                       std::uint32_t probeInterval, std::uint32_t queueLimit);
    // One user fewer; the last one deletes the channel.
    virtual void releaseProtocol(CXProtocol* channel);

    std::uint8_t getAppId() const { return appId_; }
    std::uint16_t getPort() const { return port_; }
    // The back end's local address (0 when unknown), asked once at open.
    std::uint32_t getLocalAddress() const { return localAddress_; }
    XPortBackend& backend() { return *backend_; }

    // Services to the channels, each with this port's application id.
    XPortStatus multicastSend(std::uint32_t address, std::uint16_t port, const XPortBuffer* chain);
    XPortStatus subscribe(std::uint32_t address, std::uint16_t port);
    XPortStatus unsubscribe(std::uint32_t address, std::uint16_t port);
    XPortStatus allocatePoint(std::uint16_t port, std::uint32_t* handle);
    XPortStatus deallocatePoint(std::uint32_t handle);
    XPortStatus openTcp(std::uint32_t address, std::uint16_t port, std::uint8_t remoteAppId,
                        std::uint32_t timeoutMs, std::uint32_t* handle);
    // 0 when the point's port cannot be had.
    std::uint16_t getPointPort(std::uint32_t handle);
    XPortStatus tcpSend(std::uint32_t handle, std::uint32_t timeoutMs, const XPortBuffer* chain);
    // Sets the TCP or the multicast processed event.
    void signalProcessed(bool tcp);
    // The number of TCP points and connections open through this port (never below 0).
    void countTcpUse(int delta);

private:
    struct Entry {
        std::unique_ptr<CXProtocol> channel;
        int references = 0;
    };
    CXProtocol* findOrMake(std::uint8_t protocolId,
                           const std::function<std::unique_ptr<CXProtocol>()>& make);
    // Routes one fetched packet; 1 when no channel took it (the caller frees it).
    int route(XPortPacket& packet);
    bool startThread(std::thread& thread, void (CXPort::*body)());
    void tcpReceiveLoop();
    void multicastReceiveLoop();
    void maintenanceLoop();
    // Runs `work` on every channel each `periodMs` until the port closes.
    void everyChannel(std::uint32_t periodMs, void (CXProtocol::*work)());
    void tickerLoop();
    // Waits up to ms for the event (sleeps without one), resets it; true when it was set.
    bool waitFor(const std::shared_ptr<XPortSignal>& event, std::uint32_t ms);
    // Waits for an arrival (no end, or 10 ms while `holding` a refused packet).
    bool arrived(const std::shared_ptr<XPortSignal>& event, bool holding);
    // Ends the threads' waits: sets `closing_` and the arrival events.
    void wakeThreads();

    std::shared_ptr<XPortBackend> backend_;
    std::atomic<bool> closed_{true};
    os::Event closing_{true, false};  // set by close: ends the threads' pauses
    std::uint8_t appId_ = 0;
    std::uint16_t port_ = kDefaultPort;
    std::uint32_t localAddress_ = 0;
    XPortEvents events_;
    std::shared_mutex mapLock_;
    std::map<std::uint8_t, Entry> channels_;
    std::atomic<int> tcpUses_{0};
    std::mutex threadsLock_;
    std::thread tcpThread_, mcThread_, maintenanceThread_, tickerThread_;
};

// The multiplexer's local IPv4 address (host order); 0 when it cannot be had.
std::uint32_t XPortGetLocalIpAddress();
