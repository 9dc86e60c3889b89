// Walks over a document by names.
#pragma once

#include <string_view>

#include "xmldom/Node.h"

namespace xmldom {

// The first node among `node` and its following siblings whose name is `name`.
Node FindSibling(Node node, std::string_view name);

// The node after `node` in a depth-first walk of the subtree below `root` (children
// first, then following siblings); null when the walk leaves the subtree.
Node NextInSubtree(Node node, Node root);

// The next node named `name` after `current` in a depth-first walk of the subtree
// below `root`; start the walk with current == root. Null at the end.
Node FindDescendant(Node current, Node root, std::string_view name);

// Resolves a dotted property path (".Node_Properties.MAC_Address"; the leading "." is
// optional) below `below`: each name is looked up among the children of the node
// reached so far, first match in document order. The result is the first child of the
// last node named, so a property with text resolves to its text node ("#text"), and the
// named node itself when it has no children. An empty path names `below`. Null when a
// name is not found.
Node ResolvePath(Node below, std::string_view path);

// The element of a node: the parent of a text node, the node itself otherwise.
Node ElementOf(Node node);

}  // namespace xmldom
