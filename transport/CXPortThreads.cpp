// The port's four threads. Each ends when it sees the port closed.
#include <optional>

#include "os/Clock.h"
#include "os/Thread.h"
#include "transport/CXPort.h"

namespace {
constexpr int kPerRound = 10;
constexpr std::uint32_t kArrivalWaitMs = 10;
}  // namespace

bool CXPort::waitFor(const std::shared_ptr<XPortSignal>& event, std::uint32_t ms) {
    if (!event) {
        os::WaitEvent(closing_, ms);  // a pause on the process's clock that a close ends
        return false;
    }
    bool set = event->Wait(ms);
    if (set)
        event->Reset();
    return set;
}

// Whether to fetch after a wait: the arrival event was set, or there is no event and
// only asking tells. Travex sets the event with every entry it queues, so without it
// nothing new came and no call is made.
bool CXPort::arrived(const std::shared_ptr<XPortSignal>& event) {
    return waitFor(event, kArrivalWaitMs) || !event;
}

void CXPort::tcpReceiveLoop() {
    os::SetCurrentThreadName("XPortTcpRecv");
    std::optional<XPortPacket> held;  // refused for now by a full connection queue
    bool fetch = true;                // the first round asks
    while (!closed_) {
        // A held packet is offered again every round; new ones are fetched only when
        // Travex says something came.
        if (!held && !fetch) {
            fetch = arrived(events_.tcpArrived);
            continue;
        }
        int taken = 0;
        bool more = true;  // Travex said another packet waits
        for (; taken < kPerRound && more && !closed_; ++taken) {
            if (!held) {
                XPortPacket packet;
                if (backend_->tcpGetPacket(appId_, packet, more) != mux::MUX_S_OK)
                    break;
                held = std::move(packet);
            }
            int r = route(*held);
            if (r == CXConn::kLater)
                break;
            held.reset();
        }
        // A full round leaves more waiting: go on at once.
        fetch = taken < kPerRound || !more ? arrived(events_.tcpArrived) : true;
    }
}

void CXPort::multicastReceiveLoop() {
    os::SetCurrentThreadName("XPortMcRecv");
    bool fetch = true;  // the first round asks
    while (!closed_) {
        if (!fetch) {
            fetch = arrived(events_.mcArrived);
            continue;
        }
        int taken = 0;
        bool more = true;
        for (; taken < kPerRound && more && !closed_; ++taken) {
            XPortPacket packet;
            if (backend_->multicastGetPacket(appId_, packet, more) != mux::MUX_S_OK)
                break;
            route(packet);
        }
        fetch = taken < kPerRound || !more ? arrived(events_.mcArrived) : true;
    }
}

void CXPort::everyChannel(std::uint32_t periodMs, void (CXProtocol::*work)()) {
    while (!closed_) {
        // The period runs on the process's clock; a close ends the wait at once.
        if (os::WaitEvent(closing_, periodMs) == os::WaitResult::Signaled)
            return;
        std::shared_lock g(mapLock_);
        for (auto& [id, entry] : channels_) (entry.channel.get()->*work)();
    }
}

void CXPort::maintenanceLoop() {
    os::SetCurrentThreadName("XPortMaint");
    everyChannel(500, &CXProtocol::deleteReleasedConnections);
}

void CXPort::tickerLoop() {
    os::SetCurrentThreadName("XPortTicker");
    everyChannel(100, &CXProtocol::tick);
}
