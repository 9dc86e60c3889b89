#include "multiplexer/MuxSharedQueue.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <new>

namespace mux {

namespace {
constexpr std::uint32_t kQueueMagic = 0x51585854;  // "TXXQ"
}

struct MuxSharedQueue::Header {
    std::uint32_t magic;
    std::uint32_t capacity;
    std::uint32_t slotSize;
    std::atomic<std::uint32_t> closed;
    pthread_mutex_t mutex;
    std::uint32_t head;
    std::uint32_t count;
    std::uint32_t localAddress;
    std::uint32_t reserved;
    std::uint64_t pairs;  // bit i: pair i active
    std::uint16_t pairPort[kPairs];
};

static_assert(std::atomic<std::uint32_t>::is_always_lock_free);

std::size_t MuxSharedQueue::BytesFor(std::uint32_t capacity) {
    std::size_t head = (sizeof(Header) + 63) / 64 * 64;
    return head + std::size_t{capacity} * kSlotSize;
}

bool MuxSharedQueue::Init(void* memory, std::uint32_t capacity, std::uint32_t localAddress) {
    auto* h = new (memory) Header{};
    h->capacity = capacity;
    h->slotSize = kSlotSize;
    h->localAddress = localAddress;
    pthread_mutexattr_t attr;
    if (pthread_mutexattr_init(&attr) != 0)
        return false;
    bool ok = pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED) == 0 &&
              pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST) == 0 &&
              pthread_mutex_init(&h->mutex, &attr) == 0;
    pthread_mutexattr_destroy(&attr);
    // Written last: a queue is a queue only once it is whole.
    h->magic = ok ? kQueueMagic : 0;
    return ok;
}

MuxSharedQueue::MuxSharedQueue(void* memory, std::size_t size) {
    auto* h = static_cast<Header*>(memory);
    if (memory == nullptr || size < sizeof(Header) || h->magic != kQueueMagic ||
        h->slotSize != kSlotSize || h->capacity == 0 || BytesFor(h->capacity) > size)
        return;
    header_ = h;
}

MuxSharedQueue::Lock::Lock(const MuxSharedQueue& queue) : mutex_(&queue.header_->mutex) {
    int r = pthread_mutex_lock(mutex_);
    if (r == EOWNERDEAD) {
        // Its holder died inside a change that it had not yet made visible.
        pthread_mutex_consistent(mutex_);
        r = 0;
    }
    held_ = r == 0;
}

MuxSharedQueue::Lock::~Lock() {
    if (held_)
        pthread_mutex_unlock(mutex_);
}

std::uint8_t* MuxSharedQueue::SlotAt(std::uint32_t index) const {
    auto* base = reinterpret_cast<std::uint8_t*>(header_) + BytesFor(0);
    return base + std::size_t{index % header_->capacity} * kSlotSize;
}

std::uint32_t MuxSharedQueue::Count() const {
    return header_->count;
}

std::uint32_t MuxSharedQueue::Capacity() const {
    return header_->capacity;
}

MuxSharedQueue::Slot MuxSharedQueue::Front() const {
    std::uint8_t* s = SlotAt(header_->head);
    Slot slot;
    std::uint32_t kept = 0;
    std::memcpy(&slot.size, s, 4);
    std::memcpy(&kept, s + 4, 4);
    std::memcpy(&slot.keptId, s + 8, 8);
    slot.kept = kept != 0;
    if (!slot.kept)
        slot.bytes = {s + kSlotHead, std::min(slot.size, kInlineBytes)};
    return slot;
}

void MuxSharedQueue::PopFront() {
    header_->head = (header_->head + 1) % header_->capacity;
    --header_->count;
}

std::span<std::uint8_t> MuxSharedQueue::Back() const {
    return {SlotAt(header_->head + header_->count) + kSlotHead, kInlineBytes};
}

void MuxSharedQueue::CommitBack(std::uint32_t size, bool kept, std::uint64_t keptId) {
    std::uint8_t* s = SlotAt(header_->head + header_->count);
    std::uint32_t k = kept ? 1 : 0;
    std::memcpy(s, &size, 4);
    std::memcpy(s + 4, &k, 4);
    std::memcpy(s + 8, &keptId, 8);
    ++header_->count;
}

bool MuxSharedQueue::Closed() const {
    return header_->closed.load() != 0;
}

void MuxSharedQueue::Close() {
    header_->closed.store(1);
}

std::uint32_t MuxSharedQueue::LocalAddress() const {
    return header_->localAddress;
}

void MuxSharedQueue::SetPair(int index, std::uint16_t port, bool active) {
    if (index < 0 || index >= kPairs)
        return;
    std::uint64_t bit = std::uint64_t{1} << index;
    header_->pairPort[index] = port;
    header_->pairs = active ? header_->pairs | bit : header_->pairs & ~bit;
}

bool MuxSharedQueue::PairActive(int index, std::uint16_t* port) const {
    if (index < 0 || index >= kPairs || (header_->pairs & (std::uint64_t{1} << index)) == 0)
        return false;
    *port = header_->pairPort[index];
    return true;
}

}  // namespace mux
