#include "os/KeyStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

#include "os/FileIo.h"
#include "os/KeyStoreFormat.h"
#include "os/Paths.h"

namespace os {
namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxFile = 64 * 1024 * 1024;

// Holds an exclusive lock on "<file>.lock" for the life of a scope.
class FileLock {
public:
    explicit FileLock(const fs::path& file)
        : fd_(open((file.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_ >= 0) {
            while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FileLock() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool Held() const { return fd_ >= 0; }

private:
    int fd_;
};

}  // namespace

const char* ToString(KeyStatus status) {
    switch (status) {
        case KeyStatus::Ok:
            return "done";
        case KeyStatus::NotFound:
            return "no such key or value";
        case KeyStatus::WrongType:
            return "the value has another type";
        case KeyStatus::BadName:
            return "key, name or value out of bounds";
        case KeyStatus::Corrupt:
            return "the key store file is damaged";
        case KeyStatus::IoError:
            return "the key store file cannot be read or written";
    }
    return "unknown status";
}

fs::path KeyStore::FileFor(KeyRoot root) {
    const char* name = root == KeyRoot::Machine ? "machine.keys" : "user.keys";
    const char* dir = std::getenv("IXO_KEYSTORE_DIR");
    if (dir != nullptr && *dir != '\0') {
        return fs::path(dir) / name;
    }
    return (root == KeyRoot::Machine ? SystemDir() : UserConfigDir()) / name;
}

KeyStore::KeyStore(KeyRoot root)
    : file_(FileFor(root)), mode_(root == KeyRoot::Machine ? 0644 : 0600) {}

KeyStore::KeyStore(fs::path file) : file_(std::move(file)), mode_(0600) {}

KeyStatus KeyStore::Load(KeyTree& tree) const {
    std::string bytes;
    switch (ReadWholeFile(file_, kMaxFile, bytes)) {
        case ReadStatus::Ok:
            break;
        case ReadStatus::Missing:
            tree = KeyTree();
            return KeyStatus::Ok;
        case ReadStatus::TooLarge:
            tree = KeyTree();
            return KeyStatus::Corrupt;
        case ReadStatus::Failed:
            tree = KeyTree();
            return KeyStatus::IoError;
    }
    return ParseKeyStore(bytes, tree).error == KeyStoreParseError::None ? KeyStatus::Ok
                                                                        : KeyStatus::Corrupt;
}

template <typename Change>
KeyStatus KeyStore::Modify(Change change) {
    std::error_code error;
    fs::create_directories(file_.parent_path(), error);
    FileLock lock(file_);
    if (!lock.Held()) {
        return KeyStatus::IoError;
    }
    KeyTree tree;
    const KeyStatus loaded = Load(tree);
    if (loaded == KeyStatus::IoError) {
        return loaded;
    }
    const KeyStatus changed = change(tree);
    if (changed != KeyStatus::Ok) {
        return changed;
    }
    if (loaded == KeyStatus::Corrupt &&
        rename(file_.c_str(), (file_.string() + ".corrupt").c_str()) != 0) {
        return KeyStatus::IoError;
    }
    return ReplaceFile(file_, FormatKeyStore(tree), mode_) ? KeyStatus::IoError : KeyStatus::Ok;
}

KeyStatus KeyStore::CreateKey(std::string_view key) {
    std::vector<std::string> path;
    if (!SplitKeyPath(key, path)) {
        return KeyStatus::BadName;
    }
    return Modify([&](KeyTree& tree) {
        tree.Create(path);
        return KeyStatus::Ok;
    });
}

bool KeyStore::KeyExists(std::string_view key) const {
    std::vector<std::string> path;
    KeyTree tree;
    return SplitKeyPath(key, path) && Load(tree) == KeyStatus::Ok && tree.Exists(path);
}

KeyStatus KeyStore::SetValue(std::string_view key, std::string_view name, const KeyValue& value) {
    std::vector<std::string> path;
    if (!SplitKeyPath(key, path) || !ValidValueName(name) || !ValidValue(value)) {
        return KeyStatus::BadName;
    }
    return Modify([&](KeyTree& tree) {
        tree.Set(path, name, value);
        return KeyStatus::Ok;
    });
}

KeyStatus KeyStore::SetString(std::string_view key, std::string_view name, std::string_view value) {
    return SetValue(key, name, KeyValue::String(value));
}

KeyStatus KeyStore::SetU32(std::string_view key, std::string_view name, uint32_t value) {
    return SetValue(key, name, KeyValue::U32(value));
}

KeyStatus KeyStore::SetBinary(std::string_view key, std::string_view name,
                              std::vector<uint8_t> value) {
    return SetValue(key, name, KeyValue::Binary(std::move(value)));
}

KeyStatus KeyStore::GetValue(std::string_view key, std::string_view name, KeyValue& value) const {
    std::vector<std::string> path;
    if (!SplitKeyPath(key, path) || !ValidValueName(name)) {
        return KeyStatus::BadName;
    }
    KeyTree tree;
    const KeyStatus loaded = Load(tree);
    if (loaded != KeyStatus::Ok) {
        return loaded;
    }
    const KeyValue* found = tree.Find(path, name);
    if (found == nullptr) {
        return KeyStatus::NotFound;
    }
    value = *found;
    return KeyStatus::Ok;
}

KeyStatus KeyStore::GetTyped(std::string_view key, std::string_view name, ValueType type,
                             KeyValue& value) const {
    KeyStatus status = GetValue(key, name, value);
    if (status == KeyStatus::Ok && value.type != type) {
        status = KeyStatus::WrongType;
    }
    return status;
}

KeyStatus KeyStore::GetString(std::string_view key, std::string_view name,
                              std::string& value) const {
    KeyValue found;
    const KeyStatus status = GetTyped(key, name, ValueType::String, found);
    if (status == KeyStatus::Ok) {
        value = std::move(found.text);
    }
    return status;
}

KeyStatus KeyStore::GetU32(std::string_view key, std::string_view name, uint32_t& value) const {
    KeyValue found;
    const KeyStatus status = GetTyped(key, name, ValueType::U32, found);
    if (status == KeyStatus::Ok) {
        value = found.number;
    }
    return status;
}

KeyStatus KeyStore::GetBinary(std::string_view key, std::string_view name,
                              std::vector<uint8_t>& value) const {
    KeyValue found;
    const KeyStatus status = GetTyped(key, name, ValueType::Binary, found);
    if (status == KeyStatus::Ok) {
        value = std::move(found.bytes);
    }
    return status;
}

KeyStatus KeyStore::List(std::string_view key, std::vector<std::string>& names,
                         bool subkeys) const {
    names.clear();
    std::vector<std::string> path;
    if (!SplitKeyPath(key, path)) {
        return KeyStatus::BadName;
    }
    KeyTree tree;
    const KeyStatus loaded = Load(tree);
    if (loaded != KeyStatus::Ok) {
        return loaded;
    }
    if (!tree.Exists(path)) {
        return KeyStatus::NotFound;
    }
    names = subkeys ? tree.Subkeys(path) : tree.ValueNames(path);
    return KeyStatus::Ok;
}

KeyStatus KeyStore::EnumSubkeys(std::string_view key, std::vector<std::string>& names) const {
    return List(key, names, true);
}

KeyStatus KeyStore::EnumValues(std::string_view key, std::vector<std::string>& names) const {
    return List(key, names, false);
}

KeyStatus KeyStore::DeleteValue(std::string_view key, std::string_view name) {
    std::vector<std::string> path;
    if (!SplitKeyPath(key, path) || !ValidValueName(name)) {
        return KeyStatus::BadName;
    }
    return Modify([&](KeyTree& tree) {
        return tree.Erase(path, name) ? KeyStatus::Ok : KeyStatus::NotFound;
    });
}

KeyStatus KeyStore::DeleteTree(std::string_view key) {
    std::vector<std::string> path;
    if (!SplitKeyPath(key, path) || path.empty()) {
        return KeyStatus::BadName;
    }
    return Modify(
        [&](KeyTree& tree) { return tree.EraseTree(path) ? KeyStatus::Ok : KeyStatus::NotFound; });
}

}  // namespace os
