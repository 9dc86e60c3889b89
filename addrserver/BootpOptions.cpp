#include "addrserver/BootpOptions.h"

#include <cctype>
#include <charconv>
#include <fstream>

namespace addrserver {
namespace {

// A number as "%u" (base 10) or "%x" (base 16, an "0x" or "0X" prefix allowed) reads
// it: leading blanks skipped, the digits taken, whatever follows not read.
std::optional<uint32_t> ScanNumber(std::string_view& s, int base) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    if (base == 16 && s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X') &&
        std::isxdigit(static_cast<unsigned char>(s[2])))
        s.remove_prefix(2);
    uint32_t value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc())
        return std::nullopt;
    s.remove_prefix(static_cast<size_t>(end - s.data()));
    return value;
}

std::optional<uint32_t> ParseNumber(std::string_view s, int base) {
    return ScanNumber(s, base);
}

}  // namespace

std::optional<uint32_t> ParseDotted(std::string_view text) {
    uint32_t address = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (text.empty() || text.front() != '.')
                return std::nullopt;
            text.remove_prefix(1);
        }
        auto value = ScanNumber(text, 10);
        if (!value || *value > 255)
            return std::nullopt;
        address = (address << 8) | *value;
    }
    return address;  // what follows the fourth number is not read
}

int BootpCfgKey(std::string_view line) {
    static constexpr std::string_view kKeys[] = {"gateway",     "subnetmask",  "acceptbadbin",
                                                 "firstnodeip", "assigncount", "displaylevel"};
    if (line.empty())
        return -1;
    for (int i = 0; i < 6; ++i) {
        if (kKeys[i][0] == line[0] && line.find(kKeys[i]) != std::string_view::npos)
            return i;
    }
    return -1;
}

std::vector<std::string_view> BootpCfgPieces(std::string_view line) {
    if (line.size() <= kMaxBootpCfgPiece)
        return {line};
    std::vector<std::string_view> pieces;
    for (size_t at = 0; at < line.size(); at += kMaxBootpCfgPiece)
        pieces.push_back(line.substr(at, kMaxBootpCfgPiece));
    // A later piece that would be taken for a key line its writer never meant: the
    // line is read whole instead.
    for (size_t i = 1; i < pieces.size(); ++i) {
        if (BootpCfgKey(pieces[i]) >= 0)
            return {line};
    }
    return pieces;
}

void ApplyBootpCfgLine(std::string_view line, BootpOptions& o) {
    const int key = BootpCfgKey(line);
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
            if (auto v = ParseNumber(value, 10))
                o.assignCount = *v;
            break;
        case 5:
            if (auto v = ParseNumber(value, 16))
                o.displayLevel = *v;
            break;
    }
}

bool ReadBootpCfg(const std::string& path, BootpOptions& options) {
    std::ifstream in(path);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        for (std::string_view piece : BootpCfgPieces(line)) ApplyBootpCfgLine(piece, options);
    }
    return true;
}

}  // namespace addrserver
