#include "services/CUdpSession.h"

#include <algorithm>

#include "platform/VavClock.h"
#include "platform/XPortHeader.h"
#include "transport/CXPort.h"
#include "transport/CXProtocol.h"

namespace {

enum : std::uint8_t {
    kTypeData = 0,
    kTypeConnect = 1,
    kTypeAccepted = 2,
    kTypeClosed = 3,
    kTypeProbe = 4,
    kTypeProbeAnswer = 5,
};
constexpr int kReceivesPerTick = 10;

std::uint32_t Since(std::uint32_t then) {
    const auto d = static_cast<std::int32_t>(GetMilliseconds() - then);
    return static_cast<std::uint32_t>(d < 0 ? -static_cast<std::int64_t>(d) : d);
}

}  // namespace

CUdpSession::CUdpSession(CXProtocol& channel, std::uint32_t queueLimit)
    : CXConn(channel, queueLimit, false),
      connectTimeout_(channel.settings().connectTimeout),
      keepAliveInterval_(channel.settings().idleTime),
      replyTimeout_(channel.settings().probeInterval),
      lastActivity_(GetMilliseconds()),
      connectStart_(GetMilliseconds()) {
    setState(kClosed);
}

int CUdpSession::onReceive(XPortPacket& packet) {
    {
        std::lock_guard g(lock_);
        lastActivity_ = GetMilliseconds();
    }
    if (XPortHdrCheckPacket(packet.data) != XPortHdrError::None)
        return kRefused;
    const std::uint8_t type = XPortHdrGetType(packet.data.data());
    if (type == kTypeData) {
        if (getState() == kProbing)
            setState(kConnected);
        {
            std::lock_guard g(lock_);
            retries_ = 0;
        }
        XPortPacket payload = packet;
        payload.data.erase(payload.data.begin(), payload.data.begin() + XPORT_HEADER_LENGTH);
        if (enqueue(std::move(payload))) {
            std::lock_guard g(lock_);
            firstRefusal_.reset();
            return kTaken;
        }
        bool expired;
        {
            std::lock_guard g(lock_);
            if (!firstRefusal_)
                firstRefusal_ = GetMilliseconds();
            expired = Since(*firstRefusal_) > kRefusalMs;
            if (expired)
                firstRefusal_.reset();
        }
        if (!expired)
            return kLater;  // the packet stays as it came, offered again later
        Fail();
        return kTaken;
    }
    switch (type) {
        case kTypeAccepted:
            setState(kConnected);
            notifyConnected();
            break;
        case kTypeClosed:
            setState(kClosed);
            notifyDisconnected();
            break;
        case kTypeProbe: {
            std::lock_guard g(lock_);
            ++pendingReplies_;
        }
            [[fallthrough]];
        case kTypeProbeAnswer:
            if (getState() == kProbing)
                setState(kConnected);
            {
                std::lock_guard g(lock_);
                retries_ = 0;
            }
            break;
        default:
            return kRefused;
    }
    notifyOwner();
    return kTaken;
}

XPortStatus CUdpSession::connect(std::uint32_t address, std::uint16_t port, std::uint8_t appId) {
    setRemoteAddress(address);
    setRemotePort(port);
    setRemoteAppId(appId);
    {
        std::lock_guard g(lock_);
        connectStart_ = lastActivity_ = GetMilliseconds();
    }
    setState(kConnecting);
    const XPortStatus s = SendTyped(kTypeConnect, nullptr);
    if (XPortFailed(s))
        reset();  // nothing went out: no peer will answer, so do not wait for one
    return s;
}

XPortStatus CUdpSession::close() {
    if (getState() != kClosed)
        SendTyped(kTypeClosed, nullptr);
    reset();
    return mux::MUX_S_OK;
}

XPortStatus CUdpSession::send(const XPortBuffer* chain) {
    return SendTyped(kTypeData, chain);
}

XPortStatus CUdpSession::SendTyped(std::uint8_t type, const XPortBuffer* chain) {
    const std::uint64_t total = XPORT_HEADER_LENGTH + XPortChainLength(chain);
    if (total > UdpEndpoint::kMaxDatagram)
        return mux::MUX_E_TOO_LONG;
    XPortHeader h;
    h.protocol = channel().getProtocolId();
    h.type = type;
    h.srcApp = channel().port().getAppId();
    h.dstApp = getRemoteAppId();
    h.length = static_cast<std::uint32_t>(total);
    std::vector<std::uint8_t> bytes(XPORT_HEADER_LENGTH);
    h.Write(bytes.data());
    const std::vector<std::uint8_t> payload = XPortGather(chain);
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    UdpStatus s;
    {
        std::lock_guard g(lock_);
        s = socket_.Open(0);
        if (!UdpFailed(s))
            s = socket_.SendTo(getRemoteAddress(), bytes.data(),
                               static_cast<std::uint32_t>(bytes.size()), getRemotePort());
    }
    return UdpFailed(s) ? mux::E_FAIL : mux::MUX_S_OK;
}

void CUdpSession::Fail() {
    reset();
    notifyDisconnected();
}

void CUdpSession::tick() {
    for (int i = 0; i < kReceivesPerTick; ++i) {
        if (!held_) {
            XPortPacket packet;
            UdpStatus s;
            {
                std::lock_guard g(lock_);
                s = socket_.ReceiveFrom(&packet.remoteAddress, &packet.remotePort, packet.data);
            }
            if (UdpFailed(s))
                break;
            held_ = std::move(packet);
        }
        if (onReceive(*held_) == kLater)
            break;
        held_.reset();
    }
    KeepAlive();
}

void CUdpSession::KeepAlive() {
    enum class Act { None, Answer, Probe, Close } act = Act::None;
    {
        std::lock_guard g(lock_);
        const std::uint32_t state = getState();
        if (pendingReplies_ > 0) {
            --pendingReplies_;
            act = Act::Answer;
        } else if (state == kConnected && Since(lastActivity_) > keepAliveInterval_ &&
                   queueEmpty()) {
            lastActivity_ = GetMilliseconds();
            retries_ = 0;
            setState(kProbing);
            act = Act::Probe;
        } else if (state == kProbing && Since(lastActivity_) > replyTimeout_) {
            lastActivity_ = GetMilliseconds();
            act = ++retries_ > kMaxRetries ? Act::Close : Act::Probe;
        } else if (state == kConnecting && Since(connectStart_) > connectTimeout_) {
            act = Act::Close;
        }
    }
    switch (act) {
        case Act::None:
            break;
        case Act::Answer:
            if (XPortFailed(SendTyped(kTypeProbeAnswer, nullptr)))
                return Fail();
            if (getState() == kProbing)
                setState(kConnected);
            {
                std::lock_guard g(lock_);
                retries_ = 0;
            }
            break;
        case Act::Probe:
            if (XPortFailed(SendTyped(kTypeProbe, nullptr)))
                Fail();
            break;
        case Act::Close:
            Fail();
            break;
    }
}
