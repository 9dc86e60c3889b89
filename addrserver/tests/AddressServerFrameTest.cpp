// The address server's frame without sockets: start and stop codes, and what it does
// with the members that node status hands it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "addrserver/AddressServerCore.h"
#include "os/FakeClock.h"
#include "testsupport/Notice.h"

namespace addrserver {
namespace {

class Host : public CAddressServer {
public:
    void OnMessage(uint32_t code, const char* text) override {
        {
            std::lock_guard lock(mutex_);
            messages_.emplace_back(code, text);
        }
        notice.Notify();
    }
    void OnServerVersion(uint16_t type, uint32_t ip, const ImageVersion& file,
                         const ImageVersion& node) override {
        {
            std::lock_guard lock(mutex_);
            versions_.push_back(Format("%04X %s %s %s", type, DottedText(ip).c_str(),
                                       file.Text().c_str(), node.Text().c_str()));
        }
        notice.Notify();
    }
    bool Has(uint32_t code, const std::string& text) {
        std::lock_guard lock(mutex_);
        return std::find(messages_.begin(), messages_.end(), std::make_pair(code, text)) !=
               messages_.end();
    }
    std::vector<std::string> Versions() {
        std::lock_guard lock(mutex_);
        return versions_;
    }
    ixo::testsupport::Notice notice;  // told of every message and version report

private:
    std::mutex mutex_;
    std::vector<std::pair<uint32_t, std::string>> messages_;
    std::vector<std::string> versions_;
};

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

CNS2Node Member(uint16_t type, uint32_t ip, const char* mac, uint32_t status = 0) {
    CNS2Node n(VavMacAddress(mac), 1);
    n.SetNodeType(type);
    n.SetIpAddress(ip);
    n.SetStatusWord(status);
    n.SetComponentVersion(3, {2, 1, 7, 9, 0, 12});
    return n;
}

// A member record as the engine holds it while it is on line.
class OnlineMember : public CNS2 {
public:
    OnlineMember() : CNS2(0, NS2_PORT, NS2_GROUP, 0x3041, 1, "t", true, 0, 50) {}
    void OnNodeOnline(CNS2Node&) override {}
    void OnNodeOffline(CNS2Node&) override {}
    void Feed(const CNS2Node& n) {
        std::array<uint8_t, NS2_MAX_PACKET> b{};
        size_t len = NS2BuildPacket(n, NS2Form::Long, 3, 1, b);
        HandlePacket(std::span<const uint8_t>(b.data(), len), 1);
    }
};

class AddressServerFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/ixo-frame-XXXXXX";
        dir = mkdtemp(tmpl);
        server.SetHost(&host);
        settings.serverMode = kModeTftpOnly;
        settings.tftpEnabled = 0;
        settings.tftpDirectory = dir;
        env.ownAddress = 0x0A653201;  // 10.101.50.1
        env.subnetMask = 0xFFFFFF00;
        env.gateway = 0x0A6532FE;
        env.bootpCfgPath = dir + "/bootp.cfg";
        env.bootpMacCfgPath = dir + "/bootpmac.cfg";
    }
    void TearDown() override {
        server.Stop();
        std::filesystem::remove_all(dir);
    }
    // A clock for one test, in place before the server starts; the server stops before
    // the clock goes, so that no thread waits on a clock that is gone.
    struct ServerClock {
        explicit ServerClock(Server& s) : server(s) {}
        ~ServerClock() { server.Stop(); }
        os::FakeClock clock{100000};
        Server& server;
    };
    // Returns once the callback task has run a whole round after this call: the test's
    // clock moves it past its wait.
    static void CallbackRound(os::FakeClock& clock) {
        ASSERT_TRUE(clock.AwaitSleepers(1));
        clock.Advance(Server::kProbePeriodMs);
        ASSERT_TRUE(clock.AwaitSleepers(1));
    }

    std::string dir;
    AddressServerSettings settings;
    ServerEnvironment env;
    Host host;
    Server server;
};

TEST_F(AddressServerFrameTest, StartAndStopCodes) {
    EXPECT_EQ(server.Stop(), ADDRSRV_E_NOT_RUNNING);
    env.gateway = 0;
    EXPECT_EQ(server.Start(settings, env), ADDRSRV_E_START);  // no gateway anywhere
    EXPECT_EQ(server.Stop(), ADDRSRV_S_STOPPED);
    std::ofstream(dir + "/bootp.cfg") << "gateway=10.101.50.254\n";
    settings.hostName = std::string(70, 'h');
    EXPECT_EQ(server.Start(settings, env), 0u);
    EXPECT_TRUE(
        host.notice.Await([&] { return host.Has(kMsgError, "hostName truncated to 64 length"); }));
    EXPECT_EQ(server.Stop(), ADDRSRV_S_STOPPED);  // writes bootptab: the own segment is new
    EXPECT_EQ(ReadWhole(dir + "/bootptab"),
              ".dynamic-1: gw=10.101.50.254:ip=10.101.50.0:T254=0x96\n");
    std::ofstream(dir + "/bootptab") << "node1: ha=02.49.58.00.00.21:ip=10.101.50.77";
    EXPECT_EQ(server.Start(settings, env), ADDRSRV_E_START);  // bootptab line without line feed
    env.ownAddress = 0;
    EXPECT_EQ(server.Start(settings, env), ADDRSRV_E_SOCKET);
    EXPECT_EQ(server.Stop(), ADDRSRV_S_STOPPED);
    EXPECT_TRUE(host.notice.Await(
        [&] { return host.Has(kMsgFrameNotice, "Shuting Down Address Serverer Message Queue"); }));
}

TEST_F(AddressServerFrameTest, NodesFromNodeStatusEnterTheTable) {
    ServerClock fake(server);
    ASSERT_EQ(server.Start(settings, env), 0u);
    OnlineMember engine;
    CNS2Node dmx = Member(0x2181, 0x0A653240, "02:49:58:00:00:40");
    engine.Feed(dmx);
    engine.Feed(Member(0x2043, 0x0A650063, "02:49:58:00:00:63"));  // factory address
    engine.Feed(Member(0x0841, 0x0A653241, "02:49:58:00:00:41"));  // not a BOOTP client
    {
        auto lock = engine.Lock();
        for (CNS2Node* n = engine.GetFirstNode(); n != nullptr; n = n->GetNext())
            server.AddNode(*n);
    }
    ASSERT_TRUE(host.notice.Await([&] {
        return host.Has(kMsgNodeAdded, "Added Node IP 10.101.50.64 to bootptab from NS2");
    }));
    EXPECT_TRUE(host.notice.Await([&] {
        return host.Has(kMsgError, "Node with MAC 02.49.58.00.00.63 is using default IP!");
    }));
    auto entry = server.FindNode(0x0A653240);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->mac, (MacBytes{0x02, 0x49, 0x58, 0, 0, 0x40}));
    EXPECT_FALSE(server.FindNode(0x0A653241));
    // The image holds no version, so the node's software differs from it.
    ASSERT_TRUE(host.notice.Await([&] { return !host.Versions().empty(); }));
    EXPECT_EQ(host.Versions(),
              (std::vector<std::string>{"2181 10.101.50.64 Invalid Version Length 2.1.7.9.0.12"}));
    server.AddNode(dmx);  // checked once only
    CallbackRound(fake.clock);
    EXPECT_EQ(host.Versions().size(), 1u);
}

TEST_F(AddressServerFrameTest, EngineMayGoFirst) {
    ServerClock fake(server);
    ASSERT_EQ(server.Start(settings, env), 0u);
    {
        OnlineMember engine;
        engine.SetServerRole(2);
        server.SetNodeStatus(&engine);
        // Without a role of its own the server leaves the role its host announced.
        CallbackRound(fake.clock);
        EXPECT_EQ(engine.CopyOwnNode().GetServerRole(), 2);
    }
    // The engine is gone; the server runs on without it.
    CallbackRound(fake.clock);
    EXPECT_TRUE(server.Running());
    EXPECT_EQ(server.Stop(), ADDRSRV_S_STOPPED);
}

TEST_F(AddressServerFrameTest, ModeChangesStartAndStop) {
    ASSERT_EQ(server.Start(settings, env), 0u);
    server.SetMode(kModeTftpOnly, 1);  // what it runs with already: nothing changes
    EXPECT_TRUE(server.Running());
    server.SetMode(kModeTftpOnly, 0);  // the stop step
    EXPECT_FALSE(server.Running());
}

// The host prints each message on one line with its code, also when the text ends in a
// line feed of its own.
TEST(AddressServerHostTest, EveryMessageIsOneLine) {
    CAddressServer host;
    ::testing::internal::CaptureStdout();
    host.OnMessage(0x50000000, "Bootp: test request from 10.101.50.7\n");
    host.OnMessage(0x28000000, "Tftp Session 10.101.50.7 Complete");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Bootp: test request from 10.101.50.7, MSG CODE: 50000000\n"
              "Tftp Session 10.101.50.7 Complete, MSG CODE: 28000000\n");
}

}  // namespace
}  // namespace addrserver
