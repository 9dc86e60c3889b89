#include "rcc/StubDispatcher.h"

#include <cstdio>

#include "platform/VavVersionRegistry.h"
#include "rcc/MethodSignatures.h"
#include "rcc/RccCallPdu.h"
#include "rcc/RccLog.h"

namespace {

constexpr const char* kDispatcherSource = "StubDispatcher";
// The receive thread looks at every connection at least this often.
constexpr uint32_t kPollMs = 10;
// The protocol whose connections survive long silences.
constexpr uint8_t kPatientProtocol = 13;
constexpr uint32_t kPatientProbes = 300;

}  // namespace

StubDispatcher::StubDispatcher(RccTransport* factory, uint16_t port, uint8_t protocolId,
                               uint32_t connectionParameter)
    : protocolId_(protocolId), standardStub_(*this) {
    // Node status announces the versions of the protocols this process serves.
    GetVersionRegistry()->SetProtocolVersion(protocolId_, version_);
    if (factory) {
        RccChannelSettings settings;
        settings.queueLimit = connectionParameter;
        listener_ = factory->listen(
            protocolId_, port, settings,
            [this](std::unique_ptr<RccConnection> connection) { onAccept(std::move(connection)); });
    }
    registerStub(RCC_IF_ISTANDARD, "IStandard", &standardStub_);
    thread_ = std::make_unique<os::Thread>([this] { receiveLoop(); });
    char label[32];
    std::snprintf(label, sizeof label, "RCCStubRecv%d", protocolId_);
    thread_->SetPriority(os::ThreadPriority::Normal);
    thread_->SetName(label);
    thread_->Resume();
}

StubDispatcher::~StubDispatcher() {
    listener_.reset();
    stop_ = true;
    arrival_.Set();
    thread_.reset();
    unregisterStub(RCC_IF_ISTANDARD);
    connections_.clear();
}

bool StubDispatcher::registerStub(uint32_t interfaceId, const std::string& name,
                                  IInterfaceStub* stub) {
    std::unique_lock lock(stubLock_);
    if (stubs_.count(interfaceId))
        return false;
    stubs_[interfaceId] = stub;
    names_.emplace_back(name, interfaceId);
    return true;
}

void StubDispatcher::unregisterStub(uint32_t interfaceId) {
    {
        std::unique_lock lock(stubLock_);
        if (!stubs_.erase(interfaceId)) {
            RCC_LOG_ERR(kDispatcherSource,
                        "attempt to unregister an interface stub that was never registered.");
            return;
        }
        std::erase_if(names_, [&](const auto& entry) { return entry.second == interfaceId; });
    }
    // A call of the stub may be running; wait for it, unless this is that call.
    if (receiveThreadId_.load() != std::this_thread::get_id())
        std::lock_guard<std::mutex> wait(invokeLock_);
}

uint32_t StubDispatcher::getInterfaceNames(std::vector<std::string>* names) {
    std::shared_lock lock(stubLock_);
    for (const auto& entry : names_) {
        if (names)
            names->push_back(entry.first);
    }
    return RCC_S_ISTANDARD_OK;
}

uint32_t StubDispatcher::isInterfaceSupported(const std::string& name, bool* supported) {
    std::shared_lock lock(stubLock_);
    bool found = false;
    for (const auto& entry : names_) found = found || entry.first == name;
    if (supported)
        *supported = found;
    return RCC_S_ISTANDARD_OK;
}

IInterfaceStub* StubDispatcher::findStub(uint32_t interfaceId) {
    std::shared_lock lock(stubLock_);
    auto found = stubs_.find(interfaceId);
    return found == stubs_.end() ? nullptr : found->second;
}

void StubDispatcher::onAccept(std::unique_ptr<RccConnection> connection) {
    connection->setNotifyEvent(&arrival_);
    if (protocolId_ == kPatientProtocol)
        connection->setMaxProbes(kPatientProbes);
    std::unique_lock lock(connectionLock_);
    connections_[nextConnectionId_++] = std::move(connection);
    arrival_.Set();
}

void StubDispatcher::receiveLoop() {
    receiveThreadId_ = std::this_thread::get_id();
    while (!stop_) {
        servePass();
        dropClosedConnections();
        if (arrival_.Wait(kPollMs) == os::WaitResult::Signaled)
            arrival_.Reset();
    }
}

bool StubDispatcher::servePass() {
    // The connections are served without the lock, so that a stub call that takes long
    // never holds up a peer that connects meanwhile; only this thread removes connections
    // (dropClosedConnections), so each one outlives the pass.
    std::vector<RccConnection*> open;
    {
        std::shared_lock lock(connectionLock_);
        open.reserve(connections_.size());
        for (auto& [id, connection] : connections_) open.push_back(connection.get());
    }
    bool served = false;
    // One packet per connection per pass, so that a busy peer does not starve the others.
    for (RccConnection* connection : open) {
        std::vector<uint8_t> packet;
        if (connection->receive(packet)) {
            handleRequest(*connection, packet);
            served = true;
        }
    }
    return served;
}

void StubDispatcher::dropClosedConnections() {
    std::vector<std::unique_ptr<RccConnection>> closed;
    {
        std::unique_lock lock(connectionLock_);
        for (auto it = connections_.begin(); it != connections_.end();) {
            if (!it->second->isConnected() && !it->second->isConnecting()) {
                closed.push_back(std::move(it->second));
                it = connections_.erase(it);
            } else {
                ++it;
            }
        }
    }
}

void StubDispatcher::handleRequest(RccConnection& connection, const std::vector<uint8_t>& packet) {
    CRccBuffer buffer;
    RccPduHeader request;
    if (!buffer.append(packet)) {
        RCC_LOG_ERR(kDispatcherSource, "Out of memory.");
        return;
    }
    if (RccTakeHeader(buffer, request) != RccDecodeError::None ||
        !RccRequestAcceptable(request, protocolId_, packet.size())) {
        RCC_LOG_ERR(kDispatcherSource, "request PDU had bad protocol, version, type, or length.");
        connection.close();
        return;
    }
    std::lock_guard<std::mutex> invoking(invokeLock_);
    IInterfaceStub* stub = findStub(request.interfaceId);
    if (!stub) {
        sendErrorReplyPdu(connection, RccReplyHeaderFor(request, protocolId_),
                          RCC_E_UNKNOWN_INTERFACE);
        return;
    }
    try {
        invokeAndReply(connection, request, stub, buffer);
    } catch (const std::bad_alloc&) {
        RCC_LOG_ERR(kDispatcherSource, "Out of memory.");
        sendErrorReplyPdu(connection, RccReplyHeaderFor(request, protocolId_), RCC_E_OUT_OF_MEMORY);
    }
}

void StubDispatcher::invokeAndReply(RccConnection& connection, const RccPduHeader& request,
                                    IInterfaceStub* stub, CRccBuffer& buffer) {
    RccPduHeader replyHeader = RccReplyHeaderFor(request, protocolId_);
    const CMethodSignature* signature =
        getSignatureRegistry().getSignature(request.interfaceId, request.methodId);
    if (!signature) {
        sendErrorReplyPdu(connection, replyHeader, RCC_E_UNKNOWN_METHOD);
        return;
    }
    RccOwnedArgs requestArgs;
    RccOwnedArgs replyArgs;
    IOMTransactionList list;
    RccDecodeError error = RccReadRequest(buffer, *signature, requestArgs, list);
    if (error != RccDecodeError::None) {
        RCC_LOG_ERR(kDispatcherSource, "request PDU body could not be read: %s.",
                    RccDecodeErrorText(error));
        sendErrorReplyPdu(connection, replyHeader, RCC_E_OUT_OF_MEMORY);
        return;
    }
    RccPrepareReplyArgs(*signature, replyArgs);
    uint32_t status = RCC_E_UNKNOWN_METHOD;
    stub->invoke(request.interfaceId, request.methodId, requestArgs.args(), &status,
                 replyArgs.args(), &list);
    buffer.reset();
    if (RccBuildReply(buffer, replyHeader, status, signature, replyArgs.args(), &list) !=
        RccBodyResult::Ok) {
        RCC_LOG_ERR(kDispatcherSource, "Out of memory.");
        sendErrorReplyPdu(connection, replyHeader, RCC_E_OUT_OF_MEMORY);
        return;
    }
    sendPdu(connection, buffer);
}

void StubDispatcher::sendErrorReplyPdu(RccConnection& connection, const RccPduHeader& replyHeader,
                                       uint32_t status) {
    CRccBuffer buffer;
    if (RccBuildReply(buffer, replyHeader, status, nullptr, {}, nullptr) != RccBodyResult::Ok) {
        RCC_LOG_ERR(kDispatcherSource,
                    "sendErrorReplyPdu() could not marshal for some reason - could be out of "
                    "memory.");
        return;
    }
    sendPdu(connection, buffer);
}

void StubDispatcher::sendPdu(RccConnection& connection, const CRccBuffer& pdu) {
    if (!connection.isConnected())
        return;
    if (connection.send(pdu.bytes()) < 0 && connection.isConnected())
        connection.close();
}
