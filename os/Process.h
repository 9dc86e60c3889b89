// Starting other programs, opening documents, and asking after processes.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "os/Wait.h"

namespace os {

struct StartResult {
    pid_t pid = -1;  // the new process, when started
    int error = 0;   // errno when not started (ENOENT: no such program, EACCES: not runnable)
    bool Started() const { return pid > 0; }
    std::string Message() const;
};

// Runs `program` with `args` (not counting the program itself), in the
// caller's environment. A program without "/" is looked up in PATH. Reports
// at once when the program cannot be run.
StartResult StartProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& args);

// Opens a document or web address with the user's chosen program (xdg-open).
// The helper is reaped in the background.
StartResult OpenDocument(std::string_view target);

// True while the process exists. For a child of ours that has ended, this
// also collects its exit status so it does not linger.
bool IsProcessAlive(pid_t pid);

enum class ProcessWait { Exited, Timeout, Failed };
// Waits up to `ms` for a child of ours to end; `exitCode` receives its exit
// code, or 128 + the signal that ended it.
ProcessWait WaitForProcess(pid_t pid, uint32_t ms, int* exitCode = nullptr);

}  // namespace os
