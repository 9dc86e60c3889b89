// The receiver of IOM property notifications that a node sends for a subscription.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rcc/IOMTransaction.h"
#include "rcc/RccValue.h"

class IOMNotificationSink {
public:
    virtual ~IOMNotificationSink() = default;

    virtual uint32_t onPropertyNotification(uint32_t subhandle, const std::string& className,
                                            const CRccValue& instanceId,
                                            const std::string& propertyName,
                                            const CRccValue& propertyValue, int32_t hresult,
                                            bool missedNotification) = 0;
    virtual uint32_t onPropertyMultiNotification(uint32_t subhandle, const std::string& className,
                                                 const CRccValue& instanceId,
                                                 const std::vector<std::string>& propertyNames,
                                                 const std::vector<CRccValue>& propertyValues,
                                                 bool onErrorContinue, int32_t hresult,
                                                 const std::vector<int32_t>& setResults,
                                                 bool missedNotification) = 0;
    virtual uint32_t onPropertyArrayNotification(
        uint32_t subhandle, const std::string& className, const CRccValue& instanceId,
        const std::string& propertyName, uint32_t startIndex, uint32_t count,
        const CRccValue& propertyValues, bool onErrorContinue, int32_t hresult,
        const std::vector<int32_t>& setResults, bool missedNotification) = 0;
    // By default one onPropertyNotification per property, in order, with the list's
    // subhandle, hresult and missedNotification; stops at the first failure and returns
    // the last result (RCC_S_OK for an empty list).
    virtual uint32_t onTransactionNotification(IOMTransactionList* list);
};
