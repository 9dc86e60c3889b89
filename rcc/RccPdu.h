// The header of remote-call PDUs. A request is the 12-byte application header (protocol
// id, PDU type 1, version 3.0, application ids, reserved, total length) followed by u32
// sequence, interface id and method id; a reply (PDU type 2) adds an s32 status. The
// arguments follow.
#pragma once

#include <cstdint>

#include "rcc/KoltPVersion.h"
#include "rcc/RccBuffer.h"
#include "rcc/RccMarshaler.h"

enum : uint8_t { RCC_PDU_REQUEST = 1, RCC_PDU_REPLY = 2 };

constexpr size_t kRccRequestHeaderSize = 24;
constexpr size_t kRccReplyHeaderSize = 28;
constexpr size_t kRccLengthOffset = 8;

struct RccPduHeader {
    uint8_t protocolId = RCC_PROTOCOL_ID;
    uint8_t pduType = RCC_PDU_REQUEST;
    uint8_t versionMajor = RCC_VERSION_MAJOR;
    uint8_t versionMinor = RCC_VERSION_MINOR;
    uint8_t sourceAppId = 0;
    uint8_t destinationAppId = 0;
    uint16_t reserved = 0;
    uint32_t length = 0;
    uint32_t sequence = 0;
    uint32_t interfaceId = 0;
    uint32_t methodId = 0;

    bool operator==(const RccPduHeader&) const = default;
};

// Appends the 24 header bytes; false when the buffer cannot grow.
bool RccAppendHeader(CRccBuffer& buffer, const RccPduHeader& header);
// Writes the buffer's byte count into the length field of the PDU it holds.
void RccPatchLength(CRccBuffer& buffer);
// Reads the 24 header bytes from the buffer's head.
RccDecodeError RccTakeHeader(CRccBuffer& buffer, RccPduHeader& header);

// The header of the reply to a request: PDU type 2, version 3.0, the application ids
// swapped, reserved, sequence, interface and method echoed.
RccPduHeader RccReplyHeaderFor(const RccPduHeader& request, uint8_t protocolId);

// The client's checks on a reply: protocol id, PDU type 2, major version 3, the length
// field equal to the bytes received, and the request's sequence, interface and method.
bool RccReplyMatches(const RccPduHeader& request, const RccPduHeader& reply, size_t received);
// The server's checks on a request: its protocol id, PDU type 1, major version 3, the
// length field equal to the bytes received.
bool RccRequestAcceptable(const RccPduHeader& request, uint8_t protocolId, size_t received);
