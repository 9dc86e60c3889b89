// A hashed map from a 32-bit key to a string (bucket: the key without its low four bits).
#pragma once

#include "framework/persist/RuntimeClass.h"
#include "grid/core/CGXCollMapDWordToLong.h"
#include "grid/core/GXHashMap.h"

#include <cstdint>
#include <string>

class CGXCollMapDWordToString : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    explicit CGXCollMapDWordToString(int blockSize = 10) : map_(17, blockSize) {}

    void InitHashTable(unsigned hashSize, bool allocNow = true) {
        map_.InitHashTable(hashSize, allocNow);
    }
    std::size_t GetCount() const { return map_.GetCount(); }
    bool IsEmpty() const { return map_.IsEmpty(); }
    bool Lookup(std::uint32_t key, std::string& value) const { return map_.Lookup(key, value); }
    std::string& operator[](std::uint32_t key) { return map_[key]; }
    void SetAt(std::uint32_t key, const std::string& value) { map_[key] = value; }
    bool RemoveKey(std::uint32_t key) { return map_.RemoveKey(key); }
    void RemoveAll() { map_.RemoveAll(); }
    GXPOSITION GetStartPosition() const { return map_.GetStartPosition(); }
    void GetNextAssoc(GXPOSITION& pos, std::uint32_t& key, std::string& value) const {
        map_.GetNextAssoc(pos, key, value);
    }
    // A 16-bit count, then each entry as a 32-bit key and the string in the archive's form;
    // more than 65,535 entries are refused (too large) before anything is written.
    void Serialize(fw::Archive& ar) override;

private:
    GXHashMap<std::uint32_t, std::string, GXDWordHash> map_;
};
