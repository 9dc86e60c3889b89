// Device-type codes: their display texts and their classes. The class is the top five
// bits of the code (type >> 11); class 4, the network nodes and gateways, is the one
// this tool updates.
#pragma once

#include <cstdint>
#include <string>

constexpr uint16_t kUpdatableClassMask = 0xF800;
constexpr uint16_t kUpdatableClassBits = 0x2000;  // class 4

inline int DeviceClass(uint16_t type) {
    return type >> 11;
}

// The display text of a code: a fixed text for each of the 56 known codes, else
// "Unknown device type %u". Safe from any thread.
std::string DeviceTypeName(uint16_t type);
// The number of codes with a fixed text.
int KnownDeviceTypeCount();
