#include "transport/MuxClientEntry.h"

#include "multiplexer/MuxTcpFramer.h"
#include "os/ByteOrder.h"

namespace xport {

using namespace mux;

std::uint32_t MaxMuxEntry(MuxKind kind) {
    return kMuxDescriptorSize + (kind == MuxKind::Tcp ? kMuxMaxTcpMessage : kMuxMaxDatagram);
}

MuxEntryError ParseMuxEntry(MuxKind kind, std::span<const std::uint8_t> entry,
                            std::uint8_t ownAppId, XPortPacket& packet) {
    if (entry.size() < kMuxDescriptorSize + kXPortHeaderSize)
        return MuxEntryError::Short;
    const std::uint8_t* d = entry.data();
    std::span<const std::uint8_t> message = entry.subspan(kMuxDescriptorSize);
    const std::uint32_t length = XPortHdrGetLength(message.data());
    if (length > message.size())
        return MuxEntryError::LengthBeyondEntry;
    if (length >= kXPortHeaderSize)
        message = message.first(length);
    bool tcp = kind == MuxKind::Tcp;
    packet.remoteAddress = os::GetLe32(d);
    packet.remotePort = tcp ? os::GetBe16(d + 4) : os::GetLe16(d + 4);
    packet.localAddress = os::GetLe32(d + 8);
    packet.localPort = tcp ? os::GetBe16(d + 12) : os::GetLe16(d + 12);
    packet.handle = os::GetLe32(d + 16);
    packet.remoteAppId = XPortHdrGetSrcApp(message.data());
    packet.localAppId = ownAppId;
    packet.data.assign(message.begin(), message.end());
    return MuxEntryError::None;
}

}  // namespace xport
