// The 64 client slots: each registered application id with its wire flag, its two
// queues and its two arrival events, plus the two shared "processed" events that
// exist while any client does.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <shared_mutex>
#include <string_view>
#include <vector>

#include "multiplexer/MuxClientQueue.h"
#include "multiplexer/MuxNamedObjects.h"
#include "os/DropCounts.h"

namespace mux {

// Queue capacities a client may ask for; beyond this one client could make Travex
// hold an unbounded amount of memory.
inline constexpr std::int32_t kMuxMaxQueueSize = 65536;

// Why Travex let something it received go instead of queuing it for a client.
enum class MuxDrop {
    QueueFull,         // the client's queue was full and the new entry was refused
    OldestDropped,     // the client's queue was full and its oldest entry made room
    NoClient,          // the client it was for has gone
    DatagramTooLarge,  // a multicast datagram larger than any Travex carries
    DatagramTooShort,  // a multicast datagram without a whole header
    OtherVersion,      // a multicast datagram of another protocol generation
};

class MuxClientTable {
public:
    explicit MuxClientTable(MuxNamedObjects& objects) : objects_(objects) {}

    // MUX_S_OK, MUX_E_APPID_IN_USE, MUX_E_ENGINE_BUSY (all slots taken) or
    // MUX_E_CLIENT_SETUP (queue sizes out of range, an event not made).
    MuxStatus Register(std::uint8_t id, bool wire, std::int32_t mcqSize, std::int32_t tcpqSize);
    // Frees the slot with its queued entries and events; false when unknown.
    bool Unregister(std::uint8_t id);
    bool Known(std::uint8_t id) const;
    bool UsesWire(std::uint8_t id) const;
    int Count() const;
    std::vector<std::uint8_t> Ids() const;

    // Queues the entry for the client (a full queue drops its oldest entry, or without
    // dropOldest refuses the new one), resets the shared processed event of the kind and
    // sets the client's arrival event. False when not queued (the entry is then untouched).
    bool Push(std::uint8_t id, MuxKind kind, MuxEntry&& entry, bool dropOldest = true);
    // Free places in the client's queue; 0 for an unknown client.
    std::size_t Room(std::uint8_t id, MuxKind kind) const;
    std::uint32_t NextSize(std::uint8_t id, MuxKind kind) const;
    // TCPGetPacket / MulticastGetPacket for one client (see MuxClientQueue::Fetch);
    // the entry is copied into the client's named mapping.
    MuxStatus Fetch(std::uint8_t id, MuxKind kind, std::uint32_t* pLen, std::uint32_t* pNextLen,
                    std::string_view mappingName);
    // Publishes in the queues of both sides that local pair `index` is open on `port`
    // (or closed), for clients that push to each other directly.
    void SetPair(std::uint8_t id, int index, std::uint16_t port, bool active);
    // The address local pairs carry in their entries (the engine's), for queues made from now.
    void SetLocalAddress(std::uint32_t address) { localAddress_ = address; }
    // Waits up to `ms` for a client to report that it consumed an entry of the kind,
    // and resets the event; false on time-out or when no client exists.
    bool WaitProcessed(MuxKind kind, std::uint32_t ms);

    // What was dropped, and why (Push counts its own; the network side counts datagrams).
    using DropCounts = os::DropCounts<MuxDrop, 6>;
    const DropCounts& Drops() const { return drops_; }
    void CountDrop(MuxDrop why) { drops_.Count(why); }

private:
    struct Slot {
        std::uint8_t id = 0;  // 0: free
        bool wire = false;
        std::array<std::unique_ptr<MuxClientQueue>, 2> queues;
        std::array<std::unique_ptr<MuxEvent>, 2> arrived;
    };
    static int Index(MuxKind kind) { return kind == MuxKind::Tcp ? 0 : 1; }
    const Slot* FindLocked(std::uint8_t id) const;
    bool OpenProcessedLocked();

    MuxNamedObjects& objects_;
    mutable std::shared_mutex lock_;
    std::array<Slot, kMuxMaxClients> slots_;
    std::array<std::shared_ptr<MuxEvent>, 2> processed_;
    std::atomic<std::uint32_t> localAddress_{1};
    DropCounts drops_;
};

}  // namespace mux
