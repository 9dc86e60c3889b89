#include "services/NtpPacket.h"

#include <algorithm>
#include <cmath>
#include "os/ByteOrder.h"

namespace {

constexpr double kTwo32 = 4294967296.0;

}  // namespace

NtpTimestampBytes NtpEncodeTimestamp(double seconds) {
    NtpTimestampBytes out{};
    if (!(seconds > 0))
        return out;
    const double whole = std::floor(seconds);
    const double era = std::floor(whole / kTwo32);
    const auto s = static_cast<uint32_t>(whole - era * kTwo32);
    const double f = std::floor((seconds - whole) * kTwo32);
    os::PutBe32(out.data(), s);
    os::PutBe32(out.data() + 4, f >= kTwo32 - 1 ? 0xFFFFFFFFu : static_cast<uint32_t>(f));
    return out;
}

double NtpDecodeTimestamp(std::span<const uint8_t, 8> bytes, double pivot) {
    const uint32_t s = os::GetBe32(bytes.data());
    const uint32_t f = os::GetBe32(bytes.data() + 4);
    if (s == 0 && f == 0)
        return 0;
    const double value = s + f / kTwo32;
    const double era = std::round((pivot - value) / kTwo32);
    return value + std::max(era, 0.0) * kTwo32;
}

std::array<uint8_t, NTP_PACKET_LENGTH> NtpEncode(const NtpPacketFields& p, bool originateFromRaw) {
    std::array<uint8_t, NTP_PACKET_LENGTH> out{};
    out[0] = static_cast<uint8_t>((p.leap & 3) << 6 | (p.version & 7) << 3 | (p.mode & 7));
    out[1] = p.stratum;
    out[2] = p.poll;
    out[3] = p.precision;
    os::PutBe32(&out[12], p.refId);
    auto put = [&](size_t at, const NtpTimestampBytes& b) {
        for (size_t i = 0; i < 8; ++i) out[at + i] = b[i];
    };
    put(16, NtpEncodeTimestamp(p.referenceTime));
    put(24, originateFromRaw ? p.originateRaw : NtpEncodeTimestamp(p.originateTime));
    put(32, NtpEncodeTimestamp(p.receiveTime));
    put(40, NtpEncodeTimestamp(p.transmitTime));
    return out;
}

NtpPacketError NtpDecode(std::span<const uint8_t> d, double now, NtpPacketFields& fields) {
    if (d.size() < NTP_PACKET_LENGTH)
        return NtpPacketError::TooShort;
    if (d.size() > NTP_MAX_DATAGRAM)
        return NtpPacketError::TooLong;
    NtpPacketFields p;
    p.arrivalTime = now;
    p.leap = d[0] >> 6;
    p.version = (d[0] >> 3) & 7;
    p.mode = d[0] & 7;
    p.stratum = d[1];
    p.poll = d[2];
    p.precision = d[3];
    p.rootDispersion = os::GetBe32(&d[8]) / 65536.0;
    p.refId = os::GetBe32(&d[12]);
    auto stamp = [&](size_t at) { return NtpDecodeTimestamp(d.subspan(at).first<8>(), now); };
    p.referenceTime = stamp(16);
    p.originateTime = stamp(24);
    p.receiveTime = stamp(32);
    p.transmitTime = stamp(40);
    for (size_t i = 0; i < 8; ++i) {
        p.originateRaw[i] = d[24 + i];
        p.transmitRaw[i] = d[40 + i];
    }
    fields = p;
    return NtpPacketError::None;
}
