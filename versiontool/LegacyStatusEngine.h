// The discovery engine for the older network generation's status protocol: group
// 236.1.0.2, port 36504; every device application is keyed by its MAC with application
// id 1; updatable by device class alone.
#pragma once

#include "versiontool/StatusEngine.h"

class CLegacyStatusEngine final : public CStatusEngine {
public:
    static constexpr int kRequestsPerLayout = 3;

    explicit CLegacyStatusEngine(
        std::unique_ptr<UdpEndpoint> socket = std::make_unique<CUdpSocket>());

protected:
    // The 28-byte short form three times with layout flag 0, then three times with 1.
    UdpStatus SendRequest(UdpEndpoint& socket, const uint8_t* mac, uint32_t ipAddress,
                          uint32_t session) override;
    const char* ThreadName() const override { return "QuillonLegacy"; }
};
