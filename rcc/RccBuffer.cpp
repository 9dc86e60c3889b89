#include "rcc/RccBuffer.h"

#include <cstring>
#include <limits>
#include <new>

namespace {
// A PDU's length travels as a u32; no buffer grows beyond it.
constexpr size_t kMaxCapacity = std::numeric_limits<uint32_t>::max();
constexpr size_t kGrowthSlack = 1024;
}  // namespace

bool CRccBuffer::moveTo(size_t newCapacity) {
    uint8_t* start = block_.get();
    if (newCapacity > capacity_) {
        std::unique_ptr<uint8_t[]> grown(new (std::nothrow) uint8_t[newCapacity]);
        if (!grown)
            return false;
        if (count() > 0)
            std::memcpy(grown.get(), head(), count());
        block_ = std::move(grown);
        capacity_ = newCapacity;
    } else if (head_ > 0 && count() > 0) {
        std::memmove(start, head(), count());
    }
    tail_ -= head_;
    head_ = 0;
    return true;
}

uint8_t* CRccBuffer::reserve(size_t n) {
    if (capacity_ - tail_ >= n && block_)
        return block_.get() + tail_;
    if (n > kMaxCapacity - kGrowthSlack - count())
        return nullptr;
    size_t needed = count() + n + kGrowthSlack;
    if (!moveTo(capacity_ < needed ? needed : capacity_))
        return nullptr;
    return block_.get() + tail_;
}

bool CRccBuffer::ensureCapacity(size_t total) {
    if (capacity_ >= total)
        return true;
    if (total > kMaxCapacity)
        return false;
    return moveTo(total);
}

void CRccBuffer::commit(size_t n) {
    tail_ += n;
}

void CRccBuffer::consume(size_t n) {
    head_ += n;
    if (head_ >= tail_)
        head_ = tail_ = 0;
}

bool CRccBuffer::append(std::span<const uint8_t> bytes) {
    uint8_t* at = reserve(bytes.size());
    if (!at)
        return false;
    if (!bytes.empty())
        std::memcpy(at, bytes.data(), bytes.size());
    commit(bytes.size());
    return true;
}
