#include "multiplexer/MuxOsObjects.h"

#include "multiplexer/TravexEndpoint.h"
#include "os/SharedMemory.h"

namespace mux {

struct MuxOsObjects::Kept {
    os::SharedMemory memory;
};

namespace {

// Beyond this many kept mappings the ones no client holds any more are let go.
constexpr std::size_t kKeptLimit = 128;

class OsMapping final : public MuxMapping {
public:
    std::shared_ptr<MuxOsObjects::Kept> kept;
    std::size_t size = 0;
    std::span<std::uint8_t> Bytes() override {
        return {static_cast<std::uint8_t*>(kept->memory.Data()), size};
    }
};

class OsQueueMemory final : public MuxQueueMemory {
public:
    os::SharedMemory memory;
    void* Data() override { return memory.Data(); }
    std::size_t Size() override { return memory.Size(); }
};

}  // namespace

std::unique_ptr<MuxQueueMemory> MuxOsObjects::MakeQueueMemory(const std::string& name,
                                                              std::size_t size) {
    auto m = std::make_unique<OsQueueMemory>();
    const std::string full = MuxObjectName(name);
    // A queue of that name can only be one a Travex of this scope left when it died.
    os::SharedMemory::Remove(full);
    if (m->memory.Create(full, size) != os::OpenResult::Created)
        return nullptr;
    return m;
}

std::unique_ptr<MuxEvent> MuxOsObjects::OpenEvent(const std::string& name) {
    return OpenMuxNamedEvent(name);
}

std::unique_ptr<MuxMapping> MuxOsObjects::OpenMapping(const std::string& name, std::size_t size) {
    std::shared_ptr<Kept> kept;
    {
        std::lock_guard g(lock_);
        auto it = kept_.find(name);
        // A name that lost its link was closed by its client; one made again under the
        // same name is another object.
        if (it != kept_.end() && it->second->memory.StillNamed())
            kept = it->second;
    }
    if (!kept) {
        kept = std::make_shared<Kept>();
        if (!os::IsOpen(kept->memory.Watch(MuxObjectName(name))))
            return nullptr;
        bool full = false;
        {
            std::lock_guard g(lock_);
            kept_[name] = kept;
            full = kept_.size() > kKeptLimit;
        }
        if (full)
            ForgetClosedMappings();
    }
    if (kept->memory.Size() < size)
        return nullptr;
    auto m = std::make_unique<OsMapping>();
    m->kept = std::move(kept);
    m->size = size;
    return m;
}

void MuxOsObjects::ForgetClosedMappings() {
    std::vector<std::shared_ptr<Kept>> gone;  // closed outside the lock
    {
        std::lock_guard g(lock_);
        for (auto it = kept_.begin(); it != kept_.end();) {
            // Not held: its client closed it or died; closing the last handle removes
            // what a dead client left.
            if (!it->second->memory.StillNamed() || !it->second->memory.Held()) {
                gone.push_back(std::move(it->second));
                it = kept_.erase(it);
            } else {
                ++it;
            }
        }
    }
}

std::size_t MuxOsObjects::KeptMappings() const {
    std::lock_guard g(lock_);
    return kept_.size();
}

}  // namespace mux
