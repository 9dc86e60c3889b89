// CIOMProxy: IOM over remote calls. Each operation is one request on interface 2 through
// the client proxy; subscriptions to property notifications go through the process's
// one IOMSubscriptionStub, which the first subscribe creates.
#pragma once

#include "rcc/IOM.h"
#include "rcc/IOMNotificationSink.h"
#include "rcc/KoltPVersion.h"
#include "rcc/ProxyBase.h"

class CIOMProxy : public IOM, public CProxyBase {
public:
    // The editor passes its transport, port 36507, protocol id 9 and 50.
    CIOMProxy(RccTransport* factory, uint16_t defaultPort = RCC_DEFAULT_PORT,
              uint8_t protocolId = RCC_PROTOCOL_ID, uint32_t connectionParameter = 50);

    // Each returns 0x812C0009 without sending anything while another call runs on this
    // proxy, else the status of the call.
    uint32_t getProp(const std::string& className, const CRccValue& instanceId,
                     const std::string& propertyName, CRccValue& propertyValue) override;
    uint32_t setProp(const std::string& className, const CRccValue& instanceId,
                     const std::string& propertyName, const CRccValue& propertyValue) override;
    uint32_t getPropMulti(const std::string& className, const CRccValue& instanceId,
                          const std::vector<std::string>& propertyNames,
                          std::vector<CRccValue>& propertyValues) override;
    uint32_t setPropMulti(const std::string& className, const CRccValue& instanceId,
                          const std::vector<std::string>& propertyNames,
                          const std::vector<CRccValue>& propertyValues, bool onErrorContinue,
                          std::vector<int32_t>& setResults) override;
    uint32_t getPropArray(const std::string& className, const CRccValue& instanceId,
                          const std::string& propertyName, uint32_t startIndex, uint32_t count,
                          CRccValue& propertyValues) override;
    uint32_t setPropArray(const std::string& className, const CRccValue& instanceId,
                          const std::string& propertyName, uint32_t startIndex, uint32_t count,
                          const CRccValue& propertyValues, bool onErrorContinue,
                          std::vector<int32_t>& setResults) override;
    // One request whatever the number of properties; the reply's list replaces the
    // list's transactions, tag and flags (and its notification fields when they travel).
    uint32_t getPropTransaction(IOMTransactionList& list) override;
    uint32_t setPropTransaction(IOMTransactionList& list) override;
    uint32_t invokeMethod(const std::string& className, const CRccValue& instanceId,
                          const std::string& methodName, const std::vector<CRccValue>& methodArgs,
                          std::vector<CRccValue>& methodResults) override;

    // Subscribes the sink to the connected node's notifications; *handle receives the
    // subscription's handle (0 on failure). 0x812C0009 when the proxy has no node,
    // 0x812C0004 when every handle is in use, 0x812C001E when the notifications' port
    // cannot be had, else the node's answer.
    virtual uint32_t subscribe(IOMNotificationSink* sink, uint32_t* handle);
    // The record of a handle; false when there is none.
    virtual bool getSubscription(uint32_t handle, IOMNotificationSink** sink, uint32_t* address,
                                 uint8_t* appId, uint16_t* port);
    // Ends a subscription at its node (connecting the proxy to it); 0x012C0000 with
    // nothing sent for an unknown handle. Once it returns the sink is not called for it.
    virtual uint32_t unsubscribe(uint32_t handle);
    // Ends every subscription of the process and closes the notifications' port.
    virtual uint32_t unsubscribeAll();

    const KoltPVersion& getVersion() const { return version_; }

private:
    uint32_t subscriptionCall(uint32_t methodId, uint32_t handle);

    KoltPVersion version_{RCC_VERSION_MAJOR, RCC_VERSION_MINOR, RCC_VERSION_BUILD};
};
