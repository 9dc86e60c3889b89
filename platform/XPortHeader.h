// The 12-byte application header that starts every packet of the current network
// generation, little-endian:
//   0 u8 protocol id (8 node status, 9 remote call)   1 u8 packet type
//   2 u8 version major (3)   3 u8 version minor   4 u8 source app id   5 u8 destination app id
//   6 u16 reserved (0)       8 u32 total length in bytes, header included
// The accessors read and write single fields of a header at the start of a byte buffer
// that holds at least 12 bytes; the checks decide whether received bytes form a packet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "os/ByteOrder.h"

constexpr uint32_t XPORT_HEADER_LENGTH = 12;
constexpr uint8_t XPORT_VERSION_MAJOR = 3;
constexpr uint8_t XPORT_VERSION_MINOR = 0;
constexpr uint8_t XPORT_PROTOCOL_NODE_STATUS = 8;
constexpr uint8_t XPORT_PROTOCOL_RCC = 9;

inline uint32_t XPortHdrLength() {
    return XPORT_HEADER_LENGTH;
}

inline uint8_t XPortHdrGetProtocol(const uint8_t* h) {
    return h[0];
}
inline uint8_t XPortHdrGetType(const uint8_t* h) {
    return h[1];
}
inline uint8_t XPortHdrGetVersionMajor(const uint8_t* h) {
    return h[2];
}
inline uint8_t XPortHdrGetVersionMinor(const uint8_t* h) {
    return h[3];
}
inline uint8_t XPortHdrGetSrcApp(const uint8_t* h) {
    return h[4];
}
inline uint8_t XPortHdrGetDstApp(const uint8_t* h) {
    return h[5];
}
inline uint16_t XPortHdrGetReserved(const uint8_t* h) {
    return os::GetLe16(h + 6);
}
inline uint32_t XPortHdrGetLength(const uint8_t* h) {
    return os::GetLe32(h + 8);
}

inline void XPortHdrSetProtocol(uint8_t* h, uint8_t v) {
    h[0] = v;
}
inline void XPortHdrSetType(uint8_t* h, uint8_t v) {
    h[1] = v;
}
inline void XPortHdrSetVersionMajor(uint8_t* h, uint8_t v) {
    h[2] = v;
}
inline void XPortHdrSetVersionMinor(uint8_t* h, uint8_t v) {
    h[3] = v;
}
inline void XPortHdrSetSrcApp(uint8_t* h, uint8_t v) {
    h[4] = v;
}
inline void XPortHdrSetDstApp(uint8_t* h, uint8_t v) {
    h[5] = v;
}
inline void XPortHdrSetReserved(uint8_t* h, uint16_t v) {
    os::PutLe16(h + 6, v);
}
inline void XPortHdrSetLength(uint8_t* h, uint32_t v) {
    os::PutLe32(h + 8, v);
}

// The header as a value; Write and Read go through the accessors above.
struct XPortHeader {
    uint8_t protocol = 0;
    uint8_t type = 0;
    uint8_t versionMajor = XPORT_VERSION_MAJOR;
    uint8_t versionMinor = XPORT_VERSION_MINOR;
    uint8_t srcApp = 0;
    uint8_t dstApp = 0;
    uint16_t reserved = 0;
    uint32_t length = XPORT_HEADER_LENGTH;

    void Write(uint8_t* out) const;
    static XPortHeader Read(const uint8_t* in);
};

// Why received bytes are not (yet) a packet.
enum class XPortHdrError {
    None,
    Truncated,          // fewer than 12 bytes
    BadMajor,           // version major is not 3: receivers drop the packet
    BadLength,          // length field below 12
    LengthBeyondData,   // length field larger than the bytes at hand
    LengthShortOfData,  // datagram longer than its length field says
};

// A datagram or a message cut out by a framer: the length field must equal its size.
XPortHdrError XPortHdrCheckPacket(std::span<const uint8_t> bytes);
// The start of a byte stream: None once it holds the whole packet (the first
// XPortHdrGetLength bytes); Truncated and LengthBeyondData mean wait for more bytes.
XPortHdrError XPortHdrCheckStream(std::span<const uint8_t> bytes);
const char* XPortHdrErrorText(XPortHdrError error);
