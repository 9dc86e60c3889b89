// The in-memory tree behind os::KeyStore: keys named by paths of components,
// each holding named, typed values. Names are kept as first written and found
// without regard to ASCII case.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace os {

enum class ValueType : uint8_t { String, U32, Binary };

struct KeyValue {
    ValueType type = ValueType::String;
    std::string text;            // String
    uint32_t number = 0;         // U32
    std::vector<uint8_t> bytes;  // Binary

    static KeyValue String(std::string_view text);
    static KeyValue U32(uint32_t number);
    static KeyValue Binary(std::vector<uint8_t> bytes);
    bool operator==(const KeyValue&) const = default;
};

// Limits that keep a broken caller or file from growing the store without bound.
inline constexpr size_t kMaxKeyComponent = 255;
inline constexpr size_t kMaxKeyPath = 1024;
inline constexpr size_t kMaxValueName = 1024;
inline constexpr size_t kMaxValueData = 1024 * 1024;

// Splits "A\\B/C" into {"A","B","C"}; empty components (doubled, leading or
// trailing separators) are dropped. False for a component that is too long or
// holds a control character, or a path over kMaxKeyPath.
bool SplitKeyPath(std::string_view path, std::vector<std::string>& components);
bool ValidValueName(std::string_view name);
bool ValidValue(const KeyValue& value);

class KeyTree {
public:
    struct NamedValue {
        std::string name;
        KeyValue value;
    };

    // Paths here are already split and checked (SplitKeyPath).
    bool Exists(const std::vector<std::string>& key) const;
    // Creates the key and every missing key above it.
    void Create(const std::vector<std::string>& key);
    const KeyValue* Find(const std::vector<std::string>& key, std::string_view name) const;
    void Set(const std::vector<std::string>& key, std::string_view name, KeyValue value);
    bool Erase(const std::vector<std::string>& key, std::string_view name);
    // Removes the key and everything below it; false when it did not exist.
    bool EraseTree(const std::vector<std::string>& key);
    std::vector<std::string> Subkeys(const std::vector<std::string>& key) const;
    std::vector<std::string> ValueNames(const std::vector<std::string>& key) const;

    // Every key in path order with its components as written and its values.
    struct Entry {
        std::vector<std::string> path;
        std::vector<NamedValue> values;
    };
    const std::map<std::string, Entry>& Entries() const { return entries_; }

private:
    // Keyed by the lower-cased path joined with '\'; the root key is "".
    std::map<std::string, Entry> entries_;
};

}  // namespace os
