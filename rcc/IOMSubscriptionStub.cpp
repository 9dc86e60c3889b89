#include "rcc/IOMSubscriptionStub.h"

#include "rcc/RccLog.h"

namespace {

constexpr const char* kSubscriptionStubSource = "IOMSubscriptionStub";

// The request value at position i as the form of code C, or an empty one.
template <RccTypeCode C>
const typename RccTag<C>::type& Arg(const std::vector<CRccArg>& args, size_t i) {
    static const typename RccTag<C>::type none{};
    const auto* value = i < args.size() ? args[i].as<C>() : nullptr;
    return value ? *value : none;
}

}  // namespace

uint32_t IOMNotificationSink::onTransactionNotification(IOMTransactionList* list) {
    uint32_t result = RCC_S_OK;
    if (!list)
        return result;
    for (const IOMTransaction& transaction : list->transactions) {
        for (const IOMTransactionProperty& property : transaction.properties) {
            result = onPropertyNotification(list->subhandle, transaction.className,
                                            transaction.instanceId, property.propertyName,
                                            property.propertyValue, list->hresult,
                                            list->missedNotification);
            if (RccFailed(result))
                return result;
        }
    }
    return result;
}

void IOMSubscribeInterfaceStub::invoke(uint32_t interfaceId, uint32_t methodId,
                                       std::vector<CRccArg>& a, uint32_t* status,
                                       std::vector<CRccArg>&, IOMTransactionList* list) {
    if (interfaceId != RCC_IF_IOMSUBSCRIBE) {
        *status = RCC_E_UNKNOWN_INTERFACE;
        return;
    }
    switch (methodId) {
        case 0:
            *status = owner_.onPropertyNotification(
                Arg<RCC_U32>(a, 0), Arg<RCC_STR>(a, 1), Arg<RCC_VARIANT>(a, 2), Arg<RCC_STR>(a, 3),
                Arg<RCC_VARIANT>(a, 4), Arg<RCC_S32>(a, 5), Arg<RCC_BOOL>(a, 6) != 0);
            return;
        case 1:
            *status = owner_.onPropertyMultiNotification(
                Arg<RCC_U32>(a, 0), Arg<RCC_STR>(a, 1), Arg<RCC_VARIANT>(a, 2),
                Arg<RCC_ARRAY | RCC_STR>(a, 3), Arg<RCC_ARRAY | RCC_VARIANT>(a, 4),
                Arg<RCC_BOOL>(a, 5) != 0, Arg<RCC_S32>(a, 6), Arg<RCC_ARRAY | RCC_S32>(a, 7),
                Arg<RCC_BOOL>(a, 8) != 0);
            return;
        case 2:
            *status = owner_.onPropertyArrayNotification(
                Arg<RCC_U32>(a, 0), Arg<RCC_STR>(a, 1), Arg<RCC_VARIANT>(a, 2), Arg<RCC_STR>(a, 3),
                Arg<RCC_U32>(a, 4), Arg<RCC_U32>(a, 5), Arg<RCC_VARIANT>(a, 6),
                Arg<RCC_BOOL>(a, 7) != 0, Arg<RCC_S32>(a, 8), Arg<RCC_ARRAY | RCC_S32>(a, 9),
                Arg<RCC_BOOL>(a, 10) != 0);
            return;
        case 3:
            *status = owner_.onTransactionNotification(list);
            return;
    }
    RCC_LOG_ERR(kSubscriptionStubSource,
                "IOMSUBSCRIBE interface - unrecognized methodId %u (0x%x).", methodId, methodId);
    *status = RCC_E_UNKNOWN_METHOD;
}

IOMSubscriptionStub::IOMSubscriptionStub(RccTransport* factory, uint16_t port)
    : dispatcher_(std::make_unique<StubDispatcher>(factory, port, RCC_PROTOCOL_ID, 50)),
      interfaceStub_(*this) {
    dispatcher_->registerStub(RCC_IF_IOMSUBSCRIBE, "IOMSUBSCRIBE", &interfaceStub_);
}

IOMSubscriptionStub::~IOMSubscriptionStub() {
    dispatcher_->unregisterStub(RCC_IF_IOMSUBSCRIBE);
    // The dispatcher's thread ends before the map and the interface stub go.
    dispatcher_.reset();
    std::lock_guard<std::mutex> lock(lock_);
    subscriptions_.clear();
}

IOMNotificationSink* IOMSubscriptionStub::beginDelivery(uint32_t handle) {
    std::lock_guard<std::mutex> lock(lock_);
    auto found = subscriptions_.find(handle);
    if (found == subscriptions_.end())
        return nullptr;
    delivering_ = handle;
    deliveringThread_ = std::this_thread::get_id();
    return found->second.sink;
}

void IOMSubscriptionStub::endDelivery() {
    std::lock_guard<std::mutex> lock(lock_);
    delivering_ = 0;
    deliveringThread_ = {};
    delivered_.notify_all();
}

template <class Deliver>
uint32_t IOMSubscriptionStub::deliver(uint32_t handle, Deliver&& call) {
    IOMNotificationSink* sink = beginDelivery(handle);
    if (!sink)
        return RCC_E_UNKNOWN_SUBSCRIPTION;
    uint32_t result = call(*sink);
    endDelivery();
    return result;
}

void IOMSubscriptionStub::waitForDelivery(uint32_t handle) {
    std::unique_lock<std::mutex> lock(lock_);
    delivered_.wait(lock, [&] {
        return delivering_ != handle || deliveringThread_ == std::this_thread::get_id();
    });
}

uint32_t IOMSubscriptionStub::onPropertyNotification(
    uint32_t subhandle, const std::string& className, const CRccValue& instanceId,
    const std::string& propertyName, const CRccValue& propertyValue, int32_t hresult, bool missed) {
    return deliver(subhandle, [&](IOMNotificationSink& sink) {
        return sink.onPropertyNotification(subhandle, className, instanceId, propertyName,
                                           propertyValue, hresult, missed);
    });
}

uint32_t IOMSubscriptionStub::onPropertyMultiNotification(
    uint32_t subhandle, const std::string& className, const CRccValue& instanceId,
    const std::vector<std::string>& propertyNames, const std::vector<CRccValue>& propertyValues,
    bool onErrorContinue, int32_t hresult, const std::vector<int32_t>& setResults, bool missed) {
    return deliver(subhandle, [&](IOMNotificationSink& sink) {
        return sink.onPropertyMultiNotification(subhandle, className, instanceId, propertyNames,
                                                propertyValues, onErrorContinue, hresult,
                                                setResults, missed);
    });
}

uint32_t IOMSubscriptionStub::onPropertyArrayNotification(
    uint32_t subhandle, const std::string& className, const CRccValue& instanceId,
    const std::string& propertyName, uint32_t startIndex, uint32_t count,
    const CRccValue& propertyValues, bool onErrorContinue, int32_t hresult,
    const std::vector<int32_t>& setResults, bool missed) {
    return deliver(subhandle, [&](IOMNotificationSink& sink) {
        return sink.onPropertyArrayNotification(subhandle, className, instanceId, propertyName,
                                                startIndex, count, propertyValues, onErrorContinue,
                                                hresult, setResults, missed);
    });
}

uint32_t IOMSubscriptionStub::onTransactionNotification(IOMTransactionList* list) {
    if (!list)
        return RCC_E_UNKNOWN_SUBSCRIPTION;
    return deliver(list->subhandle,
                   [&](IOMNotificationSink& sink) { return sink.onTransactionNotification(list); });
}

uint32_t IOMSubscriptionStub::addSubscription(const IOMSubscriptionRecord& record) {
    std::lock_guard<std::mutex> lock(lock_);
    if (subscriptions_.size() >= kMaxHandle)
        return 0;
    do lastHandle_ = lastHandle_ >= kMaxHandle ? 1 : lastHandle_ + 1;
    while (subscriptions_.count(lastHandle_));
    subscriptions_[lastHandle_] = record;
    return lastHandle_;
}

bool IOMSubscriptionStub::findSubscription(uint32_t handle, IOMSubscriptionRecord* record) {
    std::lock_guard<std::mutex> lock(lock_);
    auto found = subscriptions_.find(handle);
    if (found == subscriptions_.end())
        return false;
    if (record)
        *record = found->second;
    return true;
}

void IOMSubscriptionStub::removeSubscription(uint32_t handle) {
    std::lock_guard<std::mutex> lock(lock_);
    subscriptions_.erase(handle);
}

bool IOMSubscriptionStub::firstSubscription(uint32_t* handle) {
    std::lock_guard<std::mutex> lock(lock_);
    if (subscriptions_.empty())
        return false;
    if (handle)
        *handle = subscriptions_.begin()->first;
    return true;
}

bool IOMSubscriptionStub::isEmpty() {
    std::lock_guard<std::mutex> lock(lock_);
    return subscriptions_.empty();
}
