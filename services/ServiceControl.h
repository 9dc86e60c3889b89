// Installing, removing, starting and stopping a service by its name, over systemd:
// each service is a unit file in the unit directory ($IXO_SERVICE_DIR, default
// /etc/systemd/system) whose name is made from the service name; starting and stopping
// go through systemctl ($IXO_SYSTEMCTL, default the one on PATH). Each operation prints
// its outcome on standard output and answers whether it succeeded.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// "IxoBootpService (Ver:4.0.14.0.0.0)" -> "ixobootpservice-ver-4.0.14.0.0.0.service".
std::string ServiceUnitName(const std::string& serviceName);
std::filesystem::path ServiceUnitDirectory();
// The unit that runs `program` as the named service.
std::string ServiceUnitText(const std::string& serviceName, const std::filesystem::path& program);

bool InstallService(const std::string& name, uint8_t autoStart);
bool RemoveService(const std::string& name);
bool StopService(const std::string& name);
// Installs the service first when it is not; `parameters` reach the service as its
// start parameters through the unit.
bool StartNamedService(const std::string& name, const std::vector<std::string>& parameters,
                       uint8_t autoStart);
