// In-process stand-ins for the named events and mappings Travex shares with clients.
// Tests play the client: CreateMapping makes a mapping as a client would, IsSet looks at
// an event, AwaitSet waits for one, and the engine under test opens both through
// MuxNamedObjects. The engine's own waits on these events run on the process's clock, so
// a test with a FakeClock moves the engine's pauses on by hand.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "multiplexer/MuxNamedObjects.h"
#include "os/Clock.h"
#include "os/Event.h"

namespace mux::test {

class FakeNamedObjects : public MuxNamedObjects {
public:
    struct EventState {
        os::Event event{true, false};
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
        std::shared_ptr<EventState> s = Find(name);
        return s && s->event.IsSet();
    }
    void SetEvent(const std::string& name) { OpenEvent(name)->Set(); }
    void ResetEvent(const std::string& name) { OpenEvent(name)->Reset(); }
    // True once the event is set, false when it is not within `ms` of real time (whatever
    // clock the engine runs on).
    bool AwaitSet(const std::string& name, std::uint32_t ms) {
        OpenEvent(name);
        return Find(name)->event.Wait(ms) == os::WaitResult::Signaled;
    }

private:
    class Event : public MuxEvent {
    public:
        explicit Event(std::shared_ptr<EventState> s) : s_(std::move(s)) {}
        void Set() override { s_->event.Set(); }
        void Reset() override { s_->event.Reset(); }
        bool Wait(std::uint32_t ms) override {
            return os::WaitEvent(s_->event, ms) == os::WaitResult::Signaled;
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

    std::shared_ptr<EventState> Find(const std::string& name) {
        std::lock_guard g(lock_);
        auto it = events_.find(name);
        return it == events_.end() ? nullptr : it->second;
    }

    std::mutex lock_;
    std::map<std::string, std::shared_ptr<EventState>> events_;
    std::map<std::string, std::shared_ptr<std::vector<std::uint8_t>>> mappings_;
};

}  // namespace mux::test
