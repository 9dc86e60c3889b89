// Fuzz target of everything that reads received remote-call bytes: request and reply
// PDUs by their method's signature, transaction lists and single variants. The first
// byte picks the reader; the rest is the received data.
#include <cstdint>
#include <cstdlib>

#include "rcc/RccCallPdu.h"
#include "rcc/RccLog.h"

namespace {

void ReadRequest(CRccBuffer& in) {
    RccPduHeader header;
    if (RccTakeHeader(in, header) != RccDecodeError::None)
        return;
    const CMethodSignature* signature =
        getSignatureRegistry().getSignature(header.interfaceId, header.methodId);
    if (!signature)
        return;
    RccOwnedArgs args;
    IOMTransactionList list;
    if (RccReadRequest(in, *signature, args, list) != RccDecodeError::None)
        return;
    // What was read must write back: the reply path marshals the same forms.
    RccOwnedArgs replyArgs;
    RccPrepareReplyArgs(*signature, replyArgs);
    CRccBuffer out;
    if (RccBuildReply(out, RccReplyHeaderFor(header, RCC_PROTOCOL_ID), 0, signature,
                      replyArgs.args(), &list) != RccBodyResult::Ok &&
        list.transactions.size() <= 65535)
        abort();
}

void ReadReply(CRccBuffer& in) {
    CRccBuffer peek;
    peek.append(in.bytes());
    RccPduHeader request;
    if (RccTakeHeader(peek, request) != RccDecodeError::None)
        return;
    request.pduType = RCC_PDU_REQUEST;
    const CMethodSignature* signature =
        getSignatureRegistry().getSignature(request.interfaceId, request.methodId);
    if (!signature)
        return;
    RccOwnedArgs outArgs;
    RccPrepareReplyArgs(*signature, outArgs);
    IOMTransactionList list;
    uint32_t status = 0;
    RccReadReply(in, request, *signature, outArgs.args(),
                 signature->carriesTransactionList() ? &list : nullptr, status);
}

void ReadVariant(CRccBuffer& in) {
    CRccValue value;
    const uint8_t* cursor = in.head();
    if (RccRead<RCC_VARIANT>(value, cursor, in.end()) != RccDecodeError::None)
        return;
    // Whatever was read has a size and writes exactly that many bytes.
    std::vector<uint8_t> bytes(RccSizeOf<RCC_VARIANT>(value));
    uint8_t* write = bytes.data();
    RccWrite<RCC_VARIANT>(value, write);
    if (write != bytes.data() + bytes.size())
        abort();
    (void)DescribeRccValue(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = [] {
        SetRccLogSink([](RccLogLevel, const std::string&, const std::string&) {});
        return true;
    }();
    (void)quiet;
    if (size < 1)
        return 0;
    CRccBuffer in;
    if (!in.append({data + 1, size - 1}))
        return 0;
    switch (data[0] % 4) {
        case 0:
            ReadRequest(in);
            break;
        case 1:
            ReadReply(in);
            break;
        case 2:
            ReadVariant(in);
            break;
        default: {
            IOMTransactionList list;
            RccReadTransactionList(in, list);
        }
    }
    return 0;
}
