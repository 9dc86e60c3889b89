#include "services/ServiceDispatcher.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "os/UniqueFd.h"
#include "services/ConsoleControl.h"

namespace {

const char* StateText(uint32_t state) {
    switch (state) {
        case SERVICE_STOPPED:
            return "stopped";
        case SERVICE_START_PENDING:
            return "start pending";
        case SERVICE_STOP_PENDING:
            return "stop pending";
        case SERVICE_RUNNING:
            return "running";
        case SERVICE_CONTINUE_PENDING:
            return "continue pending";
        case SERVICE_PAUSE_PENDING:
            return "pause pending";
        case SERVICE_PAUSED:
            return "paused";
        default:
            return "unknown";
    }
}

bool ReportToSystemd(const std::string& name, const ServiceStatus& s) {
    std::string message = "STATUS=" + name + ": " + StateText(s.currentState);
    if (s.currentState == SERVICE_RUNNING)
        message += "\nREADY=1";
    if (s.currentState == SERVICE_STOP_PENDING)
        message += "\nSTOPPING=1";
    if (s.currentState == SERVICE_STOPPED && s.win32ExitCode != 0)
        message += "\nERRNO=" + std::to_string(s.win32ExitCode);
    return NotifyServiceManager(message);
}

}  // namespace

bool NotifyServiceManager(const std::string& message) {
    const char* path = std::getenv("NOTIFY_SOCKET");
    if (path == nullptr || path[0] == '\0')
        return true;
    sockaddr_un to{};
    to.sun_family = AF_UNIX;
    const size_t length = std::strlen(path);
    if (length >= sizeof to.sun_path)
        return false;
    std::memcpy(to.sun_path, path, length);
    if (to.sun_path[0] == '@')
        to.sun_path[0] = '\0';  // an abstract socket
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length);
    const bool sent =
        sendto(fd, message.data(), message.size(), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&to),
               size) == static_cast<ssize_t>(message.size());
    close(fd);
    return sent;
}

ServiceDispatcher& ServiceDispatcher::Instance() {
    static ServiceDispatcher dispatcher;
    return dispatcher;
}

bool ServiceDispatcher::Dispatch(const std::vector<ServiceTableEntry>& table,
                                 const std::vector<std::string>& startParameters) {
    const char* wanted = std::getenv(kServiceEnvironment);
    if (wanted == nullptr)
        return false;
    const ServiceTableEntry* entry = nullptr;
    for (const auto& e : table)
        if (e.name == wanted)
            entry = &e;
    if (entry == nullptr || !entry->main)
        return false;
    InstallStopSignals();

    // The entry's arguments: its name, then the start parameters.
    std::vector<std::string> words{entry->name};
    words.insert(words.end(), startParameters.begin(), startParameters.end());
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    std::atomic<bool> done{false};
    const os::UniqueFd doneFd(eventfd(0, EFD_CLOEXEC));
    std::thread service([&] {
        entry->main(static_cast<int>(words.size()), argv.data());
        done = true;
        const uint64_t one = 1;
        if (doneFd.get() >= 0) [[maybe_unused]]
            auto n = write(doneFd.get(), &one, sizeof one);
    });
    ControlLoop([&] { return done.load(); }, doneFd.get());
    service.join();
    return true;
}

void ServiceDispatcher::ControlLoop(const std::function<bool()>& entryDone, int entryDoneFd) {
    bool stopDelivered = false;
    while (!entryDone()) {
        // Asleep until the entry ends or a stop signal comes. A signal that came before the
        // entry registered its handler is tried again every 50 ms, as is everything where
        // there is no descriptor to sleep on.
        const bool pending = StopSignalled() && !stopDelivered;
        const int signalFd = pending || stopDelivered ? -1 : StopSignalFd();
        pollfd wake[] = {{entryDoneFd, POLLIN, 0}, {signalFd, POLLIN, 0}};
        const bool blind = entryDoneFd < 0 || (signalFd < 0 && !stopDelivered);
        poll(wake, 2, blind ? 50 : -1);
        if (!StopSignalled() || stopDelivered)
            continue;
        // The stop goes to the handler once the entry has registered it.
        ServiceHandlerFunction handler;
        {
            std::lock_guard g(lock_);
            if (!handlers_.empty())
                handler = handlers_.back().second;
        }
        if (handler) {
            handler(SERVICE_CONTROL_STOP);
            stopDelivered = true;
        }
    }
}

uintptr_t ServiceDispatcher::RegisterHandler(const std::string& name,
                                             ServiceHandlerFunction handler) {
    if (!handler)
        return 0;
    std::lock_guard g(lock_);
    handlers_.emplace_back(name, std::move(handler));
    return handlers_.size();
}

bool ServiceDispatcher::SetStatus(uintptr_t handle, const ServiceStatus& status) {
    std::string name;
    StatusSink sink;
    {
        std::lock_guard g(lock_);
        if (handle == 0 || handle > handlers_.size())
            return false;
        name = handlers_[handle - 1].first;
        sink = sink_;
    }
    return sink ? sink(name, status) : ReportToSystemd(name, status);
}

void ServiceDispatcher::SetStatusSinkForTest(StatusSink sink) {
    std::lock_guard g(lock_);
    sink_ = std::move(sink);
}
