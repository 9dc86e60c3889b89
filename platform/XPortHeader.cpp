#include "platform/XPortHeader.h"

void XPortHeader::Write(uint8_t* out) const {
    XPortHdrSetProtocol(out, protocol);
    XPortHdrSetType(out, type);
    XPortHdrSetVersionMajor(out, versionMajor);
    XPortHdrSetVersionMinor(out, versionMinor);
    XPortHdrSetSrcApp(out, srcApp);
    XPortHdrSetDstApp(out, dstApp);
    XPortHdrSetReserved(out, reserved);
    XPortHdrSetLength(out, length);
}

XPortHeader XPortHeader::Read(const uint8_t* in) {
    XPortHeader h;
    h.protocol = XPortHdrGetProtocol(in);
    h.type = XPortHdrGetType(in);
    h.versionMajor = XPortHdrGetVersionMajor(in);
    h.versionMinor = XPortHdrGetVersionMinor(in);
    h.srcApp = XPortHdrGetSrcApp(in);
    h.dstApp = XPortHdrGetDstApp(in);
    h.reserved = XPortHdrGetReserved(in);
    h.length = XPortHdrGetLength(in);
    return h;
}

XPortHdrError XPortHdrCheckStream(std::span<const uint8_t> bytes) {
    if (bytes.size() < XPORT_HEADER_LENGTH)
        return XPortHdrError::Truncated;
    if (XPortHdrGetVersionMajor(bytes.data()) != XPORT_VERSION_MAJOR)
        return XPortHdrError::BadMajor;
    uint32_t length = XPortHdrGetLength(bytes.data());
    if (length < XPORT_HEADER_LENGTH)
        return XPortHdrError::BadLength;
    if (length > bytes.size())
        return XPortHdrError::LengthBeyondData;
    return XPortHdrError::None;
}

XPortHdrError XPortHdrCheckPacket(std::span<const uint8_t> bytes) {
    XPortHdrError error = XPortHdrCheckStream(bytes);
    if (error != XPortHdrError::None)
        return error;
    if (XPortHdrGetLength(bytes.data()) != bytes.size())
        return XPortHdrError::LengthShortOfData;
    return XPortHdrError::None;
}

const char* XPortHdrErrorText(XPortHdrError error) {
    switch (error) {
        case XPortHdrError::None:
            return "whole packet";
        case XPortHdrError::Truncated:
            return "fewer bytes than the 12-byte header";
        case XPortHdrError::BadMajor:
            return "protocol version major is not 3";
        case XPortHdrError::BadLength:
            return "length field below the header length";
        case XPortHdrError::LengthBeyondData:
            return "length field exceeds the bytes received";
        case XPortHdrError::LengthShortOfData:
            return "more bytes received than the length field says";
    }
    return "unknown";
}
