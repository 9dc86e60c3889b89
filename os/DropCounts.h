// Counts of received packets an engine dropped, one count per named reason (the parse
// error enum that refused them), so a test or a status display can tell what was dropped
// and why instead of the packets vanishing. Any thread may count and read.
//
//   os::DropCounts<NS2PacketError, 6> drops;          // 6: the enum's number of values
//   drops.Count(NS2PacketError::BadLength);
//   drops.Of(NS2PacketError::BadLength);                // 1
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace os {

template <class Reason, std::size_t N>
class DropCounts {
public:
    // A reason outside the enum's N values counts under the last one.
    void Count(Reason reason) { counts_[Index(reason)].fetch_add(1, std::memory_order_relaxed); }
    std::uint64_t Of(Reason reason) const {
        return counts_[Index(reason)].load(std::memory_order_relaxed);
    }
    std::uint64_t Total() const {
        std::uint64_t total = 0;
        for (const auto& c : counts_) total += c.load(std::memory_order_relaxed);
        return total;
    }

private:
    static std::size_t Index(Reason reason) {
        const auto i = static_cast<std::size_t>(reason);
        return i < N ? i : N - 1;
    }
    std::array<std::atomic<std::uint64_t>, N> counts_{};
};

}  // namespace os
