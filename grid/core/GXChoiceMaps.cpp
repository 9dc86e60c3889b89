#include "grid/core/GXChoiceMaps.h"

#include "grid/core/GXChoiceList.h"

namespace {

constexpr std::size_t kBuckets = 257;

}  // namespace

CGXChoiceMap::CGXChoiceMap(std::string_view list, int field, bool titles) {
    map_.rehash(kBuckets);
    std::string text(list), line;
    bool first = true;
    while (!text.empty()) {
        GXExtractLine(text, line);
        if (!(first && titles)) {
            std::string key = GXGetTabField(line, field);
            auto [it, added] = map_.insert_or_assign(key, line);
            if (added)
                order_.push_back(std::move(key));
        }
        first = false;
    }
}

const std::string* CGXChoiceMap::Find(std::string_view key) const {
    auto it = map_.find(std::string(key));
    return it == map_.end() ? nullptr : &it->second;
}

void CGXChoiceMap::AddAlias(std::string key, const std::string& line) {
    map_.try_emplace(std::move(key), line);
}

CGXChoiceMap* CGXChoiceMaps::Find(int id, Kind kind) {
    if (id < 1)
        return nullptr;
    auto it = maps_[kind].find(id);
    return it == maps_[kind].end() ? nullptr : it->second.get();
}

CGXChoiceMap* CGXChoiceMaps::Get(int id, Kind kind, std::string_view list, int field, bool titles) {
    if (id < 1)
        return nullptr;
    std::unique_ptr<CGXChoiceMap>& slot = maps_[kind][id];
    if (!slot)
        slot = std::make_unique<CGXChoiceMap>(list, field, titles);
    return slot.get();
}

void CGXChoiceMaps::Drop(int id) {
    if (id == -1) {
        maps_[KeyMap].clear();
        maps_[TextMap].clear();
    } else if (id >= 1) {
        maps_[KeyMap].erase(id);
        maps_[TextMap].erase(id);
    } else {
        return;
    }
    ++generation_;
}
