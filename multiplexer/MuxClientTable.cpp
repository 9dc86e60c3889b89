#include "multiplexer/MuxClientTable.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace mux {

const MuxClientTable::Slot* MuxClientTable::FindLocked(std::uint8_t id) const {
    if (id == 0)
        return nullptr;
    for (const Slot& s : slots_) {
        if (s.id == id)
            return &s;
    }
    return nullptr;
}

bool MuxClientTable::OpenProcessedLocked() {
    for (MuxKind kind : {MuxKind::Tcp, MuxKind::Multicast}) {
        auto& event = processed_[Index(kind)];
        if (!event)
            event = objects_.OpenEvent(ProcessedEventName(kind));
        if (!event)
            return false;
    }
    return true;
}

MuxStatus MuxClientTable::Register(std::uint8_t id, bool wire, std::int32_t mcqSize,
                                   std::int32_t tcpqSize) {
    std::unique_lock lock(lock_);
    if (FindLocked(id) != nullptr)
        return MUX_E_APPID_IN_USE;
    auto free = std::find_if(slots_.begin(), slots_.end(), [](const Slot& s) { return s.id == 0; });
    if (free == slots_.end())
        return MUX_E_ENGINE_BUSY;
    if (id == 0 || mcqSize < 1 || tcpqSize < 1 || mcqSize > kMuxMaxQueueSize ||
        tcpqSize > kMuxMaxQueueSize)
        return MUX_E_CLIENT_SETUP;
    Slot slot;
    slot.id = id;
    slot.wire = wire;
    for (MuxKind kind : {MuxKind::Tcp, MuxKind::Multicast}) {
        auto capacity = static_cast<std::uint32_t>(kind == MuxKind::Tcp ? tcpqSize : mcqSize);
        auto memory =
            objects_.MakeQueueMemory(QueueMemoryName(kind, id), MuxSharedQueue::BytesFor(capacity));
        auto& queue = slot.queues[Index(kind)];
        queue = std::make_unique<MuxClientQueue>(std::move(memory), capacity, localAddress_.load());
        if (!queue->Valid())
            return MUX_E_CLIENT_SETUP;
    }
    for (MuxKind kind : {MuxKind::Tcp, MuxKind::Multicast}) {
        slot.arrived[Index(kind)] = objects_.OpenEvent(ArrivedEventName(kind, id));
        if (!slot.arrived[Index(kind)])
            return MUX_E_CLIENT_SETUP;
    }
    if (!OpenProcessedLocked())
        return MUX_E_CLIENT_SETUP;
    *free = std::move(slot);
    return MUX_S_OK;
}

bool MuxClientTable::Unregister(std::uint8_t id) {
    Slot gone;  // destroyed after the lock is released
    std::unique_lock lock(lock_);
    auto it = std::find_if(slots_.begin(), slots_.end(),
                           [id](const Slot& s) { return id != 0 && s.id == id; });
    if (it == slots_.end())
        return false;
    gone = std::move(*it);
    *it = Slot{};
    bool empty = std::all_of(slots_.begin(), slots_.end(), [](const Slot& s) { return s.id == 0; });
    if (empty) {
        for (auto& event : processed_) event.reset();
    }
    return true;
}

bool MuxClientTable::Known(std::uint8_t id) const {
    std::shared_lock lock(lock_);
    return FindLocked(id) != nullptr;
}

bool MuxClientTable::UsesWire(std::uint8_t id) const {
    std::shared_lock lock(lock_);
    const Slot* s = FindLocked(id);
    return s != nullptr && s->wire;
}

int MuxClientTable::Count() const {
    std::shared_lock lock(lock_);
    return static_cast<int>(
        std::count_if(slots_.begin(), slots_.end(), [](const Slot& s) { return s.id != 0; }));
}

std::vector<std::uint8_t> MuxClientTable::Ids() const {
    std::shared_lock lock(lock_);
    std::vector<std::uint8_t> ids;
    for (const Slot& s : slots_) {
        if (s.id != 0)
            ids.push_back(s.id);
    }
    return ids;
}

bool MuxClientTable::Push(std::uint8_t id, MuxKind kind, MuxEntry&& entry, bool dropOldest) {
    std::shared_lock lock(lock_);
    const Slot* s = FindLocked(id);
    if (s == nullptr) {
        drops_.Count(MuxDrop::NoClient);
        return false;
    }
    bool droppedOldest = false;
    if (!s->queues[Index(kind)]->Push(std::move(entry), dropOldest, &droppedOldest)) {
        drops_.Count(MuxDrop::QueueFull);
        return false;
    }
    if (droppedOldest)
        drops_.Count(MuxDrop::OldestDropped);
    if (processed_[Index(kind)])
        processed_[Index(kind)]->Reset();
    s->arrived[Index(kind)]->Set();
    return true;
}

std::size_t MuxClientTable::Room(std::uint8_t id, MuxKind kind) const {
    std::shared_lock lock(lock_);
    const Slot* s = FindLocked(id);
    return s == nullptr ? 0 : s->queues[Index(kind)]->Room();
}

std::uint32_t MuxClientTable::NextSize(std::uint8_t id, MuxKind kind) const {
    std::shared_lock lock(lock_);
    const Slot* s = FindLocked(id);
    return s == nullptr ? 0 : s->queues[Index(kind)]->NextSize();
}

MuxStatus MuxClientTable::Fetch(std::uint8_t id, MuxKind kind, std::uint32_t* pLen,
                                std::uint32_t* pNextLen, std::string_view mappingName) {
    std::shared_lock lock(lock_);
    const Slot* s = FindLocked(id);
    if (s == nullptr)
        return MUX_E_UNKNOWN_APPID;
    const std::string name(mappingName);
    auto copy = [&](std::span<const std::uint8_t> entry) {
        auto mapping = objects_.OpenMapping(name, entry.size());
        if (!mapping)
            return false;
        std::memcpy(mapping->Bytes().data(), entry.data(), entry.size());
        return true;
    };
    MuxStatus copyError = kind == MuxKind::Tcp ? MUX_E_TCP_COPY : MUX_E_MC_COPY;
    return s->queues[Index(kind)]->Fetch(pLen, pNextLen, copy, copyError);
}

void MuxClientTable::SetPair(std::uint8_t id, int index, std::uint16_t port, bool active) {
    std::shared_lock lock(lock_);
    if (const Slot* s = FindLocked(id))
        s->queues[Index(MuxKind::Tcp)]->SetPair(index, port, active);
}

bool MuxClientTable::WaitProcessed(MuxKind kind, std::uint32_t ms) {
    std::shared_ptr<MuxEvent> event;
    {
        std::shared_lock lock(lock_);
        event = processed_[Index(kind)];
    }
    if (!event)
        return false;
    if (!event->Wait(ms))
        return false;
    event->Reset();
    return true;
}

}  // namespace mux
