#include "editor/ui/EdmxAddress.h"

#include <charconv>

namespace tessaly {
namespace {

// Whole decimal digits only, at most 9 of them (no sign, blank or overflow).
std::optional<int> Decimal(std::string_view text) {
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.front() == '-' ||
        text.front() == '+')
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<int> ParseEdmxAddress(std::string_view text) {
    const size_t slash = text.find('/');
    if (slash == std::string_view::npos)
        return Decimal(text);
    const auto universe = Decimal(text.substr(0, slash));
    const auto channel = Decimal(text.substr(slash + 1));
    if (!universe || !channel || *universe < 1 || *universe > 64 || *channel < 1 || *channel > 512)
        return std::nullopt;
    return (*universe - 1) * 512 + *channel;
}

}  // namespace tessaly
