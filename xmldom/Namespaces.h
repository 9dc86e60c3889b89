// Namespace prefixes of the xmldom library (internal to xmldom/).
#pragma once

#include <optional>
#include <string_view>

#include <pugixml.hpp>

namespace xmldom::detail {

// The namespace URI bound to `prefix` at `scope` (its own "xmlns:prefix" attribute or
// that of the nearest ancestor); nothing when unbound.
std::optional<std::string_view> LookupNamespace(pugi::xml_node scope, std::string_view prefix);

// After `copy` was made from `source` and put in its place: declares on `copy` every
// prefix that the subtree uses and that is bound above `source` but not, or
// differently, above `copy`.
void DeclareCopiedPrefixes(pugi::xml_node source, pugi::xml_node copy);

}  // namespace xmldom::detail
