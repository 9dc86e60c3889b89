// NTP client requests answered per second: Stellan's time service (its engine loop on a
// clock that never touches the real one) on 127.0.0.1:123 beside chronyd (-x, local
// stratum 8) on 127.0.0.1:11123, the same client for both, in one private namespace.
//
//   stellan_ntp_bench [REQUESTS [IN_FLIGHT [ROUNDS [IDLE_SECONDS]]]]
//                     (defaults 20000; 0 in flight: 8 then 100; 3 rounds; 10 s)
//
// Each server gets at most REQUESTS requests and 30 seconds a round; a request unanswered
// for 200 ms counts as lost and another takes its place. The two take turns, round by
// round, so that a busy machine weighs on both alike; the median of the rounds' ratios
// is the figure. Beside the rate: the 99th percentile of the reply delay (from send to
// reply) of each, and the processor time each server spent a reply (its threads'
// scheduling counters; the machine's load slows both rates, this much less). Then both
// lie idle for IDLE_SECONDS: how often each wakes and how much
// processor time it takes, from the system's scheduling counters.
// The engine's loop takes up to 100 datagrams per step and rests between steps until a
// datagram arrives, it has a poll or an announcement due, or the bench stops it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "services/CNtpEngine.h"
#include "services/FakeClock.h"
#include "services/TimeService.h"
#include "testsupport/NetHosts.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint16_t kChronyPort = 11123;

struct Result {
    long sent = 0, answered = 0, lost = 0;
    double seconds = 0;
    std::vector<double> delays;  // milliseconds, one per answer
    double P99() {
        if (delays.empty())
            return 0;
        std::sort(delays.begin(), delays.end());
        return delays[std::min(delays.size() - 1, delays.size() * 99 / 100)];
    }
    double PerSecond() const { return seconds > 0 ? answered / seconds : 0; }
};

// A 48-byte version-3 client request whose transmit timestamp carries a sequence number,
// so each reply is matched to its request through the echoed originate timestamp.
std::array<std::uint8_t, 48> Request(std::uint32_t sequence) {
    std::array<std::uint8_t, 48> r{};
    r[0] = (3 << 3) | 3;
    for (int i = 0; i < 4; ++i) r[44 + i] = static_cast<std::uint8_t>(sequence >> (24 - 8 * i));
    r[40] = 0xE0;  // a plausible era-1 seconds value in front of the sequence number
    return r;
}

std::uint32_t Originate(const std::uint8_t* reply) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | reply[28 + i];
    return v;
}

Result Measure(std::uint16_t port, long requests, int inFlight) {
    Result r;
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        std::perror("client socket");
        return r;
    }
    std::map<std::uint32_t, Clock::time_point> waiting;
    std::uint32_t sequence = 1;
    const auto start = Clock::now();
    const auto end = start + std::chrono::seconds(30);
    auto sendOne = [&] {
        const auto req = Request(sequence);
        if (send(fd, req.data(), req.size(), 0) == static_cast<ssize_t>(req.size())) {
            waiting[sequence] = Clock::now();
            ++r.sent;
        }
        ++sequence;
    };
    // The client must cost little beside the servers: it sleeps in poll only when no reply
    // waits, and looks for lost requests from the oldest on (sequence numbers grow as the
    // requests go out).
    while (Clock::now() < end && (r.sent < requests || !waiting.empty())) {
        while (r.sent < requests && static_cast<int>(waiting.size()) < inFlight) sendOne();
        std::uint8_t buf[512];
        ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n < 0) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 20) > 0)
                n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
        }
        const auto now = Clock::now();
        const auto at = n >= 48 ? waiting.find(Originate(buf)) : waiting.end();
        if (at != waiting.end()) {
            r.delays.push_back(std::chrono::duration<double, std::milli>(now - at->second).count());
            waiting.erase(at);
            ++r.answered;
        }
        while (!waiting.empty() && now - waiting.begin()->second > std::chrono::milliseconds(200)) {
            waiting.erase(waiting.begin());
            ++r.lost;
        }
    }
    r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    close(fd);
    return r;
}

// Waits up to 10 s for the server on `port` to answer a request.
bool Answers(std::uint16_t port) {
    for (int i = 0; i < 50; ++i) {
        if (Measure(port, 1, 1).answered == 1)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return false;
}

pid_t StartChronyd(const std::filesystem::path& dir) {
    const auto conf = dir / "chrony.conf";
    std::ofstream(conf) << "port " << kChronyPort << "\nbindaddress 127.0.0.1\n"
                        << "allow 127.0.0.0/8\nlocal stratum 8\ncmdport 0\n"
                        << "pidfile " << (dir / "chronyd.pid").string() << "\n"
                        << "bindcmdaddress " << (dir / "chronyd.sock").string() << "\n";
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/usr/sbin/chronyd", "chronyd", "-x", "-d", "-u", "root", "-f", conf.c_str(),
              nullptr);
        std::perror("chronyd");
        _exit(127);
    }
    return pid;
}

void Print(const char* name, Result& r, double processorNs) {
    std::printf(
        "%-8s %7ld sent %7ld answered %5ld lost %7.2f s %10.0f replies/s  p99 %.3f ms"
        "  %.2f us processor time a reply\n",
        name, r.sent, r.answered, r.lost, r.seconds, r.PerSecond(), r.P99(),
        r.answered > 0 ? processorNs / 1e3 / r.answered : 0);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty()      ? 0
           : v.size() % 2 ? v[v.size() / 2]
                          : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Processor time (ns) and times scheduled of the threads of a process, or of one thread.
struct Sched {
    double ns = 0, runs = 0;
};
Sched ReadSched(const std::filesystem::path& task) {
    Sched s;
    std::ifstream(task / "schedstat") >> s.ns >> s.runs >> s.runs;
    return s;
}
Sched ReadProcessSched(pid_t pid) {
    Sched total;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& t : std::filesystem::directory_iterator(tasks)) {
        const Sched s = ReadSched(t.path());
        total.ns += s.ns;
        total.runs += s.runs;
    }
    return total;
}

void PrintIdle(const char* name, const Sched& before, const Sched& after, double seconds) {
    std::printf("%-8s idle: %7.2f wakes/s  %8.3f ms processor time a minute\n", name,
                (after.runs - before.runs) / seconds, (after.ns - before.ns) / 1e6 * 60 / seconds);
}

// The two servers' threads, for their processor time.
struct Servers {
    std::filesystem::path engineTask;
    pid_t chronyd = 0;
};

void RunRounds(const Servers& servers, long requests, int inFlight, int rounds) {
    std::printf("%ld requests, %d in flight, one client on loopback, %d rounds\n", requests,
                inFlight, rounds);
    std::vector<double> ratios, gaps, costS, costC;
    long lostS = 0, lostC = 0;
    for (int i = 0; i < rounds; ++i) {
        const Sched s0 = ReadSched(servers.engineTask);
        Result s = Measure(CNtpEngine::kPort, requests, inFlight);
        const Sched s1 = ReadSched(servers.engineTask), c0 = ReadProcessSched(servers.chronyd);
        Result c = Measure(kChronyPort, requests, inFlight);
        const Sched c1 = ReadProcessSched(servers.chronyd);
        Print("Stellan", s, s1.ns - s0.ns);
        Print("chronyd", c, c1.ns - c0.ns);
        lostS += s.lost;
        lostC += c.lost;
        if (c.PerSecond() > 0)
            ratios.push_back(s.PerSecond() / c.PerSecond());
        gaps.push_back(s.P99() - c.P99());
        if (s.answered > 0 && c.answered > 0)
            costS.push_back((s1.ns - s0.ns) / s.answered),
                costC.push_back((c1.ns - c0.ns) / c.answered);
    }
    std::printf("%d in flight: median ratio Stellan/chronyd %.3f (rounds:", inFlight,
                Median(ratios));
    for (double r : ratios) std::printf(" %.3f", r);
    std::printf(
        "), median p99 gap %+.3f ms, lost %ld / %ld, processor time a reply %.2f / %.2f us\n",
        Median(gaps), lostS, lostC, Median(costS) / 1e3, Median(costC) / 1e3);
}

}  // namespace

int main(int argc, char** argv) {
    if (!ixo::testsupport::InPrivateNetns()) {
        std::vector<char*> args{const_cast<char*>(NETNS_RUN)};
        args.insert(args.end(), argv, argv + argc);
        args.push_back(nullptr);
        execv(NETNS_RUN, args.data());
        std::perror("netns-run");
        return 1;
    }
    const long requests = argc > 1 ? std::atol(argv[1]) : 20000;
    std::vector<int> inFlights = {8, 100};
    if (argc > 2 && std::atoi(argv[2]) != 0)
        inFlights = {std::atoi(argv[2])};
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    const int idleSeconds = argc > 4 ? std::atoi(argv[4]) : 10;
    if (requests < 1 || requests > 1000000 || inFlights[0] < 1 || inFlights[0] > 1000 ||
        rounds < 1 || rounds > 100 || idleSeconds < 0 || idleSeconds > 3600) {
        std::fprintf(stderr,
                     "usage: stellan_ntp_bench [REQUESTS [IN_FLIGHT [ROUNDS [IDLE_SECONDS]]]]\n");
        return 2;
    }

    std::atomic<bool> stop{false}, serving{false};
    std::atomic<pid_t> engineThread{0};
    FakeClock clock(10, 0);
    const int stopFd = eventfd(0, EFD_CLOEXEC);
    std::thread stellan([&] {
        engineThread = static_cast<pid_t>(syscall(SYS_gettid));
        RunTimeEngine(
            clock, [&] { return stop.load(); },
            [&] {
                return StopWakeFds{stopFd, -1};
            },
            [&](CNtpEngine& e) { serving = e.IsServing(); });
    });
    char dirTemplate[] = "/tmp/stellan_ntp_bench.XXXXXX";
    const std::filesystem::path dir = mkdtemp(dirTemplate);
    const pid_t chronyd = StartChronyd(dir);

    int status = 1;
    for (int i = 0; i < 100 && !serving; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (!serving || !Answers(CNtpEngine::kPort)) {
        std::fprintf(stderr, "Stellan's time service does not answer\n");
    } else if (!Answers(kChronyPort)) {
        std::fprintf(stderr, "chronyd does not answer\n");
    } else {
        const std::filesystem::path engineTask =
            "/proc/self/task/" + std::to_string(engineThread.load());
        for (int inFlight : inFlights) RunRounds({engineTask, chronyd}, requests, inFlight, rounds);
        if (idleSeconds > 0) {
            std::this_thread::sleep_for(std::chrono::seconds(1));  // the last replies settle
            const Sched s0 = ReadSched(engineTask), c0 = ReadProcessSched(chronyd);
            std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
            const Sched s1 = ReadSched(engineTask), c1 = ReadProcessSched(chronyd);
            PrintIdle("Stellan", s0, s1, idleSeconds);
            PrintIdle("chronyd", c0, c1, idleSeconds);
        }
        status = 0;
    }
    stop = true;
    const std::uint64_t one = 1;
    if (write(stopFd, &one, sizeof one) < 0)
        std::perror("waking the engine");
    stellan.join();
    close(stopFd);
    kill(chronyd, SIGTERM);
    waitpid(chronyd, nullptr, 0);
    std::filesystem::remove_all(dir);
    return status;
}
