#include "addrserver/TftpPacket.h"

#include <algorithm>
#include <cstring>

namespace addrserver {
namespace {

constexpr uint16_t kOpRead = 1, kOpData = 3, kOpAck = 4, kOpError = 5;

struct ErrorText {
    uint16_t code;
    const char* text;
};

ErrorText TextOf(TftpError e) {
    switch (e) {
        case TftpError::kFileNotFound:
            return {1, "File not found"};
        case TftpError::kMaxFilesOpen:
            return {3, "Server max files open"};
        case TftpError::kMaxSessionsOpen:
            return {3, "Server max sessions open"};
        case TftpError::kInvalidFrame:
            return {0, "Invalid frame received"};
        case TftpError::kBadImage:
            return {0, "File not Ixo tftp file format"};
        case TftpError::kTooLarge:
            return {0, "file too large for TFTP"};
        case TftpError::kAccessDenied:
            return {2, "Access violation"};
        case TftpError::kUnspecified:
            break;
    }
    return {0, "Unspecified error"};
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

}  // namespace

TftpPacket ParseTftp(std::span<const uint8_t> b) {
    TftpPacket p;
    if (b.size() < 2 || b[0] != 0)
        return p;
    if (b[1] == kOpError) {
        p.kind = TftpPacketKind::kError;
        return p;
    }
    if (b[1] == kOpAck) {
        if (b.size() == 4) {
            p.kind = TftpPacketKind::kAck;
            p.block = static_cast<uint16_t>((b[2] << 8) | b[3]);
        }
        return p;
    }
    if (b[1] != kOpRead)
        return p;
    auto name = b.subspan(2);
    auto nul = std::find(name.begin(), name.end(), uint8_t{0});
    size_t length = static_cast<size_t>(nul - name.begin());
    if (nul == name.end()) {
        p.kind =
            length > kTftpMaxNameLength ? TftpPacketKind::kBad : TftpPacketKind::kUnterminatedName;
        return p;
    }
    if (length > kTftpMaxNameLength)
        return p;
    p.kind = TftpPacketKind::kReadRequest;
    p.fileName.assign(name.begin(), nul);
    return p;
}

std::vector<uint8_t> BuildTftpData(uint16_t block, std::span<const uint8_t> data) {
    std::vector<uint8_t> out;
    out.reserve(4 + data.size());
    Put16(out, kOpData);
    Put16(out, block);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::vector<uint8_t> BuildTftpError(TftpError e) {
    ErrorText t = TextOf(e);
    std::vector<uint8_t> out;
    Put16(out, kOpError);
    Put16(out, t.code);
    out.insert(out.end(), t.text, t.text + std::strlen(t.text));
    out.push_back(0);
    return out;
}

}  // namespace addrserver
