#include "addrserver/BootpOptions.h"

#include <charconv>
#include <fstream>

namespace addrserver {
namespace {

constexpr size_t kMaxLine = 79;

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

template <typename T>
std::optional<T> ParseNumber(std::string_view s, int base) {
    s = TrimBlanks(s);
    T value{};
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty())
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<uint32_t> ParseDotted(std::string_view text) {
    text = TrimBlanks(text);
    uint32_t address = 0;
    for (int part = 0; part < 4; ++part) {
        size_t dot = part < 3 ? text.find('.') : text.size();
        if (dot == std::string_view::npos)
            return std::nullopt;
        auto value = ParseNumber<uint32_t>(text.substr(0, dot), 10);
        if (!value || *value > 255)
            return std::nullopt;
        address = (address << 8) | *value;
        text = part < 3 ? text.substr(dot + 1) : std::string_view{};
    }
    return address;
}

void ApplyBootpCfgLine(std::string_view line, BootpOptions& o) {
    if (line.empty() || line.size() > kMaxLine)
        return;
    static constexpr std::string_view kKeys[] = {"gateway",     "subnetmask",  "acceptbadbin",
                                                 "firstnodeip", "assigncount", "displaylevel"};
    int key = -1;
    for (int i = 0; i < 6 && key < 0; ++i) {
        if (kKeys[i][0] == line[0] && line.find(kKeys[i]) != std::string_view::npos)
            key = i;
    }
    if (key < 0)
        return;
    if (key == 2) {
        o.acceptBadBin = line.find("yes") != std::string_view::npos;
        return;
    }
    size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return;
    std::string_view value = line.substr(eq + 1);
    switch (key) {
        case 0:
            if (auto v = ParseDotted(value))
                o.gateway = *v;
            break;
        case 1:
            if (auto v = ParseDotted(value))
                o.subnetMask = *v;
            break;
        case 3:
            if (auto v = ParseDotted(value))
                o.firstNodeIp = *v;
            break;
        case 4:
            if (auto v = ParseNumber<uint32_t>(value, 10))
                o.assignCount = *v;
            break;
        case 5:
            if (auto v = ParseNumber<uint32_t>(value, 16))
                o.displayLevel = *v;
            break;
    }
}

bool ReadBootpCfg(const std::string& path, BootpOptions& options) {
    std::ifstream in(path);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) ApplyBootpCfgLine(line, options);
    return true;
}

}  // namespace addrserver
