// TCP between clients of this PC without a socket: local points (for clients that do
// not use the wire) and local pairs (connections that stay inside the PC).
//   local point handle  0x1010000 + entry          (64 entries, by port, counted per holder)
//   local pair handles  0x1100000 + (pair << 1)    the opener's side
//                       the same with bit 0 set    the partner's side
// A message sent on one side of a pair reaches its destination with the other side's
// handle. Not thread-safe: the TCP manager holds its lock around every call.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>

namespace mux {

class MuxLocalTcp {
public:
    static constexpr std::uint32_t kPointBase = 0x1010000;
    static constexpr std::uint32_t kPairBase = 0x1100000;
    static constexpr int kEntries = 64;

    static bool IsPoint(std::uint32_t h) { return h >= kPointBase && h < kPointBase + kEntries; }
    static bool IsPair(std::uint32_t h) { return h >= kPairBase && h < kPairBase + 2 * kEntries; }

    // The point on `port` gains the holder (0: a free port is picked); 0 when the table is full.
    std::uint32_t AllocatePoint(std::uint8_t id, std::uint16_t port);
    // One holding fewer; false when `id` does not hold that point.
    bool DeallocatePoint(std::uint8_t id, std::uint32_t handle);
    std::optional<std::uint16_t> PointPort(std::uint32_t handle) const;
    bool HasPoint(std::uint16_t port) const;

    struct Pair {
        std::uint16_t port = 0;
        std::uint8_t src = 0;
        std::uint8_t dst = 0;
    };
    // The opener's handle; 0 when all 64 pairs are active.
    std::uint32_t OpenPair(std::uint16_t port, std::uint8_t src, std::uint8_t dst);
    bool ClosePair(std::uint32_t handle);
    std::optional<Pair> ActivePair(std::uint32_t handle) const;

    // Drops every holding and pair of a client that is gone.
    void ReleaseClient(std::uint8_t id);

private:
    struct Point {
        std::uint16_t port = 0;
        std::map<std::uint8_t, int> holders;  // id -> count
    };
    std::uint16_t FreePort() const;

    std::array<std::optional<Point>, kEntries> points_;
    std::array<std::optional<Pair>, kEntries> pairs_;
};

}  // namespace mux
