// The BOOTP server on real sockets, asked by requests that scapy builds on another host,
// and by ISC dhclient.
#include "ServerFixture.h"

namespace addrserver::test {
namespace {

class BootpPeerTest : public ServerFixture {
protected:
    // The answer line of bootp_client.py run on host 1.
    std::string Ask(const std::string& mac, const std::string& file) {
        const auto exec = hosts->Exec(1);
        std::string command;
        for (const auto& part : exec) command += part + " ";
        command += std::string("/usr/bin/python3 ") + BOOTP_CLIENT + " " +
                   ixo::testsupport::NetHosts::kInterface + " " + mac + " " + file + " 2>&1";
        std::string out = Capture(command);
        while (!out.empty() && out.back() == '\n') out.pop_back();
        return out;
    }
    // What ISC dhclient on host 1 prints in one try of at most 5 s (it configures nothing:
    // its script is /bin/true).
    std::string Dhclient() {
        WriteFile(dir + "/dhclient.conf", "timeout 5;\ninitial-interval 1;\n");
        std::string command = "timeout 10 ";
        for (const auto& part : hosts->Exec(1)) command += part + " ";
        command += "dhclient -1 -d -sf /bin/true -cf " + dir + "/dhclient.conf -lf " + dir +
                   "/leases -pf " + dir + "/dhclient.pid " +
                   ixo::testsupport::NetHosts::kInterface + " 2>&1";
        return Capture(command);
    }
};

TEST_F(BootpPeerTest, RequestGetsItsAddressFromBootptab) {
    Image(1000, "ionode.bin");
    WriteFile(tftpDir + "/bootptab", "node1: ha=02.49.58.00.00.21:ip=198.18.0.77\n");
    ASSERT_EQ(StartServer(1), 0u);
    EXPECT_EQ(Ask("02:49:58:00:00:21", "ionode.bin"),
              "yiaddr=198.18.0.77 siaddr=198.18.0.2 file=\\ionode.bin mask=255.255.255.0 "
              "router=198.18.0.1");
    // Without bootpmac.cfg the default file is written and only the built-in OUIs apply.
    EXPECT_EQ(ReadFile(dir + "/bootpmac.cfg"), DefaultBootpMacCfg());
}

TEST_F(BootpPeerTest, OptionFilesAreHonoured) {
    Image(1000, "dmxnode.bin");
    WriteFile(dir + "/bootp.cfg", "firstnodeip=10.0.0.50\nassigncount=5\n");
    WriteFile(dir + "/bootpmac.cfg", "# site nodes\n00:D0:11 00:0A:00 00:E0:00\n");
    ASSERT_EQ(StartServer(1), 0u);
    EXPECT_EQ(Ask("00:d0:11:00:0b:00", "dmxnode.bin"),
              "yiaddr=198.18.0.50 siaddr=198.18.0.2 file=\\dmxnode.bin mask=255.255.255.0 "
              "router=198.18.0.1");
    EXPECT_EQ(Ask("00:d0:11:00:e0:01", "dmxnode.bin"), "none");
    ASSERT_TRUE(host.notice.Await([&] {
        return host.Has(kMsgRequestIgnored, "Bootp: ignoring request from 00:D0:11:00:E0:01\n");
    }));
    // The new entry is kept in bootptab when the server stops.
    server.Stop();
    EXPECT_NE(ReadFile(tftpDir + "/bootptab").find("ha=00.D0.11.00.0B.00:ip=198.18.0.50\n"),
              std::string::npos);
}

// dhclient asks without a boot file: a node known with its image is answered by BOOTP,
// an unknown one is not, and is given no address it never receives.
TEST_F(BootpPeerTest, DhclientIsAnsweredOnlyWhenABootFileIsKnown) {
    Image(1000, "ionode.bin");
    WriteFile(dir + "/bootpmac.cfg", "02:18:00\n");  // the test hosts' hardware addresses
    ASSERT_EQ(StartServer(1), 0u);
    std::string out = Dhclient();
    EXPECT_EQ(out.find("BOOTREPLY"), std::string::npos) << out;
    server.Stop();
    EXPECT_EQ(ReadFile(tftpDir + "/bootptab").find("02.18.00.00.00.03"), std::string::npos)
        << ReadFile(tftpDir + "/bootptab");

    WriteFile(tftpDir + "/bootptab", "node1: ha=02.18.00.00.00.03:ip=198.18.0.77:bf=ionode.bin\n");
    ASSERT_EQ(StartServer(1), 0u);
    out = Dhclient();
    EXPECT_NE(out.find("BOOTREPLY of 198.18.0.77 from 198.18.0.2"), std::string::npos) << out;
    EXPECT_NE(out.find("bound to 198.18.0.77"), std::string::npos) << out;
}

}  // namespace
}  // namespace addrserver::test
