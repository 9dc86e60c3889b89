#include "versiontool/StatusEngine.h"

#include "os/Clock.h"
#include "platform/NetAdapter.h"
#include "platform/VavClock.h"

CStatusEngine::CStatusEngine(uint16_t port, DeviceTable::Decoder decode, UpdateRule rule,
                             std::unique_ptr<UdpEndpoint> socket)
    : port_(port), socket_(std::move(socket)), table_(decode, rule) {}

CStatusEngine::~CStatusEngine() {
    Stop();
}

// Neither the open nor the join is checked: without them the engine runs and hears
// nothing, and the request's send status tells the caller.
UdpStatus CStatusEngine::Start(IDeviceEngineSink* sink) {
    Stop();
    table_.SetSink(sink);
    stop_ = false;
    wake_.Reset();
    timerArmed_ = false;
    buffer_.assign(UdpEndpoint::kMaxDatagram, 0);
    socket_->Open(port_);
    socket_->JoinGroup(kStatusGroup);
    running_ = true;

    // The request goes out before the worker exists, so the socket has one user at a time;
    // the answers wait in the socket for the first poll.
    uint8_t mac[6] = {};
    GetLocalMacAddress(mac, sizeof mac);
    const UdpStatus sent =
        SendRequest(*socket_, mac, socket_->GetLocalAddress(), GetMilliseconds());

    gate_.Enter();  // on behalf of the worker, which leaves it when it ends
    thread_ = std::make_unique<os::Thread>([this] { Worker(); });
    if (thread_->Valid()) {
        thread_->SetPriority(os::ThreadPriority::Normal);
        thread_->SetName(ThreadName());
        thread_->Resume();
    } else {
        gate_.Leave();  // nobody will run to leave it
    }
    return sent;
}

void CStatusEngine::Stop() {
    if (!running_)
        return;
    stop_ = true;
    wake_.Set();
    gate_.Close();  // returns once the worker has left
    if (thread_)
        thread_->Join();
    thread_.reset();
    socket_->LeaveGroup(kStatusGroup);
    table_.Clear();
    table_.SetSink(nullptr);
    buffer_.clear();
    buffer_.shrink_to_fit();
    running_ = false;
    gate_.Open();
}

void CStatusEngine::Worker() {
    while (os::WaitEvent(wake_, kPollPeriod) == os::WaitResult::Timeout && !stop_) Poll();
    gate_.Leave();
}

void CStatusEngine::Poll() {
    const uint32_t start = GetMilliseconds();
    for (;;) {
        uint32_t address = 0, length = static_cast<uint32_t>(buffer_.size());
        uint16_t port = 0;
        if (socket_->ReceiveInto(&address, &port, buffer_.data(), &length) != UDPSOCK_S_OK)
            break;
        if (!table_.HandleDatagram({buffer_.data(), length}, GetMilliseconds()))
            break;  // a foreign or broken datagram ends this poll
        if (GetMilliseconds() - start > kReadBudget)
            break;
    }
    RunExpiryTimer(GetMilliseconds());
}

// The first run arms the timer; a later run that finds the deadline passed sweeps and
// re-arms it, so the sweep runs about once a second even during a flood of packets.
void CStatusEngine::RunExpiryTimer(uint32_t now) {
    if (timerArmed_ && timerDeadline_ - now <= kSweepPeriod)
        return;
    if (timerArmed_)
        table_.Sweep(now);
    timerArmed_ = true;
    timerDeadline_ = now + kSweepPeriod;
}
