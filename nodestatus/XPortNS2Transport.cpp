#include "nodestatus/XPortNS2Transport.h"

#include "nodestatus/NS2Packet.h"
#include "transport/CXPort.h"

bool XPortNS2Transport::Attach(uint32_t queueLimit, os::Event* arrival) {
    channel_ = port_.createMulticastProtocol(NS2_PROTOCOL_ID, true);
    if (channel_ == nullptr)
        return false;
    connection_ = channel_->createConnection(queueLimit);
    if (connection_ == nullptr) {
        port_.releaseProtocol(channel_);
        channel_ = nullptr;
        return false;
    }
    connection_->setNotifyEvent(arrival);
    return true;
}

void XPortNS2Transport::Detach() {
    if (channel_ == nullptr)
        return;
    connection_->setNotifyEvent(nullptr);
    channel_->destroyConnection(connection_);
    port_.releaseProtocol(channel_);
    connection_ = nullptr;
    channel_ = nullptr;
}

uint8_t XPortNS2Transport::AppId() const {
    return port_.getAppId();
}

uint32_t XPortNS2Transport::LocalAddress() const {
    return channel_ != nullptr ? channel_->getLocalAddress() : port_.getLocalAddress();
}

bool XPortNS2Transport::Join(uint32_t group, uint16_t port) {
    return connection_ != nullptr && connection_->join(group, port);
}

bool XPortNS2Transport::Leave(uint32_t group, uint16_t port) {
    return connection_ != nullptr && connection_->leave(group, port);
}

bool XPortNS2Transport::Send(uint32_t address, uint16_t port, std::span<const uint8_t> data) {
    return connection_ != nullptr &&
           !XPortFailed(
               connection_->send(address, port, data.data(), static_cast<uint32_t>(data.size())));
}

bool XPortNS2Transport::Receive(uint32_t& address, uint16_t& port, std::span<uint8_t> buffer,
                                size_t& length) {
    if (connection_ == nullptr)
        return false;
    while (true) {
        uint32_t size = static_cast<uint32_t>(buffer.size());
        if (connection_->receive(&address, &port, buffer.data(), &size)) {
            length = size;
            return true;
        }
        if (size <= buffer.size())
            return false;  // nothing queued
        // A datagram larger than the buffer stays queued: drop it and look behind it, since
        // no new arrival is signalled for what is already queued.
        std::vector<uint8_t> oversized;
        connection_->receive(&address, &port, oversized);
    }
}
