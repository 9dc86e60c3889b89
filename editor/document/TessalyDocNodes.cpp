// CTessalyDoc: making nodes from the template, deleting them, and the values derived
// from a node's ports.
#include <map>
#include <vector>

#include "editor/document/EditorStrings.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/TessalyDoc.h"
#include "xmldom/Path.h"

using xmldom::Node;

namespace {

constexpr const char* kDocNodesSource = "TessalyDoc";

// Every element below `root` (not `root` itself), depth first.
template <typename Visit>
void ForEachElementBelow(Node root, Visit visit) {
    for (Node node = xmldom::NextInSubtree(root, root); node;
         node = xmldom::NextInSubtree(node, root)) {
        if (node.IsElement())
            visit(node);
    }
}

std::string Underscored(std::string name) {
    for (char& c : name) {
        if (c == ' ')
            c = '_';
    }
    return name;
}

}  // namespace

bool CTessalyDoc::AddNode(std::string_view typeName, Node* added) {
    Node typeElement = templateNodes_.ChildElement(typeName);
    Node node;
    if (!typeElement || !properties_ || !configNodes_ || !BuildNode(typeElement, node)) {
        CErrorHandler::GetInstance()->Report(CErrorHandler::TYPE_ERROR, kDocNodesSource, __LINE__,
                                             IDS_NODE_NOT_CREATED);
        return false;
    }
    ApplyDefaults(node);
    ++nodeCount_;
    SetModifiedFlag(true);
    if (added)
        *added = node;
    return true;
}

bool CTessalyDoc::AddNodeOfType(uint32_t type, Node* added) {
    std::string name;
    if (!FindEnumItem("NodeTypes", type, 0xFFFF, name)) {
        CErrorHandler::GetInstance()->Report(CErrorHandler::TYPE_ERROR, kDocNodesSource, __LINE__,
                                             IDS_NODE_NOT_CREATED);
        return false;
    }
    return AddNode(Underscored(std::move(name)), added);
}

// A copy of the node type whose group placeholders are replaced by the groups. On
// failure the copy is taken out again.
bool CTessalyDoc::BuildNode(Node typeElement, Node& added) {
    added = configNodes_.AppendCopy(typeElement);
    if (!added)
        return false;
    std::vector<Node> placeholders;
    for (Node child = added.FirstChildElement(); child; child = child.NextSiblingElement())
        placeholders.push_back(child);
    for (Node placeholder : placeholders) {
        if (!ExpandGroup(placeholder)) {
            added.Remove();
            return false;
        }
    }
    return true;
}

bool CTessalyDoc::ExpandGroup(Node placeholder) {
    std::map<std::string, std::string, std::less<>> values;
    for (auto& [name, value] : placeholder.Attributes()) values.emplace(name, value);
    Node group = properties_.ChildElement(placeholder.Name());
    if (!group)
        return false;
    Node copy = placeholder.ReplaceWithCopy(group);
    if (!copy)
        return false;
    bool ok = true;
    ForEachElementBelow(copy, [&](Node element) {
        auto found = values.find(element.Name());
        if (found != values.end())
            ok = element.SetText(found->second) && ok;
    });
    for (auto& [name, value] : values) {
        if (copy.Attribute(name))
            ok = copy.SetAttribute(name, value) && ok;
    }
    return ok;
}

void CTessalyDoc::ApplyDefaults(Node node) {
    ForEachElementBelow(node, [](Node element) {
        if (element.HasChildren())
            return;
        if (auto value = element.Attribute("default"))
            element.SetText(*value);
    });
}

bool CTessalyDoc::DeleteNode(Node node) {
    if (!node || !configNodes_ || node.Parent() != configNodes_ || !node.Remove())
        return false;
    SetModifiedFlag(true);
    --nodeCount_;
    return true;
}

bool CTessalyDoc::UpdateNodeDerived(Node node) {
    if (!node)
        return false;
    for (Node port = xmldom::FindDescendant(node, node, "DMX_Port_Properties"); port;
         port = xmldom::FindDescendant(port, node, "DMX_Port_Properties")) {
        UpdatePortGroup(port.ChildElement("DMX_Input_Port_Properties"));
        UpdatePortGroup(port.ChildElement("DMX_Output_Port_Properties"));
    }
    return true;
}

void CTessalyDoc::UpdatePortGroup(Node group) {
    if (!group)
        return;
    int64_t start = 0, channels = 0;
    if (ReadNumber(group, ".EDMX_Start", start) && ReadNumber(group, ".EDMX_Channels", channels) &&
        start != 0 && channels != 0)
        WriteText(group, ".EDMX_End", std::to_string((start + channels - 1) & 0xFFFF));
    std::string text;
    if (ReadText(group, ".DD_EDMX_Start", text) && !text.empty()) {
        int64_t ddStart = 0;
        ReadNumber(group, ".DD_EDMX_Start", ddStart);
        WriteText(group, ".DD_EDMX_End", std::to_string((ddStart + 255) & 0xFFFF));
    }

    constexpr std::string_view kPortPaths[] = {".EDMX_Start", ".EDMX_End",      ".EDMX_Channels",
                                               ".DD",         ".DD_EDMX_Start", ".DD_EDMX_End"};
    constexpr std::string_view kVPortPaths[] = {".EDMX_Start",
                                                ".EDMX_End",
                                                ".EDMX_Channels",
                                                ".Dimmer_Doubling.Enabled",
                                                ".Dimmer_Doubling.EDMX_Start",
                                                ".Dimmer_Doubling.EDMX_End"};
    std::string portValues[std::size(kPortPaths)];
    for (size_t i = 0; i < std::size(kPortPaths); ++i)
        ReadText(group, kPortPaths[i], portValues[i]);
    for (Node vPort; GetNextVPort(vPort);) {
        bool matches = true;
        for (size_t i = 0; i < std::size(kVPortPaths) && matches; ++i)
            matches =
                ReadText(vPort, kVPortPaths[i], text) && !text.empty() && text == portValues[i];
        if (matches && ReadText(vPort, ".vPort_ID", text))
            WriteText(group, ".vPort", text);
    }
}
