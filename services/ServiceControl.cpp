#include "services/ServiceControl.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "os/Paths.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kWantsDirectory = "multi-user.target.wants";
constexpr const char* kNoSystemctl =
    "systemctl not found: no service manager to talk to on this machine";

void Print(const char* format, const std::string& a, const std::string& b = {}) {
    std::printf(format, a.c_str(), b.c_str());
    std::fflush(stdout);
}

// The systemctl program to use; empty when there is none.
std::string Systemctl() {
    const char* configured = std::getenv("IXO_SYSTEMCTL");
    std::string name = configured != nullptr && configured[0] != '\0' ? configured : "systemctl";
    if (name.find('/') != std::string::npos)
        return access(name.c_str(), X_OK) == 0 ? name : "";
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    for (size_t at = 0; at <= dirs.size();) {
        size_t end = dirs.find(':', at);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string candidate = dirs.substr(at, end - at) + "/" + name;
        if (end > at && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        at = end + 1;
    }
    return "";
}

struct CommandResult {
    bool ok = false;
    std::string output;  // standard output and error, trimmed
};

CommandResult RunSystemctl(const std::string& program, const std::vector<std::string>& args) {
    CommandResult r;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return {false, std::strerror(errno)};
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        dup2(pipeFds[1], STDERR_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    char buffer[512];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) r.output.append(buffer, n);
    close(pipeFds[0]);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return {false, std::strerror(errno)};
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    while (!r.output.empty() && (r.output.back() == '\n' || r.output.back() == '\r'))
        r.output.pop_back();
    if (!r.ok && r.output.empty())
        r.output = "systemctl failed";
    return r;
}

// Unit files take "%" and "$" as specifiers.
std::string UnitEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '%' || c == '$')
            out += c;
        out += c;
    }
    return out;
}

fs::path UnitPath(const std::string& name) {
    return ServiceUnitDirectory() / ServiceUnitName(name);
}
fs::path WantsLink(const std::string& name) {
    return ServiceUnitDirectory() / kWantsDirectory / ServiceUnitName(name);
}
fs::path DropInFile(const std::string& name) {
    return ServiceUnitDirectory() / (ServiceUnitName(name) + ".d") / "start-parameters.conf";
}

bool Installed(const std::string& name) {
    std::error_code e;
    return fs::is_regular_file(UnitPath(name), e);
}

void DaemonReload(const std::string& systemctl) {
    if (!systemctl.empty())
        RunSystemctl(systemctl, {"daemon-reload"});
}

// systemd words for what a unit is doing now.
std::string ActiveState(const std::string& systemctl, const std::string& name) {
    return RunSystemctl(systemctl, {"is-active", ServiceUnitName(name)}).output;
}

void Sleep(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Sends the stop and reports as the free operations do; false when not stopped.
bool StopUnit(const std::string& systemctl, const std::string& name) {
    const CommandResult stop = RunSystemctl(systemctl, {"stop", ServiceUnitName(name)});
    if (!stop.ok) {
        Print("ControlService failed - %s\n", stop.output);
        return false;
    }
    Print("Stopping %s.", name);
    Sleep(1000);
    std::string state = ActiveState(systemctl, name);
    for (int i = 0; i < 120 && state == "deactivating"; ++i) {
        std::printf(".");
        std::fflush(stdout);
        Sleep(1000);
        state = ActiveState(systemctl, name);
    }
    const bool stopped = state == "inactive" || state == "failed";
    Print(stopped ? "\n%s stopped.\n" : "\n%s failed to stop.\n", name);
    return stopped;
}

bool WriteFile(const fs::path& path, const std::string& text, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out)
        error = path.string() + ": " + std::strerror(errno);
    return static_cast<bool>(out);
}

// The start parameters of this start, or none: they hold for one start, as parameters do.
bool WriteStartParameters(const std::string& name, const std::vector<std::string>& parameters,
                          std::string& error) {
    std::error_code e;
    const fs::path file = DropInFile(name);
    if (parameters.empty()) {
        fs::remove(file, e);
        fs::remove(file.parent_path(), e);
        return true;
    }
    std::string words;
    for (const auto& p : parameters) words += (words.empty() ? "" : " ") + p;
    fs::create_directories(file.parent_path(), e);
    return WriteFile(
        file, "[Service]\nEnvironment=\"IXO_START_PARAMETERS=" + UnitEscape(words) + "\"\n", error);
}

}  // namespace

std::string ServiceUnitName(const std::string& serviceName) {
    std::string out;
    for (unsigned char c : serviceName) {
        if (std::isalnum(c) || c == '.')
            out += static_cast<char>(std::tolower(c));
        else if (!out.empty() && out.back() != '-')
            out += '-';
    }
    while (!out.empty() && (out.back() == '-' || out.back() == '.')) out.pop_back();
    return (out.empty() ? std::string("stellan") : out) + ".service";
}

fs::path ServiceUnitDirectory() {
    const char* dir = std::getenv("IXO_SERVICE_DIR");
    return dir != nullptr && dir[0] != '\0' ? fs::path(dir) : fs::path("/etc/systemd/system");
}

std::string ServiceUnitText(const std::string& name, const fs::path& program) {
    const std::string n = UnitEscape(name);
    return "# Written by \"stellan -install\"; \"stellan -remove\" deletes it.\n"
           "[Unit]\n"
           "Description=" +
           n +
           "\n"
           "After=network-online.target\n"
           "Wants=network-online.target\n"
           "\n"
           "[Service]\n"
           "Type=notify\n"
           "Environment=\"IXO_SERVICE=" +
           n +
           "\"\n"
           "ExecStart=\"" +
           UnitEscape(program.string()) +
           "\" $IXO_START_PARAMETERS\n"
           // bootp.cfg is read from the current folder: for a service, the system folder
           // beside bootpmac.cfg and ixokolt.cfg ("-": no failure when it is missing).
           "WorkingDirectory=-" +
           UnitEscape(os::SystemDir().string()) +
           "\n"
           "KillSignal=SIGTERM\n"
           "TimeoutStopSec=30\n"
           "AmbientCapabilities=CAP_NET_BIND_SERVICE CAP_SYS_TIME\n"
           "CapabilityBoundingSet=CAP_NET_BIND_SERVICE CAP_SYS_TIME\n"
           "\n"
           "[Install]\n"
           "WantedBy=multi-user.target\n";
}

bool InstallService(const std::string& name, uint8_t autoStart) {
    const fs::path program = os::ProgramPath();
    if (program.empty()) {
        Print("Unable to install %s - %s\n", name, "the program's own path cannot be read");
        return false;
    }
    std::error_code e;
    const fs::path dir = ServiceUnitDirectory();
    if (!fs::is_directory(dir, e) || access(dir.c_str(), W_OK) != 0) {
        Print("Unable to Open Service Control manager for installing %s - %s\n", name,
              dir.string() + ": " + (e ? e.message() : std::strerror(errno ? errno : ENOTDIR)));
        return false;
    }
    std::string error;
    if (Installed(name)) {
        Print("Unable to Create Service %s - %s\n", name,
              "The service is already installed: " + UnitPath(name).string());
        return false;
    }
    if (!WriteFile(UnitPath(name), ServiceUnitText(name, program), error)) {
        Print("Unable to Create Service %s - %s\n", name, error);
        return false;
    }
    if (autoStart) {
        fs::create_directories(dir / kWantsDirectory, e);
        fs::remove(WantsLink(name), e);
        fs::create_symlink(fs::absolute(UnitPath(name)), WantsLink(name), e);
        if (e) {
            Print("Unable to Create Service %s - %s\n", name,
                  "cannot enable it: " + WantsLink(name).string() + ": " + e.message());
            return false;
        }
    }
    DaemonReload(Systemctl());
    return true;
}

bool StopService(const std::string& name) {
    const std::string systemctl = Systemctl();
    if (systemctl.empty()) {
        Print("OpenSCManager failed - %s\n", kNoSystemctl);
        return false;
    }
    if (!Installed(name)) {
        Print("OpenService failed - %s\n",
              "The service is not installed: " + UnitPath(name).string());
        return false;
    }
    return StopUnit(systemctl, name);
}

bool RemoveService(const std::string& name) {
    if (!Installed(name)) {
        Print("OpenService failed - %s\n",
              "The service is not installed: " + UnitPath(name).string());
        return false;
    }
    // Without a service manager nothing runs the unit: its files can go all the same.
    const std::string systemctl = Systemctl();
    if (!systemctl.empty() && !StopUnit(systemctl, name))
        return false;
    std::error_code e;
    fs::remove(WantsLink(name), e);
    fs::remove_all(DropInFile(name).parent_path(), e);
    if (!fs::remove(UnitPath(name), e)) {
        Print("DeleteService failed - %s\n", UnitPath(name).string() + ": " + e.message());
        return false;
    }
    DaemonReload(systemctl);
    Print("%s removed.\n", name);
    return true;
}

bool StartNamedService(const std::string& name, const std::vector<std::string>& parameters,
                       uint8_t autoStart) {
    const std::string systemctl = Systemctl();
    if (systemctl.empty()) {
        Print("OpenSCManager failed - %s\n", kNoSystemctl);
        return false;
    }
    if (!Installed(name)) {
        InstallService(name, autoStart);
        Sleep(1000);
        if (!Installed(name)) {
            Print("OpenService failed - %s\n",
                  "The service is not installed: " + UnitPath(name).string());
            return false;
        }
    }
    std::string error;
    if (!WriteStartParameters(name, parameters, error)) {
        Print("StartService failed - %s\n", error);
        return false;
    }
    DaemonReload(systemctl);
    const CommandResult start = RunSystemctl(systemctl, {"start", ServiceUnitName(name)});
    if (!start.ok) {
        Print("StartService failed - %s\n", start.output);
        return false;
    }
    return true;
}
