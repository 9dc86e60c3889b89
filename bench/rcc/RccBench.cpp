// rcc_bench: IOM getProp round trips per second from a client proxy to a stub dispatcher
// in another process, through Travex (a transport TCP connection inside the PC), beside
// a raw request and reply of the same sizes over a direct loopback TCP socket, in the
// same run. Each side makes kCalls calls one at a time after a warm-up; the figures are
// the medians of kRounds rounds, the two paths in turn. Nothing leaves the PC. A private
// Travex serves the run.
//
//   rcc_bench [calls] [rounds]
#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "bench/common/LoopbackBaseline.h"
#include "rcc/IOMProxy.h"
#include "rcc/StubDispatcher.h"
#include "rcc/XPortRccTransport.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint16_t kNodePort = 36650;

// The node's model: every property reads as U32 7.
class FixedNode : public IInterfaceStub {
public:
    void invoke(uint32_t, uint32_t methodId, std::vector<CRccArg>&, uint32_t* status,
                std::vector<CRccArg>& reply, IOMTransactionList*) override {
        if (methodId == 0)
            *reply.at(0).as<RCC_VARIANT>() = CRccValue::ofU32(7);
        *status = RCC_S_OK;
    }
};

// The node process: serves until its input closes.
int Serve() {
    CXPort port;
    uint8_t appId = 0;
    if (mux::MuxFailed(port.open(&appId, 1, 6107, 100, 100)))
        return 1;
    {
        XPortRccTransport link(port);
        FixedNode node;
        StubDispatcher dispatcher(&link, kNodePort, RCC_PROTOCOL_ID, 50);
        dispatcher.registerStub(RCC_IF_IOM, "IOM", &node);
        std::printf("%u\n", appId);
        std::fflush(stdout);
        std::string line;
        while (std::getline(std::cin, line)) {
        }
        dispatcher.unregisterStub(RCC_IF_IOM);
    }
    port.close();
    return 0;
}

// Calls per second of `call`, made `calls` times.
template <class Call>
double Rate(int calls, Call&& call) {
    auto start = Clock::now();
    for (int i = 0; i < calls; ++i) {
        if (!call()) {
            std::fprintf(stderr, "a call failed\n");
            std::exit(1);
        }
    }
    return calls / std::chrono::duration<double>(Clock::now() - start).count();
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// The baseline: a process of its own answers each request of `requestSize` bytes with
// `replySize` bytes on 127.0.0.1; returns the client's connected socket.
int StartRawEcho(size_t requestSize, size_t replySize, pid_t* server) {
    return bench::LoopbackConnectionToChild(
        [=](int peer) {
            std::vector<uint8_t> request(requestSize), reply(replySize, 0x5A);
            while (ReadAll(peer, request) && WriteAll(peer, reply)) {
            }
        },
        server);
}

// The getProp request and its reply on the wire, for the baseline.
constexpr size_t kRequestSize = 24 + 9 + 8 + 9;
constexpr size_t kReplySize = 28 + 8;

// A private Travex for this run: its own runtime folder, key store and object names.
// Returns the folder, removed at the end.
std::filesystem::path PrivateTravex() {
    std::string id = "rccbench" + std::to_string(getpid());
    auto dir = std::filesystem::temp_directory_path() / ("ixo-" + id);
    std::filesystem::create_directories(dir / "run");
    std::filesystem::create_directories(dir / "keys");
    setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
    setenv("IXO_KEYSTORE_DIR", (dir / "keys").c_str(), 1);
    setenv("IXO_OBJECT_SCOPE", id.c_str(), 1);
    setenv("IXO_TRAVEX_LINGER_MS", "300", 1);
    return dir;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "serve")
        return Serve();
    int calls = argc > 1 ? std::atoi(argv[1]) : 5000;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    const std::filesystem::path folder = PrivateTravex();
    // The baseline's far end, started before this process makes any thread.
    pid_t rawServer = 0;
    int client = StartRawEcho(kRequestSize, kReplySize, &rawServer);
    if (client < 0)
        return 1;

    // The node, in a process of its own, started before this one makes any thread.
    int toNode[2], fromNode[2];
    if (pipe(toNode) != 0 || pipe(fromNode) != 0)
        return 1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toNode[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromNode[1], 1);
    posix_spawn_file_actions_addclose(&actions, toNode[1]);
    posix_spawn_file_actions_addclose(&actions, fromNode[0]);
    char serve[] = "serve";
    char* childArgs[] = {argv[0], serve, nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, "/proc/self/exe", &actions, nullptr, childArgs, environ) != 0)
        return 1;
    close(toNode[0]);
    close(fromNode[1]);
    char ready[16] = {};
    if (read(fromNode[0], ready, sizeof ready - 1) <= 0) {
        std::fprintf(stderr, "the node did not start\n");
        return 1;
    }
    uint8_t nodeApp = static_cast<uint8_t>(std::atoi(ready));

    CXPort port;
    uint8_t appId = 0;
    if (mux::MuxFailed(port.open(&appId, 1, 6107, 100, 100)))
        return 1;
    std::vector<double> travex, raw;
    const size_t requestSize = kRequestSize, replySize = kReplySize;
    std::vector<uint8_t> request(requestSize, 0xA5), reply(replySize);
    auto rawCall = [&] { return WriteAll(client, request) && ReadAll(client, reply); };
    {
        XPortRccTransport link(port);
        CIOMProxy proxy(&link);
        proxy.setTimeout(5000);
        proxy.connect(0, nodeApp, kNodePort);
        const CRccValue id = CRccValue::ofU32(1);
        CRccValue value;
        auto getProp = [&] {
            return proxy.getProp("Node", id, "Name", value) == RCC_S_OK &&
                   value == CRccValue::ofU32(7);
        };
        Rate(calls / 10 + 1, getProp);  // warm-up
        Rate(calls / 10 + 1, rawCall);
        // The paths take turns, so that a busy moment of the machine falls on both.
        for (int r = 0; r < rounds; ++r) {
            travex.push_back(Rate(calls, getProp));
            raw.push_back(Rate(calls, rawCall));
        }
    }
    port.close();
    close(toNode[1]);
    waitpid(child, nullptr, 0);

    shutdown(client, SHUT_RDWR);
    close(client);
    waitpid(rawServer, nullptr, 0);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);

    double viaTravex = bench::Median(travex), direct = bench::Median(raw);
    std::printf(
        "getProp round trips through Travex: %.0f per second (%zu-byte request, "
        "%zu-byte reply)\n",
        viaTravex, requestSize, replySize);
    std::printf("same bytes over direct loopback TCP between two processes: %.0f per second\n",
                direct);
    std::printf("ratio Travex / direct: %.3f\n", viaTravex / direct);
    return 0;
}
