// The node-status packet: the 12-byte application header (protocol id 8) and a
// 36-byte status block; the long form adds data words, version records and the name.
// All multi-byte fields little-endian; the IPv4 address travels as its host-order
// value, so its last octet comes first on the wire.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "nodestatus/CNS2Node.h"

enum class NS2Form : uint8_t {
    Regular = 0,   // 36 bytes, the periodic report
    Long = 1,      // with versions and name
    Announce = 2,  // 36 bytes, once after connecting; a new session to receivers
};

constexpr size_t NS2_SHORT_LENGTH = 36;
constexpr size_t NS2_LONG_FIXED_LENGTH = 54;  // up to the two version counts
constexpr size_t NS2_MAX_PACKET = 1500;
constexpr uint8_t NS2_PROTOCOL_ID = 8;

// Why received bytes are not a node-status packet we take.
enum class NS2PacketError {
    None,
    NotNodeStatus,  // header byte 0 is not 8
    BadMajor,       // header byte 2 is not 3
    BadLength,      // shorter than the status block, or the length field claims more than came
    CountsPastEnd,  // version counts or the name length run past the packet
};

// Writes the packet for `node` in `form` with the protocol version's major and minor,
// length field included; returns the length. Long forms hold as many version records
// as fit in 1500 bytes.
size_t NS2BuildPacket(const CNS2Node& node, NS2Form form, uint8_t versionMajor,
                      uint8_t versionMinor, std::span<uint8_t, NS2_MAX_PACKET> out);

// Whether the datagram is a node-status packet we take. A datagram longer than its
// length field (padding) is taken, and so is a short form longer than 36 bytes; a form
// other than 0, 1 and 2 is read as the short form. Fields are read within the datagram.
NS2PacketError NS2CheckPacket(std::span<const uint8_t> packet);

// Checks the whole datagram, then stores it into `node`: header bytes 2 to 4, the
// status block and, for the long form, data words, version records (inserted or
// updated by id) and the name (cut to 64 bytes). A refused packet leaves the node
// untouched. `newSession` is set for an announce, or when the session id changed.
NS2PacketError NS2ParsePacket(CNS2Node& node, std::span<const uint8_t> packet, bool& newSession);

const char* NS2PacketErrorText(NS2PacketError error);
