#include "rcc/IOMProxy.h"

#include <memory>
#include <mutex>

#include "rcc/IOMSubscriptionStub.h"
#include "rcc/RccLog.h"

namespace {

constexpr const char* kSource = "IOMProxy";

// The process's subscriptions: at most one stub, shared by every proxy. The lock is
// never held across a remote call.
std::mutex& PoolLock() {
    static std::mutex lock;
    return lock;
}
std::shared_ptr<IOMSubscriptionStub>& PoolStub() {
    static std::shared_ptr<IOMSubscriptionStub> stub;
    return stub;
}

// An input argument: the proxy only reads it.
template <class T>
CRccArg In(RccTypeCode type, const T& value) {
    return CRccArg(type, const_cast<T*>(&value));
}
template <class T>
CRccArg Out(RccTypeCode type, T& value) {
    return CRccArg(type, &value);
}

std::string Describe(const CRccValue& value) {
    return DescribeRccValue(value);
}

}  // namespace

CIOMProxy::CIOMProxy(RccTransport* factory, uint16_t defaultPort, uint8_t protocolId,
                     uint32_t connectionParameter)
    : CProxyBase(factory, defaultPort, protocolId, connectionParameter) {}

uint32_t CIOMProxy::getProp(const std::string& className, const CRccValue& instanceId,
                            const std::string& propertyName, CRccValue& propertyValue) {
    if (isCallInProgress())
        return RCC_E_PROXY_BUSY;
    RCC_LOG_DBG(kSource, "IOM::getProp() className=%s instanceId=%s propertyName=%s",
                className.c_str(), Describe(instanceId).c_str(), propertyName.c_str());
    return proxyRequest(
        RCC_IF_IOM, 0, nullptr,
        {In(RCC_INPUT | RCC_STR, className), In(RCC_INPUT | RCC_VARIANT, instanceId),
         In(RCC_INPUT | RCC_STR, propertyName)},
        {Out(RCC_VARIANT, propertyValue)});
}

uint32_t CIOMProxy::setProp(const std::string& className, const CRccValue& instanceId,
                            const std::string& propertyName, const CRccValue& propertyValue) {
    if (isCallInProgress())
        return RCC_E_PROXY_BUSY;
    RCC_LOG_DBG(kSource,
                "IOM::setProp() className=%s instanceId=%s propertyName=%s propertyValue=%s",
                className.c_str(), Describe(instanceId).c_str(), propertyName.c_str(),
                Describe(propertyValue).c_str());
    return proxyRequest(
        RCC_IF_IOM, 1, nullptr,
        {In(RCC_INPUT | RCC_STR, className), In(RCC_INPUT | RCC_VARIANT, instanceId),
         In(RCC_INPUT | RCC_STR, propertyName), In(RCC_INPUT | RCC_VARIANT, propertyValue)});
}

uint32_t CIOMProxy::getPropMulti(const std::string& className, const CRccValue& instanceId,
                                 const std::vector<std::string>& propertyNames,
                                 std::vector<CRccValue>& propertyValues) {
    if (isCallInProgress())
        return RCC_E_PROXY_BUSY;
    RCC_LOG_DBG(kSource, "IOM::getPropMulti() className=%s instanceId=%s", className.c_str(),
                Describe(instanceId).c_str());
    return proxyRequest(
        RCC_IF_IOM, 2, nullptr,
        {In(RCC_INPUT | RCC_STR, className), In(RCC_INPUT | RCC_VARIANT, instanceId),
         In(RCC_INPUT | RCC_ARRAY | RCC_STR, propertyNames)},
        {Out(RCC_ARRAY | RCC_VARIANT, propertyValues)});
}

uint32_t CIOMProxy::setPropMulti(const std::string& className, const CRccValue& instanceId,
                                 const std::vector<std::string>& propertyNames,
                                 const std::vector<CRccValue>& propertyValues, bool onErrorContinue,
                                 std::vector<int32_t>& setResults) {
    if (isCallInProgress())
        return RCC_E_PROXY_BUSY;
    RCC_LOG_DBG(kSource, "IOM::setPropMulti() className=%s instanceId=%s", className.c_str(),
                Describe(instanceId).c_str());
    uint8_t flag = onErrorContinue ? 1 : 0;
    return proxyRequest(
        RCC_IF_IOM, 3, nullptr,
        {In(RCC_INPUT | RCC_STR, className), In(RCC_INPUT | RCC_VARIANT, instanceId),
         In(RCC_INPUT | RCC_ARRAY | RCC_STR, propertyNames),
         In(RCC_INPUT | RCC_ARRAY | RCC_VARIANT, propertyValues), In(RCC_INPUT | RCC_BOOL, flag)},
        {Out(RCC_ARRAY | RCC_S32, setResults)});
}

uint32_t CIOMProxy::getPropArray(const std::string& className, const CRccValue& instanceId,
                                 const std::string& propertyName, uint32_t startIndex,
                                 uint32_t count, CRccValue& propertyValues) {
    if (isCallInProgress())
        return RCC_E_PROXY_BUSY;
    RCC_LOG_DBG(kSource,
                "IOM::getPropArray() className=%s instanceId=%s propertyName=%s startIndex=%u "
                "count=%u",
                className.c_str(), Describe(instanceId).c_str(), propertyName.c_str(), startIndex,
                count);
    return proxyRequest(
        RCC_IF_IOM, 4, nullptr,
        {In(RCC_INPUT | RCC_STR, className), In(RCC_INPUT | RCC_VARIANT, instanceId),
         In(RCC_INPUT | RCC_STR, propertyName), In(RCC_INPUT | RCC_U32, startIndex),
         In(RCC_INPUT | RCC_U32, count)},
        {Out(RCC_VARIANT, propertyValues)});
}

uint32_t CIOMProxy::setPropArray(const std::string& className, const CRccValue& instanceId,
                                 const std::string& propertyName, uint32_t startIndex,
                                 uint32_t count, const CRccValue& propertyValues,
                                 bool onErrorContinue, std::vector<int32_t>& setResults) {
    if (isCallInProgress())
        return RCC_E_PROXY_BUSY;
    RCC_LOG_DBG(kSource,
                "IOM::setPropArray() className=%s instanceId=%s propertyName=%s startIndex=%u "
                "count=%u",
                className.c_str(), Describe(instanceId).c_str(), propertyName.c_str(), startIndex,
                count);
    uint8_t flag = onErrorContinue ? 1 : 0;
    return proxyRequest(
        RCC_IF_IOM, 5, nullptr,
        {In(RCC_INPUT | RCC_STR, className), In(RCC_INPUT | RCC_VARIANT, instanceId),
         In(RCC_INPUT | RCC_STR, propertyName), In(RCC_INPUT | RCC_U32, startIndex),
         In(RCC_INPUT | RCC_U32, count), In(RCC_INPUT | RCC_VARIANT, propertyValues),
         In(RCC_INPUT | RCC_BOOL, flag)},
        {Out(RCC_ARRAY | RCC_S32, setResults)});
}

uint32_t CIOMProxy::getPropTransaction(IOMTransactionList& list) {
    if (isCallInProgress())
        return RCC_E_PROXY_BUSY;
    return proxyRequest(RCC_IF_IOM, 9, &list);
}

uint32_t CIOMProxy::setPropTransaction(IOMTransactionList& list) {
    if (isCallInProgress())
        return RCC_E_PROXY_BUSY;
    return proxyRequest(RCC_IF_IOM, 10, &list);
}

uint32_t CIOMProxy::invokeMethod(const std::string& className, const CRccValue& instanceId,
                                 const std::string& methodName,
                                 const std::vector<CRccValue>& methodArgs,
                                 std::vector<CRccValue>& methodResults) {
    if (isCallInProgress())
        return RCC_E_PROXY_BUSY;
    RCC_LOG_DBG(kSource, "IOM::invokeMethod() className=%s instanceId=%s methodName=%s",
                className.c_str(), Describe(instanceId).c_str(), methodName.c_str());
    return proxyRequest(
        RCC_IF_IOM, 6, nullptr,
        {In(RCC_INPUT | RCC_STR, className), In(RCC_INPUT | RCC_VARIANT, instanceId),
         In(RCC_INPUT | RCC_STR, methodName), In(RCC_INPUT | RCC_ARRAY | RCC_VARIANT, methodArgs)},
        {Out(RCC_ARRAY | RCC_VARIANT, methodResults)});
}

uint32_t CIOMProxy::subscriptionCall(uint32_t methodId, uint32_t handle) {
    RccTransport* factory = getConnectionFactory();
    uint32_t address = factory ? factory->localAddress() : 0;
    uint8_t appId = factory ? factory->appId() : 0;
    uint16_t port = getDefaultPort();
    return proxyRequest(RCC_IF_IOM, methodId, nullptr,
                        {In(RCC_U32, handle), In(RCC_INPUT | RCC_U32, address),
                         In(RCC_INPUT | RCC_U8, appId), In(RCC_INPUT | RCC_U16, port)});
}

uint32_t CIOMProxy::subscribe(IOMNotificationSink* sink, uint32_t* handle) {
    uint32_t issued = 0;
    std::shared_ptr<IOMSubscriptionStub> stub;
    {
        std::lock_guard<std::mutex> lock(PoolLock());
        if (!PoolStub())
            PoolStub() =
                std::make_shared<IOMSubscriptionStub>(getConnectionFactory(), getDefaultPort());
        stub = PoolStub();
        if (!stub->isListening()) {
            RCC_LOG_ERR(kSource, "subscribe() - no port for notifications.");
            PoolStub().reset();
            *handle = 0;
            return RCC_E_COMM_FAILURE;
        }
        IOMSubscriptionRecord record;
        record.sink = sink;
        if (!getConnectionInfo(&record.address, &record.appId, &record.port)) {
            *handle = 0;
            return RCC_E_PROXY_BUSY;
        }
        issued = stub->addSubscription(record);
        if (issued == 0) {
            *handle = 0;
            return RCC_E_NO_SUBSCRIPTION_HANDLE;
        }
    }
    *handle = issued;
    uint32_t result = subscriptionCall(7, issued);
    if (RccFailed(result)) {
        std::lock_guard<std::mutex> lock(PoolLock());
        stub->removeSubscription(issued);
        *handle = 0;
    }
    return result;
}

bool CIOMProxy::getSubscription(uint32_t handle, IOMNotificationSink** sink, uint32_t* address,
                                uint8_t* appId, uint16_t* port) {
    std::lock_guard<std::mutex> lock(PoolLock());
    IOMSubscriptionRecord record;
    if (!PoolStub() || !PoolStub()->findSubscription(handle, &record))
        return false;
    if (sink)
        *sink = record.sink;
    if (address)
        *address = record.address;
    if (appId)
        *appId = record.appId;
    if (port)
        *port = record.port;
    return true;
}

uint32_t CIOMProxy::unsubscribe(uint32_t handle) {
    IOMSubscriptionRecord record;
    std::shared_ptr<IOMSubscriptionStub> stub;
    {
        std::lock_guard<std::mutex> lock(PoolLock());
        stub = PoolStub();
        if (!stub || !stub->findSubscription(handle, &record))
            return RCC_S_OK;
        stub->removeSubscription(handle);
    }
    stub->waitForDelivery(handle);
    connect(record.address, record.appId, record.port);
    return subscriptionCall(8, handle);
}

uint32_t CIOMProxy::unsubscribeAll() {
    uint32_t handle = 0;
    for (;;) {
        std::shared_ptr<IOMSubscriptionStub> stub;
        {
            std::lock_guard<std::mutex> lock(PoolLock());
            stub = PoolStub();
        }
        if (!stub || !stub->firstSubscription(&handle))
            break;
        unsubscribe(handle);
    }
    std::shared_ptr<IOMSubscriptionStub> stub;
    {
        std::lock_guard<std::mutex> lock(PoolLock());
        stub = std::move(PoolStub());
    }
    return RCC_S_OK;
}
