// A hashed map from a 32-bit key to a 32-bit value: the row heights and column widths of a grid,
// kept by row or column number. The bucket of a key drops its low four bits, so neighbouring
// rows share a bucket. The keys follow their rows when rows are inserted, removed or moved.
#pragma once

#include "framework/persist/RuntimeClass.h"
#include "grid/core/GXHashMap.h"

#include <cstdint>

struct GXDWordHash {
    unsigned operator()(std::uint32_t key) const { return key >> 4; }
};

class CGXCollMapDWordToLong : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    explicit CGXCollMapDWordToLong(int blockSize = 10) : map_(17, blockSize) {}

    void InitHashTable(unsigned hashSize, bool allocNow = true) {
        map_.InitHashTable(hashSize, allocNow);
    }
    unsigned GetHashTableSize() const { return map_.GetHashTableSize(); }
    std::size_t GetCount() const { return map_.GetCount(); }
    bool IsEmpty() const { return map_.IsEmpty(); }
    bool Lookup(std::uint32_t key, std::int32_t& value) const { return map_.Lookup(key, value); }
    // The value slot of a key, created with 0 when missing.
    std::int32_t& operator[](std::uint32_t key) { return map_[key]; }
    void SetAt(std::uint32_t key, std::int32_t value) { map_[key] = value; }
    bool RemoveKey(std::uint32_t key) { return map_.RemoveKey(key); }
    void RemoveAll() { map_.RemoveAll(); }
    GXPOSITION GetStartPosition() const { return map_.GetStartPosition(); }
    void GetNextAssoc(GXPOSITION& pos, std::uint32_t& key, std::int32_t& value) const {
        map_.GetNextAssoc(pos, key, value);
    }
    // Unless it is this map: all entries removed, then every entry of the other inserted.
    virtual void CopyFrom(const CGXCollMapDWordToLong& other);

    // Keys at or above `from` grow by `count`.
    void ShiftKeysForInsert(std::uint32_t from, std::uint32_t count);
    // Keys from..to are dropped; keys above `to` move down by to - from + 1.
    void ShiftKeysForRemove(std::uint32_t from, std::uint32_t to);
    // The block first..last ends at destination..destination + n - 1; the keys it passes close
    // up.
    void MoveKeys(std::uint32_t first, std::uint32_t last, std::uint32_t destination);

    // A 16-bit count, then each entry as a 32-bit key and a 32-bit value, bucket by bucket and
    // along each chain. A map of more than 65,535 entries cannot be stored: the archive
    // exception (too large) is raised before anything is written.
    void Serialize(fw::Archive& ar) override;

private:
    // Rebuilds the map with every key passed through `renumber` (false: the entry is dropped).
    template <class F>
    void Renumber(F&& renumber);

    GXHashMap<std::uint32_t, std::int32_t, GXDWordHash> map_;
};

// The same map with a creator of its own.
class CGXMapDWordToLong : public CGXCollMapDWordToLong {
public:
    using CGXCollMapDWordToLong::CGXCollMapDWordToLong;
};
