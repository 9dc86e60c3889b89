#include "addrserver/TftpFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace addrserver {

TftpFiles::TftpFiles(std::string directory) : directory_(std::move(directory)) {}

TftpFiles::~TftpFiles() {
    Reset({});
}

void TftpFiles::CloseLocked(Record& r) {
    if (r.fd >= 0)
        ::close(r.fd);
    r.fd = -1;
}

void TftpFiles::Reset(const std::string& directory) {
    std::lock_guard lock(mutex_);
    for (auto& r : records_) CloseLocked(r);
    records_.clear();
    directory_ = directory;
}

bool TftpFiles::Exists(const std::string& name) const {
    struct stat st {};
    return !name.empty() && ::stat((directory_ + "/" + name).c_str(), &st) == 0 &&
           S_ISREG(st.st_mode);
}

int TftpFiles::PickRecordLocked(const std::string& name) const {
    int unused = -1;
    for (size_t i = 0; i < records_.size(); ++i) {
        if (records_[i].name == name)
            return static_cast<int>(i);
        // A record nobody reads any more may serve another file; the least recently used goes.
        if (records_[i].users == 0 &&
            (unused < 0 ||
             static_cast<int32_t>(records_[i].lastUse - records_[unused].lastUse) < 0))
            unused = static_cast<int>(i);
    }
    if (records_.size() < kCapacity)
        return static_cast<int>(records_.size());
    return unused;
}

TftpFiles::OpenResult TftpFiles::Acquire(const std::string& name, uint32_t now, int& record,
                                         bool& isNew) {
    std::lock_guard lock(mutex_);
    isNew = false;
    int index = PickRecordLocked(name);
    if (index < 0)
        return OpenResult::kTableFull;
    if (index == static_cast<int>(records_.size()))
        records_.emplace_back();
    Record& r = records_[index];
    if (r.name != name || r.fd < 0) {
        CloseLocked(r);
        r = Record{};
        int fd = ::open((directory_ + "/" + name).c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            if (fd >= 0)
                ::close(fd);
            return OpenResult::kNotFound;
        }
        r.name = name;
        r.fd = fd;
        isNew = true;
    }
    struct stat st {};
    // A transfer sends size/512 + 1 blocks; block numbers are 16 bits and must not wrap.
    if (::fstat(r.fd, &st) != 0 || static_cast<uint64_t>(st.st_size) / 512 + 1 > kTftpMaxBlocks) {
        if (r.users == 0)
            CloseLocked(r);
        return OpenResult::kTooLarge;
    }
    ++r.users;
    r.lastUse = now;
    record = index;
    return OpenResult::kOk;
}

void TftpFiles::Release(int record) {
    std::lock_guard lock(mutex_);
    Record& r = records_.at(record);
    if (r.users > 0 && --r.users == 0)
        CloseLocked(r);
}

ssize_t TftpFiles::Read(int record, uint64_t offset, std::span<uint8_t> out, uint32_t now) {
    int fd;
    {
        std::lock_guard lock(mutex_);
        Record& r = records_.at(record);
        r.lastUse = now;
        fd = r.fd;
    }
    size_t done = 0;
    while (done < out.size()) {
        ssize_t n =
            ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

std::string TftpFiles::Name(int record) const {
    std::lock_guard lock(mutex_);
    return records_.at(record).name;
}

std::optional<ImageVersion> TftpFiles::VersionOf(const std::string& name) const {
    std::lock_guard lock(mutex_);
    for (const auto& r : records_) {
        if (r.name == name)
            return r.version;
    }
    return std::nullopt;
}

size_t TftpFiles::OpenCount() const {
    std::lock_guard lock(mutex_);
    size_t n = 0;
    for (const auto& r : records_) n += r.fd >= 0 ? 1 : 0;
    return n;
}

}  // namespace addrserver
