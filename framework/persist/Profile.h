// The application profile: a program's settings by section and entry (window placement,
// column widths, recent files, the grid's styles and properties).
//
// Two stores, as the program chooses:
//   key store  the user's os::KeyStore, key "Software\<registry key>\<program>\<section>";
//              numbers as 32-bit values, texts as strings, blocks as binary values. Programs
//              of the suite use the registry key "Ixo".
//   ini file   an os::IniFile, [section] and entry=value; numbers in decimal, blocks as two
//              upper-case hex digits per byte.
//
// Reading a missing entry gives the default. Writing a null value deletes the entry; writing
// with a null entry deletes the whole section.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

class Profile {
public:
    // A profile in the key store; `storeFile` names another store file (tests).
    static Profile InKeyStore(std::string_view registryKey, std::string_view program,
                              std::filesystem::path storeFile = {});
    static Profile InIniFile(std::filesystem::path file);

    bool UsesKeyStore() const { return keyStore_; }
    // The key of a section in key-store mode ("Software\Ixo\Quillon\Settings").
    std::string SectionKey(std::string_view section) const;
    const std::filesystem::path& File() const { return file_; }

    int GetProfileInt(std::string_view section, std::string_view entry, int defaultValue) const;
    std::string GetProfileString(std::string_view section, std::string_view entry,
                                 std::string_view defaultValue = {}) const;
    std::optional<std::vector<std::uint8_t>> GetProfileBinary(std::string_view section,
                                                              std::string_view entry) const;

    bool WriteProfileInt(std::string_view section, std::string_view entry, int value);
    // A null value deletes the entry; a null entry deletes the section.
    bool WriteProfileString(std::string_view section, const char* entry, const char* value);
    bool WriteProfileString(std::string_view section, std::string_view entry,
                            std::string_view value);
    bool WriteProfileBinary(std::string_view section, std::string_view entry,
                            std::span<const std::uint8_t> bytes);
    bool DeleteEntry(std::string_view section, std::string_view entry);
    bool DeleteSection(std::string_view section);

    bool SectionExists(std::string_view section) const;
    // Entries of a section (key store: its values; ini file: its keys).
    std::vector<std::string> EntryNames(std::string_view section) const;
    // Sections below a section (key store: its subkeys; an ini file has none).
    std::vector<std::string> SubsectionNames(std::string_view section) const;

private:
    Profile() = default;
    bool keyStore_ = false;
    std::string appKey_;          // key-store mode: "Software\<registry key>\<program>"
    std::filesystem::path file_;  // the store file or the ini file
};

// The profile of the running program. Until the program chooses, an ini file named after the
// program in the user's configuration folder.
Profile& AppProfile();
// Keeps the program's profile in the key store under the registry key (the suite uses "Ixo").
void SetRegistryKey(std::string_view registryKey, std::string_view program);
void SetAppProfile(Profile profile);

}  // namespace fw
