// Node status over the transport port: the multicast channel of protocol 8 and one
// connection of it, polled by the engine's work thread (no notify thread).
#pragma once

#include "nodestatus/NS2Transport.h"

class CXConn;
class CXPort;
class CXProtocol;

class XPortNS2Transport : public NS2Transport {
public:
    explicit XPortNS2Transport(CXPort& port) : port_(port) {}
    ~XPortNS2Transport() override { Detach(); }

    bool Attach(uint32_t queueLimit, os::Event* arrival) override;
    void Detach() override;
    uint8_t AppId() const override;
    uint32_t LocalAddress() const override;
    bool Join(uint32_t group, uint16_t port) override;
    bool Leave(uint32_t group, uint16_t port) override;
    bool Send(uint32_t address, uint16_t port, std::span<const uint8_t> data) override;
    bool Receive(uint32_t& address, uint16_t& port, std::span<uint8_t> buffer,
                 size_t& length) override;

private:
    CXPort& port_;
    CXProtocol* channel_ = nullptr;
    CXConn* connection_ = nullptr;
};
