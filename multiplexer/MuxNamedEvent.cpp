#include "multiplexer/MuxEvent.h"
#include "multiplexer/TravexEndpoint.h"
#include "os/NamedEvent.h"

namespace mux {
namespace {

class NamedEvent final : public MuxEvent {
public:
    os::NamedEvent event;
    void Set() override { event.Set(); }
    void Reset() override { event.Reset(); }
    bool Wait(std::uint32_t ms) override { return event.Wait(ms) == os::WaitResult::Signaled; }
};

}  // namespace

std::unique_ptr<MuxEvent> OpenMuxNamedEvent(std::string_view name) {
    auto e = std::make_unique<NamedEvent>();
    if (!os::IsOpen(e->event.Create(MuxObjectName(name), true, false)))
        return nullptr;
    return e;
}

}  // namespace mux
