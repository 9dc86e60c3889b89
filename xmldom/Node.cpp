#include "xmldom/Node.h"

#include <string>

#include "xmldom/Namespaces.h"

namespace xmldom {
namespace {

bool IsTextType(pugi::xml_node_type type) {
    return type == pugi::node_pcdata || type == pugi::node_cdata;
}

pugi::xml_attribute FindAttribute(pugi::xml_node node, std::string_view name) {
    for (pugi::xml_attribute attribute : node.attributes()) {
        if (name == attribute.name())
            return attribute;
    }
    return {};
}

void AppendText(pugi::xml_node node, std::string& out) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (IsTextType(child.type()))
            out += child.value();
        else if (child.type() == pugi::node_element)
            AppendText(child, out);
    }
}

}  // namespace

NodeKind Node::Kind() const {
    switch (node_.type()) {
        case pugi::node_document:
            return NodeKind::Document;
        case pugi::node_element:
            return NodeKind::Element;
        case pugi::node_pcdata:
            return NodeKind::Text;
        case pugi::node_cdata:
            return NodeKind::CData;
        case pugi::node_comment:
            return NodeKind::Comment;
        case pugi::node_pi:
            return NodeKind::ProcessingInstruction;
        case pugi::node_declaration:
            return NodeKind::Declaration;
        case pugi::node_doctype:
            return NodeKind::Doctype;
        default:
            return NodeKind::None;
    }
}

bool Node::IsText() const {
    return IsTextType(node_.type());
}

std::string_view Node::Name() const {
    switch (node_.type()) {
        case pugi::node_element:
        case pugi::node_pi:
        case pugi::node_declaration:
            return node_.name();
        case pugi::node_pcdata:
            return "#text";
        case pugi::node_cdata:
            return "#cdata-section";
        case pugi::node_comment:
            return "#comment";
        case pugi::node_document:
            return "#document";
        case pugi::node_doctype:
            return "#doctype";
        default:
            return "";
    }
}

Node Node::FirstChildElement() const {
    pugi::xml_node child = node_.first_child();
    while (child && child.type() != pugi::node_element) child = child.next_sibling();
    return Node(child);
}

Node Node::NextSiblingElement() const {
    pugi::xml_node next = node_.next_sibling();
    while (next && next.type() != pugi::node_element) next = next.next_sibling();
    return Node(next);
}

Node Node::ChildElement(std::string_view name) const {
    for (Node child = FirstChildElement(); child; child = child.NextSiblingElement()) {
        if (child.Name() == name)
            return child;
    }
    return {};
}

std::optional<std::string_view> Node::Value() const {
    switch (node_.type()) {
        case pugi::node_pcdata:
        case pugi::node_cdata:
        case pugi::node_comment:
        case pugi::node_pi:
            return std::string_view(node_.value());
        default:
            return std::nullopt;
    }
}

std::string Node::Text() const {
    if (IsText())
        return node_.value();
    std::string text;
    if (node_.type() == pugi::node_element || node_.type() == pugi::node_document) {
        // The common case, one text child, without building up a string piece by piece.
        pugi::xml_node only = node_.first_child();
        if (only && IsTextType(only.type()) && !only.next_sibling())
            return only.value();
        AppendText(node_, text);
    }
    return text;
}

bool Node::SetText(std::string_view text) {
    if (IsText())
        return node_.set_value(text.data(), text.size());
    if (node_.type() != pugi::node_element)
        return false;
    pugi::xml_node only = node_.first_child();
    if (only && only.type() == pugi::node_pcdata && !only.next_sibling() && !text.empty())
        return only.set_value(text.data(), text.size());
    while (node_.first_child()) node_.remove_child(node_.first_child());
    if (text.empty())
        return true;
    pugi::xml_node child = node_.append_child(pugi::node_pcdata);
    return child && child.set_value(text.data(), text.size());
}

std::optional<std::string_view> Node::Attribute(std::string_view name) const {
    if (node_.type() != pugi::node_element)
        return std::nullopt;
    pugi::xml_attribute attribute = FindAttribute(node_, name);
    if (!attribute)
        return std::nullopt;
    return std::string_view(attribute.value());
}

bool Node::SetAttribute(std::string_view name, std::string_view value) {
    if (node_.type() != pugi::node_element || name.empty())
        return false;
    pugi::xml_attribute attribute = FindAttribute(node_, name);
    if (!attribute)
        attribute = node_.append_attribute(std::string(name).c_str());
    return attribute && attribute.set_value(value.data(), value.size());
}

bool Node::RemoveAttribute(std::string_view name) {
    pugi::xml_attribute attribute = FindAttribute(node_, name);
    return attribute && node_.remove_attribute(attribute);
}

std::vector<std::pair<std::string, std::string>> Node::Attributes() const {
    std::vector<std::pair<std::string, std::string>> list;
    for (pugi::xml_attribute attribute : node_.attributes())
        list.emplace_back(attribute.name(), attribute.value());
    return list;
}

std::string_view Node::DataType() const {
    if (node_.type() != pugi::node_element)
        return {};
    for (pugi::xml_attribute attribute : node_.attributes()) {
        std::string_view name = attribute.name();
        if (!name.ends_with(":dt") || name.starts_with("xmlns:"))
            continue;
        auto uri = detail::LookupNamespace(node_, name.substr(0, name.size() - 3));
        if (uri == kDatatypesNamespace)
            return attribute.value();
    }
    return {};
}

TypedValueResult Node::GetTypedValue() const {
    if (!node_)
        return {};
    return ParseTypedValue(DataType(), Text());
}

Node Node::AppendCopy(Node source) {
    if (!source || (node_.type() != pugi::node_element && node_.type() != pugi::node_document))
        return {};
    pugi::xml_node copy = node_.append_copy(source.node_);
    if (copy)
        detail::DeclareCopiedPrefixes(source.node_, copy);
    return Node(copy);
}

Node Node::ReplaceWithCopy(Node source) {
    pugi::xml_node parent = node_.parent();
    if (!source || !parent)
        return {};
    pugi::xml_node copy = parent.insert_copy_before(source.node_, node_);
    if (!copy)
        return {};
    parent.remove_child(node_);
    node_ = {};
    detail::DeclareCopiedPrefixes(source.node_, copy);
    return Node(copy);
}

Node Node::AppendElement(std::string_view name) {
    if (node_.type() != pugi::node_element && node_.type() != pugi::node_document)
        return {};
    return Node(node_.append_child(std::string(name).c_str()));
}

Node Node::AppendChild(Node child) {
    return Node(node_.append_move(child.node_));
}

bool Node::Remove() {
    pugi::xml_node parent = node_.parent();
    if (!parent || !parent.remove_child(node_))
        return false;
    node_ = {};
    return true;
}

}  // namespace xmldom
