#include "addrserver/DeviceKinds.h"

#include "addrserver/Report.h"

namespace addrserver {

std::string DeviceKindName(uint16_t type) {
    switch (type) {
        case 0x0841:
            return "NODEKIND_PLAIN";
        case 0x1082:
            return "NODEKIND_DESK_PROCESSOR";
        case 0x1882:
            return "NODEKIND_DESK_FACEPANEL";
        case 0x1883:
            return "NODEKIND_DESK_SUBPANEL";
        case 0x2042:
            return "NODEKIND_VIDEO";
        case 0x2043:
            return "NODEKIND_MULTI_IO";
        case 0x2181:
            return "NODEKIND_DMX";
        case 0x2848:
            return "NODEKIND_WIRELESS_REMOTE";
        case 0x3041:
            return "NODEKIND_LOGGER_PC";
        case 0x5841:
            return "NODEKIND_DIAG_TOOL";
        case 0x5843:
            return "NODEKIND_DIMMER_DIAG_TOOL";
        default:
            return Format("UNKNOWN NODE TYPE = %d", type);
    }
}

bool IsBootpClientType(uint16_t t) {
    return (t >= 0x1882 && t <= 0x1884) || (t >= 0x18C2 && t <= 0x18CB) || t == 0x2042 ||
           t == 0x2043 || t == 0x2181 || (t >= 0x2184 && t <= 0x2187);
}

std::string ImageFileForType(uint16_t t) {
    if (t >= 0x1882 && t <= 0x1884)
        return "deskfp.bin";
    if (t == 0x2042)
        return "vidnode.bin";
    if (t == 0x2043)
        return "ionode.bin";
    if (t == 0x2181 || t == 0x2184)
        return "dmxnode.bin";
    return {};
}

}  // namespace addrserver
