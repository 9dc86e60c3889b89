// A small IOM object model served over remote calls, for tests: properties by class,
// instance and name, U16 array properties, a few methods, and the subscriptions made.
//
//   TestIomNode node;  dispatcher.registerStub(2, "IOM", &node);
//   node.set("Node", "Name", CRccValue::ofString("n1"));
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "os/Event.h"
#include "rcc/IInterfaceStub.h"
#include "rcc/RccTypes.h"

class CProxyBase;

// What a node sends for a property change: IOMSUBSCRIBE method 0 (instance U32 1, hresult
// 0, nothing missed) on a proxy connected to the subscriber's port.
uint32_t SendPropertyNotification(CProxyBase& notifier, uint32_t handle, std::string className,
                                  std::string property, CRccValue value);

class TestIomNode : public IInterfaceStub {
public:
    // The status of a property the node does not have, and of the method "fail".
    static constexpr uint32_t kNoSuchProperty = 0x80004005;

    struct Subscription {
        uint32_t handle;
        uint32_t address;
        uint8_t appId;
        uint16_t port;
    };

    void set(const std::string& className, const std::string& property, CRccValue value);
    CRccValue get(const std::string& className, const std::string& property);
    std::vector<Subscription> subscriptions();
    std::vector<uint32_t> methodsCalled();

    // The method "block" waits until this is set.
    os::Event release{true, false};
    // Set while "block" runs.
    os::Event blocking{true, false};

    void invoke(uint32_t interfaceId, uint32_t methodId, std::vector<CRccArg>& request,
                uint32_t* status, std::vector<CRccArg>& reply, IOMTransactionList* list) override;

private:
    uint32_t getProp(const std::vector<CRccArg>& request, std::vector<CRccArg>& reply);
    uint32_t setPropArray(const std::vector<CRccArg>& request, std::vector<CRccArg>& reply);
    uint32_t getPropArray(const std::vector<CRccArg>& request, std::vector<CRccArg>& reply);
    uint32_t invokeMethod(const std::vector<CRccArg>& request, std::vector<CRccArg>& reply);
    uint32_t transaction(IOMTransactionList& list, bool write);

    std::mutex lock_;
    std::map<std::pair<std::string, std::string>, CRccValue> properties_;
    std::vector<Subscription> subscriptions_;
    std::vector<uint32_t> called_;
};
