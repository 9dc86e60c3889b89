#include "transport/CXMcConn.h"

#include "transport/CXPort.h"
#include "transport/CXProtocol.h"

CXMcConn::CXMcConn(CXProtocol& channel, std::uint32_t queueLimit)
    : CXConn(channel, queueLimit, true) {
    setState(0);
}

CXMcConn::~CXMcConn() {
    std::lock_guard g(lock_);
    for (const auto& [group, count] : joins_)
        channel().port().unsubscribe(group.first, group.second);
    joins_.clear();
}

std::pair<std::uint32_t, std::uint16_t> CXMcConn::Resolve(std::uint32_t address,
                                                          std::uint16_t port) {
    return {address != 0 ? address : getRemoteAddress(), port != 0 ? port : getRemotePort()};
}

bool CXMcConn::join(std::uint32_t address, std::uint16_t port) {
    auto key = Resolve(address, port);
    {
        std::lock_guard g(lock_);
        auto it = joins_.find(key);
        if (it == joins_.end()) {
            if (mux::MuxFailed(channel().port().subscribe(key.first, key.second))) {
                it = joins_.end();
            } else {
                joins_[key] = 1;
                setState(getState() + 1);
                return true;
            }
        } else {
            ++it->second;
            setState(getState() + 1);
            return true;
        }
    }
    notifyDisconnected();
    return false;
}

bool CXMcConn::leave(std::uint32_t address, std::uint16_t port) {
    auto key = Resolve(address, port);
    std::lock_guard g(lock_);
    auto it = joins_.find(key);
    if (it == joins_.end())
        return false;
    if (--it->second == 0) {
        joins_.erase(it);
        channel().port().unsubscribe(key.first, key.second);
    }
    setState(getState() - 1);
    return true;
}

XPortStatus CXMcConn::send(std::uint32_t address, std::uint16_t port, const XPortBuffer* chain) {
    auto to = Resolve(address, port);
    return channel().port().multicastSend(to.first, to.second, chain);
}

bool CXMcConn::isSubscribed(std::uint32_t group, std::uint16_t port) {
    auto key = Resolve(group, port);
    std::lock_guard g(lock_);
    return joins_.count(key) > 0;
}
