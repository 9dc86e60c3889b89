#include "adapterpicker/AdapterConfig.h"

#include "os/Text.h"

#include <cctype>
#include <climits>

namespace varoda {
namespace {

bool StartsWithNoCase(std::string_view line, std::string_view key) {
    return line.size() >= key.size() && os::EqualsNoCase(line.substr(0, key.size()), key);
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// The leading decimal number of a text (blanks and a sign first), as atoi reads it, held
// within the 32-bit range; 0 when there is none.
long long LeadingNumber(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    long long value = 0;
    for (; pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])); ++pos)
        if (value <= INT_MAX)
            value = value * 10 + (text[pos] - '0');
    return negative ? -value : value;
}

}  // namespace

std::vector<std::string> SplitConfigLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\n' && c != '\r') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        lines.push_back(std::move(line));
        line.clear();
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

int32_t ResolveNetworkCard(std::string_view value, int32_t current,
                           std::span<const AdapterIdentity> adapters) {
    if (value.empty())
        return current;
    if (value.size() == 17) {
        for (const AdapterIdentity& adapter : adapters)
            if (os::EqualsNoCase(adapter.macText, value))
                return static_cast<int32_t>(adapter.index);
        return current;
    }
    const long long index = LeadingNumber(value);
    for (const AdapterIdentity& adapter : adapters)
        if (index > 0 && adapter.index == index)
            return static_cast<int32_t>(index);
    return kNoSelection;
}

void AdapterConfig::AddDefaultLines() {
    gatewayLine_.line = static_cast<int>(lines_.size());
    lines_.push_back(std::string(kGatewayKey) + std::string(kDefaultGateway));
    gateway_ = kDefaultGateway;
    subnetMaskLine_.line = static_cast<int>(lines_.size());
    lines_.push_back(std::string(kSubnetMaskKey) + std::string(kDefaultSubnetMask));
    subnetMask_ = kDefaultSubnetMask;
    networkCardLine_.line = static_cast<int>(lines_.size());
    lines_.push_back(std::string(kNetworkCardKey));
}

void AdapterConfig::Clear() {
    *this = AdapterConfig();
}

void AdapterConfig::Load(std::string_view text, std::span<const AdapterIdentity> adapters) {
    for (std::string& line : SplitConfigLines(text)) {
        lines_.push_back(std::move(line));
        ParseLastLine(adapters);
    }
}

void AdapterConfig::ParseLastLine(std::span<const AdapterIdentity> adapters) {
    const std::string& line = lines_.back();
    for (Key* key : {&gatewayLine_, &subnetMaskLine_, &networkCardLine_}) {
        if (!StartsWithNoCase(line, key->name))
            continue;
        if (key->line != -1) {
            lines_.pop_back();
            return;
        }
        key->line = static_cast<int>(lines_.size() - 1);
        const std::string_view value = std::string_view(line).substr(key->name.size());
        if (key == &gatewayLine_)
            gateway_ = value;
        else if (key == &subnetMaskLine_)
            subnetMask_ = value;
        else
            selection_ = ResolveNetworkCard(UpperAscii(value), selection_, adapters);
        return;
    }
}

std::string AdapterConfig::Save(const MacTextOf& macTextOf) {
    if (gatewayLine_.line < 0 && gateway_.empty())
        gateway_ = kDefaultGateway;
    WriteKeyLine(KeyLine(gatewayLine_), kGatewayKey, gateway_);
    if (subnetMaskLine_.line < 0 && subnetMask_.empty())
        subnetMask_ = kDefaultSubnetMask;
    WriteKeyLine(KeyLine(subnetMaskLine_), kSubnetMaskKey, subnetMask_);
    const std::string card =
        selection_ > 0 ? macTextOf(static_cast<uint32_t>(selection_)) : std::string();
    WriteKeyLine(KeyLine(networkCardLine_), kNetworkCardKey, card);

    std::string text;
    for (const std::string& line : lines_)
        if (!line.empty())
            text += line + "\r\n";
    return text;
}

std::string& AdapterConfig::KeyLine(Key& key) {
    if (key.line < 0) {
        key.line = static_cast<int>(lines_.size());
        lines_.emplace_back();
    }
    return lines_[static_cast<size_t>(key.line)];
}

void AdapterConfig::WriteKeyLine(std::string& line, std::string_view key, std::string_view value) {
    line = value.empty() ? std::string() : std::string(key) + std::string(value);
}

bool AdapterConfig::SetGateway(std::string_view text) {
    if (gateway_ == text)
        return false;
    gateway_ = text;
    return true;
}

bool AdapterConfig::SetSubnetMask(std::string_view text) {
    if (subnetMask_ == text)
        return false;
    subnetMask_ = text;
    return true;
}

bool AdapterConfig::SetSelection(int32_t interfaceIndex) {
    if (selection_ == interfaceIndex)
        return false;
    selection_ = interfaceIndex;
    return true;
}

}  // namespace varoda
