#include "adapterpicker/AdapterMap.h"

#include "platform/NetAdapter.h"

#include <optional>

namespace varoda {

void AdapterMap::Set(uint32_t position, const VavIfRow& row) {
    auto& bucket = buckets_[(position >> 4) % kBuckets];
    for (auto& entry : bucket)
        if (entry.first == position) {
            entry.second = row;
            return;
        }
    bucket.insert(bucket.begin(), {position, row});
}

void AdapterMap::Clear() {
    for (auto& bucket : buckets_) bucket.clear();
}

bool AdapterMap::Empty() const {
    return Size() == 0;
}

size_t AdapterMap::Size() const {
    size_t n = 0;
    for (const auto& bucket : buckets_) n += bucket.size();
    return n;
}

std::vector<const VavIfRow*> AdapterMap::Rows() const {
    std::vector<const VavIfRow*> rows;
    for (const auto& bucket : buckets_)
        for (const auto& entry : bucket) rows.push_back(&entry.second);
    return rows;
}

const VavIfRow* AdapterMap::FindInterface(uint32_t interfaceIndex) const {
    for (const VavIfRow* row : Rows())
        if (row->index == interfaceIndex)
            return row;
    return nullptr;
}

namespace {

// Calls `use` with the table position and full row of each usable interface.
template <typename Use>
bool ForEachUsable(Use use) {
    std::optional<std::vector<VavIfRow>> table = GetInterfaceTable();
    if (!table)
        return false;
    for (size_t i = 0; i < table->size(); ++i) {
        VavIfRow row;
        if (GetIfEntry((*table)[i].index, row) && row.type != IF_TYPE_SOFTWARE_LOOPBACK)
            use(static_cast<uint32_t>(i), row);
    }
    return true;
}

}  // namespace

bool EnumerateAdapters(AdapterMap& map) {
    return ForEachUsable([&](uint32_t position, const VavIfRow& row) { map.Set(position, row); });
}

int CountUsableInterfaces() {
    int count = 0;
    ForEachUsable([&](uint32_t, const VavIfRow&) { ++count; });
    return count;
}

}  // namespace varoda
