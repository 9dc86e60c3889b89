// The two status packets the version tool reads and sends. All multi-byte fields are
// little-endian; an IPv4 address travels as its host-order value, so its last octet
// comes first on the wire.
//
// Older generation (group 236.1.0.2, port 36504):
//    0 u8 protocol (8)   1 u8 form (1 long, else short)   2 u8 layout flag (0 or 1)   3 u8
//    4 u16 device type   6 6 bytes MAC   12 u32 IPv4   16 u32 session   20 u32 interval (ms)
//   24 u32 status word 0 -- the short form ends here (28 bytes) --
//   28 4 x u32 status words 1-4   44 u8 V   45 u8 S
//   46 V version records: layout 1: u16 id, u8 major, minor, patch, stage, patchDigit,
//      u16 build (9 bytes); layout 0: u16 id, u8 major, minor, 2 bytes unread (6 bytes)
//      then S service records: layout 1: u8 id, u8, u8, u16 (5 bytes); layout 0: 3 bytes
//      then u8 L and L name bytes
// Node status (group 236.1.0.2, port 6107): the 12-byte application header with
//   protocol 8 and version major 3, then the same fields from offset 12, the version
//   counts at 52 and always the 9-byte and 5-byte records.
//
// Decoding is pure: bytes in, a report or a named error out. A datagram that ends before
// its fields (or, for node status, disagrees with its header's total length) is refused
// as a whole, so a record is never half updated.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "versiontool/DeviceRecord.h"

constexpr uint16_t kLegacyStatusPort = 36504;
constexpr uint16_t kNodeStatusPort = 6107;
constexpr uint32_t kStatusGroup = 0xEC010002;  // 236.1.0.2, host order
constexpr uint8_t kStatusProtocol = 8;
constexpr uint16_t kVersionToolDeviceType = 0x5841;
constexpr uint32_t kRequestStatusInterval = 1500;
constexpr uint8_t kVersionToolAppId = 52;
constexpr size_t kLegacyRequestLength = 28;
constexpr size_t kNodeStatusRequestLength = 36;

enum class StatusError {
    None,
    WrongProtocol,    // byte 0 is not 8
    BadLayoutFlag,    // older generation: byte 2 is neither 0 nor 1
    BadVersionMajor,  // node status: byte 2 is not 3
    EndsEarly,        // the datagram ends before its fields, counts or name
    BadLength,        // node status: the total length claims more than the datagram holds
};
const char* StatusErrorText(StatusError error);

// One status packet, decoded.
struct StatusReport {
    bool longForm = false;
    uint8_t headerByte2 = 0;  // layout flag, or the protocol version major
    uint8_t headerByte3 = 0;
    uint8_t appId = 1;  // node status: the source application id; older generation: 1
    uint16_t deviceType = 0;
    std::array<uint8_t, 6> mac{};
    uint32_t ipAddress = 0;
    uint32_t session = 0;
    uint32_t interval = 0;
    std::array<uint32_t, 5> statusWords{};  // 1 to 4 only in the long form
    std::vector<DeviceVersion> versions;
    std::vector<ServiceRecord> services;
    std::string name;  // as sent; an empty one (or one of NUL bytes only) stores 15 blanks
};

StatusError DecodeLegacyStatus(std::span<const uint8_t> datagram, StatusReport& report);
StatusError DecodeNodeStatus(std::span<const uint8_t> datagram, StatusReport& report);

// Stores a report in a record under the record's change rules; true when the session
// value differed from the stored one (the device application restarted).
bool ApplyStatus(CDeviceRecord& record, const StatusReport& report);

// Decode and apply in one step; a refused datagram leaves the record untouched.
struct ParseResult {
    StatusError error = StatusError::None;
    bool sessionChanged = false;
};
ParseResult ParseLegacyStatus(CDeviceRecord& record, std::span<const uint8_t> datagram);
ParseResult ParseNodeStatus(CDeviceRecord& record, std::span<const uint8_t> datagram);

// The version tool's own short-form status packets that ask devices to report.
std::array<uint8_t, kLegacyRequestLength> BuildLegacyRequest(uint8_t layoutFlag, const uint8_t* mac,
                                                             uint32_t ipAddress, uint32_t session);
std::array<uint8_t, kNodeStatusRequestLength> BuildNodeStatusRequest(const uint8_t* mac,
                                                                     uint32_t ipAddress,
                                                                     uint32_t session);
