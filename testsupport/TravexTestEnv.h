// A private Travex for one test: its own runtime folder (socket and lock), its own scope
// for named objects and key store, and a short linger (-1: the real 5 s), all through the
// environment the started Travex inherits: set in this process (apply), or given to a
// program as Vars(). Stop() ends the Travex that serves the folder, if any.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "testsupport/ProcessExit.h"

namespace ixo::testsupport {

class TravexTestEnv {
public:
    explicit TravexTestEnv(const std::string& tag, int lingerMs = 300, bool apply = true) {
        static int counter = 0;
        std::string id = tag + std::to_string(getpid()) + "-" + std::to_string(++counter);
        dir_ = std::filesystem::temp_directory_path() / ("ixo-" + id);
        std::filesystem::create_directories(dir_ / "run");
        std::filesystem::create_directories(dir_ / "keys");
        scope_ = id;
        vars_ = {{"XDG_RUNTIME_DIR", (dir_ / "run").string()},
                 {"IXO_KEYSTORE_DIR", (dir_ / "keys").string()},
                 {"IXO_OBJECT_SCOPE", id}};
        if (lingerMs >= 0)
            vars_.push_back({"IXO_TRAVEX_LINGER_MS", std::to_string(lingerMs)});
        else
            unsetenv("IXO_TRAVEX_LINGER_MS");
        if (apply) {
            for (const auto& [k, v] : vars_) setenv(k.c_str(), v.c_str(), 1);
        }
    }
    // "NAME=value" for each variable, as `env` takes them.
    std::vector<std::string> Vars() const {
        std::vector<std::string> out;
        for (const auto& [k, v] : vars_) out.push_back(k + "=" + v);
        return out;
    }
    ~TravexTestEnv() {
        Stop();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
        // What killed clients left of their named objects, in this test's scope only.
        const std::string mark = "-" + scope_ + ".";
        for (const auto& e : std::filesystem::directory_iterator("/dev/shm", ec)) {
            if (e.path().filename().string().find(mark) != std::string::npos)
                std::filesystem::remove(e.path(), ec);
        }
    }
    std::filesystem::path Dir() const { return dir_; }
    std::filesystem::path LockFile() const { return dir_ / "run" / "ixo" / "travex.lock"; }
    std::filesystem::path SocketFile() const { return dir_ / "run" / "ixo" / "travex.sock"; }

    // The pid of the Travex serving the folder (the holder of its lock), 0 when none.
    pid_t ServerPid() const {
        int fd = open(LockFile().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return 0;
        bool free = flock(fd, LOCK_SH | LOCK_NB) == 0;
        close(fd);
        std::ifstream in(LockFile());
        long pid = 0;
        if (free || !(in >> pid) || pid <= 0)
            return 0;
        return static_cast<pid_t>(pid);
    }
    // Waits up to `ms` for no Travex to serve the folder: the server holds its lock for
    // its whole life, so its end is the event waited for.
    bool WaitServerGone(int ms) const {
        if (const pid_t pid = ServerPid())
            AwaitExit(pid, ms);
        return ServerPid() == 0;
    }
    void Stop() const {
        if (pid_t pid = ServerPid()) {
            kill(pid, SIGTERM);
            WaitServerGone(3000);
        }
    }

private:
    std::filesystem::path dir_;
    std::string scope_;
    std::vector<std::pair<std::string, std::string>> vars_;
};

}  // namespace ixo::testsupport
