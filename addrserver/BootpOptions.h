// The address server's options and the bootp.cfg file that sets them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace addrserver {

struct BootpOptions {
    uint32_t gateway = 0;     // host order; overrides the platform's when set
    uint32_t subnetMask = 0;  // host order; overrides the platform's when set
    bool acceptBadBin = false;
    uint32_t firstNodeIp = 0x0A653265;  // 10.101.50.101; only its host part is used
    uint32_t assignCount = 150;
    uint32_t displayLevel = 0;  // DisplayBit mask
};

// "a.b.c.d" with four decimal parts of at most 255, read as "%u.%u.%u.%u" reads them:
// blanks before each number skipped, what follows the fourth number not read.
std::optional<uint32_t> ParseDotted(std::string_view text);

// The index of the key a line belongs to in "gateway", "subnetmask", "acceptbadbin",
// "firstnodeip", "assigncount", "displaylevel": the first whose first character is the
// line's and whose name occurs in it; -1 for none.
int BootpCfgKey(std::string_view line);

// The most characters read as one line: a longer line is read in pieces of this size,
// each as a line of its own, unless a later piece would itself be a key line; then the
// line is read whole.
constexpr size_t kMaxBootpCfgPiece = 79;
std::vector<std::string_view> BootpCfgPieces(std::string_view line);

// Applies one bootp.cfg line; a value that does not parse leaves the option unchanged.
// Numbers read as "%u" and "%x" read them ("0x" allowed, trailing text not read).
void ApplyBootpCfgLine(std::string_view line, BootpOptions& options);

// Applies the file at `path`; a missing file changes nothing (false).
bool ReadBootpCfg(const std::string& path, BootpOptions& options);

}  // namespace addrserver
