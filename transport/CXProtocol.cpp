#include "transport/CXProtocol.h"

#include <algorithm>
#include <string>

#include "os/Thread.h"
#include "transport/CXPort.h"

CXProtocol::CXProtocol(CXPort& port, std::uint8_t protocolId, bool noNotifyThread,
                       const CXChannelSettings& settings)
    : port_(port), protocolId_(protocolId), settings_(settings), noNotifyThread_(noNotifyThread) {}

CXProtocol::~CXProtocol() {
    shutdownChannel();
}

bool CXProtocol::start() {
    if (noNotifyThread_)
        return true;
    try {
        notifyThread_ = std::thread([this] { notifyLoop(); });
    } catch (const std::system_error&) {
        return false;
    }
    started_.Wait(os::kInfinite);
    return true;
}

void CXProtocol::shutdownChannel() {
    closing_ = true;
    notifyEvent_.Set();
    if (notifyThread_.joinable())
        notifyThread_.join();
    std::vector<std::unique_ptr<CXConn>> gone;
    {
        std::unique_lock g(listLock_);
        gone.swap(connections_);
    }
}

std::uint16_t CXProtocol::getLocalPort() {
    return port_.getPort();
}
std::uint32_t CXProtocol::getLocalAddress() {
    return port_.getLocalAddress();
}

void CXProtocol::tick() {}

XPortStatus CXProtocol::multicastSend(std::uint32_t address, std::uint16_t port,
                                      const XPortBuffer* chain) {
    return port_.multicastSend(address, port, chain);
}

XPortStatus CXProtocol::tcpSend(std::uint32_t handle, std::uint32_t timeoutMs,
                                const XPortBuffer* chain) {
    return port_.tcpSend(handle, timeoutMs, chain);
}

XPortStatus CXProtocol::subscribe(std::uint32_t address, std::uint16_t port) {
    return port_.subscribe(address, port);
}

XPortStatus CXProtocol::unsubscribe(std::uint32_t address, std::uint16_t port) {
    return port_.unsubscribe(address, port);
}

void CXProtocol::destroyConnection(CXConn* connection) {
    if (connection != nullptr)
        connection->markReleased();
}

XPortStatus CXProtocol::setListenPort(std::uint16_t, CXAcceptor*, void*, std::uint32_t) {
    return mux::E_FAIL;
}

CXConn* CXProtocol::adopt(std::unique_ptr<CXConn> connection) {
    CXConn* raw = connection.get();
    std::unique_lock g(listLock_);
    connections_.push_back(std::move(connection));
    return raw;
}

void CXProtocol::deleteReleasedConnections() {
    std::vector<std::unique_ptr<CXConn>> gone;
    {
        std::unique_lock g(listLock_);
        auto keep = std::stable_partition(connections_.begin(), connections_.end(),
                                          [](const auto& c) { return !c->isReleased(); });
        std::move(keep, connections_.end(), std::back_inserter(gone));
        connections_.erase(keep, connections_.end());
    }
}  // deleted outside the lock: a TCP connection closes its stream as it goes

void CXProtocol::notifyLoop() {
    os::SetCurrentThreadName("XPortNotifyProt" + std::to_string(protocolId_));
    started_.Set();
    while (!closing_) {
        bool more = false;
        {
            std::shared_lock g(listLock_);
            for (auto& c : connections_) {
                if (c->isReleased())
                    continue;
                bool both = c->deliver() && c->deliver();
                more = more || (both && !c->queueEmpty());
            }
        }
        // Packets left over are handed on at once; otherwise wait for an arrival.
        if (!more)
            notifyEvent_.Wait(10);
        notifyEvent_.Reset();
    }
}
