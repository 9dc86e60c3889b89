#include "editor/document/KoltInterface.h"

#include <cstdint>

#include "editor/document/ConfigData.h"
#include "editor/document/EditorStrings.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/NodeStatus2.h"
#include "os/Clock.h"

namespace {

constexpr const char* kSource = "KoltInterface";
// Time the work thread gets to join the status group before the announcement (on the
// process's clock).
constexpr uint32_t kStartPauseMs = 200;

std::unique_ptr<CKoltInterface>& Instance() {
    static std::unique_ptr<CKoltInterface> instance;
    return instance;
}

}  // namespace

CKoltInterface* CKoltInterface::GetInstance() {
    if (!Instance())
        Instance() = std::make_unique<CKoltInterface>();
    return Instance().get();
}

void CKoltInterface::DeleteInstance() {
    Instance().reset();
}

CKoltInterface::~CKoltInterface() {
    Disconnect();
}

bool CKoltInterface::Connect() {
    if (IsConnected())
        return true;
    if (!client_) {
        CConfigData* settings = CConfigData::GetInstance();
        client_ = std::make_unique<CNodeStatus2>(LoadEditorString(IDS_PRODUCT_NAME),
                                                 static_cast<uint32_t>(settings->GetXmitVersion()),
                                                 static_cast<uint8_t>(settings->GetNodeId()));
    }
    connected_ = true;
    uint32_t code = 0;
    if (!client_->Start(&code)) {
        // Left in place, the client would make the editor look connected while it
        // hears nothing.
        client_.reset();
        connected_ = false;
        CErrorHandler::GetInstance()->ReportText(
            CErrorHandler::TYPE_ERROR, kSource, __LINE__,
            FormatText("Could not connect to the network: node status could not start "
                       "(0x%08X). Check that the multiplexer Travex can run and that the "
                       "network card is chosen.",
                       code));
        return false;
    }
    os::Sleep(kStartPauseMs);
    client_->SendInitialStatus();
    return true;
}

bool CKoltInterface::Disconnect() {
    if (!client_)
        return true;
    bool stopped = client_->Stop();
    connected_ = false;
    client_.reset();
    return stopped;
}

int CKoltInterface::GetOnlineNodeCount() const {
    return IsConnected() ? client_->GetConfigurableCount() : 0;
}

bool CKoltInterface::GetNextOnlineNode(bool first, std::string& name, uint16_t& type,
                                       VavMacAddress& mac, uint32_t& ip) {
    return IsConnected() && client_->GetNextOnlineNode(first, name, type, ip, mac);
}

bool CKoltInterface::IsNodeOnline(const VavMacAddress& mac) const {
    return IsConnected() && client_->IsNodeOnline(mac);
}

bool CKoltInterface::GetNodeIp(const VavMacAddress& mac, CIPAddress& ip) const {
    return IsConnected() && client_->GetNodeIp(mac, ip);
}
