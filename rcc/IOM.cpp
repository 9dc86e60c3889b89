#include "rcc/IOM.h"

#include <cstdio>

#include "rcc/RccTypes.h"

uint32_t IOM::getPropTransaction(IOMTransactionList& list) {
    std::fputs("getPropTransaction called:\n", stdout);
    uint32_t result = 0;
    for (IOMTransaction& transaction : list.transactions) {
        for (IOMTransactionProperty& property : transaction.properties) {
            CRccValue value;
            result = getProp(transaction.className, transaction.instanceId, property.propertyName,
                             value);
            if (RccFailed(result))
                return result;
            property.propertyValue = std::move(value);
        }
    }
    return result;
}

uint32_t IOM::setPropTransaction(IOMTransactionList& list) {
    std::fputs("setPropTransaction called:\n", stdout);
    uint32_t result = 0;
    for (const IOMTransaction& transaction : list.transactions) {
        for (const IOMTransactionProperty& property : transaction.properties) {
            result = setProp(transaction.className, transaction.instanceId, property.propertyName,
                             property.propertyValue);
            if (RccFailed(result))
                return result;
        }
    }
    return result;
}
