// Every program of the suite answers --help with its usage and exit status 0, and refuses
// an argument it does not know with a message and a non-zero status, without starting
// its work (no server, no window).
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct Outcome {
    int status = -1;
    std::string output;  // standard output and standard error together
};

// Runs `command` through the shell with a private runtime, settings and system folder,
// so nothing of a real user's setup is read or written.
Outcome RunCommand(const std::string& command) {
    const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "programs_cli";
    std::filesystem::create_directories(dir / "run");
    std::filesystem::permissions(dir / "run", std::filesystem::perms::owner_all);
    const std::string env = "XDG_RUNTIME_DIR=" + (dir / "run").string() +
                            " XDG_CONFIG_HOME=" + (dir / "config").string() +
                            " IXO_SYSTEM_DIR=" + (dir / "system").string() + " ";
    Outcome out;
    FILE* pipe = popen(
        ("cd " + dir.string() + " && " + env + "timeout 20 " + command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return out;
    char buffer[4096];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.output.append(buffer, n);
    const int raw = pclose(pipe);
    out.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

struct Program {
    const char* path;
    const char* bogus;  // an argument the program must refuse
    bool windows;
};

const Program kPrograms[] = {
    {TRAVEX_PROGRAM, "--bogus", false},
#ifdef QUILLON_PROGRAM
    {QUILLON_PROGRAM, "bogus", true},
#endif
#ifdef VARODA_PROGRAM
    {VARODA_PROGRAM, "no-such-file.cfg", true},
#endif
    {STELLAN_PROGRAM, "bogus", false},
};

TEST(ProgramsCommandLine, HelpPrintsUsageAndSucceeds) {
    for (const Program& p : kPrograms) {
        for (const char* help : {"--help", "-help"}) {
            const Outcome out = RunCommand(std::string(p.path) + " " + help);
            EXPECT_EQ(out.status, 0) << p.path << " " << help << "\n" << out.output;
            EXPECT_NE(out.output.find(std::filesystem::path(p.path).filename().string() == "stellan"
                                          ? "Command Line Options"
                                          : "usage:"),
                      std::string::npos)
                << p.path << " " << help << "\n"
                << out.output;
        }
    }
}

TEST(ProgramsCommandLine, UnknownArgumentIsRefusedWithAMessage) {
    for (const Program& p : kPrograms) {
        const Outcome out = RunCommand(std::string(p.path) + " " + p.bogus);
        EXPECT_NE(out.status, 0) << p.path << "\n" << out.output;
        EXPECT_NE(out.status, 124) << p.path << " ran on instead of refusing";
        EXPECT_FALSE(out.output.empty()) << p.path;
    }
}

TEST(ProgramsCommandLine, ProgramsWithWindowsSayWhenThereIsNoDisplay) {
    for (const Program& p : kPrograms) {
        if (!p.windows)
            continue;
        const Outcome out = RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                       std::string(p.path));
        EXPECT_EQ(out.status, 1) << p.path << "\n" << out.output;
        EXPECT_NE(out.output.find("no display"), std::string::npos) << out.output;
    }
}

}  // namespace
