#include "nodestatus/NS2Packet.h"

#include <algorithm>

#include "os/ByteOrder.h"
#include "platform/XPortHeader.h"

namespace {

constexpr size_t kComponentRecord = 9;
constexpr size_t kProtocolRecord = 5;

// Offsets of the long form's version counts and where its variable part begins.
struct LongLayout {
    size_t components = 0, protocols = 0, nameAt = 0, end = 0;
};

NS2PacketError CheckLong(std::span<const uint8_t> p, LongLayout& l) {
    if (p.size() < NS2_LONG_FIXED_LENGTH + 1)
        return NS2PacketError::BadLength;
    l.components = p[52];
    l.protocols = p[53];
    l.nameAt =
        NS2_LONG_FIXED_LENGTH + l.components * kComponentRecord + l.protocols * kProtocolRecord;
    if (l.nameAt + 1 > p.size())
        return NS2PacketError::CountsPastEnd;
    l.end = l.nameAt + 1 + p[l.nameAt];
    if (l.end > p.size())
        return NS2PacketError::CountsPastEnd;
    return NS2PacketError::None;
}

NS2PacketError Check(std::span<const uint8_t> p, LongLayout& layout) {
    if (p.size() < XPORT_HEADER_LENGTH)
        return NS2PacketError::BadLength;
    if (XPortHdrGetProtocol(p.data()) != NS2_PROTOCOL_ID)
        return NS2PacketError::NotNodeStatus;
    if (XPortHdrGetVersionMajor(p.data()) != XPORT_VERSION_MAJOR)
        return NS2PacketError::BadMajor;
    // Devices pad their datagrams: only a length field that claims more than came is a
    // fault. Every field is bounded by the datagram itself.
    if (XPortHdrGetLength(p.data()) > p.size() || p.size() < NS2_SHORT_LENGTH)
        return NS2PacketError::BadLength;
    // Any form but the long one is read as the short form.
    if (static_cast<NS2Form>(XPortHdrGetType(p.data())) == NS2Form::Long)
        return CheckLong(p, layout);
    return NS2PacketError::None;
}

void ReadLong(CNS2Node& node, const uint8_t* p, const LongLayout& l) {
    for (int i = 0; i < 4; ++i) node.SetDataWord(i, os::GetLe32(p + 36 + 4 * i));
    const uint8_t* r = p + NS2_LONG_FIXED_LENGTH;
    for (size_t i = 0; i < l.components; ++i, r += kComponentRecord)
        node.SetComponentVersion(os::GetLe16(r),
                                 {r[2], r[3], r[4], r[5], r[6], os::GetLe16(r + 7)});
    for (size_t i = 0; i < l.protocols; ++i, r += kProtocolRecord)
        node.SetProtocolVersion(r[0], {r[1], r[2], os::GetLe16(r + 3)});
    const size_t n = p[l.nameAt];
    std::string name(reinterpret_cast<const char*>(p + l.nameAt + 1), n);
    // An empty name travels as one zero byte.
    if (n == 1 && name[0] == '\0')
        name.clear();
    node.SetName(name);
}

}  // namespace

size_t NS2BuildPacket(const CNS2Node& node, NS2Form form, uint8_t versionMajor,
                      uint8_t versionMinor, std::span<uint8_t, NS2_MAX_PACKET> out) {
    uint8_t* p = out.data();
    std::fill_n(p, NS2_SHORT_LENGTH, uint8_t{0});
    XPortHdrSetProtocol(p, NS2_PROTOCOL_ID);
    XPortHdrSetType(p, static_cast<uint8_t>(form));
    XPortHdrSetVersionMajor(p, versionMajor);
    XPortHdrSetVersionMinor(p, versionMinor);
    XPortHdrSetSrcApp(p, node.GetSourceAppId());
    os::PutLe16(p + 12, node.GetNodeType());
    node.GetMacAddress().GetBytes(p + 14, 6);
    os::PutLe32(p + 20, node.GetIpAddress());
    os::PutLe32(p + 24, node.GetSessionId());
    os::PutLe32(p + 28, node.GetReportInterval());
    os::PutLe32(p + 32, node.GetStatusWord());
    size_t length = NS2_SHORT_LENGTH;
    if (form == NS2Form::Long) {
        // Data words are not used by this system and travel as 0.
        std::fill_n(p + 36, 16, uint8_t{0});
        const std::string name = node.GetName().substr(0, NS2_MAX_NAME);
        const size_t nameBytes = 1 + std::max<size_t>(name.size(), 1);
        size_t room = NS2_MAX_PACKET - NS2_LONG_FIXED_LENGTH - nameBytes;
        size_t at = NS2_LONG_FIXED_LENGTH;
        uint8_t components = 0, protocols = 0;
        for (const auto& [id, v] : node.GetVersionMap()) {
            if (components == 255 || room < kComponentRecord)
                break;
            os::PutLe16(p + at, id);
            p[at + 2] = v.major, p[at + 3] = v.minor, p[at + 4] = v.patch;
            p[at + 5] = v.stage, p[at + 6] = v.patchDigit;
            os::PutLe16(p + at + 7, v.build);
            at += kComponentRecord, room -= kComponentRecord, ++components;
        }
        for (const auto& [id, v] : node.GetProtocolVersionMap()) {
            if (protocols == 255 || room < kProtocolRecord)
                break;
            p[at] = id, p[at + 1] = v.major, p[at + 2] = v.minor;
            os::PutLe16(p + at + 3, v.build);
            at += kProtocolRecord, room -= kProtocolRecord, ++protocols;
        }
        p[52] = components;
        p[53] = protocols;
        p[at] = static_cast<uint8_t>(nameBytes - 1);
        if (name.empty())
            p[at + 1] = 0;
        else
            std::copy(name.begin(), name.end(), p + at + 1);
        length = at + nameBytes;
    }
    XPortHdrSetLength(p, static_cast<uint32_t>(length));
    return length;
}

NS2PacketError NS2CheckPacket(std::span<const uint8_t> packet) {
    LongLayout layout;
    return Check(packet, layout);
}

NS2PacketError NS2ParsePacket(CNS2Node& node, std::span<const uint8_t> packet, bool& newSession) {
    LongLayout layout;
    NS2PacketError error = Check(packet, layout);
    if (error != NS2PacketError::None)
        return error;
    const uint8_t* p = packet.data();
    const uint32_t oldSession = node.GetSessionId();
    node.SetHeaderFields(XPortHdrGetVersionMajor(p), XPortHdrGetVersionMinor(p),
                         XPortHdrGetSrcApp(p));
    node.SetNodeType(os::GetLe16(p + 12));
    node.SetMacAddress(VavMacAddress(p + 14, 6));
    node.SetIpAddress(os::GetLe32(p + 20));
    node.SetSessionId(os::GetLe32(p + 24));
    node.SetReportInterval(os::GetLe32(p + 28));
    node.SetStatusWord(os::GetLe32(p + 32));
    const auto form = static_cast<NS2Form>(XPortHdrGetType(p));
    if (form == NS2Form::Long)
        ReadLong(node, p, layout);
    newSession = form == NS2Form::Announce || node.GetSessionId() != oldSession;
    return NS2PacketError::None;
}

const char* NS2PacketErrorText(NS2PacketError e) {
    switch (e) {
        case NS2PacketError::None:
            return "no error";
        case NS2PacketError::NotNodeStatus:
            return "not a node-status packet";
        case NS2PacketError::BadMajor:
            return "protocol major version is not 3";
        case NS2PacketError::BadLength:
            return "shorter than the status block, or the length field claims more than came";
        case NS2PacketError::CountsPastEnd:
            return "version counts or name run past the packet";
    }
    return "unknown error";
}
