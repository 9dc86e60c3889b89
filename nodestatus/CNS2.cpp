#include "nodestatus/CNS2.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <thread>

#include "nodestatus/XPortNS2Transport.h"
#include "os/Clock.h"
#include "platform/Logger.h"
#include "platform/NetAdapter.h"
#include "platform/VavVersionRegistry.h"
#include "platform/XPortHeader.h"

namespace {

constexpr NS2ProtocolVersion kEngineVersion = {3, 1, 2};
constexpr uint32_t kReceiveBufferSize = 0x8000;
constexpr uint32_t kRelaySpacing = 500;
constexpr uint8_t kRelayLongFormsAfter = 5;

bool Reached(uint32_t now, uint32_t deadline) {
    return os::TickReached(now, deadline);
}

// Three lines: a row of stars, the text, the row again.
void LogBanner(const char* stars, const char* text) {
    VAV_LOG(LOG_INFO, "%s", stars);
    VAV_LOG(LOG_INFO, "%s", text);
    VAV_LOG(LOG_INFO, "%s", stars);
}

constexpr const char* kEngineStars = "***************";
constexpr const char* kThreadStars = "*******************************";

}  // namespace

CNS2::CNS2(uint32_t /*unused*/, uint16_t port, uint32_t group, uint16_t nodeType,
           uint32_t sessionId, const char* name, bool idle, int mode, uint32_t queueLimit)
    : idle_(idle),
      port_(port),
      group_(group),
      queueLimit_(queueLimit),
      receiveBuffer_(kReceiveBufferSize) {
    own_.online_ = true;
    own_.SetNodeType(nodeType);
    own_.SetSessionId(sessionId);
    own_.SetName(name != nullptr ? name : "");
    uint32_t status = 0;
    if (mode == NS2_MODE_RELAY_NEEDED)
        status |= NS2_STATUS_RELAY_NEEDED;
    if (mode == NS2_MODE_RELAY_CAPABLE)
        status |= NS2_STATUS_RELAYING | NS2_STATUS_RELAY_CAPABLE;
    own_.SetStatusWord(status);
    // The long form carries every version registered in the process, ours included.
    VavVersionRegistry* registry = GetVersionRegistry();
    registry->SetProtocolVersion(
        NS2_PROTOCOL_ID,
        KoltPVersion(kEngineVersion.major, kEngineVersion.minor, kEngineVersion.build));
    registry->SetProtocolVersionsListener(&own_);
    registry->SetComponentVersionsListener(&own_);
    LogBanner(kEngineStars, "* NS2 Started *");
}

CNS2::~CNS2() {
    Stop();
    std::vector<LifetimeObserver*> observers;
    {
        std::lock_guard lock(observersMutex_);
        observers.swap(observers_);
    }
    for (auto* o : observers) o->OnNodeStatusDestroyed(*this);
    VavVersionRegistry* registry = GetVersionRegistry();
    registry->SetProtocolVersionsListener(nullptr);
    registry->SetComponentVersionsListener(nullptr);
    LogBanner(kEngineStars, "* NS2 Stopped *");
}

bool CNS2::GetOwnMacAddress(VavMacAddress&) {
    return false;
}

void CNS2::AddLifetimeObserver(LifetimeObserver* observer) {
    std::lock_guard lock(observersMutex_);
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void CNS2::RemoveLifetimeObserver(LifetimeObserver* observer) {
    std::lock_guard lock(observersMutex_);
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

uint32_t CNS2::CreateWorkThread(CXPort* port) {
    if (port == nullptr)
        return NS2_E_NO_FACTORY;
    std::lock_guard lock(mutex_);
    if (!idle_)
        return NS2_E_STATE;
    portTransport_ = std::make_unique<XPortNS2Transport>(*port);
    return CreateWorkThread(portTransport_.get());
}

uint32_t CNS2::CreateWorkThread(NS2Transport* transport) {
    std::lock_guard lock(mutex_);
    if (!idle_)
        return NS2_E_STATE;
    if (transport == nullptr)
        return NS2_E_NO_FACTORY;
    if (!transport->Attach(queueLimit_, &arrival_))
        return NS2_E_NO_CONNECTION;
    transport_ = transport;
    stopRequest_ = false;
    own_.sourceAppId_ = transport->AppId();
    own_.SetIpAddress(transport->LocalAddress());
    own_.online_ = true;
    RefreshOwnMac();
    restartSend_ = true;
    sweepArmed_ = false;
    thread_ = std::make_unique<os::Thread>([this] { WorkThread(); });
    if (!thread_->Valid()) {
        thread_.reset();
        VAV_LOG(LOG_ERR, "Could not create work thread");
        return NS2_E_NO_THREAD;
    }
    idle_ = false;
    thread_->SetPriority(os::ThreadPriority::Normal);
    thread_->SetName("NS2Work");
    thread_->Resume();
    return NS2_S_OK;
}

void CNS2::WorkThread() {
    LogBanner(kThreadStars, "* NS2 : Work Thread Started *");
    // The first step joins the group and arms the timers.
    uint32_t rest = 0;
    while (true) {
        // Rest until a datagram arrives, a setter or Stop wakes us, or the next timer is due.
        if (os::WaitEvent(arrival_, rest) == os::WaitResult::Signaled)
            arrival_.Reset();
        if (stopRequest_)
            break;
        WorkStep();
        rest = RestAfterStep();
        steps_.fetch_add(1, std::memory_order_release);
        OnWorkStep();
    }
    LogBanner(kThreadStars, "* NS2 : Work Thread Stopped *");
}

uint32_t CNS2::RestAfterStep() {
    std::lock_guard lock(mutex_);
    const uint32_t now = os::TickCount();
    if (receiveCut_ || restartSend_ || !sweepArmed_ ||
        (!joined_ && !(own_.status_ & NS2_STATUS_RELAY_NEEDED)))
        return 0;
    std::optional<uint32_t> due;
    const auto consider = [&](uint32_t deadline) {
        if (!due || static_cast<int32_t>(deadline - *due) < 0)
            due = deadline;
    };
    if (sendArmed_)
        consider(sendDeadline_);
    // A sweep finds nothing while nobody is on line; the next packet brings it back.
    if (onlineCount_ > 0)
        consider(sweepDeadline_);
    if (const auto relay = NextRelay(now))
        consider(*relay);
    if (!due)
        return os::kInfinite;
    return Reached(now, *due) ? 0 : *due - now;
}

std::optional<uint32_t> CNS2::NextRelay(uint32_t now) const {
    const uint32_t relaying = NS2_STATUS_RELAY_CAPABLE | NS2_STATUS_RELAYING;
    if ((own_.status_ & relaying) != relaying || onlineCount_ < 1 || first_ == nullptr)
        return std::nullopt;
    // The cursor moves one record a step, so a record that is due brings steps until the
    // cursor reaches it.
    std::optional<uint32_t> due;
    for (auto* n = first_; n != nullptr; n = n->next_.node) {
        uint32_t at = 0;
        if (n->lastRelay_ != 0)
            at = n->lastRelay_ + kRelaySpacing;
        else if (n->online_)
            at = now;
        else
            continue;
        if (!due || static_cast<int32_t>(at - *due) < 0)
            due = at;
    }
    return due;
}

uint32_t CNS2::WorkStep() {
    if (idle_)
        return NS2_E_STATE;
    const uint32_t start = os::TickCount();
    {
        std::lock_guard lock(mutex_);
        if (!joined_ && !(own_.status_ & NS2_STATUS_RELAY_NEEDED)) {
            joined_ = true;
            own_.SetIpAddress(transport_->LocalAddress());
            transport_->Join(group_, port_);
        }
    }
    ReceivePackets(start);
    std::lock_guard lock(mutex_);
    const uint32_t now = os::TickCount();
    SendTimer(now);
    SweepTimer(now);
    if ((own_.status_ & NS2_STATUS_RELAY_CAPABLE) != 0)
        RelayStep(now);
    return NS2_S_OK;
}

void CNS2::ReceivePackets(uint32_t stepStart) {
    uint32_t address = 0;
    uint16_t port = 0;
    size_t length = 0;
    bool cut = false;
    while (transport_->Receive(address, port, receiveBuffer_, length)) {
        HandlePacket(std::span<const uint8_t>(receiveBuffer_.data(), length), os::TickCount());
        if (os::TickCount() - stepStart > receiveBudget_) {
            cut = true;  // what is still queued is taken by the next step, at once
            break;
        }
    }
    std::lock_guard lock(mutex_);
    receiveCut_ = cut;
}

void CNS2::HandlePacket(std::span<const uint8_t> packet, uint32_t now) {
    // Refuse anything that is not a whole node-status packet before it touches a record.
    if (const NS2PacketError error = NS2CheckPacket(packet); error != NS2PacketError::None) {
        drops_.Count(error);
        return;
    }
    const Key key{VavMacAddress(packet.data() + 14, 6), XPortHdrGetSrcApp(packet.data())};
    bool newSession = false;

    std::lock_guard lock(mutex_);
    if (key.first == own_.mac_ && key.second == own_.sourceAppId_)
        return;  // our own echo
    auto& slot = members_[key];
    if (!slot) {
        slot = std::make_unique<CNS2Node>(key.first, key.second);
        slot->next_.node = first_;
        first_ = slot.get();
    }
    CNS2Node& node = *slot;
    node.changed_ = false;
    NS2ParsePacket(node, packet, newSession);
    node.newSession_ = newSession;
    node.lastHeard_ = now;
    if (!node.online_ && node.interval_ == 0)
        return;  // departing, and not known on line
    node.expiry_ = now + NS2_EXPIRY_INTERVALS * node.interval_;
    Elect(node);
    if (!node.online_) {
        MarkOnline(node);
    } else if (node.newSession_) {
        ReportRestart(node);
    } else if (node.changed_) {
        node.update_ = true;
        OnNodeOnline(node);
        node.update_ = false;
    }
}

void CNS2::Elect(const CNS2Node& node) {
    const uint32_t relaying = NS2_STATUS_RELAY_CAPABLE | NS2_STATUS_RELAYING;
    if ((node.status_ & relaying) == relaying && node.ip_ < own_.ip_ &&
        (own_.status_ & NS2_STATUS_RELAYING) != 0) {
        VAV_LOG(LOG_DBG, "spoofing node with lower IP address found; I don't have to spoof!!!\n");
        own_.status_ &= ~NS2_STATUS_RELAYING;
    }
}

void CNS2::MarkOnline(CNS2Node& node) {
    ++onlineCount_;
    if (own_.status_ & NS2_STATUS_RELAY_CAPABLE) {
        for (auto* n = first_; n != nullptr; n = n->next_.node) n->relayCount_ = 0;
    }
    node.online_ = true;
    restartSend_ = true;
    OnNodeOnline(node);
}

void CNS2::ReportRestart(CNS2Node& node) {
    --onlineCount_;
    node.online_ = false;
    OnNodeOffline(node);
    ++onlineCount_;
    node.online_ = true;
    node.newSession_ = false;
    node.seenOffline_ = true;
    OnNodeOnline(node);
}

void CNS2::RefreshOwnMac() {
    VavMacAddress mac;
    if (GetOwnMacAddress(mac)) {
        own_.SetMacAddress(mac);
        return;
    }
    uint8_t bytes[6] = {};
    if (GetLocalMacAddress(bytes, 6) == 6) {
        own_.SetMacAddress(VavMacAddress(bytes, 6));
        return;
    }
    // No adapter address: the transport's IPv4 address (little-endian) and FF FF.
    const uint32_t ip = transport_ != nullptr ? transport_->LocalAddress() : 0;
    const uint8_t fallback[6] = {static_cast<uint8_t>(ip),
                                 static_cast<uint8_t>(ip >> 8),
                                 static_cast<uint8_t>(ip >> 16),
                                 static_cast<uint8_t>(ip >> 24),
                                 0xFF,
                                 0xFF};
    own_.SetMacAddress(VavMacAddress(fallback, 6));
}

void CNS2::SendTimer(uint32_t now) {
    if (restartSend_) {
        restartSend_ = false;
        sendArmed_ = true;
        sendDeadline_ = now + 1;
        burst_ = true;
        burstCount_ = 0;
        RefreshOwnMac();
        return;
    }
    if (!sendArmed_ || !Reached(now, sendDeadline_))
        return;
    sendArmed_ = false;
    uint32_t next = own_.interval_;
    if (burst_) {
        SendRecord(own_, NS2Form::Long, group_);
        // Burst packets never come further apart than the report interval: receivers
        // expire a member three intervals after its last packet.
        if (++burstCount_ < NS2_BURST_PACKETS)
            next = own_.interval_ != 0 ? std::min(NS2_BURST_SPACING, own_.interval_)
                                       : NS2_BURST_SPACING;
        else
            burst_ = false;
    } else {
        const bool longForm = own_.interval_ >= 30000 || ++sendCount_ >= 20;
        if (longForm)
            sendCount_ = 0;
        SendRecord(own_, longForm ? NS2Form::Long : NS2Form::Regular, group_);
    }
    if (next != 0) {
        sendArmed_ = true;
        sendDeadline_ = now + next;
    }
}

void CNS2::SweepTimer(uint32_t now) {
    if (!sweepArmed_) {
        sweepArmed_ = true;
        sweepDeadline_ = now + NS2_SWEEP_PERIOD;
        return;
    }
    if (!Reached(now, sweepDeadline_))
        return;
    sweepDeadline_ = now + NS2_SWEEP_PERIOD;
    const uint32_t relaying = NS2_STATUS_RELAY_CAPABLE | NS2_STATUS_RELAYING;
    for (auto* n = first_; n != nullptr; n = n->next_.node) {
        if (!n->online_ || !Reached(now, n->expiry_))
            continue;
        --onlineCount_;
        n->online_ = false;
        n->seenOffline_ = true;
        n->relayCount_ = 0;
        if ((own_.status_ & NS2_STATUS_RELAY_CAPABLE) && (n->status_ & relaying) == relaying) {
            VAV_LOG(LOG_DBG, "spoofing node has gone offline; I am spoofing now!!!\n");
            own_.status_ |= NS2_STATUS_RELAYING;
        }
        OnNodeOffline(*n);
    }
}

void CNS2::RelayStep(uint32_t now) {
    if ((own_.status_ & NS2_STATUS_RELAYING) == 0 || onlineCount_ < 1 || first_ == nullptr)
        return;
    relayCursor_ = relayCursor_ != nullptr && relayCursor_->next_.node != nullptr
                       ? relayCursor_->next_.node
                       : first_;
    RelayRecord(*relayCursor_, now);
}

void CNS2::RelayRecord(CNS2Node& node, uint32_t now) {
    if (node.lastRelay_ != 0 ? now - node.lastRelay_ < kRelaySpacing : !node.online_)
        return;
    const uint32_t saved = node.interval_;
    node.interval_ = node.online_ ? NS2_RELAY_INTERVAL : 0;
    NS2Form form = NS2Form::Long;
    if (node.relayCount_ < kRelayLongFormsAfter) {
        ++node.relayCount_;
        form = node.online_ ? NS2Form::Long : NS2Form::Regular;
    }
    for (auto* m = first_; m != nullptr; m = m->next_.node) {
        if (m->online_ && (m->status_ & NS2_STATUS_RELAY_NEEDED))
            SendRecord(node, form, m->ip_);
    }
    node.lastRelay_ = now != 0 ? now : 1;
    node.interval_ = saved;
}

void CNS2::DrainVersionRegistry() {
    VavVersionRegistry* registry = GetVersionRegistry();
    VavVersionRegistry::ProtocolMap protocols;
    if (registry->DrainProtocolVersions(protocols)) {
        for (const auto& [id, v] : protocols)
            own_.SetProtocolVersion(id, {v.getMajor(), v.getMinor(), v.getBuild()});
    }
    VavVersionRegistry::ComponentMap components;
    if (registry->DrainComponentVersions(components)) {
        for (const auto& [id, v] : components) {
            own_.SetComponentVersion(
                id, {static_cast<uint8_t>(v.GetMajor()), static_cast<uint8_t>(v.GetMinor()),
                     static_cast<uint8_t>(v.GetPatch()), static_cast<uint8_t>(v.GetReleaseStage()),
                     static_cast<uint8_t>(v.GetPatchDigit()), v.GetBuild()});
        }
    }
}

void CNS2::SendRecord(CNS2Node& node, NS2Form form, uint32_t address) {
    if (transport_ == nullptr)
        return;
    if (own_.status_ & NS2_STATUS_RELAY_NEEDED)
        own_.SetIpAddress(transport_->LocalAddress());
    if (&node == &own_ && form == NS2Form::Long)
        DrainVersionRegistry();
    std::array<uint8_t, NS2_MAX_PACKET> packet;
    size_t length = NS2BuildPacket(node, form, kEngineVersion.major, kEngineVersion.minor, packet);
    transport_->Send(address, port_, std::span<const uint8_t>(packet.data(), length));
}

void CNS2::SendInitialStatus() {
    std::lock_guard lock(mutex_);
    SendRecord(own_, NS2Form::Announce, group_);
}

void CNS2::SetReportInterval(uint32_t ms) {
    std::lock_guard lock(mutex_);
    own_.SetReportInterval(std::max(ms, NS2_MIN_REPORT_INTERVAL));
    restartSend_ = true;
    arrival_.Set();
}

void CNS2::SetStatusBit(int bit, bool on) {
    std::lock_guard lock(mutex_);
    const uint32_t mask = 1u << bit;
    own_.SetStatusWord(on ? own_.status_ | mask : own_.status_ & ~mask);
    arrival_.Set();  // the join and the relay follow some of the bits
}

void CNS2::SetStatusByte1(uint8_t nodeId) {
    std::lock_guard lock(mutex_);
    own_.SetStatusWord((own_.status_ & ~(0xFFu << NS2_STATUS_NODE_ID_SHIFT)) |
                       (uint32_t{nodeId} << NS2_STATUS_NODE_ID_SHIFT));
}

void CNS2::SetServerRole(uint8_t role) {
    if (role > 3)
        return;
    std::lock_guard lock(mutex_);
    own_.SetStatusWord((own_.status_ & ~NS2_STATUS_ROLE_MASK) |
                       (uint32_t{role} << NS2_STATUS_ROLE_SHIFT));
}

std::vector<CNS2Node> CNS2::CopyNodes() const {
    std::lock_guard lock(mutex_);
    std::vector<CNS2Node> nodes;
    for (auto* n = first_; n != nullptr; n = n->next_.node) nodes.push_back(*n);
    return nodes;
}

CNS2Node CNS2::CopyOwnNode() const {
    std::lock_guard lock(mutex_);
    return own_;
}

int32_t CNS2::GetOnlineCount() const {
    std::lock_guard lock(mutex_);
    return onlineCount_;
}

void CNS2::SendFinalStatus() {
    std::unique_lock lock(mutex_);
    // Five sends, `spacing` apart, without holding the lock while waiting.
    auto fiveTimes = [&](int spacing, const std::function<void()>& send) {
        for (int i = 0; i < 5; ++i) {
            if (i > 0) {
                lock.unlock();
                os::Sleep(static_cast<uint32_t>(spacing));
                lock.lock();
            }
            send();
        }
    };
    if (!(own_.status_ & NS2_STATUS_RELAY_CAPABLE)) {
        // Receivers take interval 0 as "going off line"; the interval is restored
        // afterwards so that a later start reports normally again.
        const uint32_t saved = own_.interval_;
        own_.interval_ = 0;
        fiveTimes(20, [&] { SendRecord(own_, NS2Form::Regular, group_); });
        own_.interval_ = saved;
        return;
    }
    own_.relayCount_ = 0;
    fiveTimes(100, [&] { RelayRecord(own_, os::TickCount()); });
}

uint32_t CNS2::Stop() {
    {
        std::lock_guard lock(mutex_);
        own_.online_ = false;
    }
    stopRequest_ = true;
    arrival_.Set();
    if (thread_) {
        thread_->Join();
        thread_.reset();
    }
    if (transport_ == nullptr)
        return NS2_S_OK;
    SendFinalStatus();
    std::lock_guard lock(mutex_);
    if (joined_ && !(own_.status_ & NS2_STATUS_RELAY_NEEDED))
        transport_->Leave(group_, port_);
    joined_ = false;
    idle_ = true;
    transport_->Detach();
    transport_ = nullptr;
    portTransport_.reset();
    return NS2_S_OK;
}
