// The multiplexer client's calls: each reaches Travex through the process's connection,
// or fails with its own code when there is none.
#include <cstdio>
#include <cstring>

#include "multiplexer/TravexEndpoint.h"
#include "os/SharedMemory.h"
#include "transport/MuxClient.h"
#include "transport/MuxClientReceive.h"

using namespace mux;
using namespace xport;
using namespace xport::detail;

namespace {

// Copies the chain into a fresh mapping of exactly its length, calls Travex with the
// mapping's name and closes it after the call: Travex has copied the bytes by then.
template <typename Call>
XPortStatus SendThroughMapping(const std::string& name, const XPortBuffer* chain, Call call) {
    std::uint64_t total = XPortChainLength(chain);
    if (total == 0 || total > 0xFFFFFFFFu)
        return MUX_E_MC_SEND;
    os::SharedMemory m;
    if (m.Create(MuxObjectName(name), static_cast<std::size_t>(total)) != os::OpenResult::Created)
        return MUX_E_MC_SEND;
    auto* out = static_cast<std::uint8_t*>(m.Data());
    for (const XPortBuffer* b = chain; b != nullptr; b = b->next) {
        if (b->length == 0)
            continue;
        std::memcpy(out, b->data, b->length);
        out += b->length;
    }
    return call(static_cast<std::uint32_t>(total), name);
}

// The next value of one of the process's send counters; it names the send's mapping.
long NextSendCount(long MuxClientProcess::*counter) {
    MuxClientProcess& p = Process();
    std::lock_guard g(p.lock);
    return ++(p.*counter);
}

}  // namespace

XPortStatus MuxClientSubscribe(std::uint8_t appId, std::uint32_t address, std::uint16_t port) {
    auto t = Connection();
    return t ? t->SubscribeToMulticast(appId, address, port) : MUX_E_MC_JOIN;
}

XPortStatus MuxClientUnsubscribe(std::uint8_t appId, std::uint32_t address, std::uint16_t port) {
    auto t = Connection();
    return t ? t->UnsubscribeFromMulticast(appId, address, port) : MUX_E_MC_UNSUBSCRIBE;
}

XPortStatus MuxClientAllocatePoint(std::uint8_t appId, std::uint16_t port, std::uint32_t* handle) {
    auto t = Connection();
    return t ? t->TCPAllocatePoint(appId, port, handle) : MUX_E_TCP_POINT;
}

XPortStatus MuxClientDeallocatePoint(std::uint8_t appId, std::uint32_t handle) {
    auto t = Connection();
    return t ? t->TCPDeallocatePoint(appId, handle) : MUX_E_TCP_CLOSE;
}

XPortStatus MuxClientGetPort(std::uint8_t appId, std::uint32_t handle, std::uint16_t* port) {
    auto t = Connection();
    return t ? t->TCPGetPort(appId, handle, port) : E_FAIL;
}

XPortStatus MuxClientTcpOpen(std::uint8_t appId, std::uint32_t address, std::uint16_t port,
                             std::uint8_t remoteAppId, std::uint32_t timeoutMs,
                             std::uint32_t* handle) {
    auto t = Connection();
    return t ? t->TCPOpen(appId, address, port, remoteAppId, timeoutMs, handle) : MUX_E_TCP_GETPORT;
}

XPortStatus MuxClientTcpSend(std::uint32_t handle, std::uint32_t timeoutMs,
                             const XPortBuffer* chain) {
    auto t = Connection();
    if (!t)
        return MUX_E_MC_SEND;
    long counter = NextSendCount(&MuxClientProcess::tcpSendCounter);
    char name[64];
    std::snprintf(name, sizeof name, "TCPSend%lx%ld", static_cast<unsigned long>(handle), counter);
    return SendThroughMapping(name, chain, [&](std::uint32_t len, const std::string& n) {
        return t->TCPSendBuffer(handle, timeoutMs, len, n);
    });
}

XPortStatus MuxClientMulticastSend(std::uint8_t appId, std::uint32_t address, std::uint16_t port,
                                   const XPortBuffer* chain) {
    auto t = Connection();
    auto r = Registration(appId);
    if (!t || !r)
        return MUX_E_MC_SEND;
    std::unique_lock guard(r->mcSendGuard, std::chrono::milliseconds(5000));
    if (!guard.owns_lock())
        return MUX_E_MC_SEND;
    long counter = NextSendCount(&MuxClientProcess::mcSendCounter);
    char name[64];
    std::snprintf(name, sizeof name, "MCSend%d%ld", appId, counter);
    XPortStatus s = SendThroughMapping(name, chain, [&](std::uint32_t len, const std::string& n) {
        return t->MulticastSendTo(appId, address, port, len, n);
    });
    return s;
}

XPortStatus MuxClientTcpGetPacket(std::uint8_t appId, XPortPacket& packet, bool* more) {
    auto t = Connection();
    auto r = Registration(appId);
    return t && r ? FetchEntry(MuxKind::Tcp, *r, *t, packet, more) : MUX_E_TCP_COPY;
}

XPortStatus MuxClientMulticastGetPacket(std::uint8_t appId, XPortPacket& packet, bool* more) {
    auto t = Connection();
    auto r = Registration(appId);
    return t && r ? FetchEntry(MuxKind::Multicast, *r, *t, packet, more) : MUX_E_MC_COPY;
}

XPortStatus MuxClientGetLocalIpAddress(std::uint32_t* address) {
    auto t = Connection();
    return t ? t->GetLocalIPAddress(address) : MUX_E_NO_LOCAL_IP;
}
