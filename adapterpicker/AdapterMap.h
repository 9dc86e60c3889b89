// The PC's usable network interfaces, keyed by their position in the interface table.
//
// Rows are kept in 17 buckets chosen by (position >> 4) % 17, each new row put at the head
// of its bucket, and walked bucket by bucket from the head. With positions added in
// ascending order the walk gives 15 down to 0, then 31 down to 16, and so on: the order
// the adapter list has always shown, which users know their cards by.
#pragma once

#include "platform/NetInterfaces.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace varoda {

class AdapterMap {
public:
    // Stores a row under a position; a row already there is replaced in its place.
    void Set(uint32_t position, const VavIfRow& row);
    void Clear();
    bool Empty() const;
    size_t Size() const;
    // The rows in walking order.
    std::vector<const VavIfRow*> Rows() const;
    // The row of an interface index, or null.
    const VavIfRow* FindInterface(uint32_t interfaceIndex) const;

private:
    static constexpr size_t kBuckets = 17;
    // Each bucket from its head: the newest row first.
    std::array<std::vector<std::pair<uint32_t, VavIfRow>>, kBuckets> buckets_;
};

// Fills the map from the interface table: every row whose full entry can be read and that
// is not a software loopback. False when there is no interface table.
bool EnumerateAdapters(AdapterMap& map);

// A usable interface is one that EnumerateAdapters would list; how many the PC has.
int CountUsableInterfaces();

}  // namespace varoda
