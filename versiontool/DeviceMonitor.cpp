#include "versiontool/DeviceMonitor.h"

#include "versiontool/LegacyStatusEngine.h"
#include "versiontool/NodeStatusEngine.h"
#include "versiontool/VersionRules.h"

std::unique_ptr<CDiscoveryEngine> CDeviceMonitor::MakeEngine(EngineKind kind) {
    if (kind == EngineKind::NodeStatus)
        return std::make_unique<CNodeStatusEngine>();
    return std::make_unique<CLegacyStatusEngine>();
}

UdpStatus CDeviceMonitor::Start(IDeviceListSink* list) {
    Stop();
    list_ = list;
    UdpStatus status = UDPSOCK_S_OK;
    for (EngineKind kind : {EngineKind::NodeStatus, EngineKind::Legacy}) {
        engines_.push_back(maker_(kind));
        status = engines_.back()->Start(this);
    }
    return status;
}

// The list is let go first, so a report racing with the engines' ends goes nowhere.
void CDeviceMonitor::Stop() {
    if (list_.exchange(nullptr) == nullptr && engines_.empty())
        return;
    for (auto& engine : engines_) engine->Stop();
    engines_.clear();
}

void CDeviceMonitor::OnDeviceFound(const DeviceEvent& event) {
    IDeviceListSink* list = list_.load();
    if (list == nullptr)
        return;
    if (IsOlderNetworkVersion(event.netVersion))
        list->OnOlderDeviceFound(event);
    else
        list->OnCurrentDeviceFound(event);
}

void CDeviceMonitor::OnDeviceLost(const DeviceEvent& event) {
    IDeviceListSink* list = list_.load();
    if (list == nullptr)
        return;
    if (IsOlderNetworkVersion(event.netVersion))
        list->OnOlderDeviceLost(event);
    else
        list->OnCurrentDeviceLost(event);
}
