#include "xmldom/Namespaces.h"

#include <set>
#include <string>

#include "xmldom/Path.h"

namespace xmldom::detail {
namespace {

constexpr std::string_view kXmlnsPrefix = "xmlns:";

std::string_view PrefixOf(std::string_view qualifiedName) {
    size_t colon = qualifiedName.find(':');
    return colon == std::string_view::npos ? std::string_view{} : qualifiedName.substr(0, colon);
}

void CollectPrefixes(pugi::xml_node subtree, std::set<std::string, std::less<>>& prefixes) {
    Node root(subtree);
    for (Node node = root; node; node = NextInSubtree(node, root)) {
        pugi::xml_node element = node.Raw();
        if (element.type() != pugi::node_element)
            continue;
        if (auto prefix = PrefixOf(element.name()); !prefix.empty())
            prefixes.emplace(prefix);
        for (pugi::xml_attribute attribute : element.attributes()) {
            auto prefix = PrefixOf(attribute.name());
            if (!prefix.empty() && prefix != "xmlns" && prefix != "xml")
                prefixes.emplace(prefix);
        }
    }
}

}  // namespace

std::optional<std::string_view> LookupNamespace(pugi::xml_node scope, std::string_view prefix) {
    for (pugi::xml_node node = scope; node; node = node.parent()) {
        if (node.type() != pugi::node_element)
            continue;
        for (pugi::xml_attribute attribute : node.attributes()) {
            std::string_view name = attribute.name();
            if (name.size() == kXmlnsPrefix.size() + prefix.size() &&
                name.starts_with(kXmlnsPrefix) && name.substr(kXmlnsPrefix.size()) == prefix)
                return std::string_view(attribute.value());
        }
    }
    return std::nullopt;
}

void DeclareCopiedPrefixes(pugi::xml_node source, pugi::xml_node copy) {
    if (copy.type() != pugi::node_element)
        return;
    std::set<std::string, std::less<>> prefixes;
    CollectPrefixes(source, prefixes);
    for (const std::string& prefix : prefixes) {
        auto wanted = LookupNamespace(source, prefix);
        if (!wanted || LookupNamespace(copy, prefix) == wanted)
            continue;
        std::string name = std::string(kXmlnsPrefix) + prefix;
        pugi::xml_attribute attribute = copy.attribute(name.c_str());
        if (!attribute)
            attribute = copy.append_attribute(name.c_str());
        attribute.set_value(wanted->data(), wanted->size());
    }
}

}  // namespace xmldom::detail
