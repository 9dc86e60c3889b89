// One client's queue of one kind (TCP or multicast): a bounded FIFO of entries in a
// MuxSharedQueue, so the client and its local senders reach it without calling Travex.
// Entries larger than a slot stay here in Travex and are fetched through Fetch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>

#include "multiplexer/MuxEntry.h"
#include "multiplexer/MuxNamedObjects.h"
#include "multiplexer/MuxSharedQueue.h"

namespace mux {

class MuxClientQueue {
public:
    // A queue in memory of this process only.
    explicit MuxClientQueue(std::size_t capacity);
    // A queue in `memory` (at least MuxSharedQueue::BytesFor(capacity) bytes, zeroed).
    MuxClientQueue(std::unique_ptr<MuxQueueMemory> memory, std::size_t capacity,
                   std::uint32_t localAddress);
    // Marks the queue closed, so local senders that still map it let go.
    ~MuxClientQueue();
    MuxClientQueue(const MuxClientQueue&) = delete;
    MuxClientQueue& operator=(const MuxClientQueue&) = delete;
    bool Valid() const { return ring_.Valid(); }

    // Appends the entry. A full queue first drops its oldest entry (*droppedOldest set), or,
    // without dropOldest, refuses the new one (false).
    bool Push(MuxEntry&& entry, bool dropOldest = true, bool* droppedOldest = nullptr);
    // Size of the oldest entry, 0 when empty.
    std::uint32_t NextSize() const;
    std::size_t Room() const;
    std::size_t Count() const;

    // Hands over the oldest entry. *pLen is the room the fetcher offers. Empty:
    // MUX_E_QUEUE_EMPTY. Too little room: *pLen = the entry's size and
    // MUX_E_BUFFER_TOO_SMALL. Otherwise `deliver` is given the entry under the
    // queue's lock; when it returns false the entry stays queued and `copyError` is
    // returned; when true the entry leaves, *pLen is its size, *pNextLen the size of
    // the entry now next (0 for none) and the result MUX_S_OK.
    MuxStatus Fetch(std::uint32_t* pLen, std::uint32_t* pNextLen,
                    const std::function<bool(std::span<const std::uint8_t>)>& deliver,
                    MuxStatus copyError);

    // Publishes a local pair this client is a side of, for senders that push directly.
    void SetPair(int index, std::uint16_t port, bool active);

private:
    static std::unique_ptr<MuxQueueMemory> PrivateMemory(std::size_t capacity);
    void DropFrontLocked();

    std::unique_ptr<MuxQueueMemory> memory_;
    MuxSharedQueue ring_;
    // Entries too large for a slot, by the id their slot names; changed under the ring's lock.
    std::map<std::uint64_t, MuxEntry> kept_;
    std::uint64_t nextKept_ = 1;
};

}  // namespace mux
