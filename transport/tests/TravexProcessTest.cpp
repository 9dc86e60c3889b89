// Client programs and Travex as real processes, started by activation, inside network
// namespaces: sharing a group across hosts, TCP between hosts framed by the header, the
// release of a killed client, the server's lifetime, and the registration.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <set>

#include "multiplexer/TravexInterface.h"
#include "multiplexer/TravexRegistration.h"
#include "os/KeyStore.h"
#include "os/Paths.h"
#include "os/UniqueFd.h"
#include "platform/XPortHeader.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/NetHosts.h"
#include "testsupport/SocketAddress.h"
#include "testsupport/TravexTestEnv.h"

namespace {

using ixo::testsupport::ChildProcess;
using ixo::testsupport::Ipv4Address;
using ixo::testsupport::NetHosts;
using ixo::testsupport::TravexTestEnv;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The probe, in host `host` (-1: this namespace), with the environment of `env`.
std::vector<std::string> Probe(const NetHosts* hosts, int host, const TravexTestEnv& env,
                               std::vector<std::string> args) {
    std::vector<std::string> argv;
    if (hosts != nullptr && host >= 0)
        argv = hosts->Exec(host);
    argv.push_back("env");
    for (const auto& v : env.Vars()) argv.push_back(v);
    argv.push_back((os::ProgramDir() / "xport_probe").string());
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

// How many messages a tcp-server saw on the connection from host 1; each must be of `size`.
int MessagesSeen(ChildProcess& server, std::size_t size) {
    // The application id the peer's own Travex gave it does not matter here.
    EXPECT_EQ(server.Expect("from ").substr(0, 15), "198.18.0.3 app ");
    const std::string expected = "msg " + std::to_string(size) + " ";
    int seen = 0;
    for (std::string l = server.ReadLine(500); !l.empty(); l = server.ReadLine(500)) {
        if (l.rfind("msg ", 0) != 0)
            continue;
        EXPECT_EQ(l.substr(0, expected.size()), expected);
        ++seen;
    }
    return seen;
}

TEST(TravexProcess, TwoClientsShareAGroupWithAnotherHost) {
    IXO_REQUIRE_NETNS();
    std::string error;
    auto hosts = NetHosts::Create(2, &error);
    ASSERT_TRUE(hosts) << error;
    TravexTestEnv env("mc", 300, false);
    const std::vector<std::string> peer{"mc-peer", "236.1.0.2", "46107"};
    ChildProcess a(Probe(hosts.get(), 0, env, peer));
    ASSERT_EQ(a.Expect("id "), "128");
    ASSERT_EQ(a.Expect("ready"), "");
    ChildProcess b(Probe(hosts.get(), 0, env, peer));
    ASSERT_EQ(b.Expect("id "), "129");
    ASSERT_EQ(b.Expect("ready"), "");

    // Host 1 sends one datagram to the group and listens on it.
    os::UniqueFd tx, rx;
    ASSERT_TRUE(hosts->RunIn(1, [&] {
        tx.reset(socket(AF_INET, SOCK_DGRAM, 0));
        in_addr ifa{};
        inet_pton(AF_INET, hosts->Address(1).c_str(), &ifa);
        setsockopt(tx.get(), IPPROTO_IP, IP_MULTICAST_IF, &ifa, sizeof ifa);
        rx.reset(socket(AF_INET, SOCK_DGRAM, 0));
        int one = 1;
        setsockopt(rx.get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in any = Ipv4Address("0.0.0.0", 46107);
        bind(rx.get(), reinterpret_cast<sockaddr*>(&any), sizeof any);
        ip_mreq m{};
        inet_pton(AF_INET, "236.1.0.2", &m.imr_multiaddr);
        m.imr_interface = ifa;
        setsockopt(rx.get(), IPPROTO_IP, IP_ADD_MEMBERSHIP, &m, sizeof m);
    }));
    std::vector<std::uint8_t> d(XPORT_HEADER_LENGTH);
    XPortHeader h;
    h.protocol = 8;
    h.length = XPORT_HEADER_LENGTH + 5;
    h.Write(d.data());
    d.insert(d.end(), {'h', 'e', 'l', 'l', 'o'});
    sockaddr_in group = Ipv4Address("236.1.0.2", 46107);
    ASSERT_EQ(
        sendto(tx.get(), d.data(), d.size(), 0, reinterpret_cast<sockaddr*>(&group), sizeof group),
        static_cast<ssize_t>(d.size()));
    EXPECT_EQ(a.Expect("got "), "198.18.0.3 hello");
    EXPECT_EQ(b.Expect("got "), "198.18.0.3 hello");

    // 128 sends through Travex: host 1 hears it, 129 gets it inside the PC, and so does
    // 128 itself; the copy that comes back from the network is dropped.
    a.WriteLine("send from128");
    // Its own copy may be printed before or after the send's result.
    std::set<std::string> said;
    for (int i = 0; i < 2; ++i) said.insert(a.ReadLine());
    EXPECT_EQ(said, (std::set<std::string>{"sent " + std::to_string(mux::MUX_S_OK),
                                           "got 198.18.0.2 from128"}));
    std::string heard;  // host 1 also hears its own "hello" come back first
    for (int i = 0; i < 2 && heard != "from128"; ++i) {
        pollfd p{rx.get(), POLLIN, 0};
        ASSERT_EQ(poll(&p, 1, 3000), 1);
        char buf[64];
        ssize_t n = recv(rx.get(), buf, sizeof buf, 0);
        ASSERT_GE(n, 12);
        heard.assign(buf + 12, static_cast<std::size_t>(n - 12));
    }
    EXPECT_EQ(heard, "from128");
    EXPECT_EQ(b.Expect("got "), "198.18.0.2 from128");
    EXPECT_EQ(a.ReadLine(200), "");
}

TEST(TravexProcess, TcpBetweenHostsReachesTheNamedClient) {
    IXO_REQUIRE_NETNS();
    std::string error;
    auto hosts = NetHosts::Create(2, &error);
    ASSERT_TRUE(hosts) << error;
    TravexTestEnv env0("tcp0", 300, false), env1("tcp1", 300, false);
    ChildProcess s128(Probe(hosts.get(), 0, env0, {"tcp-server", "36507"}));
    ASSERT_EQ(s128.Expect("id "), "128");
    ASSERT_EQ(s128.Expect("ready "), "36507");
    ChildProcess s129(Probe(hosts.get(), 0, env0, {"tcp-server", "36508"}));
    ASSERT_EQ(s129.Expect("id "), "129");
    ASSERT_EQ(s129.Expect("ready "), "36508");

    // Many small messages (coalesced by TCP) to 128; a few large ones (split) to 129.
    ChildProcess small(
        Probe(hosts.get(), 1, env1, {"tcp-client", "198.18.0.2", "36507", "128", "200", "40"}));
    ChildProcess large(
        Probe(hosts.get(), 1, env1, {"tcp-client", "198.18.0.2", "36508", "129", "3", "70000"}));
    EXPECT_EQ(small.Expect("connected"), "");
    EXPECT_EQ(large.Expect("connected"), "");
    EXPECT_EQ(small.Expect("echoed ", 10000), "200");
    EXPECT_EQ(large.Expect("echoed ", 10000), "3");
    EXPECT_EQ(small.Wait(5000), 0);
    EXPECT_EQ(large.Wait(5000), 0);

    EXPECT_EQ(MessagesSeen(s128, 40), 200);
    EXPECT_EQ(MessagesSeen(s129, 70000), 3);
}

TEST(TravexProcess, KilledClientIsReleasedAndTravexEndsFiveSecondsAfterTheLast) {
    IXO_REQUIRE_NETNS();
    std::string error;
    auto hosts = NetHosts::Create(1, &error);
    ASSERT_TRUE(hosts) << error;
    TravexTestEnv env("kill", -1, false);  // the real lifetime
    auto holder = std::make_unique<ChildProcess>(Probe(hosts.get(), 0, env, {"hold", "9"}));
    ASSERT_EQ(holder->Expect("id "), "9");
    ASSERT_EQ(holder->Expect("ready"), "");
    {
        ChildProcess same(Probe(hosts.get(), 0, env, {"hold", "9"}));
        EXPECT_EQ(same.Expect("failed "), "83E80072");  // the id is in use
        ChildProcess other(Probe(hosts.get(), 0, env, {"hold", "10"}));
        EXPECT_EQ(other.Expect("id "), "10");
        EXPECT_EQ(other.Wait(5000), 2);  // its TCP point's port is taken
    }
    holder->Kill(SIGKILL);
    EXPECT_EQ(holder->Wait(2000), 128 + SIGKILL);
    // Its id, its group and its TCP point are free again.
    ChildProcess again(Probe(hosts.get(), 0, env, {"hold", "10"}));
    EXPECT_EQ(again.Expect("id "), "10");
    EXPECT_EQ(again.Expect("ready"), "");
    ChildProcess nine(Probe(hosts.get(), 0, env, {"hold", "9"}));
    EXPECT_EQ(nine.Expect("id "), "9");
    pid_t server = env.ServerPid();
    ASSERT_NE(server, 0);
    again.Kill(SIGKILL);
    nine.Kill(SIGKILL);
    again.Wait(2000);
    nine.Wait(2000);
    auto gone = Clock::now();
    ASSERT_TRUE(env.WaitServerGone(9000));
    auto lived = Clock::now() - gone;
    EXPECT_GE(lived, 4500ms);
    EXPECT_LE(lived, 6500ms);
}

TEST(TravexProcess, ClientBackWithinTheLingerKeepsTheServer) {
    IXO_REQUIRE_NETNS();
    // The linger is long beside the time a loaded sanitizer build takes to start the next
    // client: the test is whether Travex stays, not how fast a process starts.
    TravexTestEnv env("back", 4000, false);
    pid_t first;
    {
        ChildProcess a(Probe(nullptr, -1, env, {"mc-peer", "236.1.0.2", "46107"}));
        ASSERT_EQ(a.Expect("id "), "128");
        first = env.ServerPid();
        ASSERT_NE(first, 0);
        // It quits and has ended: its registration was given up by a call Travex
        // answered, and the end of the process closed its connection, which Travex's
        // reader of that connection waits on. Its last client gone, Travex lingers.
        a.CloseInput();
        ASSERT_EQ(a.Wait(5000), 0);
    }
    ChildProcess b(Probe(nullptr, -1, env, {"mc-peer", "236.1.0.2", "46107"}));
    ASSERT_EQ(b.Expect("id "), "129");  // the same engine counts on
    EXPECT_EQ(env.ServerPid(), first);
    b.CloseInput();
    EXPECT_EQ(b.Wait(3000), 0);
    EXPECT_TRUE(env.WaitServerGone(7000));
}

TEST(TravexProcess, RegServerInAnyCaseRecordsTheProgramThatClientsStart) {
    IXO_REQUIRE_NETNS();
    TravexTestEnv env("reg", 200, true);
    std::filesystem::path copy = env.Dir() / "registered-travex";
    std::filesystem::copy_file(os::ProgramDir() / "travex", copy);
    for (const char* form : {"REGSERVER", "-regserver", "/RegServer"}) {
        ChildProcess r({copy.string(), form});
        EXPECT_EQ(r.Wait(5000), 0) << form;
        EXPECT_EQ(mux::RegisteredTravex(), copy) << form;
        ChildProcess u({copy.string(), "/unregserver"});
        EXPECT_EQ(u.Wait(5000), 0);
        EXPECT_TRUE(mux::RegisteredTravex().empty());
    }
    ChildProcess r({copy.string(), "-RegServer"});
    ASSERT_EQ(r.Wait(5000), 0);
    ChildProcess client(Probe(nullptr, -1, env, {"mc-peer", "236.1.0.2", "46107"}));
    ASSERT_EQ(client.Expect("id "), "128");
    pid_t server = env.ServerPid();
    ASSERT_NE(server, 0);
    EXPECT_EQ(std::filesystem::read_symlink("/proc/" + std::to_string(server) + "/exe"), copy);
}

}  // namespace
