// A TCP protocol channel: its connections, and optionally a listening point through the
// multiplexer where peers' connect requests arrive and are put to an acceptor.
#pragma once

#include "transport/CXProtocol.h"
#include "transport/CXTcpConn.h"

class CXTcpProtocol final : public CXProtocol {
public:
    static constexpr std::uint16_t kNoListenPort = 0xFFFF;

    CXTcpProtocol(CXPort& port, std::uint8_t protocolId, bool noNotifyThread,
                  const CXChannelSettings& settings);
    // Deletes the connections and closes the listening point.
    ~CXTcpProtocol() override;

    std::uint16_t getLocalPort() override;
    int receive(XPortPacket& packet) override;
    void tick() override;
    void signalProcessed() override;
    CXConn* createConnection(std::uint32_t queueLimit) override;
    XPortStatus setListenPort(std::uint16_t port, CXAcceptor* acceptor, void* context,
                              std::uint32_t queueLimit) override;

private:
    // A connect request: put to the acceptor, answered with type 2 or 3.
    int accept(XPortPacket& request);

    std::mutex listenLock_;
    std::uint16_t listenPort_ = kNoListenPort;
    std::uint32_t pointHandle_ = 0;
    CXAcceptor* acceptor_ = nullptr;
    void* acceptorContext_ = nullptr;
};
