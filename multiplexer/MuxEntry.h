// One queued entry: the 24-byte descriptor, then the message with its 12-byte header.
// The descriptor's layout differs by kind (addresses are u32 little-endian):
//   offset  TCP entry                      multicast entry
//   0  u32  remote address (host order)    source address, or the local one for a local sender
//   4  u16  remote port, big-endian        source port (LE), or the group's port
//   8  u32  local address                  group address
//   12 u16  local port, big-endian         group port (LE)
//   16 u32  connection handle              0
//   20 u32  not written (0)                message length from the network, 0 from a local sender
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "multiplexer/TravexInterface.h"

namespace mux {

enum class MuxKind { Tcp, Multicast };

using MuxEntry = std::vector<std::uint8_t>;

struct MuxTcpOrigin {
    std::uint32_t remoteAddress = 0;
    std::uint16_t remotePort = 0;
    std::uint32_t localAddress = 0;
    std::uint16_t localPort = 0;
    std::uint32_t handle = 0;
};

struct MuxMulticastOrigin {
    std::uint32_t sourceAddress = 0;
    std::uint16_t sourcePort = 0;
    std::uint32_t group = 0;
    std::uint16_t groupPort = 0;
    bool fromNetwork = false;  // the length field is written only for received datagrams
};

MuxEntry MakeTcpEntry(const MuxTcpOrigin& origin, std::span<const std::uint8_t> message);
MuxEntry MakeMulticastEntry(const MuxMulticastOrigin& origin,
                            std::span<const std::uint8_t> message);
// Fills the descriptor of an entry whose message is already in place (entry.size() >= 24).
void WriteTcpDescriptor(MuxEntry& entry, const MuxTcpOrigin& origin);

}  // namespace mux
