// The 12-byte application header: the checks that decide whether received bytes are a
// packet, and reading and writing the header's fields.
#include <cstring>

#include "fuzz/FuzzCheck.h"
#include "platform/XPortHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const XPortHdrError packet = XPortHdrCheckPacket(bytes);
    const XPortHdrError stream = XPortHdrCheckStream(bytes);
    FUZZ_CHECK(XPortHdrErrorText(packet) != nullptr && XPortHdrErrorText(stream) != nullptr);
    // A whole packet is also a complete stream start; a stream start holds its packet.
    if (packet == XPortHdrError::None) {
        FUZZ_CHECK(stream == XPortHdrError::None);
        FUZZ_CHECK(XPortHdrGetLength(data) == size);
    }
    if (stream == XPortHdrError::None) {
        const uint32_t length = XPortHdrGetLength(data);
        FUZZ_CHECK(length >= XPORT_HEADER_LENGTH && length <= size);
        FUZZ_CHECK(XPortHdrCheckPacket(bytes.first(length)) == XPortHdrError::None);
    }
    if (size >= XPORT_HEADER_LENGTH) {
        uint8_t written[XPORT_HEADER_LENGTH] = {};
        XPortHeader::Read(data).Write(written);
        FUZZ_CHECK(std::memcmp(written, data, XPORT_HEADER_LENGTH) == 0);
    }
    return 0;
}
