#include "multiplexer/MuxClientQueue.h"

namespace mux {

bool MuxClientQueue::Push(MuxEntry&& entry, bool dropOldest) {
    std::lock_guard lock(lock_);
    if (entries_.size() >= capacity_) {
        if (!dropOldest)
            return false;
        entries_.pop_front();
    }
    entries_.push_back(std::move(entry));
    return true;
}

std::uint32_t MuxClientQueue::NextSize() const {
    std::lock_guard lock(lock_);
    return entries_.empty() ? 0 : static_cast<std::uint32_t>(entries_.front().size());
}

std::size_t MuxClientQueue::Room() const {
    std::lock_guard lock(lock_);
    return entries_.size() >= capacity_ ? 0 : capacity_ - entries_.size();
}

std::size_t MuxClientQueue::Count() const {
    std::lock_guard lock(lock_);
    return entries_.size();
}

MuxStatus MuxClientQueue::Fetch(std::uint32_t* pLen, std::uint32_t* pNextLen,
                                const std::function<bool(std::span<const std::uint8_t>)>& deliver,
                                MuxStatus copyError) {
    std::lock_guard lock(lock_);
    if (entries_.empty())
        return MUX_E_QUEUE_EMPTY;
    auto size = static_cast<std::uint32_t>(entries_.front().size());
    if (*pLen < size) {
        *pLen = size;
        return MUX_E_BUFFER_TOO_SMALL;
    }
    if (!deliver(entries_.front()))
        return copyError;
    entries_.pop_front();
    *pLen = size;
    *pNextLen = entries_.empty() ? 0 : static_cast<std::uint32_t>(entries_.front().size());
    return MUX_S_OK;
}

}  // namespace mux
