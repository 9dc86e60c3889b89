#include "multiplexer/MuxEntry.h"

#include <algorithm>

#include "os/ByteOrder.h"

namespace mux {

void WriteTcpDescriptor(MuxEntry& entry, const MuxTcpOrigin& o) {
    std::uint8_t* d = entry.data();
    std::fill(d, d + kMuxDescriptorSize, 0);
    os::PutLe32(d + 0, o.remoteAddress);
    os::PutBe16(d + 4, o.remotePort);
    os::PutLe32(d + 8, o.localAddress);
    os::PutBe16(d + 12, o.localPort);
    os::PutLe32(d + 16, o.handle);
}

MuxEntry MakeTcpEntry(const MuxTcpOrigin& origin, std::span<const std::uint8_t> message) {
    MuxEntry entry(kMuxDescriptorSize + message.size());
    std::copy(message.begin(), message.end(), entry.begin() + kMuxDescriptorSize);
    WriteTcpDescriptor(entry, origin);
    return entry;
}

MuxEntry MakeMulticastEntry(const MuxMulticastOrigin& o, std::span<const std::uint8_t> message) {
    MuxEntry entry(kMuxDescriptorSize + message.size(), 0);
    std::uint8_t* d = entry.data();
    os::PutLe32(d + 0, o.sourceAddress);
    os::PutLe16(d + 4, o.sourcePort);
    os::PutLe32(d + 8, o.group);
    os::PutLe16(d + 12, o.groupPort);
    if (o.fromNetwork)
        os::PutLe32(d + 20, static_cast<std::uint32_t>(message.size()));
    std::copy(message.begin(), message.end(), entry.begin() + kMuxDescriptorSize);
    return entry;
}

}  // namespace mux
