// The multiplexer client's calls: each reaches Travex through the process's connection,
// or fails with its own code when there is none.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

#include "multiplexer/TravexEndpoint.h"
#include "os/SharedMemory.h"
#include "transport/MuxClient.h"
#include "transport/MuxClientReceive.h"

using namespace mux;
using namespace xport;
using namespace xport::detail;

namespace {

constexpr std::size_t kSendMappingMinimum = 4096;  // a page: small messages share one size
constexpr std::size_t kSendMappingsKept = 4;

// The next value of one of the process's send counters; it names a new send mapping.
long NextSendCount(long MuxClientProcess::*counter) {
    MuxClientProcess& p = Process();
    std::lock_guard g(p.lock);
    return ++(p.*counter);
}

// An idle send mapping of at least `total` bytes, or a new one named by `newName`.
std::unique_ptr<SendMappings::Mapping> TakeSendMapping(
    SendMappings& kept, std::size_t total, const std::function<std::string()>& newName) {
    std::unique_ptr<SendMappings::Mapping> m;
    {
        std::lock_guard g(kept.lock);
        if (!kept.idle.empty()) {
            m = std::move(kept.idle.back());
            kept.idle.pop_back();
        }
    }
    if (m && m->memory.Size() >= total)
        return m;
    m = std::make_unique<SendMappings::Mapping>();
    m->name = newName();
    if (m->memory.Create(MuxObjectName(m->name), std::max(total, kSendMappingMinimum)) !=
        os::OpenResult::Created)
        return nullptr;
    return m;
}

void GiveBackSendMapping(SendMappings& kept, std::unique_ptr<SendMappings::Mapping> m) {
    std::lock_guard g(kept.lock);
    if (kept.idle.size() < kSendMappingsKept)
        kept.idle.push_back(std::move(m));
}

// Copies the chain into a send mapping, calls Travex with the mapping's name and the
// chain's length and keeps the mapping for the next send: Travex has copied the bytes
// by the time the call returns.
template <typename Call>
XPortStatus SendThroughMapping(SendMappings& kept, const std::function<std::string()>& newName,
                               const XPortBuffer* chain, Call call) {
    std::uint64_t total = XPortChainLength(chain);
    if (total == 0 || total > 0xFFFFFFFFu)
        return MUX_E_MC_SEND;
    auto m = TakeSendMapping(kept, static_cast<std::size_t>(total), newName);
    if (!m)
        return MUX_E_MC_SEND;
    auto* out = static_cast<std::uint8_t*>(m->memory.Data());
    for (const XPortBuffer* b = chain; b != nullptr; b = b->next) {
        if (b->length == 0)
            continue;
        std::memcpy(out, b->data, b->length);
        out += b->length;
    }
    XPortStatus s = call(static_cast<std::uint32_t>(total), m->name);
    GiveBackSendMapping(kept, std::move(m));
    return s;
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
    if (auto sent = SendDirect(handle, timeoutMs, chain))
        return *sent;
    auto newName = [handle] {
        char name[64];
        std::snprintf(name, sizeof name, "TCPSend%lx%ld", static_cast<unsigned long>(handle),
                      NextSendCount(&MuxClientProcess::tcpSendCounter));
        return std::string(name);
    };
    return SendThroughMapping(Process().tcpSend, newName, chain,
                              [&](std::uint32_t len, const std::string& n) {
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
    auto newName = [appId] {
        char name[64];
        std::snprintf(name, sizeof name, "MCSend%d%ld", appId,
                      NextSendCount(&MuxClientProcess::mcSendCounter));
        return std::string(name);
    };
    return SendThroughMapping(Process().mcSend, newName, chain,
                              [&](std::uint32_t len, const std::string& n) {
                                  return t->MulticastSendTo(appId, address, port, len, n);
                              });
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
