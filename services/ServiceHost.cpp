#include "services/ServiceHost.h"

#include "os/Paths.h"
#include "platform/VavVersionRegistry.h"
#include "services/CUdpBackend.h"
#include "transport/CXPort.h"

namespace {
constexpr uint16_t kOwnVersionId = 15;
}

ServiceNames MakeServiceNames(const VavVersionInfo& version) {
    std::string numbers;
    version.FormatNumbers(6, numbers);
    return {"IxoBootpService (Ver:" + numbers + ")",
            "Ixo Chronel Service (NTP) (Ver:" + numbers + ")"};
}

ServiceHost& ServiceHost::Get() {
    static ServiceHost host;
    return host;
}

void ServiceHost::Initialise() {
    version_.LoadFromModule();
    VavVersionRegistry* registry = GetVersionRegistry();
    registry->SetComponentVersion(kOwnVersionId, version_);
    registry->SetComponentVersion(VAV_COMPONENT_PROTOCOL_SUITE, ProtocolSuiteVersion());
    names_ = MakeServiceNames(version_);
    mutex_.Create(kAccessMutexName);
}

std::filesystem::path ServiceHost::SettingsFile() const {
    return os::FindAnyCase(os::ProgramDir(), "Stellan.INI");
}

bool ServiceHost::StartTransport() {
    if (transport_)
        return true;
    auto port = std::make_unique<CXPort>(std::make_shared<CUdpBackend>());
    if (XPortFailed(port->open(&appId_, 1, CXPort::kDefaultPort, 100, 100)))
        return false;
    transport_ = std::move(port);
    return true;
}

void ServiceHost::StopTransport() {
    if (transport_)
        transport_->close();
    transport_.reset();
}
