// A map from a 32-bit key to a 32-bit value: the row heights and column widths of a grid, kept by
// row or column number. The keys follow their rows when rows are inserted, removed or moved.
#pragma once

#include "framework/persist/RuntimeClass.h"

#include <cstdint>
#include <map>

class CGXCollMapDWordToLong : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    explicit CGXCollMapDWordToLong(int blockSize = 10) { (void)blockSize; }

    void InitHashTable(unsigned hashSize, bool allocNow = true) {
        hashSize_ = hashSize;
        (void)allocNow;
    }
    unsigned GetHashTableSize() const { return hashSize_; }
    std::size_t GetCount() const { return map_.size(); }
    bool IsEmpty() const { return map_.empty(); }
    bool Lookup(std::uint32_t key, std::int32_t& value) const;
    // The value slot of a key, created with 0 when missing.
    std::int32_t& operator[](std::uint32_t key) { return map_[key]; }
    void SetAt(std::uint32_t key, std::int32_t value) { map_[key] = value; }
    bool RemoveKey(std::uint32_t key) { return map_.erase(key) != 0; }
    void RemoveAll() { map_.clear(); }
    const std::map<std::uint32_t, std::int32_t>& Entries() const { return map_; }
    void CopyFrom(const CGXCollMapDWordToLong& other) {
        if (&other != this)
            map_ = other.map_;
    }

    // Keys at or above `from` grow by `count`.
    void ShiftKeysForInsert(std::uint32_t from, std::uint32_t count);
    // Keys from..to are dropped; keys above `to` move down by to - from + 1.
    void ShiftKeysForRemove(std::uint32_t from, std::uint32_t to);
    // The block first..last ends at destination..destination + n - 1; the keys it passes close
    // up.
    void MoveKeys(std::uint32_t first, std::uint32_t last, std::uint32_t destination);

    // A 16-bit count, then each entry as a 32-bit key and a 32-bit value.
    void Serialize(fw::Archive& ar) override;

private:
    std::map<std::uint32_t, std::int32_t> map_;
    unsigned hashSize_ = 17;
};
