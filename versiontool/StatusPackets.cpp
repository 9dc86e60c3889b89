#include "versiontool/StatusPackets.h"

#include <algorithm>

#include "nodestatus/CNS2Node.h"
#include "nodestatus/NS2Packet.h"
#include "os/ByteOrder.h"

namespace {

// Reads little-endian fields in order and refuses any read past the end.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    bool U8(uint8_t& v) {
        if (!Has(1))
            return false;
        v = bytes_[at_++];
        return true;
    }
    bool U16(uint16_t& v) {
        if (!Has(2))
            return false;
        v = os::GetLe16(&bytes_[at_]);
        at_ += 2;
        return true;
    }
    bool U32(uint32_t& v) {
        if (!Has(4))
            return false;
        v = os::GetLe32(&bytes_[at_]);
        at_ += 4;
        return true;
    }
    bool Bytes(uint8_t* out, size_t n) {
        if (!Has(n))
            return false;
        std::copy_n(bytes_.begin() + at_, n, out);
        at_ += n;
        return true;
    }
    bool Skip(size_t n) {
        if (!Has(n))
            return false;
        at_ += n;
        return true;
    }

private:
    bool Has(size_t n) const { return n <= bytes_.size() - at_; }
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
};

bool ReadStatusBlock(ByteReader& r, StatusReport& s) {
    return r.U16(s.deviceType) && r.Bytes(s.mac.data(), 6) && r.U32(s.ipAddress) &&
           r.U32(s.session) && r.U32(s.interval) && r.U32(s.statusWords[0]);
}

bool ReadLegacyVersions(ByteReader& r, bool wide, StatusReport& s) {
    uint8_t versions = 0, services = 0;
    if (!r.U8(versions) || !r.U8(services))
        return false;
    for (int i = 0; i < versions; ++i) {
        DeviceVersion v;
        const bool ok =
            r.U16(v.id) && r.U8(v.major) && r.U8(v.minor) &&
            (wide ? r.U8(v.patch) && r.U8(v.stage) && r.U8(v.patchDigit) && r.U16(v.build)
                  : r.Skip(2));
        if (!ok)
            return false;
        s.versions.push_back(v);
    }
    for (int i = 0; i < services; ++i) {
        ServiceRecord rec;
        if (!r.U8(rec.id) || !r.U8(rec.first) || !r.U8(rec.second) || (wide && !r.U16(rec.third)))
            return false;
        s.services.push_back(rec);
    }
    return true;
}

bool ReadName(ByteReader& r, std::string& name) {
    uint8_t length = 0;
    if (!r.U8(length))
        return false;
    name.resize(length);
    return r.Bytes(reinterpret_cast<uint8_t*>(name.data()), length);
}

StatusError FromNs2(NS2PacketError error) {
    switch (error) {
        case NS2PacketError::None:
            return StatusError::None;
        case NS2PacketError::NotNodeStatus:
            return StatusError::WrongProtocol;
        case NS2PacketError::BadMajor:
            return StatusError::BadVersionMajor;
        case NS2PacketError::BadLength:
            return StatusError::BadLength;
        case NS2PacketError::CountsPastEnd:
            return StatusError::EndsEarly;
    }
    return StatusError::BadLength;
}

void CopyNodeRecord(const CNS2Node& node, StatusReport& s) {
    s.headerByte2 = node.GetProtocolMajor();
    s.headerByte3 = node.GetProtocolMinor();
    s.appId = node.GetSourceAppId();
    s.deviceType = node.GetNodeType();
    node.GetMacAddress().GetBytes(s.mac.data(), s.mac.size());
    s.ipAddress = node.GetIpAddress();
    s.session = node.GetSessionId();
    s.interval = node.GetReportInterval();
    s.statusWords[0] = node.GetStatusWord();
    if (!s.longForm)
        return;
    std::copy_n(node.GetDataWords().begin(), 4, s.statusWords.begin() + 1);
    for (const auto& [id, v] : node.GetVersionMap())
        s.versions.push_back({id, v.major, v.minor, v.patch, v.stage, v.patchDigit, v.build});
    for (const auto& [id, v] : node.GetProtocolVersionMap())
        s.services.push_back({id, v.major, v.minor, v.build});
    s.name = node.GetName();
}

ParseResult Parse(CDeviceRecord& record, std::span<const uint8_t> datagram,
                  StatusError (*decode)(std::span<const uint8_t>, StatusReport&)) {
    StatusReport report;
    ParseResult result;
    result.error = decode(datagram, report);
    if (result.error == StatusError::None)
        result.sessionChanged = ApplyStatus(record, report);
    return result;
}

}  // namespace

StatusError DecodeLegacyStatus(std::span<const uint8_t> datagram, StatusReport& report) {
    report = StatusReport{};
    ByteReader r(datagram);
    uint8_t protocol = 0, form = 0;
    if (!r.U8(protocol))
        return StatusError::EndsEarly;
    if (protocol != kStatusProtocol)
        return StatusError::WrongProtocol;
    if (!r.U8(form) || !r.U8(report.headerByte2))
        return StatusError::EndsEarly;
    if (report.headerByte2 > 1)
        return StatusError::BadLayoutFlag;
    if (!r.U8(report.headerByte3) || !ReadStatusBlock(r, report))
        return StatusError::EndsEarly;
    report.appId = 1;
    report.longForm = form == 1;
    if (!report.longForm)
        return StatusError::None;
    for (int i = 1; i < 5; ++i)
        if (!r.U32(report.statusWords[i]))
            return StatusError::EndsEarly;
    if (!ReadLegacyVersions(r, report.headerByte2 == 1, report) || !ReadName(r, report.name))
        return StatusError::EndsEarly;
    return StatusError::None;
}

// The node-status codec checks the header, the total length and every count against the
// datagram; what it accepts is copied out of its record.
StatusError DecodeNodeStatus(std::span<const uint8_t> datagram, StatusReport& report) {
    report = StatusReport{};
    CNS2Node node;
    bool announce = false;
    const StatusError error = FromNs2(NS2ParsePacket(node, datagram, announce));
    if (error != StatusError::None)
        return error;
    report.longForm = datagram[1] == 1;
    CopyNodeRecord(node, report);
    return StatusError::None;
}

bool ApplyStatus(CDeviceRecord& record, const StatusReport& s) {
    static constexpr char kBlankName[] = "               ";  // 15 blanks
    record.SetHeaderBytes(s.headerByte2, s.headerByte3);
    record.SetAppId(s.appId);
    record.SetDeviceType(s.deviceType);
    record.WriteMacBytes(s.mac.data());
    record.SetIpAddress(s.ipAddress);
    const bool restarted = record.SetSessionValue(s.session);
    record.SetStatusInterval(s.interval);
    record.SetStatusWord(0, s.statusWords[0]);
    if (!s.longForm)
        return restarted;
    record.SetLongForm();
    for (int i = 1; i < 5; ++i) record.SetStatusWord(i, s.statusWords[i]);
    for (const DeviceVersion& v : s.versions) record.SetVersion(v);
    for (const ServiceRecord& rec : s.services) record.SetServiceRecord(rec);
    // A name of NUL bytes only is how some senders write "no name".
    const bool empty = std::all_of(s.name.begin(), s.name.end(), [](char c) { return c == 0; });
    if (empty)
        record.SetName(sizeof kBlankName - 1, kBlankName);
    else
        record.SetName(s.name.size(), s.name.data());
    return restarted;
}

ParseResult ParseLegacyStatus(CDeviceRecord& record, std::span<const uint8_t> datagram) {
    return Parse(record, datagram, DecodeLegacyStatus);
}

ParseResult ParseNodeStatus(CDeviceRecord& record, std::span<const uint8_t> datagram) {
    return Parse(record, datagram, DecodeNodeStatus);
}

std::array<uint8_t, kLegacyRequestLength> BuildLegacyRequest(uint8_t layoutFlag, const uint8_t* mac,
                                                             uint32_t ipAddress, uint32_t session) {
    std::array<uint8_t, kLegacyRequestLength> p{};
    p[0] = kStatusProtocol;
    p[2] = layoutFlag;
    p[4] = static_cast<uint8_t>(kVersionToolDeviceType);
    p[5] = static_cast<uint8_t>(kVersionToolDeviceType >> 8);
    std::copy_n(mac, 6, p.begin() + 6);
    os::PutLe32(&p[12], ipAddress);
    os::PutLe32(&p[16], session);
    os::PutLe32(&p[20], kRequestStatusInterval);
    return p;
}

// A short form (PDU type 2) of the node-status codec, so both ends agree on the layout.
std::array<uint8_t, kNodeStatusRequestLength> BuildNodeStatusRequest(const uint8_t* mac,
                                                                     uint32_t ipAddress,
                                                                     uint32_t session) {
    CNS2Node own(VavMacAddress(mac, 6), kVersionToolAppId);
    own.SetNodeType(kVersionToolDeviceType);
    own.SetIpAddress(ipAddress);
    own.SetSessionId(session);
    own.SetReportInterval(kRequestStatusInterval);
    std::array<uint8_t, NS2_MAX_PACKET> packet{};
    NS2BuildPacket(own, NS2Form::Announce, 3, 0, packet);
    std::array<uint8_t, kNodeStatusRequestLength> p{};
    std::copy_n(packet.begin(), p.size(), p.begin());
    return p;
}

const char* StatusErrorText(StatusError error) {
    switch (error) {
        case StatusError::None:
            return "no error";
        case StatusError::WrongProtocol:
            return "not a status packet";
        case StatusError::BadLayoutFlag:
            return "layout flag is neither 0 nor 1";
        case StatusError::BadVersionMajor:
            return "protocol version major is not 3";
        case StatusError::EndsEarly:
            return "datagram ends before its fields";
        case StatusError::BadLength:
            return "total length claims more than the datagram holds";
    }
    return "unknown error";
}
