// A hashed map from a cell index (two 32-bit words: row and column) to an object. The map does
// not own its objects: GXDeleteMapObjects deletes them. Archived objects are written and read
// as object references of any class.
#pragma once

#include "framework/persist/RuntimeClass.h"
#include "grid/core/GXHashMap.h"

#include <cstdint>
#include <list>
#include <vector>

struct GXCellIndex {
    std::uint32_t first = 0;
    std::uint32_t second = 0;
    bool operator==(const GXCellIndex&) const = default;
};

struct GXCellIndexHash {
    unsigned operator()(const GXCellIndex& k) const {
        return ((k.second & 0xFFFFu) << 12) | ((k.first & 0xFFFFu) >> 4);
    }
};

class CMapNdxToOb : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    explicit CMapNdxToOb(int blockSize = 10) : map_(17, blockSize) {}

    void InitHashTable(unsigned hashSize, bool allocNow = true) {
        map_.InitHashTable(hashSize, allocNow);
    }
    std::size_t GetCount() const { return map_.GetCount(); }
    bool IsEmpty() const { return map_.IsEmpty(); }
    bool Lookup(GXCellIndex key, fw::Serializable*& value) const { return map_.Lookup(key, value); }
    fw::Serializable*& operator[](GXCellIndex key) { return map_[key]; }
    void SetAt(GXCellIndex key, fw::Serializable* value) { map_[key] = value; }
    bool RemoveKey(GXCellIndex key) { return map_.RemoveKey(key); }
    void RemoveAll() { map_.RemoveAll(); }
    GXPOSITION GetStartPosition() const { return map_.GetStartPosition(); }
    void GetNextAssoc(GXPOSITION& pos, GXCellIndex& key, fw::Serializable*& value) const {
        map_.GetNextAssoc(pos, key, value);
    }
    // A 16-bit count, then each entry as the two words and an object reference; more than
    // 65,535 entries are refused (too large) before anything is written. Loaded objects belong
    // to whoever deletes the map's objects.
    void Serialize(fw::Archive& ar) override;

private:
    GXHashMap<GXCellIndex, fw::Serializable*, GXCellIndexHash> map_;
};

class CGXMapCellToOb : public CMapNdxToOb {
public:
    using CMapNdxToOb::CMapNdxToOb;
};

// Deletes every object held in the map, then removes all entries.
void GXDeleteMapObjects(CMapNdxToOb& map);

// Delete every non-null object of a list (an array), then empty it.
template <class T>
void GXDeletePtrListObjects(std::list<T*>& list) {
    for (T* p : list) std::unique_ptr<T>{p};
    list.clear();
}
template <class T>
void GXDeletePtrArrayObjects(std::vector<T*>& array) {
    for (T* p : array) std::unique_ptr<T>{p};
    array.clear();
}
