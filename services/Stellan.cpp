#include "services/Stellan.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/VavVersionRegistry.h"
#include "services/BootService.h"
#include "services/CommandLine.h"
#include "services/ConsoleControl.h"
#include "services/ServiceControl.h"
#include "services/ServiceDispatcher.h"
#include "services/ServiceHost.h"
#include "services/TimeService.h"

namespace {

void PrintHelp() {
    for (const std::string& line : StellanHelpLines()) std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
}

// The names a target stands for, the boot service first; empty for no known target.
std::vector<std::string> TargetNames(StellanTarget target) {
    const ServiceNames& n = ServiceHost::Get().Names();
    switch (target) {
        case StellanTarget::Bootp:
            return {n.boot};
        case StellanTarget::Ntp:
            return {n.time};
        case StellanTarget::All:
            return {n.boot, n.time};
        default:
            return {};
    }
}

int RunConsole(StellanTarget target) {
    InstallStopSignals();
    ServiceHost& host = ServiceHost::Get();
    if (!host.StartTransport()) {
        std::printf("The transport cannot start\n");
        DeleteBootNodeStatus();
        return 1;
    }
    std::printf("Running in console mode - Appid %d\r\n", host.AppId());
    std::fflush(stdout);
    int console = 1;
    uint32_t result = 0;
    if (target == StellanTarget::Bootp) {
        result = BootServiceWorker(&console);
        DeleteBootNodeStatus();
    } else if (target == StellanTarget::Ntp) {
        result = TimeServiceWorker(&console);
    }
    host.StopTransport();
    return result == 0 ? 0 : 1;
}

// The exit code of a verb that ends the process; nothing when the entry goes on.
std::optional<int> RunVerb(const StellanCommand& c, const std::vector<std::string>& args) {
    if (c.verb == StellanVerb::Help) {
        PrintHelp();
        return 0;
    }
    if (c.verb == StellanVerb::Console)
        return RunConsole(c.target);
    const std::vector<std::string> names = TargetNames(c.target);
    if (names.empty())
        return std::nullopt;
    bool ok = true;
    for (const std::string& name : names) {
        switch (c.verb) {
            case StellanVerb::Install:
                ok = InstallService(name, c.autoStart) && ok;
                break;
            case StellanVerb::Remove:
                ok = RemoveService(name) && ok;
                break;
            case StellanVerb::Stop:
                ok = StopService(name) && ok;
                break;
            case StellanVerb::Run: {
                const std::vector<std::string> parameters(
                    args.begin() + std::min<size_t>(2, args.size()), args.end());
                ok = StartNamedService(name, parameters, c.autoStart) && ok;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return ok ? 0 : 1;
}

}  // namespace

int StellanMain(int argc, char** argv) {
    ServiceHost& host = ServiceHost::Get();
    host.Initialise();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty()) {
        if (std::optional<int> code = RunVerb(ParseStellanCommand(args), args)) {
            host.AccessMutex().Close();
            return *code;
        }
    }
    if (!host.StartTransport()) {
        std::printf("The transport cannot start\n");
        return 1;
    }
    const ServiceNames& names = host.Names();
    const std::vector<ServiceTableEntry> table = {{names.boot, BootServiceMain},
                                                  {names.time, TimeServiceMain}};
    // systemd hands the service its start parameters as the program's arguments.
    const bool dispatched = ServiceDispatcher::Instance().Dispatch(table, args);
    if (!dispatched) {
        std::fputs("Failed in StartServiceCtrlDispatcher...\r\n", stdout);
        PrintHelp();
    }
    DeleteVersionRegistry();
    host.StopTransport();
    host.AccessMutex().Close();
    return dispatched ? 0 : 255;
}
