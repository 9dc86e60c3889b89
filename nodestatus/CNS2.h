// The node-status engine. It multicasts its own record on the status group, keeps a
// record of every member it hears (keyed by hardware address and application id),
// reports members that come on line, change or go off line through two virtual
// operations, and elects among relay-capable members the one that relays records by
// unicast to members outside the group.
//
// Threads: the work thread handles packets, timers and the virtual operations while
// holding the engine's lock; any other thread that reads records takes the same lock
// (Lock) or works on copies (CopyNodes).
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "nodestatus/CNS2Node.h"
#include "nodestatus/NS2Packet.h"
#include "nodestatus/NS2Transport.h"
#include "os/DropCounts.h"
#include "os/Event.h"
#include "os/Thread.h"

constexpr uint32_t NS2_S_OK = 0x01F40000;
constexpr uint32_t NS2_E_NO_FACTORY = 0x81F40003;
constexpr uint32_t NS2_E_NO_CONNECTION = 0x81F40006;
constexpr uint32_t NS2_E_NO_THREAD = 0x81F40018;
constexpr uint32_t NS2_E_STATE = 0x81F40021;  // already running, or idle

constexpr uint16_t NS2_PORT = 6107;
constexpr uint32_t NS2_GROUP = 0xEC010002;  // 236.1.0.2
constexpr uint32_t NS2_RELAY_INTERVAL = 600000;
constexpr uint32_t NS2_MIN_REPORT_INTERVAL = 500;
constexpr uint32_t NS2_EXPIRY_INTERVALS = 3;
constexpr uint32_t NS2_SWEEP_PERIOD = 1000;
constexpr uint32_t NS2_BURST_SPACING = 1500;
constexpr uint32_t NS2_BURST_PACKETS = 6;

// Engine modes.
constexpr int NS2_MODE_MEMBER = 0;
constexpr int NS2_MODE_RELAY_NEEDED = 1;   // does not join the group
constexpr int NS2_MODE_RELAY_CAPABLE = 2;  // may relay for others

class CXPort;

class CNS2 {
public:
    // Told when an engine goes away, so that nobody keeps using it afterwards.
    class LifetimeObserver {
    public:
        virtual ~LifetimeObserver() = default;
        virtual void OnNodeStatusDestroyed(CNS2& engine) = 0;
    };

    // `unused` is accepted for the callers' sake and not read. `idle` 1 means the
    // engine starts idle until CreateWorkThread.
    CNS2(uint32_t unused, uint16_t port, uint32_t group, uint16_t nodeType, uint32_t sessionId,
         const char* name, bool idle, int mode, uint32_t queueLimit);
    virtual ~CNS2();
    CNS2(const CNS2&) = delete;
    CNS2& operator=(const CNS2&) = delete;

    // A member came on line, restarted or changed (IsUpdate tells a change). Work thread.
    virtual void OnNodeOnline(CNS2Node& node) = 0;
    // A member went off line or restarted. Work thread.
    virtual void OnNodeOffline(CNS2Node& node) = 0;
    // The own hardware address, when the subclass knows it better than the adapter.
    virtual bool GetOwnMacAddress(VavMacAddress& mac);

    // Attaches to the transport port (multicast protocol 8, no notify thread) and starts
    // the work thread; NS2_S_OK or an NS2_E_ code.
    uint32_t CreateWorkThread(CXPort* port);
    // The same over another transport (the service host's, or a test's).
    uint32_t CreateWorkThread(NS2Transport* transport);
    // Marks the own record off line, ends the work thread, sends the final status and
    // gives the transport back. NS2_S_OK.
    uint32_t Stop();
    // One announce packet (form 2) to the status group.
    void SendInitialStatus();

    // At least 500 ms; the next report goes out at once and opens a start-up burst.
    void SetReportInterval(uint32_t ms);
    void SetStatusBit2(bool on) { SetStatusBit(2, on); }
    void SetStatusBit5(bool on) { SetStatusBit(5, on); }
    void SetStatusBit(int bit, bool on);
    void SetStatusByte1(uint8_t nodeId);
    // 0 stopped, 1 primary, 2 backup, 3 active; values above 3 are ignored.
    void SetServerRole(uint8_t role);
    // How long one work step may spend taking in packets (default 20 ms).
    void SetReceiveBudget(uint32_t ms) { receiveBudget_ = ms; }

    // Reading the members from another thread: hold the lock while walking.
    std::unique_lock<std::recursive_mutex> Lock() const {
        return std::unique_lock<std::recursive_mutex>(mutex_);
    }
    // The newest member; the own record is not in the list. Under Lock.
    CNS2Node* GetFirstNode() const { return first_; }
    std::vector<CNS2Node> CopyNodes() const;
    CNS2Node CopyOwnNode() const;
    int32_t GetOnlineCount() const;
    bool IsRunning() const { return !idle_; }
    // Work steps the work thread has finished: a test that moved the clock waits for the
    // next whole step instead of sleeping for a guess of wall time.
    uint64_t CompletedSteps() const { return steps_.load(std::memory_order_acquire); }

    // Received datagrams refused before they touched a record, by the reason.
    using DropCounts = os::DropCounts<NS2PacketError, 6>;
    const DropCounts& Drops() const { return drops_; }

    void AddLifetimeObserver(LifetimeObserver* observer);
    void RemoveLifetimeObserver(LifetimeObserver* observer);

protected:
    // Handles one received datagram as the work thread does (takes the lock).
    void HandlePacket(std::span<const uint8_t> packet, uint32_t now);
    // One work step: join, receive, timers, relay. NS2_E_STATE when idle.
    uint32_t WorkStep();
    // Called on the work thread after each work step, with no lock held. Everything the
    // engine does while it runs happens in a step, so a test's engine wakes its waits
    // here instead of looking at the engine again and again.
    virtual void OnWorkStep() {}

private:
    using Key = std::pair<VavMacAddress, uint8_t>;

    void WorkThread();
    // How long the work thread may rest after a step: 0 when work is left, else until the
    // first timer falls due (os::kInfinite when none is armed).
    uint32_t RestAfterStep();
    std::optional<uint32_t> NextRelay(uint32_t now) const;
    void ReceivePackets(uint32_t stepStart);
    void SendTimer(uint32_t now);
    void SweepTimer(uint32_t now);
    void RelayStep(uint32_t now);
    void RelayRecord(CNS2Node& node, uint32_t now);
    void SendRecord(CNS2Node& node, NS2Form form, uint32_t address);
    void RefreshOwnMac();
    void MarkOnline(CNS2Node& node);
    void ReportRestart(CNS2Node& node);
    void Elect(const CNS2Node& node);
    void SendFinalStatus();
    void DrainVersionRegistry();

    mutable std::recursive_mutex mutex_;
    CNS2Node own_;
    std::map<Key, std::unique_ptr<CNS2Node>> members_;
    CNS2Node* first_ = nullptr;
    int32_t onlineCount_ = 0;

    NS2Transport* transport_ = nullptr;
    std::unique_ptr<NS2Transport> portTransport_;  // over a CXPort we were given
    os::Event arrival_{true, false};
    std::unique_ptr<os::Thread> thread_;
    std::atomic<bool> stopRequest_{false};
    std::atomic<uint64_t> steps_{0};
    std::atomic<bool> idle_;
    bool joined_ = false;
    bool receiveCut_ = false;  // the last step left datagrams queued

    const uint16_t port_;
    const uint32_t group_;
    const uint32_t queueLimit_;
    DropCounts drops_;
    std::atomic<uint32_t> receiveBudget_{20};
    std::vector<uint8_t> receiveBuffer_;

    // Send timer with its start-up burst, sweep timer, relay cursor.
    bool restartSend_ = true;
    bool sendArmed_ = false;
    uint32_t sendDeadline_ = 0;
    bool burst_ = false;
    uint8_t burstCount_ = 0;
    uint32_t sendCount_ = 0;
    bool sweepArmed_ = false;
    uint32_t sweepDeadline_ = 0;
    CNS2Node* relayCursor_ = nullptr;

    std::mutex observersMutex_;
    std::vector<LifetimeObserver*> observers_;
};
