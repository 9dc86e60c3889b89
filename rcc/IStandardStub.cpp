#include "rcc/IStandardStub.h"

#include "rcc/RccLog.h"
#include "rcc/StubDispatcher.h"

void IStandardStub::invoke(uint32_t interfaceId, uint32_t methodId,
                           std::vector<CRccArg>& requestArgs, uint32_t* status,
                           std::vector<CRccArg>& replyArgs, IOMTransactionList*) {
    if (interfaceId != RCC_IF_ISTANDARD) {
        *status = RCC_E_UNKNOWN_INTERFACE;
        return;
    }
    if (methodId == 0 && !replyArgs.empty()) {
        *status = owner_.getInterfaceNames(replyArgs[0].as<RCC_ARRAY | RCC_STR>());
        return;
    }
    if (methodId == 1 && !requestArgs.empty() && !replyArgs.empty()) {
        const std::string* name = requestArgs[0].as<RCC_STR>();
        uint8_t* supported = replyArgs[0].as<RCC_BOOL>();
        bool found = false;
        *status = owner_.isInterfaceSupported(name ? *name : std::string(), &found);
        if (supported)
            *supported = found ? 1 : 0;
        return;
    }
    RCC_LOG_ERR("IStandardStub", "IStandard interface - unrecognized methodId %u (0x%x).", methodId,
                methodId);
    *status = RCC_E_UNKNOWN_METHOD;
}
