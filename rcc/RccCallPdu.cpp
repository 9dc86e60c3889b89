#include "rcc/RccCallPdu.h"

#include "rcc/RccBody.h"
#include "rcc/RccLog.h"

namespace {
constexpr const char* kCallPduSource = "ProxyBase";
}  // namespace

uint32_t RccBuildRequest(CRccBuffer& out, const RccPduHeader& header,
                         const CMethodSignature& signature, const std::vector<CRccArg>& inArgs,
                         const IOMTransactionList* list) {
    RccBodyResult result = RccBodyResult::OutOfMemory;
    if (RccAppendHeader(out, header)) {
        if (list) {
            result = RccAppendTransactionList(out, *list);
        } else {
            result = RccWriteBody(
                out, signature.request, inArgs, RccIsRequestCode, [](RccTypeCode code) {
                    RCC_LOG_ERR(kCallPduSource, "Unknown input arg type for marshaling - 0x%x.",
                                code);
                });
        }
    }
    switch (result) {
        case RccBodyResult::Ok:
            RccPatchLength(out);
            return RCC_S_OK;
        case RccBodyResult::MissingArgument:
            RCC_LOG_ERR(kCallPduSource,
                        "proxyRequest() - fewer arguments than the method's signature.");
            break;
        case RccBodyResult::TooManyItems:
            RCC_LOG_ERR(kCallPduSource, "proxyRequest() - transaction list too long for the wire.");
            break;
        case RccBodyResult::OutOfMemory:
            RCC_LOG_ERR(kCallPduSource, "Out of memory.");
            break;
    }
    return RCC_E_OUT_OF_MEMORY;
}

RccReplyError RccReadReply(CRccBuffer& in, const RccPduHeader& request,
                           const CMethodSignature& signature, const std::vector<CRccArg>& outArgs,
                           IOMTransactionList* list, uint32_t& status) {
    size_t received = in.count();
    RccPduHeader reply;
    int32_t word = 0;
    if (RccTakeHeader(in, reply) != RccDecodeError::None ||
        !RccReplyMatches(request, reply, received) ||
        RccTake<RCC_S32>(in, word) != RccDecodeError::None) {
        RCC_LOG_ERR(kCallPduSource, "proxyRequest() - RCC reply header mismatch.");
        return RccReplyError::HeaderMismatch;
    }
    status = static_cast<uint32_t>(word);
    if (in.count() == 0)
        return RccReplyError::None;
    RccDecodeError e = RccDecodeError::None;
    if (list) {
        e = RccReadTransactionList(in, *list);
    } else {
        e = RccReadBody(in, signature.reply, outArgs, RccIsReplyCode, [](RccTypeCode code) {
            RCC_LOG_ERR(kCallPduSource, "Unknown output arg type for unmarshaling - 0x%x.", code);
        });
    }
    if (e != RccDecodeError::None) {
        RCC_LOG_ERR(kCallPduSource, "proxyRequest() - RCC reply body could not be read: %s.",
                    RccDecodeErrorText(e));
        return RccReplyError::BadBody;
    }
    return RccReplyError::None;
}

RccDecodeError RccReadRequest(CRccBuffer& in, const CMethodSignature& signature, RccOwnedArgs& args,
                              IOMTransactionList& list) {
    if (signature.carriesTransactionList())
        return RccReadTransactionList(in, list);
    for (const CMethodArg& arg : signature.request)
        args.add(RccIsRequestCode(arg.type) ? arg.type : RCC_EMPTY);
    return RccReadBody(in, signature.request, args.args(), RccIsRequestCode, [](RccTypeCode code) {
        RCC_LOG_ERR("StubDispatcher", "Unknown input arg type for unmarshaling - 0x%x.", code);
    });
}

void RccPrepareReplyArgs(const CMethodSignature& signature, RccOwnedArgs& args) {
    for (const CMethodArg& arg : signature.reply)
        args.add(RccIsReplyCode(arg.type) ? arg.type : RCC_EMPTY);
}

RccBodyResult RccBuildReply(CRccBuffer& out, const RccPduHeader& header, uint32_t status,
                            const CMethodSignature* signature, const std::vector<CRccArg>& args,
                            const IOMTransactionList* list) {
    if (!RccAppendHeader(out, header) || !RccAppend<RCC_S32>(out, static_cast<int32_t>(status)))
        return RccBodyResult::OutOfMemory;
    RccBodyResult result = RccBodyResult::Ok;
    if (signature && signature->carriesTransactionList() && list) {
        result = RccAppendTransactionList(out, *list);
    } else if (signature) {
        result = RccWriteBody(out, signature->reply, args, RccIsReplyCode, [](RccTypeCode code) {
            RCC_LOG_ERR("StubDispatcher", "Unknown output arg type for marshaling - 0x%x.", code);
        });
    }
    if (result == RccBodyResult::Ok)
        RccPatchLength(out);
    return result;
}
