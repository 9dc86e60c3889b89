#include "nodesim/SimNodeStatus.h"

#include "platform/VavClock.h"
#include "platform/VavVersionRegistry.h"

namespace nodesim {

SimNodeStatus::SimNodeStatus(const NodeIdentity& identity, uint32_t reportInterval,
                             std::optional<uint16_t> networkMajor)
    : CNS2(0, NS2_PORT, NS2_GROUP, identity.type, GetMilliseconds(), identity.name.c_str(), true,
           NS2_MODE_MEMBER, 50),
      mac_(identity.mac) {
    SetReportInterval(reportInterval);
    if (networkMajor) {
        VavVersionData data = *ProtocolSuiteVersion().Data();
        data.major = *networkMajor;
        GetVersionRegistry()->SetComponentVersion(VAV_COMPONENT_PROTOCOL_SUITE,
                                                  VavVersionInfo(data));
    }
}

bool SimNodeStatus::GetOwnMacAddress(VavMacAddress& mac) {
    mac = mac_;
    return true;
}

}  // namespace nodesim
