// The service states, controls and status record a service reports to the service
// manager, numbered as the service host's own code and texts number them.
#pragma once

#include <cstdint>

enum : uint32_t {
    SERVICE_STOPPED = 1,
    SERVICE_START_PENDING = 2,
    SERVICE_STOP_PENDING = 3,
    SERVICE_RUNNING = 4,
    SERVICE_CONTINUE_PENDING = 5,
    SERVICE_PAUSE_PENDING = 6,
    SERVICE_PAUSED = 7,
};

enum : uint32_t {
    SERVICE_CONTROL_STOP = 1,
    SERVICE_CONTROL_PAUSE = 2,
    SERVICE_CONTROL_CONTINUE = 3,
    SERVICE_CONTROL_INTERROGATE = 4,
    SERVICE_CONTROL_SHUTDOWN = 5,
};

constexpr uint32_t SERVICE_WIN32_SHARE_PROCESS = 0x20;
constexpr uint32_t SERVICE_ACCEPT_STOP_AND_SHUTDOWN = 5;
constexpr uint32_t ERROR_SERVICE_SPECIFIC_ERROR = 1066;

struct ServiceStatus {
    uint32_t serviceType = SERVICE_WIN32_SHARE_PROCESS;
    uint32_t currentState = 0;
    uint32_t controlsAccepted = 0;
    uint32_t win32ExitCode = 0;
    uint32_t serviceSpecificExitCode = 0;
    uint32_t checkPoint = 0;
    uint32_t waitHint = 0;
};
