// One report about one device application, as the engines build it and the device list
// shows it, and the two interfaces the reports travel through:
//   engine --IDeviceEngineSink--> CDeviceMonitor --IDeviceListSink--> the device list.
// An engine builds the event on its worker thread and passes it by reference for the
// length of the call; whoever keeps it makes a copy.
#pragma once

#include <cstdint>
#include <string>

#include "platform/VavVersionInfo.h"

struct DeviceEvent {
    std::string name;           // at most 64 bytes; 15 blanks for a device without a name
    uint32_t ipAddress = 0;     // host order, first octet in the top byte
    uint8_t appId = 0;          // the reporting application; 1 for older-protocol devices
    VavVersionInfo netVersion;  // version id 11; empty when the device reported none
    VavVersionInfo appVersion;  // lowest other version id; empty when none
    std::string typeName;       // DeviceTypeName of the device type
    bool updatable = false;     // this tool can update the device
};

class IDeviceEngineSink {
public:
    // The device is on line: new, changed or back. Called on an engine's worker thread.
    virtual void OnDeviceFound(const DeviceEvent& event) = 0;
    // The device's entry is to be removed. Called on an engine's worker thread.
    virtual void OnDeviceLost(const DeviceEvent& event) = 0;
    virtual ~IDeviceEngineSink() = default;
};

// The device list. Called from any thread; the answers are not read.
class IDeviceListSink {
public:
    virtual bool OnCurrentDeviceFound(const DeviceEvent& event) = 0;
    virtual bool OnCurrentDeviceLost(const DeviceEvent& event) = 0;
    virtual bool OnOlderDeviceFound(const DeviceEvent& event) = 0;
    virtual bool OnOlderDeviceLost(const DeviceEvent& event) = 0;

protected:
    ~IDeviceListSink() = default;
};
