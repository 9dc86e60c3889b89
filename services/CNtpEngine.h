// The network time engine: NTP version 3 on UDP port 123 and the group 224.0.1.1,
// among the service hosts of one lighting network. It follows a time source (polls it,
// steps the clock when the offset is large enough) and, once settled, serves time to
// the others. Sources are elected by stratum, then by the lower IPv4 address.
//
//   CSystemClock clock(10);
//   CNtpEngine engine(clock);          // binds port 123, joins 224.0.1.1
//   engine.SetServerMode(1);
//   while (running) { engine.Step(); engine.Rest(INT_MAX, stopFds); }
//
// No thread of its own, no lock: the owner calls Step, resting between steps until a
// datagram arrives, the engine has something to do (a poll, an announcement) or the
// owner's own descriptors wake it, at most as long as the owner says; the rest takes in
// the datagrams that end it, for the next step. The clock and the socket come in through the
// constructor; the millisecond clock is GetMilliseconds.
//
// The clock is stepped only on the agreement of the elected source (StepAgreement): an
// answer or broadcast of anyone else, however good its stratum, moves nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "os/DropCounts.h"
#include "platform/CUdpSocket.h"
#include "services/CClock.h"
#include "services/NtpPacket.h"
#include "services/StepAgreement.h"

class CNtpEngine {
public:
    static constexpr uint16_t kPort = 123;
    static constexpr uint32_t kGroup = 0xE0000101;  // 224.0.1.1
    // The precision sent, a signed power of two of seconds: -20, about a microsecond, as
    // the clock is read. (0x52 would claim 2^82 s, and peers would refuse every answer.)
    static constexpr uint8_t kPrecision = 0xEC;
    static constexpr uint32_t kLocalClockId = 0x4C4F434C;  // "LOCL"
    // The datagrams one step takes in; the socket holds as many.
    static constexpr int kDatagramsPerStep = 100;
    // Where socket failures are told (one line each); the default prints on stdout.
    using Trace = std::function<void(const std::string&)>;

    // Null socket: a CUdpSocket. The clock is not owned.
    explicit CNtpEngine(CClock& clock, std::unique_ptr<UdpEndpoint> socket = nullptr,
                        Trace trace = nullptr);
    // Leaves the group; the socket closes with it.
    ~CNtpEngine();
    CNtpEngine(const CNtpEngine&) = delete;
    CNtpEngine& operator=(const CNtpEngine&) = delete;

    void SetServerMode(uint8_t on);
    // The lighting card's subnet mask (host order): a source that steps the clock must be
    // on the card's own network. Until it is set, 255.255.255.0.
    void SetLocalNetwork(uint32_t mask) { networkMask_ = mask; }
    // Accepted for 3 to 15 when the clock takes it too.
    bool SetStratum(uint8_t stratum);
    // One pass: the announcement check, up to 100 datagrams, a poll when one is due.
    void Step();
    // Rests until a datagram arrives or the next poll or announcement is due, at most
    // `ms` milliseconds; the datagrams that end it are handled by the next Step. One of
    // `wake` (file descriptors) turning readable ends it too: the owner's stop request.
    // After a step with datagrams the rest watches only the socket, for at most 100 ms.
    void Rest(int ms, std::span<const int> wake = {});
    // Milliseconds until the next poll or announcement is due; 0 when one is.
    int MsToNextDeadline() const;
    // The clock's time in seconds plus `offset` (NTP_UNIX_OFFSET gives NTP time).
    double GetNtpTime(double offset) const;
    bool IsServing() const { return pollCount_ >= 3 && serverMode_ == 1; }

    uint8_t GetStratum() const { return stratum_; }
    bool IsSynced() const { return synced_ != 0; }
    uint32_t GetSourceAddress() const { return sourceAddress_; }
    uint8_t GetSourceStratum() const { return sourceStratum_; }
    uint32_t GetLocalAddress() const { return localAddress_; }
    double GetPollInterval() const { return pollInterval_; }
    // Received datagrams that were no NTP packet, by the reason.
    using DropCounts = os::DropCounts<NtpPacketError, 3>;
    const DropCounts& Drops() const { return drops_; }

private:
    void CheckAnnouncement();
    void RestartPollCycle();
    // The first `taken` datagrams of the batch, taken from the socket at engine time `at`;
    // their replies go out together.
    void HandleBatch(size_t taken, double at);
    // `t`: the engine time at which the datagram reached the system.
    void Handle(const uint8_t* data, uint32_t length, uint32_t from, uint16_t port, double t);
    void Reply(NtpPacketFields& request, uint8_t mode, uint32_t to, uint16_t port);
    bool Accepts(uint32_t from, const NtpPacketFields& p, bool broadcast) const;
    void OnServerReply(const NtpPacketFields& p, uint32_t from);
    void OnBroadcast(const NtpPacketFields& p, uint32_t from);
    void ConsiderStep(double offset, uint32_t from, uint8_t stratum);
    void AfterStep(uint32_t from);
    void FollowStratum(uint8_t sourceStratum, uint32_t from);
    void AdjustClock(double offset);
    void Poll();
    void Announce(uint8_t stratum);
    void Send(uint32_t to, uint16_t port, const NtpPacketFields& p, bool originateFromRaw);
    void FlushReplies();
    void NoteSend(UdpStatus status);
    void Report(const std::string& what, UdpStatus status);

    CClock& clock_;
    std::unique_ptr<UdpEndpoint> socket_;
    Trace trace_;
    uint8_t stratum_;
    uint8_t sourceStratum_ = 15;
    uint8_t missedPolls_ = 0;
    uint32_t sourceAddress_ = 0;
    uint32_t localAddress_ = 0;
    uint32_t pollCount_ = 0;
    double stepThreshold_ = 0;
    double lastPoll_ = 0;
    double offsetThreshold_ = 0;
    double pollInterval_ = 0.5;
    uint32_t holdTimer_ = 0;
    uint8_t serverMode_ = 0;
    uint8_t synced_ = 0;
    uint8_t startPending_ = 1;
    uint8_t announceRequest_ = 0;
    // The transmit timestamp of our last poll: a server's reply must echo it.
    NtpTimestampBytes lastPollStamp_{};
    uint32_t pollNumber_ = 0;  // polls sent, so agreement counts consecutive ones
    uint32_t networkMask_ = 0xFFFFFF00;
    StepAgreement agreement_;
    bool sendFailing_ = false;
    static constexpr size_t kBatch = 16;  // datagrams taken, and replies sent, per system call
    std::vector<uint8_t> buffer_;
    std::array<UdpDatagram, kBatch> batch_;
    bool rested_ = false;  // the rest took in what was waiting, for the next step
    size_t held_ = 0;      // datagrams it took
    bool busy_ = false;    // the last step had datagrams
    // The longest rest while busy: how long a stop may wait once the requests have ended.
    static constexpr int kBusyRestMs = 100;
    double heldAt_ = 0;  // when it took them (engine time)
    // Replies to the batch in hand, sent together once it is handled.
    struct PendingReply {
        uint32_t to = 0;
        uint16_t port = 0;
        std::array<uint8_t, NTP_PACKET_LENGTH> bytes{};
    };
    std::array<PendingReply, kBatch> replies_;
    size_t replyCount_ = 0;
    DropCounts drops_;
};
