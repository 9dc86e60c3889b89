// NTP: the datagram decoder, with the receiver's clock anywhere from 1900 to the far
// side of the 2036 era roll-over. What was decoded writes back into the same header
// fields and echoes the transmit timestamp bit for bit.
#include <cmath>
#include <cstring>

#include "fuzz/FuzzCheck.h"
#include "services/NtpPacket.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    // The receiver's time: whole seconds over two eras, and a fraction.
    uint64_t raw = 0;
    for (uint8_t b : input.Take(5)) raw = raw << 8 | b;
    const double now = static_cast<double>(raw % (uint64_t{2} << 32)) + input.Byte() / 256.0;

    const std::span<const uint8_t> datagram = input.Rest();
    NtpPacketFields fields;
    fields.version = 0xEE;
    const NtpPacketError error = NtpDecode(datagram, now, fields);
    if (error != NtpPacketError::None) {
        FUZZ_CHECK(datagram.size() < NTP_PACKET_LENGTH || datagram.size() > NTP_MAX_DATAGRAM);
        FUZZ_CHECK(fields.version == 0xEE);
        return 0;
    }
    FUZZ_CHECK(fields.arrivalTime == now);
    for (double t : {fields.referenceTime, fields.originateTime, fields.receiveTime,
                     fields.transmitTime, fields.rootDispersion}) {
        FUZZ_CHECK(std::isfinite(t) && t >= 0);
    }
    // Every timestamp lies within half an era of the receiver's time, or in the first
    // era (no time before 1900).
    for (double t :
         {fields.referenceTime, fields.originateTime, fields.receiveTime, fields.transmitTime}) {
        FUZZ_CHECK(t <= 4294967296.0 || std::fabs(t - now) <= 2147483648.0 + 1);
    }
    FUZZ_CHECK(std::memcmp(fields.transmitRaw.data(), datagram.data() + 40, 8) == 0);

    NtpPacketFields reply = fields;
    reply.originateRaw = fields.transmitRaw;
    const auto out = NtpEncode(reply, true);
    FUZZ_CHECK(std::memcmp(out.data(), datagram.data(), 4) == 0);
    FUZZ_CHECK(std::memcmp(out.data() + 12, datagram.data() + 12, 4) == 0);
    FUZZ_CHECK(std::memcmp(out.data() + 24, fields.transmitRaw.data(), 8) == 0);
    return 0;
}
