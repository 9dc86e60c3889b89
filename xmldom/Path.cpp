#include "xmldom/Path.h"

namespace xmldom {

Node FindSibling(Node node, std::string_view name) {
    for (; node; node = node.NextSibling()) {
        if (node.Name() == name)
            return node;
    }
    return {};
}

Node NextInSubtree(Node node, Node root) {
    if (Node child = node.FirstChild())
        return child;
    while (node != root && !node.NextSibling()) node = node.Parent();
    return node == root ? Node() : node.NextSibling();
}

Node FindDescendant(Node current, Node root, std::string_view name) {
    if (!current || !root)
        return {};
    for (Node node = NextInSubtree(current, root); node; node = NextInSubtree(node, root)) {
        if (node.Name() == name)
            return node;
    }
    return {};
}

Node ResolvePath(Node below, std::string_view path) {
    if (!below)
        return {};
    if (path.starts_with('.'))
        path.remove_prefix(1);
    if (path.empty())
        return below;
    Node reached = below;
    while (true) {
        size_t dot = path.find('.');
        std::string_view name = path.substr(0, dot);
        reached = FindSibling(reached.FirstChild(), name);
        if (!reached)
            return {};
        if (dot == std::string_view::npos)
            break;
        path.remove_prefix(dot + 1);
    }
    Node first = reached.FirstChild();
    return first ? first : reached;
}

Node ElementOf(Node node) {
    return node.IsText() ? node.Parent() : node;
}

}  // namespace xmldom
