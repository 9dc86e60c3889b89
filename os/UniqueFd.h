// Owns a file descriptor and closes it when the owner goes out of scope.
#pragma once

#include <unistd.h>

namespace os {

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    // -1 when there is none.
    int get() const { return fd_; }
    // Closes the one held and takes `fd` in its place.
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

private:
    int fd_;
};

}  // namespace os
