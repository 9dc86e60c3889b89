#include "xmldom/Namespaces.h"

#include <set>
#include <string>

namespace xmldom::detail {
namespace {

constexpr std::string_view kXmlnsPrefix = "xmlns:";

std::string_view PrefixOf(std::string_view qualifiedName) {
    size_t colon = qualifiedName.find(':');
    return colon == std::string_view::npos ? std::string_view{} : qualifiedName.substr(0, colon);
}

void CollectPrefixes(pugi::xml_node node, std::set<std::string, std::less<>>& prefixes) {
    for (pugi::xml_node element = node; element;) {
        if (element.type() == pugi::node_element) {
            if (auto prefix = PrefixOf(element.name()); !prefix.empty())
                prefixes.emplace(prefix);
            for (pugi::xml_attribute attribute : element.attributes()) {
                auto prefix = PrefixOf(attribute.name());
                if (!prefix.empty() && prefix != "xmlns" && prefix != "xml")
                    prefixes.emplace(prefix);
            }
        }
        // Depth-first, not leaving the subtree of `node`.
        if (element.first_child()) {
            element = element.first_child();
            continue;
        }
        while (element != node && !element.next_sibling()) element = element.parent();
        if (element == node)
            break;
        element = element.next_sibling();
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
