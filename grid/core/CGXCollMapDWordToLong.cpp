#include "grid/core/CGXCollMapDWordToLong.h"

#include "framework/persist/Archive.h"

#include <limits>

const fw::RuntimeClass CGXCollMapDWordToLong::kClass{"CGXCollMapDWordToLong", 1,
                                                     &fw::Serializable::kClass,
                                                     fw::CreateInstance<CGXCollMapDWordToLong>};

bool CGXCollMapDWordToLong::Lookup(std::uint32_t key, std::int32_t& value) const {
    auto it = map_.find(key);
    if (it == map_.end())
        return false;
    value = it->second;
    return true;
}

void CGXCollMapDWordToLong::ShiftKeysForInsert(std::uint32_t from, std::uint32_t count) {
    std::map<std::uint32_t, std::int32_t> moved;
    for (const auto& [k, v] : map_) {
        if (k < from) {
            moved[k] = v;
        } else if (k <= std::numeric_limits<std::uint32_t>::max() - count) {
            moved[k + count] = v;
        }
    }
    map_ = std::move(moved);
}

void CGXCollMapDWordToLong::ShiftKeysForRemove(std::uint32_t from, std::uint32_t to) {
    if (from > to)
        return;
    const std::uint32_t n = to - from + 1;
    std::map<std::uint32_t, std::int32_t> moved;
    for (const auto& [k, v] : map_) {
        if (k < from)
            moved[k] = v;
        else if (k > to)
            moved[k - n] = v;
    }
    map_ = std::move(moved);
}

void CGXCollMapDWordToLong::MoveKeys(std::uint32_t first, std::uint32_t last, std::uint32_t dest) {
    if (first > last || dest == first)
        return;
    const std::uint64_t n = static_cast<std::uint64_t>(last) - first + 1;
    std::map<std::uint32_t, std::int32_t> moved;
    for (const auto& [k, v] : map_) {
        std::uint64_t to = k;
        if (k >= first && k <= last)
            to = static_cast<std::uint64_t>(k) - first + dest;
        else if (dest < first && k >= dest && k < first)
            to = k + n;
        else if (dest > first && k > last && k < dest + n)
            to = k - n;
        if (to <= std::numeric_limits<std::uint32_t>::max())
            moved[static_cast<std::uint32_t>(to)] = v;
    }
    map_ = std::move(moved);
}

void CGXCollMapDWordToLong::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<std::uint16_t>(map_.size());
        for (const auto& [k, v] : map_) ar << k << v;
        return;
    }
    std::uint16_t count = 0;
    ar >> count;
    if (static_cast<std::size_t>(count) * 8 > ar.Remaining())
        throw fw::ArchiveException(fw::ArchiveCause::EndOfFile, "size map count");
    for (std::uint16_t i = 0; i < count; ++i) {
        std::uint32_t k = 0;
        std::int32_t v = 0;
        ar >> k >> v;
        map_[k] = v;
    }
}
