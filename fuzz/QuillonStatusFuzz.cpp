// The version tool's two status packets: the older generation's and node status. The
// first byte picks the decoder; what decodes is stored into a device record that lives
// across inputs, as a record in the device table does across a device's packets.
#include "fuzz/FuzzCheck.h"
#include "versiontool/DeviceRecord.h"
#include "versiontool/StatusPackets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CDeviceRecord* records[2] = {new CDeviceRecord, new CDeviceRecord};
    FuzzInput input(data, size);
    const bool nodeStatus = input.Byte() & 1;
    const std::span<const uint8_t> datagram = input.Rest();

    StatusReport report;
    const StatusError error =
        nodeStatus ? DecodeNodeStatus(datagram, report) : DecodeLegacyStatus(datagram, report);
    FUZZ_CHECK(StatusErrorText(error) != nullptr);
    const ParseResult parsed = nodeStatus ? ParseNodeStatus(*records[nodeStatus], datagram)
                                          : ParseLegacyStatus(*records[nodeStatus], datagram);
    FUZZ_CHECK(parsed.error == error);
    if (error != StatusError::None)
        return 0;
    FUZZ_CHECK(report.name.size() <= datagram.size());
    FUZZ_CHECK(report.versions.size() * 6 + report.services.size() * 3 <= datagram.size());
    if (!report.longForm)
        FUZZ_CHECK(report.versions.empty() && report.services.empty() && report.name.empty());
    return 0;
}
