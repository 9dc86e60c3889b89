// Runs a program of the suite as a child process for the tests: its standard output,
// its exit code, and a temporary folder that goes with the test.
#pragma once

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "testsupport/TempDir.h"

struct ProcessOutput {
    std::string out;
    int exitCode = -1;
};

// `command` is a shell command line; its standard error is dropped.
inline ProcessOutput RunCommand(const std::string& command) {
    ProcessOutput r;
    FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
    if (p == nullptr)
        return r;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, p)) > 0;) r.out.append(buffer, n);
    const int status = pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

using ixo::testsupport::TempDir;

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}
