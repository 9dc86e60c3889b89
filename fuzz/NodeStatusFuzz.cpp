// The node-status packet: the check and the parse agree, a refused packet leaves the
// record as it was, and what was taken writes back into a packet that reads the same.
#include <array>

#include "fuzz/FuzzCheck.h"
#include "nodestatus/NS2Packet.h"
#include "platform/XPortHeader.h"

namespace {

bool SameStatus(const CNS2Node& a, const CNS2Node& b) {
    return a.GetNodeType() == b.GetNodeType() && a.GetMacAddress() == b.GetMacAddress() &&
           a.GetIpAddress() == b.GetIpAddress() && a.GetSessionId() == b.GetSessionId() &&
           a.GetReportInterval() == b.GetReportInterval() &&
           a.GetStatusWord() == b.GetStatusWord() && a.GetSourceAppId() == b.GetSourceAppId() &&
           a.GetProtocolMajor() == b.GetProtocolMajor() &&
           a.GetProtocolMinor() == b.GetProtocolMinor();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> packet(data, size);
    const NS2PacketError checked = NS2CheckPacket(packet);
    FUZZ_CHECK(NS2PacketErrorText(checked) != nullptr);

    CNS2Node node;
    const CNS2Node untouched;
    bool newSession = false;
    const NS2PacketError parsed = NS2ParsePacket(node, packet, newSession);
    FUZZ_CHECK(parsed == checked);
    if (parsed != NS2PacketError::None) {
        FUZZ_CHECK(SameStatus(node, untouched) && node.GetName().empty() &&
                   node.GetVersionMap().empty() && !node.IsChanged());
        return 0;
    }
    FUZZ_CHECK(node.GetName().size() <= NS2_MAX_NAME);
    if (size > NS2_MAX_PACKET)
        return 0;

    const auto form = static_cast<NS2Form>(XPortHdrGetType(data));
    std::array<uint8_t, NS2_MAX_PACKET> out{};
    const size_t length =
        NS2BuildPacket(node, form, node.GetProtocolMajor(), node.GetProtocolMinor(), out);
    FUZZ_CHECK(length <= NS2_MAX_PACKET);
    CNS2Node again;
    FUZZ_CHECK(NS2ParsePacket(again, std::span<const uint8_t>(out.data(), length), newSession) ==
               NS2PacketError::None);
    FUZZ_CHECK(SameStatus(node, again));
    if (form == NS2Form::Long) {
        FUZZ_CHECK(again.GetName() == node.GetName());
        FUZZ_CHECK(again.GetVersionMap() == node.GetVersionMap());
        FUZZ_CHECK(again.GetProtocolVersionMap() == node.GetProtocolVersionMap());
    }
    return 0;
}
