#include "multiplexer/MuxEngine.h"

#include <cstring>

namespace mux {

MuxEngine::MuxEngine(MuxEngineOptions options)
    : options_(std::move(options)), clients_(*options_.objects) {}

MuxEngine::~MuxEngine() {
    std::lock_guard life(lifeLock_);
    StopLocked();
}

bool MuxEngine::Started() const {
    std::lock_guard lock(managersLock_);
    return started_;
}

std::shared_ptr<MuxMulticastManager> MuxEngine::Multicast() const {
    std::lock_guard lock(managersLock_);
    return multicast_;
}

std::shared_ptr<MuxTcpManager> MuxEngine::Tcp() const {
    std::lock_guard lock(managersLock_);
    return tcp_;
}

MuxStatus MuxEngine::StartLocked() {
    std::uint32_t address = options_.localAddress ? options_.localAddress() : 0;
    bool wire = options_.network && address != 0;
    std::uint32_t reported = address != 0 ? address : 1;
    clients_.SetLocalAddress(reported);
    auto multicast = std::make_shared<MuxMulticastManager>(clients_, reported, wire);
    if (!multicast->Start())
        return MUX_E_START_MC_INIT;
    auto tcp = std::make_shared<MuxTcpManager>(clients_, reported, wire);
    if (!tcp->Start())
        return MUX_E_START_TCP_INIT;
    std::lock_guard lock(managersLock_);
    multicast_ = std::move(multicast);
    tcp_ = std::move(tcp);
    wire_ = wire;
    started_ = true;
    return MUX_S_OK;
}

void MuxEngine::StopLocked() {
    std::shared_ptr<MuxMulticastManager> multicast;
    std::shared_ptr<MuxTcpManager> tcp;
    {
        std::lock_guard lock(managersLock_);
        multicast.swap(multicast_);
        tcp.swap(tcp_);
        started_ = false;
    }
    if (multicast)
        multicast->Stop();
    if (tcp)
        tcp->Stop();
}

std::uint8_t MuxEngine::NextAutoIdLocked() {
    // The counter runs on from 128 and wraps; it never hands out 0 or an id in use.
    for (int tries = 0; tries < 256; ++tries) {
        std::uint8_t id = nextAutoId_++;
        if (id != 0 && !clients_.Known(id))
            return id;
    }
    return 0;
}

MuxStatus MuxEngine::startup(std::uint8_t* appid, std::int32_t use_wire, std::int32_t nmcqsize,
                             std::int32_t ntcpqsize) {
    std::lock_guard life(lifeLock_);
    if (!Started()) {
        MuxStatus s = StartLocked();
        if (MuxFailed(s))
            return s;
    }
    std::uint8_t id = *appid;
    if (id != 0 && clients_.Known(id))
        return MUX_E_APPID_IN_USE;
    if (id == 0)
        id = NextAutoIdLocked();
    MuxStatus s = clients_.Register(id, use_wire == 1 && wire_, nmcqsize, ntcpqsize);
    if (MuxFailed(s)) {
        if (clients_.Count() == 0)
            StopLocked();
        return s;
    }
    *appid = id;
    return 0;
}

// Id 0, or an id that is not registered, releases nothing; the engine stops only once
// no client is left, so a stray call never pulls it from under the others.
MuxStatus MuxEngine::shutdown(std::uint8_t appid) {
    std::lock_guard life(lifeLock_);
    if (appid != 0 && clients_.Known(appid)) {
        if (auto m = Multicast())
            m->ReleaseClient(appid);
        if (auto t = Tcp())
            t->ReleaseClient(appid);
        clients_.Unregister(appid);
        options_.objects->ForgetClosedMappings();
    }
    if (clients_.Count() == 0)
        StopLocked();
    return MUX_S_OK;
}

bool MuxEngine::ReadMapping(std::string_view name, std::uint32_t length,
                            std::vector<std::uint8_t>& out) {
    if (length == 0)
        return false;
    auto mapping = options_.objects->OpenMapping(std::string(name), length);
    if (!mapping)
        return false;
    out.assign(mapping->Bytes().begin(), mapping->Bytes().begin() + length);
    return true;
}

MuxStatus MuxEngine::TCPAllocatePoint(std::uint8_t appid, std::uint16_t ipport,
                                      std::uint32_t* pn2conn) {
    auto tcp = Tcp();
    if (!tcp || !clients_.Known(appid))
        return MUX_E_UNKNOWN_APPID;
    return tcp->AllocatePoint(appid, ipport, clients_.UsesWire(appid), pn2conn);
}

MuxStatus MuxEngine::TCPSendBuffer(std::uint32_t n2conn, std::uint32_t nTimeout,
                                   std::uint32_t nDataLen, std::string_view pvBuffName) {
    auto tcp = Tcp();
    if (!tcp)
        return MUX_E_TCP_GETPORT;
    std::vector<std::uint8_t> data;
    if (!ReadMapping(pvBuffName, nDataLen, data))
        return MUX_E_MC_SEND;
    return tcp->Send(n2conn, nTimeout, data);
}

bool MuxEngine::TrySendBuffer(std::uint32_t n2conn, std::uint32_t nDataLen,
                              std::string_view pvBuffName, MuxStatus* status) {
    auto tcp = Tcp();
    if (!tcp || !MuxLocalTcp::IsPair(n2conn))
        return false;
    std::vector<std::uint8_t> data;
    if (!ReadMapping(pvBuffName, nDataLen, data)) {
        *status = MUX_E_MC_SEND;
        return true;
    }
    std::optional<MuxStatus> done = tcp->TrySend(n2conn, data);
    if (done)
        *status = *done;
    return done.has_value();
}

MuxStatus MuxEngine::TCPOpen(std::uint8_t srcappid, std::uint32_t ipaddr, std::uint16_t ipport,
                             std::uint8_t destappid, std::uint32_t timeout,
                             std::uint32_t* pn2conn) {
    auto tcp = Tcp();
    if (!tcp || !clients_.Known(srcappid))
        return MUX_E_UNKNOWN_APPID;
    return tcp->Open(srcappid, ipaddr, ipport, destappid, timeout, clients_.UsesWire(srcappid),
                     pn2conn);
}

MuxStatus MuxEngine::TCPDeallocatePoint(std::uint8_t appid, std::uint32_t n2conn) {
    auto tcp = Tcp();
    if (!tcp)
        return MUX_E_TCP_CLOSE;
    return tcp->Deallocate(appid, n2conn);
}

MuxStatus MuxEngine::TCPGetPort(std::uint8_t appid, std::uint32_t n2conn, std::uint16_t* piport) {
    auto tcp = Tcp();
    if (!tcp)
        return MUX_E_TCP_GETPORT;
    return tcp->GetPort(appid, n2conn, piport);
}

MuxStatus MuxEngine::SubscribeToMulticast(std::uint8_t appid, std::uint32_t ipaddr,
                                          std::uint16_t iport) {
    auto m = Multicast();
    if (!m || !clients_.Known(appid))
        return MUX_E_UNKNOWN_APPID;
    return m->Subscribe(appid, ipaddr, iport);
}

MuxStatus MuxEngine::UnsubscribeFromMulticast(std::uint8_t appid, std::uint32_t ipaddr,
                                              std::uint16_t iport) {
    auto m = Multicast();
    if (!m)
        return MUX_E_MC_UNSUBSCRIBE;
    return m->Unsubscribe(appid, ipaddr, iport);
}

MuxStatus MuxEngine::TCPGetPacket(std::uint8_t appid, std::uint32_t* pLen, std::uint32_t* pNextLen,
                                  std::string_view pvBuffName) {
    return clients_.Fetch(appid, MuxKind::Tcp, pLen, pNextLen, pvBuffName);
}

MuxStatus MuxEngine::MulticastSendTo(std::uint8_t appid, std::uint32_t ipaddr, std::uint16_t iport,
                                     std::uint32_t nLen, std::string_view pvBuffName) {
    if (nLen > kMuxMaxDatagram)
        return MUX_E_TOO_LONG;
    auto m = Multicast();
    if (!m || !clients_.Known(appid))
        return MUX_E_UNKNOWN_APPID;
    std::vector<std::uint8_t> data;
    if (!ReadMapping(pvBuffName, nLen, data))
        return MUX_E_MC_SEND;
    return m->Send(appid, ipaddr, iport, data, clients_.UsesWire(appid));
}

MuxStatus MuxEngine::MulticastGetPacket(std::uint8_t appid, std::uint32_t* pLen,
                                        std::uint32_t* pNextLen, std::string_view pvBuffName) {
    return clients_.Fetch(appid, MuxKind::Multicast, pLen, pNextLen, pvBuffName);
}

MuxStatus MuxEngine::GetLocalIPAddress(std::uint32_t* pipaddr) {
    std::uint32_t address = options_.localAddress ? options_.localAddress() : 0;
    *pipaddr = address != 0 ? address : 1;
    return MUX_S_OK;
}

MuxStatus MuxEngine::Spew(std::uint32_t, std::uint16_t) {
    return 0;
}

}  // namespace mux
