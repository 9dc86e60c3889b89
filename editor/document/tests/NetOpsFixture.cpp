#include "editor/document/tests/NetOpsFixture.h"

#include <chrono>
#include <thread>

#include "editor/document/Bootp.h"
#include "editor/document/ConfigData.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/KoltInterface.h"
#include "nodestatus/NS2Packet.h"
#include "platform/Logger.h"
#include "platform/VavVersionRegistry.h"

SimNode::SimNode(LoopbackNetwork& net, const nodesim::NodeIdentity& id)
    : identity(id),
      model(id, {}),
      stub(model),
      link(net, id.ip, 1),
      dispatcher(&link, RCC_DEFAULT_PORT, RCC_PROTOCOL_ID, 50) {
    dispatcher.registerStub(RCC_IF_IOM, "IOM", &stub);
}

std::vector<uint8_t> StatusPacket(uint16_t type, const char* mac, uint32_t ip,
                                  uint16_t networkMajor, uint32_t session, uint32_t interval,
                                  const char* name) {
    CNS2Node node(VavMacAddress(mac), 1);
    node.SetNodeType(type);
    node.SetIpAddress(ip);
    node.SetSessionId(session);
    node.SetReportInterval(interval);
    node.SetName(name);
    if (networkMajor != 0)
        node.SetComponentVersion(VAV_COMPONENT_PROTOCOL_SUITE,
                                 {static_cast<uint8_t>(networkMajor), 0, 14, 0, 0, 0});
    std::array<uint8_t, NS2_MAX_PACKET> bytes{};
    size_t length = NS2BuildPacket(node, NS2Form::Long, 3, 1, bytes);
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)};
}

NetOpsTest::NetOpsTest() {
    CErrorHandler::SetLogPath(std::filesystem::path());
    CErrorHandler::GetInstance()->SetSink(&sink_);
    UseSettings(1, 0);
    EditorHost::SetRccLink(&editorLink_);
    EditorHost::SetNodeStatusTransport(&nodeStatus_);
    EditorHost::SetMainFrame(&frame_);
    doc_ = std::make_unique<CTessalyDoc>(IXO_DATA_DIR);
    EXPECT_TRUE(doc_->OnNewDocument());
}

NetOpsTest::~NetOpsTest() {
    doc_.reset();
    CBootp::DeleteInstance();
    CKoltInterface::DeleteInstance();
    EditorHost::SetMainFrame(nullptr);
    EditorHost::SetNodeStatusTransport(nullptr);
    EditorHost::SetRccLink(nullptr);
    EditorHost::SetProxyMaker(nullptr);
    CErrorHandler::DeleteInstance();
    CErrorHandler::SetLogPath(std::nullopt);
    CConfigData::DeleteInstance();
    GetLogger()->Close();
}

void NetOpsTest::UseSettings(int rccTimeoutSeconds, int updateDelayMs) {
    auto path = dir_.Write("Tessaly.ini",
                           "[Network]\nRCCTimeout=" + std::to_string(rccTimeoutSeconds) +
                               "\nUpdateSoftwareDelay=" + std::to_string(updateDelayMs) + "\n");
    CConfigData::CreateInstance(path);
}

SimNode& NetOpsTest::AddNode(int n, uint16_t type, bool online) {
    SimNode& node = nodes_.emplace_back(net_, nodesim::NumberedNode(n, type));
    if (online)
        Announce(node);
    return node;
}

void NetOpsTest::Announce(const SimNode& node) {
    CKoltInterface* kolt = CKoltInterface::GetInstance();
    if (!kolt->IsConnected()) {
        ASSERT_TRUE(kolt->Connect());
    }
    nodeStatus_.Push(StatusPacket(node.identity.type, node.identity.mac.ToText(), node.identity.ip,
                                  4, 7, 600000, node.identity.name.c_str()));
    ASSERT_TRUE(frame_.Await([&] { return kolt->IsNodeOnline(node.identity.mac); }));
}

xmldom::Node NetOpsTest::AddDocNode(const SimNode& node, const char* typeName) {
    xmldom::Node added;
    EXPECT_TRUE(doc_->AddNode(typeName, &added));
    EXPECT_TRUE(doc_->SetNodeAddress(added, node.identity.mac, node.identity.ip));
    SetText(added, ".Node_Properties.Name", node.identity.name);
    return added;
}

std::string NetOpsTest::Text(xmldom::Node node, std::string_view path) {
    std::string text;
    doc_->GetNodeText(doc_->GetProperty(node, path), text);
    return text;
}

void NetOpsTest::SetText(xmldom::Node node, std::string_view path, std::string_view text) {
    xmldom::Node property = doc_->GetProperty(node, path);
    ASSERT_TRUE(property) << path;
    ASSERT_TRUE(doc_->SetNodeText(doc_->SkipTextNode(property), text)) << path;
}
