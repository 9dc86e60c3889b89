#include "adapterpicker/AdapterTexts.h"

#include "os/Text.h"
#include "platform/NetAdapter.h"

#include <array>
#include <cstdio>
#include <optional>

namespace varoda {
namespace {

// The row of the interface's lowest address: the address column and the mask column come
// from one record, so an interface with several addresses never shows a mismatched pair.
std::optional<VavIpAddrRow> LowestAddressRow(uint32_t index) {
    std::optional<std::vector<VavIpAddrRow>> rows = GetIpAddrTable(true);
    if (!rows)
        return std::nullopt;
    for (const VavIpAddrRow& row : *rows)
        if (row.index == index)
            return row;
    return std::nullopt;
}

}  // namespace

std::string AddressToText(uint32_t address) {
    if (address == 0)
        return {};
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (address >> 24) & 0xFF, (address >> 16) & 0xFF,
                  (address >> 8) & 0xFF, address & 0xFF);
    return text;
}

uint32_t TextToAddress(std::string_view text) {
    text = os::TrimBlanks(text);
    uint32_t address = 0;
    size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != '.')
                return 0;
            ++pos;
        }
        unsigned value = 0;
        size_t digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4) {
            value = value * 10 + static_cast<unsigned>(text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255)
            return 0;
        address = (address << 8) | value;
    }
    return pos == text.size() ? address : 0;
}

std::string GetInterfaceDescriptionText(uint32_t index) {
    std::array<char, 255> buffer{};
    if (index == 0 || GetInterfaceDescription(buffer.data(), buffer.size(), index) != 0)
        return {};
    return buffer.data();
}

std::string GetInterfaceIpText(uint32_t index) {
    std::optional<VavIpAddrRow> row = LowestAddressRow(index);
    return row ? AddressToText(row->address) : std::string();
}

std::string GetInterfaceMaskText(uint32_t index) {
    return AddressToText(GetInterfaceSubnetMask(index));
}

uint32_t GetInterfaceSubnetMask(uint32_t index) {
    std::optional<VavIpAddrRow> row = LowestAddressRow(index);
    return row ? row->mask : 0;
}

std::string GetInterfaceMacText(uint32_t index) {
    VavIfRow row;
    if (!GetIfEntry(index, row))
        row = VavIfRow{};
    return InterfaceMacText(row);
}

}  // namespace varoda
