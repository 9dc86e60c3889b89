// CTessalyDoc's Send Config and Optimize EDMX: a node's property tree sent in five
// passes (outputs held first and restored last), properties of one IOM object batched.
#include <cstdlib>

#include "editor/document/DataConvert.h"
#include "editor/document/EditorStrings.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/IPAddress.h"
#include "editor/document/TessalyDoc.h"
#include "rcc/IOMProxy.h"

using xmldom::Node;

namespace {

constexpr const char* kDocKoltSendSource = "DocKoltInterface";
constexpr uint32_t kPatchSlice = 500;
// Notices of a send that stopped: outputs not held, configuration not sent, outputs
// not restored.
constexpr uint32_t IDS_HOLD_FAILED = 25003;
constexpr uint32_t IDS_SEND_FAILED = 25004;
constexpr uint32_t IDS_RESTORE_FAILED = 25005;

bool IsOutputSwitch(std::string_view cls, std::string_view property) {
    return (cls == "DMXPort" && property == "isPortEnabled") ||
           (cls == "VideoPort" && property == "isLocked");
}

// Whether the pass sends this property of this class.
bool PassSelects(int pass, std::string_view cls, std::string_view property) {
    bool patch = cls == "DMXInputPort" && property == "channelPatch";
    bool count = cls == "DMXInputPort" && property == "channelCount";
    switch (pass) {
        case SEND_PASS_HOLD_OUTPUTS:
        case SEND_PASS_RESTORE_OUTPUTS:
            return IsOutputSwitch(cls, property);
        case SEND_PASS_PATCHES:
            return patch;
        case SEND_PASS_CHANNEL_COUNTS:
            return count;
        default:
            return !IsOutputSwitch(cls, property) && !patch && !count;
    }
}

void Notice(uint32_t messageId, const std::string& name) {
    CErrorHandler::GetInstance()->ReportText(
        CErrorHandler::TYPE_NOTICE, kDocKoltSendSource, __LINE__,
        FormatText(LoadEditorString(messageId).c_str(), name.c_str()));
}

}  // namespace

bool CTessalyDoc::SendConfig(Node node) {
    if (!CreateIomProxy())
        return false;
    NodeWalk walk;
    walk.step = [this](const DocNodeInfo& n) { return SendConfigToNode(n); };
    walk.failureMessage = IDS_SEND_CONFIG_FAILED;
    walk.offlineSummary = "Offline nodes skipped.";
    walk.singleOfflineSummary = "No Online Nodes Selected";
    return WalkNodes(node, walk);
}

NodeStep CTessalyDoc::SendConfigToNode(const DocNodeInfo& node) {
    if (!IsNodeOnline(node))
        return NodeStep::Skipped;
    ConnectToNode(node.ip);
    if (networkAddressMode_ && !CheckNodeSubnet(node.element)) {
        CErrorHandler::GetInstance()->ReportText(
            CErrorHandler::TYPE_ERROR, kDocKoltSendSource, __LINE__,
            FormatText(LoadEditorString(IDS_SUBNET_MISMATCH).c_str(), node.name.c_str()));
        return NodeStep::Skipped;
    }
    CErrorHandler::GetInstance()->ReportText(
        CErrorHandler::TYPE_NOTICE, kDocKoltSendSource, __LINE__,
        FormatText(LoadEditorString(IDS_SENDING_CONFIG).c_str(), node.name.c_str(),
                   node.mac.ToText(), CIPAddress(node.ip).GetText().c_str()));
    Node first = node.element.FirstChild();
    if (!SendNodeProperties(first, SEND_PASS_HOLD_OUTPUTS)) {
        Notice(IDS_HOLD_FAILED, node.name);
        return NodeStep::Failed;
    }
    bool sent = true;
    for (int pass : {SEND_PASS_PROPERTIES, SEND_PASS_PATCHES, SEND_PASS_CHANNEL_COUNTS}) {
        if (!SendNodeProperties(first, pass)) {
            Notice(IDS_SEND_FAILED, node.name);
            sent = false;
            break;
        }
    }
    // The outputs are held now: whatever went wrong, they are given back, on a
    // connection of their own when the failure closed the one before.
    if (!sent)
        Reconnect();
    if (!SendNodeProperties(first, SEND_PASS_RESTORE_OUTPUTS)) {
        Notice(IDS_RESTORE_FAILED, node.name);
        return NodeStep::Failed;
    }
    if (!sent)
        return NodeStep::Failed;
    if (!IomOk(InvokeSaveConfiguration()))
        return NodeStep::NotSaved;
    bool rebootNeeded = iom_.rebootNeeded;
    iom_.rebootNeeded = false;
    // A node may restart before it answers the reboot: its result is not examined, and
    // a Retry would only reboot it again.
    if (rebootNeeded)
        InvokeReboot(false);
    return NodeStep::Done;
}

bool CTessalyDoc::WalkTree(Node first, const std::function<bool(Node)>& visit) {
    for (Node n = first; n; n = n.NextSibling()) {
        if (!visit(n))
            return false;
        if (n.FirstChild() && !WalkTree(n.FirstChild(), visit))
            return false;
    }
    return true;
}

bool CTessalyDoc::TakeObjectAttributes(Node element, bool flush) {
    if (auto cls = element.Attribute("class")) {
        if (flush && !IomOk(FlushBatch()))
            return false;
        iom_.className = *cls;
    }
    if (auto instance = element.Attribute("instance")) {
        if (flush && !IomOk(FlushBatch()))
            return false;
        std::string text(*instance);
        iom_.instanceId =
            CRccValue::ofU32(static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10)));
    }
    return true;
}

bool CTessalyDoc::SendNodeProperties(Node first, int pass) {
    iom_.ResetObject();
    iom_.pass = pass;
    bool walked = WalkTree(
        first, [this](Node e) { return TakeObjectAttributes(e, true) && QueueForSend(e); });
    return walked && IomOk(FlushBatch());
}

bool CTessalyDoc::QueueForSend(Node element) {
    auto rcc = element.Attribute("rcc");
    if (!rcc || !PassSelects(iom_.pass, iom_.className, *rcc) || IsReadOnly(element))
        return true;
    iom_.values.push_back(iom_.pass == SEND_PASS_HOLD_OUTPUTS ? CRccValue::ofBool(false)
                                                              : SendValue(element));
    iom_.names.emplace_back(*rcc);
    if (IsBootProperty(element))
        iom_.rebootNeeded = true;
    return true;
}

CRccValue CTessalyDoc::SendValue(Node element) const {
    xmldom::TypedValue typed = element.GetTypedValue().value;
    CDataConvert convert;
    CRccValue value;
    if (convert.FromVariant(typed, element.Attribute("ixotype").value_or("")) &&
        convert.GetValue(value))
        return value;
    // The node takes these as the nearest remote-call types; an empty value would
    // only be refused.
    switch (typed.kind) {
        case xmldom::TypedValue::Kind::I1:
            return CRccValue::ofS8(static_cast<int8_t>(typed.integer));
        case xmldom::TypedValue::Kind::I2:
            return CRccValue::ofS16(static_cast<int16_t>(typed.integer));
        case xmldom::TypedValue::Kind::R8:
            return CRccValue::ofFloat(static_cast<float>(typed.real));
        default:
            return {};
    }
}

uint32_t CTessalyDoc::FlushBatch() {
    if (iom_.names.empty())
        return RCC_S_OK;
    iom_.setResults.clear();
    uint32_t result = RCC_E_COMM_FAILURE;
    if (!proxy_) {
        result = RCC_E_COMM_FAILURE;
    } else if (iom_.names.size() > 1) {
        result = proxy_->setPropMulti(iom_.className, iom_.instanceId, iom_.names, iom_.values,
                                      true, iom_.setResults);
    } else if (iom_.names.front() == "channelPatch") {
        result = SendPatch(iom_.values.front());
    } else {
        result = proxy_->setProp(iom_.className, iom_.instanceId, iom_.names.front(),
                                 iom_.values.front());
    }
    iom_.names.clear();
    iom_.values.clear();
    if (IomReason(result) == kIomReasonSeeResults) {
        result = RCC_S_OK;
        for (int32_t code : iom_.setResults) {
            if (!IomOk(static_cast<uint32_t>(code))) {
                result = static_cast<uint32_t>(code);
                break;
            }
        }
    }
    return IomOk(result) ? RCC_S_OK : result;
}

uint32_t CTessalyDoc::SendPatch(const CRccValue& patch) {
    const std::vector<uint16_t>* channels = patch.get<RCC_ARRAY | RCC_U16>();
    if (channels == nullptr || channels->empty())
        return proxy_->setProp(iom_.className, iom_.instanceId, "aipPatchIsEmpty",
                               CRccValue::ofBool(true));
    uint32_t result = RCC_S_OK;
    for (size_t offset = 0; offset < channels->size(); offset += kPatchSlice) {
        size_t count = std::min<size_t>(kPatchSlice, channels->size() - offset);
        CRccValue slice = CRccValue::of<RCC_ARRAY | RCC_U16>(
            std::vector<uint16_t>(channels->begin() + static_cast<ptrdiff_t>(offset),
                                  channels->begin() + static_cast<ptrdiff_t>(offset + count)));
        result = proxy_->setPropArray(iom_.className, iom_.instanceId, "channelPatch",
                                      static_cast<uint32_t>(offset + 1),
                                      static_cast<uint32_t>(count), slice, false, iom_.setResults);
        // A patch with a slice missing must not pass for sent.
        if (!IomOk(result))
            break;
    }
    return result;
}

bool CTessalyDoc::SendProperty(Node element, std::string_view name) {
    Node found;
    WalkTree(element, [&](Node n) {
        if (n.IsElement() && n.Name() == name)
            found = n;
        return !found;
    });
    if (!found)
        return false;
    iom_.ResetObject();
    auto rcc = found.Attribute("rcc");
    if (!TakeObjectAttributes(found.Parent(), true) || !rcc)
        return false;
    iom_.names.emplace_back(*rcc);
    iom_.values.push_back(SendValue(found));
    if (IsBootProperty(found))
        iom_.rebootNeeded = true;
    if (!IomOk(FlushBatch()))
        return false;
    return IomOk(InvokeSaveConfiguration());
}

bool CTessalyDoc::SendEdmxMulticastIp(Node node) {
    if (!CreateIomProxy())
        return false;
    DocNodeInfo info;
    ReadNodeInfo(node, info);
    bool sent = false;
    if (IsNodeOnline(info)) {
        ConnectToNode(info.ip);
        sent = SendProperty(node, "EDMX_Multicast_IP");
        bool applied = sent && IomOk(InvokeSaveConfiguration());
        if (applied && iom_.rebootNeeded)
            InvokeReboot(false);  // not examined: the node may restart before it answers
        iom_.rebootNeeded = false;
        if (!applied)
            CErrorHandler::GetInstance()->ReportText(
                CErrorHandler::TYPE_ERROR, kDocKoltSendSource, __LINE__,
                FormatText("The EDMX multicast address could not be %s the node: %s (%s, %s).",
                           sent ? "applied on" : "sent to", info.name.c_str(),
                           CIPAddress(info.ip).GetText().c_str(), info.mac.ToText()));
    }
    DeleteIomProxy();
    return sent;
}
