#include "nodestatus/CNS2Node.h"

CNS2Node::CNS2Node(const VavMacAddress& mac, uint8_t sourceAppId)
    : mac_(mac), sourceAppId_(sourceAppId) {}

void CNS2Node::SetMacAddress(const VavMacAddress& v) {
    if (mac_ != v) {
        mac_ = v;
        changed_ = true;
    }
}

void CNS2Node::SetName(std::string_view name) {
    Store(name_, std::string(name.substr(0, NS2_MAX_NAME)));
}

void CNS2Node::SetComponentVersion(uint16_t id, const NS2ComponentVersion& v) {
    StoreVersion(componentVersions_, id, v);
}

void CNS2Node::SetProtocolVersion(uint8_t id, const NS2ProtocolVersion& v) {
    StoreVersion(protocolVersions_, id, v);
}

void CNS2Node::SetHeaderFields(uint8_t major, uint8_t minor, uint8_t sourceAppId) {
    protocolMajor_ = major;
    protocolMinor_ = minor;
    sourceAppId_ = sourceAppId;
}
