// The address server's options and the bootp.cfg file that sets them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace addrserver {

struct BootpOptions {
    uint32_t gateway = 0;     // host order; overrides the platform's when set
    uint32_t subnetMask = 0;  // host order; overrides the platform's when set
    bool acceptBadBin = false;
    uint32_t firstNodeIp = 0x0A653265;  // 10.101.50.101; only its host part is used
    uint32_t assignCount = 150;
    uint32_t displayLevel = 0;  // DisplayBit mask
};

// "a.b.c.d" with four decimal parts of at most 255, blanks around allowed.
std::optional<uint32_t> ParseDotted(std::string_view text);

// Applies one bootp.cfg line; a value that does not parse leaves the option unchanged.
void ApplyBootpCfgLine(std::string_view line, BootpOptions& options);

// Applies the file at `path`; a missing file changes nothing (false).
bool ReadBootpCfg(const std::string& path, BootpOptions& options);

}  // namespace addrserver
