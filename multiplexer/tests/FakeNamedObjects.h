// In-process stand-ins for the named events and mappings Travex shares with clients.
// Tests play the client: CreateMapping makes a mapping as a client would, IsSet looks at
// an event, and the engine under test opens both through MuxNamedObjects.
#pragma once

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "multiplexer/MuxNamedObjects.h"

namespace mux::test {

class FakeNamedObjects : public MuxNamedObjects {
public:
    struct EventState {
        std::mutex lock;
        std::condition_variable changed;
        bool set = false;
    };

    std::unique_ptr<MuxEvent> OpenEvent(const std::string& name) override {
        std::lock_guard g(lock_);
        auto& state = events_[name];
        if (!state)
            state = std::make_shared<EventState>();
        return std::make_unique<Event>(state);
    }

    std::unique_ptr<MuxMapping> OpenMapping(const std::string& name, std::size_t size) override {
        std::lock_guard g(lock_);
        auto it = mappings_.find(name);
        if (it == mappings_.end() || it->second->size() < size)
            return nullptr;
        return std::make_unique<Mapping>(it->second);
    }

    // Client side.
    std::vector<std::uint8_t>& CreateMapping(const std::string& name, std::size_t size) {
        std::lock_guard g(lock_);
        auto& m = mappings_[name];
        m = std::make_shared<std::vector<std::uint8_t>>(size, 0);
        return *m;
    }
    std::vector<std::uint8_t> MappingBytes(const std::string& name) {
        std::lock_guard g(lock_);
        return *mappings_.at(name);
    }
    bool IsSet(const std::string& name) {
        std::shared_ptr<EventState> s;
        {
            std::lock_guard g(lock_);
            if (!events_.count(name))
                return false;
            s = events_[name];
        }
        std::lock_guard g(s->lock);
        return s->set;
    }
    void SetEvent(const std::string& name) { OpenEvent(name)->Set(); }

private:
    class Event : public MuxEvent {
    public:
        explicit Event(std::shared_ptr<EventState> s) : s_(std::move(s)) {}
        void Set() override {
            std::lock_guard g(s_->lock);
            s_->set = true;
            s_->changed.notify_all();
        }
        void Reset() override {
            std::lock_guard g(s_->lock);
            s_->set = false;
        }
        bool Wait(std::uint32_t ms) override {
            std::unique_lock g(s_->lock);
            return s_->changed.wait_for(g, std::chrono::milliseconds(ms), [&] { return s_->set; });
        }

    private:
        std::shared_ptr<EventState> s_;
    };
    class Mapping : public MuxMapping {
    public:
        explicit Mapping(std::shared_ptr<std::vector<std::uint8_t>> b) : b_(std::move(b)) {}
        std::span<std::uint8_t> Bytes() override { return *b_; }

    private:
        std::shared_ptr<std::vector<std::uint8_t>> b_;
    };

    std::mutex lock_;
    std::map<std::string, std::shared_ptr<EventState>> events_;
    std::map<std::string, std::shared_ptr<std::vector<std::uint8_t>>> mappings_;
};

}  // namespace mux::test
