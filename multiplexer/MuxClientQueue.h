// One client's queue of one kind (TCP or multicast): a bounded FIFO of entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <span>

#include "multiplexer/MuxEntry.h"

namespace mux {

class MuxClientQueue {
public:
    explicit MuxClientQueue(std::size_t capacity) : capacity_(capacity) {}

    // Appends the entry. A full queue first drops its oldest entry, or, without
    // dropOldest, refuses the new one (false).
    bool Push(MuxEntry&& entry, bool dropOldest = true);
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

private:
    const std::size_t capacity_;
    mutable std::mutex lock_;
    std::deque<MuxEntry> entries_;
};

}  // namespace mux
