// The named events and mappings Travex shares with its clients, over the operating-
// system layer's objects, named through MuxObjectName.
#pragma once

#include "multiplexer/MuxNamedObjects.h"

namespace mux {

class MuxOsObjects final : public MuxNamedObjects {
public:
    std::unique_ptr<MuxEvent> OpenEvent(const std::string& name) override;
    std::unique_ptr<MuxMapping> OpenMapping(const std::string& name, std::size_t size) override;
};

}  // namespace mux
