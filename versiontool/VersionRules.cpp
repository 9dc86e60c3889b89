#include "versiontool/VersionRules.h"

#include "versiontool/DeviceTypes.h"

namespace {

constexpr uint16_t kCurrentMajor = 4;
constexpr uint16_t kFirstCurrentPatch = 14;  // of 4.0

VavVersionInfo ToVersionInfo(const DeviceVersion& v) {
    VavVersionData data;
    data.major = v.major;
    data.minor = v.minor;
    data.patch = v.patch;
    data.stage = v.stage;
    data.patchDigit = v.patchDigit;
    data.build = v.build;
    return VavVersionInfo(data);  // as the device sent them, not clamped
}

}  // namespace

bool IsOlderNetworkVersion(const VavVersionInfo& v) {
    if (v.GetMajor() < kCurrentMajor)
        return true;
    return v.GetMajor() == kCurrentMajor && v.GetMinor() == 0 && v.GetPatch() < kFirstCurrentPatch;
}

bool IsUpdatable(uint16_t deviceType, const VavVersionInfo& netVersion, UpdateRule rule) {
    if ((deviceType & kUpdatableClassMask) != kUpdatableClassBits)
        return false;
    if (rule == UpdateRule::DeviceClassNodeStatus && deviceType == kVersionGatedType)
        return netVersion.GetMajor() >= kCurrentMajor;
    return true;
}

std::optional<DeviceEvent> BuildDeviceEvent(const CDeviceRecord& record, UpdateRule rule) {
    if (!record.HasLongForm())
        return std::nullopt;
    DeviceEvent event;
    event.name = record.GetName();
    event.ipAddress = record.GetIpAddress();
    event.appId = record.GetAppId();
    for (const auto& [id, version] : record.GetVersions()) {
        if (id == kNetworkVersionId) {
            if (!event.netVersion.HasData())
                event.netVersion = ToVersionInfo(version);
        } else if (!event.appVersion.HasData()) {
            event.appVersion = ToVersionInfo(version);
        }
        if (event.netVersion.HasData() && event.appVersion.HasData())
            break;
    }
    event.typeName = DeviceTypeName(record.GetDeviceType());
    event.updatable = IsUpdatable(record.GetDeviceType(), event.netVersion, rule);
    return event;
}
