// What the service host's process holds for both services: its version and the two
// service names, the access mutex shared by every process of the host, and the one
// transport (over the UDP back end) with the host's application id.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "os/NamedMutex.h"
#include "platform/VavVersionInfo.h"

class CXPort;

constexpr const char* kAccessMutexName = "IXOFTP_BOOTP_NS2_ACCECC_MUTEX";

struct ServiceNames {
    std::string boot;
    std::string time;
};
// "IxoBootpService (Ver:4.0.14.0.0.0)" and "Ixo Chronel Service (NTP) (Ver:4.0.14.0.0.0)".
ServiceNames MakeServiceNames(const VavVersionInfo& version);

class ServiceHost {
public:
    static ServiceHost& Get();

    // Loads the own version, records versions 15 and 11, builds the names, creates the
    // access mutex.
    void Initialise();
    const VavVersionInfo& OwnVersion() const { return version_; }
    const ServiceNames& Names() const { return names_; }
    os::NamedMutex& AccessMutex() { return mutex_; }
    // "Stellan.INI" beside the program.
    std::filesystem::path SettingsFile() const;

    // Starts the transport once per process; false when it cannot start.
    bool StartTransport();
    bool TransportStarted() const { return transport_ != nullptr; }
    CXPort* Transport() { return transport_.get(); }
    uint8_t AppId() const { return appId_; }
    void StopTransport();

private:
    VavVersionInfo version_;
    ServiceNames names_;
    os::NamedMutex mutex_;
    std::unique_ptr<CXPort> transport_;
    uint8_t appId_ = 10;
};
