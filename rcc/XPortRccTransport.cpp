#include "rcc/XPortRccTransport.h"

#include <atomic>

#include "platform/VavClock.h"
#include "transport/CXTcpProtocol.h"

// One reference to a protocol channel of the port, released when the last holder goes.
// Never released on a transport thread: the port's routing holds its channel map then.
struct XPortChannelRef {
    XPortChannelRef(CXPort& p, CXProtocol* c) : port(p), channel(c) {}
    ~XPortChannelRef() { port.releaseProtocol(channel); }
    XPortChannelRef(const XPortChannelRef&) = delete;
    XPortChannelRef& operator=(const XPortChannelRef&) = delete;
    CXPort& port;
    CXProtocol* channel;
};

namespace {

// An accepted connection is still being set up by the channel when the acceptor gets it;
// until it is up (or this long has passed) it counts as connecting, not as gone.
constexpr uint32_t kAcceptGraceMs = 5000;

class XPortConnection : public RccConnection, private CXConnCB {
public:
    // Keeps the channel while the connection lives.
    XPortConnection(std::shared_ptr<XPortChannelRef> channel, CXConn* connection, bool accepted)
        : channel_(std::move(channel)),
          connection_(connection),
          accepted_(accepted),
          acceptedAt_(GetMilliseconds()) {}

    ~XPortConnection() override {
        connection_->setCallback(nullptr, nullptr);
        connection_->setNotifyEvent(nullptr);
        channel_->channel->destroyConnection(connection_);
    }

    // The callback object the channel calls; set once the connection is taken.
    CXConnCB* callback() { return this; }
    void listen() { connection_->setCallback(nullptr, this); }

    void setEvents(Events* events) override {
        std::lock_guard<std::recursive_mutex> lock(eventsLock_);
        events_ = events;
    }
    void setNotifyEvent(os::Event* event) override { connection_->setNotifyEvent(event); }
    int32_t connect(uint32_t address, uint16_t port, uint8_t appId) override {
        return connection_->connect(address, port, appId);
    }
    void close() override {
        closed_ = true;
        connection_->close();
    }
    bool isConnected() const override { return connection_->isConnected(); }
    bool isConnecting() const override {
        uint32_t state = connection_->getState();
        if (state == CXConn::kConnecting)
            return true;
        return accepted_ && !everConnected_ && !closed_ && state == CXConn::kClosed &&
               GetMilliseconds() - acceptedAt_ < kAcceptGraceMs;
    }
    int32_t send(std::span<const uint8_t> pdu) override {
        return connection_->send(pdu.data(), static_cast<uint32_t>(pdu.size()));
    }
    bool receive(std::vector<uint8_t>& pdu) override { return connection_->receive(pdu); }
    uint32_t remoteAddress() const override { return connection_->getRemoteAddress(); }
    uint16_t remotePort() const override { return connection_->getRemotePort(); }
    uint8_t remoteAppId() const override { return connection_->getRemoteAppId(); }
    void setMaxProbes(uint32_t probes) override { connection_->setProtocolOption(probes); }

private:
    void onPacket(void*, XPortPacket&) override {}
    void onConnected(void*) override {
        everConnected_ = true;
        std::lock_guard<std::recursive_mutex> lock(eventsLock_);
        if (events_)
            events_->onConnected();
    }
    void onDisconnected(void*) override {
        std::lock_guard<std::recursive_mutex> lock(eventsLock_);
        if (events_)
            events_->onDisconnected();
    }

    std::shared_ptr<XPortChannelRef> channel_;
    CXConn* connection_;
    const bool accepted_;
    const uint32_t acceptedAt_;
    std::atomic<bool> everConnected_{false};
    std::atomic<bool> closed_{false};
    std::recursive_mutex eventsLock_;
    Events* events_ = nullptr;
};

}  // namespace

class XPortRccTransport::AcceptorSlot : public CXAcceptor {
public:
    AcceptorSlot(std::shared_ptr<XPortChannelRef> channel, Acceptor acceptor)
        : channel_(std::move(channel)), acceptor_(std::move(acceptor)) {}

    bool onAccept(void*, uint32_t, uint16_t, uint8_t, CXConn* connection, CXConnCB** callback,
                  void** userContext) override {
        std::lock_guard<std::mutex> lock(lock_);
        if (!acceptor_)
            return false;
        // The accepted connection shares the listener's channel, so that it may outlive
        // the listener.
        auto wrapped = std::make_unique<XPortConnection>(channel_, connection, true);
        *callback = wrapped->callback();
        *userContext = nullptr;
        acceptor_(std::move(wrapped));
        return true;
    }
    // No call of the acceptor runs once this returns.
    void switchOff() {
        std::shared_ptr<XPortChannelRef> channel;
        {
            std::lock_guard<std::mutex> lock(lock_);
            acceptor_ = nullptr;
            channel = std::move(channel_);
        }
    }

private:
    std::shared_ptr<XPortChannelRef> channel_;
    std::mutex lock_;
    Acceptor acceptor_;
};

namespace {

class XPortListener : public RccListener {
public:
    XPortListener(CXProtocol* channel, XPortRccTransport::AcceptorSlot& slot)
        : channel_(channel), slot_(slot) {}
    ~XPortListener() override {
        channel_->setListenPort(CXTcpProtocol::kNoListenPort, nullptr, nullptr, 50);
        slot_.switchOff();
    }

private:
    CXProtocol* channel_;
    XPortRccTransport::AcceptorSlot& slot_;
};

}  // namespace

XPortRccTransport::XPortRccTransport(CXPort& port) : port_(port) {}

XPortRccTransport::~XPortRccTransport() = default;

uint32_t XPortRccTransport::localAddress() const {
    uint32_t address = port_.getLocalAddress();
    return address != 0 ? address : XPortGetLocalIpAddress();
}

CXProtocol* XPortRccTransport::channel(uint8_t protocolId, const RccChannelSettings& settings) {
    return port_.createProtocol(protocolId, CXTcpProtocol::kNoListenPort, nullptr, nullptr, true,
                                settings.connectTimeoutMs, settings.sendTimeoutMs, settings.idleMs,
                                settings.probeIntervalMs, 50);
}

std::unique_ptr<RccConnection> XPortRccTransport::createConnection(
    uint8_t protocolId, const RccChannelSettings& settings) {
    CXProtocol* made = channel(protocolId, settings);
    if (!made)
        return nullptr;
    auto ref = std::make_shared<XPortChannelRef>(port_, made);
    CXConn* connection = made->createConnection(settings.queueLimit);
    if (!connection)
        return nullptr;
    auto wrapped = std::make_unique<XPortConnection>(ref, connection, false);
    wrapped->listen();
    return wrapped;
}

std::unique_ptr<RccListener> XPortRccTransport::listen(uint8_t protocolId, uint16_t port,
                                                       const RccChannelSettings& settings,
                                                       Acceptor acceptor) {
    CXProtocol* made = channel(protocolId, settings);
    if (!made)
        return nullptr;
    auto ref = std::make_shared<XPortChannelRef>(port_, made);
    AcceptorSlot* slot = nullptr;
    {
        std::lock_guard<std::mutex> lock(slotsLock_);
        slots_.push_back(std::make_unique<AcceptorSlot>(ref, std::move(acceptor)));
        slot = slots_.back().get();
    }
    if (mux::MuxFailed(made->setListenPort(port, slot, nullptr, settings.queueLimit))) {
        slot->switchOff();
        return nullptr;
    }
    return std::make_unique<XPortListener>(made, *slot);
}
