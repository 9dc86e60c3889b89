// A handle to one node of a Document: an element, a text node, a comment...
// Handles are small values, compared by the node they name. A handle stays valid
// while its node is in its document; removing or replacing the node, or loading
// other content into the document, leaves it dangling.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "xmldom/TypedValue.h"

namespace xmldom {

enum class NodeKind : uint8_t {
    None,
    Document,
    Element,
    Text,
    CData,
    Comment,
    ProcessingInstruction,
    Declaration,
    Doctype,
};

class Node {
public:
    Node() = default;
    explicit Node(pugi::xml_node node) : node_(node) {}

    explicit operator bool() const { return static_cast<bool>(node_); }
    bool operator==(const Node& other) const { return node_ == other.node_; }
    pugi::xml_node Raw() const { return node_; }

    NodeKind Kind() const;
    bool IsElement() const { return node_.type() == pugi::node_element; }
    // A text or CDATA node.
    bool IsText() const;

    // The DOM's node name: the element's name, "#text", "#cdata-section", "#comment",
    // "#document", the target of a processing instruction; "" for a null handle.
    std::string_view Name() const;

    Node Parent() const { return Node(node_.parent()); }
    Node FirstChild() const { return Node(node_.first_child()); }
    Node LastChild() const { return Node(node_.last_child()); }
    Node NextSibling() const { return Node(node_.next_sibling()); }
    bool HasChildren() const { return static_cast<bool>(node_.first_child()); }
    // Element-only steps, which pass over text, comments and processing instructions.
    Node FirstChildElement() const;
    Node NextSiblingElement() const;
    // The first child element with the name.
    Node ChildElement(std::string_view name) const;

    // The value of a text node (also CDATA, comment, processing instruction);
    // nothing for elements and the document, as the DOM's node value.
    std::optional<std::string_view> Value() const;
    // The text of the node and of everything below it, in document order.
    std::string Text() const;
    // An element: its children are replaced by one text node holding `text` (none
    // when it is empty), so its attributes, its datatype among them, stay. A text node:
    // the value. False for other kinds.
    bool SetText(std::string_view text);

    // Attributes of an element; nothing (or false) for other kinds.
    std::optional<std::string_view> Attribute(std::string_view name) const;
    // Sets the attribute, adding it when missing.
    bool SetAttribute(std::string_view name, std::string_view value);
    bool RemoveAttribute(std::string_view name);
    // Name and value of each attribute, in document order.
    std::vector<std::pair<std::string, std::string>> Attributes() const;

    // The element's datatype: its attribute "dt" in the datatypes namespace, under any
    // prefix bound to it; "" when untyped.
    std::string_view DataType() const;
    // The text read by the datatype; untyped elements read as text.
    TypedValueResult GetTypedValue() const;

    // Tree edits. Copies are deep and may come from another document; namespace
    // prefixes that the copy uses are declared on it when its new place lacks them.
    Node AppendCopy(Node source);
    // Puts a deep copy of `source` in place of this node and returns the copy; this
    // handle is then dangling.
    Node ReplaceWithCopy(Node source);
    Node AppendElement(std::string_view name);
    // Moves a node of the same document to the end of this node's children.
    Node AppendChild(Node child);
    // Removes this node and all below it from the document; the handle is then dangling.
    bool Remove();

private:
    pugi::xml_node node_;
};

}  // namespace xmldom
