#include "editor/document/NodeStatus2.h"

#include "editor/document/EditorHost.h"
#include "platform/VavClock.h"
#include "platform/VavVersionRegistry.h"

namespace {

constexpr uint16_t kFirstConfigurableType = 0x2000;
constexpr uint16_t kLastConfigurableType = 0x27FF;

}  // namespace

CNodeStatus2::CNodeStatus2(const std::string& name, uint32_t xmitVersion, uint8_t nodeId)
    : CNS2(xmitVersion, NS2_PORT, NS2_GROUP, kEditorNodeType, GetMilliseconds(), name.c_str(), true,
           NS2_MODE_MEMBER, 50) {
    SetStatusBit2(false);
    SetStatusBit5(false);
    SetStatusByte1(nodeId);
    SetReportInterval(kReportInterval);
}

CNodeStatus2::~CNodeStatus2() {
    CNS2::Stop();
}

bool CNodeStatus2::Start(uint32_t* code) {
    NS2Transport* transport = EditorHost::NodeStatusTransport();
    uint32_t result = transport != nullptr ? CreateWorkThread(transport)
                                           : CreateWorkThread(EditorHost::Transport());
    if (code != nullptr)
        *code = result;
    return (result & 0x80000000u) == 0;
}

bool CNodeStatus2::Stop() {
    return (CNS2::Stop() & 0x80000000u) == 0;
}

bool CNodeStatus2::IsConfigurable(const CNS2Node& node) {
    uint16_t type = node.GetNodeType();
    if (type < kFirstConfigurableType || type > kLastConfigurableType)
        return false;
    const auto& versions = node.GetVersionMap();
    auto network = versions.find(VAV_COMPONENT_PROTOCOL_SUITE);
    return network != versions.end() && network->second.major == ProtocolSuiteVersion().GetMajor();
}

void CNodeStatus2::OnNodeOnline(CNS2Node& node) {
    if (!IsConfigurable(node)) {
        ++other_;
        return;
    }
    if (node.IsUpdate()) {
        // A member on line changed: count everything again, and let the frame refresh it.
        int32_t configurable = 0;
        int32_t other = 0;
        for (const CNS2Node* n = GetFirstNode(); n != nullptr; n = n->GetNext()) {
            if (!n->IsOnline())
                continue;
            ++(IsConfigurable(*n) ? configurable : other);
        }
        configurable_ = configurable;
        other_ = other;
        PostNodeRefresh(node.GetMacAddress(), true);
        return;
    }
    ++configurable_;
    PostNodeEvent(node.GetMacAddress(), true);
}

void CNodeStatus2::OnNodeOffline(CNS2Node& node) {
    if (!IsConfigurable(node) || configurable_ < 1)
        return;
    --configurable_;
    PostNodeEvent(node.GetMacAddress(), false);
}

void CNodeStatus2::OnWorkStep() {
    EditorHost::NodeStatusStepped();
}

void CNodeStatus2::PostNodeEvent(const VavMacAddress& mac, bool online) {
    EditorHost::PostNodeStatus(WM_NODE_STATUS_CHANGED, online,
                               std::make_unique<VavMacAddress>(mac));
}

void CNodeStatus2::PostNodeRefresh(const VavMacAddress& mac, bool online) {
    PostNodeEvent(mac, online);
}

bool CNodeStatus2::GetNextOnlineNode(bool first, std::string& name, uint16_t& type, uint32_t& ip,
                                     VavMacAddress& mac) {
    auto lock = Lock();
    if (first)
        cursor_ = GetFirstNode();
    while (cursor_ != nullptr) {
        const CNS2Node* node = cursor_;
        cursor_ = cursor_->GetNext();
        if (node->IsOnline() && IsConfigurable(*node)) {
            name = node->GetName();
            type = node->GetNodeType();
            ip = node->GetIpAddress();
            mac = node->GetMacAddress();
            return true;
        }
    }
    return false;
}

const CNS2Node* CNodeStatus2::FindOnline(const VavMacAddress& mac) const {
    for (const CNS2Node* n = GetFirstNode(); n != nullptr; n = n->GetNext()) {
        if (n->GetMacAddress() == mac && n->IsOnline() && IsConfigurable(*n))
            return n;
    }
    return nullptr;
}

bool CNodeStatus2::IsNodeOnline(const VavMacAddress& mac) const {
    auto lock = Lock();
    return FindOnline(mac) != nullptr;
}

bool CNodeStatus2::GetNodeIp(const VavMacAddress& mac, CIPAddress& ip) const {
    auto lock = Lock();
    const CNS2Node* node = FindOnline(mac);
    if (node == nullptr)
        return false;
    ip.SetValue(node->GetIpAddress());
    return true;
}
