// The editor's end of IOM subscriptions: a dispatcher on the editor's remote-call port
// that serves interface 3, "IOMSUBSCRIBE", and hands each notification to the sink that
// subscribed under the notification's handle.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "rcc/IInterfaceStub.h"
#include "rcc/IOMNotificationSink.h"
#include "rcc/RccLink.h"
#include "rcc/StubDispatcher.h"

// One subscription: whom to tell, and the node it was made with.
struct IOMSubscriptionRecord {
    IOMNotificationSink* sink = nullptr;
    uint32_t address = 0;
    uint16_t port = 0;
    uint8_t appId = 0;
};

class IOMSubscriptionStub;

// The stub of interface 3: passes each notification to its owner.
class IOMSubscribeInterfaceStub : public IInterfaceStub {
public:
    explicit IOMSubscribeInterfaceStub(IOMSubscriptionStub& owner) : owner_(owner) {}
    void invoke(uint32_t interfaceId, uint32_t methodId, std::vector<CRccArg>& requestArgs,
                uint32_t* status, std::vector<CRccArg>& replyArgs,
                IOMTransactionList* list) override;

private:
    IOMSubscriptionStub& owner_;
};

class IOMSubscriptionStub : public IOMNotificationSink {
public:
    // Handles run from 1 to this.
    static constexpr uint32_t kMaxHandle = 65500;

    // Listens on `port` of the factory's remote-call channel.
    IOMSubscriptionStub(RccTransport* factory, uint16_t port);
    ~IOMSubscriptionStub() override;

    // Each routes a notification to the sink of its handle: 0x812F000E when no
    // subscription has that handle, else the sink's result.
    uint32_t onPropertyNotification(uint32_t subhandle, const std::string& className,
                                    const CRccValue& instanceId, const std::string& propertyName,
                                    const CRccValue& propertyValue, int32_t hresult,
                                    bool missedNotification) override;
    uint32_t onPropertyMultiNotification(uint32_t subhandle, const std::string& className,
                                         const CRccValue& instanceId,
                                         const std::vector<std::string>& propertyNames,
                                         const std::vector<CRccValue>& propertyValues,
                                         bool onErrorContinue, int32_t hresult,
                                         const std::vector<int32_t>& setResults,
                                         bool missedNotification) override;
    uint32_t onPropertyArrayNotification(uint32_t subhandle, const std::string& className,
                                         const CRccValue& instanceId,
                                         const std::string& propertyName, uint32_t startIndex,
                                         uint32_t count, const CRccValue& propertyValues,
                                         bool onErrorContinue, int32_t hresult,
                                         const std::vector<int32_t>& setResults,
                                         bool missedNotification) override;
    uint32_t onTransactionNotification(IOMTransactionList* list) override;

    // Records a subscription under a new handle (the next after the last issued that is
    // free, 1 after 65500); 0 when every handle is in use.
    virtual uint32_t addSubscription(const IOMSubscriptionRecord& record);
    // A copy of the record of a handle; false when there is none.
    virtual bool findSubscription(uint32_t handle, IOMSubscriptionRecord* record);
    // Removes a subscription; an unknown handle is ignored. A notification already being
    // delivered to it may still be running; waitForDelivery waits for it.
    virtual void removeSubscription(uint32_t handle);
    // The smallest live handle; false when there is none.
    virtual bool firstSubscription(uint32_t* handle);
    virtual bool isEmpty();
    // Returns once no notification is being delivered for the handle (at once when called
    // from within that delivery).
    void waitForDelivery(uint32_t handle);

    bool isListening() const { return dispatcher_ && dispatcher_->isListening(); }

private:
    // Finds the sink of a handle and marks its delivery as running; null when unknown.
    IOMNotificationSink* beginDelivery(uint32_t handle);
    void endDelivery();
    template <class Deliver>
    uint32_t deliver(uint32_t handle, Deliver&& call);

    std::unique_ptr<StubDispatcher> dispatcher_;
    IOMSubscribeInterfaceStub interfaceStub_;

    std::mutex lock_;
    std::condition_variable delivered_;
    uint32_t lastHandle_ = 0;
    std::map<uint32_t, IOMSubscriptionRecord> subscriptions_;
    uint32_t delivering_ = 0;
    std::thread::id deliveringThread_;
};
