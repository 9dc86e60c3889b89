#include "multiplexer/MuxLocalTcp.h"

namespace mux {

std::uint16_t MuxLocalTcp::FreePort() const {
    for (std::uint32_t port = 49152; port <= 65535; ++port) {
        if (!HasPoint(static_cast<std::uint16_t>(port)))
            return static_cast<std::uint16_t>(port);
    }
    return 0;
}

bool MuxLocalTcp::HasPoint(std::uint16_t port) const {
    for (const auto& p : points_) {
        if (p && p->port == port)
            return true;
    }
    return false;
}

std::uint32_t MuxLocalTcp::AllocatePoint(std::uint8_t id, std::uint16_t port) {
    if (port == 0)
        port = FreePort();
    int free = -1;
    for (int i = 0; i < kEntries; ++i) {
        if (points_[i] && points_[i]->port == port) {
            ++points_[i]->holders[id];
            return kPointBase + static_cast<std::uint32_t>(i);
        }
        if (!points_[i] && free < 0)
            free = i;
    }
    if (free < 0 || port == 0)
        return 0;
    points_[free] = Point{port, {{id, 1}}};
    return kPointBase + static_cast<std::uint32_t>(free);
}

bool MuxLocalTcp::DeallocatePoint(std::uint8_t id, std::uint32_t handle) {
    if (!IsPoint(handle))
        return false;
    auto& point = points_[handle - kPointBase];
    if (!point)
        return false;
    auto it = point->holders.find(id);
    if (it == point->holders.end())
        return false;
    if (--it->second == 0)
        point->holders.erase(it);
    if (point->holders.empty())
        point.reset();
    return true;
}

std::optional<std::uint16_t> MuxLocalTcp::PointPort(std::uint32_t handle) const {
    if (!IsPoint(handle) || !points_[handle - kPointBase])
        return std::nullopt;
    return points_[handle - kPointBase]->port;
}

std::uint32_t MuxLocalTcp::OpenPair(std::uint16_t port, std::uint8_t src, std::uint8_t dst) {
    for (int i = 0; i < kEntries; ++i) {
        if (!pairs_[i]) {
            pairs_[i] = Pair{port, src, dst};
            return kPairBase + (static_cast<std::uint32_t>(i) << 1);
        }
    }
    return 0;
}

bool MuxLocalTcp::ClosePair(std::uint32_t handle) {
    if (!IsPair(handle))
        return false;
    auto& pair = pairs_[(handle - kPairBase) >> 1];
    bool was = pair.has_value();
    pair.reset();
    return was;
}

std::optional<MuxLocalTcp::Pair> MuxLocalTcp::ActivePair(std::uint32_t handle) const {
    if (!IsPair(handle))
        return std::nullopt;
    return pairs_[(handle - kPairBase) >> 1];
}

void MuxLocalTcp::ReleaseClient(std::uint8_t id) {
    for (auto& point : points_) {
        if (!point)
            continue;
        point->holders.erase(id);
        if (point->holders.empty())
            point.reset();
    }
    for (auto& pair : pairs_) {
        if (pair && (pair->src == id || pair->dst == id))
            pair.reset();
    }
}

}  // namespace mux
