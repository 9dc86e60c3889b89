// The port's four threads. Each ends when it sees the port closed.
#include <chrono>
#include <optional>
#include <thread>

#include "os/Thread.h"
#include "transport/CXPort.h"

namespace {
constexpr int kPerRound = 10;
constexpr std::uint32_t kArrivalWaitMs = 10;
}  // namespace

bool CXPort::waitFor(const std::shared_ptr<XPortSignal>& event, std::uint32_t ms) {
    if (!event) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return false;
    }
    bool set = event->Wait(ms);
    if (set)
        event->Reset();
    return set;
}

void CXPort::tcpReceiveLoop() {
    os::SetCurrentThreadName("XPortTcpRecv");
    std::optional<XPortPacket> held;  // refused for now by a full connection queue
    while (!closed_) {
        // Without points or connections, fetch only when Travex says something came.
        if (tcpUses_ == 0 && !held && !waitFor(events_.tcpArrived, kArrivalWaitMs))
            continue;
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
        if (taken < kPerRound || !more)
            waitFor(events_.tcpArrived, kArrivalWaitMs);
    }
}

void CXPort::multicastReceiveLoop() {
    os::SetCurrentThreadName("XPortMcRecv");
    while (!closed_) {
        int taken = 0;
        bool more = true;
        for (; taken < kPerRound && more && !closed_; ++taken) {
            XPortPacket packet;
            if (backend_->multicastGetPacket(appId_, packet, more) != mux::MUX_S_OK)
                break;
            route(packet);
        }
        if (taken < kPerRound || !more)
            waitFor(events_.mcArrived, kArrivalWaitMs);
    }
}

void CXPort::everyChannel(std::uint32_t periodMs, void (CXProtocol::*work)()) {
    while (!closed_) {
        // In steps of 10 ms, so that a close is seen soon.
        for (std::uint32_t slept = 0; slept < periodMs && !closed_; slept += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
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
