// Internal: one rtnetlink dump request (links, addresses or routes) and a walk over the
// attributes of each answer, with every length checked before it is read.
#pragma once

#include <linux/netlink.h>
#include <linux/rtnetlink.h>

#include <cstdint>
#include <functional>
#include <span>

namespace platform_internal {

// Sends a dump request of `type` (RTM_GETLINK, RTM_GETADDR, RTM_GETROUTE) for `family`
// and calls onMessage with each answer of that kind. False when the dump fails.
bool RtnetlinkDump(uint16_t type, uint8_t family,
                   const std::function<void(const nlmsghdr&)>& onMessage);

// Calls onAttribute(type, payload) for each attribute in the bytes after a message's
// fixed part of `fixedSize` bytes; stops at the first attribute that does not fit.
void ForEachAttribute(const nlmsghdr& message, size_t fixedSize,
                      const std::function<void(uint16_t, std::span<const uint8_t>)>& onAttribute);

// The payload as a u32 when it holds at least four bytes; `fallback` otherwise.
uint32_t AttributeU32(std::span<const uint8_t> payload, uint32_t fallback = 0);

}  // namespace platform_internal
