#include "os/SharedObject.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>

namespace os {
namespace {

constexpr const char* kShmDir = "/dev/shm";
// Openers that keep finding the object removed under them give up after this.
constexpr int kOpenAttempts = 100;

bool LockShared(int fd) {
    while (flock(fd, LOCK_SH) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

std::string ErrnoText(std::string_view what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// An unnamed file in the shm folder, or (where unnamed files are not
// supported) a uniquely named one that `tempPath` names.
int OpenBlankFile(std::string& tempPath) {
    tempPath.clear();
    const int fd = open(kShmDir, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) {
        return fd;
    }
    static std::atomic<unsigned> counter{0};
    tempPath = std::string(kShmDir) + "/ixo-" + std::to_string(geteuid()) + "-new-" +
               std::to_string(getpid()) + "-" + std::to_string(counter++);
    return open(tempPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
}

// Gives the blank file its name; false with errno set (EEXIST: someone was first).
bool LinkBlankFile(int fd, const std::string& tempPath, const std::string& path) {
    if (!tempPath.empty()) {
        const bool linked = link(tempPath.c_str(), path.c_str()) == 0;
        const int saved = errno;
        unlink(tempPath.c_str());
        errno = saved;
        return linked;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

}  // namespace

const char* ToString(OpenResult result) {
    switch (result) {
        case OpenResult::Created:
            return "created";
        case OpenResult::Opened:
            return "opened";
        case OpenResult::NotFound:
            return "no object of that name";
        case OpenResult::BadName:
            return "bad object name";
        case OpenResult::BadSize:
            return "bad size";
        case OpenResult::AccessDenied:
            return "the object belongs to another user";
        case OpenResult::WrongKind:
            return "the object is of another kind";
        case OpenResult::Failed:
            return "the system refused";
    }
    return "unknown result";
}

bool CheckObjectName(std::string_view name, std::string& cleaned) {
    for (std::string_view prefix : {"Global\\", "Local\\"}) {
        if (name.substr(0, prefix.size()) == prefix) {
            name.remove_prefix(prefix.size());
            break;
        }
    }
    const bool good = !name.empty() && name.size() <= kMaxObjectName &&
                      std::all_of(name.begin(), name.end(), [](char c) {
                          return c >= 0x20 && c <= 0x7E && c != '/' && c != '\\';
                      });
    cleaned = good ? std::string(name) : std::string();
    return good;
}

namespace detail {

OpenResult SharedObject::Fail(OpenResult result, std::string_view what) {
    error_ = errno != 0 ? ErrnoText(what) : std::string(what);
    return result;
}

OpenResult SharedObject::Open(std::string_view kind, std::string_view name, size_t createSize,
                              size_t existingSize, uint32_t magic,
                              const std::function<void(void*)>& init) {
    Close();
    error_.clear();
    std::string cleaned;
    if (!CheckObjectName(name, cleaned)) {
        error_ = "bad object name";
        return OpenResult::BadName;
    }
    if (createSize > kMaxSharedSize || existingSize > kMaxSharedSize) {
        error_ = "bad size";
        return OpenResult::BadSize;
    }
    path_ = std::string(kShmDir) + "/ixo-" + std::to_string(geteuid()) + "-" + std::string(kind) +
            "-" + cleaned;
    OpenResult result = OpenOrCreate(createSize, existingSize, init);
    uint32_t head = 0;
    if (IsOpen() && magic != 0 &&
        (size_ < sizeof head || (std::memcpy(&head, data_, sizeof head), head != magic))) {
        Close();
        errno = 0;
        result = Fail(OpenResult::WrongKind, path_ + ": not an object of this kind");
    }
    existed_ = result == OpenResult::Opened;
    return result;
}

OpenResult SharedObject::OpenOrCreate(size_t createSize, size_t existingSize,
                                      const std::function<void(void*)>& init) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        errno = 0;
        const int fd = open(path_.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (fd >= 0) {
            const OpenResult result = AttachExisting(fd, existingSize);
            if (result != OpenResult::NotFound) {
                return result;
            }
            continue;  // removed by its last closer while we were opening it
        }
        if (errno == EACCES || errno == ELOOP) {
            return Fail(OpenResult::AccessDenied, path_);
        }
        if (errno != ENOENT) {
            return Fail(OpenResult::Failed, path_);
        }
        if (createSize == 0) {
            return Fail(OpenResult::NotFound, path_);
        }
        bool raced = false;
        const OpenResult result = CreateNew(createSize, init, raced);
        if (!raced) {
            return result;
        }
    }
    errno = 0;
    return Fail(OpenResult::Failed, "the object keeps vanishing while being opened");
}

// NotFound asks the caller to start again.
OpenResult SharedObject::AttachExisting(int fd, size_t size) {
    struct stat info {};
    if (!LockShared(fd) || fstat(fd, &info) != 0) {
        Fail(OpenResult::Failed, path_);
        close(fd);
        return OpenResult::Failed;
    }
    OpenResult result = OpenResult::Opened;
    if (info.st_nlink == 0) {
        result = OpenResult::NotFound;
    } else if (info.st_uid != geteuid()) {
        errno = 0;
        result = Fail(OpenResult::AccessDenied, path_);
    } else if (info.st_size <= 0 ||
               static_cast<unsigned long long>(info.st_size) > kMaxSharedSize ||
               (size != 0 && static_cast<size_t>(info.st_size) != size)) {
        errno = 0;
        result = Fail(OpenResult::WrongKind, path_ + ": unexpected size");
    }
    void* data = MAP_FAILED;
    if (result == OpenResult::Opened) {
        data = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ | PROT_WRITE, MAP_SHARED,
                    fd, 0);
        if (data == MAP_FAILED) {
            result = Fail(OpenResult::Failed, "mmap");
        }
    }
    if (result != OpenResult::Opened) {
        close(fd);
        return result;
    }
    fd_ = fd;
    data_ = data;
    size_ = static_cast<size_t>(info.st_size);
    return result;
}

OpenResult SharedObject::CreateNew(size_t size, const std::function<void(void*)>& init,
                                   bool& raced) {
    std::string tempPath;
    const int fd = OpenBlankFile(tempPath);
    if (fd < 0) {
        return Fail(errno == EACCES ? OpenResult::AccessDenied : OpenResult::Failed, kShmDir);
    }
    void* data = MAP_FAILED;
    if (fchmod(fd, 0600) != 0 || ftruncate(fd, static_cast<off_t>(size)) != 0 ||
        (data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)) == MAP_FAILED) {
        Fail(OpenResult::Failed, "making the object");
        if (!tempPath.empty()) {
            unlink(tempPath.c_str());
        }
        close(fd);
        return OpenResult::Failed;
    }
    if (init) {
        init(data);
    }
    if (!LockShared(fd) || !LinkBlankFile(fd, tempPath, path_)) {
        raced = errno == EEXIST;
        Fail(OpenResult::Failed, path_);
        if (!tempPath.empty()) {
            unlink(tempPath.c_str());  // when linking was not reached
        }
        munmap(data, size);
        close(fd);
        return OpenResult::Failed;
    }
    fd_ = fd;
    data_ = data;
    size_ = size;
    return OpenResult::Created;
}

bool SharedObject::Remove(std::string_view kind, std::string_view name) {
    std::string cleaned;
    if (!CheckObjectName(name, cleaned)) {
        return false;
    }
    const std::string path = std::string(kShmDir) + "/ixo-" + std::to_string(geteuid()) + "-" +
                             std::string(kind) + "-" + cleaned;
    return unlink(path.c_str()) == 0;
}

bool SharedObject::DropHold() {
    return fd_ >= 0 && flock(fd_, LOCK_UN) == 0;
}

bool SharedObject::StillNamed() const {
    struct stat info {};
    return fd_ >= 0 && fstat(fd_, &info) == 0 && info.st_nlink > 0;
}

bool SharedObject::Held() const {
    if (fd_ < 0 || flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        if (fd_ >= 0) {
            flock(fd_, LOCK_UN);
        }
        return false;
    }
    return true;
}

void SharedObject::Close() {
    if (data_ != nullptr) {
        munmap(data_, size_);
        data_ = nullptr;
    }
    if (fd_ < 0) {
        return;
    }
    struct stat info {};
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0 && fstat(fd_, &info) == 0 && info.st_nlink > 0) {
        unlink(path_.c_str());  // the last handle anywhere
    }
    close(fd_);
    fd_ = -1;
    size_ = 0;
    existed_ = false;
}

}  // namespace detail
}  // namespace os
