#include "multiplexer/MuxEntry.h"

#include <algorithm>

namespace mux {

void WriteTcpDescriptor(MuxEntry& entry, const MuxTcpOrigin& o) {
    std::uint8_t* d = entry.data();
    std::fill(d, d + kMuxDescriptorSize, 0);
    PutLe32(d + 0, o.remoteAddress);
    PutBe16(d + 4, o.remotePort);
    PutLe32(d + 8, o.localAddress);
    PutBe16(d + 12, o.localPort);
    PutLe32(d + 16, o.handle);
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
    PutLe32(d + 0, o.sourceAddress);
    PutLe16(d + 4, o.sourcePort);
    PutLe32(d + 8, o.group);
    PutLe16(d + 12, o.groupPort);
    if (o.fromNetwork)
        PutLe32(d + 20, static_cast<std::uint32_t>(message.size()));
    std::copy(message.begin(), message.end(), entry.begin() + kMuxDescriptorSize);
    return entry;
}

}  // namespace mux
