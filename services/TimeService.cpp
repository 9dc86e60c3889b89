#include "services/TimeService.h"

#include <atomic>
#include <cstdio>
#include <limits>
#include <memory>
#include <mutex>

#include "os/IniFile.h"
#include "platform/NetAdapter.h"
#include "services/CNtService.h"
#include "services/CNtpEngine.h"
#include "services/CSystemClock.h"
#include "services/CommandLine.h"
#include "services/ConsoleControl.h"
#include "services/ServiceHost.h"

namespace {

std::atomic<uint8_t> g_stratum{kDefaultStratum};
std::mutex g_serviceLock;
std::unique_ptr<CNtService> g_service;

uint8_t Checked(long value, const std::string& from, const StratumWarning& warn) {
    if (value >= 1 && value <= 15)
        return static_cast<uint8_t>(value);
    if (warn)
        warn("Stratum " + std::to_string(value) + " from " + from +
             " is not between 1 and 15; the time service uses stratum 10");
    return kDefaultStratum;
}

void PrintWarning(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

CNtService* Service() {
    std::lock_guard g(g_serviceLock);
    if (!g_service) {
        g_service = std::make_unique<CNtService>();
        g_service->Init(ServiceHost::Get().Names().time, TimeServiceHandler, TimeServiceWorker);
    }
    return g_service.get();
}

}  // namespace

uint8_t ReadStratumSetting(const std::filesystem::path& file, const StratumWarning& warn) {
    const int value = os::IniFile(file).GetInt("IxoTimeService", "Stratum", kDefaultStratum);
    return Checked(value, file.filename().string(), warn);
}

uint8_t StratumFromStartParameter(const std::string& parameter, uint8_t current,
                                  const StratumWarning& warn) {
    const auto pieces = SplitAt(parameter, "-/=:");
    if (pieces.size() < 2)
        return current;
    long value = 0;
    for (char c : pieces[1]) {
        if (c < '0' || c > '9' || value > 1000)
            break;
        value = value * 10 + (c - '0');
    }
    return Checked(value, "the start parameter \"" + parameter + "\"", warn);
}

void RunTimeEngine(CClock& clock, const std::function<bool()>& stop,
                   const std::function<StopWakeFds()>& wakeFds,
                   const std::function<void(CNtpEngine&)>& afterStep) {
    CNtpEngine engine(clock);
    engine.SetServerMode(1);
    if (const uint32_t mask = GetLocalSubnetMask(); mask != 0)
        engine.SetLocalNetwork(mask);
    while (!stop()) {
        engine.Step();
        if (afterStep)
            afterStep(engine);
        // Polls and announcements follow the clock, so a rest cut short by a datagram
        // changes none of them; it only answers sooner. Between them an idle engine
        // sleeps until the stop request wakes it.
        const StopWakeFds wake = wakeFds ? wakeFds() : StopWakeFds{-1, -1};
        engine.Rest(std::numeric_limits<int>::max(), wake);
    }
}

uint32_t TimeServiceWorker(void* console) {
    if (GetLocalIpAddress() == 0) {
        PrintWarning("Time service: no IPv4 address on the network card");
        return 1;
    }
    CSystemClock clock(g_stratum);
    clock.SetStratum(g_stratum);
    if (console != nullptr) {
        RunTimeEngine(
            clock, [] { return ConsoleStopRequested(); },
            [] {
                return StopWakeFds{StopSignalFd(), ConsoleKeyFd()};
            });
    } else {
        CNtService* service = Service();
        RunTimeEngine(
            clock,
            [service] {
                service->WaitWhilePaused();
                return service->StopFlag();
            },
            [service] {
                return StopWakeFds{service->StopFd(), -1};
            });
    }
    return 0;
}

void TimeServiceHandler(uint32_t control) {
    Service()->HandleControl(control);
}

void TimeServiceMain(int argc, char** argv) {
    uint8_t stratum = ReadStratumSetting(ServiceHost::Get().SettingsFile(), PrintWarning);
    if (argc > 1)
        stratum = StratumFromStartParameter(argv[1], stratum, PrintWarning);
    g_stratum = stratum;
    CNtService* service = Service();
    service->Run(argc, argv);
    service->Stop(0);
    std::lock_guard g(g_serviceLock);
    g_service.reset();
}
