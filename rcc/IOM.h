// IOM: the object model a node exposes (classes by name, instances by a typed id,
// properties by name, methods with typed arguments), as its clients call it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rcc/IOMTransaction.h"
#include "rcc/RccValue.h"

class IOM {
public:
    virtual ~IOM() = default;

    virtual uint32_t getProp(const std::string& className, const CRccValue& instanceId,
                             const std::string& propertyName, CRccValue& propertyValue) = 0;
    virtual uint32_t setProp(const std::string& className, const CRccValue& instanceId,
                             const std::string& propertyName, const CRccValue& propertyValue) = 0;
    virtual uint32_t getPropMulti(const std::string& className, const CRccValue& instanceId,
                                  const std::vector<std::string>& propertyNames,
                                  std::vector<CRccValue>& propertyValues) = 0;
    virtual uint32_t setPropMulti(const std::string& className, const CRccValue& instanceId,
                                  const std::vector<std::string>& propertyNames,
                                  const std::vector<CRccValue>& propertyValues,
                                  bool onErrorContinue, std::vector<int32_t>& setResults) = 0;
    // propertyValues: one value holding an array.
    virtual uint32_t getPropArray(const std::string& className, const CRccValue& instanceId,
                                  const std::string& propertyName, uint32_t startIndex,
                                  uint32_t count, CRccValue& propertyValues) = 0;
    virtual uint32_t setPropArray(const std::string& className, const CRccValue& instanceId,
                                  const std::string& propertyName, uint32_t startIndex,
                                  uint32_t count, const CRccValue& propertyValues,
                                  bool onErrorContinue, std::vector<int32_t>& setResults) = 0;
    // By default one getProp (setProp) per property of every transaction, in order; a
    // read value is stored into its property. Stops at the first failure, which is the
    // result; else the last success (0 for an empty list).
    virtual uint32_t getPropTransaction(IOMTransactionList& list);
    virtual uint32_t setPropTransaction(IOMTransactionList& list);
    virtual uint32_t invokeMethod(const std::string& className, const CRccValue& instanceId,
                                  const std::string& methodName,
                                  const std::vector<CRccValue>& methodArgs,
                                  std::vector<CRccValue>& methodResults) = 0;
};
