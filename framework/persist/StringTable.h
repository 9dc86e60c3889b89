// The string table: resource ids to texts. Each program fills it at start-up with its own texts
// (and libraries with theirs); code then asks for a text by id. Safe from any thread.
#pragma once

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace fw {

struct StringEntry {
    unsigned id;
    std::string_view text;
};

// Adds or replaces texts.
void SetString(unsigned id, std::string_view text);
void SetStrings(std::span<const StringEntry> entries);
void SetStrings(std::initializer_list<StringEntry> entries);
// Removes every text (tests).
void ClearStrings();

// The text of an id, or nothing when the table has none.
std::optional<std::string> FindString(unsigned id);
// The text of an id; empty when the table has none.
std::string LoadString(unsigned id);

// Replaces %1 to %9 in a pattern by the arguments ("%%" stays "%%"); a placeholder without
// an argument is left as it stands.
std::string FormatString(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace fw
