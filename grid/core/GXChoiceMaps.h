// The look-up maps of shared tabbed choice lists: many cells may name one choice list by a
// unique id (>= 1), so the maps from a key column's (or a text column's) text to its whole line
// are built once per id and kept by the grid's parameters until dropped. One generation count
// for all maps grows whenever a map is dropped, so a control that filled its list from a map
// can tell that it must fill again.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CGXChoiceMap {
public:
    // Enters, for each line (after the title line when `titles`), its field `field` as a key
    // and the whole line as its value; a later line with the same field replaces the earlier.
    CGXChoiceMap(std::string_view list, int field, bool titles);

    // The line of a key compared exactly; null when none.
    const std::string* Find(std::string_view key) const;
    // Adds a further key for a line (an alias); an existing key keeps its line.
    void AddAlias(std::string key, const std::string& line);
    // The keys that came from the choice list, in list order (aliases are not among them).
    const std::vector<std::string>& ListKeys() const { return order_; }

private:
    std::unordered_map<std::string, std::string> map_;
    std::vector<std::string> order_;
};

class CGXChoiceMaps {
public:
    enum Kind { KeyMap = 0, TextMap = 1 };

    // The map of a kind for an id when it was built; null for ids below 1 and unbuilt maps.
    CGXChoiceMap* Find(int id, Kind kind);
    // The map of a kind for an id, built from the list on first need; null for ids below 1.
    CGXChoiceMap* Get(int id, Kind kind, std::string_view list, int field, bool titles);
    // -1 drops every map, an id >= 1 the two maps of that id; both grow the generation count.
    // Other ids drop nothing.
    void Drop(int id);
    int Generation() const { return generation_; }

private:
    std::map<int, std::unique_ptr<CGXChoiceMap>> maps_[2];
    int generation_ = 0;
};
