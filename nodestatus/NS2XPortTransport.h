// The node-status engine's transport over an open CXPort: one multicast channel of
// protocol 8 without a notify thread, and one connection on it that the engine reads
// itself. Works over any back end of the port (the multiplexer, the service host's UDP).
//
//   NS2XPortTransport transport(port);   // port.open(...) done
//   engine.CreateWorkThread(&transport);
#pragma once

#include "nodestatus/NS2Transport.h"

class CXConn;
class CXPort;
class CXProtocol;

class NS2XPortTransport : public NS2Transport {
public:
    explicit NS2XPortTransport(CXPort& port) : port_(port) {}
    ~NS2XPortTransport() override { Detach(); }

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
