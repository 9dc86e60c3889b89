// The BOOTP message (RFC 951 layout, 300 bytes, network byte order) and its pure
// parser and builder. Addresses are held in host order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace addrserver {

constexpr size_t kBootpSize = 300;
constexpr uint8_t kBootRequest = 1;
constexpr uint8_t kBootReply = 2;
constexpr uint16_t kVendorAreaSize = 64;

using MacBytes = std::array<uint8_t, 6>;

struct BootpMessage {
    uint8_t op = 0;
    uint8_t htype = 0;
    uint8_t hlen = 0;
    uint8_t hops = 0;
    uint32_t xid = 0;
    uint16_t secs = 0;
    uint16_t flags = 0;
    uint32_t ciaddr = 0;  // client address
    uint32_t yiaddr = 0;  // assigned address
    uint32_t siaddr = 0;  // server address
    uint32_t giaddr = 0;  // gateway (relay agent) address
    std::array<uint8_t, 16> chaddr{};
    std::array<char, 64> sname{};
    std::array<char, 128> file{};
    std::array<uint8_t, kVendorAreaSize> vend{};

    bool IsEthernetRequest() const { return op == kBootRequest && htype == 1 && hlen == 6; }
    MacBytes Mac() const;
    // The boot-file field up to its NUL (or all 128 bytes when it has none).
    std::string FileName() const;
};

enum class BootpParseError { kNone, kTooShort };

// Reads the fixed layout; a datagram shorter than 300 bytes is refused. Longer
// datagrams (DHCP-sized vendor areas) are read up to the BOOTP layout.
BootpParseError ParseBootp(std::span<const uint8_t> bytes, BootpMessage& out);

// Writes the 300-byte form.
std::array<uint8_t, kBootpSize> BuildBootp(const BootpMessage& message);

// Copies text into a fixed field, zero-padded, cut to the field's size.
template <size_t N>
void SetField(std::array<char, N>& field, std::string_view text) {
    field.fill(0);
    for (size_t i = 0; i < N && i < text.size(); ++i) field[i] = text[i];
}

}  // namespace addrserver
