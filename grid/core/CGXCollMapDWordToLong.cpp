#include "grid/core/CGXCollMapDWordToLong.h"

#include <unordered_set>
#include <utility>
#include <vector>

#include "framework/persist/Archive.h"

#include <limits>

const fw::RuntimeClass CGXCollMapDWordToLong::kClass{"CGXCollMapDWordToLong", 1,
                                                     &fw::Serializable::kClass,
                                                     fw::CreateInstance<CGXCollMapDWordToLong>};

void CGXCollMapDWordToLong::CopyFrom(const CGXCollMapDWordToLong& other) {
    if (&other == this)
        return;
    map_.RemoveAll();
    other.map_.ForEach([this](std::uint32_t k, std::int32_t v) { map_[k] = v; });
}

template <class F>
void CGXCollMapDWordToLong::Renumber(F&& renumber) {
    // Through a fresh map of the default shape and back, so that the order of the entries (and
    // with it the archive form) is what it always was.
    GXHashMap<std::uint32_t, std::int32_t, GXDWordHash> moved(17, 10);
    map_.ForEach([&](std::uint32_t k, std::int32_t v) {
        std::uint64_t to = k;
        if (renumber(to) && to <= std::numeric_limits<std::uint32_t>::max())
            moved[static_cast<std::uint32_t>(to)] = v;
    });
    map_.RemoveAll();
    moved.ForEach([this](std::uint32_t k, std::int32_t v) { map_[k] = v; });
}

void CGXCollMapDWordToLong::ShiftKeysForInsert(std::uint32_t from, std::uint32_t count) {
    Renumber([&](std::uint64_t& k) {
        if (k >= from)
            k += count;
        return true;
    });
}

void CGXCollMapDWordToLong::ShiftKeysForRemove(std::uint32_t from, std::uint32_t to) {
    if (from > to)
        return;
    const std::uint64_t n = static_cast<std::uint64_t>(to) - from + 1;
    Renumber([&](std::uint64_t& k) {
        if (k < from)
            return true;
        if (k <= to)
            return false;
        k -= n;
        return true;
    });
}

void CGXCollMapDWordToLong::MoveKeys(std::uint32_t first, std::uint32_t last, std::uint32_t dest) {
    if (first > last || dest == first)
        return;
    const std::uint64_t n = static_cast<std::uint64_t>(last) - first + 1;
    Renumber([&](std::uint64_t& k) {
        if (k >= first && k <= last)
            k = k - first + dest;
        else if (dest < first && k >= dest && k < first)
            k += n;
        else if (dest > first && k > last && k < dest + n)
            k -= n;
        return true;
    });
}

void CGXCollMapDWordToLong::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        if (map_.GetCount() > 0xFFFF)
            throw fw::ArchiveException(fw::ArchiveCause::TooLarge, "more than 65535 entries");
        ar << static_cast<std::uint16_t>(map_.GetCount());
        map_.ForEach([&ar](std::uint32_t k, std::int32_t v) { ar << k << v; });
        return;
    }
    std::uint16_t count = 0;
    ar >> count;
    if (static_cast<std::size_t>(count) * 8 > ar.Remaining())
        throw fw::ArchiveException(fw::ArchiveCause::EndOfFile, "size map count");
    std::vector<std::pair<std::uint32_t, std::int32_t>> entries(count);
    for (auto& [k, v] : entries) ar >> k >> v;
    // New entries go to the head of their chain, so inserting from the last stored entry back
    // rebuilds every chain in the order it was stored: storing what was loaded gives the same
    // bytes. Of a key stored twice, the later entry wins, as it would read front to back.
    std::unordered_set<std::uint32_t> loaded;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (loaded.insert(it->first).second)
            map_[it->first] = it->second;
}
