// A manual-reset event as both sides of Travex use it: arrivals and consumption.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace mux {

class MuxEvent {
public:
    virtual ~MuxEvent() = default;
    virtual void Set() = 0;
    virtual void Reset() = 0;
    // True when the event was set within `ms`.
    virtual bool Wait(std::uint32_t ms) = 0;
};

// The named event shared with the other side (named through MuxObjectName), opened or
// made; null on failure.
std::unique_ptr<MuxEvent> OpenMuxNamedEvent(std::string_view name);

}  // namespace mux
