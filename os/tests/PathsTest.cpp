#include "os/Paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "testsupport/TempDir.h"

namespace {

using ixo::testsupport::ScopedEnv;
using ixo::testsupport::TempDir;

TEST(Paths, ProgramPathIsThisTestProgram) {
    const auto path = os::ProgramPath();
    EXPECT_EQ(path.filename(), "os_tests");
    EXPECT_EQ(os::ProgramDir(), path.parent_path());
}

TEST(Paths, SystemDirFollowsTheVariable) {
    {
        ScopedEnv env("IXO_SYSTEM_DIR", nullptr);
        EXPECT_EQ(os::SystemDir(), "/etc/ixo");
    }
    ScopedEnv env("IXO_SYSTEM_DIR", "/srv/ixo");
    EXPECT_EQ(os::SystemDir(), "/srv/ixo");
}

TEST(Paths, FindAnyCaseTakesTheExactNameFirstThenAnyCase) {
    TempDir dir;
    EXPECT_EQ(os::FindAnyCase(dir.Path(), "Stellan.INI"), dir / "Stellan.INI") << "none: as asked";
    dir.Write("STELLAN.ini", "b");
    dir.Write("stellan.ini", "a");
    EXPECT_EQ(os::FindAnyCase(dir.Path(), "Stellan.INI"), dir / "STELLAN.ini")
        << "the first in name order";
    dir.Write("Stellan.INI", "c");
    EXPECT_EQ(os::FindAnyCase(dir.Path(), "Stellan.INI"), dir / "Stellan.INI");
    EXPECT_EQ(os::FindAnyCase(dir / "missing", "x.cfg"), dir / "missing" / "x.cfg");
}

TEST(Paths, UserConfigDirFollowsXdgElseHome) {
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
        ScopedEnv home("HOME", "/home/tech");
        EXPECT_EQ(os::UserConfigDir(), "/home/tech/.config/ixo");
    }
    ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(os::UserConfigDir(), "/cfg/ixo");
}

TEST(Paths, RuntimeDirIsMadePrivate) {
    TempDir base;
    ScopedEnv env("XDG_RUNTIME_DIR", base.Path().c_str());
    std::error_code error;
    const auto dir = os::RuntimeDir(error);
    ASSERT_FALSE(error) << error.message();
    EXPECT_EQ(dir, base / "ixo");
    struct stat info {};
    ASSERT_EQ(stat(dir.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(os::RuntimeDir(), dir);  // a second call finds it
}

TEST(Paths, RuntimeDirOpenToOthersIsRefused) {
    TempDir base;
    ScopedEnv env("XDG_RUNTIME_DIR", base.Path().c_str());
    ASSERT_EQ(mkdir((base / "ixo").c_str(), 0777), 0);
    chmod((base / "ixo").c_str(), 0777);
    std::error_code error;
    EXPECT_TRUE(os::RuntimeDir(error).empty());
    EXPECT_EQ(error, std::errc::permission_denied);
}

TEST(Paths, RuntimeDirFallsBackToTmpPerUser) {
    ScopedEnv env("XDG_RUNTIME_DIR", nullptr);
    const auto dir = os::RuntimeDir();
    EXPECT_EQ(dir, "/tmp/ixo-" + std::to_string(getuid()));
}

}  // namespace
