#include "addrserver/BootpResponder.h"

namespace addrserver {
namespace {

constexpr uint8_t kMagicCookie[] = {0x63, 0x82, 0x53, 0x63};
constexpr uint8_t kOptionSubnetMask = 1, kOptionRouter = 3, kOptionEnd = 255;
// The boot-file field is 128 bytes: "\" + name + NUL must fit.
constexpr size_t kMaxBootFileName = 126;

void Put32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

}  // namespace

std::string BaseName(std::string_view requested) {
    size_t cut = requested.find_last_of("/\\");
    if (cut != std::string_view::npos)
        requested = requested.substr(cut + 1);
    if (requested == "." || requested == "..")
        return {};
    return std::string(requested);
}

BootpResponder::BootpResponder(AddressTables& tables, const MacFilter& filter, Reporter& reporter,
                               std::function<bool(const std::string&)> fileExists)
    : tables_(tables), filter_(filter), reporter_(reporter), fileExists_(std::move(fileExists)) {}

BootpMessage BootpResponder::ReplyTo(const BootpMessage& request, uint32_t assigned) const {
    BootpMessage reply = request;
    reply.op = kBootReply;
    reply.yiaddr = assigned;
    reply.siaddr = config_.ownAddress;
    SetField(reply.sname, config_.hostName);
    reply.vend.fill(0);
    return reply;
}

std::optional<BootpMessage> BootpResponder::AnswerProbe(const BootpMessage& request) {
    if (request.ciaddr == config_.ownAddress)
        return std::nullopt;
    reporter_.Report(kMsgRequestTrace,
                     Format("Bootp: test request from %s\n", DottedText(request.ciaddr).c_str()));
    BootpMessage reply = ReplyTo(request, request.ciaddr);
    reply.vend = request.vend;
    return reply;
}

std::optional<BootpMessage> BootpResponder::Handle(const BootpMessage& request) {
    if (!request.IsEthernetRequest()) {
        if (request.op != kBootReply)
            reporter_.Report(kMsgRequestTrace, "Bootp: socket received unknown frame\n");
        return std::nullopt;
    }
    const MacBytes mac = request.Mac();
    if (mac == kProbeMac)
        return AnswerProbe(request);

    // The boot file is settled before an address is taken: a request that gets no reply
    // must not leave an allocated (and saved) address behind.
    std::optional<std::string> bootFile;
    Assignment a;
    if (filter_.Admits(mac)) {
        bootFile = BootFileFor(request);
        if (!bootFile)
            return std::nullopt;
        a = tables_.Assign(mac, request.ciaddr, request.giaddr);
    }
    if (a.address == 0) {
        reporter_.Report(kMsgRequestIgnored, Format("Bootp: ignoring request from %s\n",
                                                    MacText(mac.data(), ':').c_str()));
        return std::nullopt;
    }

    BootpMessage reply = ReplyTo(request, a.address);
    uint8_t* v = reply.vend.data();
    std::copy(std::begin(kMagicCookie), std::end(kMagicCookie), v);
    size_t at = 4;
    v[at++] = kOptionSubnetMask;
    v[at++] = 4;
    Put32(v + at, config_.subnetMask);
    at += 4;
    if (a.gateway) {
        v[at++] = kOptionRouter;
        v[at++] = 4;
        // A node on the server's own network is its own router: it talks to us directly.
        Put32(v + at, *a.gateway == config_.ownAddress ? a.address : *a.gateway);
        at += 4;
    } else {
        reporter_.Print(Format("Network undefined for node %s\n", DottedText(a.address).c_str()));
    }
    v[at] = kOptionEnd;
    SetField(reply.file, "\\" + *bootFile);
    return reply;
}

std::optional<std::string> BootpResponder::BootFileFor(const BootpMessage& request) {
    const std::optional<NodeEntry> entry = tables_.FindByMac(request.Mac());
    std::string name;
    bool ok = false;
    if (entry && entry->bootFileState != kNoBootFile) {
        name = entry->bootFile;
        ok = entry->bootFileState == kBootFilePresent;
    } else {
        name = BaseName(request.FileName());
        ok = !name.empty() && name.size() <= kMaxBootFileName && fileExists_(name);
    }
    if (!ok) {
        reporter_.Report(kMsgBootFileError,
                         Format("Bootp: File %s requested by %s doesn't exist", name.c_str(),
                                MacText(request.chaddr.data(), ':').c_str()));
        return std::nullopt;
    }
    return name.substr(0, kMaxBootFileName);
}

uint32_t BootpResponder::ReplyDestination(const BootpMessage& request) const {
    if (request.giaddr == 0)
        return 0xFFFFFFFFu;
    return (request.giaddr & config_.subnetMask) | ~config_.subnetMask;
}

std::string BootpResponder::Describe(const BootpMessage& m) {
    const bool ethernet = m.htype == 1 && m.hlen == 6;
    if (ethernet && m.op != kBootRequest && m.op != kBootReply)
        return "Unknown frame received\n";
    const std::string mac = MacText(m.chaddr.data(), ':');
    if (m.op == kBootReply) {
        return Format("BOOTP Reply to %s\n", mac.c_str()) +
               Format("Client IP: %s\n", DottedText(m.yiaddr).c_str()) +
               Format("GateWay IP: %s\n", DottedText(m.giaddr).c_str()) +
               Format("File given: %s\n", m.FileName().c_str());
    }
    return Format("BOOTP Request from %s\n", mac.c_str()) +
           Format("Client IP: %s\n", DottedText(m.ciaddr).c_str()) +
           Format("GateWay IP: %s\n", DottedText(m.giaddr).c_str()) +
           Format("hardware hops %u\n", m.hops) +
           Format("File requested: %s\n", m.FileName().c_str());
}

}  // namespace addrserver
