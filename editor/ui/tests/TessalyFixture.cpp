#include "editor/ui/tests/TessalyFixture.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <chrono>

#include "editor/document/Bootp.h"
#include "editor/document/ConfigData.h"
#include "editor/document/EditorHost.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/KoltInterface.h"
#include "editor/ui/TessalyResources.h"
#include "framework/app/Application.h"
#include "nodestatus/NS2Packet.h"
#include "platform/Logger.h"
#include "platform/VavVersionRegistry.h"

namespace tessaly::test {
namespace {

std::vector<uint8_t> StatusPacket(const SimNode& node) {
    CNS2Node member(node.identity.mac, 1);
    member.SetNodeType(node.identity.type);
    member.SetIpAddress(node.identity.ip);
    member.SetSessionId(7);
    member.SetReportInterval(600000);
    member.SetName(node.identity.name.c_str());
    member.SetComponentVersion(VAV_COMPONENT_PROTOCOL_SUITE, {4, 0, 14, 0, 0, 0});
    std::array<uint8_t, NS2_MAX_PACKET> bytes{};
    const size_t length = NS2BuildPacket(member, NS2Form::Long, 3, 1, bytes);
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)};
}

}  // namespace

SimNode::SimNode(LoopbackNetwork& net, const nodesim::NodeIdentity& id)
    : identity(id),
      model(id, {}),
      stub(model),
      link(net, id.ip, 1),
      dispatcher(&link, RCC_DEFAULT_PORT, RCC_PROTOCOL_ID, 50) {
    dispatcher.registerStub(RCC_IF_IOM, "IOM", &stub);
}

TessalyFixture::TessalyFixture() {
    CErrorHandler::SetLogPath(std::filesystem::path());
    const auto ini = dir_.Write("Tessaly.ini", "[Network]\nRCCTimeout=1\nUpdateSoftwareDelay=0\n");
    CConfigData::CreateInstance(ini);
    EditorHost::SetRccLink(&editorLink_);
    EditorHost::SetNodeStatusTransport(&nodeStatus_);
    // The profile (recent files) goes to the test's own folder.
    qputenv("XDG_CONFIG_HOME", dir_.Path().c_str());
}

TessalyFixture::~TessalyFixture() {
    if (app_) {
        if (fw::Window* main = app_->GetMainWnd())
            main->DestroyWindow();
        app_->ExitInstance();
        app_.reset();
    }
    EditorHost::SetMainFrame(nullptr);
    EditorHost::SetNodeStatusTransport(nullptr);
    EditorHost::SetRccLink(nullptr);
    CErrorHandler::SetLogPath(std::nullopt);
    CConfigData::DeleteInstance();
}

void TessalyFixture::Start(std::vector<std::string> args, std::filesystem::path dataDir) {
    app_ = std::make_unique<CTessalyApp>(std::move(dataDir), false);
    app_->SetArguments(std::move(args));
    ASSERT_TRUE(app_->InitInstance());
    // The settings made above, not the ones beside the test program.
    const auto ini = dir_.Path() / "Tessaly.ini";
    CConfigData::CreateInstance(ini);
    ASSERT_NE(app_->MainFrame(), nullptr);
    Frame().SetDrainPause([](std::chrono::milliseconds) {});
    Frame().MoveWindow({0, 0, 1000, 560});
    QApplication::processEvents();
}

SimNode& TessalyFixture::AddSimNode(int n, bool online) {
    SimNode& node = nodes_.emplace_back(net_, nodesim::NumberedNode(n));
    if (online)
        Announce(node);
    return node;
}

void TessalyFixture::Announce(const SimNode& node) {
    CKoltInterface* kolt = CKoltInterface::GetInstance();
    if (!kolt->IsConnected())
        Frame().ExecuteCommand(ID_NET_CONNECT);
    ASSERT_TRUE(kolt->IsConnected());
    nodeStatus_.Push(StatusPacket(node));
    ASSERT_TRUE(PumpUntil([&] { return kolt->IsNodeOnline(node.identity.mac); }));
}

xmldom::Node TessalyFixture::AddDocNode(const SimNode& node, const char* typeName) {
    xmldom::Node added;
    EXPECT_TRUE(Doc().AddNode(typeName, &added));
    EXPECT_TRUE(Doc().SetNodeAddress(added, node.identity.mac, node.identity.ip));
    xmldom::Node name = Doc().GetProperty(added, ".Node_Properties.Name");
    EXPECT_TRUE(Doc().SetNodeText(Doc().SkipTextNode(name), node.identity.name));
    return added;
}

ROWCOL TessalyFixture::RowOfNode(int n) {
    const VavMacAddress wanted = nodesim::NumberedNode(n).mac;
    for (ROWCOL row = View().HeaderRows() + 1; row <= View().LastRow(); ++row) {
        VavMacAddress found;
        xmldom::Node node = View().NodeOfRow(row);
        if (node && Doc().GetNodeMac(node, found) && found == wanted)
            return row;
    }
    return 0;
}

std::string TessalyFixture::DocText(xmldom::Node node, std::string_view path) {
    std::string text;
    Doc().GetNodeText(Doc().GetProperty(node, path), text);
    return text;
}

QImage TessalyFixture::Screenshot(QWidget& widget, const std::string& name) {
    QDir().mkpath(SCREENSHOT_DIR);
    QImage image = widget.grab().toImage();
    image.save(QString::fromStdString(std::string(SCREENSHOT_DIR) + "/" + name + ".png"));
    return image;
}

}  // namespace tessaly::test
