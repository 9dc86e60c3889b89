#include "multiplexer/MuxClientQueue.h"

#include <cstring>

namespace mux {

std::unique_ptr<MuxQueueMemory> MuxClientQueue::PrivateMemory(std::size_t capacity) {
    return MakePrivateQueueMemory(MuxSharedQueue::BytesFor(static_cast<std::uint32_t>(capacity)));
}

MuxClientQueue::MuxClientQueue(std::size_t capacity)
    : MuxClientQueue(PrivateMemory(capacity), capacity, 1) {}

MuxClientQueue::MuxClientQueue(std::unique_ptr<MuxQueueMemory> memory, std::size_t capacity,
                               std::uint32_t localAddress)
    : memory_(std::move(memory)) {
    auto slots = static_cast<std::uint32_t>(capacity);
    if (memory_ && slots > 0 && memory_->Size() >= MuxSharedQueue::BytesFor(slots) &&
        MuxSharedQueue::Init(memory_->Data(), slots, localAddress))
        ring_ = MuxSharedQueue(memory_->Data(), memory_->Size());
}

MuxClientQueue::~MuxClientQueue() {
    if (ring_.Valid())
        ring_.Close();
}

void MuxClientQueue::DropFrontLocked() {
    MuxSharedQueue::Slot front = ring_.Front();
    if (front.kept)
        kept_.erase(front.keptId);
    ring_.PopFront();
}

bool MuxClientQueue::Push(MuxEntry&& entry, bool dropOldest, bool* droppedOldest) {
    if (!ring_.Valid())
        return false;
    MuxSharedQueue::Lock lock(ring_);
    if (!lock.Held())
        return false;
    if (ring_.Count() >= ring_.Capacity()) {
        if (!dropOldest)
            return false;
        DropFrontLocked();
        if (droppedOldest)
            *droppedOldest = true;
    }
    auto size = static_cast<std::uint32_t>(entry.size());
    if (size <= MuxSharedQueue::kInlineBytes) {
        std::memcpy(ring_.Back().data(), entry.data(), size);
        ring_.CommitBack(size, false, 0);
    } else {
        std::uint64_t id = nextKept_++;
        kept_[id] = std::move(entry);
        ring_.CommitBack(size, true, id);
    }
    return true;
}

std::uint32_t MuxClientQueue::NextSize() const {
    if (!ring_.Valid())
        return 0;
    MuxSharedQueue::Lock lock(ring_);
    return lock.Held() && ring_.Count() > 0 ? ring_.Front().size : 0;
}

std::size_t MuxClientQueue::Room() const {
    if (!ring_.Valid())
        return 0;
    MuxSharedQueue::Lock lock(ring_);
    return lock.Held() ? ring_.Capacity() - ring_.Count() : 0;
}

std::size_t MuxClientQueue::Count() const {
    if (!ring_.Valid())
        return 0;
    MuxSharedQueue::Lock lock(ring_);
    return lock.Held() ? ring_.Count() : 0;
}

MuxStatus MuxClientQueue::Fetch(std::uint32_t* pLen, std::uint32_t* pNextLen,
                                const std::function<bool(std::span<const std::uint8_t>)>& deliver,
                                MuxStatus copyError) {
    if (!ring_.Valid())
        return copyError;
    MuxSharedQueue::Lock lock(ring_);
    if (!lock.Held())
        return copyError;
    if (ring_.Count() == 0)
        return MUX_E_QUEUE_EMPTY;
    MuxSharedQueue::Slot front = ring_.Front();
    if (*pLen < front.size) {
        *pLen = front.size;
        return MUX_E_BUFFER_TOO_SMALL;
    }
    std::span<const std::uint8_t> entry = front.bytes;
    if (front.kept) {
        auto it = kept_.find(front.keptId);
        if (it == kept_.end()) {  // cannot be: the slot is dropped as unreadable
            ring_.PopFront();
            return copyError;
        }
        entry = it->second;
    }
    if (!deliver(entry))
        return copyError;
    DropFrontLocked();
    *pLen = front.size;
    *pNextLen = ring_.Count() == 0 ? 0 : ring_.Front().size;
    return MUX_S_OK;
}

void MuxClientQueue::SetPair(int index, std::uint16_t port, bool active) {
    if (!ring_.Valid())
        return;
    MuxSharedQueue::Lock lock(ring_);
    ring_.SetPair(index, port, active);
}

}  // namespace mux
