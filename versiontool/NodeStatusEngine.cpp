#include "versiontool/NodeStatusEngine.h"

CNodeStatusEngine::CNodeStatusEngine(std::unique_ptr<UdpEndpoint> socket)
    : CStatusEngine(kNodeStatusPort, DecodeNodeStatus, UpdateRule::DeviceClassNodeStatus,
                    std::move(socket)) {}

UdpStatus CNodeStatusEngine::SendRequest(UdpEndpoint& socket, const uint8_t* mac,
                                         uint32_t ipAddress, uint32_t session) {
    const auto request = BuildNodeStatusRequest(mac, ipAddress, session);
    UdpStatus status = UDPSOCK_S_OK;
    for (int i = 0; i < kRequests; ++i)
        status = socket.SendTo(kStatusGroup, request.data(), request.size(), kNodeStatusPort);
    return status;
}
