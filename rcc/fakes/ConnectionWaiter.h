// Waits on a connection a test drives by hand through the signals the connection gives
// (its state changes and its arrival event), never by looking at it again and again.
//
//   auto raw = link.createConnection(9, {});
//   ConnectionWaiter wait(*raw);
//   raw->connect(address, port, app);
//   ASSERT_TRUE(wait.Connected(3000));  raw->send(pdu);  ASSERT_TRUE(wait.Receive(reply, 3000));
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "os/Event.h"
#include "rcc/RccLink.h"

class ConnectionWaiter : public RccConnection::Events {
public:
    explicit ConnectionWaiter(RccConnection& connection) : connection_(connection) {
        connection_.setEvents(this);
        connection_.setNotifyEvent(&arrived_);
    }
    ~ConnectionWaiter() override {
        connection_.setEvents(nullptr);
        connection_.setNotifyEvent(nullptr);
    }
    ConnectionWaiter(const ConnectionWaiter&) = delete;
    ConnectionWaiter& operator=(const ConnectionWaiter&) = delete;

    // True once the connection is up, false when it is not within `ms` of real time.
    bool Connected(uint32_t ms) {
        return Await(changed_, ms, [&] { return connection_.isConnected(); });
    }
    // Takes the next PDU that arrives within `ms` of real time; false when none does.
    bool Receive(std::vector<uint8_t>& pdu, uint32_t ms) {
        return Await(arrived_, ms, [&] { return connection_.receive(pdu); });
    }

    void onConnected() override { changed_.Set(); }
    void onDisconnected() override { changed_.Set(); }

private:
    template <typename Done>
    static bool Await(os::Event& signal, uint32_t ms, Done done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!done()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0 ||
                signal.Wait(static_cast<uint32_t>(left.count())) != os::WaitResult::Signaled)
                return done();
        }
        return true;
    }

    RccConnection& connection_;
    os::Event changed_{false, false};
    os::Event arrived_{false, false};
};
