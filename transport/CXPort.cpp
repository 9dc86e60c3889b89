#include "transport/CXPort.h"

#include "transport/CXMcProtocol.h"
#include "transport/CXTcpProtocol.h"
#include "transport/MuxClient.h"

CXPort::CXPort(std::shared_ptr<XPortBackend> backend)
    : backend_(backend ? std::move(backend) : MakeMuxBackend()) {}

CXPort::~CXPort() {
    close();
}

XPortStatus CXPort::open(std::uint8_t* appId, int wire, std::uint16_t port, int mcQueueSize,
                         int tcpQueueSize) {
    if (!closed_)
        return mux::E_FAIL;
    port_ = port;
    XPortStatus status = backend_->open(appId, wire, mcQueueSize, tcpQueueSize, &events_);
    if (mux::MuxFailed(status))
        return status;
    appId_ = *appId;
    std::uint32_t address = 0;
    localAddress_ = mux::MuxFailed(backend_->getLocalIpAddress(&address)) ? 0 : address;
    closing_.Reset();
    closed_ = false;
    std::lock_guard g(threadsLock_);
    if (!startThread(tcpThread_, &CXPort::tcpReceiveLoop) ||
        !startThread(mcThread_, &CXPort::multicastReceiveLoop) ||
        !startThread(maintenanceThread_, &CXPort::maintenanceLoop)) {
        closed_ = true;
        wakeThreads();
        for (std::thread* t : {&tcpThread_, &mcThread_, &maintenanceThread_}) {
            if (t->joinable())
                t->join();
        }
        backend_->close(appId_);
        return mux::E_FAIL;
    }
    return status;
}

XPortStatus CXPort::close() {
    if (closed_.exchange(true))
        return mux::MUX_S_OK;
    wakeThreads();
    {
        std::lock_guard g(threadsLock_);
        for (std::thread* t : {&tcpThread_, &mcThread_, &maintenanceThread_, &tickerThread_}) {
            if (t->joinable())
                t->join();
        }
    }
    std::map<std::uint8_t, Entry> gone;
    {
        std::unique_lock g(mapLock_);
        gone.swap(channels_);
    }
    gone.clear();
    XPortStatus status = backend_->close(appId_);
    events_ = {};
    return status;
}

void CXPort::wakeThreads() {
    closing_.Set();
    for (const auto& e : {events_.tcpArrived, events_.mcArrived}) {
        if (e)
            e->Set();
    }
}

bool CXPort::startThread(std::thread& thread, void (CXPort::*body)()) {
    try {
        thread = std::thread(body, this);
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

CXProtocol* CXPort::findOrMake(std::uint8_t protocolId,
                               const std::function<std::unique_ptr<CXProtocol>()>& make) {
    if (closed_)
        return nullptr;
    std::unique_lock g(mapLock_);
    auto it = channels_.find(protocolId);
    if (it != channels_.end()) {
        ++it->second.references;
        return it->second.channel.get();
    }
    std::unique_ptr<CXProtocol> channel = make();
    if (!channel || !channel->start())
        return nullptr;
    CXProtocol* raw = channel.get();
    channels_[protocolId] = Entry{std::move(channel), 1};
    return raw;
}

CXProtocol* CXPort::createMulticastProtocol(std::uint8_t protocolId, bool noNotifyThread) {
    return findOrMake(protocolId, [&] {
        return std::make_unique<CXMcProtocol>(*this, protocolId, noNotifyThread);
    });
}

CXProtocol* CXPort::createProtocol(std::uint8_t protocolId, std::uint16_t listenPort,
                                   CXAcceptor* acceptor, void* acceptorContext, bool noNotifyThread,
                                   std::uint32_t connectTimeout, std::uint32_t sendTimeout,
                                   std::uint32_t idleTime, std::uint32_t probeInterval,
                                   std::uint32_t queueLimit) {
    CXProtocol* channel = findOrMake(protocolId, [&]() -> std::unique_ptr<CXProtocol> {
        CXChannelSettings s{connectTimeout, sendTimeout, idleTime, probeInterval, queueLimit};
        auto c = std::make_unique<CXTcpProtocol>(*this, protocolId, noNotifyThread, s);
        if (listenPort != CXTcpProtocol::kNoListenPort &&
            mux::MuxFailed(c->setListenPort(listenPort, acceptor, acceptorContext, queueLimit)))
            return nullptr;
        return c;
    });
    if (channel != nullptr) {
        std::lock_guard g(threadsLock_);
        if (!tickerThread_.joinable() && !closed_)
            startThread(tickerThread_, &CXPort::tickerLoop);
    }
    return channel;
}

void CXPort::releaseProtocol(CXProtocol* channel) {
    std::unique_ptr<CXProtocol> gone;
    {
        std::unique_lock g(mapLock_);
        for (auto it = channels_.begin(); it != channels_.end(); ++it) {
            if (it->second.channel.get() != channel)
                continue;
            if (--it->second.references == 0) {
                gone = std::move(it->second.channel);
                channels_.erase(it);
            }
            break;
        }
    }
}

int CXPort::route(XPortPacket& packet) {
    if (packet.data.empty())
        return CXConn::kRefused;
    std::shared_lock g(mapLock_);
    auto it = channels_.find(packet.data[0]);
    if (it == channels_.end())
        return CXConn::kRefused;
    int result = it->second.channel->receive(packet);
    it->second.channel->notify();
    return result;
}

void CXPort::countTcpUse(int delta) {
    int now = tcpUses_.load();
    while (!tcpUses_.compare_exchange_weak(now, std::max(0, now + delta))) {
    }
}

XPortStatus CXPort::multicastSend(std::uint32_t address, std::uint16_t port,
                                  const XPortBuffer* chain) {
    return backend_->multicastSend(appId_, address, port, chain);
}
XPortStatus CXPort::subscribe(std::uint32_t address, std::uint16_t port) {
    return backend_->subscribe(appId_, address, port);
}
XPortStatus CXPort::unsubscribe(std::uint32_t address, std::uint16_t port) {
    return backend_->unsubscribe(appId_, address, port);
}
XPortStatus CXPort::allocatePoint(std::uint16_t port, std::uint32_t* handle) {
    return backend_->allocatePoint(appId_, port, handle);
}
XPortStatus CXPort::deallocatePoint(std::uint32_t handle) {
    return backend_->deallocatePoint(appId_, handle);
}
XPortStatus CXPort::openTcp(std::uint32_t address, std::uint16_t port, std::uint8_t remoteAppId,
                            std::uint32_t timeoutMs, std::uint32_t* handle) {
    return backend_->tcpOpen(appId_, address, port, remoteAppId, timeoutMs, handle);
}
std::uint16_t CXPort::getPointPort(std::uint32_t handle) {
    std::uint16_t port = 0;
    return mux::MuxFailed(backend_->getPort(appId_, handle, &port)) ? 0 : port;
}
XPortStatus CXPort::tcpSend(std::uint32_t handle, std::uint32_t timeoutMs,
                            const XPortBuffer* chain) {
    return backend_->tcpSend(handle, timeoutMs, chain);
}
void CXPort::signalProcessed(bool tcp) {
    const auto& e = tcp ? events_.tcpProcessed : events_.mcProcessed;
    if (e)
        e->Set();
}

std::uint32_t XPortGetLocalIpAddress() {
    std::uint32_t address = 0;
    return mux::MuxFailed(MuxClientGetLocalIpAddress(&address)) ? 0 : address;
}
