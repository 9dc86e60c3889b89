#include "os/Process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace os {
namespace {

// Spawn attributes: the child starts with no blocked and no ignored signals,
// whatever this process does with them.
class SpawnAttributes {
public:
    SpawnAttributes() {
        posix_spawnattr_init(&attr_);
        sigset_t none, all;
        sigemptyset(&none);
        sigfillset(&all);
        posix_spawnattr_setsigmask(&attr_, &none);
        posix_spawnattr_setsigdefault(&attr_, &all);
        posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attr_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    const posix_spawnattr_t* get() const { return &attr_; }

private:
    posix_spawnattr_t attr_;
};

StartResult Spawn(const std::string& program, const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    SpawnAttributes attributes;
    StartResult result;
    const bool search = program.find('/') == std::string::npos;
    const int rc = search ? posix_spawnp(&result.pid, program.c_str(), nullptr, attributes.get(),
                                         argv.data(), environ)
                          : posix_spawn(&result.pid, program.c_str(), nullptr, attributes.get(),
                                        argv.data(), environ);
    if (rc != 0) {
        result.pid = -1;
        result.error = rc;
    }
    return result;
}

// One look at the child: Exited (with its code), Timeout (still running) or Failed.
ProcessWait Reap(pid_t pid, int* exitCode) {
    int status = 0;
    pid_t rc;
    do {
        rc = waitpid(pid, &status, WNOHANG);
    } while (rc < 0 && errno == EINTR);
    if (rc == 0) {
        return ProcessWait::Timeout;
    }
    if (rc != pid) {
        return ProcessWait::Failed;
    }
    if (exitCode != nullptr) {
        *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return ProcessWait::Exited;
}

}  // namespace

std::string StartResult::Message() const {
    return Started() ? "started" : std::string("cannot start: ") + std::strerror(error);
}

StartResult StartProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& args) {
    if (program.empty()) {
        return StartResult{-1, ENOENT};
    }
    return Spawn(program.string(), args);
}

StartResult OpenDocument(std::string_view target) {
    const StartResult result = Spawn("xdg-open", {std::string(target)});
    if (result.Started()) {
        std::thread([pid = result.pid] {
            int status = 0;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    }
    return result;
}

bool IsProcessAlive(pid_t pid) {
    if (pid <= 0) {
        return false;
    }
    const ProcessWait ours = Reap(pid, nullptr);
    if (ours != ProcessWait::Failed) {
        return ours == ProcessWait::Timeout;
    }
    return kill(pid, 0) == 0 || errno == EPERM;  // not our child
}

ProcessWait WaitForProcess(pid_t pid, uint32_t ms, int* exitCode) {
    if (pid <= 0) {
        return ProcessWait::Failed;
    }
    const auto deadline = detail::DeadlineIn(ms == kInfinite ? 0 : ms);
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        const ProcessWait state = Reap(pid, exitCode);
        if (state != ProcessWait::Timeout) {
            return state;
        }
        if (ms != kInfinite && std::chrono::steady_clock::now() >= deadline) {
            return ProcessWait::Timeout;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
}

}  // namespace os
