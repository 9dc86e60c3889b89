#include "services/BootService.h"

#include <poll.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <mutex>
#include <thread>

#include "addrserver/AddressServer.h"
#include "nodestatus/XPortNS2Transport.h"
#include "os/IniFile.h"
#include "os/Paths.h"
#include "platform/Logger.h"
#include "platform/NetAdapter.h"
#include "platform/VavConfig.h"
#include "services/CNtService.h"
#include "services/ConsoleControl.h"
#include "services/ServiceHost.h"

namespace {

constexpr uint16_t kNodeType = 0x3041;
constexpr uint32_t kLogFlags = 0x400008FF;
constexpr uint32_t kLockWaitMs = 5000;

std::mutex g_lock;  // guards the three below
std::unique_ptr<CNtService> g_bootService;
std::unique_ptr<CStellanNodeStatus> g_nodeStatus;
std::unique_ptr<XPortNS2Transport> g_nodeTransport;
// The worker owns the address-server host; this tells the node-status callbacks it runs.
std::atomic<bool> g_serverRuns{false};

void Print(const char* format, auto... args) {
    std::printf(format, args...);
    std::fflush(stdout);
}

CNtService* Service(bool create) {
    std::lock_guard g(g_lock);
    if (!g_bootService && create) {
        g_bootService = std::make_unique<CNtService>();
        g_bootService->Init(ServiceHost::Get().Names().boot, BootServiceHandler, BootServiceWorker);
    }
    return g_bootService.get();
}

// The access mutex orders node-status start against its deletion, also across the
// processes of the host. False when it could not be had.
bool LockAccess() {
    const os::LockResult r = ServiceHost::Get().AccessMutex().Lock(kLockWaitMs);
    if (r == os::LockResult::Acquired || r == os::LockResult::Abandoned)
        return true;
    Print("Unable to take the access mutex %s\n", kAccessMutexName);
    return false;
}

// Under the access mutex.
CStellanNodeStatus* StartNodeStatus() {
    ServiceHost& host = ServiceHost::Get();
    host.StartTransport();
    std::lock_guard g(g_lock);
    if (!g_nodeStatus && host.Transport() != nullptr) {
        g_nodeStatus = std::make_unique<CStellanNodeStatus>();
        g_nodeTransport = std::make_unique<XPortNS2Transport>(*host.Transport());
        g_nodeStatus->CreateWorkThread(g_nodeTransport.get());
    }
    return g_nodeStatus.get();
}

std::string TftpDirectory() {
    return os::IniFile(ServiceHost::Get().SettingsFile())
        .GetString("IxoBootpService", "FTPDir", kDefaultTftpDirectory)
        .substr(0, 259);
}

// Every interface the system has, whatever its index.
void PrintInterfaces() {
    const auto table = GetInterfaceTable();
    if (!table)
        return;
    for (const VavIfRow& row : *table)
        Print("Interface %u is \"%s\"\n", static_cast<unsigned>(row.index),
              row.description.c_str());
}

void OpenLog() {
    GetLogger()->Open((os::ProgramDir() / "NS2.log").c_str(), kLogFlags, 100000, false);
}

// Idles until a key, a stop signal or the service's stop flag, asleep until one of them
// may have come (every 100 ms only where there is nothing to sleep on).
void Idle(bool console) {
    while (true) {
        if (console && ConsoleStopRequested())
            return;
        CNtService* service = Service(false);
        if (!console && (service == nullptr || service->StopFlag()))
            return;
        pollfd wake[] = {{console ? StopSignalFd() : service->StopFd(), POLLIN, 0},
                         {console ? ConsoleKeyFd() : -1, POLLIN, 0}};
        const bool none = wake[0].fd < 0 && wake[1].fd < 0;
        poll(wake, 2, none ? 100 : -1);
    }
}

}  // namespace

CStellanNodeStatus::CStellanNodeStatus()
    : CNS2(2, NS2_PORT, NS2_GROUP, kNodeType, static_cast<uint32_t>(std::time(nullptr)),
           "IxoKolt Services", true, NS2_MODE_MEMBER, 50) {
    SetStatusBit(19, true);
    SetStatusBit(5, true);
    SetStatusByte1(0x84);
    SetReportInterval(1500);
    SetServerRole(2);
    SetReceiveBudget(100);
    OpenLog();
}

CStellanNodeStatus::~CStellanNodeStatus() {
    Stop();
}

void CStellanNodeStatus::OnNodeOnline(CNS2Node& node) {
    if (g_serverRuns)
        AddressServerAddNode(node);
}

void CStellanNodeStatus::OnNodeOffline(CNS2Node& node) {
    OnNodeOnline(node);
}

bool CStellanNodeStatus::GetOwnMacAddress(VavMacAddress&) {
    return false;
}

bool SelectInterface(uint32_t position) {
    if (position == kDefaultInterfacePosition) {
        SetSelectedInterface(GetSelectedInterface());
        return true;
    }
    const auto table = GetInterfaceTable();
    if (!table)
        return false;
    Print("There are %u entries in the network card table\n", static_cast<unsigned>(table->size()));
    if (position >= table->size())
        return false;
    SetSelectedInterface((*table)[position].index);
    return true;
}

void DeleteBootNodeStatus() {
    std::unique_ptr<CStellanNodeStatus> status;
    std::unique_ptr<XPortNS2Transport> transport;
    {
        std::lock_guard g(g_lock);
        status = std::move(g_nodeStatus);
        transport = std::move(g_nodeTransport);
    }
    status.reset();  // the final status goes out before the transport is given back
}

uint32_t BootServiceWorker(void* console) {
    OpenLog();  // the start-up's own lines go to the log too
    PrintInterfaces();
    const std::string tftpDirectory = TftpDirectory();
    uint32_t position = kDefaultInterfacePosition;
    if (GetConfigValue(VAV_CONFIG_NETWORKCARD, position) != 0)
        position = kDefaultInterfacePosition;
    char ignored[256];
    GetInterfaceDescription(ignored, sizeof ignored, position);
    if (!SelectInterface(position)) {
        Print("Error installing VAV on network interface %u\r\n", position);
        return 1;
    }
    auto host = std::make_unique<CAddressServer>();
    AddressServerSettings settings;
    const char* product = ServiceHost::Get().OwnVersion().GetProductName();
    settings.hostName = product != nullptr ? product : "";
    settings.tftpDirectory = tftpDirectory;
    settings.messageMask = 0xFFFFFFFF;
    settings.versionCheck = 0;
    const uint32_t result = AddressServerStart(settings);
    if (result != 0) {
        if (CNtService* service = Service(false))
            service->HandleControl(SERVICE_CONTROL_STOP);
        Print("Failure code %X\n", result);
        Print("The address server did not start; the line above says what to mend.\n");
        return 1;  // the host goes with this scope and stops the server
    }
    g_serverRuns = true;
    CStellanNodeStatus* status = nullptr;
    if (LockAccess()) {
        status = StartNodeStatus();
        ServiceHost::Get().AccessMutex().Unlock();
    }
    if (status != nullptr) {
        AddressServerSetNodeStatus(status);
        AddressServerSetMode(3, 1);
        Idle(console != nullptr);
    }
    g_serverRuns = false;
    host.reset();  // stops the address server
    return 0;
}

void BootServiceHandler(uint32_t control) {
    Service(true)->HandleControl(control);
}

void BootServiceMain(int argc, char** argv) {
    CNtService* service = Service(true);
    service->Run(argc, argv);
    // Node status first: its final status goes out while the server still runs.
    if (LockAccess()) {
        DeleteBootNodeStatus();
        ServiceHost::Get().AccessMutex().Unlock();
    } else {
        DeleteBootNodeStatus();
    }
    service->Stop(0);  // joins the worker, which deletes the address-server host
    std::lock_guard g(g_lock);
    g_bootService.reset();
}
