// What the address server knows of node types: the device-kind names, which types
// are BOOTP clients, and which image file each type loads.
#pragma once

#include <cstdint>
#include <string>

namespace addrserver {

// "NODEKIND_..." or "UNKNOWN NODE TYPE = <decimal>".
std::string DeviceKindName(uint16_t nodeType);

// Members of these types get their addresses from us; all others may be peer servers.
bool IsBootpClientType(uint16_t nodeType);

// The image file of a node type ("deskfp.bin", ...); empty when the type has none.
std::string ImageFileForType(uint16_t nodeType);

// Component-version ids that carry a node's software version, in the order looked for.
constexpr uint16_t kSoftwareVersionIds[] = {3, 4, 7, 9};

}  // namespace addrserver
