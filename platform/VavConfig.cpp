#include "platform/VavConfig.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <vector>

#include "os/Paths.h"

namespace {

constexpr const char* kFileName = "ixokolt.cfg";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Four decimal numbers 0..255 joined by points, as "%u.%u.%u.%u" reads them: what
// follows the fourth number is not read. Host order.
std::optional<uint32_t> ParseDottedQuad(std::string_view s) {
    uint32_t result = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (s.empty() || s.front() != '.')
                return std::nullopt;
            s.remove_prefix(1);
        }
        size_t digits = 0;
        uint32_t value = 0;
        while (digits < s.size() && s[digits] >= '0' && s[digits] <= '9' && digits < 3)
            value = value * 10 + static_cast<uint32_t>(s[digits++] - '0');
        if (digits == 0 || value > 255)
            return std::nullopt;
        s.remove_prefix(digits);
        result = (result << 8) | value;
    }
    return result;
}

// The first word of the value: 17 characters are a hardware-address text; any other
// word is read like atoi, as an unsigned interface index (no leading digits: 0).
VavNetworkCard ParseCard(std::string_view word) {
    VavNetworkCard card;
    if (word.size() == 17) {
        card.macText = std::string(word);
        return card;
    }
    uint64_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > UINT32_MAX)
            return card;  // no such interface: none configured
    }
    card.index = static_cast<uint32_t>(value);
    return card;
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return true;
}

}  // namespace

ConfigLineError ParseConfigLine(std::string_view line, VavConfig& into) {
    if (line.empty())
        return ConfigLineError::Ignored;
    const char first = line.front();
    if (first != 'g' && first != 's' && first != 'n')
        return ConfigLineError::Ignored;
    size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return ConfigLineError::MissingEquals;
    std::string_view value = TrimRight(TrimLeft(line.substr(equals + 1)));

    if (first == 'n') {
        if (value.empty()) {
            into.networkCard.reset();
        } else {
            size_t end = 0;
            while (end < value.size() && !IsBlank(value[end])) ++end;
            into.networkCard = ParseCard(value.substr(0, end));
        }
        return ConfigLineError::None;
    }
    std::optional<uint32_t>& slot = first == 'g' ? into.gateway : into.subnetMask;
    // An empty value has no four numbers: a bad line like any other.
    std::optional<uint32_t> address = ParseDottedQuad(value);
    if (!address)
        return ConfigLineError::BadAddress;
    slot = address;
    return ConfigLineError::None;
}

std::vector<std::string_view> ConfigLinePieces(std::string_view line) {
    if (line.size() <= kMaxConfigPiece)
        return {line};
    std::vector<std::string_view> pieces;
    for (size_t at = 0; at < line.size(); at += kMaxConfigPiece)
        pieces.push_back(line.substr(at, kMaxConfigPiece));
    // A piece that begins with a key's first character would be taken for a key line
    // its writer never meant: such a line is read whole instead.
    for (size_t i = 1; i < pieces.size(); ++i) {
        const char c = pieces[i].front();
        if (c == 'g' || c == 's' || c == 'n')
            return {line};
    }
    return pieces;
}

ConfigParseResult ParseConfigText(std::string_view text) {
    ConfigParseResult result;
    int number = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        for (std::string_view piece : ConfigLinePieces(line)) {
            ConfigLineError error = ParseConfigLine(piece, result.values);
            if (error != ConfigLineError::None && error != ConfigLineError::Ignored &&
                result.ok()) {
                result.badLine = number;
                result.error = error;
            }
        }
    }
    return result;
}

bool OpenConfigFile(std::string& text, std::string* path) {
    std::string candidates[3];
    std::error_code ec;
    std::filesystem::path cwd = std::filesystem::current_path(ec);
    if (!ec)
        candidates[0] = os::FindAnyCase(cwd, kFileName).string();
    const char* env = std::getenv("VAV_CONFIG_FILE");
    if (env != nullptr)
        candidates[1] = env;
    std::filesystem::path systemDir = os::SystemDir();
    if (!systemDir.empty())
        candidates[2] = os::FindAnyCase(systemDir, kFileName).string();
    for (const std::string& candidate : candidates) {
        if (candidate.empty() || std::filesystem::is_directory(candidate, ec))
            continue;
        if (ReadWholeFile(candidate, text)) {
            if (path != nullptr)
                *path = candidate;
            return true;
        }
    }
    return false;
}

namespace {

std::mutex g_configLock;
VavConfig g_values;
bool g_loaded = false;

int ReadLocked(const char* path) {
    std::string text;
    bool opened = path != nullptr ? ReadWholeFile(path, text) : OpenConfigFile(text);
    if (!opened)
        return 1;
    ConfigParseResult parsed = ParseConfigText(text);
    g_values = parsed.values;
    g_loaded = parsed.ok();
    return g_loaded ? 0 : 1;
}

// Runs `answer` on the values once the file is read whole; 1 otherwise.
template <typename Fn>
int WithValues(Fn answer) {
    std::lock_guard guard(g_configLock);
    if (!g_loaded && ReadLocked(nullptr) != 0)
        return 1;
    return answer(g_values);
}

int AnswerAddress(const std::optional<uint32_t>& slot, uint32_t& out) {
    if (!slot)
        return 1;
    out = *slot;
    return 0;
}

}  // namespace

int ReadConfigFile(const char* path) {
    std::lock_guard guard(g_configLock);
    return ReadLocked(path);
}

int GetConfigGateway(uint32_t& gateway) {
    return WithValues([&](const VavConfig& v) { return AnswerAddress(v.gateway, gateway); });
}

int GetConfigSubnetMask(uint32_t& mask) {
    return WithValues([&](const VavConfig& v) { return AnswerAddress(v.subnetMask, mask); });
}

int GetConfigNetworkCard(VavNetworkCard& card) {
    return WithValues([&](const VavConfig& v) {
        if (!v.networkCard)
            return 1;
        card = *v.networkCard;
        return 0;
    });
}

int GetConfigValue(VavConfigKey key, uint32_t& value) {
    switch (key) {
        case VAV_CONFIG_GATEWAY:
            return GetConfigGateway(value);
        case VAV_CONFIG_SUBNETMASK:
            return GetConfigSubnetMask(value);
        case VAV_CONFIG_NETWORKCARD: {
            VavNetworkCard card;
            int result = GetConfigNetworkCard(card);
            if (result != 0)
                return result;
            if (card.IsMacText())
                return -1;
            value = card.index;
            return 0;
        }
    }
    return 1;
}

void ResetConfigForTest() {
    std::lock_guard guard(g_configLock);
    g_values = VavConfig{};
    g_loaded = false;
}
