#include "addrserver/BootpMessage.h"

#include <algorithm>
#include <cstring>
#include "os/ByteOrder.h"

namespace addrserver {
namespace {

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
    out.xid = os::GetBe32(p + 4);
    out.secs = os::GetBe16(p + 8);
    out.flags = os::GetBe16(p + 10);
    out.ciaddr = os::GetBe32(p + kCiaddr);
    out.yiaddr = os::GetBe32(p + kYiaddr);
    out.siaddr = os::GetBe32(p + kSiaddr);
    out.giaddr = os::GetBe32(p + kGiaddr);
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
    os::PutBe32(p + 4, m.xid);
    os::PutBe16(p + 8, m.secs);
    os::PutBe16(p + 10, m.flags);
    os::PutBe32(p + kCiaddr, m.ciaddr);
    os::PutBe32(p + kYiaddr, m.yiaddr);
    os::PutBe32(p + kSiaddr, m.siaddr);
    os::PutBe32(p + kGiaddr, m.giaddr);
    std::memcpy(p + kChaddr, m.chaddr.data(), m.chaddr.size());
    std::memcpy(p + kSname, m.sname.data(), m.sname.size());
    std::memcpy(p + kFile, m.file.data(), m.file.size());
    std::memcpy(p + kVend, m.vend.data(), m.vend.size());
    return b;
}

}  // namespace addrserver
