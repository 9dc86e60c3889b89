#include "testsupport/NetHosts.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace ixo::testsupport {

bool InPrivateNetns() {
    const char* v = std::getenv("IXO_NETNS");
    return v != nullptr && std::string(v) == "1";
}

int RunShell(const std::string& command) {
    std::string quiet = command + " 2>&1";
    FILE* p = popen(quiet.c_str(), "r");
    if (p == nullptr)
        return -1;
    std::string out;
    char buf[256];
    while (fgets(buf, sizeof buf, p) != nullptr) out += buf;
    int status = pclose(p);
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (code != 0)
        std::fprintf(stderr, "`%s` failed (%d): %s", command.c_str(), code, out.c_str());
    return code;
}

std::string NetHosts::Address(int i) const {
    return "198.18.0." + std::to_string(i + 2);
}

std::string NetHosts::Mac(int i) const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "02:18:00:00:00:%02x", i + 2);
    return buf;
}

std::unique_ptr<NetHosts> NetHosts::Create(int count, std::string* error) {
    auto fail = [&](const std::string& why) -> std::unique_ptr<NetHosts> {
        if (error)
            *error = why;
        return nullptr;
    };
    if (count < 1 || count > 64)
        return fail("host count must be 1 to 64");
    if (!InPrivateNetns())
        return fail("not inside a private network namespace");

    std::unique_ptr<NetHosts> hosts(new NetHosts());
    const std::string br = kSelfInterface;
    // Idempotent: a previous test in this namespace may have left the bridge.
    if (RunShell("ip link show " + br + " >/dev/null 2>&1 || ip link add " + br + " type bridge") !=
            0 ||
        RunShell("ip link set " + br + " address 02:18:00:00:00:01 up") != 0 ||
        RunShell("ip addr replace " + SelfAddress() + "/24 dev " + br) != 0)
        return fail("cannot make the bridge");
    RunShell("ip route replace 224.0.0.0/4 dev " + br);

    const std::string tag = std::to_string(getpid());
    static int generation = 0;
    const std::string gen = std::to_string(generation++);
    for (int i = 0; i < count; ++i) {
        std::string ns = "ixo" + tag + "g" + gen + "h" + std::to_string(i);
        std::string outer = "v" + tag + "g" + gen + "h" + std::to_string(i);
        if (outer.size() > 15)
            outer = outer.substr(outer.size() - 15);
        std::string in = "ip netns exec " + ns + " ";
        // The name holds our pid and a generation of ours, so a namespace already bearing it was
        // left by a killed process that had the same pid: it is stale.
        RunShell("ip netns del " + ns + " >/dev/null 2>&1 || true");
        if (RunShell("ip netns add " + ns) != 0)
            return fail("ip netns add failed");
        hosts->names_.push_back(ns);
        if (RunShell("ip link add " + outer + " type veth peer name " + kInterface + " netns " +
                     ns) != 0 ||
            RunShell("ip link set " + outer + " master " + br + " up") != 0 ||
            RunShell(in + "ip link set " + kInterface + " address " + hosts->Mac(i)) != 0 ||
            RunShell(in + "ip addr add " + hosts->Address(i) + "/24 broadcast 198.18.0.255 dev " +
                     kInterface) != 0 ||
            RunShell(in + "ip link set " + kInterface + " up") != 0 ||
            RunShell(in + "ip link set lo up") != 0 ||
            RunShell(in + "ip route add 224.0.0.0/4 dev " + kInterface) != 0)
            return fail("cannot wire host " + ns);
    }
    return hosts;
}

NetHosts::~NetHosts() {
    for (const auto& ns : names_) RunShell("ip netns del " + ns);
}

bool NetHosts::Enter(int i) const {
    std::string path = "/run/netns/" + names_.at(i);
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = setns(fd, CLONE_NEWNET) == 0;
    close(fd);
    return ok;
}

bool NetHosts::RunIn(int i, const std::function<void()>& fn) const {
    bool entered = false;
    std::thread t([&] {
        entered = Enter(i);
        if (entered)
            fn();
    });
    t.join();
    return entered;
}

std::vector<std::string> NetHosts::Exec(int i) const {
    return {"ip", "netns", "exec", names_.at(i)};
}

int NetHosts::GroupListener(const char* group, int port, int waitMs) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(static_cast<uint16_t>(port));
    ip_mreq m{};
    m.imr_multiaddr.s_addr = inet_addr(group);
    m.imr_interface.s_addr = inet_addr(SelfAddress().c_str());
    const timeval wait{waitMs / 1000, (waitMs % 1000) * 1000};
    if (bind(fd, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0 ||
        setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &m, sizeof m) != 0 ||
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace ixo::testsupport
