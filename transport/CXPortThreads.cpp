// The port's four threads. Each ends when it sees the port closed.
#include <optional>

#include "os/Clock.h"
#include "os/Thread.h"
#include "os/Wait.h"
#include "transport/CXPort.h"

namespace {
constexpr int kPerRound = 10;
// How long a refused packet waits before it is offered again.
constexpr std::uint32_t kRetryMs = 10;
}  // namespace

// Travex queues an entry first and sets the arrival event after it; the event is reset
// here, after the wait and before any fetch. An entry queued before the reset is found by
// that fetch, and the set that follows an entry queued after it leaves the event set for
// the next wait: no arrival is slept through. Close sets the events and `closing_`.
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

// Whether to fetch after a wait: the arrival event was set. A back end without one
// never has anything to fetch, so its threads wait only for the close. The wait has no
// end unless a refused packet is held for another offer.
bool CXPort::arrived(const std::shared_ptr<XPortSignal>& event, bool holding) {
    return waitFor(event, holding ? kRetryMs : os::kInfinite);
}

void CXPort::tcpReceiveLoop() {
    os::SetCurrentThreadName("XPortTcpRecv");
    std::optional<XPortPacket> held;  // refused for now by a full connection queue
    bool fetch = true;                // the first round asks
    while (!closed_) {
        // A held packet is offered again every round; new ones are fetched only when
        // Travex says something came.
        if (!held && !fetch) {
            fetch = arrived(events_.tcpArrived, false);
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
        fetch = taken < kPerRound || !more ? arrived(events_.tcpArrived, held.has_value()) : true;
    }
}

void CXPort::multicastReceiveLoop() {
    os::SetCurrentThreadName("XPortMcRecv");
    bool fetch = true;  // the first round asks
    while (!closed_) {
        if (!fetch) {
            fetch = arrived(events_.mcArrived, false);
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
        fetch = taken < kPerRound || !more ? arrived(events_.mcArrived, false) : true;
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
