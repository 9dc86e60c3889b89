// Waiting for a process to end on the kernel's notice of its end (a process file
// descriptor becomes readable), never by looking at it again and again.
#pragma once

#include <errno.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

namespace ixo::testsupport {

// True once `pid` has ended (a child of ours may then be reaped at once), false while it
// runs on after `ms` of real time (-1: no limit). Any process may be waited for, not only
// a child.
inline bool AwaitExit(pid_t pid, int ms) {
    const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0)
        return errno == ESRCH;  // no such process: it has ended and been reaped
    pollfd p{fd, POLLIN, 0};
    int ready = 0;
    while ((ready = poll(&p, 1, ms)) < 0 && errno == EINTR) {
    }
    close(fd);
    return ready == 1;
}

}  // namespace ixo::testsupport
