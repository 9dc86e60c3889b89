// The signatures of every method of the remote-call interfaces (which typed values a
// request carries after its header and which a reply carries after its status), the
// process-wide registry of them, and the generator of request sequence numbers.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "rcc/RccTypes.h"

// One value of a signature. The name never travels.
struct CMethodArg {
    std::string name;
    RccTypeCode type = 0;
};

class CMethodSignature {
public:
    CMethodSignature() = default;
    CMethodSignature(uint32_t interfaceId, uint32_t methodId, std::vector<CMethodArg> request,
                     std::vector<CMethodArg> reply);
    virtual ~CMethodSignature() = default;
    CMethodSignature(const CMethodSignature&) = default;
    CMethodSignature& operator=(const CMethodSignature&) = default;

    std::vector<CMethodArg> request;  // in wire order
    std::vector<CMethodArg> reply;    // after the status, in wire order
    uint32_t interfaceId = 0;
    uint32_t methodId = 0;

    // True for the three methods whose body is a whole IOMTransactionList (IOM 9 and 10,
    // IOMSUBSCRIBE 3), told by the record's own ids.
    bool carriesTransactionList() const;
};

class CMethodSignatures {
public:
    // The registry with the four built-in interfaces.
    CMethodSignatures();
    CMethodSignatures(const CMethodSignatures&) = delete;
    CMethodSignatures& operator=(const CMethodSignatures&) = delete;

    // Adds an interface's signatures (index = method id); false when the id is taken
    // (the first registration stays).
    bool registerInterface(uint32_t interfaceId, std::vector<CMethodSignature> methods);
    // The signature, or null (logged) for an unknown interface or method. The pointer
    // stays valid for the registry's life.
    const CMethodSignature* getSignature(uint32_t interfaceId, uint32_t methodId) const;
    // True when the interface is registered (nothing is logged).
    bool hasInterface(uint32_t interfaceId) const;

private:
    mutable std::shared_mutex lock_;
    std::map<uint32_t, std::unique_ptr<std::vector<CMethodSignature>>> interfaces_;
};

// The process-wide registry, complete before any caller can ask for it.
CMethodSignatures& getSignatureRegistry();

// Hands out request sequence numbers: starts at the millisecond clock (never 0), then one
// more per request, 1 after 0xFFFFFFFF.
class RccSequenceGenerator {
public:
    explicit RccSequenceGenerator(const std::function<uint32_t()>& clock);
    uint32_t next();

private:
    std::mutex mutex_;
    uint32_t next_;
};

RccSequenceGenerator& getSequenceGenerator();
