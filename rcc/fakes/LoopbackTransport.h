// An in-process stand-in for the transport: endpoints on one LoopbackNetwork reach each
// other's listeners by address and port, and each connection carries whole PDUs to its
// peer. Connecting, accepting and delivering happen on the caller's thread.
//
//   LoopbackNetwork net;
//   LoopbackTransport server(net, 0x0A000001, 5), client(net, 0x0A000002, 9);
//   StubDispatcher dispatcher(&server, 36507, 9, 50);
//   CIOMProxy proxy(&client);  proxy.connect(0x0A000001, 5, 36507);
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "rcc/RccLink.h"

class LoopbackNetwork {
public:
    struct Listener;
    std::mutex lock;
    std::map<std::pair<uint32_t, uint16_t>, Listener*> listeners;
};

class LoopbackTransport : public RccTransport {
public:
    LoopbackTransport(LoopbackNetwork& network, uint32_t address, uint8_t appId)
        : network_(network), address_(address), appId_(appId) {}

    uint8_t appId() const override { return appId_; }
    uint32_t localAddress() const override { return address_; }
    std::unique_ptr<RccConnection> createConnection(uint8_t protocolId,
                                                    const RccChannelSettings& settings) override;
    std::unique_ptr<RccListener> listen(uint8_t protocolId, uint16_t port,
                                        const RccChannelSettings& settings,
                                        Acceptor acceptor) override;

    // The PDUs every connection of this endpoint sent, in order.
    std::vector<std::vector<uint8_t>> sent() const;

private:
    friend class LoopbackConnection;
    LoopbackNetwork& network_;
    uint32_t address_;
    uint8_t appId_;
    mutable std::mutex sentLock_;
    std::vector<std::vector<uint8_t>> sent_;
};
