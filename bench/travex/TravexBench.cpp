// travex_bench: messages per second and round-trip latency from one client to another
// through Travex (two processes, a transport TCP connection inside the PC), beside the
// same messages over a direct loopback TCP socket between two processes, measured in the
// same run.
//
// Also measured: round trips of bare wakes between processes and between threads, the
// floor that a layout of a receive thread and a hand-over thread per client sets.
//
// Traffic: 76-byte messages (the 12-byte header and 64 bytes). Throughput: a stream of
// kStream messages one way, timed until the receiver reports the last. Latency: kPings
// round trips one at a time. Rounds of the two paths take turns; the medians are reported. Nothing
// leaves the PC: the clients do not use the wire, the baseline runs on 127.0.0.1.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/common/LoopbackBaseline.h"
#include "multiplexer/MuxTcpFramer.h"
#include "os/Event.h"
#include "os/NamedEvent.h"
#include "os/Paths.h"
#include "platform/XPortHeader.h"
#include "transport/CXPort.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
constexpr int kStream = 20000;
constexpr int kPings = 2000;
constexpr std::uint32_t kPayload = 64;
constexpr std::uint16_t kEchoPort = 36600;
enum : std::uint8_t { kPing = 'P', kStreamed = 'S', kDone = 'D' };

Bytes Payload(std::uint8_t kind) {
    Bytes b(kPayload, 0);
    b[0] = kind;
    return b;
}

// The receiving side's rule for both paths: echo a ping, count streamed messages and
// answer "done" after the last.
struct Responder {
    int streamed = 0;
    // Returns the answer to send, or empty.
    Bytes Answer(const std::uint8_t* payload) {
        if (payload[0] == kPing)
            return Payload(kPing);
        if (payload[0] == kStreamed && ++streamed == kStream) {
            streamed = 0;
            return Payload(kDone);
        }
        return {};
    }
};

// ---- the far client, in its own process --------------------------------------------

struct EchoClient : CXConnCB, CXAcceptor {
    Responder responder;
    void onPacket(void* ctx, XPortPacket& p) override {
        Bytes answer = responder.Answer(p.data.data());
        if (!answer.empty())
            static_cast<CXConn*>(ctx)->send(answer.data(), kPayload);
    }
    void onConnected(void*) override {}
    void onDisconnected(void*) override {}
    bool onAccept(void*, std::uint32_t, std::uint16_t, std::uint8_t, CXConn* c, CXConnCB** cb,
                  void** ctx) override {
        *cb = this;
        *ctx = c;
        return true;
    }
};

int RunEcho() {
    CXPort port;
    std::uint8_t id = 0;
    if (XPortFailed(port.open(&id, 0, 6107, 100, 100)))
        return 1;
    EchoClient echo;
    CXProtocol* channel =
        port.createProtocol(9, kEchoPort, &echo, nullptr, false, 5000, 5000, 60000, 60000, 100);
    if (channel == nullptr)
        return 1;
    std::printf("ready %d\n", id);
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);  // until the measuring side closes our input
    port.releaseProtocol(channel);
    return 0;
}

// ---- measuring ------------------------------------------------------------------------

// One way to the far client: `send` sends one payload, `wait` waits for the next answer
// and returns its kind.
struct Path {
    std::function<void(const Bytes&)> send;
    std::function<std::uint8_t()> wait;
};

void WarmUp(Path& path) {
    for (int i = 0; i < 200; ++i) {
        path.send(Payload(kPing));
        path.wait();
    }
}

// Round trips one at a time, in microseconds, appended to `rtt`.
void Ping(Path& path, int count, std::vector<double>& rtt) {
    for (int i = 0; i < count; ++i) {
        auto t0 = Clock::now();
        path.send(Payload(kPing));
        path.wait();
        rtt.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
}

// Messages per second of one stream, timed until the far client reports the last.
double Stream(Path& path) {
    auto t0 = Clock::now();
    for (int i = 0; i < kStream; ++i) path.send(Payload(kStreamed));
    while (path.wait() != kDone) {
    }
    return kStream / std::chrono::duration<double>(Clock::now() - t0).count();
}

struct TravexSide {
    CXPort port;
    CXProtocol* channel = nullptr;
    CXConn* connection = nullptr;
    // Manual reset, as the remote-call proxies wait for their replies.
    os::Event arrived{true, false};
    ~TravexSide() {
        if (connection != nullptr) {
            connection->close();
            channel->destroyConnection(connection);
        }
        if (channel != nullptr)
            port.releaseProtocol(channel);
    }
};

// Connects to the far client through Travex; false when it cannot.
bool ConnectTravex(TravexSide& side, std::uint8_t echoId, Path& path) {
    std::uint8_t id = 0;
    if (XPortFailed(side.port.open(&id, 0, 6107, 100, 100)))
        return false;
    side.channel =
        side.port.createProtocol(9, 0xFFFF, nullptr, nullptr, true, 5000, 5000, 60000, 60000, 0);
    if (side.channel == nullptr)
        return false;
    CXConn* c = side.connection = side.channel->createConnection(0);
    c->setNotifyEvent(&side.arrived);
    c->connect(0, kEchoPort, echoId);
    for (int i = 0; i < 500 && !c->isConnected(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!c->isConnected())
        return false;
    path.send = [c](const Bytes& b) { c->send(b.data(), kPayload); };
    path.wait = [c, &side]() -> std::uint8_t {
        Bytes b;
        for (;;) {
            side.arrived.Reset();  // before the look: a packet queued after it sets it again
            if (c->receive(b))
                break;
            side.arrived.Wait(100);
        }
        return b[0];
    };
    return true;
}

Bytes Framed(const Bytes& payload) {
    Bytes m(XPORT_HEADER_LENGTH);
    XPortHeader h;
    h.protocol = 9;
    h.length = static_cast<std::uint32_t>(XPORT_HEADER_LENGTH + payload.size());
    h.Write(m.data());
    m.insert(m.end(), payload.begin(), payload.end());
    return m;
}

// Reads framed messages from a socket and gives each payload to `take`.
template <typename Take>
bool ReadMessages(int fd, mux::MuxTcpFramer& framer, Take take) {
    std::uint8_t buf[32768];
    ssize_t n = recv(fd, buf, sizeof buf, 0);
    if (n <= 0)
        return false;
    std::span<const std::uint8_t> in(buf, static_cast<std::size_t>(n));
    while (framer.Feed(in) == mux::MuxTcpFramer::Status::Message) {
        mux::MuxEntry e = framer.Take();
        take(e.data() + mux::kMuxDescriptorSize + XPORT_HEADER_LENGTH);
    }
    return true;
}

void SendAll(int fd, const Bytes& m) {
    for (std::size_t at = 0; at < m.size();) {
        ssize_t n = send(fd, m.data() + at, m.size() - at, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        at += static_cast<std::size_t>(n);
    }
}

// The far end of the baseline, in a process of its own as Travex's far client is:
// echoes pings and answers the stream. Started before any thread; returns the near end.
int StartDirectFarEnd(pid_t* far) {
    int c = bench::LoopbackConnectionToChild(
        [](int s) {
            mux::MuxTcpFramer framer;
            Responder responder;
            while (ReadMessages(s, framer, [&](const std::uint8_t* p) {
                Bytes answer = responder.Answer(p);
                if (!answer.empty())
                    SendAll(s, Framed(answer));
            })) {
            }
        },
        far);
    if (c >= 0)
        fcntl(c, F_SETFD, FD_CLOEXEC);
    return c;
}

Path DirectPath(int c) {
    auto framer = std::make_shared<mux::MuxTcpFramer>();
    auto kinds = std::make_shared<std::deque<std::uint8_t>>();
    return {[c](const Bytes& b) { SendAll(c, Framed(b)); },
            [c, framer, kinds]() -> std::uint8_t {
                while (kinds->empty())
                    ReadMessages(c, *framer,
                                 [&](const std::uint8_t* p) { kinds->push_back(p[0]); });
                std::uint8_t k = kinds->front();
                kinds->pop_front();
                return k;
            }};
}

// A private runtime folder and scope, so this run meets no other Travex.
std::filesystem::path PrivateTravex() {
    std::string tag = "travex-bench-" + std::to_string(getpid());
    auto dir = std::filesystem::temp_directory_path() / tag;
    std::filesystem::create_directories(dir / "keys");
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    // A Travex registered in the usual key store must not be started instead of ours.
    setenv("IXO_KEYSTORE_DIR", (dir / "keys").c_str(), 1);
    setenv("IXO_OBJECT_SCOPE", tag.c_str(), 1);
    setenv("IXO_TRAVEX_LINGER_MS", "200", 1);
    return dir;
}

// ---- the floor the thread layout sets ---------------------------------------------
// A message through Travex wakes a thread twice on its way: the receiving client's
// receive thread (from another process, through a named event), then the thread that
// hands it to the user (inside that process, through an event). A round trip is two
// such pairs. Measured here as round trips of bare wakes: between two processes
// through named events, and between two threads through events.

constexpr int kWakeRounds = 2000;

// The far side of the cross-process wakes; started before any thread.
pid_t StartWakeEcho() {
    pid_t child = fork();
    if (child != 0)
        return child;
    os::NamedEvent ping, pong;
    ping.Create("bench-wake-ping", false, false);
    pong.Create("bench-wake-pong", false, false);
    for (int i = 0; i < kWakeRounds + 100; ++i) {
        if (ping.Wait(5000) != os::WaitResult::Signaled)
            break;
        pong.Set();
    }
    _exit(0);
}

double CrossProcessWakeRoundTrip() {
    os::NamedEvent ping, pong;
    ping.Create("bench-wake-ping", false, false);
    pong.Create("bench-wake-pong", false, false);
    std::vector<double> rtt;
    for (int i = 0; i < kWakeRounds + 100; ++i) {
        auto t0 = Clock::now();
        ping.Set();
        pong.Wait(5000);
        if (i >= 100)  // the first ones warm up
            rtt.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    return bench::Median(rtt);
}

double InProcessWakeRoundTrip() {
    os::Event ping(true, false), pong(true, false);
    std::thread other([&] {
        for (int i = 0; i < kWakeRounds + 100; ++i) {
            ping.Wait(os::kInfinite);
            ping.Reset();
            pong.Set();
        }
    });
    std::vector<double> rtt;
    for (int i = 0; i < kWakeRounds + 100; ++i) {
        auto t0 = Clock::now();
        ping.Set();
        pong.Wait(os::kInfinite);
        pong.Reset();
        if (i >= 100)
            rtt.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    other.join();
    return bench::Median(rtt);
}

struct Figures {
    std::vector<double> perSecond;
    std::vector<double> rtt;
};

void Report(const char* name, const Figures& f) {
    std::printf("%-15s%10.0f msg/s   median round trip %8.1f us\n", name,
                bench::Median(f.perSecond), bench::Median(f.rtt));
}

// Rounds of both paths in turn, so that a busy moment of the machine falls on both.
void MeasureRounds(std::vector<std::pair<Path*, Figures*>> paths, int rounds,
                   const std::string& phase) {
    for (auto& [path, figures] : paths) WarmUp(*path);
    for (int r = 0; r < rounds; ++r) {
        for (auto& [path, figures] : paths) {
            if (phase != "stream")
                Ping(*path, kPings / rounds, figures->rtt);
            if (phase != "ping")
                figures->perSecond.push_back(Stream(*path));
        }
    }
}

}  // namespace

//   travex_bench [rounds] [travex|direct|both] [ping|stream]   (one path or phase alone:
//   for profiling)
int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "echo")
        return RunEcho();
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::string only = argc > 2 && std::string(argv[2]) != "both" ? argv[2] : "";
    const std::string phase = argc > 3 ? argv[3] : "";
    const std::filesystem::path runtime = PrivateTravex();
    pid_t wakeEcho = StartWakeEcho();
    pid_t far = 0;
    int direct = StartDirectFarEnd(&far);
    if (direct < 0) {
        std::fprintf(stderr, "no loopback connection for the baseline\n");
        return 1;
    }
    std::string command = (os::ProgramPath()).string() + " echo";
    int toChild[2];
    if (pipe(toChild) != 0)
        return 1;
    fcntl(toChild[1], F_SETFD, FD_CLOEXEC);  // only the far client's input end goes along
    FILE* child = nullptr;
    {
        // The far client reads its end of the pipe as input; its output is read here.
        std::string cmd = "exec " + command + " <&" + std::to_string(toChild[0]);
        child = popen(cmd.c_str(), "r");
        close(toChild[0]);
    }
    int echoId = 0;
    if (child == nullptr || std::fscanf(child, "ready %d", &echoId) != 1) {
        std::fprintf(stderr, "travex_bench: the far client did not start\n");
        return 1;
    }
    // With one path alone (profiling), the wakes are not measured.
    const double crossWakes = only.empty() ? CrossProcessWakeRoundTrip() : 0;
    kill(wakeEcho, SIGTERM);
    waitpid(wakeEcho, nullptr, 0);
    const double localWakes = only.empty() ? InProcessWakeRoundTrip() : 0;
    Figures directFigures, travexFigures;
    {
        Path directPath = DirectPath(direct), travexPath;
        TravexSide side;
        if (!ConnectTravex(side, static_cast<std::uint8_t>(echoId), travexPath)) {
            std::fprintf(stderr, "travex_bench: no connection through Travex\n");
            return 1;
        }
        std::vector<std::pair<Path*, Figures*>> paths;
        if (only != "travex")
            paths.emplace_back(&directPath, &directFigures);
        if (only != "direct")
            paths.emplace_back(&travexPath, &travexFigures);
        MeasureRounds(paths, rounds, phase);
    }
    close(direct);
    waitpid(far, nullptr, 0);
    close(toChild[1]);
    pclose(child);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // Travex lingers 200 ms
    std::error_code ec;
    std::filesystem::remove_all(runtime, ec);
    std::printf("messages of %u bytes, %d rounds of %d streamed and %d round trips\n",
                XPORT_HEADER_LENGTH + kPayload, rounds, kStream, kPings / rounds);
    Report("direct TCP:", directFigures);
    Report("through Travex:", travexFigures);
    if (!only.empty())
        return 0;
    const double dRate = bench::Median(directFigures.perSecond);
    const double tRate = bench::Median(travexFigures.perSecond);
    const double dRtt = bench::Median(directFigures.rtt);
    const double tRtt = bench::Median(travexFigures.rtt);
    std::printf("throughput ratio (Travex / direct): %.3f\n", tRate / dRate);
    std::printf("latency ratio (direct / Travex):    %.3f\n", dRtt / tRtt);
    std::printf("round trip added by Travex:         %.1f us\n", tRtt - dRtt);
    // Both directions: a cross-process and an in-process wake each way.
    const double floor = crossWakes + localWakes;
    std::printf("wake round trips: %.1f us between processes, %.1f us between threads\n",
                crossWakes, localWakes);
    std::printf("floor of a round trip through Travex (4 wakes): %.1f us; Travex / floor: %.2f\n",
                floor, tRtt / floor);
    return 0;
}
