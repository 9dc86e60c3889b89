#include "os/FileIo.h"

#include "os/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace os {
namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = EIO;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

ReadStatus ReadWholeFile(const std::filesystem::path& path, size_t maxBytes, std::string& bytes,
                         std::error_code* error) {
    bytes.clear();
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        const bool missing = fd.get() < 0 && errno == ENOENT;
        if (error != nullptr) {
            *error =
                fd.get() >= 0 ? std::make_error_code(std::errc::invalid_argument) : LastError();
        }
        return missing ? ReadStatus::Missing : ReadStatus::Failed;
    }
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
        return ReadStatus::TooLarge;
    }
    char buffer[8192];
    for (;;) {
        const ssize_t got = read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            if (error != nullptr) {
                *error = LastError();
            }
            return ReadStatus::Failed;
        }
        if (got == 0) {
            return ReadStatus::Ok;
        }
        if (bytes.size() + static_cast<size_t>(got) > maxBytes) {
            bytes.clear();  // grew while being read
            return ReadStatus::TooLarge;
        }
        bytes.append(buffer, static_cast<size_t>(got));
    }
}

std::error_code ReplaceFile(const std::filesystem::path& path, std::string_view bytes,
                            mode_t newMode) {
    struct stat info {};
    const mode_t mode = stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : newMode;
    std::string temp = path.string() + ".XXXXXX";
    UniqueFd fd(mkostemp(temp.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        return LastError();
    }
    std::error_code error;
    if (fchmod(fd.get(), mode) != 0 || !WriteAll(fd.get(), bytes) || fsync(fd.get()) != 0 ||
        rename(temp.c_str(), path.c_str()) != 0) {
        error = LastError();
        unlink(temp.c_str());
    }
    return error;
}

}  // namespace os
