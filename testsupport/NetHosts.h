// Test hosts: network namespaces joined by veth pairs to one bridge, for tests of
// what crosses a network. Use inside a test that runs under scripts/netns-run:
//
//   IXO_REQUIRE_NETNS();
//   auto hosts = ixo::testsupport::NetHosts::Create(2);
//   hosts->RunIn(0, [&] { /* sockets made here live in host 0 */ });
//
// The test's own namespace is on the bridge as well, at SelfAddress().
// Addresses come from the benchmarking range 198.18.0.0/24 and never leave the namespaces.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ixo::testsupport {

// True when this process runs inside the namespace that scripts/netns-run made.
bool InPrivateNetns();

class NetHosts {
public:
    // Makes `count` hosts (1 to 64); nullptr with *error set when that is not possible.
    static std::unique_ptr<NetHosts> Create(int count, std::string* error = nullptr);
    ~NetHosts();
    NetHosts(const NetHosts&) = delete;
    NetHosts& operator=(const NetHosts&) = delete;

    int Count() const { return static_cast<int>(names_.size()); }
    // The namespace name of host i, for `ip netns exec NAME ...`.
    const std::string& Name(int i) const { return names_.at(i); }
    // Host i's address ("198.18.0.<i+2>") and hardware address ("02:18:00:00:00:<i+2>").
    std::string Address(int i) const;
    std::string Mac(int i) const;
    // The interface name inside every host.
    static constexpr const char* kInterface = "eth0";
    // The test's own side: the bridge in the caller's namespace.
    static std::string SelfAddress() { return "198.18.0.1"; }
    static constexpr const char* kSelfInterface = "ixobr0";
    // A UDP socket of the test's own side that has joined `group` on the bridge at `port`,
    // whose receives give up after `waitMs`; -1 when it cannot be made.
    static int GroupListener(const char* group, int port, int waitMs);

    // Runs fn on a new thread whose network namespace is host i, and waits for it;
    // false when the thread could not enter the host (fn did not run).
    bool RunIn(int i, const std::function<void()>& fn) const;
    // Moves the calling thread into host i; false on failure.
    bool Enter(int i) const;
    // argv prefix that runs a program inside host i.
    std::vector<std::string> Exec(int i) const;

private:
    NetHosts() = default;
    std::vector<std::string> names_;
};

// Runs a shell command; returns its exit status (output goes to stderr on failure).
int RunShell(const std::string& command);

}  // namespace ixo::testsupport

// Fails in CI and skips elsewhere when the test is not inside a private network namespace.
#define IXO_REQUIRE_NETNS()                                                                    \
    do {                                                                                       \
        if (!::ixo::testsupport::InPrivateNetns()) {                                           \
            const char* ci = std::getenv("CI");                                                \
            if (ci && std::string(ci) == "true")                                               \
                FAIL() << "needs a private network namespace (run under scripts/netns-run)";   \
            GTEST_SKIP() << "needs a private network namespace (run under scripts/netns-run)"; \
        }                                                                                      \
    } while (0)
