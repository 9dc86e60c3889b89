#include "versiontool/DeviceTypes.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

struct DeviceType {
    uint16_t code;
    std::string_view text;
};

// Descriptive texts by class, so a technician can tell what kind of device a row is. What
// tells two devices apart comes first (the code where a class holds several, else the
// class), so a column too narrow for the whole text still shows it.
constexpr std::array kDeviceTypes = {
    // Class 1: nodes.
    DeviceType{0x0841, "Plain node"},
    DeviceType{0x0901, "0x0901 Node"},
    DeviceType{0x0A02, "0x0A02 Node"},
    // Class 2: consoles and processor units.
    DeviceType{0x1041, "0x1041 Console or processor unit"},
    DeviceType{0x1082, "0x1082 Console or processor unit"},
    DeviceType{0x10C2, "0x10C2 Console or processor unit"},
    DeviceType{0x1241, "0x1241 Console or processor unit"},
    DeviceType{0x1242, "0x1242 Console or processor unit"},
    DeviceType{0x1243, "0x1243 Console or processor unit"},
    DeviceType{0x1244, "0x1244 Console or processor unit"},
    DeviceType{0x1281, "0x1281 Console or processor unit"},
    DeviceType{0x12C2, "0x12C2 Console or processor unit"},
    DeviceType{0x1302, "0x1302 Console or processor unit"},
    // Class 3: face panels.
    DeviceType{0x1882, "0x1882 Face panel"},
    DeviceType{0x1883, "0x1883 Face panel"},
    DeviceType{0x1884, "0x1884 Face panel"},
    DeviceType{0x18C2, "0x18C2 Face panel"},
    DeviceType{0x18C3, "0x18C3 Face panel"},
    DeviceType{0x18C4, "0x18C4 Face panel"},
    DeviceType{0x18C5, "0x18C5 Face panel"},
    DeviceType{0x18C6, "0x18C6 Face panel"},
    DeviceType{0x18C7, "0x18C7 Face panel"},
    DeviceType{0x18C8, "0x18C8 Face panel"},
    DeviceType{0x18C9, "0x18C9 Face panel"},
    DeviceType{0x18CA, "0x18CA Face panel"},
    DeviceType{0x18CB, "0x18CB Face panel"},
    // Class 4: network nodes and gateways, the devices this tool updates.
    DeviceType{0x2042, "0x2042 Network node or gateway"},
    DeviceType{0x2043, "0x2043 Network node or gateway"},
    DeviceType{0x2181, "0x2181 Network node or gateway"},
    DeviceType{0x2184, "0x2184 Network node or gateway"},
    DeviceType{0x2185, "0x2185 Network node or gateway"},
    DeviceType{0x2186, "0x2186 Network node or gateway"},
    DeviceType{0x2187, "0x2187 Network node or gateway"},
    DeviceType{0x2188, "0x2188 Network node or gateway"},
    DeviceType{0x2189, "0x2189 Network node or gateway"},
    DeviceType{0x218A, "0x218A Network node or gateway"},
    DeviceType{0x218B, "0x218B Network node or gateway"},
    DeviceType{0x218C, "0x218C Network node or gateway"},
    // Class 5: wireless remote units.
    DeviceType{0x2848, "0x2848 Wireless remote unit"},
    DeviceType{0x28C2, "0x28C2 Wireless remote unit"},
    DeviceType{0x28C8, "0x28C8 Wireless remote unit"},
    // Classes 6 to 11, 14: one kind each.
    DeviceType{0x3041, "PC application (editor or service host)"},
    DeviceType{0x3841, "Class 7 network device"},
    DeviceType{0x4041, "Class 8 network device"},
    DeviceType{0x4841, "Class 9 network device"},
    DeviceType{0x5041, "0x5041 Network device, class 10"},
    DeviceType{0x51C2, "0x51C2 Network device, class 10"},
    DeviceType{0x5841, "Diagnostic tool (version tool)"},
    DeviceType{0x5843, "Dimming-control diagnostic tool"},
    // Classes 12 and 13: face panels.
    DeviceType{0x60C2, "0x60C2 Face panel"},
    DeviceType{0x60C3, "0x60C3 Face panel"},
    DeviceType{0x60C4, "0x60C4 Face panel"},
    DeviceType{0x68C2, "0x68C2 Face panel"},
    DeviceType{0x68C3, "0x68C3 Face panel"},
    DeviceType{0x68C4, "0x68C4 Face panel"},
    DeviceType{0x7041, "Class 14 network device"},
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
