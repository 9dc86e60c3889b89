// Tessaly end to end: the editor's window with its own Travex on the hosts' bridge, each
// simulated node a nodesim process with a Travex of its own in a test host. Nodes come on
// line in the grid, an edit goes out with Send Config and comes back with Get Config, the
// walk shows its progress and stops at Escape, and Reboot reaches the nodes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <list>
#include <sstream>

#include "editor/document/ConfigData.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/KoltInterface.h"
#include "editor/ui/MainFrm.h"
#include "editor/ui/TessalyApp.h"
#include "editor/ui/TessalyDocument.h"
#include "editor/ui/TessalyResources.h"
#include "editor/ui/TessalyView.h"
#include "framework/dialogs/MessageBox.h"
#include "os/Paths.h"
#include "platform/NetAdapter.h"
#include "platform/VavConfig.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/EventLoopWait.h"
#include "testsupport/NetHosts.h"
#include "testsupport/TravexTestEnv.h"

namespace tessaly::test {
namespace {

namespace fs = std::filesystem;
using ixo::testsupport::ChildProcess;
using ixo::testsupport::NetHosts;
using ixo::testsupport::PumpUntil;
using ixo::testsupport::TravexTestEnv;

constexpr int kNodes = 3;

struct NodeProcess {
    std::unique_ptr<TravexTestEnv> env;
    std::unique_ptr<ChildProcess> process;
    VavMacAddress mac;
    uint32_t ip = 0;
    // Saves, reboots, updates and clears the node has done.
    std::vector<int> Counters() {
        process->WriteLine("counters");
        std::istringstream in(process->Expect("counters ", 5000));
        std::vector<int> counts;
        for (int n; in >> n;) counts.push_back(n);
        counts.resize(4);
        return counts;
    }
};

class TessalyOverTravex : public ::testing::Test {
protected:
    void SetUp() override {
        IXO_REQUIRE_NETNS();
        std::string error;
        hosts_ = NetHosts::Create(kNodes, &error);
        ASSERT_TRUE(hosts_) << error;
        dir_ = fs::path(::testing::TempDir()) / ("tessaly-e2e-" + std::to_string(getpid()));
        fs::create_directories(dir_);
        std::ofstream(dir_ / "ixokolt.cfg") << "networkcard=02-18-00-00-00-01\r\n";
        setenv("VAV_CONFIG_FILE", (dir_ / "ixokolt.cfg").c_str(), 1);
        setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
        ResetConfigForTest();
        SetNetSourceForTest(nullptr);
        pcEnv_ = std::make_unique<TravexTestEnv>("tessaly");
        for (int i = 0; i < kNodes; ++i) {
            NodeProcess& n = nodes_.emplace_back();
            n.env = std::make_unique<TravexTestEnv>("tnode" + std::to_string(i), 300, false);
            n.mac = VavMacAddress(hosts_->Mac(i).c_str());
            n.ip = 0xC6120002u + static_cast<uint32_t>(i);
            std::vector<std::string> argv = hosts_->Exec(i);
            argv.insert(argv.end(), {"env", "-u", "VAV_CONFIG_FILE"});
            for (const std::string& v : n.env->Vars()) argv.push_back(v);
            argv.insert(argv.end(),
                        {(os::ProgramDir() / "nodesim").string(), "--mac", hosts_->Mac(i), "--name",
                         "Node " + std::to_string(i), "--interval", "500", "--state",
                         (dir_ / ("node" + std::to_string(i) + ".state")).string()});
            n.process = std::make_unique<ChildProcess>(argv);
            ASSERT_FALSE(n.process->Expect("ready ", 15000).empty()) << "nodesim in host " << i;
        }
        std::ofstream(dir_ / "Tessaly.ini") << "[Network]\nRCCTimeout=2\nUpdateSoftwareDelay=10\n";
        CErrorHandler::SetLogPath(dir_ / "Wov.log");
        app_ = std::make_unique<CTessalyApp>(IXO_DATA_DIR, true);
        app_->SetArguments({"/nologo"});
        ASSERT_TRUE(app_->InitInstance());
        CConfigData::CreateInstance(dir_ / "Tessaly.ini");
        frame_ = app_->MainFrame();
        ASSERT_NE(frame_, nullptr);
        frame_->SetDrainPause([](std::chrono::milliseconds) {});
        view_ = frame_->ActiveTessalyView();
        doc_ = &frame_->ActiveTessalyDocument()->Doc();
    }

    void TearDown() override {
        if (app_) {
            if (fw::Window* main = app_->GetMainWnd())
                main->DestroyWindow();
            app_->ExitInstance();
            app_.reset();
        }
        nodes_.clear();
        pcEnv_.reset();
        CErrorHandler::SetLogPath(std::nullopt);
        unsetenv("VAV_CONFIG_FILE");
        ResetConfigForTest();
        if (!dir_.empty())
            fs::remove_all(dir_);
    }

    ROWCOL RowOf(const VavMacAddress& mac) {
        for (ROWCOL row = view_->HeaderRows() + 1; row <= view_->LastRow(); ++row) {
            VavMacAddress found;
            xmldom::Node node = view_->NodeOfRow(row);
            if (node && doc_->GetNodeMac(node, found) && found == mac)
                return row;
        }
        return 0;
    }
    int OnlineRows() {
        int count = 0;
        for (const NodeProcess& n : nodes_) {
            const ROWCOL row = RowOf(n.mac);
            count += row != 0 && view_->GetValueRowCol(row, 1) == "1";
        }
        return count;
    }
    std::string DocText(xmldom::Node node, std::string_view path) {
        std::string text;
        doc_->GetNodeText(doc_->GetProperty(node, path), text);
        return text;
    }

    std::unique_ptr<NetHosts> hosts_;
    fs::path dir_;
    std::unique_ptr<TravexTestEnv> pcEnv_;
    std::list<NodeProcess> nodes_;
    std::unique_ptr<CTessalyApp> app_;
    CMainFrame* frame_ = nullptr;
    CTessalyView* view_ = nullptr;
    CTessalyDoc* doc_ = nullptr;
};

TEST_F(TessalyOverTravex, NodesGoOnLineAnEditIsSentAndReadBackAndTheNodesReboot) {
    // The configuration knows the three nodes.
    std::vector<xmldom::Node> docNodes;
    for (const NodeProcess& n : nodes_) {
        xmldom::Node added;
        ASSERT_TRUE(doc_->AddNode("Kolt_2_Port_Node", &added));
        ASSERT_TRUE(doc_->SetNodeAddress(added, n.mac, n.ip));
        docNodes.push_back(added);
    }
    view_->RebuildGrid();
    EXPECT_EQ(OnlineRows(), 0);

    frame_->ExecuteCommand(ID_NET_CONNECT);
    ASSERT_TRUE(PumpUntil([&] { return OnlineRows() == kNodes; }, 10000))
        << OnlineRows() << " rows on line";
    EXPECT_EQ(frame_->OnlineIndicatorText(), "Nodes Online: 3");
    const ROWCOL row = RowOf(nodes_.front().mac);
    EXPECT_EQ(view_->GetValueRowCol(row, 2), "198.018.000.002");

    // Edit the first node's first port: EDMX start 1025, the end follows.
    const int start = view_->PortColumn(PortRole::EdmxStart, false);
    const int end = view_->PortColumn(PortRole::EdmxEnd, false);
    ASSERT_GT(start, 0);
    view_->SetValueRange(CGXRange(row, start), "1025");
    EXPECT_EQ(view_->GetValueRowCol(row, end), "1536");
    const char* kStart = ".DMX_Port_Properties.DMX_Output_Port_Properties.EDMX_Start";
    ASSERT_EQ(DocText(docNodes[0], kStart), "1025");

    // Send Config to the node (selected by its row header).
    view_->SelectNodeRows(row, false);
    {
        fw::ScopedMessageBoxAnswers yes({fw::IDYES});
        frame_->ExecuteCommand(ID_NET_SEND_CONFIG);
        ASSERT_FALSE(yes.asked.empty());
        EXPECT_EQ(yes.asked[0].text,
                  "Do you want to send configuration data to the selected node(s)?");
    }
    EXPECT_EQ(nodes_.front().Counters()[0], 1);              // the node saved what it was sent
    EXPECT_EQ(std::next(nodes_.begin())->Counters()[0], 0);  // the others were not sent to

    // Change it here, then Get Config from all the nodes brings the node's value back.
    view_->SetSelection(nullptr);
    view_->SetValueRange(CGXRange(row, start), "1");
    ASSERT_EQ(DocText(docNodes[0], kStart), "1");
    const int updates = frame_->ProgressUpdates();
    {
        fw::ScopedMessageBoxAnswers yes({fw::IDYES});
        frame_->ExecuteCommand(ID_NET_GET_CONFIG);
        ASSERT_FALSE(yes.asked.empty());
        EXPECT_EQ(yes.asked[0].text,
                  "Do you want to get configuration data from all the bound nodes on the network?");
    }
    EXPECT_GT(frame_->ProgressUpdates(), updates);
    EXPECT_EQ(frame_->HighestProgress(), kNodes);  // the bar reached its end
    xmldom::Node first = view_->NodeOfRow(RowOf(nodes_.front().mac));
    EXPECT_EQ(DocText(first, kStart), "1025");
    EXPECT_EQ(view_->GetValueRowCol(RowOf(nodes_.front().mac), start), "1025");

    // Escape during a walk stops it after the node at hand.
    {
        fw::ScopedMessageBoxAnswers yes({fw::IDYES});
        QApplication::postEvent(frame_,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        const int before = frame_->ProgressUpdates();
        frame_->ExecuteCommand(ID_NET_GET_CONFIG);
        EXPECT_LT(frame_->ProgressUpdates() - before, kNodes);
    }

    // Reboot every node on line.
    std::vector<int> reboots;
    for (NodeProcess& n : nodes_) reboots.push_back(n.Counters()[1]);
    {
        fw::ScopedMessageBoxAnswers yes({fw::IDYES});
        frame_->ExecuteCommand(ID_NET_REBOOT);
        ASSERT_FALSE(yes.asked.empty());
        EXPECT_EQ(yes.asked[0].text, "Do you want to reboot all the nodes online on the network?");
    }
    int i = 0;
    for (NodeProcess& n : nodes_) EXPECT_EQ(n.Counters()[1], reboots[i++] + 1) << n.mac.ToText();
}

}  // namespace
}  // namespace tessaly::test
