#include "addrserver/MacFilter.h"

#include <fstream>
#include <sstream>

namespace addrserver {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "hh:hh:hh" at the start of text; false when it is not three hex pairs joined by colons.
bool ReadTriple(std::string_view text, std::array<uint8_t, 3>& out) {
    if (text.size() < 8 || text[2] != ':' || text[5] != ':')
        return false;
    for (int i = 0; i < 3; ++i) {
        int hi = HexDigit(text[i * 3]);
        int lo = HexDigit(text[i * 3 + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out[i] = static_cast<uint8_t>(hi * 16 + lo);
    }
    return true;
}

uint32_t DevicePart(const std::array<uint8_t, 3>& t) {
    return (uint32_t{t[0]} << 16) | (uint32_t{t[1]} << 8) | t[2];
}

// Comment cut, ends trimmed, inner runs of blanks and tabs made one blank.
std::string Normalise(std::string_view line) {
    if (auto hash = line.find('#'); hash != std::string_view::npos)
        line = line.substr(0, hash);
    std::string out;
    bool pendingBlank = false;
    for (char c : line) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            pendingBlank = !out.empty();
            continue;
        }
        if (pendingBlank)
            out += ' ';
        pendingBlank = false;
        out += c;
    }
    return out;
}

}  // namespace

void MacFilter::Reset() {
    entries_.clear();
    entries_.push_back({NodeVendorOui1, 0, 0xFFFFFF});
    entries_.push_back({NodeVendorOui2, 0, 0xFFFFFF});
}

bool MacFilter::Add(const MacRange& range) {
    if (entries_.size() >= kCapacity)
        return false;
    entries_.push_back(range);
    return true;
}

bool MacFilter::Admits(const MacBytes& mac) const {
    uint32_t device = (uint32_t{mac[3]} << 16) | (uint32_t{mac[4]} << 8) | mac[5];
    for (const auto& e : entries_) {
        if (e.oui[0] == mac[0] && e.oui[1] == mac[1] && e.oui[2] == mac[2] && device >= e.first &&
            device <= e.last)
            return true;
    }
    return false;
}

void MacFilter::AddConfigLine(std::string_view raw) {
    std::string line = Normalise(raw);
    MacRange range;
    if (line.size() == 8) {
        if (ReadTriple(line, range.oui))
            Add({range.oui, 0, 0xFFFFFF});
        return;
    }
    if (line.size() != 26 || line[8] != ' ' || line[17] != ' ')
        return;
    std::array<uint8_t, 3> first{}, last{};
    if (!ReadTriple(line, range.oui) || !ReadTriple(std::string_view(line).substr(9), first) ||
        !ReadTriple(std::string_view(line).substr(18), last))
        return;
    range.first = DevicePart(first);
    range.last = DevicePart(last);
    Add(range);
}

std::string DefaultBootpMacCfg() {
    return "# Bootp configuration file for MAC address Filtering\n"
           "\n"
           "#\n"
           "\n"
           "# This file contains the information about the MAC address\n"
           "# ranges that will be served by the Bootp Server\n"
           "# Each line in the file that does not start with the # character\n"
           "# should contain the OUI part of the MAC address and the start \n"
           "# and the end of the address range.\n"
           "# If no address range is supplied, all the addresses that match\n"
           "# OUI will be served.\n"
           "# Examples :\n"
           "#     Following line contains only the OUI\n"
           "#          00:C0:00\n"
           "#     Following line contains the OUI and the address range.\n"
           "#          00:D0:11 00:0A:00 00:E0:00\n";
}

bool LoadBootpMacCfg(const std::string& path, MacFilter& filter) {
    filter.Reset();
    std::ifstream in(path);
    if (!in) {
        std::ofstream out(path);
        out << DefaultBootpMacCfg();
        out.close();
        return static_cast<bool>(out);
    }
    std::string line;
    while (std::getline(in, line)) filter.AddConfigLine(line);
    return true;
}

}  // namespace addrserver
