#include "addrserver/BootpMessage.h"

#include <algorithm>
#include <cstring>

namespace addrserver {
namespace {

uint32_t Get32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}
void Put32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}
void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

// Field offsets of the RFC 951 layout.
constexpr size_t kCiaddr = 12, kYiaddr = 16, kSiaddr = 20, kGiaddr = 24, kChaddr = 28, kSname = 44,
                 kFile = 108, kVend = 236;

}  // namespace

MacBytes BootpMessage::Mac() const {
    MacBytes mac;
    std::copy_n(chaddr.begin(), 6, mac.begin());
    return mac;
}

std::string BootpMessage::FileName() const {
    auto end = std::find(file.begin(), file.end(), '\0');
    return std::string(file.begin(), end);
}

BootpParseError ParseBootp(std::span<const uint8_t> bytes, BootpMessage& out) {
    if (bytes.size() < kBootpSize)
        return BootpParseError::kTooShort;
    const uint8_t* p = bytes.data();
    out.op = p[0];
    out.htype = p[1];
    out.hlen = p[2];
    out.hops = p[3];
    out.xid = Get32(p + 4);
    out.secs = Get16(p + 8);
    out.flags = Get16(p + 10);
    out.ciaddr = Get32(p + kCiaddr);
    out.yiaddr = Get32(p + kYiaddr);
    out.siaddr = Get32(p + kSiaddr);
    out.giaddr = Get32(p + kGiaddr);
    std::memcpy(out.chaddr.data(), p + kChaddr, out.chaddr.size());
    std::memcpy(out.sname.data(), p + kSname, out.sname.size());
    std::memcpy(out.file.data(), p + kFile, out.file.size());
    std::memcpy(out.vend.data(), p + kVend, out.vend.size());
    return BootpParseError::kNone;
}

std::array<uint8_t, kBootpSize> BuildBootp(const BootpMessage& m) {
    std::array<uint8_t, kBootpSize> b{};
    uint8_t* p = b.data();
    p[0] = m.op;
    p[1] = m.htype;
    p[2] = m.hlen;
    p[3] = m.hops;
    Put32(p + 4, m.xid);
    Put16(p + 8, m.secs);
    Put16(p + 10, m.flags);
    Put32(p + kCiaddr, m.ciaddr);
    Put32(p + kYiaddr, m.yiaddr);
    Put32(p + kSiaddr, m.siaddr);
    Put32(p + kGiaddr, m.giaddr);
    std::memcpy(p + kChaddr, m.chaddr.data(), m.chaddr.size());
    std::memcpy(p + kSname, m.sname.data(), m.sname.size());
    std::memcpy(p + kFile, m.file.data(), m.file.size());
    std::memcpy(p + kVend, m.vend.data(), m.vend.size());
    return b;
}

}  // namespace addrserver
