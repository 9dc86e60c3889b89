// A back end in memory for transport tests: it records what the transport sends and
// hands out the packets a test queues for it (PushTcp, PushMc), setting the arrival event
// with each as Travex does. The port's waits on these events run on the process's clock,
// so with a FakeClock their time-outs pass only when the test moves the time.
#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "os/Clock.h"
#include "os/Event.h"
#include "platform/XPortHeader.h"
#include "testsupport/Notice.h"
#include "transport/XPortBackend.h"

namespace xport::test {

class FakeSignal : public XPortSignal {
public:
    void Set() override { event_.Set(); }
    void Reset() override { event_.Reset(); }
    bool Wait(std::uint32_t ms) override {
        return os::WaitEvent(event_, ms) == os::WaitResult::Signaled;
    }

private:
    os::Event event_{true, false};
};

class FakeBackend : public XPortBackend {
public:
    struct Sent {
        std::uint32_t handle;
        std::vector<std::uint8_t> bytes;
    };
    std::mutex lock;
    std::vector<Sent> sent;
    std::vector<std::uint32_t> closedHandles;
    std::deque<XPortPacket> tcpIn, mcIn;
    std::multiset<std::pair<std::uint32_t, std::uint16_t>> subscriptions;
    std::uint32_t nextHandle = 0x1100000;
    int tcpFetches = 0;
    ixo::testsupport::Notice fetched;  // after each TCP packet handed out

    XPortEvents events{std::make_shared<FakeSignal>(), std::make_shared<FakeSignal>(),
                       std::make_shared<FakeSignal>(), std::make_shared<FakeSignal>()};

    XPortStatus open(std::uint8_t* appId, int, int, int, XPortEvents* given) override {
        if (*appId == 0)
            *appId = 128;
        if (given != nullptr)
            *given = events;
        return 0;
    }
    // Queues a packet for the port to fetch and tells it so.
    void PushTcp(XPortPacket packet) {
        {
            std::lock_guard g(lock);
            tcpIn.push_back(std::move(packet));
        }
        events.tcpArrived->Set();
    }
    void PushMc(XPortPacket packet) {
        {
            std::lock_guard g(lock);
            mcIn.push_back(std::move(packet));
        }
        events.mcArrived->Set();
    }
    XPortStatus close(std::uint8_t) override { return mux::MUX_S_OK; }
    XPortStatus subscribe(std::uint8_t, std::uint32_t a, std::uint16_t p) override {
        std::lock_guard g(lock);
        subscriptions.insert({a, p});
        return mux::MUX_S_OK;
    }
    XPortStatus unsubscribe(std::uint8_t, std::uint32_t a, std::uint16_t p) override {
        std::lock_guard g(lock);
        auto it = subscriptions.find({a, p});
        if (it == subscriptions.end())
            return mux::MUX_E_MC_UNSUBSCRIBE;
        subscriptions.erase(it);
        return mux::MUX_S_OK;
    }
    XPortStatus allocatePoint(std::uint8_t, std::uint16_t, std::uint32_t* h) override {
        *h = 0x1010000;
        return 0;
    }
    XPortStatus deallocatePoint(std::uint8_t, std::uint32_t h) override {
        std::lock_guard g(lock);
        closedHandles.push_back(h);
        return mux::MUX_S_OK;
    }
    XPortStatus getPort(std::uint8_t, std::uint32_t, std::uint16_t* p) override {
        *p = 5000;
        return 0;
    }
    XPortStatus tcpOpen(std::uint8_t, std::uint32_t, std::uint16_t, std::uint8_t, std::uint32_t,
                        std::uint32_t* h) override {
        std::lock_guard g(lock);
        *h = nextHandle;
        nextHandle += 2;
        return 0;
    }
    XPortStatus tcpSend(std::uint32_t h, std::uint32_t, const XPortBuffer* chain) override {
        std::lock_guard g(lock);
        sent.push_back({h, XPortGather(chain)});
        return mux::MUX_S_OK;
    }
    XPortStatus multicastSend(std::uint8_t, std::uint32_t, std::uint16_t,
                              const XPortBuffer* chain) override {
        std::lock_guard g(lock);
        sent.push_back({0, XPortGather(chain)});
        return mux::MUX_S_OK;
    }
    XPortStatus tcpGetPacket(std::uint8_t, XPortPacket& packet, bool& more) override {
        {
            std::lock_guard g(lock);
            if (tcpIn.empty())
                return mux::MUX_E_QUEUE_EMPTY;
            ++tcpFetches;
            packet = std::move(tcpIn.front());
            tcpIn.pop_front();
            more = !tcpIn.empty();
        }
        fetched.Notify();
        return mux::MUX_S_OK;
    }
    XPortStatus multicastGetPacket(std::uint8_t, XPortPacket& packet, bool& more) override {
        std::lock_guard g(lock);
        if (mcIn.empty())
            return mux::MUX_E_QUEUE_EMPTY;
        packet = std::move(mcIn.front());
        mcIn.pop_front();
        more = !mcIn.empty();
        return mux::MUX_S_OK;
    }
    XPortStatus getLocalIpAddress(std::uint32_t* a) override {
        *a = 0xC6120002;
        return mux::MUX_S_OK;
    }

    std::vector<Sent> TakeSent() {
        std::lock_guard g(lock);
        return std::exchange(sent, {});
    }
};

// A packet of the transport on a TCP connection: header of `type`, then `payload`.
inline XPortPacket TcpPacket(std::uint32_t handle, std::uint8_t type,
                             std::vector<std::uint8_t> payload = {}, std::uint8_t protocol = 9,
                             std::uint8_t src = 7, std::uint8_t dst = 128) {
    XPortPacket p;
    p.handle = handle;
    p.remoteAddress = 0xC6120003;
    p.remotePort = 40000;
    p.remoteAppId = src;
    XPortHeader h;
    h.protocol = protocol;
    h.type = type;
    h.srcApp = src;
    h.dstApp = dst;
    h.length = static_cast<std::uint32_t>(XPORT_HEADER_LENGTH + payload.size());
    p.data.resize(XPORT_HEADER_LENGTH);
    h.Write(p.data.data());
    p.data.insert(p.data.end(), payload.begin(), payload.end());
    return p;
}

}  // namespace xport::test
