// The texts Varoda shows and writes for one network interface, and the conversion between
// dotted address texts and host-order addresses. Everything reads the system's tables
// through the platform library (a test hands it a FakeNetSource).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varoda {

// "%u.%u.%u.%u" from the top byte down; an empty text for 0.
std::string AddressToText(uint32_t address);
// The host-order value of a dotted text of four decimal numbers 0 to 255, blanks around it
// allowed (a hand-edited file may have them); 0 for any other text (empty, malformed, out of
// range).
uint32_t TextToAddress(std::string_view text);

// The interface's description; empty when it is not in the interface table.
std::string GetInterfaceDescriptionText(uint32_t index);
// The interface's lowest IPv4 address and the mask of that same address, as texts; empty
// when the interface has no address.
std::string GetInterfaceIpText(uint32_t index);
std::string GetInterfaceMaskText(uint32_t index);
// The mask of the interface's lowest address, host order; 0 when it has none.
uint32_t GetInterfaceSubnetMask(uint32_t index);
// "%02X-%02X-%02X-%02X-%02X-%02X" of the hardware address; six zero bytes when it cannot
// be read.
std::string GetInterfaceMacText(uint32_t index);

}  // namespace varoda
