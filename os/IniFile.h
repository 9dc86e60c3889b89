// Private-profile settings files ("Tessaly.ini", "Stellan.INI", ...):
//
//   [Section]
//   Key=Value
//
// Sections and keys are found without regard to case; blanks around keys and
// values do not count, and a value in matching double or single quotes is read
// without them. The first of two equal keys wins. A line that is not a section
// or "key=value" (comments, junk, binary bytes, lines over kMaxLine bytes) is
// passed over on reading and kept as it was on writing. Every call reads the
// file afresh, so changes by other programs are seen; a missing or unreadable
// file reads as empty, giving the defaults.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace os {

class IniFile {
public:
    static constexpr size_t kMaxLine = 32 * 1024;
    static constexpr size_t kMaxFile = 16 * 1024 * 1024;

    explicit IniFile(std::filesystem::path path);
    const std::filesystem::path& Path() const { return path_; }

    // The value, or nothing when the section or key is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue = {}) const;
    // The value read as an integer: leading blanks, a sign and "0x" for hex are
    // accepted and reading stops at the first other character; a value with no
    // digits reads as 0. A missing key or an empty value gives the default.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

    // Sets the value, adding the key (at the end of its section) or the section
    // (at the end of the file) or the file itself when missing; every other line
    // stays byte for byte. False, with the file unchanged, when the section, key
    // or value cannot be stored (line breaks, "=" in a key, "]" in a section, an
    // empty key) or the file cannot be written.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInt(std::string_view section, std::string_view key, int value);
    // Removes the key's lines / the section with all its lines. True when the
    // file no longer holds them (also when it never did).
    bool DeleteKey(std::string_view section, std::string_view key);
    bool DeleteSection(std::string_view section);

    // Names in file order, each once.
    std::vector<std::string> GetSectionNames() const;
    std::vector<std::string> GetKeys(std::string_view section) const;

private:
    std::filesystem::path path_;
};

// Reads an integer as private-profile files do (see GetInt); nothing for "".
std::optional<int> ParseProfileInt(std::string_view text);

}  // namespace os
