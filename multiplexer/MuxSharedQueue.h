// One client's queue of one kind as a ring of fixed slots in memory shared by Travex and
// the client, so that a client fetches what is queued for it, and a local client pushes
// to another, without a call to Travex. Travex makes the memory at startup and is its
// only holder: the client and the local senders map it without keeping it alive, so it
// is gone once Travex lets the client go, whether the client shut down or died.
//
// Layout (native byte order: both sides run on one machine):
//   Header   magic, capacity (slots), slot size, closed flag, robust process-shared
//            mutex, head and count, the local address and, for TCP, the local pairs
//            this client is a side of (bit per pair) with each pair's port
//   slots    capacity x kSlotSize: u32 entry size, u32 kept flag, u64 kept id, then up
//            to kInlineBytes of the entry (descriptor and message)
// An entry larger than a slot stays in Travex (kept id) and is fetched through Travex's
// receive mapping, as before.
//
// Every change is made under the mutex and becomes visible only with its last store
// (head or count), so a process killed while holding the mutex leaves the ring as it
// was before its change; the next taker marks the mutex consistent and goes on.
#pragma once

#include <pthread.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "multiplexer/MuxEntry.h"

namespace mux {

// "TravexTCPQueue%d" / "TravexMCQueue%d": the name of a client's queue memory.
inline std::string QueueMemoryName(MuxKind kind, std::uint8_t appid) {
    return (kind == MuxKind::Tcp ? "TravexTCPQueue" : "TravexMCQueue") + std::to_string(appid);
}

class MuxSharedQueue {
public:
    static constexpr std::uint32_t kSlotSize = 1024;
    static constexpr std::uint32_t kSlotHead = 16;
    static constexpr std::uint32_t kInlineBytes = kSlotSize - kSlotHead;
    static constexpr int kPairs = 64;

    // Bytes of memory a queue of `capacity` slots needs.
    static std::size_t BytesFor(std::uint32_t capacity);
    // Makes an empty queue in zeroed memory of BytesFor(capacity) bytes.
    static bool Init(void* memory, std::uint32_t capacity, std::uint32_t localAddress);

    MuxSharedQueue() = default;
    // Uses a queue made by Init; Valid() is false when the memory does not hold one.
    MuxSharedQueue(void* memory, std::size_t size);
    bool Valid() const { return header_ != nullptr; }

    // Holds the queue's mutex; taking one its holder left by dying repairs it.
    class Lock {
    public:
        explicit Lock(const MuxSharedQueue& queue);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;
        bool Held() const { return held_; }

    private:
        pthread_mutex_t* mutex_;
        bool held_ = false;
    };

    struct Slot {
        std::uint32_t size = 0;
        bool kept = false;
        std::uint64_t keptId = 0;
        std::span<std::uint8_t> bytes;  // the entry when not kept
    };

    // Everything below is called under a Lock.
    std::uint32_t Count() const;
    std::uint32_t Capacity() const;
    Slot Front() const;  // Count() > 0
    void PopFront();
    // The free slot behind the last entry (Count() < Capacity()): fill its bytes, then
    // Commit, which makes the entry visible.
    std::span<std::uint8_t> Back() const;
    void CommitBack(std::uint32_t size, bool kept, std::uint64_t keptId);

    bool Closed() const;
    void Close();
    std::uint32_t LocalAddress() const;
    // The local pair `index` has this client as a side, on `port`.
    void SetPair(int index, std::uint16_t port, bool active);
    bool PairActive(int index, std::uint16_t* port) const;

private:
    struct Header;
    std::uint8_t* SlotAt(std::uint32_t index) const;

    Header* header_ = nullptr;
};

}  // namespace mux
