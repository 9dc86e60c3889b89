// The engine behind ITravexInterface: the client table, the multicast manager and the
// TCP manager. It starts with the first client and stops when the last one is gone.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "multiplexer/MuxClientTable.h"
#include "multiplexer/MuxMulticastManager.h"
#include "multiplexer/MuxNamedObjects.h"
#include "multiplexer/MuxTcpManager.h"
#include "multiplexer/TravexInterface.h"

namespace mux {

struct MuxEngineOptions {
    MuxNamedObjects* objects = nullptr;
    // The selected card's IPv4 address in host order, 0 when there is none; asked
    // each time the engine starts.
    std::function<std::uint32_t()> localAddress;
    // False: no client uses the wire (as when the socket layer cannot start).
    bool network = true;
};

class MuxEngine final : public ITravexInterface {
public:
    explicit MuxEngine(MuxEngineOptions options);
    ~MuxEngine() override;

    MuxStatus TCPAllocatePoint(std::uint8_t appid, std::uint16_t ipport,
                               std::uint32_t* pn2conn) override;
    MuxStatus startup(std::uint8_t* appid, std::int32_t use_wire, std::int32_t nmcqsize,
                      std::int32_t ntcpqsize) override;
    MuxStatus shutdown(std::uint8_t appid) override;
    MuxStatus TCPSendBuffer(std::uint32_t n2conn, std::uint32_t nTimeout, std::uint32_t nDataLen,
                            std::string_view pvBuffName) override;
    MuxStatus TCPOpen(std::uint8_t srcappid, std::uint32_t ipaddr, std::uint16_t ipport,
                      std::uint8_t destappid, std::uint32_t timeout,
                      std::uint32_t* pn2conn) override;
    MuxStatus TCPDeallocatePoint(std::uint8_t appid, std::uint32_t n2conn) override;
    MuxStatus TCPGetPort(std::uint8_t appid, std::uint32_t n2conn, std::uint16_t* piport) override;
    MuxStatus SubscribeToMulticast(std::uint8_t appid, std::uint32_t ipaddr,
                                   std::uint16_t iport) override;
    MuxStatus UnsubscribeFromMulticast(std::uint8_t appid, std::uint32_t ipaddr,
                                       std::uint16_t iport) override;
    MuxStatus TCPGetPacket(std::uint8_t appid, std::uint32_t* pLen, std::uint32_t* pNextLen,
                           std::string_view pvBuffName) override;
    MuxStatus MulticastSendTo(std::uint8_t appid, std::uint32_t ipaddr, std::uint16_t iport,
                              std::uint32_t nLen, std::string_view pvBuffName) override;
    MuxStatus MulticastGetPacket(std::uint8_t appid, std::uint32_t* pLen, std::uint32_t* pNextLen,
                                 std::string_view pvBuffName) override;
    MuxStatus GetLocalIPAddress(std::uint32_t* pipaddr) override;
    MuxStatus Spew(std::uint32_t ipaddr, std::uint16_t iport) override;

    // TCPSendBuffer when it needs no waiting (see MuxTcpManager::TrySend): true with
    // *status when done, false when the call must be made where it may wait.
    bool TrySendBuffer(std::uint32_t n2conn, std::uint32_t nDataLen, std::string_view pvBuffName,
                       MuxStatus* status);

    bool Started() const;
    int ClientCount() const { return clients_.Count(); }
    const MuxClientTable::DropCounts& Drops() const { return clients_.Drops(); }
    // For tests: the managers of the running engine (null while stopped).
    std::shared_ptr<MuxMulticastManager> Multicast() const;
    std::shared_ptr<MuxTcpManager> Tcp() const;

private:
    MuxStatus StartLocked();
    void StopLocked();
    std::uint8_t NextAutoIdLocked();
    // Copies `length` bytes out of a client's mapping; false when it cannot be read.
    bool ReadMapping(std::string_view name, std::uint32_t length, std::vector<std::uint8_t>& out);

    MuxEngineOptions options_;
    MuxClientTable clients_;
    std::mutex lifeLock_;  // startup and shutdown, one at a time
    std::uint8_t nextAutoId_ = 128;
    mutable std::mutex managersLock_;
    bool started_ = false;
    bool wire_ = false;
    std::shared_ptr<MuxMulticastManager> multicast_;
    std::shared_ptr<MuxTcpManager> tcp_;
};

}  // namespace mux
