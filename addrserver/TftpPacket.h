// TFTP packets (RFC 1350) as the image server reads and writes them: read requests
// and acknowledgements in, data and error packets out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace addrserver {

constexpr size_t kTftpBlockSize = 512;
constexpr size_t kTftpMaxNameLength = 128;

enum class TftpPacketKind {
    kReadRequest,
    kAck,
    kUnterminatedName,  // a read request whose name has no NUL inside the packet
    kError,             // an error packet: never answered, or two servers answer each other forever
    kBad,               // anything else
};

struct TftpPacket {
    TftpPacketKind kind = TftpPacketKind::kBad;
    std::string fileName;  // read request: the name as sent
    uint16_t block = 0;    // acknowledgement: the block number
};

TftpPacket ParseTftp(std::span<const uint8_t> bytes);

enum class TftpError {
    kFileNotFound,
    kMaxFilesOpen,
    kMaxSessionsOpen,
    kInvalidFrame,
    kBadImage,
    kTooLarge,      // more blocks than a 16-bit block number counts
    kAccessDenied,  // the address server's own tables
    kUnspecified,
};

std::vector<uint8_t> BuildTftpData(uint16_t block, std::span<const uint8_t> data);
// opcode 5, the error's code and text, a zero byte.
std::vector<uint8_t> BuildTftpError(TftpError error);

}  // namespace addrserver
