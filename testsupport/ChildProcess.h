// A program run by a test, with its standard output read line by line: the test waits on
// the lines it prints (a readiness line) and on its end, both as the kernel signals them.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include "testsupport/ProcessExit.h"

extern char** environ;

namespace ixo::testsupport {

class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv) {
        int fds[2], in[2];
        if (pipe2(fds, O_CLOEXEC) != 0 || pipe2(in, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        if (posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        close(in[0]);
        out_ = fds[0];
        in_ = in[1];
    }
    ~ChildProcess() {
        CloseInput();
        if (Wait(2000) == -1)
            Kill(SIGKILL);
        Wait(2000);
        if (out_ >= 0)
            close(out_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }
    void WriteLine(const std::string& line) {
        std::string l = line + "\n";
        [[maybe_unused]] ssize_t n = write(in_, l.data(), l.size());
    }
    void CloseInput() {
        if (in_ >= 0)
            close(in_);
        in_ = -1;
    }
    // The next line of output within `ms`; empty at time-out or end of output.
    std::string ReadLine(int ms = 5000) {
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            auto nl = buffer_.find('\n');
            if (nl != std::string::npos) {
                std::string line = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                output_ += line + "\n";
                return line;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            pollfd p{out_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) != 1)
                return "";
            char chunk[4096];
            ssize_t n = read(out_, chunk, sizeof chunk);
            if (n <= 0)
                return "";
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }
    // Reads lines until one starts with `prefix`; the rest of that line, or "" at time-out.
    std::string Expect(const std::string& prefix, int ms = 5000) {
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < until) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            std::string line = ReadLine(static_cast<int>(left.count()) + 1);
            if (line.rfind(prefix, 0) == 0)
                return line.substr(prefix.size());
            if (line.empty() && !Running())
                return "";
        }
        return "";
    }
    void Kill(int signal) {
        if (pid_ > 0 && !exited_)
            kill(pid_, signal);
    }
    // The exit code (128 + signal), or -1 while it runs after `ms`.
    int Wait(int ms) {
        if (exited_)
            return code_;
        int status = 0;
        if (pid_ <= 0 || !AwaitExit(pid_, ms) || waitpid(pid_, &status, 0) != pid_)
            return -1;
        exited_ = true;
        code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return code_;
    }
    bool Running() { return Wait(0) == -1; }
    // Every line read so far, for a failure's message.
    const std::string& Output() const { return output_; }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int in_ = -1;
    std::string buffer_;
    std::string output_;
    bool exited_ = false;
    int code_ = -1;
};

}  // namespace ixo::testsupport
