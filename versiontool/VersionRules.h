// The two rules that classify a device, and the report an engine builds from a record.
//
// Older network version: major below 4, or 4.0 with a patch below 14; so 4.0.14 and
// everything after it is current, and a device that reports no network version is older.
// Updatable: device class 4 (type & 0xF800 == 0x2000). Node-status devices of type 0x2185
// are updatable only from network version 4 on; the older-protocol engine has no such
// exception.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/VavVersionInfo.h"
#include "versiontool/DeviceEvent.h"
#include "versiontool/DeviceRecord.h"

enum class UpdateRule {
    DeviceClass,            // older-protocol engine
    DeviceClassNodeStatus,  // node-status engine: with the 0x2185 exception
};

constexpr uint16_t kVersionGatedType = 0x2185;

bool IsOlderNetworkVersion(const VavVersionInfo& netVersion);
bool IsUpdatable(uint16_t deviceType, const VavVersionInfo& netVersion, UpdateRule rule);

// The report of a record: nothing for a record that never had a long-form packet.
// The network version is the entry with id 11, the application version the entry with
// the lowest other id.
std::optional<DeviceEvent> BuildDeviceEvent(const CDeviceRecord& record, UpdateRule rule);
