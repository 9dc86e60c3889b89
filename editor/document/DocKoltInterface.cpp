// CTessalyDoc's network operations: the proxy, connecting to a node, the walks over
// nodes with their Abort/Retry/Ignore questions, and the node methods (save, reboot,
// update, clear).
#include <chrono>
#include <thread>

#include "editor/document/ConfigData.h"
#include "editor/document/EditorHost.h"
#include "editor/document/EditorStrings.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/IPAddress.h"
#include "editor/document/KoltInterface.h"
#include "editor/document/TessalyDoc.h"
#include "platform/VavVersionRegistry.h"
#include "rcc/IOMProxy.h"

using xmldom::Node;

namespace {

constexpr const char* kDocKoltSource = "DocKoltInterface";
// Asked when a node took every property but did not save them: name, IP, MAC.
constexpr const char* kNotSavedQuestion =
    "The node: %s (%s, %s) did not save its configuration. The properties were sent to the "
    "node, but it may not keep them when it restarts.";
// The node side of every remote call: application id 1, port 0 for the default port.
constexpr uint8_t kNodeAppId = 1;

std::string JoinNames(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

}  // namespace

bool CTessalyDoc::CreateIomProxy() {
    DeleteIomProxy();
    proxy_ = EditorHost::MakeProxy();
    if (!proxy_)
        return false;
    GetVersionRegistry()->SetProtocolVersion(RCC_PROTOCOL_ID, proxy_->getVersion());
    return true;
}

void CTessalyDoc::DeleteIomProxy() {
    proxy_.reset();
}

bool CTessalyDoc::IsCancelRequested() {
    IMainFrame* frame = EditorHost::MainFrame();
    return frame != nullptr && frame->TakePendingKeyDown();
}

void CTessalyDoc::ConnectToNode(uint32_t address) {
    iom_.nodeAddress = address;
    iom_.rebootNeeded = false;
    Reconnect();
}

void CTessalyDoc::Reconnect() {
    if (!proxy_)
        return;
    int seconds = CConfigData::GetInstance()->GetRccTimeout();
    proxy_->setTimeout(static_cast<uint32_t>(seconds > 0 ? seconds : 0) * 1000);
    proxy_->connect(iom_.nodeAddress, kNodeAppId, 0);
}

uint32_t CTessalyDoc::InvokeNodeMethod(const char* method, const std::vector<CRccValue>& args) {
    if (!proxy_)
        return RCC_E_COMM_FAILURE;
    Reconnect();
    std::vector<CRccValue> results;
    return proxy_->invokeMethod("Node", CRccValue::ofU32(1), method, args, results);
}

uint32_t CTessalyDoc::InvokeSaveConfiguration() {
    return InvokeNodeMethod("saveConfiguration", {});
}

uint32_t CTessalyDoc::InvokeReboot(bool update) {
    if (update)
        return InvokeNodeMethod("reboot", {CRccValue::ofU32(1)});
    return InvokeNodeMethod("reboot", {});
}

uint32_t CTessalyDoc::InvokeClearConfiguration() {
    return InvokeNodeMethod("clearConfiguration", {});
}

bool CTessalyDoc::IsMacInDocument(const VavMacAddress& mac) {
    VavMacAddress known;
    for (Node node; GetNextNode(node);) {
        if (GetNodeMac(node, known) && known == mac)
            return true;
    }
    return false;
}

bool CTessalyDoc::CheckNodeSubnet(Node node) {
    std::string text;
    auto address = [&](std::string_view path) {
        return ReadText(node, path, text) ? CIPAddress(text).GetValue() : 0u;
    };
    uint32_t ip = address(".Node_Properties.IP_Address");
    uint32_t mask = address(".Node_Properties.Subnet_Mask");
    uint32_t gateway = address(".Node_Properties.Gateway_IP");
    return ip != 0 && mask != 0 && gateway != 0 && (ip & mask) == (gateway & mask);
}

bool CTessalyDoc::ReadNodeInfo(Node node, DocNodeInfo& info) const {
    info = DocNodeInfo();
    info.element = node;
    GetNodeName(node, info.name);
    return GetNodeAddress(node, info.mac, info.ip);
}

bool CTessalyDoc::IsNodeOnline(const DocNodeInfo& node) const {
    // A node without a MAC is not bound to any node of the network.
    return node.mac != VavMacAddress() && CKoltInterface::GetInstance()->IsNodeOnline(node.mac);
}

CTessalyDoc::StepAnswer CTessalyDoc::RunStep(const DocNodeInfo& node, const NodeWalk& walk) {
    for (;;) {
        NodeStep step = walk.step(node);
        if (step == NodeStep::Done)
            return StepAnswer::Done;
        if (step == NodeStep::Skipped)
            return StepAnswer::Skipped;
        const std::string format = step == NodeStep::NotSaved
                                       ? std::string(kNotSavedQuestion)
                                       : LoadEditorString(walk.failureMessage);
        std::string text = FormatText(format.c_str(), node.name.c_str(),
                                      CIPAddress(node.ip).GetText().c_str(), node.mac.ToText());
        int answer = CErrorHandler::GetInstance()->AskAbortRetryIgnore(
            CErrorHandler::TYPE_ERROR, kDocKoltSource, __LINE__, text);
        if (answer == ANSWER_RETRY)
            continue;
        return answer == ANSWER_IGNORE ? StepAnswer::Ignored : StepAnswer::Aborted;
    }
}

bool CTessalyDoc::WalkNodes(Node node, const NodeWalk& walk) {
    std::string summary;
    bool result = true;
    if (node) {
        DocNodeInfo info;
        ReadNodeInfo(node, info);
        if (!IsNodeOnline(info)) {
            summary = walk.singleOfflineSummary;
        } else {
            StepAnswer answer = RunStep(info, walk);
            result = answer == StepAnswer::Done || answer == StepAnswer::Skipped;
        }
    } else {
        IMainFrame* frame = walk.progress ? EditorHost::MainFrame() : nullptr;
        if (frame != nullptr)
            frame->BeginProgress(CKoltInterface::GetInstance()->GetOnlineNodeCount());
        int handled = 0;
        DocNodeInfo info;
        uint16_t type = 0;
        for (bool first = true;
             GetNextNodeInfo(first, info.name, type, info.mac, info.ip, info.element);
             first = false) {
            if (info.mac == VavMacAddress()) {
                // Unbound: never contacted, and not off line either.
            } else if (!IsNodeOnline(info)) {
                summary = walk.offlineSummary;
            } else {
                StepAnswer answer = RunStep(info, walk);
                if (frame != nullptr)
                    frame->SetProgress(++handled);
                if (answer == StepAnswer::Aborted) {
                    result = false;
                    break;
                }
            }
            if (IsCancelRequested())
                break;
        }
        if (frame != nullptr)
            frame->EndProgress();
    }
    DeleteIomProxy();
    if (!summary.empty())
        CErrorHandler::GetInstance()->ReportText(CErrorHandler::TYPE_NOTICE, kDocKoltSource,
                                                 __LINE__, summary);
    else
        CErrorHandler::GetInstance()->ShowReady();
    return result;
}

bool CTessalyDoc::RebootOrUpdate(Node node, bool update) {
    // A node may restart before it answers: the results are not examined.
    return RunOnNodes(node, &CTessalyDoc::InvokeReboot, update, nullptr);
}

bool CTessalyDoc::ClearConfiguration(Node node) {
    return RunOnNodes(node, &CTessalyDoc::InvokeClear, false,
                      "The configuration could not be cleared on these nodes: %s.");
}

bool CTessalyDoc::RunOnNodes(Node node, uint32_t (CTessalyDoc::*invoke)(bool), bool update,
                             const char* failureText) {
    const auto delay =
        std::chrono::milliseconds(CConfigData::GetInstance()->GetUpdateSoftwareDelay());
    if (!CreateIomProxy())
        return false;
    std::vector<std::string> failed;
    auto run = [&](const std::string& name, uint32_t ip) {
        iom_.nodeAddress = ip;
        if (!IomOk((this->*invoke)(update)) && failureText != nullptr)
            failed.push_back(name + " (" + CIPAddress(ip).GetText() + ")");
    };
    if (node) {
        DocNodeInfo info;
        ReadNodeInfo(node, info);
        run(info.name, info.ip);
    } else {
        CKoltInterface* kolt = CKoltInterface::GetInstance();
        std::string name;
        uint16_t type = 0;
        VavMacAddress mac;
        uint32_t ip = 0;
        for (bool first = true; kolt->GetNextOnlineNode(first, name, type, mac, ip);
             first = false) {
            run(name, ip);
            std::this_thread::sleep_for(delay);
            if (IsCancelRequested())
                break;
        }
    }
    if (failed.empty())
        return true;
    CErrorHandler::GetInstance()->ReportText(CErrorHandler::TYPE_ERROR, kDocKoltSource, __LINE__,
                                             FormatText(failureText, JoinNames(failed).c_str()));
    return false;
}
