// The service manager's side inside a service process, in place of the Windows service
// control dispatcher. systemd starts one service per unit; its unit names the service
// in the environment (IXO_SERVICE). Dispatch runs that service's entry on a thread of
// its own and turns SIGTERM and SIGINT into a stop control for the handler the entry
// registered; status reports go to systemd's notify socket ($NOTIFY_SOCKET) when there
// is one: READY=1 when running, STOPPING=1 when stopping, STATUS= always.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "services/ServiceStatus.h"

using ServiceMainFunction = std::function<void(int argc, char** argv)>;
using ServiceHandlerFunction = std::function<void(uint32_t control)>;

struct ServiceTableEntry {
    std::string name;
    ServiceMainFunction main;
};

// The variable in which a unit names its service.
constexpr const char* kServiceEnvironment = "IXO_SERVICE";

class ServiceDispatcher {
public:
    using StatusSink = std::function<bool(const std::string& name, const ServiceStatus& status)>;

    static ServiceDispatcher& Instance();

    // Runs the entry the environment names with the service name and `startParameters`
    // as its arguments; returns when it has ended. False at once when the process was
    // not started as a service or names a service not in the table.
    bool Dispatch(const std::vector<ServiceTableEntry>& table,
                  const std::vector<std::string>& startParameters);
    // Stands for RegisterServiceCtrlHandler: a handle (never 0), 0 without a handler.
    uintptr_t RegisterHandler(const std::string& name, ServiceHandlerFunction handler);
    // Stands for SetServiceStatus; false when the report could not be made.
    bool SetStatus(uintptr_t handle, const ServiceStatus& status);

    // Tests: where reports go instead of systemd (null: back to systemd).
    void SetStatusSinkForTest(StatusSink sink);

private:
    ServiceDispatcher() = default;
    // Delivers the stop signal to the handler until the entry is done; `entryDoneFd`
    // turns readable when it is (-1: none).
    void ControlLoop(const std::function<bool()>& entryDone, int entryDoneFd);

    std::mutex lock_;
    std::vector<std::pair<std::string, ServiceHandlerFunction>> handlers_;
    StatusSink sink_;
};

// Sends one message to systemd's notify socket; true when there is none or it was sent.
bool NotifyServiceManager(const std::string& message);
