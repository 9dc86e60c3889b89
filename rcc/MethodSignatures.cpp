#include "rcc/MethodSignatures.h"

#include "platform/VavClock.h"
#include "rcc/RccLog.h"

namespace {

constexpr const char* kSource = "RCCImpl";

using Args = std::vector<CMethodArg>;

// The argument lists below spell the wire, type codes with their flags as they stand.
const CMethodArg kClassName{"className", 0x00800009};
const CMethodArg kInstanceId{"instanceId", 0x0080000A};
const CMethodArg kPropertyName{"propertyName", 0x00800009};
const CMethodArg kPropertyNames{"propertyNames", 0x08800009};
const CMethodArg kSetResults{"setResults", 0x08000006};
const CMethodArg kOnErrorContinue{"onErrorContinue", 0x00800008};
const CMethodArg kStartIndex{"startIndex", 0x00800003};
const CMethodArg kCount{"count", 0x00800003};
const CMethodArg kSubhandle{"subhandle", 0x00000003};
const CMethodArg kHresult{"hresult", 0x00800006};
const CMethodArg kMissed{"missedNotification", 0x00800008};
const CMethodArg kNotifySetResults{"setResults", 0x08800006};

std::vector<CMethodSignature> Interface(uint32_t id, std::vector<std::pair<Args, Args>> methods) {
    std::vector<CMethodSignature> list;
    for (uint32_t m = 0; m < methods.size(); ++m)
        list.emplace_back(id, m, std::move(methods[m].first), std::move(methods[m].second));
    return list;
}

// clang-format off
std::vector<CMethodSignature> IStandard() {
    return Interface(RCC_IF_ISTANDARD, {
        {{}, {{"interfaceNames", 0x08000009}}},
        {{{"interfaceName", 0x00800009}}, {{"isSupported", 0x00000008}}},
    });
}

std::vector<CMethodSignature> Iom() {
    const Args target{kClassName, kInstanceId};
    auto with = [&](Args more) {
        Args args = target;
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const Args subscription{kSubhandle, {"ipAddress", 0x00800003}, {"appid", 0x00800001},
                            {"port", 0x00800002}};
    return Interface(RCC_IF_IOM, {
        {with({kPropertyName}), {{"propertyValue", 0x0000000A}}},
        {with({kPropertyName, {"propertyValue", 0x0080000A}}), {}},
        {with({kPropertyNames}), {{"propertyValues", 0x0800000A}}},
        {with({kPropertyNames, {"propertyValues", 0x0880000A}, kOnErrorContinue}), {kSetResults}},
        {with({kPropertyName, kStartIndex, kCount}), {{"propertyValues", 0x0000000A}}},
        {with({kPropertyName, kStartIndex, kCount, {"propertyValues", 0x0080000A},
               kOnErrorContinue}),
         {kSetResults}},
        {with({{"methodName", 0x00800009}, {"methodArgs", 0x0880000A}}),
         {{"methodResults", 0x0800000A}}},
        {subscription, {}},
        {subscription, {}},
        {{}, {}},
        {{}, {}},
    });
}

std::vector<CMethodSignature> IomSubscribe() {
    return Interface(RCC_IF_IOMSUBSCRIBE, {
        {{kSubhandle, kClassName, kInstanceId, kPropertyName, {"propertyValue", 0x0080000A},
          kHresult, kMissed},
         {}},
        {{kSubhandle, kClassName, kInstanceId, kPropertyNames, {"propertyValues", 0x0880000A},
          kOnErrorContinue, kHresult, kNotifySetResults, kMissed},
         {}},
        {{kSubhandle, kClassName, kInstanceId, kPropertyName, kStartIndex, kCount,
          {"propertyValues", 0x0080000A}, kOnErrorContinue, kHresult, kNotifySetResults, kMissed},
         {}},
        {{{"subhandle", 0x00800003}}, {}},
    });
}

std::vector<CMethodSignature> FileService() {
    const CMethodArg dir{"dir", 0x00800009};
    const CMethodArg file{"file", 0x00800009};
    const CMethodArg drive{"drive", 0x00800009};
    const CMethodArg lockType{"lockType", 0x00800001};
    std::vector<std::pair<Args, Args>> methods = {
        {{}, {}},
        {{}, {}},
        {{dir}, {{"results", 0x08000012}}},
        {{dir}, {}},
        {{dir}, {}},
        {{dir}, {}},
        {{{"oldName", 0x00800009}, {"newName", 0x00800009}}, {}},
        {{{"source", 0x00800009}, {"target", 0x00800009}}, {}},
        {{file}, {}},
        {{file, {"offset", 0x00800003}}, {{"block", 0x00000011}}},
        {{file}, {}},
        {{file, {"block", 0x00800011}}, {}},
        {{file}, {}},
        {{file}, {{"fileInfo", 0x00000012}}},
        {{file, lockType}, {{"lockKey", 0x00000003}}},
        {{file, lockType, {"lockKey", 0x00800003}}, {}},
        {{file, {"flags", 0x00800001}}, {}},
        {{drive}, {}},
        {{drive}, {}},
        {{file}, {}},
        {{file}, {}},
        {{file, {"size", 0x00800003}}, {}},
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
        RCC_LOG_ERR(kSource, "CMethodSignatures::getSignature() - unknown interfaceId %d (0x%x).",
                    interfaceId, interfaceId);
        return nullptr;
    }
    const std::vector<CMethodSignature>& methods = *found->second;
    if (methodId >= methods.size()) {
        RCC_LOG_ERR(kSource,
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
