// The discovery engine for node status, the current network generation's status
// protocol: group 236.1.0.2, port 6107; every device application is keyed by its MAC and
// the packet's source application id; devices of type 0x2185 are updatable only from
// network version 4 on.
#pragma once

#include "versiontool/StatusEngine.h"

class CNodeStatusEngine final : public CStatusEngine {
public:
    static constexpr int kRequests = 3;

    explicit CNodeStatusEngine(
        std::unique_ptr<UdpEndpoint> socket = std::make_unique<CUdpSocket>());

protected:
    // The 36-byte short form, three times.
    UdpStatus SendRequest(UdpEndpoint& socket, const uint8_t* mac, uint32_t ipAddress,
                          uint32_t session) override;
    const char* ThreadName() const override { return "QuillonNodeStat"; }
};
