// The network operations end to end: this test is the editor on the hosts' bridge
// (198.18.0.1) with its own Travex; each simulated node is a nodesim process in a test
// host of its own (198.18.0.2 and up) with a Travex of its own.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <list>

#include "editor/document/Bootp.h"
#include "editor/document/ConfigData.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/KoltInterface.h"
#include "editor/document/NodeStatus2.h"
#include "editor/document/TessalyDoc.h"
#include "editor/document/tests/RecordingFrame.h"
#include "editor/document/tests/SendSequence.h"
#include "os/Paths.h"
#include "platform/Logger.h"
#include "platform/NetAdapter.h"
#include "platform/VavConfig.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/NetHosts.h"
#include "testsupport/TravexTestEnv.h"
#include "transport/CXPort.h"

namespace {

namespace fs = std::filesystem;
using ixo::testsupport::ChildProcess;
using ixo::testsupport::NetHosts;
using ixo::testsupport::TravexTestEnv;
using Calls = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

constexpr int kNodes = 3;

size_t CountPrefix(const Calls& calls, const std::string& prefix) {
    return static_cast<size_t>(std::count_if(
        calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
}

bool Has(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// A nodesim process in one test host, with its Travex.
struct NodeProcess {
    std::unique_ptr<TravexTestEnv> env;
    std::unique_ptr<ChildProcess> process;
    fs::path record;
    VavMacAddress mac;
    uint32_t ip = 0;
    std::string name;

    // The IOM calls the node received so far.
    Calls Received() const {
        std::ifstream in(record);
        Calls lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // "saves reboots updates clears".
    std::string Counters() {
        process->WriteLine("counters");
        return process->Expect("counters ", 5000);
    }
};

class NetOpsOverTravex : public ::testing::Test {
protected:
    void SetUp() override {
        IXO_REQUIRE_NETNS();
        std::string error;
        hosts_ = NetHosts::Create(kNodes + 1, &error);
        ASSERT_TRUE(hosts_) << error;
        dir_ = fs::path(::testing::TempDir()) / ("netops-" + std::to_string(getpid()));
        fs::create_directories(dir_ / "tftp");
        // The editor's card is the bridge; each node's program picks its host's own.
        std::ofstream(dir_ / "ixokolt.cfg") << "networkcard=02-18-00-00-00-01\r\n";
        setenv("VAV_CONFIG_FILE", (dir_ / "ixokolt.cfg").c_str(), 1);
        ResetConfigForTest();
        SetNetSourceForTest(nullptr);
        pcEnv_ = std::make_unique<TravexTestEnv>("netops");
        for (int i = 0; i < kNodes; ++i) {
            StartNode(i);
            if (HasFatalFailure())
                return;
        }
        std::ofstream(dir_ / "Tessaly.ini")
            << "[Network]\nRCCTimeout=1\nUpdateSoftwareDelay=10\n[Bootp]\nServerName=TestServer\n"
            << "TFTPDir=" << (dir_ / "tftp").string() << "\n";
        CConfigData::CreateInstance(dir_ / "Tessaly.ini");
        CErrorHandler::SetLogPath(dir_ / "Wov.log");
        CErrorHandler::GetInstance()->SetSink(&sink_);
        uint8_t appId = 0;
        ASSERT_FALSE(mux::MuxFailed(port_.open(&appId, 1, NS2_PORT, 100, 100)));
        EditorHost::SetTransport(&port_);
        EditorHost::SetMainFrame(&frame_);
        doc_ = std::make_unique<CTessalyDoc>(IXO_DATA_DIR);
        ASSERT_TRUE(doc_->OnNewDocument());
    }

    void TearDown() override {
        doc_.reset();
        CBootp::DeleteInstance();
        CKoltInterface::DeleteInstance();
        EditorHost::SetMainFrame(nullptr);
        EditorHost::SetTransport(nullptr);
        port_.close();
        nodes_.clear();
        pcEnv_.reset();
        CErrorHandler::DeleteInstance();
        CErrorHandler::SetLogPath(std::nullopt);
        CConfigData::DeleteInstance();
        GetLogger()->Close();
        unsetenv("VAV_CONFIG_FILE");
        ResetConfigForTest();
        if (!dir_.empty())
            fs::remove_all(dir_);
    }

    // Starts nodesim in host i as "Node <i>".
    NodeProcess& StartNode(int i, const std::vector<std::string>& extra = {}) {
        NodeProcess& n = nodes_.emplace_back();
        n.env = std::make_unique<TravexTestEnv>("node" + std::to_string(i), 300, false);
        n.record = dir_ / ("node" + std::to_string(i) + ".calls");
        n.mac = VavMacAddress(hosts_->Mac(i).c_str());
        n.ip = 0xC6120002u + static_cast<uint32_t>(i);
        n.name = "Node " + std::to_string(i);
        std::vector<std::string> argv = hosts_->Exec(i);
        argv.insert(argv.end(), {"env", "-u", "VAV_CONFIG_FILE"});
        for (const std::string& v : n.env->Vars()) argv.push_back(v);
        argv.insert(argv.end(), {(os::ProgramDir() / "nodesim").string(), "--mac", hosts_->Mac(i),
                                 "--name", n.name, "--interval", "500", "--state",
                                 (dir_ / ("node" + std::to_string(i) + ".state")).string(),
                                 "--record", n.record.string()});
        argv.insert(argv.end(), extra.begin(), extra.end());
        n.process = std::make_unique<ChildProcess>(argv);
        EXPECT_FALSE(n.process->Expect("ready ", 15000).empty()) << "nodesim in host " << i;
        return n;
    }

    void Connect() {
        ASSERT_TRUE(CKoltInterface::GetInstance()->Connect());
        ASSERT_TRUE(frame_.Await(
            [] { return CKoltInterface::GetInstance()->GetOnlineNodeCount() == kNodes; }, 8000))
            << CKoltInterface::GetInstance()->GetOnlineNodeCount() << " nodes on line";
    }

    xmldom::Node Bind(const NodeProcess& n) {
        xmldom::Node added;
        EXPECT_TRUE(doc_->AddNode("Kolt_2_Port_Node", &added));
        EXPECT_TRUE(doc_->SetNodeAddress(added, n.mac, n.ip));
        SetText(added, ".Node_Properties.Name", n.name);
        return added;
    }

    std::string Text(xmldom::Node node, std::string_view path) {
        std::string text;
        doc_->GetNodeText(doc_->GetProperty(node, path), text);
        return text;
    }

    void SetText(xmldom::Node node, std::string_view path, std::string_view text) {
        ASSERT_TRUE(doc_->SetNodeText(doc_->SkipTextNode(doc_->GetProperty(node, path)), text))
            << path;
    }

    xmldom::Node FindByMac(const VavMacAddress& mac) {
        VavMacAddress known;
        for (xmldom::Node n; doc_->GetNextNode(n);) {
            if (doc_->GetNodeMac(n, known) && known == mac)
                return n;
        }
        return {};
    }

    std::unique_ptr<NetHosts> hosts_;
    fs::path dir_;
    std::unique_ptr<TravexTestEnv> pcEnv_;
    std::list<NodeProcess> nodes_;
    CXPort port_;
    RecordingFrame frame_;
    ScriptedSink sink_;
    std::unique_ptr<CTessalyDoc> doc_;
};

NodeProcess& At(std::list<NodeProcess>& nodes, int i) {
    return *std::next(nodes.begin(), i);
}

TEST_F(NetOpsOverTravex, ConnectSeesTheNodesAndLosesAStoppedOne) {
    auto start = Clock::now();
    Connect();
    auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
    for (NodeProcess& n : nodes_)
        EXPECT_TRUE(
            frame_.Await([&] { return Has(frame_.Posts(), std::string("on ") + n.mac.ToText()); }));
    CIPAddress ip;
    ASSERT_TRUE(CKoltInterface::GetInstance()->GetNodeIp(At(nodes_, 1).mac, ip));
    EXPECT_EQ(ip.GetText(), "198.018.000.003");

    // A node whose network version has another major number is a member, not configurable.
    NodeProcess& old = StartNode(kNodes, {"--network-major", "3"});
    CNodeStatus2* client = CKoltInterface::GetInstance()->GetClient();
    ASSERT_TRUE(frame_.Await(
        [&] {
            for (const CNS2Node& m : client->CopyNodes())
                if (m.GetMacAddress() == old.mac && m.IsOnline() && !m.GetVersionMap().empty())
                    return true;
            return false;
        },
        8000));
    EXPECT_FALSE(CKoltInterface::GetInstance()->IsNodeOnline(old.mac));
    EXPECT_EQ(CKoltInterface::GetInstance()->GetOnlineNodeCount(), kNodes);
    EXPECT_FALSE(Has(frame_.Posts(), std::string("on ") + old.mac.ToText()));

    // Killed, a node says nothing; it goes off line three of its intervals later.
    NodeProcess& stopped = At(nodes_, 1);
    stopped.process->Kill(SIGKILL);
    start = Clock::now();
    ASSERT_TRUE(frame_.Await(
        [&] { return !CKoltInterface::GetInstance()->IsNodeOnline(stopped.mac); }, 6000));
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_GT(seconds, 0.9);
    EXPECT_EQ(CKoltInterface::GetInstance()->GetOnlineNodeCount(), kNodes - 1);
    EXPECT_TRUE(frame_.Await(
        [&] { return Has(frame_.Posts(), std::string("off ") + stopped.mac.ToText()); }));
    EXPECT_TRUE(CKoltInterface::GetInstance()->Disconnect());
    EXPECT_FALSE(CKoltInterface::GetInstance()->IsConnected());
}

TEST_F(NetOpsOverTravex, SendToSelectedNodesThenGetEveryValueBack) {
    Connect();
    NodeProcess& first = At(nodes_, 0);
    NodeProcess& second = At(nodes_, 1);
    xmldom::Node a = Bind(first);
    xmldom::Node b = Bind(second);
    Bind(At(nodes_, 2));
    SetText(a, ".DMX_Port_Properties.DMX_Input_Port_Properties.AIP_Patch", CountingPatch(1200));
    ASSERT_TRUE(doc_->SendConfig(a));
    EXPECT_EQ(first.Received(), ExpectedSendSequence());
    EXPECT_EQ(first.Counters(), "1 1 0 0");

    const std::string patch = CountingPatch(8192, 3);
    const char* texts[][2] = {
        {".Node_Properties.Location", "Stage left, rack 3"},
        {".Node_Properties.Status_Interval", "2500"},
        {".Node_Properties.Panel_Lock", "1"},
        {".Node_Properties.Subnet_Mask", "255.255.255.000"},
        {".Node_Properties.Gateway_IP", "198.018.000.001"},
        {".DMX_Port_Properties.Port_Name", "Truss"},
        {".DMX_Port_Properties.Input_Output", "0"},
        {".DMX_Port_Properties.DMX_Input_Port_Properties.AIP", "1"},
        {".DMX_Port_Properties.DMX_Input_Port_Properties.AIP_Patch", patch.c_str()},
        {".DMX_Port_Properties.DMX_Input_Port_Properties.EDMX_Start", "1025"},
        {".DMX_Port_Properties.DMX_Input_Port_Properties.Port_Priority", "150"},
        {".DMX_Port_Properties.DMX_Input_Port_Properties.HLL_Time", "4000"},
        {".DMX_Port_Properties.DMX_Output_Port_Properties.Refresh_Rate", "30"},
    };
    for (auto& t : texts) SetText(b, t[0], t[1]);
    doc_->SetNetworkAddressMode(true);  // sends the node's address, mask and gateway too
    ASSERT_TRUE(doc_->SendConfig(b));
    EXPECT_TRUE(At(nodes_, 2).Received().empty());

    // A new document that knows only the node's address reads it all back.
    ASSERT_TRUE(doc_->OnNewDocument());
    b = Bind(second);
    ASSERT_TRUE(doc_->GetConfig(b));
    for (auto& t : texts) EXPECT_EQ(Text(b, t[0]), t[1]) << t[0];
    EXPECT_EQ(Text(b, ".Node_Properties.IP_Address"), "198.018.000.003");
    EXPECT_EQ(Text(b, ".Node_Properties.MAC_Address"), second.mac.ToText());
    EXPECT_EQ(Text(b, ".Node_Properties.Network_Version"), "4.0 Patch 14.0 IUO 0");
    EXPECT_EQ(Text(b, ".Node_Properties.Software_Version"), "4.0.14 sim");
    EXPECT_EQ(Text(b, ".Node_Properties.Type"), "8450");
    EXPECT_EQ(Text(b, ".DMX_Port_Properties.DMX_Input_Port_Properties.EDMX_End"), "1536");
    Calls calls = second.Received();
    EXPECT_EQ(CountPrefix(calls, "getPropTransaction"), 1u);
    EXPECT_EQ(CountPrefix(calls, "getPropArray DMXInputPort 1 channelPatch"), 17u);
    EXPECT_EQ(CountPrefix(calls, "getPropArray DMXInputPort 1 channelPatch start=8001 count=192"),
              1u);
}

TEST_F(NetOpsOverTravex, UnboundNodesRebootUpdateClearAndEdmx) {
    Connect();
    ASSERT_TRUE(doc_->GetUnboundNodes());
    ASSERT_EQ(doc_->GetNodeCount(), kNodes);
    for (NodeProcess& n : nodes_) {
        xmldom::Node element = FindByMac(n.mac);
        ASSERT_TRUE(element) << n.name;
        EXPECT_EQ(Text(element, ".Node_Properties.Name"), n.name);
    }
    ASSERT_TRUE(doc_->RebootNodes());
    for (NodeProcess& n : nodes_) EXPECT_EQ(n.Counters(), "0 1 0 0") << n.name;
    ASSERT_TRUE(doc_->UpdateNodeSoftware(FindByMac(At(nodes_, 0).mac)));
    EXPECT_EQ(At(nodes_, 0).Counters(), "0 1 1 0");
    EXPECT_EQ(At(nodes_, 0).Received().back(), "invokeMethod Node 1 reboot U32: 1");

    At(nodes_, 2).process->WriteLine("fail 1");
    At(nodes_, 2).Counters();  // the command is in before the clear starts
    EXPECT_FALSE(doc_->ClearConfiguration());
    ASSERT_FALSE(sink_.Errors().empty());
    EXPECT_EQ(sink_.Errors().back(),
              "The configuration could not be cleared on these nodes: Node 2 (198.018.000.004).");
    EXPECT_EQ(At(nodes_, 0).Counters(), "0 1 1 1");
    EXPECT_EQ(At(nodes_, 2).Counters(), "0 1 0 0");

    xmldom::Node element = FindByMac(At(nodes_, 1).mac);
    ASSERT_TRUE(doc_->SetNodeEdmxMulticastIp(element, "236.001.000.059"));
    ASSERT_TRUE(doc_->SendEdmxMulticastIp(element));
    Calls calls = At(nodes_, 1).Received();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(Calls(calls.end() - 4, calls.end()),
              (Calls{"setProp Node 1 edmxMulticastAddress=IPv4: 236.1.0.59",
                     "invokeMethod Node 1 saveConfiguration",
                     "invokeMethod Node 1 saveConfiguration", "invokeMethod Node 1 reboot"}));
    ASSERT_TRUE(doc_->GetConfig(element));
    EXPECT_EQ(Text(element, ".Node_Properties.EDMX_Multicast_IP"), "236.001.000.059");
}

TEST_F(NetOpsOverTravex, OfflineSkippedSilentNodeRetriedKeyStopsTheWalk) {
    Connect();
    Bind(At(nodes_, 0));
    Bind(At(nodes_, 1));
    NodeProcess ghost;
    ghost.mac = VavMacAddress("02:18:00:00:00:99");
    ghost.ip = 0xC6120063;
    ghost.name = "Ghost";
    Bind(ghost);
    Bind(At(nodes_, 2));
    ASSERT_TRUE(doc_->SendConfig());
    EXPECT_EQ(sink_.MessageTexts().back(), "Offline nodes skipped.");
    for (NodeProcess& n : nodes_) EXPECT_EQ(n.Counters(), "1 1 0 0") << n.name;

    // Node 1 falls silent in the middle of its send; once it is back, Retry sends it all.
    NodeProcess& silent = At(nodes_, 1);
    silent.process->WriteLine("hold 4");
    silent.Counters();
    // While the user reads the question the node answers what it held (too late: the
    // editor has given up on that call). Its stub serves one call at a time, so once it
    // has taken "resume" (the counters after it prove that) the held call ends before the
    // retry's first one runs.
    sink_.onQuestion = [&](const std::string&) {
        silent.process->WriteLine("resume");
        silent.Counters();
    };
    sink_.QueueAnswer(ANSWER_RETRY);
    ASSERT_TRUE(doc_->SendConfig());
    ASSERT_EQ(sink_.Questions().size(), 1u);
    EXPECT_EQ(sink_.Questions()[0].rfind("A network communications error occurred setting "
                                         "properties to the node: Node 1 (198.018.000.003, "
                                         "02:18:00:00:00:03).",
                                         0),
              0u);
    EXPECT_EQ(silent.Counters(), "2 2 0 0");
    EXPECT_EQ(CountPrefix(silent.Received(), "setProp DMXPort 1 isPortEnabled=bool: false"), 3u);
    for (int i : {0, 2}) EXPECT_EQ(At(nodes_, i).Counters(), "2 2 0 0");

    // A key pressed while the first node is sent to ends the walk after it.
    frame_.cancelTests = 0;
    frame_.keyAfterTests = 1;
    ASSERT_TRUE(doc_->SendConfig());
    EXPECT_EQ(At(nodes_, 0).Counters(), "3 3 0 0");
    EXPECT_EQ(At(nodes_, 2).Counters(), "2 2 0 0");
}

TEST_F(NetOpsOverTravex, AddressServerStartsOnceAndOutlivesDisconnect) {
    // The server's own options file lies in the current folder.
    fs::path before = fs::current_path();
    std::ofstream(dir_ / "bootp.cfg") << "gateway=198.18.0.254\nsubnetmask=255.255.255.0\n";
    fs::current_path(dir_);
    Connect();
    CBootp* bootp = CBootp::GetInstance();
    EXPECT_TRUE(bootp->Start());
    EXPECT_TRUE(bootp->IsRunning());
    EXPECT_EQ(sink_.MessageTexts().back(), "bootp server started.");
    EXPECT_TRUE(bootp->Start());
    EXPECT_TRUE(bootp->IsRunning());
    EXPECT_FALSE(Has(sink_.MessageTexts(), "bootp server stopped."));
    // Only Stop ends the server (this thread owns it): nothing to wait for after the
    // disconnect.
    EXPECT_TRUE(CKoltInterface::GetInstance()->Disconnect());
    EXPECT_TRUE(bootp->IsRunning());
    bootp->Stop();
    EXPECT_FALSE(bootp->IsRunning());
    EXPECT_EQ(sink_.MessageTexts().back(), "bootp server stopped.");
    fs::current_path(before);
}

}  // namespace
