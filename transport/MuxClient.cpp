// The process-wide state of the multiplexer client: one connection to Travex, shared by
// every registration this process makes (normally one), and per registration its
// guards, events and receive mappings.
#include "transport/MuxClient.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <shared_mutex>

#include "multiplexer/TravexEndpoint.h"
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
    if (p.registrations.empty()) {
        p.travex.reset();
        p.peers.clear();
        p.tcpProcessed.reset();
        for (SendMappings* m : {&p.tcpSend, &p.mcSend}) {
            std::lock_guard kept(m->lock);
            m->idle.clear();
        }
    }
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
    std::string error;
    std::shared_ptr<TravexConnection> travex = AttachTravex(error);
    if (!travex) {
        std::fprintf(stderr, "transport: %s\n", error.c_str());
        return E_FAIL;
    }
    XPortStatus status = travex->startup(appId, wire, mcQueueSize, tcpQueueSize);
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
    // Without them (a Travex that makes none) every fetch goes through Travex.
    r->tcpQueue.Open(MuxKind::Tcp, *appId);
    r->mcQueue.Open(MuxKind::Multicast, *appId);
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
    Guard* order[] = {&r->mc.guard, &r->tcp.guard, &r->tcpSendGuard, &r->mcSendGuard};
    const int waits[] = {5000, 5000, 20000, 20000};
    int taken = 0;
    while (taken < 4 && order[taken]->try_lock_for(std::chrono::milliseconds(waits[taken])))
        ++taken;
    if (taken < 4) {
        while (taken > 0) order[--taken]->unlock();
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
    for (auto* m : order) m->unlock();
    DetachTravex();
    return MUX_S_OK;
}
