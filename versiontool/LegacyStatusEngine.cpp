#include "versiontool/LegacyStatusEngine.h"

CLegacyStatusEngine::CLegacyStatusEngine(std::unique_ptr<UdpEndpoint> socket)
    : CStatusEngine(kLegacyStatusPort, DecodeLegacyStatus, UpdateRule::DeviceClass,
                    std::move(socket)) {}

UdpStatus CLegacyStatusEngine::SendRequest(UdpEndpoint& socket, const uint8_t* mac,
                                           uint32_t ipAddress, uint32_t session) {
    UdpStatus status = UDPSOCK_S_OK;
    for (uint8_t layout = 0; layout <= 1; ++layout) {
        const auto request = BuildLegacyRequest(layout, mac, ipAddress, session);
        for (int i = 0; i < kRequestsPerLayout; ++i)
            status = socket.SendTo(kStatusGroup, request.data(), request.size(), kLegacyStatusPort);
    }
    return status;
}
