// The named events and mappings Travex shares with its clients, over the operating-
// system layer's objects, named through MuxObjectName.
#pragma once

#include <map>
#include <memory>
#include <mutex>

#include "multiplexer/MuxNamedObjects.h"

namespace mux {

// A client reuses its mappings from call to call, so they stay mapped here between calls
// (a map and unmap per call cost more than the copy). A kept mapping does not keep the
// client's memory alive: it is used only while its name is still linked, that is while
// the client holds it, and is let go once the client closed it or died.
class MuxOsObjects final : public MuxNamedObjects {
public:
    std::unique_ptr<MuxEvent> OpenEvent(const std::string& name) override;
    std::unique_ptr<MuxMapping> OpenMapping(const std::string& name, std::size_t size) override;
    void ForgetClosedMappings() override;
    std::unique_ptr<MuxQueueMemory> MakeQueueMemory(const std::string& name,
                                                    std::size_t size) override;
    std::size_t KeptMappings() const;

    struct Kept;

private:
    mutable std::mutex lock_;
    std::map<std::string, std::shared_ptr<Kept>> kept_;
};

}  // namespace mux
