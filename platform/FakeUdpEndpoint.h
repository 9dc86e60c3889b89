// A datagram endpoint for tests: what is queued in `incoming` is received, what is
// sent is recorded.
//
//   auto fake = std::make_unique<FakeUdpEndpoint>(0xC6120005);
//   FakeUdpEndpoint& net = *fake;  CNtpEngine engine(clock, std::move(fake));
#pragma once

#include <algorithm>
#include <cstring>
#include <deque>
#include <vector>

#include "platform/CUdpSocket.h"

class FakeUdpEndpoint : public UdpEndpoint {
public:
    struct Datagram {
        uint32_t address = 0;
        uint16_t port = 0;
        std::vector<uint8_t> bytes;
    };

    explicit FakeUdpEndpoint(uint32_t local) : local_(local) {}

    UdpStatus Open(uint16_t port) override {
        port_ = port;
        return UDPSOCK_S_OK;
    }
    uint32_t GetLocalAddress() override { return local_; }
    uint16_t GetPort() override { return port_; }
    UdpStatus SendTo(uint32_t address, const uint8_t* data, uint32_t length,
                     uint16_t port) override {
        if (failSends)
            return UDPSOCK_E_NO_SOCKET;
        sent.push_back({address, port != 0 ? port : port_, {data, data + length}});
        return UDPSOCK_S_OK;
    }
    UdpStatus ReceiveFrom(uint32_t* address, uint16_t* port, std::vector<uint8_t>& data) override {
        data.resize(kMaxDatagram);
        uint32_t length = kMaxDatagram;
        UdpStatus s = ReceiveInto(address, port, data.data(), &length);
        data.resize(s == UDPSOCK_S_OK ? length : 0);
        return s;
    }
    UdpStatus ReceiveInto(uint32_t* address, uint16_t* port, uint8_t* buffer,
                          uint32_t* length) override {
        if (incoming.empty())
            return UDPSOCK_E_NOTHING;
        Datagram d = std::move(incoming.front());
        incoming.pop_front();
        *length = std::min<uint32_t>(*length, static_cast<uint32_t>(d.bytes.size()));
        std::memcpy(buffer, d.bytes.data(), *length);
        if (address)
            *address = d.address;
        if (port)
            *port = d.port;
        return UDPSOCK_S_OK;
    }
    UdpStatus JoinGroup(uint32_t group) override {
        groups.push_back(group);
        return UDPSOCK_S_OK;
    }
    UdpStatus LeaveGroup(uint32_t group) override {
        groups.erase(std::remove(groups.begin(), groups.end(), group), groups.end());
        return UDPSOCK_S_OK;
    }
    // Never waits: a test moves time itself.
    bool WaitReadable(int) override { return !incoming.empty(); }
    // Records how long it was asked to wait.
    using UdpEndpoint::ReceiveWaiting;
    UdpStatus ReceiveWaiting(std::span<UdpDatagram> batch, size_t* count, int timeoutMs,
                             std::span<const int> wake) override {
        waits.push_back(timeoutMs);
        return UdpEndpoint::ReceiveWaiting(batch, count, timeoutMs, wake);
    }
    UdpStatus ReserveDatagrams(uint32_t datagrams) override {
        reserved = datagrams;
        return UDPSOCK_S_OK;
    }

    std::deque<Datagram> incoming;
    std::vector<Datagram> sent;
    std::vector<uint32_t> groups;
    std::vector<int> waits;  // milliseconds, one per ReceiveWaiting
    bool failSends = false;
    uint32_t reserved = 0;

private:
    uint32_t local_;
    uint16_t port_ = 0;
};
