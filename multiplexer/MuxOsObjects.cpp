#include "multiplexer/MuxOsObjects.h"

#include "multiplexer/TravexEndpoint.h"
#include "os/SharedMemory.h"

namespace mux {
namespace {

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
    return OpenMuxNamedEvent(name);
}

std::unique_ptr<MuxMapping> MuxOsObjects::OpenMapping(const std::string& name, std::size_t size) {
    auto m = std::make_unique<OsMapping>();
    if (!os::IsOpen(m->memory.Open(MuxObjectName(name))) || m->memory.Size() < size)
        return nullptr;
    m->size = size;
    return m;
}

}  // namespace mux
