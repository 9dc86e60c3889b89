#include "rcc/fakes/LoopbackTransport.h"

#include <atomic>

class LoopbackConnection;

namespace {

// The two ends of one connection. Every call of an end's events runs under the link's
// lock, which setEvents also takes, so no call outlives a cleared receiver.
struct Link {
    std::recursive_mutex lock;
    LoopbackConnection* ends[2] = {nullptr, nullptr};
};

}  // namespace

struct LoopbackNetwork::Listener {
    LoopbackTransport* transport;
    RccTransport::Acceptor acceptor;
};

class LoopbackConnection : public RccConnection {
public:
    LoopbackConnection(LoopbackTransport& owner, std::shared_ptr<Link> link, int side)
        : owner_(owner), link_(std::move(link)), side_(side) {
        link_->ends[side_] = this;
    }
    ~LoopbackConnection() override {
        close();
        std::lock_guard<std::recursive_mutex> lock(link_->lock);
        link_->ends[side_] = nullptr;
    }

    void setEvents(Events* events) override {
        std::lock_guard<std::recursive_mutex> lock(link_->lock);
        events_ = events;
    }
    void setNotifyEvent(os::Event* event) override {
        std::lock_guard<std::recursive_mutex> lock(link_->lock);
        notice_ = event;
    }

    int32_t connect(uint32_t address, uint16_t port, uint8_t appId) override;

    void close() override {
        std::lock_guard<std::recursive_mutex> lock(link_->lock);
        connected_ = connecting_ = false;
        queue_.clear();
        LoopbackConnection* peer = this->peer();
        link_->ends[0] = link_->ends[1] = nullptr;
        if (peer && peer->connected_) {
            peer->connected_ = false;
            if (peer->events_)
                peer->events_->onDisconnected();
        }
    }
    bool isConnected() const override { return connected_; }
    bool isConnecting() const override { return connecting_; }

    int32_t send(std::span<const uint8_t> pdu) override {
        std::lock_guard<std::recursive_mutex> lock(link_->lock);
        {
            std::lock_guard<std::mutex> sent(owner_.sentLock_);
            owner_.sent_.emplace_back(pdu.begin(), pdu.end());
        }
        LoopbackConnection* peer = this->peer();
        if (!connected_ || !peer)
            return -1;
        peer->queue_.emplace_back(pdu.begin(), pdu.end());
        if (peer->notice_)
            peer->notice_->Set();
        return static_cast<int32_t>(pdu.size());
    }
    bool receive(std::vector<uint8_t>& pdu) override {
        std::lock_guard<std::recursive_mutex> lock(link_->lock);
        if (queue_.empty())
            return false;
        pdu = std::move(queue_.front());
        queue_.pop_front();
        return true;
    }
    uint32_t remoteAddress() const override { return remoteAddress_; }
    uint16_t remotePort() const override { return remotePort_; }
    uint8_t remoteAppId() const override { return remoteAppId_; }
    void setMaxProbes(uint32_t) override {}

    // Joins this (accepted) end to a connecting peer.
    void acceptFrom(LoopbackConnection& peer, std::shared_ptr<Link> link) {
        link_ = std::move(link);
        link_->ends[side_] = this;
        remoteAddress_ = peer.owner_.localAddress();
        remoteAppId_ = peer.owner_.appId();
        connected_ = true;
    }

private:
    LoopbackConnection* peer() const { return link_->ends[1 - side_]; }

    LoopbackTransport& owner_;
    std::shared_ptr<Link> link_;
    int side_;
    Events* events_ = nullptr;
    os::Event* notice_ = nullptr;
    std::deque<std::vector<uint8_t>> queue_;
    std::atomic<bool> connected_{false};
    std::atomic<bool> connecting_{false};
    uint32_t remoteAddress_ = 0;
    uint16_t remotePort_ = 0;
    uint8_t remoteAppId_ = 0;
};

int32_t LoopbackConnection::connect(uint32_t address, uint16_t port, uint8_t appId) {
    close();
    remoteAddress_ = address;
    remotePort_ = port;
    remoteAppId_ = appId;
    LoopbackNetwork& network = owner_.network_;
    std::lock_guard<std::mutex> networkLock(network.lock);
    auto found = network.listeners.find({address, port});
    // Nobody listens: the connection stays in the making, as one to a silent host does.
    connecting_ = true;
    if (found == network.listeners.end())
        return 0;
    auto link = std::make_shared<Link>();
    auto accepted = std::make_unique<LoopbackConnection>(*found->second->transport, link, 1);
    {
        std::lock_guard<std::recursive_mutex> lock(link_->lock);
        link_->ends[side_] = nullptr;
    }
    link_ = link;
    link_->ends[side_] = this;
    accepted->acceptFrom(*this, link);
    accepted->remotePort_ = 0;
    found->second->acceptor(std::move(accepted));
    std::lock_guard<std::recursive_mutex> lock(link_->lock);
    connecting_ = false;
    connected_ = true;
    if (events_)
        events_->onConnected();
    return 0;
}

std::unique_ptr<RccConnection> LoopbackTransport::createConnection(uint8_t,
                                                                   const RccChannelSettings&) {
    return std::make_unique<LoopbackConnection>(*this, std::make_shared<Link>(), 0);
}

namespace {

class LoopbackListener : public RccListener {
public:
    LoopbackListener(LoopbackNetwork& network, std::pair<uint32_t, uint16_t> key,
                     LoopbackNetwork::Listener entry)
        : network_(network), key_(key), entry_(std::move(entry)) {
        network_.listeners[key_] = &entry_;
    }
    ~LoopbackListener() override {
        std::lock_guard<std::mutex> lock(network_.lock);
        network_.listeners.erase(key_);
    }

private:
    LoopbackNetwork& network_;
    std::pair<uint32_t, uint16_t> key_;
    LoopbackNetwork::Listener entry_;
};

}  // namespace

std::unique_ptr<RccListener> LoopbackTransport::listen(uint8_t, uint16_t port,
                                                       const RccChannelSettings&,
                                                       Acceptor acceptor) {
    std::lock_guard<std::mutex> lock(network_.lock);
    if (network_.listeners.count({address_, port}))
        return nullptr;
    return std::make_unique<LoopbackListener>(network_, std::make_pair(address_, port),
                                              LoopbackNetwork::Listener{this, std::move(acceptor)});
}

std::vector<std::vector<uint8_t>> LoopbackTransport::sent() const {
    std::lock_guard<std::mutex> lock(sentLock_);
    return sent_;
}
