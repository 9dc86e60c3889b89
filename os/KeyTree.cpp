#include "os/KeyTree.h"

#include <algorithm>

#include "os/Text.h"

namespace os {
namespace {

std::string Join(const std::vector<std::string>& components) {
    std::string joined;
    for (const std::string& c : components) {
        if (!joined.empty()) {
            joined += '\\';
        }
        joined += c;
    }
    return joined;
}

std::string MapKey(const std::vector<std::string>& components) {
    return LowerAscii(Join(components));
}

bool HasControl(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

}  // namespace

KeyValue KeyValue::String(std::string_view text) {
    KeyValue value;
    value.type = ValueType::String;
    value.text = text;
    return value;
}

KeyValue KeyValue::U32(uint32_t number) {
    KeyValue value;
    value.type = ValueType::U32;
    value.number = number;
    return value;
}

KeyValue KeyValue::Binary(std::vector<uint8_t> bytes) {
    KeyValue value;
    value.type = ValueType::Binary;
    value.bytes = std::move(bytes);
    return value;
}

bool SplitKeyPath(std::string_view path, std::vector<std::string>& components) {
    components.clear();
    if (path.size() > kMaxKeyPath) {
        return false;
    }
    while (!path.empty()) {
        const size_t separator = path.find_first_of("\\/");
        const std::string_view component = path.substr(0, separator);
        if (component.size() > kMaxKeyComponent || HasControl(component)) {
            return false;
        }
        if (!component.empty()) {
            components.emplace_back(component);
        }
        path.remove_prefix(separator == std::string_view::npos ? path.size() : separator + 1);
    }
    return true;
}

bool ValidValueName(std::string_view name) {
    return name.size() <= kMaxValueName && !HasControl(name);
}

bool ValidValue(const KeyValue& value) {
    return value.text.size() <= kMaxValueData && value.bytes.size() <= kMaxValueData;
}

bool KeyTree::Exists(const std::vector<std::string>& key) const {
    return key.empty() || entries_.count(MapKey(key)) != 0;
}

void KeyTree::Create(const std::vector<std::string>& key) {
    std::vector<std::string> path;
    for (const std::string& component : key) {
        path.push_back(component);
        const std::string mapKey = MapKey(path);
        if (entries_.count(mapKey) == 0) {
            entries_[mapKey].path = path;
        }
    }
}

const KeyValue* KeyTree::Find(const std::vector<std::string>& key, std::string_view name) const {
    const auto entry = entries_.find(MapKey(key));
    if (entry == entries_.end()) {
        return nullptr;
    }
    for (const NamedValue& v : entry->second.values) {
        if (EqualsNoCase(v.name, name)) {
            return &v.value;
        }
    }
    return nullptr;
}

void KeyTree::Set(const std::vector<std::string>& key, std::string_view name, KeyValue value) {
    Create(key);
    Entry& entry = entries_[MapKey(key)];
    for (NamedValue& v : entry.values) {
        if (EqualsNoCase(v.name, name)) {
            v.value = std::move(value);
            return;
        }
    }
    entry.values.push_back(NamedValue{std::string(name), std::move(value)});
}

bool KeyTree::Erase(const std::vector<std::string>& key, std::string_view name) {
    const auto entry = entries_.find(MapKey(key));
    if (entry == entries_.end()) {
        return false;
    }
    auto& values = entry->second.values;
    const auto it = std::find_if(values.begin(), values.end(),
                                 [&](const NamedValue& v) { return EqualsNoCase(v.name, name); });
    if (it == values.end()) {
        return false;
    }
    values.erase(it);
    return true;
}

bool KeyTree::EraseTree(const std::vector<std::string>& key) {
    if (key.empty()) {
        const bool any = !entries_.empty();
        entries_.clear();
        return any;
    }
    const std::string mapKey = MapKey(key);
    if (entries_.erase(mapKey) == 0) {
        return false;
    }
    const std::string below = mapKey + '\\';
    auto it = entries_.lower_bound(below);
    while (it != entries_.end() && it->first.compare(0, below.size(), below) == 0) {
        it = entries_.erase(it);
    }
    return true;
}

std::vector<std::string> KeyTree::Subkeys(const std::vector<std::string>& key) const {
    std::vector<std::string> names;
    for (const auto& [mapKey, entry] : entries_) {
        if (entry.path.size() == key.size() + 1 &&
            std::equal(key.begin(), key.end(), entry.path.begin(), EqualsNoCase)) {
            names.push_back(entry.path.back());
        }
    }
    return names;
}

std::vector<std::string> KeyTree::ValueNames(const std::vector<std::string>& key) const {
    std::vector<std::string> names;
    const auto entry = entries_.find(MapKey(key));
    if (entry != entries_.end()) {
        for (const NamedValue& v : entry->second.values) {
            names.push_back(v.name);
        }
    }
    return names;
}

}  // namespace os
