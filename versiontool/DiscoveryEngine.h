// A discovery engine: listens to one status protocol and reports the devices it hears.
#pragma once

#include "platform/CUdpSocket.h"
#include "versiontool/DeviceEvent.h"

class CDiscoveryEngine {
public:
    // Starts listening and asks the devices to report; the status of the last request
    // sent (UDPSOCK_S_OK, or a failure of the UDP socket class).
    virtual UdpStatus Start(IDeviceEngineSink* sink) = 0;
    // Ends the worker and forgets every device, reporting nothing; once it returns the
    // sink hears no more.
    virtual void Stop() = 0;
    virtual ~CDiscoveryEngine() = default;
};
