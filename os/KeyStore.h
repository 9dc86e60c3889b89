// The key store: a registry-like tree of keys holding named, typed values,
// kept in a file per root.
//
//   Machine  <system dir>/machine.keys       (IXO_SYSTEM_DIR, default /etc/ixo), mode 0644
//   User     <user config dir>/user.keys     ($XDG_CONFIG_HOME/ixo or ~/.config/ixo), mode 0600
//   With IXO_KEYSTORE_DIR set, both files live in that folder instead (tests).
//
// Key paths use "\" or "/" between components ("SOFTWARE\\Ixo\\DEDEVEV");
// keys and value names are found without regard to case and kept as first
// written; "" names a key's default value and the root key. Each call reads the
// file afresh; each change is one read-change-replace under a lock file
// ("<file>.lock") shared with other processes, and the new file is written to
// a temporary beside it and renamed over the old one.
//
// A file that cannot be parsed reads as an empty store, each read reporting
// Corrupt. The first change moves it aside to "<file>.corrupt" (kept for the
// user, never overwritten silently) and starts a fresh store.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "os/KeyTree.h"

namespace os {

enum class KeyRoot { Machine, User };

enum class KeyStatus {
    Ok,
    NotFound,   // no such key or value
    WrongType,  // the value exists with another type
    BadName,    // a key path, value name or value out of bounds (see KeyTree.h)
    Corrupt,    // the file is not a key store; read as empty
    IoError,    // the file or its folder cannot be read or written
};
const char* ToString(KeyStatus status);

class KeyStore {
public:
    explicit KeyStore(KeyRoot root);
    // A store in a file of the caller's choice (tests, tools).
    explicit KeyStore(std::filesystem::path file);
    static std::filesystem::path FileFor(KeyRoot root);
    const std::filesystem::path& File() const { return file_; }

    KeyStatus CreateKey(std::string_view key);
    bool KeyExists(std::string_view key) const;

    KeyStatus SetValue(std::string_view key, std::string_view name, const KeyValue& value);
    KeyStatus SetString(std::string_view key, std::string_view name, std::string_view value);
    KeyStatus SetU32(std::string_view key, std::string_view name, uint32_t value);
    KeyStatus SetBinary(std::string_view key, std::string_view name, std::vector<uint8_t> value);

    KeyStatus GetValue(std::string_view key, std::string_view name, KeyValue& value) const;
    KeyStatus GetString(std::string_view key, std::string_view name, std::string& value) const;
    KeyStatus GetU32(std::string_view key, std::string_view name, uint32_t& value) const;
    KeyStatus GetBinary(std::string_view key, std::string_view name,
                        std::vector<uint8_t>& value) const;

    // Names of the key's direct subkeys / values, in a stable order.
    KeyStatus EnumSubkeys(std::string_view key, std::vector<std::string>& names) const;
    KeyStatus EnumValues(std::string_view key, std::vector<std::string>& names) const;

    KeyStatus DeleteValue(std::string_view key, std::string_view name);
    // Deletes the key with every key and value below it. The root cannot be deleted.
    KeyStatus DeleteTree(std::string_view key);

private:
    // Reads the file; a missing file is an empty store (Ok).
    KeyStatus Load(KeyTree& tree) const;
    template <typename Change>
    KeyStatus Modify(Change change);
    KeyStatus GetTyped(std::string_view key, std::string_view name, ValueType type,
                       KeyValue& value) const;
    KeyStatus List(std::string_view key, std::vector<std::string>& names, bool subkeys) const;

    std::filesystem::path file_;
    mode_t mode_;
};

}  // namespace os
