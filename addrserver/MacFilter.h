// The MAC filter: which hardware addresses the BOOTP server serves, and the
// bootpmac.cfg file that extends it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "addrserver/BootpMessage.h"

namespace addrserver {

using Oui = std::array<uint8_t, 3>;

// The two OUIs under which the nodes' network interfaces are numbered. Locally
// administered values: a site that buys nodes under other OUIs lists them in bootpmac.cfg.
constexpr Oui NodeVendorOui1 = {0x02, 0x49, 0x58};
constexpr Oui NodeVendorOui2 = {0x02, 0x4B, 0x4C};

// The hardware address of the start-up probe: NodeVendorOui1 followed by 00:00:10.
constexpr MacBytes kProbeMac = {
    NodeVendorOui1[0], NodeVendorOui1[1], NodeVendorOui1[2], 0x00, 0x00, 0x10};

struct MacRange {
    Oui oui{};
    uint32_t first = 0;  // device part, 24 bits
    uint32_t last = 0;
};

class MacFilter {
public:
    static constexpr size_t kCapacity = 64;

    MacFilter() { Reset(); }
    // Back to the two built-in entries, each with the whole device range.
    void Reset();
    // False when the table is full.
    bool Add(const MacRange& range);
    bool Admits(const MacBytes& mac) const;
    const std::vector<MacRange>& Entries() const { return entries_; }

    // One bootpmac.cfg line; lines that are neither form are passed over.
    void AddConfigLine(std::string_view line);

private:
    std::vector<MacRange> entries_;
};

// The exact text written when bootpmac.cfg is missing.
std::string DefaultBootpMacCfg();

// Resets the filter and applies the file at `path`; creates the default file when
// there is none. False only when a missing file could not be created.
bool LoadBootpMacCfg(const std::string& path, MacFilter& filter);

}  // namespace addrserver
