// What the objects shared between processes (NamedEvent, NamedMutex,
// SharedMemory) have in common: names, results, and the file behind each one.
//
// Each object is a file in /dev/shm (POSIX shared memory) named
// "ixo-<uid>-<kind>-<name>", mode 0600, so two users never meet and an event
// and a mutex of the same name are two objects. A Windows-style "Global\" or
// "Local\" prefix is dropped: every name lives in the user's one namespace.
//
// Lifetime as on Windows: the object lives while any handle to it is open, in
// any process, and is gone once the last one is closed, also when a process
// was killed. Each handle holds a shared lock (flock) on the file; the closing
// handle that can turn its lock into an exclusive one is the last and removes
// the file. An opener that finds the file removed under it starts again. A new
// object is built complete in an unnamed file and only then linked under its
// name, so nobody ever opens one half made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace os {

enum class OpenResult {
    Created,       // made new
    Opened,        // it already existed; this handle shares it
    NotFound,      // Open of a name nobody has open
    BadName,       // empty, too long, or a character outside printable ASCII, '/' or '\'
    BadSize,       // a size of 0 or over kMaxSharedSize
    AccessDenied,  // the file belongs to another user
    WrongKind,     // the file is not an object of this kind (size or marker differ)
    Failed,        // the system refused (see Error())
};
inline bool IsOpen(OpenResult result) {
    return result == OpenResult::Created || result == OpenResult::Opened;
}
const char* ToString(OpenResult result);

inline constexpr size_t kMaxObjectName = 200;
inline constexpr size_t kMaxSharedSize = size_t{1} << 30;

// Checks a name; `cleaned` receives it as used (prefix dropped).
bool CheckObjectName(std::string_view name, std::string& cleaned);

namespace detail {

// One handle to a shared object's file and its mapping.
class SharedObject {
public:
    SharedObject() = default;
    ~SharedObject() { Close(); }
    SharedObject(const SharedObject&) = delete;
    SharedObject& operator=(const SharedObject&) = delete;

    // Opens the object `kind`/`name`. An existing object must be `existingSize`
    // bytes long (0 takes any size) and, unless `magic` is 0, start with the
    // 32-bit `magic`; WrongKind otherwise. A missing one is made `createSize`
    // bytes long (zero-filled) and passed to `init` (which writes the magic)
    // before anyone else can see it; with `createSize` 0 it is NotFound.
    OpenResult Open(std::string_view kind, std::string_view name, size_t createSize,
                    size_t existingSize, uint32_t magic, const std::function<void(void*)>& init);
    void Close();
    // Unlinks the object `kind`/`name`; false when there was none.
    static bool Remove(std::string_view kind, std::string_view name);
    // Lets go of the handle's share in the object's lifetime but keeps it mapped: the
    // object goes when its other handles close, and Close() of this one removes it only
    // when nobody else holds it (their processes died). False when not open.
    bool DropHold();
    // Whether the object still has its name (its last holder has not removed it).
    bool StillNamed() const;
    // Whether another handle, in any process, holds the object (see DropHold).
    bool Held() const;

    bool IsOpen() const { return data_ != nullptr; }
    bool AlreadyExisted() const { return existed_; }
    void* Data() const { return data_; }
    size_t Size() const { return size_; }
    const std::string& Error() const { return error_; }

private:
    OpenResult OpenOrCreate(size_t createSize, size_t existingSize,
                            const std::function<void(void*)>& init);
    OpenResult AttachExisting(int fd, size_t size);
    OpenResult CreateNew(size_t size, const std::function<void(void*)>& init, bool& raced);
    OpenResult Fail(OpenResult result, std::string_view what);

    int fd_ = -1;
    void* data_ = nullptr;
    size_t size_ = 0;
    std::string path_;
    std::string error_;
    bool existed_ = false;
};

}  // namespace detail
}  // namespace os
