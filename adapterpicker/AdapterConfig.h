// The lines of one platform configuration file (ixokolt.cfg) as Varoda edits them: the
// file's own lines in order, and the three keys "gateway", "subnetmask" and "networkcard"
// found among them. Pure: no file, no system table; the caller passes the adapters.
//
// Reading: a line ends at LF, at CR LF or at a lone CR. A line that begins with a key and
// "=" (the key in any case) is that key's line; the first one counts and later ones are
// dropped. Every other line (comments, unknown keys, a key after a blank) is kept as is.
//
// Writing: each key line is rewritten in place with its key in lower case; a key missing
// from the file is added at the end (gateway, subnet mask, network card). A key whose value
// is empty is left out, since the programs that read the file refuse such a line. Blank
// lines are dropped; every line ends with CR LF.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varoda {

inline constexpr std::string_view kGatewayKey = "gateway=";
inline constexpr std::string_view kSubnetMaskKey = "subnetmask=";
inline constexpr std::string_view kNetworkCardKey = "networkcard=";
inline constexpr std::string_view kDefaultGateway = "0.0.0.1";
inline constexpr std::string_view kDefaultSubnetMask = "255.255.255.0";

// The selection values besides an interface index.
inline constexpr int32_t kNoSelection = 0;
inline constexpr int32_t kTickRemoved = -1;

// One listed adapter as the "networkcard" value can name it.
struct AdapterIdentity {
    uint32_t index = 0;
    std::string macText;  // "%02X-%02X-%02X-%02X-%02X-%02X"
};

// The file's text cut into lines (line ends not kept).
std::vector<std::string> SplitConfigLines(std::string_view text);

// The selection a "networkcard" value (already in upper case) gives. Empty: `current`.
// 17 characters: the first adapter, in list order, whose hardware-address text equals it
// without regard to case, else `current`. Anything else: its leading decimal number (blanks
// and a sign allowed) when an adapter has that interface index, else kNoSelection.
int32_t ResolveNetworkCard(std::string_view value, int32_t current,
                           std::span<const AdapterIdentity> adapters);

class AdapterConfig {
public:
    using MacTextOf = std::function<std::string(uint32_t interfaceIndex)>;

    // The three key lines of a new file: the default gateway and mask, no card.
    void AddDefaultLines();
    void Clear();
    // Appends the lines of a file's text, finding the key lines and resolving the card.
    void Load(std::string_view text, std::span<const AdapterIdentity> adapters);
    // Brings the key lines up to date and gives the file's text. A file read without a
    // gateway (mask) line gets one, with the value set since, or else the default.
    std::string Save(const MacTextOf& macTextOf);

    const std::string& Gateway() const { return gateway_; }
    const std::string& SubnetMask() const { return subnetMask_; }
    int32_t Selection() const { return selection_; }
    // Each answers whether the value changed.
    bool SetGateway(std::string_view text);
    bool SetSubnetMask(std::string_view text);
    bool SetSelection(int32_t interfaceIndex);

    const std::vector<std::string>& Lines() const { return lines_; }

private:
    struct Key {
        std::string_view name;
        int line = -1;
    };
    // Takes the last line as a key line, or drops it when its key was seen before.
    void ParseLastLine(std::span<const AdapterIdentity> adapters);
    // The key's line, appended when the file had none.
    std::string& KeyLine(Key& key);
    static void WriteKeyLine(std::string& line, std::string_view key, std::string_view value);

    std::vector<std::string> lines_;
    Key gatewayLine_{kGatewayKey};
    Key subnetMaskLine_{kSubnetMaskKey};
    Key networkCardLine_{kNetworkCardKey};
    std::string gateway_;
    std::string subnetMask_;
    int32_t selection_ = kNoSelection;
};

}  // namespace varoda
