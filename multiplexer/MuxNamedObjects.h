// The named objects Travex shares with its clients, behind a seam so the engine can be
// tested in one process: manual-reset events and shared-memory mappings, by name.
//
//   events   "TCPPacketArrived%d", "MCPacketArrived%d" (per application id), and the
//            shared "TravexTCPPacketProcessed", "TravexMCPacketProcessed"
//   mappings the clients' "TCPSend…", "MCSend…", "TCPGet…", "MCGet…"
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "multiplexer/MuxEntry.h"
#include "multiplexer/MuxEvent.h"

namespace mux {

class MuxMapping {
public:
    virtual ~MuxMapping() = default;
    virtual std::span<std::uint8_t> Bytes() = 0;
};

// Memory a client's queue lives in (see MuxSharedQueue).
class MuxQueueMemory {
public:
    virtual ~MuxQueueMemory() = default;
    virtual void* Data() = 0;
    virtual std::size_t Size() = 0;
};

class MuxNamedObjects {
public:
    virtual ~MuxNamedObjects() = default;
    // Opens the manual-reset event of that name, creating it when missing; null on failure.
    virtual std::unique_ptr<MuxEvent> OpenEvent(const std::string& name) = 0;
    // Maps the first `size` bytes of an existing mapping a client made; null when there
    // is no such mapping or it is smaller than `size` (never created here, so bytes never
    // go into a mapping nobody reads, and a short one is never read past its end).
    virtual std::unique_ptr<MuxMapping> OpenMapping(const std::string& name, std::size_t size) = 0;
    // Lets go of what OpenMapping keeps between calls for mappings whose clients closed
    // them or died (a client that is gone leaves no mapping behind).
    virtual void ForgetClosedMappings() {}
    // Zeroed memory of `size` bytes for a client's queue, under `name` so the client
    // can map it; this process is its only holder. The default is memory of this
    // process only (the client then fetches through the calls alone).
    virtual std::unique_ptr<MuxQueueMemory> MakeQueueMemory(const std::string& name,
                                                            std::size_t size);
};

// Zeroed memory of this process only; null when there is none.
std::unique_ptr<MuxQueueMemory> MakePrivateQueueMemory(std::size_t size);

std::string ArrivedEventName(MuxKind kind, std::uint8_t appid);
std::string ProcessedEventName(MuxKind kind);

}  // namespace mux
