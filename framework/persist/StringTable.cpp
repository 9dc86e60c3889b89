#include "framework/persist/StringTable.h"

#include <map>
#include <mutex>
#include <vector>

namespace fw {

namespace {

struct Table {
    std::mutex mutex;
    std::map<unsigned, std::string> texts;
};

Table& TheTable() {
    static Table table;
    return table;
}

}  // namespace

void SetString(unsigned id, std::string_view text) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    t.texts[id] = std::string(text);
}

void SetStrings(std::span<const StringEntry> entries) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    for (const StringEntry& e : entries) t.texts[e.id] = std::string(e.text);
}

void SetStrings(std::initializer_list<StringEntry> entries) {
    SetStrings(std::span<const StringEntry>(entries.begin(), entries.size()));
}

void ClearStrings() {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    t.texts.clear();
}

std::optional<std::string> FindString(unsigned id) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    auto it = t.texts.find(id);
    if (it == t.texts.end())
        return std::nullopt;
    return it->second;
}

std::string LoadString(unsigned id) {
    return FindString(id).value_or(std::string());
}

std::string FormatString(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::vector<std::string_view> a(args);
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size()) {
            char n = pattern[i + 1];
            if (n >= '1' && n <= '9' && static_cast<std::size_t>(n - '1') < a.size()) {
                out += a[static_cast<std::size_t>(n - '1')];
                ++i;
                continue;
            }
            if (n == '%') {
                out += "%%";
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace fw
