#include "transport/CXConn.h"

#include <algorithm>
#include <cstring>

#include "transport/CXProtocol.h"

CXConn::CXConn(CXProtocol& owner, std::uint32_t queueLimit, bool dropOldest)
    : owner_(owner), dropOldest_(dropOldest), queueLimit_(queueLimit) {}

CXConn::~CXConn() = default;

void CXConn::setCallback(void* userContext, CXConnCB* callback) {
    std::lock_guard g(callbackLock_);
    userContext_ = userContext;
    callback_ = callback;
}

void CXConn::freeData(XPortPacket& packet) {
    packet.data.clear();
    packet.data.shrink_to_fit();
}

std::uint16_t CXConn::getLocalPort() {
    return owner_.getLocalPort();
}
std::uint32_t CXConn::getLocalAddress() {
    return owner_.getLocalAddress();
}
bool CXConn::isConnected() {
    return state_ == kConnected || state_ == kProbing;
}

int CXConn::onReceive(XPortPacket& packet) {
    return enqueue(std::move(packet)) ? kTaken : kRefused;
}

bool CXConn::deliver() {
    bool handed = false;
    {
        std::lock_guard g(callbackLock_);
        XPortPacket packet;
        if (callback_ != nullptr && !released_ && dequeue(packet)) {
            callback_->onPacket(userContext_, packet);
            handed = true;
        }
    }
    if (handed)
        notifyOwner();
    return handed;
}

void CXConn::setRemoteAddress(std::uint32_t address) {
    remoteAddress_ = address != 0 ? address : owner_.getLocalAddress();
}
std::uint32_t CXConn::getRemoteAddress() {
    return remoteAddress_;
}
void CXConn::setRemotePort(std::uint16_t port) {
    remotePort_ = port != 0 ? port : owner_.getLocalPort();
}
std::uint16_t CXConn::getRemotePort() {
    return remotePort_;
}
void CXConn::setRemoteAppId(std::uint8_t appId) {
    remoteAppId_ = appId;
}
std::uint8_t CXConn::getRemoteAppId() {
    return remoteAppId_;
}
void CXConn::setState(std::uint32_t state) {
    state_ = state;
}
std::uint32_t CXConn::getState() {
    return state_;
}

XPortStatus CXConn::connect(std::uint32_t, std::uint16_t, std::uint8_t) {
    return mux::E_FAIL;
}
XPortStatus CXConn::close() {
    return mux::E_FAIL;
}
XPortStatus CXConn::send(const XPortBuffer*) {
    return mux::E_FAIL;
}
XPortStatus CXConn::send(const std::uint8_t* data, std::uint32_t length) {
    XPortBuffer one{data, length, nullptr};
    return send(&one);
}
void CXConn::tick() {}

bool CXConn::receive(XPortPacket& packet) {
    if (!dequeue(packet))
        return false;
    notifyOwner();
    return true;
}

bool CXConn::receive(std::vector<std::uint8_t>& data) {
    XPortPacket packet;
    if (!receive(packet))
        return false;
    data = std::move(packet.data);
    return true;
}

bool CXConn::join(std::uint32_t, std::uint16_t) {
    return false;
}
bool CXConn::leave(std::uint32_t, std::uint16_t) {
    return false;
}
XPortStatus CXConn::send(std::uint32_t, std::uint16_t, const XPortBuffer*) {
    return mux::E_FAIL;
}
XPortStatus CXConn::send(std::uint32_t address, std::uint16_t port, const std::uint8_t* data,
                         std::uint32_t length) {
    XPortBuffer one{data, length, nullptr};
    return send(address, port, &one);
}

bool CXConn::receive(std::uint32_t* address, std::uint16_t* port, std::vector<std::uint8_t>& data) {
    XPortPacket packet;
    if (!receive(packet))
        return false;
    if (address)
        *address = packet.remoteAddress;
    if (port)
        *port = packet.remotePort;
    data = std::move(packet.data);
    return true;
}

bool CXConn::receive(std::uint32_t* address, std::uint16_t* port, std::uint8_t* buffer,
                     std::uint32_t* length) {
    XPortPacket packet;
    {
        std::lock_guard g(queueLock_);
        if (queue_.empty())
            return false;
        if (queue_.front().length() > *length) {
            *length = queue_.front().length();
            return false;
        }
        packet = std::move(queue_.front());
        queue_.pop_front();
    }
    notifyOwner();
    if (address)
        *address = packet.remoteAddress;
    if (port)
        *port = packet.remotePort;
    *length = packet.length();
    std::memcpy(buffer, packet.data.data(), packet.data.size());
    return true;
}

bool CXConn::isSubscribed(std::uint32_t, std::uint16_t) {
    return false;
}

void CXConn::setNotifyEvent(os::Event* event) {
    notifyEvent_ = event;
}
void CXConn::setProtocolOption(std::uint32_t value) {
    protocolOption_ = value;
}

void CXConn::markReleased() {
    std::lock_guard g(callbackLock_);
    callback_ = nullptr;
    userContext_ = nullptr;
    released_ = true;
}

bool CXConn::queueEmpty() {
    std::lock_guard g(queueLock_);
    return queue_.empty();
}

bool CXConn::enqueue(XPortPacket&& packet) {
    {
        std::lock_guard g(queueLock_);
        if (queueLimit_ != 0 && queue_.size() >= queueLimit_) {
            if (!dropOldest_)
                return false;
            queue_.pop_front();
        }
        queue_.push_back(std::move(packet));
    }
    if (os::Event* e = notifyEvent_)
        e->Set();
    return true;
}

bool CXConn::dequeue(XPortPacket& packet) {
    std::lock_guard g(queueLock_);
    if (queue_.empty())
        return false;
    packet = std::move(queue_.front());
    queue_.pop_front();
    return true;
}

bool CXConn::tellControlEvent(CXKeepAlive::Event event) {
    switch (event) {
        case CXKeepAlive::Event::Connected:
            notifyConnected();
            break;
        case CXKeepAlive::Event::Disconnected:
            notifyDisconnected();
            break;
        case CXKeepAlive::Event::None:
            break;
        case CXKeepAlive::Event::Unknown:
            return false;
    }
    notifyOwner();
    return true;
}

void CXConn::notifyConnected() {
    std::lock_guard g(callbackLock_);
    if (callback_ != nullptr && !released_)
        callback_->onConnected(userContext_);
}

void CXConn::notifyDisconnected() {
    std::lock_guard g(callbackLock_);
    if (callback_ != nullptr && !released_)
        callback_->onDisconnected(userContext_);
}

void CXConn::notifyOwner() {
    owner_.signalProcessed();
}

void CXConn::reset() {
    state_ = kClosed;
    std::lock_guard g(queueLock_);
    queue_.clear();
}
