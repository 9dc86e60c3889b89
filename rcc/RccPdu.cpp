#include "rcc/RccPdu.h"

bool RccAppendHeader(CRccBuffer& buffer, const RccPduHeader& h) {
    uint8_t* c = buffer.reserve(kRccRequestHeaderSize);
    if (!c)
        return false;
    using namespace rccwire;
    PutU8(c, h.protocolId);
    PutU8(c, h.pduType);
    PutU8(c, h.versionMajor);
    PutU8(c, h.versionMinor);
    PutU8(c, h.sourceAppId);
    PutU8(c, h.destinationAppId);
    PutU16(c, h.reserved);
    PutU32(c, h.length);
    PutU32(c, h.sequence);
    PutU32(c, h.interfaceId);
    PutU32(c, h.methodId);
    buffer.commit(kRccRequestHeaderSize);
    return true;
}

void RccPatchLength(CRccBuffer& buffer) {
    if (buffer.count() < kRccLengthOffset + 4)
        return;
    uint8_t* c = buffer.head() + kRccLengthOffset;
    rccwire::PutU32(c, static_cast<uint32_t>(buffer.count()));
}

RccDecodeError RccTakeHeader(CRccBuffer& buffer, RccPduHeader& h) {
    if (buffer.count() < kRccRequestHeaderSize)
        return RccDecodeError::Truncated;
    using namespace rccwire;
    const uint8_t* c = buffer.head();
    const uint8_t* end = buffer.end();
    GetU8(c, end, h.protocolId);
    GetU8(c, end, h.pduType);
    GetU8(c, end, h.versionMajor);
    GetU8(c, end, h.versionMinor);
    GetU8(c, end, h.sourceAppId);
    GetU8(c, end, h.destinationAppId);
    GetU16(c, end, h.reserved);
    GetU32(c, end, h.length);
    GetU32(c, end, h.sequence);
    GetU32(c, end, h.interfaceId);
    GetU32(c, end, h.methodId);
    buffer.consume(kRccRequestHeaderSize);
    return RccDecodeError::None;
}

RccPduHeader RccReplyHeaderFor(const RccPduHeader& request, uint8_t protocolId) {
    RccPduHeader reply = request;
    reply.protocolId = protocolId;
    reply.pduType = RCC_PDU_REPLY;
    reply.versionMajor = RCC_VERSION_MAJOR;
    reply.versionMinor = RCC_VERSION_MINOR;
    reply.sourceAppId = request.destinationAppId;
    reply.destinationAppId = request.sourceAppId;
    reply.length = 0;
    return reply;
}

bool RccReplyMatches(const RccPduHeader& request, const RccPduHeader& reply, size_t received) {
    return reply.protocolId == request.protocolId && reply.pduType == RCC_PDU_REPLY &&
           reply.versionMajor == RCC_VERSION_MAJOR && reply.length == received &&
           reply.sequence == request.sequence && reply.interfaceId == request.interfaceId &&
           reply.methodId == request.methodId;
}

bool RccRequestAcceptable(const RccPduHeader& request, uint8_t protocolId, size_t received) {
    return request.protocolId == protocolId && request.pduType == RCC_PDU_REQUEST &&
           request.versionMajor == RCC_VERSION_MAJOR && request.length == received;
}
