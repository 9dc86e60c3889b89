#include "multiplexer/MuxOsObjects.h"

#include "multiplexer/TravexEndpoint.h"
#include "os/NamedEvent.h"
#include "os/SharedMemory.h"

namespace mux {
namespace {

class OsEvent final : public MuxEvent {
public:
    os::NamedEvent event;
    void Set() override { event.Set(); }
    void Reset() override { event.Reset(); }
    bool Wait(std::uint32_t ms) override { return event.Wait(ms) == os::WaitResult::Signaled; }
};

class OsMapping final : public MuxMapping {
public:
    os::SharedMemory memory;
    std::size_t size = 0;
    std::span<std::uint8_t> Bytes() override {
        return {static_cast<std::uint8_t*>(memory.Data()), size};
    }
};

}  // namespace

std::unique_ptr<MuxEvent> MuxOsObjects::OpenEvent(const std::string& name) {
    auto e = std::make_unique<OsEvent>();
    if (!os::IsOpen(e->event.Create(MuxObjectName(name), true, false))) return nullptr;
    return e;
}

std::unique_ptr<MuxMapping> MuxOsObjects::OpenMapping(const std::string& name, std::size_t size) {
    auto m = std::make_unique<OsMapping>();
    if (!os::IsOpen(m->memory.Open(MuxObjectName(name))) || m->memory.Size() < size) return nullptr;
    m->size = size;
    return m;
}

}  // namespace mux
