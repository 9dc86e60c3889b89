// The remote-call library's link over the transport XPort: each connection is a CXConn of
// the protocol's TCP channel, made without a notify thread (the proxy and the dispatcher
// poll their connections), and listening is the channel's listening point.
//
//   CXPort port;  std::uint8_t appId = 0;  port.open(&appId, 1, 6107, 100, 100);
//   XPortRccTransport link(port);
//   CIOMProxy proxy(&link);  StubDispatcher dispatcher(&link, 36507, 9, 50);
#pragma once

#include <list>
#include <memory>
#include <mutex>

#include "rcc/RccLink.h"
#include "transport/CXPort.h"

class XPortRccTransport : public RccTransport {
public:
    // The port must outlive this object and every connection and listener it made.
    explicit XPortRccTransport(CXPort& port);
    ~XPortRccTransport() override;

    uint8_t appId() const override { return port_.getAppId(); }
    uint32_t localAddress() const override;
    std::unique_ptr<RccConnection> createConnection(uint8_t protocolId,
                                                    const RccChannelSettings& settings) override;
    std::unique_ptr<RccListener> listen(uint8_t protocolId, uint16_t port,
                                        const RccChannelSettings& settings,
                                        Acceptor acceptor) override;

    class AcceptorSlot;

private:
    CXProtocol* channel(uint8_t protocolId, const RccChannelSettings& settings);

    CXPort& port_;
    std::mutex slotsLock_;
    // The acceptors handed to channels. The channel may still be calling one when its
    // listener goes, so each stays (switched off) until the link goes.
    std::list<std::unique_ptr<AcceptorSlot>> slots_;
};
