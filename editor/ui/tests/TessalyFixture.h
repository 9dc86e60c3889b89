// The editor's window in a test: Tessaly's application object with its frame and grid view on
// the offscreen platform, a simulated network served in this process (nodes answering remote
// calls over an in-process link, node status fed by hand), and helpers to wait while the
// window's messages run.
//
//   TessalyFixture f;  auto& n = f.AddSimNode(2);  f.AddDocNode(n);  f.View().RebuildGrid();
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <functional>
#include <list>
#include <memory>
#include <string>

#include "editor/document/TessalyDoc.h"
#include "editor/ui/MainFrm.h"
#include "editor/ui/TessalyApp.h"
#include "editor/ui/TessalyDocument.h"
#include "editor/ui/TessalyView.h"
#include "nodesim/IomNodeStub.h"
#include "nodesim/NodeModel.h"
#include "nodestatus/fakes/FakeNS2Transport.h"
#include "rcc/StubDispatcher.h"
#include "rcc/fakes/LoopbackTransport.h"
#include "testsupport/EventLoopWait.h"
#include "testsupport/TempDir.h"

namespace tessaly::test {

struct SimNode {
    SimNode(LoopbackNetwork& net, const nodesim::NodeIdentity& id);
    nodesim::NodeIdentity identity;
    nodesim::NodeModel model;
    nodesim::IomNodeStub stub;
    LoopbackTransport link;
    StubDispatcher dispatcher;
};

// Runs the window's messages until `done` answers true, woken by each message that comes.
using ixo::testsupport::PumpUntil;

// The shown dialog of class T (a modal one the code under test opened), once it is up and
// active; null when none came.
template <class T>
T* ShownDialog() {
    T* found = nullptr;
    PumpUntil([&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* dlg = dynamic_cast<T*>(w); dlg && dlg->isVisible())
                found = dlg;
        }
        return found != nullptr;
    });
    if (found) {
        EXPECT_TRUE(PumpUntil([&] { return found->isActiveWindow(); }));
    }
    return found;
}

class TessalyFixture : public ::testing::Test {
protected:
    TessalyFixture();
    ~TessalyFixture() override;

    // Starts the application (InitInstance) with these arguments, on the program's data folder
    // or another one.
    void Start(std::vector<std::string> args = {"/nologo"},
               std::filesystem::path dataDir = IXO_DATA_DIR);
    CTessalyApp& App() { return *app_; }
    CMainFrame& Frame() { return *app_->MainFrame(); }
    CTessalyView& View() { return *Frame().ActiveTessalyView(); }
    CTessalyDoc& Doc() { return Frame().ActiveTessalyDocument()->Doc(); }

    // A node at 10.0.0.<n>, MAC 02:18:00:00:00:<n>, "Node <n>"; announced unless off line.
    SimNode& AddSimNode(int n, bool online = true);
    void Announce(const SimNode& node);
    // A document node bound to the simulated node.
    xmldom::Node AddDocNode(const SimNode& node, const char* typeName = "Kolt_2_Port_Node");
    // The grid row of the first row of the node with that MAC's last byte; 0 when none.
    ROWCOL RowOfNode(int n);
    std::string Cell(ROWCOL row, int col) {
        return View().GetValueRowCol(row, static_cast<ROWCOL>(col));
    }
    std::string DocText(xmldom::Node node, std::string_view path);
    // Writes the window's image to the build folder's screenshots and returns it.
    QImage Screenshot(QWidget& widget, const std::string& name);

    ixo::testsupport::TempDir dir_;
    LoopbackNetwork net_;
    LoopbackTransport editorLink_{net_, 0x0A000001, 0x80};
    FakeNS2Transport nodeStatus_;
    std::list<SimNode> nodes_;
    std::unique_ptr<CTessalyApp> app_;
};

}  // namespace tessaly::test
