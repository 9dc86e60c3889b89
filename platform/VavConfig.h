// The platform configuration file "ixokolt.cfg": which network card faces the lighting
// network, and the gateway and subnet mask to use on it. Lines of key "=" value:
//   gateway=192.168.1.1        subnetmask=255.255.255.0
//   networkcard=00-1A-2B-3C-4D-5E   (hardware-address text, 17 characters)
//   networkcard=3                    (interface index)
// A line belongs to the key whose first character (case-sensitive) equals the line's
// first character; other lines are ignored. An empty value leaves its key absent.
// Any other line of a key that does not parse fails the whole file: every key then
// reads as absent, and the next query reads the file again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum VavConfigKey { VAV_CONFIG_GATEWAY = 0, VAV_CONFIG_SUBNETMASK = 1, VAV_CONFIG_NETWORKCARD = 2 };

// The "networkcard" value: a hardware-address text, or else an interface index
// (0: no card configured).
struct VavNetworkCard {
    std::string macText;  // exactly 17 characters when set
    uint32_t index = 0;
    bool IsMacText() const { return !macText.empty(); }
    bool operator==(const VavNetworkCard&) const = default;
};

// What a file says; addresses in host order (first number in the top byte).
struct VavConfig {
    std::optional<uint32_t> gateway;
    std::optional<uint32_t> subnetMask;
    std::optional<VavNetworkCard> networkCard;
    bool operator==(const VavConfig&) const = default;
};

enum class ConfigLineError {
    None,
    Ignored,        // no key starts with the line's first character
    MissingEquals,  // a key line without "="
    BadAddress,     // gateway or subnet mask not four dotted numbers 0..255 (also empty)
};

// Parses one line (without its line end) into `into`. Pure.
ConfigLineError ParseConfigLine(std::string_view line, VavConfig& into);

struct ConfigParseResult {
    VavConfig values;  // from every good line, even when a line failed
    int badLine = 0;   // 1-based number of the first bad line; 0 when none
    ConfigLineError error = ConfigLineError::None;
    bool ok() const { return badLine == 0; }
};
// The most characters of a line read as one: a longer line is read in pieces of this
// size, each as a line of its own, unless a later piece would begin like a key line;
// then the line is read whole.
constexpr size_t kMaxConfigPiece = 78;
std::vector<std::string_view> ConfigLinePieces(std::string_view line);

// Parses a whole file's text; lines end in LF or CRLF. Pure.
ConfigParseResult ParseConfigText(std::string_view text);

// Reads the first file that opens: "ixokolt.cfg" in the current folder, the path in
// $VAV_CONFIG_FILE (when set and not empty), "ixokolt.cfg" in the system folder.
// False when none opens; `path` receives the one that was read.
bool OpenConfigFile(std::string& text, std::string* path = nullptr);

// Reads the given file, or the one OpenConfigFile finds, into the process-wide values.
// 0 when every key line parsed (the values are then kept for the process), 1 otherwise.
int ReadConfigFile(const char* path = nullptr);

// Process-wide queries; each reads the file first when it has not been read whole.
// 0 and the value when the key is set; 1 when the key or the file is absent or the
// file failed. GetConfigValue answers -1 for a "networkcard" given as text and leaves
// value alone: use GetConfigNetworkCard for the text.
int GetConfigValue(VavConfigKey key, uint32_t& value);
int GetConfigGateway(uint32_t& gateway);
int GetConfigSubnetMask(uint32_t& mask);
int GetConfigNetworkCard(VavNetworkCard& card);

// Forgets what was read, so the next query reads the file again.
void ResetConfigForTest();
