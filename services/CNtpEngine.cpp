#include "services/CNtpEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>
#include <utility>

#include "platform/VavClock.h"

namespace {

constexpr double kFractionScale = 4294967296.0;
constexpr double kMaxPollInterval = 300;
constexpr double kRestartPollInterval = 0.125;
constexpr double kHoldOff = 300 + 10;  // no poll after a step by another server
constexpr uint32_t kHoldTimerMs = 2000;

// The hold timer is started with its low bit forced on (0 means "not running"), so a reading
// in the same millisecond can lie one before it: that is no time at all, not 2^32 - 1 ms.
uint32_t Since(uint32_t then) {
    const auto elapsed = static_cast<int32_t>(GetMilliseconds() - then);
    return elapsed < 0 ? 0 : static_cast<uint32_t>(elapsed);
}

std::string Dotted(uint32_t a) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", a >> 24, (a >> 16) & 0xFF, (a >> 8) & 0xFF,
                  a & 0xFF);
    return text;
}

void PrintLine(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

CNtpEngine::CNtpEngine(CClock& clock, std::unique_ptr<UdpEndpoint> socket, Trace trace)
    : clock_(clock),
      socket_(socket ? std::move(socket) : std::make_unique<CUdpSocket>()),
      trace_(trace ? std::move(trace) : Trace(PrintLine)),
      stratum_(clock.GetStratum()),
      buffer_(kBatch * UdpEndpoint::kMaxDatagram) {
    for (size_t i = 0; i < kBatch; ++i)
        batch_[i] = {&buffer_[i * UdpEndpoint::kMaxDatagram], UdpEndpoint::kMaxDatagram};
    uint32_t s = 0, f = 0;
    clock_.GetResolution(s, f);
    offsetThreshold_ = stepThreshold_ =
        static_cast<uint32_t>(~s) + static_cast<uint32_t>(~f) / kFractionScale;
    holdTimer_ = GetMilliseconds() | 1;
    localAddress_ = socket_->GetLocalAddress();
    Report("binding UDP port 123", socket_->Open(kPort));
    Report("joining 224.0.1.1", socket_->JoinGroup(kGroup));
    Report("reserving room for 100 datagrams", socket_->ReserveDatagrams(kDatagramsPerStep));
}

CNtpEngine::~CNtpEngine() {
    socket_->LeaveGroup(kGroup);
}

void CNtpEngine::Report(const std::string& what, UdpStatus status) {
    char code[16];
    std::snprintf(code, sizeof code, "%08X", static_cast<uint32_t>(status));
    if (UdpFailed(status))
        trace_("NTP: " + what + " failed, code " + code);
}

void CNtpEngine::SetServerMode(uint8_t on) {
    synced_ = 0;
    serverMode_ = on;
    sourceStratum_ = 15;
}

bool CNtpEngine::SetStratum(uint8_t stratum) {
    if (stratum < 3 || stratum > 15 || clock_.SetStratum(stratum) != stratum)
        return false;
    stratum_ = stratum;
    return true;
}

double CNtpEngine::GetNtpTime(double offset) const {
    uint32_t s = 0, f = 0;
    clock_.GetTime(s, f);
    return s + f / kFractionScale + offset;
}

void CNtpEngine::Step() {
    CheckAnnouncement();
    // Datagrams are taken in batches, one system call each; a batch that is not full
    // emptied the queue. The rest may have taken the first batch already.
    size_t left = kDatagramsPerStep;
    bool full = true;
    if (std::exchange(rested_, false)) {
        const size_t taken = std::exchange(held_, 0);
        HandleBatch(taken, heldAt_);
        full = taken == batch_.size();
        left -= taken;
    }
    while (full && left > 0) {
        const std::span<UdpDatagram> batch = std::span(batch_).first(std::min(left, batch_.size()));
        size_t taken = 0;
        const UdpStatus s = socket_->ReceiveStampedMany(batch, &taken);
        if (UdpFailed(s)) {
            if (s != UDPSOCK_E_NOTHING)
                Report("receiving", s);
            break;
        }
        HandleBatch(taken, GetNtpTime(NTP_UNIX_OFFSET));
        full = taken == batch.size();
        left -= taken;
    }
    Poll();
}

void CNtpEngine::HandleBatch(size_t taken, double at) {
    busy_ = busy_ || taken > 0;
    for (const UdpDatagram& d : std::span(batch_).first(taken))
        Handle(d.buffer, d.length, d.address, d.port, at - d.waited);
    FlushReplies();
}

void CNtpEngine::Rest(int ms, std::span<const int> wake) {
    if (held_ > 0)
        return;  // the next step has work already
    size_t taken = 0;
    int limit = std::min(ms, MsToNextDeadline());
    // While requests come in, the rest is the socket's own wait alone, one system call
    // that sleeps and takes the next batch; the owner's descriptors are watched again
    // from the first rest that ends with nothing, a moment after the last request.
    if (std::exchange(busy_, false)) {
        limit = std::min(limit, kBusyRestMs);
        wake = {};
    }
    const UdpStatus s = socket_->ReceiveWaiting(batch_, &taken, limit, wake);
    // A rest that ended with nothing spares the step its own look; a failure is told by
    // the step's own receive.
    rested_ = s == UDPSOCK_S_OK || s == UDPSOCK_E_NOTHING;
    held_ = taken;
    heldAt_ = GetNtpTime(NTP_UNIX_OFFSET);
}

int CNtpEngine::MsToNextDeadline() const {
    constexpr double kFar = 1e9;
    const double toPoll = (lastPoll_ + pollInterval_ - GetNtpTime(NTP_UNIX_OFFSET)) * 1000;
    double ms = std::ceil(toPoll);
    // The announcement check acts once the hold timer has run out, when it has something
    // to do: the start announcement, or a requested restart of the polls.
    const bool acts = startPending_ || (announceRequest_ && (synced_ || IsServing()));
    if (acts && holdTimer_ == 0)
        ms = 0;
    else if (acts)
        ms = std::min(ms, static_cast<double>(int64_t{kHoldTimerMs} + 1 - Since(holdTimer_)));
    return static_cast<int>(std::clamp(ms, 0.0, kFar));
}

// `t` is the arrival, not the moment the loop came round to it: a client that measures
// its delay to us then sees the network's, not our scheduler's.
void CNtpEngine::Handle(const uint8_t* data, uint32_t length, uint32_t from, uint16_t port,
                        double t) {
    if (from == localAddress_)
        return;  // our own multicast
    NtpPacketFields p;
    if (const NtpPacketError error = NtpDecode(std::span<const uint8_t>(data, length), t, p);
        error != NtpPacketError::None) {
        drops_.Count(error);
        return;
    }
    switch (p.mode) {
        case NTP_MODE_SYMMETRIC_ACTIVE:
            p.receiveTime = t;
            Reply(p, NTP_MODE_SYMMETRIC_PASSIVE, from, port);
            break;
        case NTP_MODE_CLIENT:
            p.receiveTime = t;
            Reply(p, NTP_MODE_SERVER, from, port);
            break;
        case NTP_MODE_SERVER:
            p.arrivalTime = t;
            OnServerReply(p, from);
            break;
        case NTP_MODE_BROADCAST:
            OnBroadcast(p, from);
            break;
        default:
            break;
    }
}

void CNtpEngine::Reply(NtpPacketFields& request, uint8_t mode, uint32_t to, uint16_t port) {
    if (!IsServing())
        return;
    // Peers of a better stratum do not ask us; of equal ones, the lower address serves.
    if (request.stratum != 0 && request.stratum <= stratum_) {
        if (request.stratum < stratum_ || to <= localAddress_)
            return;
    }
    NtpPacketFields r = request;
    r.leap = 0;
    r.version = 3;
    r.mode = mode;
    r.stratum = stratum_;
    r.precision = kPrecision;
    r.rootDispersion = 0;
    r.refId = sourceAddress_;
    r.originateRaw = request.transmitRaw;
    r.referenceTime = r.transmitTime = GetNtpTime(NTP_UNIX_OFFSET);
    if (replyCount_ == replies_.size())
        FlushReplies();
    replies_[replyCount_++] = {to, port, NtpEncode(r, true)};
}

void CNtpEngine::FlushReplies() {
    std::array<UdpOutgoing, kBatch> out;
    for (size_t i = 0; i < replyCount_; ++i) {
        const PendingReply& r = replies_[i];
        out[i] = {r.to, r.port, r.bytes.data(), static_cast<uint32_t>(r.bytes.size())};
    }
    if (replyCount_ > 0)
        NoteSend(socket_->SendMany(std::span(out).first(replyCount_)));
    replyCount_ = 0;
}

bool CNtpEngine::Accepts(uint32_t from, const NtpPacketFields& p, bool broadcast) const {
    // An unsynchronised or impossible server never sets our clock.
    if (p.stratum == 0 || p.stratum > 15 || p.leap == NTP_LEAP_UNSYNCHRONISED)
        return false;
    const uint8_t s = p.stratum;
    if (synced_ && from == sourceAddress_)
        return true;
    if (s == 1 || s == 2)
        return true;
    if (broadcast && synced_ && s < sourceStratum_)
        return true;
    if (synced_)
        return false;
    if (!IsServing() && pollCount_ == 3)
        return true;
    if (pollCount_ < 3)
        return s <= stratum_;
    return s < stratum_ || (s == stratum_ && from < localAddress_);
}

void CNtpEngine::OnServerReply(const NtpPacketFields& p, uint32_t from) {
    // Only an answer to our own last poll: anything else could be replayed or forged.
    if (p.originateRaw != lastPollStamp_ || !Accepts(from, p, false))
        return;
    const double t1 = p.originateTime, t2 = p.receiveTime, t3 = p.transmitTime, t4 = p.arrivalTime;
    const double back = t3 == 0 ? 0 : t3 - t4;
    const double offset = ((t2 - t1) + back) / 2;
    const double delay = (t2 - t1) - back;
    const double bound = std::min(std::max(delay, (t4 - t1) / 2), 1.0);
    // The election goes first, so that the answer that makes a source counts towards the
    // agreement its steps need.
    if (!synced_) {
        sourceAddress_ = from;
        sourceStratum_ = p.stratum;
        synced_ = 1;
        agreement_.Reset();
    }
    if (std::fabs(offset) > bound && std::fabs(offset) > offsetThreshold_)
        ConsiderStep(offset, from, p.stratum);
    else if (from == sourceAddress_)
        agreement_.Reset();  // the source agrees with our clock
    FollowStratum(p.stratum, from);
    if (from == sourceAddress_)
        missedPolls_ = 0;
}

void CNtpEngine::OnBroadcast(const NtpPacketFields& p, uint32_t from) {
    // A broadcast answers no poll of ours, so anybody can send one with any time in it:
    // it never steps the clock. It still tells a stratum-15 engine that its source lives.
    if (!Accepts(from, p, true))
        return;
    FollowStratum(p.stratum, from);
}

void CNtpEngine::ConsiderStep(double offset, uint32_t from, uint8_t stratum) {
    if (from != sourceAddress_ || (from & networkMask_) != (localAddress_ & networkMask_))
        return;  // only the elected source on the lighting network moves the clock
    char line[200];
    switch (agreement_.Add(pollNumber_, offset, GetNtpTime(NTP_UNIX_OFFSET))) {
        case StepAgreement::Verdict::kWait:
            // The source is asked again at once rather than after the grown interval, as
            // a step would have had it: the agreement takes a second, not minutes.
            if (agreement_.Samples() == 1)
                announceRequest_ = 1;
            return;
        case StepAgreement::Verdict::kRefusedLarge:
            std::snprintf(line, sizeof line,
                          "NTP: refused a step of %+.3f s from %s (stratum %u): more than "
                          "1000 s, taken only once the source has kept it for 60 s",
                          offset, Dotted(from).c_str(), static_cast<unsigned>(stratum));
            trace_(line);
            return;
        case StepAgreement::Verdict::kStep:
            break;
    }
    const double agreed = agreement_.Offset();
    agreement_.Reset();
    std::snprintf(line, sizeof line, "NTP: clock stepped by %+.3f s, source %s (stratum %u)",
                  agreed, Dotted(from).c_str(), static_cast<unsigned>(stratum));
    trace_(line);
    AdjustClock(agreed);
    AfterStep(from);
}

void CNtpEngine::AfterStep(uint32_t from) {
    if (synced_ && from != sourceAddress_)
        lastPoll_ = GetNtpTime(NTP_UNIX_OFFSET) + kHoldOff;
    if (IsServing() && !synced_)
        announceRequest_ = 1;
}

void CNtpEngine::FollowStratum(uint8_t sourceStratum, uint32_t from) {
    if (stratum_ == 15 && sourceStratum < 15 && synced_ && from == sourceAddress_)
        SetStratum(14);
}

void CNtpEngine::AdjustClock(double offset) {
    uint32_t s = 0, f = 0;
    clock_.GetTime(s, f);
    const double size = std::fabs(offset);
    const auto whole = static_cast<uint32_t>(size);
    const auto part = static_cast<uint32_t>((size - whole) * kFractionScale);
    if (offset > 0) {
        const uint64_t sum = uint64_t{f} + part;
        f = static_cast<uint32_t>(sum);
        s += whole + static_cast<uint32_t>(sum >> 32);
    } else {
        if (f < part)
            --s;
        f -= part;
        s -= whole;
    }
    clock_.SetTime(s, f);
    lastPoll_ = GetNtpTime(NTP_UNIX_OFFSET);
}

void CNtpEngine::Poll() {
    const double now = GetNtpTime(NTP_UNIX_OFFSET);
    if (now - lastPoll_ < pollInterval_)
        return;
    if (pollInterval_ < kMaxPollInterval)
        pollInterval_ = std::min(pollInterval_ * 2, kMaxPollInterval);
    if (pollCount_ < 3)
        ++pollCount_;
    lastPoll_ = now;
    ++pollNumber_;
    NtpPacketFields p;
    p.version = 3;
    p.mode = NTP_MODE_CLIENT;
    p.stratum = IsServing() ? stratum_ : 0;
    p.transmitTime = now;
    lastPollStamp_ = NtpEncodeTimestamp(now);
    if (missedPolls_ < 255)
        ++missedPolls_;
    if (missedPolls_ >= 3) {  // the source fell silent
        synced_ = 0;
        sourceStratum_ = 15;
    }
    Send(synced_ ? sourceAddress_ : kGroup, kPort, p, false);
}

void CNtpEngine::Announce(uint8_t stratum) {
    const double now = GetNtpTime(NTP_UNIX_OFFSET);
    NtpPacketFields p;
    p.version = 3;
    p.mode = NTP_MODE_BROADCAST;
    p.stratum = stratum;
    p.poll = 8;
    p.precision = kPrecision;
    p.refId = stratum < 2 ? kLocalClockId : sourceAddress_;
    p.referenceTime = p.originateTime = p.receiveTime = p.transmitTime = now;
    Send(kGroup, kPort, p, false);
}

void CNtpEngine::CheckAnnouncement() {
    if (holdTimer_ != 0 && Since(holdTimer_) > kHoldTimerMs)
        holdTimer_ = 0;
    if (holdTimer_ != 0)
        return;
    if (startPending_) {
        startPending_ = 0;
        announceRequest_ = 0;
        if (IsServing() && !synced_)
            Announce(stratum_);
    } else if (announceRequest_) {
        if (synced_) {
            announceRequest_ = 0;
            RestartPollCycle();
        } else if (IsServing()) {
            announceRequest_ = 0;
            RestartPollCycle();
            pollCount_ = 0;  // settle again before serving
        }
    }
}

void CNtpEngine::RestartPollCycle() {
    holdTimer_ = GetMilliseconds() | 1;
    lastPoll_ = 0;
    pollInterval_ = kRestartPollInterval;
}

void CNtpEngine::Send(uint32_t to, uint16_t port, const NtpPacketFields& p, bool originateFromRaw) {
    const auto bytes = NtpEncode(p, originateFromRaw);
    NoteSend(socket_->SendTo(to, bytes.data(), static_cast<uint32_t>(bytes.size()), port));
}

void CNtpEngine::NoteSend(UdpStatus s) {
    // Told once when sends start failing, not on every poll.
    if (UdpFailed(s) && !sendFailing_)
        Report("sending", s);
    sendFailing_ = UdpFailed(s);
}
