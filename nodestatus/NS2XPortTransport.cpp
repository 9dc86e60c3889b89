#include "nodestatus/NS2XPortTransport.h"

#include <algorithm>
#include <limits>

#include "nodestatus/NS2Packet.h"
#include "transport/CXPort.h"

bool NS2XPortTransport::Attach(uint32_t queueLimit, os::Event* arrival) {
    Detach();
    channel_ = port_.createMulticastProtocol(NS2_PROTOCOL_ID, true);
    if (channel_ == nullptr)
        return false;
    connection_ = channel_->createConnection(queueLimit);
    if (connection_ == nullptr) {
        Detach();
        return false;
    }
    connection_->setNotifyEvent(arrival);
    return true;
}

void NS2XPortTransport::Detach() {
    if (connection_ != nullptr) {
        connection_->setNotifyEvent(nullptr);
        channel_->destroyConnection(connection_);
    }
    if (channel_ != nullptr)
        port_.releaseProtocol(channel_);
    connection_ = nullptr;
    channel_ = nullptr;
}

uint8_t NS2XPortTransport::AppId() const {
    return port_.getAppId();
}

uint32_t NS2XPortTransport::LocalAddress() const {
    return port_.getLocalAddress();
}

bool NS2XPortTransport::Join(uint32_t group, uint16_t port) {
    return connection_ != nullptr && connection_->join(group, port);
}

bool NS2XPortTransport::Leave(uint32_t group, uint16_t port) {
    return connection_ != nullptr && connection_->leave(group, port);
}

bool NS2XPortTransport::Send(uint32_t address, uint16_t port, std::span<const uint8_t> data) {
    if (connection_ == nullptr || data.size() > std::numeric_limits<uint32_t>::max())
        return false;
    return !XPortFailed(
        connection_->send(address, port, data.data(), static_cast<uint32_t>(data.size())));
}

bool NS2XPortTransport::Receive(uint32_t& address, uint16_t& port, std::span<uint8_t> buffer,
                                size_t& length) {
    if (connection_ == nullptr)
        return false;
    uint32_t size = static_cast<uint32_t>(
        std::min<size_t>(buffer.size(), std::numeric_limits<uint32_t>::max()));
    if (!connection_->receive(&address, &port, buffer.data(), &size))
        return false;
    length = size;
    return true;
}
