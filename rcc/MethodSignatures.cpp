#include "rcc/MethodSignatures.h"

#include "platform/VavClock.h"
#include "rcc/RccLog.h"

namespace {

constexpr const char* kSignaturesSource = "RCCImpl";

using Args = std::vector<CMethodArg>;

// The argument lists below spell the wire: each type code with its input and array flags.
const CMethodArg kClassName{"className", RCC_INPUT | RCC_STR};
const CMethodArg kInstanceId{"instanceId", RCC_INPUT | RCC_VARIANT};
const CMethodArg kPropertyName{"propertyName", RCC_INPUT | RCC_STR};
const CMethodArg kPropertyNames{"propertyNames", RCC_INPUT | RCC_ARRAY | RCC_STR};
const CMethodArg kSetResults{"setResults", RCC_ARRAY | RCC_S32};
const CMethodArg kOnErrorContinue{"onErrorContinue", RCC_INPUT | RCC_BOOL};
const CMethodArg kStartIndex{"startIndex", RCC_INPUT | RCC_U32};
const CMethodArg kCount{"count", RCC_INPUT | RCC_U32};
const CMethodArg kSubhandle{"subhandle", RCC_U32};
const CMethodArg kHresult{"hresult", RCC_INPUT | RCC_S32};
const CMethodArg kMissed{"missedNotification", RCC_INPUT | RCC_BOOL};
const CMethodArg kNotifySetResults{"setResults", RCC_INPUT | RCC_ARRAY | RCC_S32};

std::vector<CMethodSignature> Interface(uint32_t id, std::vector<std::pair<Args, Args>> methods) {
    std::vector<CMethodSignature> list;
    for (uint32_t m = 0; m < methods.size(); ++m)
        list.emplace_back(id, m, std::move(methods[m].first), std::move(methods[m].second));
    return list;
}

// clang-format off
std::vector<CMethodSignature> IStandard() {
    return Interface(RCC_IF_ISTANDARD, {
        {{}, {{"interfaceNames", RCC_ARRAY | RCC_STR}}},
        {{{"interfaceName", RCC_INPUT | RCC_STR}}, {{"isSupported", RCC_BOOL}}},
    });
}

std::vector<CMethodSignature> Iom() {
    const Args target{kClassName, kInstanceId};
    auto with = [&](Args more) {
        Args args = target;
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const Args subscription{kSubhandle, {"ipAddress", RCC_INPUT | RCC_U32},
                            {"appid", RCC_INPUT | RCC_U8}, {"port", RCC_INPUT | RCC_U16}};
    return Interface(RCC_IF_IOM, {
        {with({kPropertyName}), {{"propertyValue", RCC_VARIANT}}},
        {with({kPropertyName, {"propertyValue", RCC_INPUT | RCC_VARIANT}}), {}},
        {with({kPropertyNames}), {{"propertyValues", RCC_ARRAY | RCC_VARIANT}}},
        {with({kPropertyNames, {"propertyValues", RCC_INPUT | RCC_ARRAY | RCC_VARIANT},
               kOnErrorContinue}),
         {kSetResults}},
        {with({kPropertyName, kStartIndex, kCount}), {{"propertyValues", RCC_VARIANT}}},
        {with({kPropertyName, kStartIndex, kCount, {"propertyValues", RCC_INPUT | RCC_VARIANT},
               kOnErrorContinue}),
         {kSetResults}},
        {with({{"methodName", RCC_INPUT | RCC_STR},
               {"methodArgs", RCC_INPUT | RCC_ARRAY | RCC_VARIANT}}),
         {{"methodResults", RCC_ARRAY | RCC_VARIANT}}},
        {subscription, {}},
        {subscription, {}},
        {{}, {}},
        {{}, {}},
    });
}

std::vector<CMethodSignature> IomSubscribe() {
    return Interface(RCC_IF_IOMSUBSCRIBE, {
        {{kSubhandle, kClassName, kInstanceId, kPropertyName,
          {"propertyValue", RCC_INPUT | RCC_VARIANT}, kHresult, kMissed},
         {}},
        {{kSubhandle, kClassName, kInstanceId, kPropertyNames,
          {"propertyValues", RCC_INPUT | RCC_ARRAY | RCC_VARIANT}, kOnErrorContinue, kHresult,
          kNotifySetResults, kMissed},
         {}},
        {{kSubhandle, kClassName, kInstanceId, kPropertyName, kStartIndex, kCount,
          {"propertyValues", RCC_INPUT | RCC_VARIANT}, kOnErrorContinue, kHresult,
          kNotifySetResults, kMissed},
         {}},
        {{{"subhandle", RCC_INPUT | RCC_U32}}, {}},
    });
}

std::vector<CMethodSignature> FileService() {
    const CMethodArg dir{"dir", RCC_INPUT | RCC_STR};
    const CMethodArg file{"file", RCC_INPUT | RCC_STR};
    const CMethodArg drive{"drive", RCC_INPUT | RCC_STR};
    const CMethodArg lockType{"lockType", RCC_INPUT | RCC_U8};
    std::vector<std::pair<Args, Args>> methods = {
        {{}, {}},
        {{}, {}},
        {{dir}, {{"results", RCC_ARRAY | RCC_FI}}},
        {{dir}, {}},
        {{dir}, {}},
        {{dir}, {}},
        {{{"oldName", RCC_INPUT | RCC_STR}, {"newName", RCC_INPUT | RCC_STR}}, {}},
        {{{"source", RCC_INPUT | RCC_STR}, {"target", RCC_INPUT | RCC_STR}}, {}},
        {{file}, {}},
        {{file, {"offset", RCC_INPUT | RCC_U32}}, {{"block", RCC_RB}}},
        {{file}, {}},
        {{file, {"block", RCC_INPUT | RCC_RB}}, {}},
        {{file}, {}},
        {{file}, {{"fileInfo", RCC_FI}}},
        {{file, lockType}, {{"lockKey", RCC_U32}}},
        {{file, lockType, {"lockKey", RCC_INPUT | RCC_U32}}, {}},
        {{file, {"flags", RCC_INPUT | RCC_U8}}, {}},
        {{drive}, {}},
        {{drive}, {}},
        {{file}, {}},
        {{file}, {}},
        {{file, {"size", RCC_INPUT | RCC_U32}}, {}},
        {{file}, {}},
    };
    // The file service's records carry the ids 0 and 0, as its peers expect; lookup goes
    // by position only.
    std::vector<CMethodSignature> list = Interface(0, std::move(methods));
    for (CMethodSignature& signature : list)
        signature.methodId = 0;
    return list;
}
// clang-format on

}  // namespace

CMethodSignature::CMethodSignature(uint32_t iid, uint32_t mid, std::vector<CMethodArg> req,
                                   std::vector<CMethodArg> rep)
    : request(std::move(req)), reply(std::move(rep)), interfaceId(iid), methodId(mid) {}

bool CMethodSignature::carriesTransactionList() const {
    return (interfaceId == RCC_IF_IOM && (methodId == 9 || methodId == 10)) ||
           (interfaceId == RCC_IF_IOMSUBSCRIBE && methodId == 3);
}

CMethodSignatures::CMethodSignatures() {
    registerInterface(RCC_IF_ISTANDARD, IStandard());
    registerInterface(RCC_IF_IOM, Iom());
    registerInterface(RCC_IF_IOMSUBSCRIBE, IomSubscribe());
    registerInterface(RCC_IF_FILESERVICE, FileService());
}

bool CMethodSignatures::registerInterface(uint32_t interfaceId,
                                          std::vector<CMethodSignature> methods) {
    std::unique_lock lock(lock_);
    if (interfaces_.count(interfaceId))
        return false;
    interfaces_[interfaceId] = std::make_unique<std::vector<CMethodSignature>>(std::move(methods));
    return true;
}

const CMethodSignature* CMethodSignatures::getSignature(uint32_t interfaceId,
                                                        uint32_t methodId) const {
    std::shared_lock lock(lock_);
    auto found = interfaces_.find(interfaceId);
    if (found == interfaces_.end()) {
        RCC_LOG_ERR(kSignaturesSource,
                    "CMethodSignatures::getSignature() - unknown interfaceId %d (0x%x).",
                    interfaceId, interfaceId);
        return nullptr;
    }
    const std::vector<CMethodSignature>& methods = *found->second;
    if (methodId >= methods.size()) {
        RCC_LOG_ERR(kSignaturesSource,
                    "CMethodSignatures::getSignature() - for interfaceId %d (0x%x) got bad "
                    "methodId %d (0x%x).",
                    interfaceId, interfaceId, methodId, methodId);
        return nullptr;
    }
    return &methods[methodId];
}

bool CMethodSignatures::hasInterface(uint32_t interfaceId) const {
    std::shared_lock lock(lock_);
    return interfaces_.count(interfaceId) != 0;
}

CMethodSignatures& getSignatureRegistry() {
    static CMethodSignatures registry;
    return registry;
}

RccSequenceGenerator::RccSequenceGenerator(const std::function<uint32_t()>& clock) {
    do next_ = clock();
    while (next_ == 0);
}

uint32_t RccSequenceGenerator::next() {
    std::lock_guard<std::mutex> lock(mutex_);
    uint32_t value = next_;
    next_ = value == 0xFFFFFFFF ? 1 : value + 1;
    return value;
}

RccSequenceGenerator& getSequenceGenerator() {
    // Starts from the millisecond clock, so that two runs of a program do not start with
    // the same numbers.
    static RccSequenceGenerator generator([] { return GetMilliseconds(); });
    return generator;
}
