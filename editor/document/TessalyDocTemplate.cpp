// CTessalyDoc: queries of the template and the attributes of property elements.
#include <charconv>
#include <optional>
#include <string_view>
#include <vector>

#include "editor/document/TessalyDoc.h"
#include "xmldom/Path.h"

using xmldom::Node;

namespace {

bool IsYes(std::optional<std::string_view> value) {
    return value == "Y" || value == "y";
}
bool IsNo(std::optional<std::string_view> value) {
    return value == "N" || value == "n";
}

// The attribute read as a decimal integer (as atoi does: leading blanks, a sign,
// digits up to the first other character); `fallback` when absent.
int32_t IntegerAttribute(Node element, std::string_view name, int32_t fallback) {
    auto text = element.Attribute(name);
    if (!text)
        return fallback;
    std::string_view digits = *text;
    while (!digits.empty() && (digits.front() == ' ' || digits.front() == '\t'))
        digits.remove_prefix(1);
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    int64_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return static_cast<int32_t>(value);
}

int64_t ItemValue(Node item) {
    xmldom::TypedValue value = item.GetTypedValue().value;
    if (value.kind == xmldom::TypedValue::Kind::Text) {
        int64_t number = 0;
        std::from_chars(value.text.data(), value.text.data() + value.text.size(), number);
        return number;
    }
    return value.integer;
}

std::string ItemName(Node item) {
    auto name = item.Attribute("name");
    return std::string(name ? *name : item.Name());
}

int Depth(Node element) {
    int deepest = 0;
    for (Node child = element.FirstChildElement(); child; child = child.NextSiblingElement())
        deepest = std::max(deepest, 1 + Depth(child));
    return deepest;
}

// A segment "name" or "name:instance" of a template path.
struct Segment {
    std::string_view name;
    std::optional<std::string_view> instance;
};

Segment SplitSegment(std::string_view text) {
    size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return {text, std::nullopt};
    return {text.substr(0, colon), text.substr(colon + 1)};
}

// The template child for a segment. With an instance: the like-named sibling of that
// instance, else the first whose instance is not 0, else the first like-named one.
Node TemplateChild(Node parent, const Segment& segment) {
    Node first = parent.ChildElement(segment.name);
    if (!segment.instance || !first)
        return first;
    Node nonZero;
    for (Node child = first; child; child = child.NextSiblingElement()) {
        if (child.Name() != segment.name)
            continue;
        auto instance = child.Attribute("instance");
        if (instance == segment.instance)
            return child;
        if (!nonZero && instance && IntegerAttribute(child, "instance", 0) != 0)
            nonZero = child;
    }
    return nonZero ? nonZero : first;
}

}  // namespace

bool CTessalyDoc::GetNextChildName(Node parent, bool first, Node& cursor, std::string& name) const {
    cursor = first ? parent.FirstChildElement() : cursor.NextSiblingElement();
    if (!cursor)
        return false;
    name = cursor.Name();
    return true;
}

bool CTessalyDoc::GetNextNodeTypeName(bool first, std::string& name) {
    return GetNextChildName(templateNodes_, first, nodeTypeCursor_, name);
}

bool CTessalyDoc::GetNextViewName(bool first, std::string& name) {
    return GetNextChildName(views_, first, viewCursor_, name);
}

bool CTessalyDoc::GetNextPropertyGroup(Node& element) const {
    element = element ? element.NextSiblingElement() : properties_.FirstChildElement();
    return static_cast<bool>(element);
}

bool CTessalyDoc::SelectView(std::string_view name) {
    Node view = views_.ChildElement(name);
    if (!view)
        return false;
    currentView_ = view;
    return true;
}

Node CTessalyDoc::FindViewItem(std::string_view path) const {
    if (!currentView_)
        return {};
    return xmldom::ResolvePath(currentView_, path);
}

bool CTessalyDoc::GetNextEnumItem(bool first, std::string_view enumeration, std::string& name,
                                  int32_t& value) {
    enumCursor_ = first ? enumerations_.ChildElement(enumeration).FirstChildElement()
                        : enumCursor_.NextSiblingElement();
    if (!enumCursor_)
        return false;
    name = ItemName(enumCursor_);
    value = static_cast<int32_t>(ItemValue(enumCursor_));
    return true;
}

bool CTessalyDoc::GetEnumItemName(std::string_view enumeration, std::string& name,
                                  int32_t value) const {
    return FindEnumItem(enumeration, static_cast<uint32_t>(value), 0xFFFFFFFF, name);
}

bool CTessalyDoc::FindEnumItem(std::string_view enumeration, uint32_t value, uint32_t mask,
                               std::string& name) const {
    Node list = enumerations_.ChildElement(enumeration);
    for (Node item = list.FirstChildElement(); item; item = item.NextSiblingElement()) {
        if ((static_cast<uint32_t>(ItemValue(item)) & mask) == (value & mask)) {
            name = ItemName(item);
            return true;
        }
    }
    return false;
}

int CTessalyDoc::GetPropertyTreeDepth() {
    if (propertyTreeDepth_ < 0) {
        int deepest = 0;
        for (Node group = properties_.FirstChildElement(); group;
             group = group.NextSiblingElement())
            deepest = std::max(deepest, Depth(group));
        propertyTreeDepth_ = deepest;
    }
    return propertyTreeDepth_;
}

bool CTessalyDoc::IsHidden(Node node) const {
    return IsYes(node.Attribute("hidden"));
}

bool CTessalyDoc::IsReadOnly(Node node) const {
    Node element = xmldom::ElementOf(node);
    if (!IsNo(element.Attribute("edit")))
        return false;
    return !(networkAddressMode_ && IsYes(element.Attribute("write")));
}

bool CTessalyDoc::IsMergeable(Node node) const {
    return IsYes(node.Attribute("merge"));
}

bool CTessalyDoc::IsBootProperty(Node node) const {
    return IsYes(node.Attribute("boot"));
}

bool CTessalyDoc::GetPropertyType(Node node, PropertyType& type) const {
    Node element = xmldom::ElementOf(node);
    type = PropertyTypeOf(element.DataType(), element.Attribute("ixotype").value_or(""));
    return type != PROPERTY_NONE;
}

bool CTessalyDoc::GetIxoType(Node node, std::string& ixoType) const {
    auto value = xmldom::ElementOf(node).Attribute("ixotype");
    ixoType = value.value_or("");
    return value.has_value();
}

bool CTessalyDoc::GetEnumName(Node node, std::string& name) const {
    auto value = node.Attribute("enum");
    name = value.value_or("");
    return value.has_value();
}

bool CTessalyDoc::GetPropertyMin(Node node, int32_t& value) const {
    value = IntegerAttribute(xmldom::ElementOf(node), "min", 0);
    return static_cast<bool>(node);
}

bool CTessalyDoc::GetPropertyMax(Node node, int32_t& value) const {
    value = IntegerAttribute(xmldom::ElementOf(node), "max", -1);
    return static_cast<bool>(node);
}

bool CTessalyDoc::GetPropertyMaxLen(Node node, int32_t& value) const {
    value = IntegerAttribute(xmldom::ElementOf(node), "maxlen", 40);
    return static_cast<bool>(node);
}

std::string CTessalyDoc::GetTemplatePath(Node node) const {
    // Asked for every cell of the grid: the names are views into the tree, joined once.
    struct Step {
        std::string_view name;
        std::optional<std::string_view> instance;
    };
    std::vector<Step> steps;
    std::size_t length = 0;
    for (Node element = xmldom::ElementOf(node); element && element.IsElement();
         element = element.Parent()) {
        Step step{element.Name(), element.Attribute("instance")};
        length += step.name.size() + 1 + (step.instance ? step.instance->size() + 1 : 0);
        steps.push_back(step);
    }
    std::string path;
    path.reserve(length);
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        if (!path.empty())
            path += '\\';
        path += it->name;
        if (it->instance) {
            path += ':';
            path += *it->instance;
        }
    }
    return path;
}

bool CTessalyDoc::GetTemplateAttribute(Node node, std::string_view attribute,
                                       std::string& value) const {
    value.clear();
    std::string path = GetTemplatePath(node);
    constexpr std::string_view kNodes = "\\Nodes\\";
    size_t start = path.find(kNodes);
    if (start == std::string::npos || !templateNodes_)
        return false;
    std::string_view rest = std::string_view(path).substr(start + kNodes.size());
    Node reached = templateNodes_;
    while (!rest.empty()) {
        size_t slash = rest.find('\\');
        reached = TemplateChild(reached, SplitSegment(rest.substr(0, slash)));
        if (!reached)
            return false;
        rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
    }
    auto found = reached.Attribute(attribute);
    if (!found)
        return false;
    value = *found;
    return true;
}
