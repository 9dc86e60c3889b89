#include "os/Paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string>

namespace os {
namespace fs = std::filesystem;

namespace {

// The variable's value when set and not empty.
const char* EnvValue(const char* name) {
    const char* value = std::getenv(name);
    return (value != nullptr && *value != '\0') ? value : nullptr;
}

fs::path HomeDir() {
    if (const char* home = EnvValue("HOME")) {
        return home;
    }
    struct passwd* entry = getpwuid(getuid());
    if (entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return {};
}

// Makes `dir` (mode 0700) when missing and checks that only this user can use it.
std::error_code EnsurePrivateDir(const fs::path& dir) {
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        return {errno, std::generic_category()};
    }
    struct stat info {};
    if (lstat(dir.c_str(), &info) != 0) {
        return {errno, std::generic_category()};
    }
    if (!S_ISDIR(info.st_mode)) {
        return std::make_error_code(std::errc::not_a_directory);
    }
    if (info.st_uid != getuid() || (info.st_mode & 0077) != 0) {
        return std::make_error_code(std::errc::permission_denied);
    }
    return {};
}

}  // namespace

fs::path ProgramPath() {
    std::error_code error;
    fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : path;
}

fs::path ProgramDir() {
    return ProgramPath().parent_path();
}

fs::path SystemDir() {
    const char* dir = EnvValue("IXO_SYSTEM_DIR");
    return dir != nullptr ? fs::path(dir) : fs::path("/etc/ixo");
}

fs::path RuntimeDir(std::error_code& error) {
    fs::path dir;
    if (const char* base = EnvValue("XDG_RUNTIME_DIR")) {
        dir = fs::path(base) / "ixo";
    } else {
        dir = fs::path("/tmp") / ("ixo-" + std::to_string(getuid()));
    }
    error = EnsurePrivateDir(dir);
    return error ? fs::path() : dir;
}

fs::path RuntimeDir() {
    std::error_code error;
    return RuntimeDir(error);
}

fs::path UserConfigDir() {
    if (const char* base = EnvValue("XDG_CONFIG_HOME")) {
        return fs::path(base) / "ixo";
    }
    fs::path home = HomeDir();
    return home.empty() ? fs::path() : home / ".config" / "ixo";
}

}  // namespace os

namespace os {

std::filesystem::path FindAnyCase(const std::filesystem::path& folder, std::string_view name) {
    const std::filesystem::path exact = folder / name;
    std::error_code ec;
    if (std::filesystem::exists(exact, ec))
        return exact;
    auto lower = [](std::string_view s) {
        std::string out(s);
        for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return out;
    };
    const std::string wanted = lower(name);
    std::string best;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (lower(entry) == wanted && (best.empty() || entry < best))
            best = entry;
    }
    return best.empty() ? exact : folder / best;
}

}  // namespace os
