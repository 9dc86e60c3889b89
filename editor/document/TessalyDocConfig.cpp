// CTessalyDoc: queries and edits of the configuration's nodes, ports and vPorts, and
// the element-level steps the views and dialogs use.
#include <charconv>

#include "editor/document/EditorStrings.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/IPAddress.h"
#include "editor/document/TessalyDoc.h"
#include "xmldom/Path.h"

using xmldom::Node;

namespace {

constexpr const char* kDocConfigSource = "TessalyDoc";

constexpr std::string_view kName = ".Node_Properties.Name";
constexpr std::string_view kType = ".Node_Properties.Type";
constexpr std::string_view kMac = ".Node_Properties.MAC_Address";
constexpr std::string_view kIp = ".Node_Properties.IP_Address";
constexpr std::string_view kEdmxMulticastIp = ".Node_Properties.EDMX_Multicast_IP";
constexpr std::string_view kOnlineIp = ".Online_IP";
constexpr std::string_view kAipPatch = ".DMX_Input_Port_Properties.AIP_Patch";

// A number as the editor reads property texts: leading blanks, a sign and digits up
// to the first other character; "true" is 1; anything else 0.
int64_t TextNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    if (text.starts_with("true"))
        return 1;
    if (text.starts_with('+'))
        text.remove_prefix(1);
    int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Counts characters, not bytes, of UTF-8 text.
size_t CharacterCount(std::string_view text) {
    size_t count = 0;
    for (unsigned char c : text) count += (c & 0xC0) != 0x80;
    return count;
}

}  // namespace

bool CTessalyDoc::ReadText(Node below, std::string_view path, std::string& text) const {
    Node property = xmldom::ResolvePath(below, path);
    text = property ? property.Text() : std::string();
    return static_cast<bool>(property);
}

bool CTessalyDoc::ReadNumber(Node below, std::string_view path, int64_t& number) const {
    std::string text;
    bool found = ReadText(below, path, text);
    number = found ? TextNumber(text) : 0;
    return found;
}

bool CTessalyDoc::WriteText(Node below, std::string_view path, std::string_view text) {
    Node property = xmldom::ResolvePath(below, path);
    return property && SetNodeText(xmldom::ElementOf(property), text);
}

Node CTessalyDoc::GetProperty(Node node, std::string_view path) const {
    return xmldom::ResolvePath(node, path);
}

bool CTessalyDoc::GetNextNode(Node& node) const {
    node = node ? node.NextSiblingElement() : configNodes_.FirstChildElement();
    return static_cast<bool>(node);
}

bool CTessalyDoc::GetNextVPort(Node& node) const {
    node = node ? node.NextSiblingElement() : configVPorts_.FirstChildElement();
    return static_cast<bool>(node);
}

bool CTessalyDoc::GetNextNodeInfo(bool first, std::string& name, uint16_t& type, VavMacAddress& mac,
                                  uint32_t& ip, Node& element) {
    if (first)
        nodeInfoCursor_ = {};
    if (!GetNextNode(nodeInfoCursor_)) {
        element = {};
        return false;
    }
    element = nodeInfoCursor_;
    int32_t number = 0;
    GetNodeName(element, name);
    GetNodeType(element, number);
    type = static_cast<uint16_t>(number);
    mac = VavMacAddress();
    ip = 0;
    GetNodeAddress(element, mac, ip);
    return true;
}

bool CTessalyDoc::GetNodeName(Node node, std::string& name) const {
    return ReadText(node, kName, name);
}

bool CTessalyDoc::GetNodeType(Node node, int32_t& type) const {
    int64_t number = 0;
    bool found = ReadNumber(node, kType, number);
    type = static_cast<int32_t>(number);
    return found;
}

bool CTessalyDoc::GetNodeMac(Node node, VavMacAddress& mac) const {
    std::string text;
    if (!ReadText(node, kMac, text))
        return false;
    mac = VavMacAddress(text.c_str());
    return true;
}

bool CTessalyDoc::GetNodeAddress(Node node, VavMacAddress& mac, uint32_t& ip) const {
    std::string text;
    if (!GetNodeMac(node, mac))
        return false;
    ip = ReadText(node, kOnlineIp, text) ? CIPAddress(text).GetValue() : 0;
    if (ip == 0) {
        if (!ReadText(node, kIp, text))
            return false;
        ip = CIPAddress(text).GetValue();
    }
    return true;
}

bool CTessalyDoc::SetNodeAddress(Node node, const VavMacAddress& mac, uint32_t ip) {
    return WriteText(node, kMac, mac.ToText()) && WriteText(node, kIp, CIPAddress(ip).GetText());
}

bool CTessalyDoc::SetNodeOnlineIp(Node node, uint32_t ip) {
    Node property = xmldom::ResolvePath(node, kOnlineIp);
    return property && xmldom::ElementOf(property).SetText(CIPAddress(ip).GetText());
}

bool CTessalyDoc::SetNodeEdmxMulticastIp(Node node, std::string_view address) {
    return WriteText(node, kEdmxMulticastIp, address);
}

bool CTessalyDoc::GetPortNumber(Node port, int32_t& number) const {
    int64_t value = 0;
    bool found = ReadNumber(port, ".Port", value);
    number = static_cast<int32_t>(value);
    return found;
}

bool CTessalyDoc::GetPortEnabled(Node port, bool& enabled) const {
    int64_t value = 0;
    bool found = ReadNumber(port, ".Enabled", value);
    enabled = value != 0;
    return found;
}

bool CTessalyDoc::GetPortInputOutput(Node port, bool& output) const {
    int64_t value = 0;
    bool found = ReadNumber(port, ".Input_Output", value);
    output = value != 0;
    return found;
}

bool CTessalyDoc::GetPortAipFlag(Node port, bool& aip) const {
    int64_t value = 0;
    bool found = ReadNumber(port, ".DMX_Input_Port_Properties.AIP", value);
    aip = value != 0;
    return found;
}

bool CTessalyDoc::GetAipPatch(Node port, std::string& patch) const {
    return ReadText(port, kAipPatch, patch);
}

bool CTessalyDoc::SetAipPatch(Node port, std::string_view patch) {
    return WriteText(port, kAipPatch, patch);
}

Node CTessalyDoc::FindVPort(std::string_view id) const {
    std::string text;
    for (Node vPort; GetNextVPort(vPort);) {
        if (ReadText(vPort, ".vPort_ID", text) && text == id)
            return vPort;
    }
    return {};
}

bool CTessalyDoc::GetVPortEdmxStart(Node vPort, std::string& text) const {
    return ReadText(vPort, ".EDMX_Start", text);
}

bool CTessalyDoc::GetVPortEdmxChannels(Node vPort, std::string& text) const {
    return ReadText(vPort, ".EDMX_Channels", text);
}

bool CTessalyDoc::GetVPortEdmxEnd(Node vPort, std::string& text) const {
    return ReadText(vPort, ".EDMX_End", text);
}

bool CTessalyDoc::GetVPortDimmerDoubling(Node vPort, std::string& text) const {
    return ReadText(vPort, ".Dimmer_Doubling.Enabled", text);
}

bool CTessalyDoc::GetVPortDdEdmxStart(Node vPort, std::string& text) const {
    return ReadText(vPort, ".Dimmer_Doubling.EDMX_Start", text);
}

bool CTessalyDoc::GetVPortDdEdmxEnd(Node vPort, std::string& text) const {
    return ReadText(vPort, ".Dimmer_Doubling.EDMX_End", text);
}

bool CTessalyDoc::GetNodeText(Node node, std::string& text) const {
    text = node ? node.Text() : std::string();
    return static_cast<bool>(node);
}

bool CTessalyDoc::GetNodeValue(Node node, std::string& value) const {
    value.clear();
    if (node.IsText()) {
        value = node.Text();
        return true;
    }
    Node first = node.FirstChild();
    if (!node.IsElement() || !first || !first.IsText())
        return false;
    value = node.Text();
    return true;
}

bool CTessalyDoc::SetNodeText(Node node, std::string_view text) {
    // An element that holds elements is a group: its text would replace all of them.
    if (!node || node.FirstChildElement())
        return false;
    size_t length = CharacterCount(text);
    if (length > kMaxTextLength) {
        CErrorHandler::GetInstance()->ReportText(
            CErrorHandler::TYPE_ERROR, kDocConfigSource, __LINE__,
            FormatText(LoadEditorString(IDS_TEXT_TOO_LONG).c_str(), length, kMaxTextLength));
        return false;
    }
    if (node.Text() == text)
        return true;
    if (!node.SetText(text))
        return false;
    SetModifiedFlag(true);
    return true;
}

Node CTessalyDoc::FindDescendant(Node current, Node root, std::string_view name) const {
    return xmldom::FindDescendant(current, root, name);
}

Node CTessalyDoc::FindSibling(Node node, std::string_view name) const {
    return xmldom::FindSibling(node, name);
}

bool CTessalyDoc::GetElementName(Node node, std::string& name) const {
    name = node.Name();
    return static_cast<bool>(node);
}

bool CTessalyDoc::GetFirstChild(Node node, Node& child) const {
    child = node.FirstChild();
    return static_cast<bool>(child);
}

bool CTessalyDoc::GetNextSibling(Node node, Node& next) const {
    next = node.NextSibling();
    return static_cast<bool>(next);
}

bool CTessalyDoc::IsLeaf(Node node) const {
    return node && !node.HasChildren();
}

Node CTessalyDoc::SkipTextNode(Node node) const {
    return xmldom::ElementOf(node);
}

bool CTessalyDoc::SetAttribute(Node node, std::string_view name, std::string_view text) {
    if (!node.Attribute(name))
        return false;
    if (node.Attribute(name) == text)
        return true;
    if (!node.SetAttribute(name, text))
        return false;
    SetModifiedFlag(true);
    return true;
}
