#include "rcc/ProxyBase.h"

#include "os/Clock.h"
#include "rcc/MethodSignatures.h"
#include "rcc/RccCallPdu.h"
#include "rcc/RccLog.h"

namespace {

// Every round of waiting for a reply costs this much of the budget, however early the
// arrival notice came.
constexpr uint32_t kReplyPollMs = 10;

}  // namespace

CProxyBase::CProxyBase(RccTransport* factory, uint16_t defaultPort, uint8_t protocolId,
                       uint32_t connectionParameter)
    : protocolId_(protocolId), factory_(factory), defaultPort_(defaultPort) {
    if (!factory_)
        return;
    RccChannelSettings settings;
    settings.queueLimit = connectionParameter;
    connection_ = factory_->createConnection(protocolId_, settings);
    if (!connection_)
        return;
    connection_->setEvents(this);
    connection_->setNotifyEvent(&replyEvent_);
}

CProxyBase::~CProxyBase() {
    if (connection_) {
        connection_->setEvents(nullptr);
        connection_->setNotifyEvent(nullptr);
        connection_->close();
    }
}

void CProxyBase::onConnected() {
    connectEvent_.Set();
}

void CProxyBase::onDisconnected() {
    if (connection_)
        connection_->close();
}

int32_t CProxyBase::connect(uint32_t address, uint8_t appId, uint16_t port) {
    if (!connection_)
        return static_cast<int32_t>(RCC_E_COMM_FAILURE);
    if (port == 0)
        port = defaultPort_;
    if (connection_->isConnected())
        connection_->close();
    return connection_->connect(address, port, appId);
}

bool CProxyBase::getConnectionInfo(uint32_t* address, uint8_t* appId, uint16_t* port) const {
    if (!connection_)
        return false;
    if (address)
        *address = connection_->remoteAddress();
    if (appId)
        *appId = connection_->remoteAppId();
    if (port)
        *port = connection_->remotePort();
    return true;
}

void CProxyBase::disconnect() {
    if (connection_)
        connection_->close();
}

bool CProxyBase::isConnected() const {
    return connection_ && connection_->isConnected();
}

void CProxyBase::closeConnection() {
    if (connection_)
        connection_->close();
}

uint32_t CProxyBase::proxyRequest(uint32_t interfaceId, uint32_t methodId, IOMTransactionList* list,
                                  const std::vector<CRccArg>& inArgs,
                                  const std::vector<CRccArg>& outArgs) {
    if (inCall_.exchange(true))
        return RCC_E_PROXY_BUSY;
    uint32_t status = RCC_E_OUT_OF_MEMORY;
    try {
        status = call(interfaceId, methodId, list, inArgs, outArgs);
    } catch (const std::bad_alloc&) {
        RCC_LOG_ERR("ProxyBase", "Out of memory.");
    }
    callSequence_ = 0;
    inCall_ = false;
    return status;
}

bool CProxyBase::awaitConnection() {
    if (!connection_->isConnected() &&
        os::WaitEvent(connectEvent_, timeoutMs_) != os::WaitResult::Signaled)
        return false;
    connectEvent_.Reset();
    return true;
}

bool CProxyBase::awaitReply(std::vector<uint8_t>& reply) {
    // The clock ends the wait as well, once the whole time-out has passed on it; it counts
    // whole milliseconds, so one more makes sure.
    const uint32_t end = os::TickCount() + timeoutMs_ + 1;
    uint32_t budget = timeoutMs_;
    while (!connection_->receive(reply)) {
        if (budget < kReplyPollMs || os::TickReached(os::TickCount(), end))
            return false;
        budget -= kReplyPollMs;
        if (os::WaitEvent(replyEvent_, kReplyPollMs) == os::WaitResult::Signaled)
            replyEvent_.Reset();
    }
    return true;
}

uint32_t CProxyBase::call(uint32_t interfaceId, uint32_t methodId, IOMTransactionList* list,
                          const std::vector<CRccArg>& inArgs, const std::vector<CRccArg>& outArgs) {
    if (!connection_)
        return RCC_E_COMM_FAILURE;
    if (!awaitConnection()) {
        closeConnection();
        return RCC_E_COMM_FAILURE;
    }
    callSequence_ = getSequenceGenerator().next();
    const CMethodSignature* signature = getSignatureRegistry().getSignature(interfaceId, methodId);
    if (!signature)
        return getSignatureRegistry().hasInterface(interfaceId) ? RCC_E_UNKNOWN_METHOD
                                                                : RCC_E_UNKNOWN_INTERFACE;

    RccPduHeader header;
    header.protocolId = protocolId_;
    header.sourceAppId = factory_->appId();
    header.destinationAppId = connection_->remoteAppId();
    header.sequence = callSequence_;
    header.interfaceId = interfaceId;
    header.methodId = methodId;
    CRccBuffer request;
    uint32_t built = RccBuildRequest(request, header, *signature, inArgs, list);
    if (built != RCC_S_OK)
        return built;

    int32_t sent = connection_->send(request.bytes());
    if (sent < 0) {
        closeConnection();
        return static_cast<uint32_t>(sent);
    }
    std::vector<uint8_t> packet;
    if (!awaitReply(packet)) {
        closeConnection();
        return RCC_E_COMM_FAILURE;
    }
    CRccBuffer reply;
    if (!reply.append(packet)) {
        RCC_LOG_ERR("ProxyBase", "Out of memory.");
        return RCC_E_OUT_OF_MEMORY;
    }
    uint32_t status = RCC_E_COMM_FAILURE;
    if (RccReadReply(reply, header, *signature, outArgs, list, status) != RccReplyError::None) {
        closeConnection();
        return RCC_E_COMM_FAILURE;
    }
    return status;
}
