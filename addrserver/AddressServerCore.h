// The address server's engine: its state, its four threads (callback task, BOOTP
// server, BOOTP reply listener, TFTP) and its sockets. The free functions of
// AddressServer.h drive the process-wide instance; tests may make their own.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "addrserver/AddressServer.h"
#include "addrserver/AddressTables.h"
#include "addrserver/BootpOptions.h"
#include "addrserver/BootpResponder.h"
#include "addrserver/MacFilter.h"
#include "addrserver/MessageRing.h"
#include "addrserver/ServerElection.h"
#include "addrserver/ServerSocket.h"
#include "addrserver/TftpFiles.h"
#include "addrserver/TftpSessions.h"
#include "nodestatus/CNS2.h"
#include "os/DropCounts.h"
#include "os/Event.h"
#include "os/Thread.h"

namespace addrserver {

// What start takes from the platform and the file system; tests set their own.
struct ServerEnvironment {
    uint32_t ownAddress = 0;  // host order
    uint32_t subnetMask = 0;
    uint32_t gateway = 0;
    std::string bootpCfgPath = "bootp.cfg";  // the current directory
    std::string bootpMacCfgPath;             // the system directory
    // The platform's facts and default paths.
    static ServerEnvironment FromPlatform();
};

// A node-status member as the server keeps it in its queue: a copy, so the engine
// may go away meanwhile.
struct MemberSnapshot {
    uint16_t nodeType = 0;
    uint32_t address = 0;
    MacBytes mac{};
    bool online = false;
    uint8_t role = 0;
    std::optional<ImageVersion> software;

    static MemberSnapshot Of(const CNS2Node& node);
};

struct QueuedMessage {
    uint32_t code = 0;
    std::string text;  // at most 80 characters
};

class Server : private CNS2::LifetimeObserver {
public:
    static constexpr uint32_t kStartupWindowMs = 1000;
    static constexpr uint32_t kProbePeriodMs = 100;
    // The longest the start waits for the reply listener to begin serving.
    static constexpr uint32_t kListenerStartMs = 1000;

    Server();
    ~Server() override;
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    void SetHost(CAddressServer* host);
    CAddressServer* Host() const;

    uint32_t Start(const AddressServerSettings& settings, const ServerEnvironment& environment);
    uint32_t Stop();
    void AddNode(const CNS2Node& node);
    void SetNodeStatus(CNS2* engine);
    void SetMode(uint32_t serverSet, uint32_t runState);

    bool Running() const { return running_; }
    uint8_t Role() const;
    uint32_t Master() const;
    std::optional<NodeEntry> FindNode(uint32_t address) const {
        return tables_.FindByAddress(address);
    }

    // Datagrams on the BOOTP ports that were no BOOTP message, by the reason.
    using BootpDropCounts = os::DropCounts<BootpParseError, 2>;
    const BootpDropCounts& BootpDrops() const { return bootpDrops_; }

    // Reporting: coded messages through the callback task's queues.
    void Queue(int queue, uint32_t code, std::string_view text);
    void Print(std::string_view text);

private:
    class QueueReporter : public Reporter {
    public:
        QueueReporter(Server& server, int queue) : server_(server), queue_(queue) {}
        void Report(uint32_t code, std::string_view text) override {
            server_.Queue(queue_, code, text);
        }
        void Print(std::string_view text) override { server_.Print(text); }

    private:
        Server& server_;
        int queue_;
    };

    void OnNodeStatusDestroyed(CNS2& engine) override;

    uint32_t ReadConfiguration(const ServerEnvironment& environment);
    // Prints a sentence that tells the user what to mend, and answers `code`.
    uint32_t Fail(uint32_t code, const std::string& advice);
    bool StartThread(std::unique_ptr<os::Thread>& thread, uint32_t priority, const char* name,
                     void (Server::*body)());
    uint32_t OpenBootp();
    uint32_t WaitForProbe();
    void CloseBootp();
    void CloseSocket(ServerSocket& socket, std::unique_ptr<os::Thread>& thread,
                     std::atomic<bool>& threadRuns, const char* error, uint32_t code);
    void JoinCallbackTask();

    void CallbackTask();
    int DeliverMessages();
    void HandleMember(const MemberSnapshot& member);
    void CheckVersion(const MemberSnapshot& member);
    void ProbeStep(uint32_t now);
    void PublishRole();

    void BootpServerThread();
    void HandleBootp(std::span<const uint8_t> datagram);
    void ReplyListenerThread();
    void TftpThread();
    void SendTftp(uint32_t address, uint16_t port, const std::vector<uint8_t>& reply);

    BootpDropCounts bootpDrops_;
    QueueReporter bootpReporter_{*this, 0};
    QueueReporter tftpReporter_{*this, 1};
    QueueReporter frameReporter_{*this, 2};

    mutable std::mutex hostMutex_;
    CAddressServer* host_ = nullptr;
    std::mutex printMutex_;

    AddressServerSettings settings_;
    BootpOptions options_;
    uint32_t own_ = 0;
    uint32_t mask_ = 0;
    uint32_t gateway_ = 0;
    std::atomic<bool> running_{false};
    std::atomic<uint32_t> serverSet_{0};
    std::atomic<uint32_t> runState_{0};

    MacFilter filter_;
    TftpFiles files_;
    AddressTables tables_;
    BootpResponder responder_;
    TftpSessions sessions_;
    mutable std::mutex electionMutex_;
    ServerElection election_;

    std::array<MessageRing<QueuedMessage, 16>, 3> messages_;
    MessageRing<MemberSnapshot, 512> members_;
    os::Event wake_{false, false};

    std::mutex engineMutex_;
    CNS2* engine_ = nullptr;
    int publishedRole_ = -1;

    ServerSocket serverSocket_, listenerSocket_, tftpSocket_;
    std::unique_ptr<os::Thread> callbackThread_, serverThread_, listenerThread_, tftpThread_;
    std::atomic<bool> callbackRuns_{false}, serverRuns_{false}, listenerRuns_{false},
        tftpRuns_{false};
    std::atomic<bool> listenerReady_{false};
    os::Event listenerUp_{true, false};  // set when the listener thread has begun to serve
    std::atomic<bool> probeAnswered_{false};
    std::atomic<uint32_t> answeringServer_{0};
    std::atomic<bool> windowArmed_{false};
    std::atomic<uint32_t> windowDeadline_{0};
    uint32_t nextProbe_ = 0;
};

// The process-wide server behind the free functions.
Server& ProcessServer();

}  // namespace addrserver
