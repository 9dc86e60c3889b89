#include "versiontool/DeviceTypes.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

struct DeviceType {
    uint16_t code;
    std::string_view text;
};

// Descriptive texts by class, so a technician can tell what kind of device a row is;
// where a class holds several codes the code itself tells them apart.
constexpr std::array kDeviceTypes = {
    // Class 1: nodes.
    DeviceType{0x0841, "Plain node"},
    DeviceType{0x0901, "Node, type 0x0901"},
    DeviceType{0x0A02, "Node, type 0x0A02"},
    // Class 2: consoles and processor units.
    DeviceType{0x1041, "Console or processor unit, type 0x1041"},
    DeviceType{0x1082, "Console or processor unit, type 0x1082"},
    DeviceType{0x10C2, "Console or processor unit, type 0x10C2"},
    DeviceType{0x1241, "Console or processor unit, type 0x1241"},
    DeviceType{0x1242, "Console or processor unit, type 0x1242"},
    DeviceType{0x1243, "Console or processor unit, type 0x1243"},
    DeviceType{0x1244, "Console or processor unit, type 0x1244"},
    DeviceType{0x1281, "Console or processor unit, type 0x1281"},
    DeviceType{0x12C2, "Console or processor unit, type 0x12C2"},
    DeviceType{0x1302, "Console or processor unit, type 0x1302"},
    // Class 3: face panels.
    DeviceType{0x1882, "Face panel, type 0x1882"},
    DeviceType{0x1883, "Face panel, type 0x1883"},
    DeviceType{0x1884, "Face panel, type 0x1884"},
    DeviceType{0x18C2, "Face panel, type 0x18C2"},
    DeviceType{0x18C3, "Face panel, type 0x18C3"},
    DeviceType{0x18C4, "Face panel, type 0x18C4"},
    DeviceType{0x18C5, "Face panel, type 0x18C5"},
    DeviceType{0x18C6, "Face panel, type 0x18C6"},
    DeviceType{0x18C7, "Face panel, type 0x18C7"},
    DeviceType{0x18C8, "Face panel, type 0x18C8"},
    DeviceType{0x18C9, "Face panel, type 0x18C9"},
    DeviceType{0x18CA, "Face panel, type 0x18CA"},
    DeviceType{0x18CB, "Face panel, type 0x18CB"},
    // Class 4: network nodes and gateways, the devices this tool updates.
    DeviceType{0x2042, "Network node or gateway, type 0x2042"},
    DeviceType{0x2043, "Network node or gateway, type 0x2043"},
    DeviceType{0x2181, "Network node or gateway, type 0x2181"},
    DeviceType{0x2184, "Network node or gateway, type 0x2184"},
    DeviceType{0x2185, "Network node or gateway, type 0x2185"},
    DeviceType{0x2186, "Network node or gateway, type 0x2186"},
    DeviceType{0x2187, "Network node or gateway, type 0x2187"},
    DeviceType{0x2188, "Network node or gateway, type 0x2188"},
    DeviceType{0x2189, "Network node or gateway, type 0x2189"},
    DeviceType{0x218A, "Network node or gateway, type 0x218A"},
    DeviceType{0x218B, "Network node or gateway, type 0x218B"},
    DeviceType{0x218C, "Network node or gateway, type 0x218C"},
    // Class 5: wireless remote units.
    DeviceType{0x2848, "Wireless remote unit, type 0x2848"},
    DeviceType{0x28C2, "Wireless remote unit, type 0x28C2"},
    DeviceType{0x28C8, "Wireless remote unit, type 0x28C8"},
    // Classes 6 to 11, 14: one kind each.
    DeviceType{0x3041, "PC application (editor or service host)"},
    DeviceType{0x3841, "Network device, class 7"},
    DeviceType{0x4041, "Network device, class 8"},
    DeviceType{0x4841, "Network device, class 9"},
    DeviceType{0x5041, "Network device, class 10, type 0x5041"},
    DeviceType{0x51C2, "Network device, class 10, type 0x51C2"},
    DeviceType{0x5841, "Diagnostic tool (version tool)"},
    DeviceType{0x5843, "Dimming-control diagnostic tool"},
    // Classes 12 and 13: face panels.
    DeviceType{0x60C2, "Face panel, type 0x60C2"},
    DeviceType{0x60C3, "Face panel, type 0x60C3"},
    DeviceType{0x60C4, "Face panel, type 0x60C4"},
    DeviceType{0x68C2, "Face panel, type 0x68C2"},
    DeviceType{0x68C3, "Face panel, type 0x68C3"},
    DeviceType{0x68C4, "Face panel, type 0x68C4"},
    DeviceType{0x7041, "Network device, class 14"},
};

static_assert(std::is_sorted(kDeviceTypes.begin(), kDeviceTypes.end(),
                             [](const DeviceType& a, const DeviceType& b) {
                                 return a.code < b.code;
                             }));

}  // namespace

std::string DeviceTypeName(uint16_t type) {
    auto it = std::lower_bound(kDeviceTypes.begin(), kDeviceTypes.end(), type,
                               [](const DeviceType& d, uint16_t code) { return d.code < code; });
    if (it != kDeviceTypes.end() && it->code == type)
        return std::string(it->text);
    return "Unknown device type " + std::to_string(type);
}

int KnownDeviceTypeCount() {
    return static_cast<int>(kDeviceTypes.size());
}
