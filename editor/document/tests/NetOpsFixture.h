// What the tests of the network operations share: a main frame and an error sink that
// record everything and answer as scripted, simulated nodes served in this process over
// an in-process link, node status fed by hand, and a document with nodes bound to them.
//
//   SimNodes nodes;  auto& n = nodes.Add(0x0A000002, "02:18:00:00:00:02");
//   nodes.Announce(n);  ...  n.stub.Calls()
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "editor/document/EditorHost.h"
#include "editor/document/ErrorSink.h"
#include "editor/document/TessalyDoc.h"
#include "editor/document/tests/RecordingFrame.h"
#include "nodesim/IomNodeStub.h"
#include "nodesim/NodeModel.h"
#include "nodestatus/fakes/FakeNS2Transport.h"
#include "rcc/StubDispatcher.h"
#include "rcc/fakes/LoopbackTransport.h"
#include "testsupport/TempDir.h"

// One simulated node served in this process.
struct SimNode {
    SimNode(LoopbackNetwork& net, const nodesim::NodeIdentity& id);
    nodesim::NodeIdentity identity;
    nodesim::NodeModel model;
    nodesim::IomNodeStub stub;
    LoopbackTransport link;
    StubDispatcher dispatcher;
};

// A node-status packet (long form) of a member: configurable unless its type or network
// major says otherwise. Interval: how long it stays on line without another packet.
std::vector<uint8_t> StatusPacket(uint16_t type, const char* mac, uint32_t ip,
                                  uint16_t networkMajor = 4, uint32_t session = 7,
                                  uint32_t interval = 600000, const char* name = "node");

class NetOpsTest : public ::testing::Test {
protected:
    NetOpsTest();
    ~NetOpsTest() override;

    // A node of the simulated network, at 10.0.0.<n>, MAC 02:18:00:00:00:<n>, named
    // "Node <n>"; node status hears it unless it is to stay off line.
    SimNode& AddNode(int n, uint16_t type = 8450, bool online = true);
    // Node status hears the node (connecting first when needed).
    void Announce(const SimNode& node);
    // A document node of the type, bound to the node's MAC and address.
    xmldom::Node AddDocNode(const SimNode& node, const char* typeName = "Kolt_2_Port_Node");
    // The text of a property below a document node.
    std::string Text(xmldom::Node node, std::string_view path);
    void SetText(xmldom::Node node, std::string_view path, std::string_view text);
    // Writes [Network] settings and makes the settings singleton over them.
    void UseSettings(int rccTimeoutSeconds, int updateDelayMs);

    ixo::testsupport::TempDir dir_;
    RecordingFrame frame_;
    ScriptedSink sink_;
    LoopbackNetwork net_;
    LoopbackTransport editorLink_{net_, 0x0A000001, 0x80};
    FakeNS2Transport nodeStatus_;
    std::list<SimNode> nodes_;
    std::unique_ptr<CTessalyDoc> doc_;
};
