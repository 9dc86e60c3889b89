#include "addrserver/AddressServerCore.h"

#include <cstdio>

#include "addrserver/Bootptab.h"
#include "addrserver/DeviceKinds.h"
#include "os/Clock.h"
#include "os/Paths.h"
#include "platform/NetAdapter.h"
#include "platform/VavConfig.h"

namespace addrserver {
namespace {

constexpr size_t kMaxHostName = 64;
constexpr size_t kMaxMessageText = 80;

std::string BootptabPath(const std::string& directory) {
    return directory + "/bootptab";
}

}  // namespace

ServerEnvironment ServerEnvironment::FromPlatform() {
    ServerEnvironment e;
    e.ownAddress = GetLocalIpAddress();
    e.subnetMask = GetLocalSubnetMask();
    e.gateway = GetDefaultGateway();
    // A lighting network seldom has a default route: what the user saved for the card in
    // ixokolt.cfg stands in for what the card itself does not say.
    uint32_t saved = 0;
    if (e.gateway == 0 && GetConfigValue(VAV_CONFIG_GATEWAY, saved) == 0)
        e.gateway = saved;
    if (e.subnetMask == 0 && GetConfigValue(VAV_CONFIG_SUBNETMASK, saved) == 0)
        e.subnetMask = saved;
    e.bootpMacCfgPath = (os::SystemDir() / "bootpmac.cfg").string();
    return e;
}

MemberSnapshot MemberSnapshot::Of(const CNS2Node& node) {
    MemberSnapshot m;
    m.nodeType = node.GetNodeType();
    m.address = node.GetIpAddress();
    node.GetMacAddress().GetBytes(m.mac.data(), m.mac.size());
    m.online = node.IsOnline();
    m.role = node.GetServerRole();
    const auto& versions = node.GetVersionMap();
    for (uint16_t id : kSoftwareVersionIds) {
        auto it = versions.find(id);
        if (it == versions.end())
            continue;
        const auto& v = it->second;
        m.software =
            ImageVersion::FromRecord(v.major, v.minor, v.patch, v.stage, v.patchDigit, v.build);
        break;
    }
    return m;
}

Server::Server()
    : tables_(bootpReporter_, [this](const std::string& name) { return files_.Exists(name); }),
      responder_(tables_, filter_, bootpReporter_,
                 [this](const std::string& name) { return files_.Exists(name); }),
      sessions_(files_, tftpReporter_),
      election_(frameReporter_) {}

Server::~Server() {
    Stop();
    SetNodeStatus(nullptr);
}

void Server::SetHost(CAddressServer* host) {
    std::lock_guard lock(hostMutex_);
    host_ = host;
}

CAddressServer* Server::Host() const {
    std::lock_guard lock(hostMutex_);
    return host_;
}

void Server::Queue(int queue, uint32_t code, std::string_view text) {
    if ((code & settings_.messageMask) == 0 || !running_)
        return;
    messages_[queue].Push({code, std::string(text.substr(0, kMaxMessageText))});
    wake_.Set();
}

void Server::Print(std::string_view text) {
    std::lock_guard lock(printMutex_);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

uint8_t Server::Role() const {
    std::lock_guard lock(electionMutex_);
    return election_.Role();
}

uint32_t Server::Master() const {
    std::lock_guard lock(electionMutex_);
    return election_.Master();
}

uint32_t Server::ReadConfiguration(const ServerEnvironment& env) {
    options_ = BootpOptions{};
    if (env.gateway == 0 || env.subnetMask == 0)
        Print("Bootp subnet & gateway not defined by VAV!\n");
    ReadBootpCfg(env.bootpCfgPath, options_);
    mask_ = options_.subnetMask != 0 ? options_.subnetMask : env.subnetMask;
    gateway_ = options_.gateway != 0 ? options_.gateway : env.gateway;
    if (mask_ == 0 || gateway_ == 0) {
        Print("Bootp subnet & gateway not defined!\n");
        return Fail(ADDRSRV_E_START,
                    "the address server knows no gateway and subnet mask for the lighting "
                    "network: save them with varoda (ixokolt.cfg, keys gateway and subnetmask), "
                    "or write the lines gateway=A.B.C.D and subnetmask=A.B.C.D into bootp.cfg "
                    "in the folder Stellan starts in");
    }
    LoadBootpMacCfg(env.bootpMacCfgPath, filter_);
    return 0;
}

bool Server::StartThread(std::unique_ptr<os::Thread>& thread, uint32_t priority, const char* name,
                         void (Server::*body)()) {
    thread = std::make_unique<os::Thread>([this, body] { (this->*body)(); });
    if (!thread->Valid())
        return false;
    const int p = static_cast<int>(priority);
    const bool inRange = p >= os::ThreadPriority::Idle && p <= os::ThreadPriority::TimeCritical;
    thread->SetPriority(inRange ? p : os::ThreadPriority::Normal);
    thread->SetName(name);
    return thread->Resume();
}

uint32_t Server::Fail(uint32_t code, const std::string& advice) {
    Print("Stellan: " + advice + "\n");
    return code;
}

uint32_t Server::Start(const AddressServerSettings& settings, const ServerEnvironment& env) {
    Stop();
    if (!SocketStartup())
        return Fail(ADDRSRV_E_SOCKET, "the system's sockets cannot be used");
    settings_ = settings;
    running_ = true;
    own_ = env.ownAddress;
    if (own_ == 0)
        return Fail(ADDRSRV_E_SOCKET,
                    "the lighting network card has no IPv4 address: give it one, or choose the "
                    "card that has one with varoda (ixokolt.cfg, key networkcard)");
    if (uint32_t e = ReadConfiguration(env))
        return e;
    std::string host = settings.hostName;
    if (host.size() > kMaxHostName) {
        Queue(2, kMsgError, "hostName truncated to 64 length");
        host.resize(kMaxHostName);
    }
    files_.Reset(settings.tftpDirectory);
    sessions_.SetDisplayLevel(options_.displayLevel);
    sessions_.SetOwnAddress(own_);
    responder_.Configure({own_, mask_, host, options_.displayLevel});
    {
        std::lock_guard lock(electionMutex_);
        election_.Reset(own_, settings.serverMode);
    }
    if (!StartThread(callbackThread_, settings.callbackPriority, "AddrSrvCallback",
                     &Server::CallbackTask))
        return ADDRSRV_E_START;

    tables_.Configure({own_, mask_, gateway_, options_.firstNodeIp, options_.assignCount});
    tables_.CreateSegment(own_, gateway_);
    if (ReadBootptab(BootptabPath(settings.tftpDirectory), tables_, bootpReporter_) ==
        BootptabError::kBadLine)
        return Fail(ADDRSRV_E_START, "the file " + BootptabPath(settings.tftpDirectory) +
                                         " has a line that is too long or does not end in a "
                                         "line feed: mend the line or remove the file");

    serverSet_ = settings.serverMode;
    runState_ = 1;
    if (settings.serverMode != kModeTftpOnly) {
        if (uint32_t e = OpenBootp())
            return e;
    }
    if (settings.tftpEnabled) {
        if (!tftpSocket_.Open(settings.tftpPort, false))
            return Fail(ADDRSRV_E_SOCKET,
                        "UDP port " + std::to_string(settings.tftpPort) +
                            " (TFTP) cannot be opened: another TFTP server runs (stop it), "
                            "or Stellan was not started as root");
        if (!StartThread(tftpThread_, settings.tftpPriority, "AddrSrvTftp", &Server::TftpThread))
            return ADDRSRV_E_START;
    }
    return settings.serverMode != kModeTftpOnly ? WaitForProbe() : 0;
}

uint32_t Server::OpenBootp() {
    probeAnswered_ = false;
    answeringServer_ = 0;
    listenerReady_ = false;
    listenerUp_.Reset();
    if (!listenerSocket_.Open(settings_.bootpClientPort, true) ||
        !serverSocket_.Open(settings_.bootpServerPort, true))
        return Fail(ADDRSRV_E_SOCKET,
                    "UDP ports " + std::to_string(settings_.bootpServerPort) + " and " +
                        std::to_string(settings_.bootpClientPort) +
                        " (BOOTP) cannot be opened: another BOOTP or DHCP server or client runs "
                        "on this PC (stop it), or Stellan was not started as root");
    if (!StartThread(listenerThread_, settings_.callbackPriority, "AddrSrvListen",
                     &Server::ReplyListenerThread) ||
        !StartThread(serverThread_, settings_.callbackPriority, "AddrSrvBootp",
                     &Server::BootpServerThread))
        return ADDRSRV_E_START;
    nextProbe_ = os::TickCount();
    windowDeadline_ = os::TickCount() + kStartupWindowMs;
    windowArmed_ = true;
    return 0;
}

uint32_t Server::WaitForProbe() {
    os::WaitEvent(listenerUp_, kListenerStartMs);
    if (settings_.serverMode == kModePrimary) {
        while (!probeAnswered_ && !os::TickReached(os::TickCount(), windowDeadline_))
            os::Sleep(kProbePeriodMs);
        if (probeAnswered_) {
            CloseBootp();
            return Fail(ADDRSRV_E_OTHER_SERVER,
                        "another BOOTP server (" + DottedText(answeringServer_) +
                            ") answers on the lighting network: stop it first");
        }
    }
    if (listenerReady_ && listenerRuns_)
        return 0;
    CloseBootp();
    return ADDRSRV_E_START;
}

void Server::CloseSocket(ServerSocket& socket, std::unique_ptr<os::Thread>& thread,
                         std::atomic<bool>& threadRuns, const char* error, uint32_t code) {
    socket.MarkClosing();
    // A datagram to ourselves ends the thread's wait at once.
    const uint8_t wake = 0;
    for (int i = 0; i < 20 && threadRuns; ++i) {
        if (socket.IsOpen())
            socket.SendTo(own_, socket.Port(), {&wake, 1});
        if (thread && thread->Join(100))
            break;
    }
    if (thread && !thread->Join(0)) {
        frameReporter_.Report(code, error);
        thread->Join();
    }
    thread.reset();
    socket.Close();
}

void Server::CloseBootp() {
    if (tables_.Dirty())
        WriteBootptab(BootptabPath(settings_.tftpDirectory), tables_, bootpReporter_);
    {
        std::lock_guard lock(electionMutex_);
        election_.Stop();
    }
    windowArmed_ = false;
    CloseSocket(listenerSocket_, listenerThread_, listenerRuns_,
                "Error closing bootp client socket", kMsgError);
    CloseSocket(serverSocket_, serverThread_, serverRuns_, "Error closing bootp server socket",
                kMsgError);
    listenerReady_ = false;
}

void Server::JoinCallbackTask() {
    if (!callbackThread_)
        return;
    wake_.Set();
    while (!callbackThread_->Join(100)) wake_.Set();
    callbackThread_.reset();
}

uint32_t Server::Stop() {
    if (!running_)
        return ADDRSRV_E_NOT_RUNNING;
    CloseBootp();
    sessions_.Clear();
    CloseSocket(tftpSocket_, tftpThread_, tftpRuns_, "Error closing tftp socket", kMsgTftpError);
    Queue(2, kMsgFrameNotice, "Shuting Down Address Serverer Message Queue");
    running_ = false;
    JoinCallbackTask();
    files_.Reset({});
    serverSet_ = 0;
    runState_ = 0;
    return ADDRSRV_S_STOPPED;
}

void Server::AddNode(const CNS2Node& node) {
    if (!running_)
        return;
    members_.Push(MemberSnapshot::Of(node));
    wake_.Set();
}

void Server::SetNodeStatus(CNS2* engine) {
    std::lock_guard lock(engineMutex_);
    if (engine_ == engine)
        return;
    if (engine_ != nullptr)
        engine_->RemoveLifetimeObserver(this);
    engine_ = engine;
    // The engine's record starts as its host set it (the service host announces a
    // backup); only a role of our own replaces that.
    publishedRole_ = 0;
    if (engine_ != nullptr)
        engine_->AddLifetimeObserver(this);
}

void Server::OnNodeStatusDestroyed(CNS2& engine) {
    std::lock_guard lock(engineMutex_);
    if (engine_ == &engine)
        engine_ = nullptr;
}

void Server::PublishRole() {
    const uint8_t role = Role();
    std::lock_guard lock(engineMutex_);
    if (engine_ == nullptr || publishedRole_ == role)
        return;
    engine_->SetServerRole(role);
    publishedRole_ = role;
}

void Server::SetMode(uint32_t serverSet, uint32_t runState) {
    if (serverSet != serverSet_) {
        const uint32_t old = serverSet_.exchange(serverSet);
        if (serverSet == 0) {
            Stop();
            return;
        }
        if (old == 0 && running_) {
            settings_.serverMode = serverSet;
            {
                std::lock_guard lock(electionMutex_);
                election_.Reset(own_, serverSet);
            }
            if (OpenBootp() == 0)
                WaitForProbe();
        }
    }
    if (runState != runState_) {
        runState_ = runState;
        if (runState == 1)
            Start(settings_, ServerEnvironment::FromPlatform());
        else
            Stop();
    }
}

Server& ProcessServer() {
    static Server server;
    return server;
}

}  // namespace addrserver
