#include "editor/document/Bootp.h"

#include "addrserver/AddressServer.h"
#include "editor/document/ConfigData.h"
#include "editor/document/EditorStrings.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/KoltInterface.h"
#include "editor/document/NodeStatus2.h"

namespace {

constexpr const char* kBootpSource = "Bootp";

std::unique_ptr<CBootp>& BootpInstance() {
    static std::unique_ptr<CBootp> instance;
    return instance;
}

AddressServerSettings EditorSettings() {
    CConfigData* config = CConfigData::GetInstance();
    AddressServerSettings s;
    s.unused1 = 100;
    s.tftpPriority = 100;
    s.callbackPriority = 100;
    s.serverMode = 3;
    s.unused2 = 0;
    s.bootpServerPort = 67;
    s.bootpClientPort = 68;
    s.tftpEnabled = 1;
    s.tftpPort = 69;
    s.hostName = config->GetBootpServerName();
    s.tftpDirectory = config->GetTftpDir();
    s.messageMask = 0xFFFFFFFF;
    s.versionCheck = 1;
    return s;
}

// Hands the running node-status client and every member it knows to the server.
void ShareNodeStatus() {
    CNodeStatus2* client = CKoltInterface::GetInstance()->GetClient();
    if (client == nullptr)
        return;
    AddressServerSetNodeStatus(client);
    auto lock = client->Lock();
    for (const CNS2Node* n = client->GetFirstNode(); n != nullptr; n = n->GetNext())
        AddressServerAddNode(*n);
}

}  // namespace

CBootp* CBootp::GetInstance() {
    if (!BootpInstance())
        BootpInstance() = std::make_unique<CBootp>();
    return BootpInstance().get();
}

void CBootp::DeleteInstance() {
    BootpInstance().reset();
}

CBootp::~CBootp() {
    Stop();
}

bool CBootp::Start() {
    // A second start would stop the server that runs.
    if (server_)
        return true;
    server_ = std::make_unique<CAddressServer>();
    if (AddressServerStart(EditorSettings()) == 0) {
        ShareNodeStatus();
        CErrorHandler::GetInstance()->Report(CErrorHandler::TYPE_NOTICE, kBootpSource, __LINE__,
                                             IDS_BOOTP_STARTED);
        return true;
    }
    // The failure stays the last word in the message bar: no "stopped" notice after it.
    server_.reset();
    CErrorHandler::GetInstance()->Report(CErrorHandler::TYPE_NOTICE, kBootpSource, __LINE__,
                                         IDS_BOOTP_START_FAILED);
    return false;
}

void CBootp::Stop() {
    if (!server_)
        return;
    CErrorHandler::GetInstance()->Report(CErrorHandler::TYPE_NOTICE, kBootpSource, __LINE__,
                                         IDS_BOOTP_STOPPED);
    server_.reset();
}
