// The boot service in console mode on test host 0, with its address server and node
// status in one process: host 1 asks BOOTP (scapy) and fetches its image by TFTP
// (curl); the test's own side hears the node-status record and the final status.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "ProcessRun.h"
#include "nodestatus/NS2Packet.h"
#include "testsupport/NetHosts.h"

namespace {

namespace fs = std::filesystem;
using ixo::testsupport::NetHosts;

std::string JoinArgs(const std::vector<std::string>& words) {
    std::string s;
    for (const auto& w : words) s += w + " ";
    return s;
}

// Starts `stellan console:bootp` from `dir` inside host 0.
pid_t StartBootService(const NetHosts& hosts, const TempDir& dir) {
    const std::string command = "cd " + dir.Path().string() +
                                " && IXO_SYSTEM_DIR=" + dir.Path().string() + " exec " +
                                JoinArgs(hosts.Exec(0)) + (dir / "stellan").string() +
                                " console:bootp > " + (dir / "out").string() + " 2>&1 < /dev/null";
    const pid_t stellan = fork();
    if (stellan == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return stellan;
}

// Waits up to ten seconds for a status record of the service host.
bool HeardServiceHost(int listener, CNS2Node& record) {
    for (int i = 0; i < 50; ++i) {
        uint8_t packet[1500];
        const ssize_t n = recv(listener, packet, sizeof packet, 0);
        bool newSession = false;
        if (n > 0 && NS2ParsePacket(record, {packet, static_cast<size_t>(n)}, newSession) ==
                         NS2PacketError::None)
            return true;
    }
    return false;
}

TEST(BootServiceTest, NodeGetsAddressAndImageAndTheHostAnnouncesItself) {
    IXO_REQUIRE_NETNS();
    std::string error;
    auto hosts = NetHosts::Create(2, &error);
    ASSERT_TRUE(hosts) << error;
    TempDir dir;
    fs::create_directory(dir.Path() / "images");
    fs::copy_file(STELLAN_PROGRAM, dir / "stellan");
    WriteText(dir / "Stellan.INI", "[IxoBootpService]\nFTPDir=" + (dir / "images").string() + "\n");
    // The test hosts have no default route: the gateway comes from bootp.cfg.
    WriteText(dir / "bootp.cfg", "gateway=198.18.0.1\nsubnetmask=255.255.255.0\n");
    WriteText(dir / "images/bootptab", "node1: ha=02.49.58.00.00.21:ip=198.18.0.77\n");
    WriteText(dir / "images/ionode.bin", std::string(3000, 'x'));

    // The test's side listens to the node-status group on the bridge.
    const int listener = NetHosts::GroupListener("236.1.0.2", 6107, 200);
    ASSERT_GE(listener, 0);
    const pid_t stellan = StartBootService(*hosts, dir);
    // The first status record of the service host.
    CNS2Node record(VavMacAddress("0:0:0:0:0:0"), 0);
    ASSERT_TRUE(HeardServiceHost(listener, record)) << ReadText(dir / "out");
    EXPECT_EQ(record.GetNodeType(), 0x3041);
    EXPECT_EQ(record.GetName(), "IxoKolt Services");
    EXPECT_EQ(record.GetStatusWord() & 0x8FF20, (1u << 19) | (0x84u << 8) | (1u << 5));
    EXPECT_EQ(record.GetReportInterval(), 1500u);

    const ProcessOutput bootp =
        RunCommand(JoinArgs(hosts->Exec(1)) + "/usr/bin/python3 " + BOOTP_CLIENT + " " +
                   NetHosts::kInterface + " 02:49:58:00:00:21 ionode.bin");
    EXPECT_EQ(bootp.out.substr(0, 38), "yiaddr=198.18.0.77 siaddr=198.18.0.2 f") << bootp.out;
    const int curl = ixo::testsupport::RunShell(
        JoinArgs(hosts->Exec(1)) + "curl -s --tftp-no-options --connect-timeout 5 -m 30 -o " +
        (dir / "fetched").string() + " tftp://198.18.0.2/ionode.bin");
    EXPECT_EQ(curl, 0);
    EXPECT_EQ(ReadText(dir / "fetched"), std::string(3000, 'x'));

    // Stopping sends the final status: the record with interval 0.
    kill(stellan, SIGTERM);
    bool final = false;
    for (int i = 0; i < 50 && !final; ++i) {
        uint8_t packet[1500];
        const ssize_t n = recv(listener, packet, sizeof packet, 0);
        bool newSession = false;
        final = n > 0 &&
                NS2ParsePacket(record, {packet, static_cast<size_t>(n)}, newSession) ==
                    NS2PacketError::None &&
                record.GetReportInterval() == 0;
    }
    int status = 0;
    waitpid(stellan, &status, 0);
    close(listener);
    EXPECT_TRUE(final) << ReadText(dir / "out");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir / "out");
    EXPECT_NE(ReadText(dir / "out").find("Running in console mode - Appid 10\r\n"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(dir / "NS2.log"));  // beside the program
}

// Stellan's PC with two cards: eth0 faces the lighting network (host 1) and is the card
// ixokolt.cfg selects; office0 faces an office network (host 2). A BOOTP and a TFTP
// client on each side: only the lighting side is answered, and the office client's
// hardware address is not saved in bootptab.
TEST(BootServiceTest, AnswersOnlyOnTheSelectedCard) {
    IXO_REQUIRE_NETNS();
    std::string error;
    auto hosts = NetHosts::Create(3, &error);
    ASSERT_TRUE(hosts) << error;
    using ixo::testsupport::RunShell;
    const std::string pc = "ip netns exec " + hosts->Name(0) + " ";
    const std::string office = "ip netns exec " + hosts->Name(2) + " ";
    const std::string a = "of" + std::to_string(getpid()) + "a";
    const std::string b = "of" + std::to_string(getpid()) + "b";
    ASSERT_EQ(RunShell("ip link add " + a + " type veth peer name " + b), 0);
    ASSERT_EQ(RunShell("ip link set " + a + " netns " + hosts->Name(0) + " name office0"), 0);
    ASSERT_EQ(RunShell("ip link set " + b + " netns " + hosts->Name(2) + " name office0"), 0);
    ASSERT_EQ(RunShell(pc + "ip addr add 198.19.0.1/24 broadcast 198.19.0.255 dev office0"), 0);
    ASSERT_EQ(RunShell(pc + "ip link set office0 up"), 0);
    ASSERT_EQ(RunShell(office + "ip addr add 198.19.0.2/24 broadcast 198.19.0.255 dev office0"), 0);
    ASSERT_EQ(RunShell(office + "ip link set office0 up"), 0);
    ASSERT_EQ(RunShell(office + "ip link set eth0 down"), 0);  // the office host is only there

    TempDir dir;
    fs::create_directory(dir.Path() / "images");
    fs::copy_file(STELLAN_PROGRAM, dir / "stellan");
    WriteText(dir / "ixokolt.cfg", "networkcard=" + std::string("02-18-00-00-00-02") + "\r\n");
    WriteText(dir / "Stellan.INI", "[IxoBootpService]\nFTPDir=" + (dir / "images").string() + "\n");
    WriteText(dir / "bootp.cfg", "gateway=198.18.0.1\nsubnetmask=255.255.255.0\n");
    WriteText(dir / "images/ionode.bin", std::string(700, 'x'));

    const int listener = NetHosts::GroupListener("236.1.0.2", 6107, 200);
    ASSERT_GE(listener, 0);
    const pid_t stellan = StartBootService(*hosts, dir);
    CNS2Node record(VavMacAddress("0:0:0:0:0:0"), 0);
    ASSERT_TRUE(HeardServiceHost(listener, record)) << ReadText(dir / "out");
    EXPECT_EQ(record.GetIpAddress(), 0xC6120002u) << "node status runs on the selected card";

    const std::string bootp =
        std::string("/usr/bin/python3 ") + BOOTP_CLIENT + " office0 02:49:58:00:00:22 ionode.bin";
    EXPECT_EQ(RunCommand(office + bootp).out, "none\n");
    EXPECT_NE(RunShell(office + "curl -s --tftp-no-options --connect-timeout 2 -m 4 -o " +
                       (dir / "office").string() + " tftp://198.19.0.1/ionode.bin"),
              0);
    EXPECT_FALSE(fs::exists(dir / "office") && fs::file_size(dir / "office") > 0);

    const ProcessOutput lighting = RunCommand(JoinArgs(hosts->Exec(1)) + "/usr/bin/python3 " +
                                              BOOTP_CLIENT + " eth0 02:49:58:00:00:21 ionode.bin");
    EXPECT_EQ(lighting.out.substr(0, 28), "yiaddr=198.18.0.101 siaddr=1") << lighting.out;
    EXPECT_EQ(RunShell(JoinArgs(hosts->Exec(1)) +
                       "curl -s --tftp-no-options --connect-timeout 5 -m 30 -o " +
                       (dir / "fetched").string() + " tftp://198.18.0.2/ionode.bin"),
              0);
    EXPECT_EQ(ReadText(dir / "fetched"), std::string(700, 'x'));

    kill(stellan, SIGTERM);
    int status = 0;
    waitpid(stellan, &status, 0);
    close(listener);
    const std::string table = ReadText(dir / "images/bootptab");
    EXPECT_NE(table.find("ha=02.49.58.00.00.21"), std::string::npos) << table;
    EXPECT_EQ(table.find("02.49.58.00.00.22"), std::string::npos) << table;
    EXPECT_EQ(table.find("198.19."), std::string::npos) << table;
}

}  // namespace
