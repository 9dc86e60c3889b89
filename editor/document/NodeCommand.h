// The node command datagram: 8 bytes to UDP port 36511, to one node or to every node
// through the node-command group 236.1.0.37.
//
//   offset 0  u8   0x0F
//   offset 1  u8   0x00
//   offset 2  u8   0x01
//   offset 3  u8   0x00
//   offset 4  u32  command type, little-endian
#pragma once

#include <array>
#include <cstdint>
#include <optional>

constexpr uint16_t kNodeCommandPort = 36511;
constexpr uint32_t kNodeCommandGroup = 0xEC010025;  // 236.1.0.37, host order

// The command types a node accepts.
enum : uint32_t {
    NODE_COMMAND_1 = 1,
    NODE_COMMAND_SARN_TO_KOLT = 2,     // older-generation nodes move to the current network
    NODE_COMMAND_UPDATE = 0x00110163,  // nodes fetch and start new software
};

// Results, facility 0x82.
enum : uint32_t {
    NODE_COMMAND_S_OK = 0x00820000,
    NODE_COMMAND_E_BAD_TYPE = 0x80820003,
    NODE_COMMAND_E_NO_SOCKET = 0x80820004,
    NODE_COMMAND_E_SEND_FAILED = 0x8082001E,
};

// The datagram of a command type; nothing for a type nodes do not know.
std::optional<std::array<uint8_t, 8>> BuildNodeCommand(uint32_t type);

// Sends the datagram of `type` to `destination` (host order) from a socket on the
// selected card with broadcast allowed and multicast time-to-live 8.
uint32_t SendNodeCommand(uint32_t destination, uint32_t type);
