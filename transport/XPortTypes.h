// The transport's small shared types: a packet as received, the buffer chain sends
// take, and the events its threads wait on.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "multiplexer/MuxEvent.h"
#include "multiplexer/TravexInterface.h"

// Status of every transport and multiplexer-client operation: bit 31 set is a failure.
using XPortStatus = mux::MuxStatus;
inline bool XPortFailed(XPortStatus status) {
    return status < 0;
}

// One received packet, header included. Addresses are IPv4 in host order.
struct XPortPacket {
    std::uint32_t remoteAddress = 0;
    std::uint16_t remotePort = 0;
    std::uint8_t remoteAppId = 0;
    std::uint32_t localAddress = 0;
    std::uint16_t localPort = 0;
    std::uint8_t localAppId = 0;
    std::uint32_t handle = 0;  // the multiplexer's connection handle (TCP)
    std::vector<std::uint8_t> data;
    std::uint32_t length() const { return static_cast<std::uint32_t>(data.size()); }
};

// A send is a chain, so a header and its payload need not be copied together.
struct XPortBuffer {
    const std::uint8_t* data = nullptr;
    std::uint32_t length = 0;
    const XPortBuffer* next = nullptr;
};
// The chain's bytes in order, and their count.
std::vector<std::uint8_t> XPortGather(const XPortBuffer* chain);
std::uint64_t XPortChainLength(const XPortBuffer* chain);

// A manual-reset event the transport's threads wait on (arrivals) or set (consumption):
// Set(), Reset(), Wait(ms) -> true when set within ms.
using XPortSignal = mux::MuxEvent;

// The four events a back end gives the transport when it opens: arrivals of TCP and
// multicast packets for this client, and the shared "processed" events the client sets
// after consuming. Any may be null (a back end without them).
struct XPortEvents {
    std::shared_ptr<XPortSignal> tcpArrived;
    std::shared_ptr<XPortSignal> mcArrived;
    std::shared_ptr<XPortSignal> tcpProcessed;
    std::shared_ptr<XPortSignal> mcProcessed;
};
