// The process-wide state of the multiplexer client: one connection to Travex, shared by
// every registration this process makes (normally one), and per registration its
// guards, events and receive mappings.
#include "transport/MuxClient.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <shared_mutex>

#include "multiplexer/TravexEndpoint.h"
#include "os/Clock.h"
#include "os/NamedMutex.h"
#include "transport/MuxClientReceive.h"
#include "transport/TravexConnection.h"

using namespace mux;

namespace xport::detail {

MuxClientProcess& Process() {
    static MuxClientProcess process;
    return process;
}

std::shared_ptr<MuxClientRegistration> Registration(std::uint8_t appId) {
    MuxClientProcess& p = Process();
    std::lock_guard g(p.lock);
    auto it = p.registrations.find(appId);
    return it == p.registrations.end() ? nullptr : it->second;
}

std::shared_ptr<TravexConnection> Connection() {
    MuxClientProcess& p = Process();
    std::lock_guard g(p.lock);
    return p.travex;
}

}  // namespace xport::detail

namespace {

using namespace xport;
using namespace xport::detail;

std::shared_ptr<XPortSignal> OpenSignal(const std::string& name) {
    return OpenMuxNamedEvent(name);
}

bool CreateGuard(os::NamedMutex& m, const std::string& name) {
    return os::IsOpen(m.Create(MuxObjectName(name)));
}

XPortStatus CreateGuards(MuxClientRegistration& r, const std::uint8_t* appIdAddress) {
    char name[96];
    const long clock = static_cast<long>(os::TickCount());
    std::snprintf(name, sizeof name, "%s%ld", "MulticastTravexClientPacketLenGuard", clock);
    bool mcLen = CreateGuard(r.mc.guard, name);
    std::snprintf(name, sizeof name, "%s%ld%d", "MulticastTravexSendGuard", clock,
                  static_cast<int>(reinterpret_cast<std::uintptr_t>(appIdAddress)));
    if (!mcLen || !CreateGuard(r.mcSendGuard, name))
        return MUX_E_CLIENT_MUTEX_MC;
    std::snprintf(name, sizeof name, "%s%ld", "TCPTravexClientPacketLenGuard", clock);
    if (!CreateGuard(r.tcp.guard, name))
        return MUX_E_CLIENT_MUTEX_TCP_LEN;
    std::snprintf(name, sizeof name, "%s%ld", "TCPTravexClientPacketSendGuard", clock);
    if (!CreateGuard(r.tcpSendGuard, name))
        return MUX_E_CLIENT_MUTEX_TCP_SEND;
    return MUX_S_OK;
}

std::shared_ptr<TravexConnection> AttachTravex(std::string& error) {
    MuxClientProcess& p = Process();
    std::lock_guard g(p.lock);
    if (!p.travex || !p.travex->Alive()) {
        TravexConnection::Options options;
        options.program = p.program;
        p.travex = TravexConnection::Connect(options, error);
    }
    return p.travex;
}

// Lets go of Travex when no registration is left.
void DetachTravex() {
    MuxClientProcess& p = Process();
    std::lock_guard g(p.lock);
    if (p.registrations.empty())
        p.travex.reset();
}

XPortStatus OpenEvents(std::uint8_t id, MuxClientRegistration& r, XPortEvents* events) {
    r.events.tcpArrived = OpenSignal("TCPPacketArrived" + std::to_string(id));
    r.events.mcArrived = OpenSignal("MCPacketArrived" + std::to_string(id));
    r.events.tcpProcessed = OpenSignal("TravexTCPPacketProcessed");
    r.events.mcProcessed = OpenSignal("TravexMCPacketProcessed");
    if (!r.events.tcpArrived || !r.events.mcArrived || !r.events.tcpProcessed ||
        !r.events.mcProcessed)
        return E_FAIL;
    if (events)
        *events = r.events;
    return MUX_S_OK;
}

}  // namespace

XPortStatus MuxClientOpen(std::uint8_t* appId, int wire, int mcQueueSize, int tcpQueueSize,
                          XPortEvents* events) {
    auto r = std::make_shared<MuxClientRegistration>();
    XPortStatus status = CreateGuards(*r, appId);
    if (MuxFailed(status))
        return status;
    std::string error;
    std::shared_ptr<TravexConnection> travex = AttachTravex(error);
    if (!travex) {
        std::fprintf(stderr, "transport: %s\n", error.c_str());
        return E_FAIL;
    }
    status = travex->startup(appId, wire, mcQueueSize, tcpQueueSize);
    if (MuxFailed(status)) {
        DetachTravex();
        return status;
    }
    if (MuxFailed(OpenEvents(*appId, *r, events))) {
        travex->shutdown(*appId);
        DetachTravex();
        return E_FAIL;
    }
    r->appId = *appId;
    {
        MuxClientProcess& p = Process();
        std::lock_guard g(p.lock);
        p.registrations[*appId] = r;
    }
    return status;
}

XPortStatus MuxClientClose(std::uint8_t appId) {
    std::shared_ptr<MuxClientRegistration> r = Registration(appId);
    if (!r)
        return MUX_S_OK;
    // No receive may be under way when the mappings go.
    os::NamedMutex* order[] = {&r->mc.guard, &r->tcp.guard, &r->tcpSendGuard, &r->mcSendGuard};
    const std::uint32_t waits[] = {5000, 5000, 20000, 20000};
    int taken = 0;
    for (; taken < 4; ++taken) {
        os::LockResult l = order[taken]->Lock(waits[taken]);
        if (l != os::LockResult::Acquired && l != os::LockResult::Abandoned)
            break;
    }
    if (taken < 4) {
        while (taken > 0) order[--taken]->Unlock();
        return E_FAIL;
    }
    if (auto travex = Connection())
        travex->shutdown(appId);
    r->tcp.Forget();
    r->mc.Forget();
    {
        MuxClientProcess& p = Process();
        std::lock_guard g(p.lock);
        p.registrations.erase(appId);
    }
    for (auto* m : order) m->Unlock();
    DetachTravex();
    return MUX_S_OK;
}
