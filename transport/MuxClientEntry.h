// Turning one entry that Travex copied into a receive mapping into a packet, after
// checking its lengths: Travex's word is not taken for any of them. The packet is the
// message as long as its header's length field says; what follows (a device's padding
// of its datagram) is left out. A length field below the header's own 12 bytes cannot
// cut the message, which is then taken whole.
//   0 u32 remote address   4 u16 remote port (TCP: big-endian)   8 u32 local address
//   12 u16 local port (TCP: big-endian)   16 u32 connection handle   24 the message
#pragma once

#include <cstdint>
#include <span>

#include "multiplexer/MuxEntry.h"
#include "transport/XPortTypes.h"

namespace xport {

enum class MuxEntryError {
    None,
    Short,              // no room for the descriptor and a 12-byte header
    LengthBeyondEntry,  // the header's length claims more than the entry holds
};

// The largest entry of each kind a client accepts (descriptor included).
std::uint32_t MaxMuxEntry(mux::MuxKind kind);

MuxEntryError ParseMuxEntry(mux::MuxKind kind, std::span<const std::uint8_t> entry,
                            std::uint8_t ownAppId, XPortPacket& packet);

}  // namespace xport
