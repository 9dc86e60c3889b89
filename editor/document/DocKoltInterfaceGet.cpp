// CTessalyDoc's Get Config and Get Unbound Nodes: a node's property tree read back into
// the document, ordinary properties in one transaction, channel patches in slices.
#include "editor/document/DataConvert.h"
#include "editor/document/EditorHost.h"
#include "editor/document/EditorStrings.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/IPAddress.h"
#include "editor/document/KoltInterface.h"
#include "editor/document/TessalyDoc.h"
#include "rcc/IOMProxy.h"

using xmldom::Node;

namespace {

constexpr const char* kDocKoltGetSource = "DocKoltInterface";
// A node of this type is read property by property.
constexpr int32_t kSingleReadNodeType = 8581;
constexpr uint32_t kGetPatchSlice = 500;
constexpr uint32_t kPatchChannels = 8192;

bool IsPatch(std::string_view cls, std::string_view property) {
    return cls == "DMXInputPort" && property == "channelPatch";
}

// "" for a patch that is empty or all zero, else the channels in decimal joined by ",".
std::string PatchText(const std::vector<uint16_t>& channels) {
    bool any = false;
    for (uint16_t c : channels) any = any || c != 0;
    std::string text;
    if (!any)
        return text;
    for (size_t i = 0; i < channels.size(); ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(channels[i]);
    }
    return text;
}

void Invalidate() {
    if (IMainFrame* frame = EditorHost::MainFrame())
        frame->Invalidate();
}

}  // namespace

bool CTessalyDoc::GetConfig(Node node) {
    if (!CreateIomProxy())
        return false;
    NodeWalk walk;
    walk.step = [this](const DocNodeInfo& n) { return GetConfigFromNode(n); };
    walk.failureMessage = IDS_GET_CONFIG_FAILED;
    walk.offlineSummary = "Offline Nodes Skipped.";
    walk.singleOfflineSummary = "No Online Nodes Selected";
    walk.progress = true;
    bool result = WalkNodes(node, walk);
    Invalidate();
    return result;
}

NodeStep CTessalyDoc::GetConfigFromNode(const DocNodeInfo& node) {
    if (!IsNodeOnline(node))
        return NodeStep::Skipped;
    ConnectToNode(node.ip);
    CErrorHandler::GetInstance()->ReportText(
        CErrorHandler::TYPE_NOTICE, kDocKoltGetSource, __LINE__,
        FormatText(LoadEditorString(IDS_GETTING_CONFIG).c_str(), node.name.c_str(),
                   node.mac.ToText(), CIPAddress(node.ip).GetText().c_str()));
    if (!GetNodeConfig(node.element))
        return NodeStep::Failed;
    UpdateNodeDerived(node.element);
    return NodeStep::Done;
}

bool CTessalyDoc::GetNodeConfig(Node node) {
    Node first = node.FirstChild();
    auto walk = [this, first](DocReadWalk kind) {
        iom_.ResetObject();
        iom_.readWalk = kind;
        return WalkTree(
            first, [this](Node e) { return TakeObjectAttributes(e, false) && ReadElement(e); });
    };
    int32_t type = 0;
    GetNodeType(node, type);
    if (type == kSingleReadNodeType)
        return walk(DocReadWalk::Single);
    iom_.transactions = IOMTransactionList();
    iom_.transactionElements.clear();
    return walk(DocReadWalk::Gather) && ReadTransactions() && walk(DocReadWalk::Patches);
}

bool CTessalyDoc::ReadElement(Node element) {
    auto rcc = element.Attribute("rcc");
    if (!rcc)
        return true;
    std::string name(*rcc);
    switch (iom_.readWalk) {
        case DocReadWalk::Gather:
            if (!IsPatch(iom_.className, name)) {
                iom_.transactions.transactions.emplace_back(iom_.className, iom_.instanceId)
                    .properties.emplace_back(name);
                iom_.transactionElements.push_back(element);
            }
            return true;
        case DocReadWalk::Patches:
            if (!IsPatch(iom_.className, name))
                return true;
            break;
        case DocReadWalk::Single:
            if (name != "channelPatch") {
                CRccValue value;
                if (!proxy_ ||
                    !IomOk(proxy_->getProp(iom_.className, iom_.instanceId, name, value)))
                    return false;
                WriteValue(element, value);
                return true;
            }
            break;
    }
    std::vector<uint16_t> patch;
    if (!ReadChannelPatch(patch))
        return false;
    WriteValue(element, CRccValue::of<RCC_ARRAY | RCC_U16>(std::move(patch)));
    return true;
}

bool CTessalyDoc::ReadTransactions() {
    if (iom_.transactionElements.empty())
        return true;
    if (!proxy_ || !IomOk(proxy_->getPropTransaction(iom_.transactions)))
        return false;
    // The answer must say something for every property asked for.
    const auto& answered = iom_.transactions.transactions;
    if (answered.size() != iom_.transactionElements.size())
        return false;
    for (size_t i = 0; i < answered.size(); ++i) {
        if (answered[i].properties.empty())
            return false;
        WriteValue(iom_.transactionElements[i], answered[i].properties.front().propertyValue);
    }
    return true;
}

bool CTessalyDoc::ReadChannelPatch(std::vector<uint16_t>& patch) {
    patch.clear();
    if (!proxy_)
        return false;
    CRccValue empty;
    if (IomOk(proxy_->getProp(iom_.className, iom_.instanceId, "aipPatchIsEmpty", empty)) &&
        empty.getType() == RCC_BOOL && empty.getScalar<RCC_BOOL>())
        return true;
    for (uint32_t start = 1; start < kPatchChannels;) {
        uint32_t count = std::min(kGetPatchSlice, kPatchChannels + 1 - start);
        CRccValue slice;
        if (!IomOk(proxy_->getPropArray(iom_.className, iom_.instanceId, "channelPatch", start,
                                        count, slice)))
            return false;
        const std::vector<uint16_t>* channels = slice.get<RCC_ARRAY | RCC_U16>();
        // A short or foreign answer would shift every channel after it.
        if (channels == nullptr || channels->size() != count)
            return false;
        patch.insert(patch.end(), channels->begin(), channels->end());
        start += count;
    }
    return true;
}

void CTessalyDoc::WriteValue(Node element, const CRccValue& value) {
    if (value.isEmpty())
        return;
    PropertyType type = PROPERTY_NONE;
    GetPropertyType(element, type);
    std::string text;
    const CRccVerInfo* version = value.get<RCC_VERINFO>();
    const std::vector<uint16_t>* channels = value.get<RCC_ARRAY | RCC_U16>();
    if (type == PROPERTY_VERNUMSTR && version != nullptr) {
        version->FormatText(6, text);
    } else if (type == PROPERTY_VECTOR16 && channels != nullptr) {
        text = PatchText(*channels);
    } else {
        CDataConvert convert;
        convert.FromValue(value);
        convert.GetText(text);
    }
    SetNodeText(element, text);
}

bool CTessalyDoc::GetUnboundNodes() {
    if (!CreateIomProxy())
        return false;
    CKoltInterface* kolt = CKoltInterface::GetInstance();
    IMainFrame* frame = EditorHost::MainFrame();
    if (frame != nullptr)
        frame->BeginProgress(kolt->GetOnlineNodeCount());
    NodeWalk walk;
    walk.step = [this](const DocNodeInfo& n) { return ReadUnboundNode(n); };
    walk.failureMessage = IDS_GET_CONFIG_FAILED;
    bool result = true;
    int handled = 0;
    DocNodeInfo info;
    uint16_t type = 0;
    for (bool first = true; kolt->GetNextOnlineNode(first, info.name, type, info.mac, info.ip);
         first = false) {
        if (!IsMacInDocument(info.mac)) {
            CErrorHandler::GetInstance()->ReportText(
                CErrorHandler::TYPE_NOTICE, kDocKoltGetSource, __LINE__,
                FormatText(LoadEditorString(IDS_ADDING_NODE).c_str(), info.name.c_str(),
                           info.mac.ToText(), CIPAddress(info.ip).GetText().c_str()));
            if (!AddNodeOfType(type, &info.element)) {
                // Reported (20009) where the node could not be made; on to the next.
            } else if (!SetNodeAddress(info.element, info.mac, info.ip)) {
                CErrorHandler::GetInstance()->Report(CErrorHandler::TYPE_ERROR, kDocKoltGetSource,
                                                     __LINE__, IDS_DOCUMENT_WRITE_FAILED);
                result = false;
                break;
            } else {
                StepAnswer answer = RunStep(info, walk);
                if (answer == StepAnswer::Ignored || answer == StepAnswer::Aborted)
                    result = false;
                if (answer == StepAnswer::Aborted)
                    break;
            }
        }
        if (frame != nullptr)
            frame->SetProgress(++handled);
        if (IsCancelRequested())
            break;
    }
    if (frame != nullptr)
        frame->EndProgress();
    DeleteIomProxy();
    CErrorHandler::GetInstance()->ShowReady();
    Invalidate();
    return result;
}

NodeStep CTessalyDoc::ReadUnboundNode(const DocNodeInfo& node) {
    ConnectToNode(node.ip);
    if (!GetNodeConfig(node.element))
        return NodeStep::Failed;
    UpdateNodeDerived(node.element);
    return NodeStep::Done;
}
