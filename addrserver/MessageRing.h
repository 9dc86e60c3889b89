// A ring buffer of a power-of-two size that holds one entry less than its size
// (full when the read index is one ahead of the write index). Guarded by a mutex:
// several threads report into the same ring.
#pragma once

#include <array>
#include <cstddef>
#include <mutex>
#include <optional>

namespace addrserver {

template <typename T, size_t Size>
class MessageRing {
    static_assert(Size >= 2 && (Size & (Size - 1)) == 0, "size must be a power of two");

public:
    // False (and one more counted as lost) when full.
    bool Push(T value) {
        std::lock_guard lock(mutex_);
        size_t next = (write_ + 1) & (Size - 1);
        if (next == read_) {
            ++lost_;
            return false;
        }
        slots_[write_] = std::move(value);
        write_ = next;
        return true;
    }
    std::optional<T> Pop() {
        std::lock_guard lock(mutex_);
        if (read_ == write_)
            return std::nullopt;
        T value = std::move(slots_[read_]);
        read_ = (read_ + 1) & (Size - 1);
        return value;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        read_ = write_ = 0;
    }
    size_t Lost() const {
        std::lock_guard lock(mutex_);
        return lost_;
    }

private:
    mutable std::mutex mutex_;
    std::array<T, Size> slots_{};
    size_t read_ = 0, write_ = 0, lost_ = 0;
};

}  // namespace addrserver
