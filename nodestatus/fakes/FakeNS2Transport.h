// An in-memory transport for engine tests: datagrams pushed in are received by the
// engine; what it sends is recorded.
#pragma once

#include <deque>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "nodestatus/NS2Transport.h"
#include "os/Event.h"
#include "testsupport/Notice.h"

class FakeNS2Transport : public NS2Transport {
public:
    struct Sent {
        uint32_t address;
        uint16_t port;
        std::vector<uint8_t> bytes;
    };

    bool Attach(uint32_t, os::Event* arrival) override {
        std::lock_guard lock(mutex_);
        if (refuseAttach)
            return false;
        attached = true;
        arrival_ = arrival;
        return true;
    }
    void Detach() override {
        std::lock_guard lock(mutex_);
        attached = false;
        arrival_ = nullptr;
    }
    uint8_t AppId() const override { return 0x80; }
    uint32_t LocalAddress() const override { return localAddress; }
    bool Join(uint32_t group, uint16_t port) override {
        std::lock_guard lock(mutex_);
        joined.insert({group, port});
        return true;
    }
    bool Leave(uint32_t group, uint16_t port) override {
        std::lock_guard lock(mutex_);
        joined.erase({group, port});
        return true;
    }
    bool Send(uint32_t address, uint16_t port, std::span<const uint8_t> data) override {
        {
            std::lock_guard lock(mutex_);
            sent_.push_back({address, port, std::vector<uint8_t>(data.begin(), data.end())});
        }
        sent.Notify();
        return true;
    }
    bool Receive(uint32_t& address, uint16_t& port, std::span<uint8_t> buffer,
                 size_t& length) override {
        std::lock_guard lock(mutex_);
        if (incoming_.empty())
            return false;
        const auto& d = incoming_.front();
        address = 0x0A000001;
        port = 6107;
        length = std::min(d.size(), buffer.size());
        std::copy_n(d.begin(), length, buffer.begin());
        incoming_.pop_front();
        return true;
    }

    void Push(std::vector<uint8_t> datagram) {
        std::lock_guard lock(mutex_);
        incoming_.push_back(std::move(datagram));
        if (arrival_ != nullptr)
            arrival_->Set();
    }
    // Datagrams pushed and not yet received.
    size_t Queued() const {
        std::lock_guard lock(mutex_);
        return incoming_.size();
    }
    std::vector<Sent> SentPackets() const {
        std::lock_guard lock(mutex_);
        return sent_;
    }
    bool IsJoined(uint32_t group, uint16_t port) const {
        std::lock_guard lock(mutex_);
        return joined.count({group, port}) != 0;
    }

    ixo::testsupport::Notice sent;  // told of every send
    bool refuseAttach = false;
    bool attached = false;
    uint32_t localAddress = 0xC6120002;  // 198.18.0.2

private:
    mutable std::mutex mutex_;
    os::Event* arrival_ = nullptr;
    std::deque<std::vector<uint8_t>> incoming_;
    std::vector<Sent> sent_;
    std::set<std::pair<uint32_t, uint16_t>> joined;
};
