// travex: the application multiplexer. Started by the first client that finds nobody
// listening (or by hand); "RegServer" / "UnregServer" record or remove the program for
// the clients and end.
//
// IXO_TRAVEX_LINGER_MS overrides the 5000 ms a server waits after its last client
// before it ends (tests). IXO_TRAVEX_UNPINNED=1 leaves the server on any processor at
// the normal priority: the test suite sets it, since its many servers at once would
// otherwise all queue on the second processor.
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "multiplexer/MuxEngine.h"
#include "multiplexer/MuxOsObjects.h"
#include "multiplexer/TravexEndpoint.h"
#include "multiplexer/TravexRegistration.h"
#include "multiplexer/TravexServer.h"
#include "os/Paths.h"
#include "platform/NetAdapter.h"
#include "platform/VavVersionRegistry.h"

namespace {

constexpr std::uint16_t kTravexComponent = 14;

// High priority, and the second processor when there is one; refusals are ignored.
void RaisePriority() {
    const char* unpinned = std::getenv("IXO_TRAVEX_UNPINNED");
    if (unpinned != nullptr && std::string_view(unpinned) == "1")
        return;
    [[maybe_unused]] int r = setpriority(PRIO_PROCESS, 0, -10);
    if (std::thread::hardware_concurrency() >= 2) {
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(1, &set);
        sched_setaffinity(0, sizeof set, &set);
    }
}

// A server started for a client keeps nothing of the client's input and output, which
// the client's own reader may be waiting to see closed; errors still go to stderr.
void DetachStandardStreams() {
    int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null < 0)
        return;
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    close(null);
}

std::chrono::milliseconds Linger() {
    const char* v = std::getenv("IXO_TRAVEX_LINGER_MS");
    if (v != nullptr) {
        char* end = nullptr;
        long ms = std::strtol(v, &end, 10);
        if (end != v && *end == '\0' && ms >= 0 && ms <= 600000)
            return std::chrono::milliseconds(ms);
    }
    return std::chrono::milliseconds(5000);
}

int Serve() {
    std::error_code ec;
    std::filesystem::path socketPath = mux::TravexSocketPath(ec);
    std::filesystem::path lockPath = mux::TravexLockPath(ec);
    if (ec) {
        std::fprintf(stderr, "travex: no runtime folder: %s\n", ec.message().c_str());
        return 1;
    }
    // SIGTERM and SIGINT end the server through a thread of its own.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
    signal(SIGPIPE, SIG_IGN);

    mux::MuxOsObjects objects;
    mux::MuxEngine engine({&objects, [] { return GetLocalIpAddress(); }, true});
    mux::TravexServerOptions options;
    options.engine = &engine;
    options.socketPath = socketPath;
    options.lockPath = lockPath;
    options.linger = Linger();
    // Sends inside the PC that find room are answered without a worker thread.
    options.answerAtOnce = [&engine](const mux::TravexCall& call, mux::TravexReply& reply) {
        return call.method == mux::TravexMethod::TCPSendBuffer &&
               engine.TrySendBuffer(call.in.conn, call.in.len, call.in.name, &reply.status);
    };
    mux::TravexServer server(options);
    std::string error;
    switch (server.Open(error)) {
        case mux::TravexServer::OpenResult::AlreadyServed:
            return 0;
        case mux::TravexServer::OpenResult::Failed:
            std::fprintf(stderr, "travex: %s\n", error.c_str());
            return 1;
        case mux::TravexServer::OpenResult::Serving:
            break;
    }
    std::thread([&server, stops] {
        int sig = 0;
        sigwait(&stops, &sig);
        server.Stop();
    }).detach();
    server.Run();
    return 0;
}

constexpr const char* kUsage =
    "usage: travex [-RegServer | -UnregServer | -Embedding]\n"
    "  The application multiplexer of the Kolt network suite. Its clients start it when they\n"
    "  find none running; it ends a few seconds after its last client has gone.\n"
    "  -RegServer     record this program as the one clients start, then end\n"
    "  -UnregServer   remove that record, then end\n"
    "  -Embedding     serve, detached from the program that started it\n"
    "  (no argument)  serve in the foreground\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const mux::TravexCommand command = mux::ParseTravexCommandLine(args);
    if (command == mux::TravexCommand::Help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == mux::TravexCommand::Unknown) {
        std::string words;
        for (const auto& a : args) words += " " + a;
        std::fprintf(stderr, "travex: unknown argument(s):%s\n%s", words.c_str(), kUsage);
        return 2;
    }
    // This program's version (component 14) and the protocol suite's, as every program
    // of the suite records them.
    VavVersionInfo own;
    own.LoadFromModule();
    GetVersionRegistry()->SetComponentVersion(kTravexComponent, own);
    GetVersionRegistry()->SetComponentVersion(VAV_COMPONENT_PROTOCOL_SUITE, ProtocolSuiteVersion());
    RaisePriority();
    std::string error;
    switch (command) {
        case mux::TravexCommand::RegServer:
            if (mux::RegisterTravex(os::ProgramPath(), error))
                return 0;
            std::fprintf(stderr, "travex: %s\n", error.c_str());
            return 1;
        case mux::TravexCommand::UnregServer:
            if (mux::UnregisterTravex(error))
                return 0;
            std::fprintf(stderr, "travex: %s\n", error.c_str());
            return 1;
        case mux::TravexCommand::ServeDetached:
            // The starter collects the parent at once; the server lives on in a session of
            // its own, so it is nobody's child and a terminal's signals do not reach it.
            if (pid_t child = fork(); child != 0)
                return child > 0 ? 0 : 1;
            setsid();
            DetachStandardStreams();
            break;
        case mux::TravexCommand::Serve:
        case mux::TravexCommand::Help:
        case mux::TravexCommand::Unknown:
            break;
    }
    int code = Serve();
    DeleteVersionRegistry();
    return code;
}
